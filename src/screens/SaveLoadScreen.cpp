#include "screens/SaveLoadScreen.h"

#include <algorithm>
#include <cstring>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "core/TaskScheduler.h"
#include "message/GlyphRasterizer.h"
#include "script/Options.h"
#include "script/SaveFile.h"
#include "script/SysFiles.h"
#include "surface/Bitmap.h"
#include "transition/Transition.h"
#include "transition/TransitionPlayer.h"

namespace zan {
namespace {

constexpr int32_t kScreenWidth = 800, kScreenHeight = 600;

// The preview's text, from the save's header: the date and the scene name in 24-pixel
// characters on the first line, the page in up to four lines of 20-pixel characters below.
constexpr int32_t kHeadSize = 24, kPageSize = 20, kPageTop = 28, kSceneX = 250, kPageLines = 4;

// The slot blends: the selected slot toward a light blue, the hovered one toward white.
constexpr uint8_t kSelectedAmount = 128, kHoverAmount = 128, kHeldAmount = 192;

const std::string& ScreenName() {
  static const std::string name = Sjis("CSaveLoad::【セーブロード】");
  return name;
}

ScreenLayout LayoutOf(SaveLoadMode mode) {
  static const std::string saveSheet = Sjis("SAVEボタンchip.bmp");
  static const std::string loadSheet = Sjis("LOADボタンchip.BMP");
  // Without its table the screen still opens with every item zeroed: no button can be hit,
  // no slot frame shows, and a right click or Escape closes it.
  if (mode == SaveLoadMode::kSave) return {DefinitionFileId::kSaveLoad, "SAVE_BG.bmp", saveSheet, false};
  return {DefinitionFileId::kSaveLoad, "LOAD_BG.bmp", loadSheet, false};
}

}  // namespace

SaveLoadScreen::SaveLoadScreen(const ScreenServices& services, SaveLoadStory& story, TransitionPlayer* transitions,
                               GlyphRasterizer* glyphs)
    : SystemScreen(services, "CSaveLoad", ScreenName()), story_(story), transitions_(transitions), glyphs_(glyphs) {}

SaveLoadScreen::~SaveLoadScreen() = default;

std::string SaveLoadScreen::SlotFile(int32_t page, int32_t slot) {
  if (slot < 0) return "saveq.sav";
  return "save" + std::to_string(page * kSlots + slot) + ".sav";
}

bool SaveLoadScreen::Open(SaveLoadMode mode, GameTask* caller, Callback onEnd) {
  if (IsRunning()) return false;
  // A visit that chooses nothing must never hand on the file of an earlier one.
  resultReady_ = false;
  chosen_.clear();
  mode_ = mode;
  if (!OpenScreen(caller, std::move(onEnd), LayoutOf(mode))) return false;
  // The remembered page and slot come from option.dat, which may hold anything.
  page_ = std::clamp(services_.options.lastSavePage, 0, kPages - 1);
  selected_ = std::clamp(services_.options.lastSaveSlot, -1, kSlots - 1);
  lastClick_ = services_.tasks.Now();
  pending_ = Pending::kNone;
  question_ = {};
  closing_ = false;
  notice_.clear();
  previewOf_ = -2;
  stateChanged_ = true;
  if (!preview_.View() && preview_.Create(kPreviewWidth, kPreviewHeight)) preview_.Alpha().Create(kPreviewWidth, kPreviewHeight);
  BuildThumbnails();

  // The screen crosses in from the picture on the screen.
  fade_.reset();
  if (transitions_ != nullptr && (composed_.View() || composed_.Create(kScreenWidth, kScreenHeight)) &&
      transitions_->CaptureScreen()) {
    TransitionParams params;
    params.kind = TransitionKind::kCross;
    params.duration = kOpeningFade;
    if (auto fade = StartTransition(transitions_->Tables(), params, *transitions_->OldScene(), composed_)) {
      fade_ = std::move(*fade);
      fadeStart_ = services_.tasks.Now();
    }
  }
  return true;
}

void SaveLoadScreen::Abandon() {
  if (!IsRunning()) return;
  SetOnEnd(nullptr);
  pending_ = Pending::kNone;
  question_ = {};
  fade_.reset();
  End();
}

std::optional<std::string> SaveLoadScreen::ChosenFile() const {
  if (!resultReady_) return std::nullopt;
  return chosen_;
}

void SaveLoadScreen::BuildThumbnails() {
  for (int32_t s = 0; s < kSlots; ++s) {
    Slot& slot = slots_[static_cast<size_t>(s)];
    const std::optional<std::vector<uint8_t>> bytes = ReadSaveFile(services_.data, SlotFile(page_, s));
    slot.exists = bytes.has_value();
    slot.valid = false;
    if (!slot.thumbnail.View()) slot.thumbnail.Create(SaveFile::kThumbnailWidth, SaveFile::kThumbnailHeight);
    Result<SaveFile> save = bytes ? DecodeSaveFile(*bytes) : Result<SaveFile>(MakeError("no file"));
    Bitmap picture;
    if (save && picture.Create(SaveFile::kThumbnailWidth, SaveFile::kThumbnailHeight, 1, 24)) {
      for (int32_t y = 0; y < SaveFile::kThumbnailHeight; ++y)
        std::memcpy(picture.BitmapRow(y), save->thumbnail.data() + static_cast<size_t>(y) * SaveFile::kThumbnailRow,
                    SaveFile::kThumbnailRow);
      slot.valid = slot.thumbnail.CopyFromBitmap(picture);
    }
    if (!save && bytes)
      ZAN_WARN("%s: not a valid save (%s); its slot shows as empty", SlotFile(page_, s).c_str(),
               save.error().message.c_str());
    if (slot.valid) {
      slot.date = save->time.Text();
      slot.scene = save->scene;
      slot.page = save->pageText;
    } else {
      slot.date.clear();
      slot.scene.clear();
      slot.page.clear();
      ShowEmptySlot(s);
    }
  }
  previewOf_ = -2;
  stateChanged_ = true;
}

void SaveLoadScreen::ShowEmptySlot(int32_t s) {
  Surface& picture = slots_[static_cast<size_t>(s)].thumbnail;
  if (!picture.View()) return;
  picture.FillAll(0, 0, 0);
  const ScreenButton& frame = buttons_.Button(kFirstSlot + s);
  sheet_.DrawPart(picture, 0, 0, frame.rect.width, frame.rect.height, kEmptySlotX, kEmptySlotY);
  const ButtonSource& look = frame.looks[static_cast<size_t>(ButtonLook::kNormal)];
  sheet_.DrawPart(picture, 0, 0, frame.rect.width, frame.rect.height, look.x, look.y);
}

void SaveLoadScreen::OnButton(int32_t number) {
  if (closing_) return;
  SetNotice({});
  switch (number) {
    case kNextPage:
      page_ = (page_ + 1) % kPages;
      BuildThumbnails();
      break;
    case kPreviousPage:
      page_ = (page_ + kPages - 1) % kPages;
      BuildThumbnails();
      break;
    case kBack:
      Close();
      break;
    default:
      if (number >= kFirstDelete && number < kFirstSlot) {
        selected_ = number - kFirstDelete;
        stateChanged_ = true;
        if (slots_[static_cast<size_t>(selected_)].exists) Ask(Pending::kDelete, true);
      } else if (number >= kFirstSlot && number <= kItems) {
        ClickSlot(number - kFirstSlot);
      }
      break;
  }
}

void SaveLoadScreen::ClickSlot(int32_t s) {
  const uint32_t now = services_.tasks.Now();
  const bool again = s == selected_ && (buttons_.LastClickByKey() || now - lastClick_ < kDoubleClick);
  lastClick_ = now;
  if (!again) {
    selected_ = s;
    stateChanged_ = true;
    return;
  }
  const Slot& slot = slots_[static_cast<size_t>(s)];
  if (mode_ == SaveLoadMode::kSave) {
    // An empty place is saved into at once; a file there is only replaced on yes.
    if (slot.exists) Ask(Pending::kSave, false);
    else Carry(Pending::kSave);
  } else if (slot.valid) {
    Ask(Pending::kLoad, false);
  }
}

void SaveLoadScreen::Ask(Pending action, bool always) {
  DialogKind kind = DialogKind::kLoad;
  if (action == Pending::kSave) kind = DialogKind::kOverwrite;
  if (action == Pending::kDelete) kind = DialogKind::kDelete;
  question_ = always ? services_.dialog.AskAlways(kind) : services_.dialog.Ask(kind);
  pending_ = question_.Valid() ? action : Pending::kNone;
}

void SaveLoadScreen::OnCancel() { Close(); }

void SaveLoadScreen::Close() { closing_ = true; }

void SaveLoadScreen::OnFrame() {
  if (pending_ != Pending::kNone) {
    const DialogAnswer answer = services_.dialog.AnswerOf(question_);
    if (answer != DialogAnswer::kPending) {
      const Pending action = pending_;
      pending_ = Pending::kNone;
      question_ = {};
      if (answer == DialogAnswer::kYes) Carry(action);
    }
  }
  if (closing_ && pending_ == Pending::kNone) {
    fade_.reset();
    // The caller's callback runs now; it takes over from the next frame.
    End();
  }
}

void SaveLoadScreen::Carry(Pending action) {
  const std::string file = SlotFile(page_, selected_);
  services_.options.lastSavePage = page_;
  services_.options.lastSaveSlot = selected_;
  switch (action) {
    case Pending::kLoad:
      // Checked before anything closes or resets: a file that cannot be loaded leaves the
      // screen open, and the game (or the title) as it was.
      if (Status loadable = story_.CheckSave(file); !loadable) {
        ZAN_WARN("%s: %s; it is not loaded", file.c_str(), loadable.error().message.c_str());
        SetNotice(Sjis("このデータはロードできません。"));
        break;
      }
      if (Caller() == &story_.StoryTask()) {
        if (!story_.LoadGame(file)) {
          SetNotice(Sjis("このデータはロードできません。"));
          break;
        }
      } else {
        chosen_ = file;
        resultReady_ = true;
      }
      Close();
      break;
    case Pending::kSave:
      if (!story_.SaveGame(file)) SetNotice(Sjis("セーブできませんでした。"));
      BuildThumbnails();
      break;
    case Pending::kDelete:
      if (!RemoveSaveFile(services_.data, file)) ZAN_WARN("%s: the save could not be deleted", file.c_str());
      BuildThumbnails();
      break;
    case Pending::kNone:
      break;
  }
}

void SaveLoadScreen::SetNotice(std::string text) {
  if (text == notice_) return;
  notice_ = std::move(text);
  previewOf_ = -2;
  stateChanged_ = true;
}

int32_t SaveLoadScreen::HoveredSlot() const {
  const int32_t item = buttons_.Selected();
  return item >= kFirstSlot && item <= kItems ? item - kFirstSlot : -1;
}

void SaveLoadScreen::DrawText(int32_t x, int32_t y, int32_t size, std::string_view text) {
  glyphs_->SetFaceName(GlyphRasterizer::DefaultFace());
  glyphs_->SetGlyphColor(255, 255, 255);
  glyphs_->SetGlyphSize(size, size);
  glyphs_->SetWeight(4);
  glyphs_->SetEscapement(0);
  glyphs_->SetStyle(0);
  glyphs_->SetPenPos(x, y);
  glyphs_->DrawString(preview_, text);
}

void SaveLoadScreen::RenderPreview(int32_t s) {
  const int32_t shows = notice_.empty() ? s : -1;
  if (shows == previewOf_ || !preview_.View()) return;
  previewOf_ = shows;
  preview_.FillAll(0, 0, 0);
  preview_.Alpha().Fill(0);
  if (glyphs_ == nullptr) return;
  if (shows < 0) {
    DrawText(0, 0, kHeadSize, notice_);
    return;
  }
  const Slot& slot = slots_[static_cast<size_t>(shows)];
  DrawText(0, 0, kHeadSize, slot.date);
  DrawText(kSceneX, 0, kHeadSize, slot.scene);
  std::string_view page = slot.page;
  for (int32_t line = 0; line < kPageLines && !page.empty(); ++line) {
    const size_t end = page.find("\r\n");
    DrawText(0, kPageTop + line * kPageSize, kPageSize, page.substr(0, end));
    page = end == std::string_view::npos ? std::string_view{} : page.substr(end + 2);
  }
}

void SaveLoadScreen::DrawScreen(Surface& target) {
  background_.DrawWhole(target);
  for (int32_t n = kNextPage; n < kFirstSlot; ++n) {
    const ScreenButton& b = buttons_.Button(n);
    if (b.visible && b.rect.HasArea()) buttons_.DrawButton(target, sheet_, n, buttons_.LookOf(n));
  }
  const int32_t hovered = HoveredSlot();
  if (!notice_.empty() || (hovered >= 0 && slots_[static_cast<size_t>(hovered)].valid)) {
    RenderPreview(hovered);
    target.Blt(kPreviewX, kPreviewY, kPreviewWidth, kPreviewHeight, preview_, 0, 0, 2);
  }
  for (int32_t s = 0; s < kSlots; ++s) {
    const ButtonRect& r = buttons_.Button(kFirstSlot + s).rect;
    if (!r.HasArea()) continue;
    // A frame smaller than the thumbnail shows only its part of it.
    target.Blt(r.x, r.y, std::min(r.width, SaveFile::kThumbnailWidth), std::min(r.height, SaveFile::kThumbnailHeight),
               slots_[static_cast<size_t>(s)].thumbnail, 0, 0, 0);
  }
  for (int32_t s = 0; s < kSlots; ++s) {
    const ButtonRect& r = buttons_.Button(kFirstSlot + s).rect;
    if (!r.HasArea()) continue;
    if (s == selected_) target.FillBlend(r.x, r.y, r.width, r.height, kSelectedAmount, 128, 128, 255);
    if (s == hovered) {
      const bool held = buttons_.LookOf(kFirstSlot + s) == ButtonLook::kPressed;
      target.FillBlend(r.x, r.y, r.width, r.height, held ? kHeldAmount : kHoverAmount, 255, 255, 255);
    }
  }
  sheet_.DrawPart(target, kPageNumberX, kPageNumberY, kDigitSize, kDigitSize, kDigitsX + page_ * kDigitSize, 0);
}

void SaveLoadScreen::Draw(Surface& frame) {
  if (fade_) {
    DrawScreen(composed_);
    if (fade_->Draw(frame, services_.tasks.Now() - fadeStart_)) fade_.reset();
  } else {
    DrawScreen(frame);
  }
  // The fill blends do not mark what they change: the frame is marked whole.
  frame.AddDirty(0, 0, kScreenWidth, kScreenHeight);
  buttons_.MarkDrawn();
  picturesDrawn_ = true;
  stateChanged_ = false;
}

bool SaveLoadScreen::Changed() const { return SystemScreen::Changed() || stateChanged_ || fade_ != nullptr; }

}  // namespace zan
