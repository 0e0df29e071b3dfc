#pragma once
// Marks a drawn rectangle, clipped to the surface, as changed (so the display presents it
// when the surface is the back buffer).

#include <cstdint>

#include "pixels/Clip.h"
#include "surface/Surface.h"

namespace zan {

inline void MarkDirty(Surface& surface, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (auto c = ClipFill(x, y, width, height, surface.Width(), surface.Height()))
    surface.AddDirty(c->dx, c->dy, c->dx + c->width, c->dy + c->height);
}

}  // namespace zan
