#include "script/ChoiceMenu.h"

#include <algorithm>
#include <cstring>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/TextFields.h"
#include "stage/PictureFiles.h"
#include "message/Dirty.h"
#include "message/GlyphRasterizer.h"
#include "message/MessageArea.h"
#include "message/MessageLayout.h"
#include "message/TextBuffer.h"
#include "script/Backlog.h"
#include "script/ReadFlagStore.h"
#include "script/StoryControl.h"

namespace zan {
namespace {

constexpr int32_t kScreenWidth = 800;
// The countdown's tint: halfway (128 of 256) toward white.
constexpr uint8_t kTintAmount = 128;
constexpr int32_t kCountdownX = 300;
constexpr int32_t kCountdownY = 275;
// A countdown cell per 30 ms of the second, five cells a row.
constexpr int32_t kCellMs = 30;
constexpr int32_t kCellsPerRow = 5;

template <size_t N>
std::string_view Field(const char (&field)[N]) {
  return CText(field);
}

// A picture with its own alpha is blended by it; one without keeps pure green transparent.
void DrawPicture(Surface& target, int32_t x, int32_t y, int32_t width, int32_t height,
                 Surface& picture, int32_t sx, int32_t sy) {
  if (!picture.View()) return;
  target.Blt(x, y, width, height, picture, sx, sy, picture.HasAlpha() ? 2 : 1);
}

void DrawPicture(Surface& target, int32_t x, int32_t y, Surface& picture) {
  if (picture.View()) DrawPicture(target, x, y, picture.Width(), picture.Height(), picture, 0, 0);
}

// A text of n bytes is centred as n / 2 full-width characters of 24 pixels.
int32_t CentredX(size_t bytes) {
  const int64_t width = int64_t{ChoiceMenu::kTextSize} * static_cast<int64_t>(bytes / 2);
  return static_cast<int32_t>(std::max<int64_t>((kScreenWidth - width) / 2, 0));
}

bool InRange(int32_t index, int32_t count) { return index >= 0 && index < count; }

}  // namespace

ChoiceMenu::ChoiceMenu(const Services& services)
    : services_(services), entryText_(std::make_unique<TextBuffer>()) {}

ChoiceMenu::~ChoiceMenu() = default;

void ChoiceMenu::LoadCountdownSheets() {
  for (int32_t i = 0; i < kCountdownSheets; ++i)
    LoadImageFile(services_.data, Sjis("カウントダウン") + std::to_string(i + 1) + ".bmp",
                  sheets_[static_cast<size_t>(i)]);
}

void ChoiceMenu::StartGame() {
  state_ = {};
  state_.hovered = -1;
  effect_ = {};
  countdown_ = {};
  DeleteMask(-1);
  SetHitMask({});
  mask_.open = 0;
  WindowSettings& s = services_.areas.choice.Settings();
  s.SetSize(kTextSize);
  s.SetDefaultSize(kTextSize);
  ClearChoiceArea();
  static const std::string button = Sjis("選択肢.bmp");
  static const std::string buttonOn = Sjis("選択肢_ON.bmp");
  LoadImageFile(services_.data, button, button_);
  LoadImageFile(services_.data, buttonOn, buttonOn_);
}

// --- Regular choices ---------------------------------------------------------------------------

void ChoiceMenu::Add(int32_t index, std::string_view script, std::string_view label,
                     std::string_view text, int32_t option) {
  const bool chosen = services_.readFlags.TakeChoicePoint();
  if (!InRange(index, kEntries)) {
    ZAN_WARN("script: SltAdd of choice %d, outside 0..4; ignored", index);
    return;
  }
  ChoiceEntry& e = state_.entries[index];
  e = {};
  e.active = 1;
  e.chosenBefore = chosen ? 1 : 0;
  e.optionIndex = std::max(option, 0);
  StoreField(e.text, text);
  StoreField(e.script, script);
  StoreField(e.label, label);
}

void ChoiceMenu::Delete(int32_t index) {
  if (index == -1) {
    for (ChoiceEntry& e : state_.entries) e = {};
  } else if (InRange(index, kEntries)) {
    state_.entries[index] = {};
  } else {
    ZAN_WARN("script: SltDel of choice %d, outside 0..4; ignored", index);
    return;
  }
  ClearChoiceArea();
}

void ChoiceMenu::ClearChoiceArea() {
  MessageArea& area = services_.areas.choice;
  area.Clear();
  // Not made only to be cleared: a story without choices never needs it.
  if (!area.HasGlyphSurface()) return;
  Surface& surface = area.GlyphSurface();
  surface.FillAll(0, 0, 0);
  surface.Alpha().Fill(0);
}

bool ChoiceMenu::Show() {
  ClearChoiceArea();
  MessageArea& area = services_.areas.choice;
  TextBuffer& page = area.Buffer();
  const LayoutSettings& settings = services_.areas.Layout().Settings();
  int32_t shown = 0;
  for (int32_t i = 0; i < kEntries; ++i) {
    const ChoiceEntry& e = state_.entries[i];
    if (!e.active) continue;
    const std::string_view text = Field(e.text);
    const bool chosen = e.chosenBefore != 0;
    const int32_t size = chosen ? kTextSize : area.Settings().size;
    const Rgb colour = chosen ? kChosenColour : area.Settings().Colour();
    // The choice area's page keeps each text under its entry's mark, a line each: the
    // history shows it as a page, and a save stores it.
    page.StartMark(i, -1);
    if (!text.empty()) page.AppendText(text, TextBuffer::kCells, size, colour, settings);
    page.EndMark(i, -1);
    page.SetMarkText(i, text);
    page.AppendText("\r\n", TextBuffer::kCells, size, colour, settings);
    RenderEntryText(text, size, colour, shown);
    ++shown;
  }
  if (shown == 0) return false;
  area.ShowAll();
  state_.open = 1;
  state_.hovered = HoverFromPointer();
  return true;
}

void ChoiceMenu::Restore(const ChoiceState& choice, const MaskChoiceState& mask) {
  effect_ = {};
  countdown_ = {};
  state_ = choice;
  mask_ = mask;
  maskKeyed_ = -1;
  SetHitMask(std::string(Field(mask_.hitMask)));  // a copy: the name is stored again
  for (int32_t i = 0; i < kMaskEntries; ++i) {
    Surface& picture = hover_[static_cast<size_t>(i)];
    picture.Release();
    if (const std::string_view file = Field(mask_.entries[i].hover); !file.empty())
      LoadImageFile(services_.data, file, picture);
  }
  bool filled = false;
  for (const ChoiceEntry& e : state_.entries) filled = filled || e.active != 0;
  if (!filled) return;
  Show();
  state_.open = choice.open;
  state_.hovered = choice.hovered;
}

void ChoiceMenu::RenderEntryText(std::string_view text, int32_t size, Rgb colour, int32_t row) {
  if (text.empty()) return;
  MessageLayout& layout = services_.areas.Layout();
  const LayoutSettings saved = layout.Settings();
  LayoutSettings& s = layout.Settings();
  layout.SetVertical(0);
  layout.SetFaceName(GlyphRasterizer::DefaultFace());
  // Every character advances its full 24 pixels, as the centring counts them; the line of
  // a text starts at its row and a wrapped line follows 29 pixels lower.
  s.alignment = 0;
  s.lineGapOn = 1;
  s.lineGap = kLineStep - kTextSize;
  s.rubySpaceOn = 0;
  s.xOffset = CentredX(text.size());
  s.yOffset = kTextRows[static_cast<size_t>(row)] - s.lineGap;
  TextBuffer& b = *entryText_;
  b.Clear();
  b.AppendText(text, TextBuffer::kCells, size, colour, s);
  b.LayoutLinesUniform(kTextSize);
  b.RenderText(services_.areas.choice.GlyphSurface(), 0, 0, false, false, layout);
  layout.Settings() = saved;
  layout.SetVertical(saved.vertical);
}

void ChoiceMenu::StartCountdown(int32_t ms, std::string_view script, std::string_view label) {
  countdown_.active = true;
  countdown_.deadline = services_.clock.Milliseconds() + static_cast<uint32_t>(ms);
  countdown_.script = script;
  countdown_.label = label;
}

int32_t ChoiceMenu::HoverFromPointer() const {
  const int32_t x = services_.input.pointerX;
  const int32_t y = services_.input.pointerY;
  if (!button_.View()) return -1;
  const int32_t w = button_.Width();
  const int32_t h = button_.Height();
  int32_t row = 0;
  for (int32_t i = 0; i < kEntries; ++i) {
    if (!state_.entries[i].active) continue;
    const int32_t top = kButtonRows[static_cast<size_t>(row++)];
    if (x >= 0 && x < w && y >= top && y < top + h) return i;
  }
  return -1;
}

int32_t ChoiceMenu::NextActive(int32_t from, int32_t step) const {
  for (int32_t k = 1; k <= kEntries; ++k) {
    const int32_t at = ((from + step * k) % kEntries + kEntries) % kEntries;
    if (state_.entries[at].active) return at;
  }
  return from;
}

void ChoiceMenu::Input() {
  const PlayerInput& input = services_.input;
  if (input.pointerMoved) state_.hovered = HoverFromPointer();
  if (input.arrow == ArrowKey::kDown) state_.hovered = NextActive(state_.hovered, 1);
  if (input.arrow == ArrowKey::kUp) state_.hovered = NextActive(state_.hovered < 0 ? 0 : state_.hovered, -1);
  const int32_t at = state_.hovered;
  if (input.click != kClickReleased || !InRange(at, kEntries) || !state_.entries[at].active) return;
  state_.open = 0;
  effect_ = {true, at, services_.clock.Milliseconds(), 1};
}

bool ChoiceMenu::Jump(std::string_view script, std::string_view label) {
  return script.empty() ? services_.jumps.JumpToLabel(label) : services_.jumps.JumpToScript(script, label);
}

void ChoiceMenu::FinishChoice() {
  MessageAreas& areas = services_.areas;
  ClearPage(areas, services_.history, areas.CurrentIndex());
  services_.history.Record(areas.choice.Record(), areas.Layout());
  ClearChoiceArea();
  countdown_ = {};
}

void ChoiceMenu::StepSelection(uint32_t now) {
  // Steps keep their 200 ms cadence whatever the frame times, so the jump comes about
  // 800 ms after the click.
  if (now - effect_.stepTime < kBlinkStep) return;
  effect_.stepTime += kBlinkStep;
  if (++effect_.step < kJumpStep) return;
  const ChoiceEntry& e = state_.entries[effect_.position];
  services_.readFlags.MarkChoice(e.optionIndex);
  // What follows happens whether or not the target exists: the choice is over.
  Jump(Field(e.script), Field(e.label));
  FinishChoice();
  effect_ = {};
}

void ChoiceMenu::Draw(Surface& target, uint32_t now) {
  if (effect_.running) StepSelection(now);
  if (!state_.open && !effect_.running) return;
  if (countdown_.active) {
    target.ColorBlend(kTintAmount, 255, 255, 255);
    MarkDirty(target, 0, 0, target.Width(), target.Height());
  }
  int32_t row = 0;
  for (int32_t i = 0; i < kEntries; ++i) {
    if (!state_.entries[i].active) continue;
    // While the chosen button blinks it is lit on the even steps.
    const bool lit = effect_.running ? i == effect_.position && effect_.step % 2 == 0
                                     : i == state_.hovered;
    DrawPicture(target, 0, kButtonRows[static_cast<size_t>(row++)], lit ? buttonOn_ : button_);
  }
  DrawPicture(target, 0, 0, services_.areas.choice.GlyphSurface());
  if (countdown_.active) DrawCountdown(target, now);
}

void ChoiceMenu::DrawCountdown(Surface& target, uint32_t now) {
  const int32_t remaining = static_cast<int32_t>(countdown_.deadline - now);
  // Time runs out only on a choice still open: once a button was clicked, its jump follows.
  if (remaining <= 0) {
    if (!state_.open) return;
    if (Jump(countdown_.script, countdown_.label)) {
      state_.open = 0;
      FinishChoice();
    } else {
      // Trying again every frame would change nothing: the choice stays for a click.
      countdown_ = {};
    }
    return;
  }
  const int32_t seconds = remaining / 1000;
  if (seconds >= kCountdownSheets) return;
  const int32_t ms = remaining % 1000;
  const int32_t column = ms / kCellMs % kCellsPerRow;
  const int32_t line = ms / (kCellMs * kCellsPerRow);
  DrawPicture(target, kCountdownX, kCountdownY, kCellWidth, kCellHeight,
              sheets_[static_cast<size_t>(seconds)], column * kCellWidth, line * kCellHeight);
}

// --- Mask choices ------------------------------------------------------------------------------

void ChoiceMenu::SetHitMask(std::string_view file) {
  hitMask_.Destroy();
  StoreField(mask_.hitMask, file);
  if (file.empty()) return;
  LoadBitmapFile(services_.data, file, hitMask_);
}

void ChoiceMenu::SetHoverPicture(int32_t index, std::string_view file) {
  if (!InRange(index, kMaskEntries)) return;
  MaskChoiceEntry& e = mask_.entries[index];
  StoreField(e.hover, file);
  e.x = 0;
  e.y = 0;
  Surface& picture = hover_[static_cast<size_t>(index)];
  picture.Release();
  if (!file.empty()) LoadImageFile(services_.data, file, picture);
}

void ChoiceMenu::ClearMaskEntry(int32_t index) {
  mask_.entries[index] = {};
  hover_[static_cast<size_t>(index)].Release();
}

void ChoiceMenu::AddMask(int32_t index, std::string_view script, std::string_view label, Rgb colour) {
  if (!InRange(index, kMaskEntries)) return;
  ClearMaskEntry(index);
  MaskChoiceEntry& e = mask_.entries[index];
  e.colour[0] = colour.r;
  e.colour[1] = colour.g;
  e.colour[2] = colour.b;
  StoreField(e.script, script);
  StoreField(e.label, label);
}

void ChoiceMenu::DeleteMask(int32_t index) {
  if (index == -1) {
    for (int32_t i = 0; i < kMaskEntries; ++i) ClearMaskEntry(i);
  } else if (InRange(index, kMaskEntries)) {
    ClearMaskEntry(index);
  }
}

namespace {

// A cleared mask entry has neither script nor label (and is black, like unlisted parts).
bool HasTarget(const MaskChoiceEntry& e) { return e.script[0] != 0 || e.label[0] != 0; }

}  // namespace

int32_t ChoiceMenu::HitTest(int32_t x, int32_t y) const {
  uint8_t r = 0, g = 0, b = 0;
  if (hitMask_.IsCreated() && x >= 0 && y >= 0 && x < hitMask_.BitmapWidth() && y < hitMask_.BitmapHeight()) {
    const uint8_t* p = hitMask_.BitmapRow(y) + 3 * static_cast<size_t>(x);
    b = p[0];
    g = p[1];
    r = p[2];
  }
  for (int32_t i = 0; i < kMaskEntries; ++i) {
    const MaskChoiceEntry& e = mask_.entries[i];
    // A cleared entry is black too; it must not take the black parts of the mask.
    if (!HasTarget(e)) continue;
    if (e.colour[0] == r && e.colour[1] == g && e.colour[2] == b) return i;
  }
  return -1;
}

void ChoiceMenu::MaskInput() {
  const PlayerInput& input = services_.input;
  if (input.pointerMoved) maskKeyed_ = -1;
  if (input.arrow != ArrowKey::kNone) {
    const int32_t step = input.arrow == ArrowKey::kRight || input.arrow == ArrowKey::kDown ? 1 : -1;
    int32_t at = maskKeyed_ >= 0 ? maskKeyed_ : (step > 0 ? -1 : kMaskEntries);
    for (int32_t k = 0; k < kMaskEntries; ++k) {
      at = ((at + step) % kMaskEntries + kMaskEntries) % kMaskEntries;
      if (HasTarget(mask_.entries[at])) {
        maskKeyed_ = at;
        break;
      }
    }
  }
  if (input.click != kClickReleased) return;
  const int32_t hit = MaskHovered();
  if (hit < 0) return;
  const MaskChoiceEntry& e = mask_.entries[hit];
  if (services_.jumps.JumpToScript(Field(e.script), Field(e.label))) {
    mask_.open = 0;
    maskKeyed_ = -1;
  }
}

int32_t ChoiceMenu::MaskHovered() const {
  if (maskKeyed_ >= 0) {
    // An entry deleted since the keys picked it is no longer there to pick.
    if (HasTarget(mask_.entries[maskKeyed_])) return maskKeyed_;
  }
  return HitTest(services_.input.pointerX, services_.input.pointerY);
}

void ChoiceMenu::MenuDrawing::Draw(Surface& frame) {
  drew_ = menu_.state_.open != 0 || menu_.effect_.running;
  menu_.Draw(frame, menu_.services_.clock.Milliseconds());
}

void ChoiceMenu::DrawMaskHover(Surface& target) {
  if (!mask_.open) return;
  const int32_t hit = MaskHovered();
  if (hit < 0) return;
  const MaskChoiceEntry& e = mask_.entries[hit];
  DrawPicture(target, e.x, e.y, hover_[static_cast<size_t>(hit)]);
}

}  // namespace zan
