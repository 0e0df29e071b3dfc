#include "message/MessageLayout.h"

#include <array>

#include "base/ShiftJis.h"
#include "data/GameData.h"
#include "data/TextFields.h"
#include "surface/Surface.h"
#include "stage/PictureFiles.h"
#include "message/Dirty.h"
#include "message/GlyphRasterizer.h"

namespace zan {

std::vector<MessageLayout::Icon> MessageLayout::ReadIconList(std::string_view text) {
  std::vector<Icon> icons;
  ForEachTableLine(text, 1, [&](std::string_view line) {
    std::array<char, kFieldSize> name{};
    std::array<char, kFieldSize> file{};
    GetField(line, name, ",", 1);
    GetField(line, file, ",", 2);
    icons.push_back({std::string(CText(name)), std::string(CText(file))});
    return icons.size() < kMaxIcons;
  });
  return icons;
}

void MessageLayout::LoadIconList() {
  icons_.clear();
  if (data_ == nullptr) return;
  std::vector<uint8_t> bytes;
  if (data_->ReadTableFile("iconlist.csv", kSlotTables, bytes) != 1) return;
  icons_ = ReadIconList(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int32_t MessageLayout::FindIcon(std::string_view name) const {
  for (size_t i = 0; i < icons_.size(); ++i)
    if (icons_[i].name == name) return static_cast<int32_t>(i);
  return -1;
}

bool MessageLayout::DrawIcon(Surface& target, int32_t x, int32_t y, int32_t row, int32_t width) {
  if (row < 0 || static_cast<size_t>(row) >= icons_.size() || data_ == nullptr) return false;
  Surface picture;
  if (!LoadImageFile(*data_, icons_[static_cast<size_t>(row)].file, picture) || picture.Width() <= 0)
    return false;
  // The picture is scaled to the cell's width.
  const int64_t scale = int64_t{width} * 1024 / picture.Width();
  target.ZoomAlphaBlt(x, y, picture, scale);
  // The scaled copy leaves the dirty rectangle as it was; a glyph surface is cleared by it.
  MarkDirty(target, x, y, static_cast<int32_t>(scale * picture.Width() / 1024),
            static_cast<int32_t>(scale * picture.Height() / 1024));
  picture.Release();
  return true;
}

void MessageLayout::SetVertical(int32_t flag) {
  settings_.vertical = flag ? 1 : 0;
  if (rasterizer_) rasterizer_->SetEscapement(flag ? 270 : 0);
}

void MessageLayout::SetFaceName(std::string_view face) { settings_.faceName.assign(face); }

bool MessageLayout::DrawPlainText(std::string_view text, Surface& surface, int32_t x, int32_t y,
                                  int32_t size, Rgb colour) {
  if (!surface.View()) return false;
  if (rasterizer_ == nullptr) return true;
  GlyphRasterizer& r = *rasterizer_;
  r.SetStyle(settings_.style);
  r.SetFaceName(settings_.faceName);
  r.SetGlyphColor(colour.r, colour.g, colour.b);
  r.SetGlyphSize(size, size);
  int32_t advance = 0;
  int32_t lineOffset = 0;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '\r') {
      advance = 0;
      lineOffset += size;
      i += (i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    const bool wide = IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    const size_t n = wide ? 2 : 1;
    if (settings_.vertical) r.SetPenPos(surface.Width() - lineOffset - y - size, x + advance);
    else r.SetPenPos(x + advance, y + lineOffset);
    r.DrawString(surface, text.substr(i, n));
    advance += wide ? size : size / 2;
    i += n;
  }
  return true;
}

}  // namespace zan
