#pragma once
// What the operations on surfaces, bitmaps and alpha planes answer when callers may need
// more than success (those that only succeed or fail answer a bool).

namespace zan {

// Making the pixels of a surface in a display format or of an alpha plane.
enum class CreatePixelsResult {
  kOk,
  kAlreadyCreated,     // the surface or plane already has its pixels (nothing changed)
  kUnavailable,        // no such format, a size that is not positive or too large, no memory
  kBitmapUnavailable,  // the bitmap form of a surface (no display format) could not be made
  kTooShort,           // the bytes given hold fewer than the size announced
};

// Drawing into a surface, a bitmap or an alpha plane. Only kOk draws; each operation says
// which of the others it answers.
enum class DrawResult {
  kOk,             // drawn, or nothing to draw where the operation says so
  kNoPixels,       // the destination or the source has no pixel address (not created)
  kClippedAway,    // nothing of the rectangle lies inside the surfaces
  kNoPixelMemory,  // a surface in a display format without its pixel memory
  kSameSurface,    // the source is the destination
  kOtherFormat,    // the surfaces are in different pixel formats: nothing is drawn
  kNoAlpha,        // an alpha plane the operation needs is missing
  kEmpty,          // the rectangle or the scaled size holds no pixel
  kSizeMismatch,   // the data given is not the size of the destination
  kUnknownMode,    // a copy mode the operation does not have
};

}  // namespace zan
