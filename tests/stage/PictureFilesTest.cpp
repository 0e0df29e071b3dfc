// Pictures read through the game data: the slot rules, the three loaders, and surfaces
// loaded again from the picture archive after a display change.

#include "stage/PictureFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "../surface/TestSurfaces.h"
#include "core/ErrorReporter.h"
#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/GameData.h"
#include "surface/AlphaPlane.h"
#include "surface/Bitmap.h"
#include "surface/SurfaceFormat.h"
#include "platform/headless/HeadlessMessageBoxes.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

// A 24-bit BMP of width x height in one colour (bytes B, G, R), with an appended alpha plane
// of `alpha` when it is given.
std::vector<uint8_t> FlatBmp(int32_t width, int32_t height, Rgb c, std::optional<uint8_t> alpha = {}) {
  const int32_t row = (3 * width + 3) & ~3;
  std::vector<uint8_t> f(54 + static_cast<size_t>(row) * height);
  StoreU16(&f[0], 0x4D42);
  StoreU16(&f[6], alpha ? 1 : 0);
  StoreU32(&f[10], 54);
  StoreU32(&f[14], 40);
  StoreU32(&f[18], static_cast<uint32_t>(width));
  StoreU32(&f[22], static_cast<uint32_t>(height));
  StoreU16(&f[26], 1);
  StoreU16(&f[28], 24);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &f[54 + static_cast<size_t>(y) * row + 3 * x];
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  if (alpha) f.insert(f.end(), static_cast<size_t>(width) * height, *alpha);
  return f;
}

class PictureFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zan_pictures_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    boxes.SetQuiet(true);
    report.Setup(1, nullptr, (dir / "GameErrorLog.txt").string());
    SetSurfaceFormatCode(565);
    testing::WriteBytes((dir / "gra.arc").string(),
                        testing::WriteTestArchive({{Sjis("立ち絵.bmp"), FlatBmp(4, 3, {255, 0, 0}, 200)},
                                                   {"mask.bmp", FlatBmp(2, 2, {90, 90, 90})},
                                                   {"paletted.bmp", std::vector<uint8_t>(60, 0)}},
                                                  "Rod7Q", true));
  }
  void TearDown() override {
    SetSurfaceFormatCode(0);
    fs::remove_all(dir);
  }
  // The game data over the folder's archives, as the start-up opens them.
  std::unique_ptr<GameData> Open() {
    auto data = std::make_unique<GameData>(report, boxes);
    data->LocateGameData(0, dir.string());
    data->SetArchiveMode(1);
    data->OpenGameArchives();
    return data;
  }

  fs::path dir;
  HeadlessMessageBoxes boxes;
  ErrorReporter report{&boxes};
};

TEST_F(PictureFilesTest, TheLoadersDecodeFromThePictureArchive) {
  auto data = Open();
  Surface surface;
  ASSERT_TRUE(LoadImageFile(*data, Sjis("立ち絵.bmp"), surface));
  EXPECT_EQ(surface.Width(), 4);
  EXPECT_EQ(test::Raw(surface, 3, 2), 0xF800u);
  EXPECT_EQ(surface.Alpha().At(3, 2), 200);
  EXPECT_EQ(surface.GetFileName(), Sjis("立ち絵.bmp"));
  EXPECT_EQ(surface.FormatCode(), 565);

  AlphaPlane mask;
  ASSERT_TRUE(LoadMaskFile(*data, "mask.bmp", mask));
  EXPECT_EQ(mask.At(1, 1), 90);
  Bitmap bitmap;
  ASSERT_TRUE(LoadBitmapFile(*data, "mask.bmp", bitmap));
  EXPECT_EQ(bitmap.BitmapFileName(), "mask.bmp");
  // Loading again replaces what the target held.
  ASSERT_TRUE(LoadImageFile(*data, "mask.bmp", surface));
  EXPECT_EQ(surface.Width(), 2);

  EXPECT_FALSE(LoadImageFile(*data, "paletted.bmp", surface));
  EXPECT_EQ(Diagnostics().LastMessage(), Sjis("CDIB::Readで無効なフォーマットのファイル paletted.bmp"));
  EXPECT_EQ(surface.Width(), 0);
}

TEST_F(PictureFilesTest, AMissingPictureIsNoErrorUnlessTheExtraArchiveIsOpen) {
  {
    auto data = Open();
    Surface surface;
    surface.Create(8, 8);
    EXPECT_TRUE(LoadImageFile(*data, "none.bmp", surface));  // gra2.arc absent: nothing, no report
    EXPECT_EQ(surface.Width(), 0);
  }
  testing::WriteBytes((dir / "gra2.arc").string(),
                      testing::WriteTestArchive({{"extra.bmp", FlatBmp(3, 3, {0, 0, 255})}}, "Rod7Q", true));
  auto data = Open();
  Surface surface;
  ASSERT_TRUE(LoadImageFile(*data, "extra.bmp", surface));  // from gra2.arc
  EXPECT_EQ(test::Raw(surface, 0, 0), 0x001Fu);
  EXPECT_FALSE(LoadImageFile(*data, "none.bmp", surface));   // in neither
  AlphaPlane mask;
  EXPECT_FALSE(LoadMaskFile(*data, "mask.bmp", mask, &data->GetArchive(kSlotExtraPictures)));
}

}  // namespace
}  // namespace zan
