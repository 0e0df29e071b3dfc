#pragma once
// The demo game's pictures. The numbers the scripts and tables rely on (where a face's
// expression overlay goes, where the blinking eyes sit, which colour of the hit mask is
// which place) are fixed here; the tests hold the game's data files to them.

#include <cstdint>

#include "Raster.h"
#include "Stage.h"

namespace zan::assetgen {

struct Box {
  int x, y, w, h;
};

// Expression overlays: "省略.csv" places them at the box's corner.
inline constexpr Box kAkariFace{118, 110, 124, 108};
inline constexpr Box kNoelFace{124, 116, 132, 116};
// Blink frames: "ImageLoadEye" puts them at the box's corner.
inline constexpr Box kAkariEyes{130, 136, 100, 48};
inline constexpr Box kNoelEyes{138, 148, 104, 46};

// Mask choice on the night beach: the colour of each place in "mask_hit.bmp".
struct MaskColour {
  const char* place;
  uint8_t r, g, b;
};
inline constexpr MaskColour kMaskPlaces[] = {
    {"sky", 40, 40, 200}, {"lighthouse", 200, 40, 40}, {"woods", 40, 160, 60}, {"shore", 220, 200, 40}};

// The zoom window's frame: the window's size plus 5 pixels on every side.
inline constexpr int kZoomFrameW = 210, kZoomFrameH = 160;

// Countdown sheets: cells of 200 × 150, five columns, seven rows.
inline constexpr int kCountdownCellW = 200, kCountdownCellH = 150;

void MakeScenes(Stage& stage, const Font& font);
void MakeCharacters(Stage& stage);
void MakeInterface(Stage& stage, const Font& font);

}  // namespace zan::assetgen
