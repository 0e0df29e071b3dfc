#pragma once
// ScreenPicture: a picture of a system screen, either its background (drawn whole, every
// pixel) or a sprite sheet (the parts that make up its buttons, panels and marks). Parts
// are drawn by the picture's own alpha when it has one; a picture without alpha keeps its
// pure green pixels transparent (the colour key). Either kind can be drawn at a lower
// opacity (fades): a keyed picture is given an alpha plane from its key when it is taken,
// opaque everywhere but the key.
//
// A picture that is missing draws nothing; the screen still works.

#include <cstdint>
#include <string_view>

#include "surface/Surface.h"

namespace zan {

class GameData;

class ScreenPicture {
 public:
  // Loads `name` from the game's pictures. False when the picture is missing or could not
  // be read (the picture loader says which); the picture is then empty.
  bool Load(GameData& data, std::string_view name);
  // Takes the pixels of Pixels() as the picture, after they were made or drawn in place:
  // derives the alpha plane of a picture without alpha of its own.
  void TakePixels();
  void Release();

  bool Empty() const;
  int32_t Width() const { return pixels_.Width(); }
  int32_t Height() const { return pixels_.Height(); }
  Surface& Pixels() { return pixels_; }

  // Draws the part (sx, sy, width, height) at (x, y), clipped to both pictures; at an
  // opacity below 255 blended by it as well.
  void DrawPart(Surface& target, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sx,
                int32_t sy, uint8_t opacity = 255);
  // Copies every pixel of the picture to (x, y), the colour key and alpha ignored (a
  // background).
  void DrawWhole(Surface& target, int32_t x = 0, int32_t y = 0);

 private:
  Surface pixels_;
  bool keyed_ = false;  // no alpha of its own: the alpha plane comes from the colour key
};

}  // namespace zan
