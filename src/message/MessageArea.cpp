#include "message/MessageArea.h"

#include <algorithm>
#include <cstring>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "surface/Bitmap.h"
#include "stage/PictureFiles.h"
#include "message/GlyphRasterizer.h"

namespace zan {
namespace {

constexpr int32_t kDefaultSize = 18;
// Window positions, text homes and sizes read from a file are kept within this.
constexpr int32_t kCoordinateLimit = 100000;

}  // namespace

void TintPicture(Bitmap& picture, Rgb tint, uint8_t opacity) {
  const int32_t w = picture.BitmapWidth();
  const int32_t h = picture.BitmapHeight();
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = picture.BitmapRow(y);
    for (int32_t x = 0; x < w; ++x) {
      row[3 * x + 0] = static_cast<uint8_t>(row[3 * x + 0] * tint.b / 255);
      row[3 * x + 1] = static_cast<uint8_t>(row[3 * x + 1] * tint.g / 255);
      row[3 * x + 2] = static_cast<uint8_t>(row[3 * x + 2] * tint.r / 255);
    }
  }
  AlphaPlane& alpha = picture.Alpha();
  if (!picture.HasAlpha() || !alpha.IsAllocated()) {
    alpha.Destroy();
    alpha.Create(w, h);
    alpha.Fill(255);
    picture.SetHasAlpha(1);
  }
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = alpha.Row(y);
    for (int32_t x = 0; x < w; ++x) row[x] = static_cast<uint8_t>(row[x] * opacity / 255);
  }
}

void WindowSettings::SetColour(Rgb c) {
  colour[0] = c.r;
  colour[1] = c.g;
  colour[2] = c.b;
}

void WindowSettings::SetDefaultColour(Rgb c) {
  defaultColour[0] = c.r;
  defaultColour[1] = c.g;
  defaultColour[2] = c.b;
}

std::string_view WindowSettings::Picture() const {
  return std::string_view(picture, strnlen(picture, sizeof picture));
}

void WindowSettings::SetPicture(std::string_view name) {
  std::memset(picture, 0, sizeof picture);
  std::memcpy(picture, name.data(), std::min(name.size(), sizeof picture - 1));
}

void MessageAreaRecord::Encode(std::span<uint8_t, kSize> out) const {
  std::memcpy(out.data(), this, kSize);
}

void MessageAreaRecord::Decode(std::span<const uint8_t, kSize> in, MessageAreaRecord& out) {
  std::memcpy(static_cast<void*>(&out), in.data(), kSize);
  out.buffer.Sanitize();
  auto clampCoordinate = [](int32_t& v) { v = std::clamp(v, -kCoordinateLimit, kCoordinateLimit); };
  clampCoordinate(out.windowX);
  clampCoordinate(out.windowY);
  WindowSettings& s = out.settings;
  clampCoordinate(s.homeX);
  clampCoordinate(s.homeY);
  s.hidden = s.hidden != 0 ? 1 : 0;
  s.fade = std::clamp(s.fade, 0, 255);
  s.vertical = s.vertical != 0 ? 1 : 0;
  s.alignment = std::clamp(s.alignment, 0, 2);
  s.SetSize(std::clamp(s.size, 0, 1000));
  s.SetDefaultSize(std::clamp(s.defaultSize, 0, 1000));
}

// --- MessageArea -----------------------------------------------------------------------------

MessageArea::MessageArea() { std::memset(static_cast<void*>(&record_), 0, sizeof record_); }

void MessageArea::Append(std::string_view text, MessageLayout& layout) {
  // Each area keeps its own colour and size: the layout may hold another area's.
  const WindowSettings& s = record_.settings;
  record_.buffer.AppendText(text, TextBuffer::kCells, s.size, s.Colour(), layout.Settings());
}

void MessageArea::AppendRuby(std::string_view base, std::string_view ruby, MessageLayout& layout) {
  const WindowSettings& s = record_.settings;
  record_.buffer.AppendRubyText(base, TextBuffer::kCells, s.size, s.Colour(), ruby, layout.Settings());
}

void MessageArea::AppendIcon(std::string_view name, MessageLayout& layout) {
  record_.buffer.AppendIcon(layout.FindIcon(name), record_.settings.size, record_.settings.Colour());
}

void MessageArea::PresentPage(bool read, MessageLayout& layout) {
  record_.settings.presentedRead = read ? 1 : 0;
  ++pictureRevision_;
  record_.buffer.RenderText(GlyphSurface(), 0, 0, read, true, layout);
}

void MessageArea::Reset(Rgb colour) {
  std::memset(static_cast<void*>(&record_), 0, sizeof record_);
  ++pictureRevision_;
  WindowSettings& s = record_.settings;
  s.hidden = 1;
  s.SetColour(colour);
  s.SetDefaultColour(colour);
  s.SetSize(kDefaultSize);
  s.SetDefaultSize(kDefaultSize);
  picture_.Release();
}

void MessageArea::Restore(const MessageAreaRecord& record, GameData& data, MessageLayout& layout) {
  const std::string picture(record.settings.Picture());
  if (picture != Settings().Picture() || !picture_.View()) {
    picture_.Release();
    if (!picture.empty()) LoadWindowPicture(data, picture);
  }
  record_ = record;
  ApplySettings(layout);
  CreateGlyphSurface();
  PresentPage(record.settings.presentedRead != 0, layout);
}

bool MessageArea::LoadWindowPicture(GameData& data, std::string_view name, const Rgb* tint,
                                    uint8_t opacity) {
  ++pictureRevision_;
  picture_.Release();
  if (tint == nullptr) {
    LoadImageFile(data, name, picture_);
  } else {
    Bitmap picture;
    if (LoadBitmapFile(data, name, picture) && picture.IsCreated()) {
      TintPicture(picture, *tint, opacity);
      if (picture_.Create(picture.BitmapWidth(), picture.BitmapHeight())) {
        picture_.CopyFromBitmap(picture);
        picture_.Alpha().Blt(0, 0, picture.BitmapWidth(), picture.BitmapHeight(), picture.Alpha(), 0, 0, 0);
      }
    }
  }
  if (!picture_.View()) return false;
  record_.settings.SetPicture(name);
  return true;
}

void MessageArea::CreateGlyphSurface() {
  if (glyphs_.View()) return;
  if (!glyphs_.Create(kScreenWidth, kScreenHeight)) return;
  ++pictureRevision_;
  glyphs_.FillAll(0, 0, 0);
  glyphs_.Alpha().Fill(0);
}

void MessageArea::ApplyGeometry(MessageLayout& layout) const {
  const bool framed = picture_.View() ? true : false;
  const int32_t w = framed ? picture_.Width() : kScreenWidth;
  const int32_t h = framed ? picture_.Height() : kScreenHeight;
  const WindowSettings& s = record_.settings;
  LayoutSettings& l = layout.Settings();
  l.alignment = s.alignment;
  l.areaWidth = w - 2 * s.homeX;
  l.areaHeight = h - s.homeY;
}

void MessageArea::ApplySettings(MessageLayout& layout) const {
  const WindowSettings& s = record_.settings;
  LayoutSettings& l = layout.Settings();
  l.textColour = s.Colour();
  l.fontSize = s.size;
  layout.SetVertical(s.vertical);
  layout.SetFaceName(GlyphRasterizer::DefaultFace());
  l.xOffset = s.homeX;
  l.yOffset = s.homeY;
  ApplyGeometry(layout);
}

// --- MessageAreas ----------------------------------------------------------------------------

void MessageAreas::StartGame(GameData& data, Rgb textColour, Rgb readColour, Rgb tint,
                             uint8_t opacity) {
  ++pictureRevision_;
  // The glyph surfaces are made when an area first shows text.
  for (MessageArea& area : areas) area.Reset(textColour);
  choice.Reset(textColour);
  areas[0].LoadWindowPicture(data, "win.bmp", &tint, opacity);
  if (!namePlate_.View()) namePlate_.Create(kNamePlateWidth, kNamePlateHeight);
  ClearNamePlate();
  static const std::string icon = Sjis("送りアイコン.bmp");
  advanceIcon_.Release();
  LoadImageFile(data, icon, advanceIcon_);
  layout_->SetColours(textColour, readColour);
  current_ = 0;
  hiddenByPlayer_ = false;
  windowShown_ = false;
}

void MessageAreas::Restore(GameData& data, std::span<const MessageAreaRecord> records, int32_t current,
                           bool windowShown) {
  for (size_t i = 0; i < areas.size() && i < records.size(); ++i)
    areas[i].Restore(records[i], data, *layout_);
  if (records.size() > areas.size()) choice.Restore(records[areas.size()], data, *layout_);
  SetCurrent(current);
  ClearNamePlate();
  if (const std::string speaker = Current().SpeakerName(); !speaker.empty()) SetSpeaker(current_, speaker);
  ApplySettings(current_);
  windowShown_ = windowShown;
}

bool MessageAreas::SetCurrent(int32_t index) {
  if (index < 0 || index >= kAreaCount) {
    ZAN_WARN("script: no message area %d; area %d stays current", index, current_);
    return false;
  }
  current_ = index;
  return true;
}

void MessageAreas::ClearAll() {
  for (MessageArea& area : areas) area.Clear();
  choice.Clear();
}

void MessageAreas::Append(int32_t index, std::string_view text) {
  // An empty append would still take a blank half-width cell (a speaker line that starts
  // with a command would begin half a character in).
  if (text.empty()) return;
  Area(index).Append(text, *layout_);
}

void MessageAreas::SetSpeaker(int32_t index, std::string_view name) {
  MessageArea& area = Area(index);
  area.SetSpeakerName(name);
  ++pictureRevision_;
  ClearNamePlate();
  ApplySettings(index);
  layout_->DrawPlainText(area.Buffer().SpeakerName(), namePlate_, 0, 0, kSpeakerSize,
                         area.Settings().Colour());
}

void MessageAreas::ClearNamePlate() {
  if (!namePlate_.View()) return;
  ++pictureRevision_;
  namePlate_.FillAll(0, 0, 0);
  namePlate_.Alpha().Fill(0);
}

void MessageAreas::SetWindowHiddenByPlayer(bool hidden) {
  for (MessageArea& area : areas)
    if (area.Settings().hidden == 0) area.Settings().fade = 255;
  hiddenByPlayer_ = hidden;
}

}  // namespace zan
