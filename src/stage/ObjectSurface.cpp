#include "stage/ObjectSurface.h"

#include <algorithm>
#include <vector>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/GameData.h"
#include "pixels/Clip.h"
#include "stage/PictureFiles.h"

namespace zan {
namespace {

constexpr size_t kFrameEntrySize = 28;
constexpr size_t kLoopLimitOffset = 1124;
constexpr size_t kSheetNameOffset = 1129;
constexpr size_t kSheetNameSize = 260;
constexpr size_t kDrawModeOffset = 1389;

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

std::optional<EyeDefinition> EyeDefinition::Parse(std::span<const uint8_t> file) {
  if (file.size() < kSize) return std::nullopt;
  EyeDefinition d;
  for (int i = 0; i < kFrames; ++i) {
    const uint8_t* e = file.data() + i * kFrameEntrySize;
    d.frames[i] = Frame{static_cast<int32_t>(LoadU32(e)), static_cast<int32_t>(LoadU32(e + 4)),
                        static_cast<int32_t>(LoadU32(e + 8)), static_cast<int32_t>(LoadU32(e + 12)),
                        static_cast<int32_t>(LoadU32(e + 24))};
  }
  d.loopLimit = static_cast<int32_t>(LoadU32(file.data() + kLoopLimitOffset));
  d.sheet = LoadTextField(file.data() + kSheetNameOffset, kSheetNameSize);
  d.drawMode = file[kDrawModeOffset];
  return d;
}

bool EyeDefinition::HasFrames() const {
  return std::any_of(frames.begin(), frames.end(), [](const Frame& f) { return f.width > 0; });
}

ObjectSurface::ObjectSurface(TaskScheduler& tasks)
    : GameTask(tasks, "CObjectSurface", Sjis("CObjectSurface::【オブジェクトサーフェイスクラス】")) {}

void ObjectSurface::Reset() {
  picture_.Release();
  fileName_.clear();
  variant_.Release();
  variantFlag_ = 0;
  variantEffect_ = {};
  StopEye();
  rate_ = kDefaultRate;
}

bool ObjectSurface::LoadPicture(GameData& data, std::string_view name) {
  LoadImageFile(data, name, picture_);
  fileName_ = std::string(name);
  if (!HasPicture()) return false;
  if (picture_.HasAlpha() == 0) picture_.Alpha().Fill(255);
  return true;
}

bool ObjectSurface::CreatePicture(int32_t width, int32_t height) {
  picture_.Release();
  fileName_.clear();
  if (!picture_.Create(width, height)) return false;
  picture_.Alpha().Fill(255);
  return true;
}

bool ObjectSurface::BuildVariant(GameData& data, const EffectRecord& effect) {
  variantEffect_ = effect;
  if (effect.Empty()) {
    variantFlag_ = 0;
    return false;
  }
  variantFlag_ = 1;
  if (!HasPicture()) return true;
  const int32_t w = picture_.Width();
  const int32_t h = picture_.Height();
  if (variant_.Width() != w || variant_.Height() != h || variant_.FormatCode() != picture_.FormatCode()) {
    variant_.Release();
    if (!variant_.Create(w, h)) return true;
  }
  variant_.Blt(0, 0, w, h, picture_, 0, 0, 0);
  variant_.Alpha().CopyRaw(std::span<const uint8_t>(picture_.Alpha().Data(), static_cast<size_t>(w) * h));
  variant_.SetHasAlpha(picture_.HasAlpha());
  if (!effect.overlay.empty()) {
    Surface overlay;
    LoadImageFile(data, effect.overlay, overlay);
    variant_.Blt(effect.overlayX, effect.overlayY, overlay.Width(), overlay.Height(), overlay, 0, 0, 2);
  }
  if (effect.negaposi == 1) variant_.Invert();
  if (effect.mono == 1) variant_.Mono();
  if (effect.amount + effect.red + effect.green + effect.blue > 0)
    variant_.ColorBlend(effect.amount, effect.red, effect.green, effect.blue);
  return true;
}

bool ObjectSurface::Draw(Surface& target, int32_t x, int32_t y, Surface& picture,
                          int32_t rate, int32_t alpha) {
  if (!target.View() || !picture.View() || rate <= 0 || alpha <= 0) return false;
  const bool hasAlpha = picture_.HasAlpha() != 0;
  const int32_t w = picture.Width();
  const int32_t h = picture.Height();
  const int64_t scale = int64_t{rate} * 1024 / 100;
  if (alpha < 255)
    return target.ZoomBlendBlt(x, y, picture, 0, 0, w, h, scale, alpha) == DrawResult::kOk;
  if (rate == 100) return target.Blt(x, y, w, h, picture, 0, 0, hasAlpha ? 2 : 0) == DrawResult::kOk;
  if (hasAlpha) return target.ZoomAlphaBlt(x, y, picture, scale) == DrawResult::kOk;
  return target.StretchBlt(x, y, ClampToInt32(int64_t{rate} * w / 100), ClampToInt32(int64_t{rate} * h / 100),
                           picture, 0, 0, w, h) == DrawResult::kOk;
}

bool ObjectSurface::StartEye(GameData& data, std::string_view file, int32_t offsetX, int32_t offsetY) {
  StopEye();
  eye_.offsetX = offsetX;
  eye_.offsetY = offsetY;
  std::vector<uint8_t> bytes;
  if (data.ReadGameFile(file, kSlotTables, bytes) != 1) return false;
  std::optional<EyeDefinition> definition = EyeDefinition::Parse(bytes);
  if (!definition || !definition->HasFrames()) {
    ZAN_WARN("eye animation %s: not an eye definition (%zu bytes, %s)", SjisToUtf8(file).c_str(),
            bytes.size(), definition ? "no frame" : "too short");
    return false;
  }
  LoadImageFile(data, definition->sheet, eye_.sheet);
  if (eye_.sheet.Width() <= 0) return false;
  eye_.definition = std::move(*definition);
  eye_.active = 1;
  return true;
}

void ObjectSurface::StopEye() {
  eye_.active = 0;
  eye_.tick = 0;
  eye_.frame = 0;
  eye_.loops = 0;
  eye_.sheet.Release();
}

void ObjectSurface::StepEye(Surface& target, int32_t slotX, int32_t slotY, bool show,
                             const std::function<int32_t()>& random) {
  if (!eye_.active) return;
  const EyeDefinition& d = eye_.definition;
  const EyeDefinition::Frame& f = d.frames[static_cast<size_t>(eye_.frame)];
  if (show && f.width > 0) {
    const int32_t x = slotX + eye_.offsetX;
    const int32_t y = slotY + eye_.offsetY;
    if (d.drawMode == 1) {
      target.ScreenBlt(x, y, f.width, f.height, eye_.sheet, f.x, f.y);
      // The blend leaves the dirty rectangle as it was: the frame must show what it drew.
      if (auto c = ClipFill(x, y, f.width, f.height, target.Width(), target.Height()))
        target.AddDirty(c->dx, c->dy, c->dx + c->width, c->dy + c->height);
    } else {
      target.Blt(x, y, f.width, f.height, eye_.sheet, f.x, f.y, 2);
    }
  }
  if (eye_.tick < f.duration) {
    ++eye_.tick;
  } else {
    eye_.tick = 0;
    // The next entry with frames to show; passing the last entry is one pass of the loop.
    bool wrapped = false;
    do {
      if (++eye_.frame == EyeDefinition::kFrames) {
        eye_.frame = 0;
        wrapped = true;
      }
    } while (d.frames[static_cast<size_t>(eye_.frame)].width <= 0);
    if (wrapped && d.loopLimit != 0) {
      if (eye_.loops >= d.loopLimit) eye_.active = 0;
      else ++eye_.loops;
    }
  }
  if (random() % 100 == 0) {
    eye_.tick = 0;
    eye_.frame = 0;
  }
}

}  // namespace zan
