#pragma once
// The game data's picture loaders: a picture is looked up under the picture rules of the
// game data reader (slot 1, else slot 5 when it is open; an archive given; or the data
// folder) and decoded by the bitmap reader into a surface, a mask plane or a bitmap. Each
// first releases what its target holds.
//
// True when the picture was loaded, and when it is in no picture archive (a missing
// picture is not an error: the target stays empty). False when it could not be read, or
// its bytes are not a picture (the reader logs why).

#include <cstdint>
#include <string_view>

namespace zan {

class AlphaPlane;
class Archive;
class Bitmap;
class Surface;
class GameData;

bool LoadImageFile(GameData& data, std::string_view name, Surface& surface, Archive* archive = nullptr);
bool LoadMaskFile(GameData& data, std::string_view name, AlphaPlane& mask, Archive* archive = nullptr);
bool LoadBitmapFile(GameData& data, std::string_view name, Bitmap& bitmap, Archive* archive = nullptr);

}  // namespace zan
