// The BMP reader and writer, the alpha plane, and pictures loaded into surfaces.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "TestSurfaces.h"
#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "surface/AlphaPlane.h"
#include "surface/Bitmap.h"
#include "surface/SurfaceFormat.h"
#include "platform/Files.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

// A BMP file: headers, then `rows` (bottom row first, each row as stored), then `tail`.
std::vector<uint8_t> Bmp(int32_t width, int32_t height, uint16_t bits, const std::vector<uint8_t>& rows,
                         uint16_t reserved1 = 0, const std::vector<uint8_t>& tail = {}) {
  std::vector<uint8_t> f(54);
  StoreU16(&f[0], 0x4D42);
  StoreU16(&f[6], reserved1);
  StoreU32(&f[10], 54);
  StoreU32(&f[14], 40);
  StoreU32(&f[18], static_cast<uint32_t>(width));
  StoreU32(&f[22], static_cast<uint32_t>(height));
  StoreU16(&f[26], 1);
  StoreU16(&f[28], bits);
  f.insert(f.end(), rows.begin(), rows.end());
  f.insert(f.end(), tail.begin(), tail.end());
  StoreU32(&f[2], static_cast<uint32_t>(f.size()));
  return f;
}

// Two rows of a 3 x 2 picture, 24 bits: each row 9 bytes of pixels and 3 of padding.
// Bottom row: blue, green, red; top row: white, black, grey.
const std::vector<uint8_t> kRows24 = {
    255, 0, 0, 0, 255, 0, 0, 0, 255, 0xEE, 0xEE, 0xEE,
    255, 255, 255, 0, 0, 0, 128, 128, 128, 0xEE, 0xEE, 0xEE};

// The file is refused as invalid, nothing is created, and the last log line holds `log`.
void ExpectRefused(const std::vector<uint8_t>& file, const char* log) {
  Bitmap bitmap;
  EXPECT_EQ(bitmap.CreateFromBMP(file), ReadResult::kInvalidFormat);
  EXPECT_FALSE(bitmap.IsCreated());
  EXPECT_NE(Diagnostics().LastMessage().find(log), std::string::npos) << Diagnostics().LastMessage();
}

TEST(BitmapTest, A24BitFileIsReadTopDownWithPaddedRows) {
  Bitmap bitmap;
  ASSERT_EQ(bitmap.CreateFromBMP(Bmp(3, 2, 24, kRows24)), ReadResult::kOk);
  EXPECT_EQ(bitmap.BitmapWidth(), 3);
  EXPECT_EQ(bitmap.BitmapHeight(), 2);
  EXPECT_EQ(bitmap.BitmapPitch(), 12);
  EXPECT_EQ(bitmap.ImageSize(), 18);
  EXPECT_EQ(PixelColour(0, bitmap.Pixels(), 0, 0), (Rgb{255, 255, 255}));  // the top row
  EXPECT_EQ(PixelColour(0, bitmap.Pixels(), 2, 1), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelColour(0, bitmap.Pixels(), 0, 1), (Rgb{0, 0, 255}));
  EXPECT_EQ(bitmap.HasAlpha(), 0);
  ASSERT_TRUE(bitmap.Alpha().IsAllocated());
  EXPECT_EQ(bitmap.Alpha().At(2, 1), 0);
  EXPECT_EQ(bitmap.CreateFromBMP(Bmp(3, 2, 24, kRows24)), ReadResult::kFailed);  // already created
}

TEST(BitmapTest, AppendedAndFourthByteAlphaPlanesAreFlippedTopDown) {
  Bitmap with;
  ASSERT_EQ(with.CreateFromBMP(Bmp(3, 2, 24, kRows24, 1, {1, 2, 3, 4, 5, 6})), ReadResult::kOk);
  EXPECT_EQ(with.HasAlpha(), 1);
  EXPECT_EQ(with.Alpha().At(0, 0), 4);  // the alpha rows are bottom-up too
  EXPECT_EQ(with.Alpha().At(2, 1), 3);

  Bitmap four;
  ASSERT_EQ(four.CreateFromBMP(Bmp(2, 2, 32, {1, 2, 3, 10, 4, 5, 6, 20, 7, 8, 9, 30, 11, 12, 13, 40})), ReadResult::kOk);
  EXPECT_EQ(four.HasAlpha(), 1);
  EXPECT_EQ(four.BitmapPitch(), 8);  // read as 24 bits
  EXPECT_EQ(PixelColour(0, four.Pixels(), 0, 0), (Rgb{9, 8, 7}));
  EXPECT_EQ(four.Alpha().At(0, 0), 30);
  EXPECT_EQ(four.Alpha().At(1, 1), 20);
}

TEST(BitmapTest, HostileFilesAreRefusedWithALogLine) {
  auto with = [](std::vector<uint8_t> f, size_t at, uint32_t v, int bytes) {
    if (bytes == 2) StoreU16(&f[at], static_cast<uint16_t>(v));
    else StoreU32(&f[at], v);
    return f;
  };
  const auto good = Bmp(3, 2, 24, kRows24);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    const char* log;  // part of the log line
  };
  const Case cases[] = {
      {"shorter than the headers", std::vector<uint8_t>(good.begin(), good.begin() + 40), "shorter"},
      {"truncated rows", std::vector<uint8_t>(good.begin(), good.end() - 1), "pixel rows"},
      {"offset past the end", with(good, 10, 0xFFFFFFF0u, 4), "pixel rows"},
      {"height overflowing the file", with(good, 22, 0x7FFF, 4), "pixel rows"},
      {"width past any picture", with(good, 18, 0x40000000, 4), "size"},
      {"negative width", with(good, 18, 0xFFFFFFFDu, 4), "size"},
      {"top-down rows", with(good, 22, 0xFFFFFFFEu, 4), "top-down"},
      {"compressed", with(good, 30, 1, 4), "compression"},
      {"old core header", with(good, 14, 12, 4), "info header"},
      {"alpha plane missing", Bmp(3, 2, 24, kRows24, 1, {1, 2, 3}), "alpha plane"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefused(c.file, c.log);
  }
}

TEST(BitmapTest, OtherBitCountsAreInvalidAndNamedWhenReadAsAnEntry) {
  std::vector<uint8_t> paletted = Bmp(4, 1, 8, std::vector<uint8_t>(4 + 1024));
  Bitmap bitmap;
  EXPECT_EQ(bitmap.ReadImage(paletted, Sjis("背景.bmp")), ReadResult::kInvalidFormat);
  EXPECT_EQ(Diagnostics().LastMessage(), Sjis("CDIB::Readで無効なフォーマットのファイル 背景.bmp"));
  EXPECT_FALSE(bitmap.IsCreated());
}

// A BMP file with bitfields: a 14-byte file header, an info header of `infoSize` bytes, the
// masks (inside a header of 52 bytes or more, else after it), then `rows`.
std::vector<uint8_t> BitfieldsBmp(uint32_t infoSize, uint16_t bits, uint32_t compression,
                                  const std::vector<uint32_t>& masks, int32_t width, int32_t height,
                                  const std::vector<uint8_t>& rows) {
  const size_t masksAt = 54;
  const size_t offBits = infoSize >= 52 ? 14 + infoSize : masksAt + 4 * masks.size();
  std::vector<uint8_t> f(std::max(offBits, masksAt + 4 * masks.size()));
  StoreU16(&f[0], 0x4D42);
  StoreU32(&f[10], static_cast<uint32_t>(offBits));
  StoreU32(&f[14], infoSize);
  StoreU32(&f[18], static_cast<uint32_t>(width));
  StoreU32(&f[22], static_cast<uint32_t>(height));
  StoreU16(&f[26], 1);
  StoreU16(&f[28], bits);
  StoreU32(&f[30], compression);
  for (size_t i = 0; i < masks.size(); ++i) StoreU32(&f[masksAt + 4 * i], masks[i]);
  f.resize(offBits);
  f.insert(f.end(), rows.begin(), rows.end());
  StoreU32(&f[2], static_cast<uint32_t>(f.size()));
  return f;
}

TEST(BitmapTest, BitfieldsWithTheMasksOfTheBytesReadAreReadLikeUncompressedRows) {
  constexpr uint32_t R = 0x00FF0000, G = 0x0000FF00, B = 0x000000FF, A = 0xFF000000;
  // Two rows of a 2 x 2 picture, bottom row first: B, G, R, A.
  const std::vector<uint8_t> rows32 = {1, 2, 3, 10, 4, 5, 6, 20, 7, 8, 9, 30, 11, 12, 13, 40};
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    bool alpha;  // the fourth byte is the opacity
  };
  const Case cases[] = {
      {"40-byte header, three masks after it", BitfieldsBmp(40, 32, 3, {R, G, B}, 2, 2, rows32), false},
      {"40-byte header, four masks after it", BitfieldsBmp(40, 32, 6, {R, G, B, A}, 2, 2, rows32), true},
      {"V3 header (56 bytes)", BitfieldsBmp(56, 32, 3, {R, G, B, A}, 2, 2, rows32), true},
      {"V4 header", BitfieldsBmp(108, 32, 3, {R, G, B, A}, 2, 2, rows32), true},
      {"V5 header", BitfieldsBmp(124, 32, 3, {R, G, B, A}, 2, 2, rows32), true},
      {"V5 header, alpha bitfields", BitfieldsBmp(124, 32, 6, {R, G, B, A}, 2, 2, rows32), true},
      {"V5 header, no alpha mask", BitfieldsBmp(124, 32, 3, {R, G, B, 0}, 2, 2, rows32), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bitmap bitmap;
    ASSERT_EQ(bitmap.CreateFromBMP(c.file), ReadResult::kOk) << Diagnostics().LastMessage();
    EXPECT_EQ(PixelColour(0, bitmap.Pixels(), 0, 0), (Rgb{9, 8, 7}));  // the top row
    EXPECT_EQ(PixelColour(0, bitmap.Pixels(), 1, 1), (Rgb{6, 5, 4}));
    EXPECT_EQ(bitmap.HasAlpha(), c.alpha ? 1 : 0);
    EXPECT_EQ(bitmap.Alpha().At(0, 0), c.alpha ? 30 : 0);
    EXPECT_EQ(bitmap.Alpha().At(1, 1), c.alpha ? 20 : 0);
  }
  // 24 bits with the masks of B, G, R: the padded rows of an uncompressed file.
  Bitmap rgb;
  ASSERT_EQ(rgb.CreateFromBMP(BitfieldsBmp(124, 24, 3, {R, G, B, 0}, 3, 2, kRows24)), ReadResult::kOk);
  EXPECT_EQ(PixelColour(0, rgb.Pixels(), 0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelColour(0, rgb.Pixels(), 2, 1), (Rgb{255, 0, 0}));
  EXPECT_EQ(rgb.HasAlpha(), 0);
}

TEST(BitmapTest, OtherMasksAreRefusedWithALogLineNamingThem) {
  constexpr uint32_t R = 0x00FF0000, G = 0x0000FF00, B = 0x000000FF, A = 0xFF000000;
  const std::vector<uint8_t> rows32(16, 0x55);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    const char* log;  // part of the log line
  };
  const Case cases[] = {
      {"R, G, B, A byte order", BitfieldsBmp(124, 32, 3, {B, G, R, A}, 2, 2, rows32),
       "32 bits with channel masks R 000000FF G 0000FF00 B 00FF0000 A FF000000"},
      {"10-bit channels", BitfieldsBmp(124, 32, 3, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}, 2, 2, rows32),
       "channel masks R 3FF00000 G 000FFC00 B 000003FF A C0000000"},
      {"alpha in the low byte", BitfieldsBmp(108, 32, 3, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}, 2, 2, rows32),
       "channel masks R FF000000"},
      {"24 bits with an alpha mask", BitfieldsBmp(124, 24, 3, {R, G, B, A}, 3, 2, kRows24),
       "24 bits with channel masks R 00FF0000 G 0000FF00 B 000000FF A FF000000"},
      {"alpha bitfields in a V2 header", BitfieldsBmp(52, 32, 6, {R, G, B}, 2, 2, rows32),
       "alpha bitfields without an alpha mask"},
      {"masks past the end", BitfieldsBmp(40, 24, 3, {}, 1, 1, {1, 2, 3, 0}), "channel masks end past"},
      {"16 bits", BitfieldsBmp(40, 16, 3, {0xF800, 0x07E0, 0x001F}, 2, 2, std::vector<uint8_t>(8)),
       "16 bits a pixel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefused(c.file, c.log);
  }
}

class BitmapFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_bitmap_" + std::to_string(::getpid()));
    fs::create_directories(root);
  }
  void TearDown() override {
    fs::remove_all(root);
  }
  std::vector<uint8_t> Slurp(const std::string& name) {
    std::ifstream in(root / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path root;
};

TEST_F(BitmapFileTest, SavedBitmapsAreBottomUp24BitFilesThatReadBack) {
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.Create(2, 2, 1, 24));
  bitmap.Fill(0, 0, 1, 1, 10, 20, 30);
  ASSERT_TRUE(bitmap.SaveBMP((root / "small.bmp").string()));
  const auto file = Slurp("small.bmp");
  ASSERT_EQ(file.size(), 70u);  // 54 + 8 x 2
  EXPECT_EQ(LoadU32(&file[2]), 70u);
  EXPECT_EQ(LoadU32(&file[10]), 54u);
  EXPECT_EQ(LoadU32(&file[22]), 2u);
  EXPECT_EQ(LoadU16(&file[28]), 24);
  EXPECT_EQ(LoadU32(&file[34]), 12u);
  EXPECT_EQ(file[54 + 8], 30);  // the top row is stored last: blue first

  Bitmap back;
  ASSERT_EQ(back.ReadImage(file, "small.bmp"), ReadResult::kOk);
  EXPECT_EQ(back.BitmapFileName(), "small.bmp");
  EXPECT_EQ(PixelColour(0, back.Pixels(), 0, 0), (Rgb{10, 20, 30}));
  EXPECT_EQ(back.ReadImage(file, "small.bmp"), ReadResult::kFailed);  // already created
}

TEST_F(BitmapFileTest, PlanesLoadFromTheBlueOfGreyPicturesAndSaveAsGrey) {
  AlphaPlane plane;
  ASSERT_EQ(plane.Create(3, 2), CreatePixelsResult::kOk);
  plane.FillRect(1, 0, 2, 1, 200);
  ASSERT_TRUE(plane.SaveBMP((root / "mask.bmp").string()));
  Bitmap picture;
  ASSERT_EQ(picture.ReadImage(Slurp("mask.bmp"), "mask.bmp"), ReadResult::kOk);
  EXPECT_EQ(PixelColour(0, picture.Pixels(), 2, 0), (Rgb{200, 200, 200}));
  AlphaPlane again;
  ASSERT_EQ(again.FromPixels24(picture.Pixels()), CreatePixelsResult::kOk);
  EXPECT_EQ(again.At(2, 0), 200);
  EXPECT_EQ(again.At(0, 0), 0);
}

TEST(BitmapTest, SurfacesLoadPicturesInEveryFormat) {
  const std::vector<uint8_t> file = Bmp(3, 2, 24, kRows24, 1, {0, 0, 255, 255, 0, 0});
  for (int32_t format : {555, 565, 888, 8888, 0}) {
    SCOPED_TRACE(format);
    Surface s;
    ASSERT_TRUE(s.LoadBMPInFormat(file, "pic.bmp", format));
    EXPECT_EQ(s.Width(), 3);
    EXPECT_EQ(s.GetFileName(), "pic.bmp");
    EXPECT_EQ(test::Raw(s, 2, 1), PackColour(format, {255, 0, 0}));
    EXPECT_EQ(s.HasAlpha(), 1);
    EXPECT_EQ(s.Alpha().At(0, 0), 255);
    EXPECT_EQ(s.Alpha().At(2, 1), 255);
    EXPECT_EQ(s.Alpha().At(1, 1), 0);
    EXPECT_FALSE(s.LoadBMPInFormat(file, "pic.bmp", format));  // already loaded
  }
  SetSurfaceFormatCode(888);
  Surface picture;
  ASSERT_TRUE(picture.LoadBMP(file, "pic.bmp"));
  EXPECT_EQ(picture.FormatCode(), 888);
  EXPECT_EQ(test::Raw(picture, 2, 1), 0xFF0000u);
  SetSurfaceFormatCode(0);
}

TEST(AlphaPlaneTest, CreationAlignmentAndCodes) {
  AlphaPlane p;
  ASSERT_EQ(p.Create(5, 3), CreatePixelsResult::kOk);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p.Data()) % 8, 0u);
  EXPECT_EQ(p.Row(2), p.Data() + 10);
  EXPECT_EQ(p.Create(5, 3), CreatePixelsResult::kAlreadyCreated);
  EXPECT_EQ(AlphaPlane().Create(0, 3), CreatePixelsResult::kUnavailable);
  EXPECT_EQ(p.CopyRaw(std::vector<uint8_t>(14)), DrawResult::kSizeMismatch);
  EXPECT_EQ(AlphaPlane().CopyRaw(std::vector<uint8_t>(15)), DrawResult::kNoPixels);
  EXPECT_EQ(p.CopyRaw(std::vector<uint8_t>(15, 7)), DrawResult::kOk);
  EXPECT_EQ(p.At(4, 2), 7);

  AlphaPlane rows;
  EXPECT_EQ(rows.CreateFromRows(2, 2, std::vector<uint8_t>{1, 2, 3}), CreatePixelsResult::kTooShort);
  ASSERT_EQ(rows.CreateFromRows(2, 2, std::vector<uint8_t>{1, 2, 3, 4}), CreatePixelsResult::kOk);
  EXPECT_EQ(rows.At(0, 0), 3);
  EXPECT_EQ(rows.At(1, 1), 2);
  EXPECT_EQ(rows.FillRect(2, 0, 1, 1, 9), DrawResult::kClippedAway);
}

TEST(AlphaPlaneTest, CopiesAddAndReplace) {
  AlphaPlane dst, src;
  dst.Create(4, 4);
  src.Create(2, 2);
  dst.Fill(100);
  src.Fill(200);
  EXPECT_EQ(dst.Blt(0, 0, 2, 2, src, 0, 0, 1), DrawResult::kOk);
  EXPECT_EQ(dst.At(1, 1), 255);  // saturates
  EXPECT_EQ(dst.At(2, 2), 100);
  EXPECT_EQ(dst.Blt(3, 3, 2, 2, src, 0, 0, 0), DrawResult::kOk);  // clipped to one byte
  EXPECT_EQ(dst.At(3, 3), 200);
  EXPECT_EQ(dst.Blt(0, 0, 2, 2, src, 0, 0, 5), DrawResult::kUnknownMode);
  EXPECT_EQ(dst.Blt(0, 0, 2, 2, dst, 0, 0, 0), DrawResult::kSameSurface);
  EXPECT_EQ(dst.Blt(0, 0, 2, 2, AlphaPlane(), 0, 0, 0), DrawResult::kNoPixels);
  EXPECT_EQ(dst.Blt(4, 0, 2, 2, src, 0, 0, 0), DrawResult::kClippedAway);
  src.FillRect(0, 0, 1, 1, 127);
  EXPECT_EQ(dst.BltReplace(0, 0, 2, 2, src, 0, 0, 42), DrawResult::kOk);
  EXPECT_EQ(dst.At(0, 0), 42);
  EXPECT_EQ(dst.At(1, 0), 200);
}

}  // namespace
}  // namespace zan
