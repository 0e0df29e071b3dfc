#pragma once
// The game data's picture loaders: a picture is looked up under the picture rules of the
// game data reader (slot 1, else slot 5 when it is open; an archive given; or the data
// folder) and decoded by the bitmap reader into a surface, a mask plane or a bitmap. Each
// first releases what its target holds.
//
// 1 when the picture was loaded, and when it is in no picture archive (a missing picture
// is not an error: the target stays empty). 0 when it could not be read, or its bytes are
// not a picture (the reader logs why).

#include <cstdint>
#include <string_view>

namespace zan {

class CAlphaPlane;
class CArchive;
class CDIB;
class CDirectDrawSurface;
class CGameData;

int32_t LoadImageFile(CGameData& data, std::string_view name, CDirectDrawSurface& surface,
                      CArchive* archive = nullptr);
int32_t LoadMaskFile(CGameData& data, std::string_view name, CAlphaPlane& mask,
                     CArchive* archive = nullptr);
int32_t LoadDibFile(CGameData& data, std::string_view name, CDIB& bitmap, CArchive* archive = nullptr);

}  // namespace zan
