#pragma once
// ObjectSurface: the pictures of one image slot or zoom window: the main picture with its
// file name, the drawing scale, the variant (the main picture with the slot's effects baked
// in, rebuilt whenever they change, never per frame) and the eye (blink) animation.
//
// It is a game task by kind, so the debug viewers list it with its name and description,
// but it is never started and its per-frame handlers do nothing.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/GameTask.h"
#include "surface/Surface.h"
#include "stage/EffectRecord.h"

namespace zan {

class GameData;

// An eye definition file (little-endian, at least 1392 bytes, from the data tables): 40
// frames of the sheet, the loop limit, the sheet's picture and how frames are drawn.
struct EyeDefinition {
  static constexpr size_t kSize = 1392;
  static constexpr int kFrames = 40;

  struct Frame {
    int32_t x = 0;  // in the frame sheet
    int32_t y = 0;
    int32_t width = 0;  // 0 or less: the entry is skipped
    int32_t height = 0;
    int32_t duration = 0;  // frames
  };
  std::array<Frame, kFrames> frames{};
  int32_t loopLimit = 0;  // 0 repeats for ever; n stops after n further passes
  std::string sheet;      // the frame sheet's picture name
  uint8_t drawMode = 0;   // 1: lightening (ScreenBlt); else per-pixel alpha

  // Null when the file is shorter than a definition.
  static std::optional<EyeDefinition> Parse(std::span<const uint8_t> file);
  bool HasFrames() const;
};

class ObjectSurface : public GameTask {
 public:
  static constexpr int32_t kDefaultRate = 100;

  struct Eye {
    int32_t active = 0;
    int32_t tick = 0;   // frames the current frame has shown
    int32_t frame = 0;  // index into the frame table
    int32_t loops = 0;  // passes completed
    EyeDefinition definition;
    Surface sheet;
    int32_t offsetX = 0;  // from the slot's position
    int32_t offsetY = 0;
  };

  explicit ObjectSurface(TaskScheduler& tasks);

  // Frees the main picture, the variant and the eye animation; the rate becomes 100.
  void Reset();
  // Loads the main picture (through the game data's picture lookup) and keeps its name.
  // A picture without an alpha plane gets an opaque one, so that it fades as the opaque
  // picture it is. True when the picture holds pixels.
  bool LoadPicture(GameData& data, std::string_view name);
  // Gives the main picture a blank width x height surface (zoom windows capture into it)
  // with an opaque alpha plane. True on success.
  bool CreatePicture(int32_t width, int32_t height);

  // Rebuilds the variant from an effect record: nothing for an empty record (the main
  // picture is drawn); otherwise a copy of the main picture and its alpha, the overlay
  // picture drawn on it by its alpha, then negative, grey and the tint. True when the
  // variant is to be drawn.
  bool BuildVariant(GameData& data, const EffectRecord& effect);

  // Draws `picture` (the main picture or the variant) with its top-left corner at (x, y), at
  // `rate` percent of its size and with an opacity 0..255: at 100 % and opaque a plain (or
  // per-pixel alpha) copy, scaled with the bilinear copy when the picture has alpha (the
  // device's scaled copy otherwise), and below 255 the bilinear copy with opacity. Whether
  // the picture has alpha is the main picture's flag. True when something was drawn.
  bool Draw(Surface& target, int32_t x, int32_t y, Surface& picture,
            int32_t rate, int32_t alpha);

  // Starts the eye animation of an eye definition file at an offset from the slot. False
  // (and the animation off) when the file cannot be read, is too short, has no frames, or
  // its frame sheet cannot be loaded.
  bool StartEye(GameData& data, std::string_view file, int32_t offsetX, int32_t offsetY);
  // Stops the animation and frees its sheet.
  void StopEye();
  // Draws the current eye frame at the slot's position (plus the eye offset) when `show`,
  // then advances the animation one frame. `random` is the shared generator: one draw per
  // frame, a 1 in 100 chance of restarting the blink at once.
  void StepEye(Surface& target, int32_t slotX, int32_t slotY, bool show,
               const std::function<int32_t()>& random);

  Surface& Picture() { return picture_; }
  const Surface& Picture() const { return picture_; }
  Surface& Variant() { return variant_; }
  const std::string& FileName() const { return fileName_; }
  bool HasPicture() const { return picture_.Width() > 0 && picture_.Height() > 0; }
  int32_t Rate() const { return rate_; }
  void SetRate(int32_t rate) { rate_ = rate; }
  int32_t VariantFlag() const { return variantFlag_; }
  const EffectRecord& VariantEffect() const { return variantEffect_; }
  Eye& EyeAnimation() { return eye_; }
  const Eye& EyeAnimation() const { return eye_; }

 private:
  Surface picture_;
  std::string fileName_;
  int32_t rate_ = kDefaultRate;
  // One variant: its flag, the record it was built from, and its surface.
  int32_t variantFlag_ = 0;
  EffectRecord variantEffect_;
  Surface variant_;
  Eye eye_;
};

}  // namespace zan
