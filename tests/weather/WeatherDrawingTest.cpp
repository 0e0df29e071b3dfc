// The weather's drawing in every pixel format: lightened lines, additive stretched copies and
// rotated copies, on small surfaces whose expected pixels are worked out by hand or from the
// formulas in the test (WeatherExpect.h).

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../surface/TestSurfaces.h"
#include "../transition/TransitionExpect.h"
#include "WeatherExpect.h"
#include "WeatherTesting.h"
#include "weather/WeatherDrawing.h"
#include "weather/WeatherTables.h"

namespace zan {
namespace {

using test::Added;
using test::Channels;
using test::Lightened;
using test::LinePixels;
using test::MakeSurface;
using test::PackRgb;
using test::Raw;
using test::SetRaw;
using test::ExpectPixels;
using test::Tables;

// A scene of middle colours that differ from pixel to pixel, so that every drawn pixel shows.
Channels SceneColour(int32_t x, int32_t y) {
  return {static_cast<uint32_t>(40 + (x * 7 + y) % 100), static_cast<uint32_t>(60 + (x + y * 5) % 90),
          static_cast<uint32_t>(30 + (x * 3 + y * 11) % 120)};
}

class WeatherDrawingTest : public ::testing::TestWithParam<int32_t> {
 protected:
  int32_t F() const { return GetParam(); }

  std::unique_ptr<Surface> Scene(int32_t w, int32_t h) {
    auto s = MakeSurface(F(), w, h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) SetRaw(*s, x, y, PackRgb(F(), SceneColour(x, y)));
    s->ClearDirty();
    return s;
  }
  uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) const { return PackRgb(F(), {r, g, b}); }

  // The scene lightened once by `amount` on `pixels`, unchanged elsewhere.
  void ExpectLit(Surface& target, const std::set<std::pair<int64_t, int64_t>>& pixels, uint32_t amount,
                 const std::string& what) {
    ExpectPixels(
        target,
        [&](int32_t x, int32_t y) {
          const uint32_t scene = Pack(SceneColour(x, y).r, SceneColour(x, y).g, SceneColour(x, y).b);
          return pixels.count({x, y}) ? Lightened(F(), scene, amount) : scene;
        },
        what);
  }
};

INSTANTIATE_TEST_SUITE_P(Formats, WeatherDrawingTest, ::testing::Values(555, 565, 888, 8888, 0),
                         [](const auto& info) { return "F" + std::to_string(info.param); });

// --- DrawLine -------------------------------------------------------------------------------

struct LineCase {
  const char* what;
  int32_t x0, y0, x1, y1;
};

TEST_P(WeatherDrawingTest, LinesInsideLightenExactlyTheirBresenhamPixels) {
  const LineCase cases[] = {
      {"horizontal", 2, 3, 9, 3},       {"vertical", 4, 1, 4, 8},          {"diagonal", 1, 1, 8, 8},
      {"shallow", 1, 1, 11, 5},         {"steep", 3, 2, 6, 11},            {"shallow backwards", 12, 7, 0, 2},
      {"steep backwards", 9, 11, 7, 0}, {"anti-diagonal", 10, 0, 2, 8},    {"a point", 5, 5, 5, 5},
      {"two to one", 0, 0, 2, 1},       {"one to two", 0, 0, 1, 2},
  };
  for (const LineCase& c : cases) {
    auto target = Scene(14, 12);
    EXPECT_EQ(DrawLine(*target, c.x0, c.y0, c.x1, c.y1, 90), kDrawn) << c.what;
    ExpectLit(*target, LinePixels(c.x0, c.y0, c.x1, c.y1), 90, c.what);
  }
}

TEST_P(WeatherDrawingTest, LinesAreClippedToTheSurface) {
  // Clipped to 20 x 10: the part inside keeps the pixels of the whole line.
  std::set<std::pair<int64_t, int64_t>> row;
  for (int64_t x = 0; x < 20; ++x) row.insert({x, 4});
  std::set<std::pair<int64_t, int64_t>> column;
  for (int64_t y = 0; y < 10; ++y) column.insert({3, y});
  std::set<std::pair<int64_t, int64_t>> diagonal;
  for (int64_t k = 0; k < 10; ++k) diagonal.insert({k, k});
  std::set<std::pair<int64_t, int64_t>> rightPart;
  for (int64_t x = 15; x < 20; ++x) rightPart.insert({x, 9});
  struct Clipped {
    LineCase line;
    std::set<std::pair<int64_t, int64_t>> pixels;
  };
  const Clipped cases[] = {
      {{"across a row", -5, 4, 40, 4}, row},
      {{"down a column", 3, -100, 3, 100}, column},
      {{"through a corner", -3, -3, 30, 30}, diagonal},
      {{"in from the right on the last row", 60, 9, 15, 9}, rightPart},
      {{"the widest row", INT32_MIN, 4, INT32_MAX, 4}, row},
      {{"the widest diagonal", INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, diagonal},
  };
  for (const Clipped& c : cases) {
    auto target = Scene(20, 10);
    EXPECT_EQ(DrawLine(*target, c.line.x0, c.line.y0, c.line.x1, c.line.y1, 40), kDrawn) << c.line.what;
    ExpectLit(*target, c.pixels, 40, c.line.what);
  }
}

TEST_P(WeatherDrawingTest, SlopedLinesCutByAnEdgeStayInsideAndLightenOnce) {
  const LineCase cases[] = {{"left", -7, 2, 12, 9}, {"top", 3, -20, 9, 8}, {"right", 5, 1, 40, 6},
                            {"bottom", 2, 3, 9, 31}, {"two edges", -9, 12, 25, -4}};
  for (const LineCase& c : cases) {
    auto target = Scene(20, 10);
    EXPECT_EQ(DrawLine(*target, c.x0, c.y0, c.x1, c.y1, 200), kDrawn) << c.what;
    // Every changed pixel is lightened once, and lies within a pixel of the ideal line.
    int32_t lit = 0;
    for (int32_t y = 0; y < 10; ++y) {
      for (int32_t x = 0; x < 20; ++x) {
        const Channels sc = SceneColour(x, y);
        const uint32_t scene = Pack(sc.r, sc.g, sc.b);
        const uint32_t got = Raw(*target, x, y);
        if (got == scene) continue;
        ++lit;
        EXPECT_EQ(got, Lightened(F(), scene, 200)) << c.what << " at " << x << ", " << y;
        const double cross = static_cast<double>(c.x1 - c.x0) * (y - c.y0) - static_cast<double>(c.y1 - c.y0) * (x - c.x0);
        const double length = std::hypot(c.x1 - c.x0, c.y1 - c.y0);
        EXPECT_LE(std::abs(cross) / length, 1.5) << c.what << " at " << x << ", " << y;
      }
    }
    EXPECT_GT(lit, 3) << c.what;
  }
}

TEST_P(WeatherDrawingTest, LinesWhollyOutsideDrawNothing) {
  const LineCase cases[] = {{"above", -5, -1, 30, -1},   {"left", -1, 0, -1, 9},       {"below", 0, 10, 19, 10},
                            {"past a corner", 15, -8, 25, 3}, {"far away", INT32_MIN, INT32_MIN, INT32_MIN + 5, -1}};
  for (const LineCase& c : cases) {
    auto target = Scene(20, 10);
    EXPECT_EQ(DrawLine(*target, c.x0, c.y0, c.x1, c.y1, 200), kDrawClipped) << c.what;
    ExpectLit(*target, {}, 0, c.what);
    EXPECT_FALSE(target->IsDirty()) << c.what;
  }
}

TEST_P(WeatherDrawingTest, TheAmountIsKeptWithinAByte) {
  struct AmountCase {
    int32_t given;
    uint32_t used;
  };
  for (const AmountCase& c : {AmountCase{0, 0}, {15, 15}, {255, 255}, {300, 255}, {-7, 0}}) {
    auto target = Scene(12, 4);
    DrawLine(*target, 0, 1, 11, 1, c.given);
    ExpectLit(*target, LinePixels(0, 1, 11, 1), c.used, "amount " + std::to_string(c.given));
  }
}

TEST_P(WeatherDrawingTest, TheAlphaPlaneProtectsPixelsFromLines) {
  auto target = Scene(10, 3);
  // Plane bytes 0, 1, 128, 254, 255 along the row: the device formats keep every pixel whose
  // byte is not 0, the bitmap only those at 255.
  const uint8_t plane[] = {0, 1, 128, 254, 255, 0, 1, 128, 254, 255};
  for (int32_t x = 0; x < 10; ++x) target->Alpha().Row(1)[x] = plane[x];
  DrawLine(*target, 0, 1, 9, 1, 120);
  std::set<std::pair<int64_t, int64_t>> lit;
  for (int32_t x = 0; x < 10; ++x) {
    const bool protectedPixel = F() == 0 ? plane[x] == 255 : plane[x] != 0;
    if (!protectedPixel) lit.insert({x, 1});
  }
  ExpectLit(*target, lit, 120, "under the plane");
}

TEST_P(WeatherDrawingTest, ALineExtendsTheDirtyRectangleByItsClippedBox) {
  auto target = Scene(20, 10);
  DrawLine(*target, 9, 5, 2, 3, 30);
  EXPECT_EQ(target->GetDirty(), (DirtyRect{2, 3, 10, 6}));
  DrawLine(*target, 15, -4, 15, 100, 30);
  EXPECT_EQ(target->GetDirty(), (DirtyRect{2, 0, 16, 10}));
}

TEST(WeatherDrawing, NothingIsDrawnOnASurfaceWithoutPixels) {
  Surface empty;
  EXPECT_EQ(DrawLine(empty, 0, 0, 5, 5, 100), kDrawNoPixels);
  auto picture = MakeSurface(565, 4, 4);
  EXPECT_EQ(AddStretchBlt(empty, 0, 0, 4, 4, *picture), kDrawNoPixels);
  EXPECT_EQ(RotateBlt(empty, Tables(), 0, 0, *picture, 0, 0, 4, 4, 0, 1024), kDrawNoPixels);
}

// --- AddStretchBlt --------------------------------------------------------------------------

// A small source whose pixel (x, y) has a colour of its own.
Channels SourceColour(int32_t x, int32_t y) {
  return {static_cast<uint32_t>(50 + 60 * x), static_cast<uint32_t>(20 + 70 * y), static_cast<uint32_t>(90 + 11 * x * y)};
}

TEST_P(WeatherDrawingTest, AStretchedSourceIsAddedByNearestNeighbour) {
  struct StretchCase {
    const char* what;
    int32_t sw, sh;        // source size
    int32_t x, y, w, h;    // where it is drawn
    std::vector<int32_t> columns;  // source column of each drawn column (hand-computed)
    std::vector<int32_t> rows;
  };
  const StretchCase cases[] = {
      {"doubled", 2, 2, 1, 1, 4, 4, {0, 0, 1, 1}, {0, 0, 1, 1}},
      // 3 x 65536 / 7 = 28086: columns 0, 0, 0, 1, 1, 2, 2.
      {"three to seven", 3, 1, 2, 3, 7, 2, {0, 0, 0, 1, 1, 2, 2}, {0, 0}},
      {"halved", 4, 4, 0, 0, 2, 2, {0, 2}, {0, 2}},
      {"one pixel spread", 1, 1, 3, 2, 5, 3, {0, 0, 0, 0, 0}, {0, 0, 0}},
      {"same size", 3, 2, 4, 4, 3, 2, {0, 1, 2}, {0, 1}},
  };
  for (const StretchCase& c : cases) {
    auto target = Scene(12, 9);
    auto source = MakeSurface(F(), c.sw, c.sh);
    for (int32_t y = 0; y < c.sh; ++y)
      for (int32_t x = 0; x < c.sw; ++x) SetRaw(*source, x, y, PackRgb(F(), SourceColour(x, y)));
    EXPECT_EQ(AddStretchBlt(*target, c.x, c.y, c.w, c.h, *source), kDrawn) << c.what;
    ExpectPixels(
        *target,
        [&](int32_t x, int32_t y) {
          const Channels sc = SceneColour(x, y);
          const uint32_t scene = Pack(sc.r, sc.g, sc.b);
          if (x < c.x || y < c.y || x >= c.x + c.w || y >= c.y + c.h) return scene;
          const int32_t sx = c.columns[static_cast<size_t>(x - c.x)];
          const int32_t sy = c.rows[static_cast<size_t>(y - c.y)];
          return Added(F(), scene, PackRgb(F(), SourceColour(sx, sy)));
        },
        c.what);
    EXPECT_EQ(target->GetDirty(), (DirtyRect{c.x, c.y, c.x + c.w, c.y + c.h})) << c.what;
  }
}

TEST_P(WeatherDrawingTest, AddingSaturatesEachChannel) {
  auto target = MakeSurface(F(), 2, 1);
  auto source = MakeSurface(F(), 1, 1);
  SetRaw(*target, 0, 0, Pack(200, 100, 250));
  SetRaw(*target, 1, 0, Pack(10, 250, 30));
  SetRaw(*source, 0, 0, Pack(100, 200, 8));
  AddStretchBlt(*target, 0, 0, 2, 1, *source);
  // Worked out on the channels at 8 bits where they fit the format exactly.
  if (F() == 565) {
    EXPECT_EQ(Raw(*target, 0, 0), (31u << 11) | (63u << 5) | 31u);            // 25+12, 25+50, 31+1
    EXPECT_EQ(Raw(*target, 1, 0), (13u << 11) | (63u << 5) | (3u + 1u));      // 1+12, 62+50, 3+1
  } else if (F() == 555) {
    EXPECT_EQ(Raw(*target, 0, 0), (31u << 10) | (31u << 5) | 31u);
    EXPECT_EQ(Raw(*target, 1, 0), (13u << 10) | (31u << 5) | 4u);
  } else {
    EXPECT_EQ(Raw(*target, 0, 0), Pack(255, 255, 255));
    EXPECT_EQ(Raw(*target, 1, 0), Pack(110, 255, 38));
  }
}

TEST(WeatherDrawing, AddingKeepsTheFourthByteOfThe32BitTarget) {
  auto target = MakeSurface(8888, 1, 1);
  auto source = MakeSurface(8888, 1, 1);
  SetRaw(*target, 0, 0, 0x5A102030);
  SetRaw(*source, 0, 0, 0x77010203);
  AddStretchBlt(*target, 0, 0, 1, 1, *source);
  EXPECT_EQ(Raw(*target, 0, 0), 0x5A112233u);
}

TEST_P(WeatherDrawingTest, AStretchedCopyIsClippedAtTheMatchingSourcePixels) {
  auto target = Scene(6, 5);
  auto source = MakeSurface(F(), 2, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 2; ++x) SetRaw(*source, x, y, PackRgb(F(), SourceColour(x, y)));
  // 2 x 2 doubled to 4 x 4 at (-1, -1): the visible 3 x 3 starts one pixel into the first
  // source pixel's block.
  EXPECT_EQ(AddStretchBlt(*target, -1, -1, 4, 4, *source), kDrawn);
  const int32_t from[] = {0, 1, 1};
  ExpectPixels(
      *target,
      [&](int32_t x, int32_t y) {
        const Channels sc = SceneColour(x, y);
        const uint32_t scene = Pack(sc.r, sc.g, sc.b);
        if (x > 2 || y > 2) return scene;
        return Added(F(), scene, PackRgb(F(), SourceColour(from[x], from[y])));
      },
      "clipped at the top left");
  EXPECT_EQ(AddStretchBlt(*target, 6, 0, 4, 4, *source), kDrawClipped);
  EXPECT_EQ(AddStretchBlt(*target, -4, 0, 4, 4, *source), kDrawClipped);
  EXPECT_EQ(AddStretchBlt(*target, 0, 0, 0, 4, *source), kDrawNothing);
  EXPECT_EQ(AddStretchBlt(*target, 0, 0, 3, -1, *source), kDrawNothing);
}

TEST_P(WeatherDrawingTest, SurfacesOfAnotherFormatOrWithoutPixelsAreNotDrawn) {
  auto target = Scene(6, 5);
  auto other = MakeSurface(F() == 565 ? 8888 : 565, 2, 2);
  test::FillRaw(*other, 0x7FFF);
  Surface empty;
  EXPECT_EQ(AddStretchBlt(*target, 0, 0, 4, 4, *other), kDrawNoPixels);
  EXPECT_EQ(AddStretchBlt(*target, 0, 0, 4, 4, empty), kDrawNoPixels);
  EXPECT_EQ(RotateBlt(*target, Tables(), 0, 0, *other, 0, 0, 2, 2, 0, 1024), kDrawNoPixels);
  EXPECT_EQ(RotateBlt(*target, Tables(), 0, 0, empty, 0, 0, 2, 2, 0, 1024), kDrawNoPixels);
  ExpectLit(*target, {}, 0, "unchanged");
}

// --- RotateBlt ------------------------------------------------------------------------------

// A sheet of 10 x 6 whose pixel (x, y) has a colour of its own (never the key).
std::unique_ptr<Surface> Sheet(int32_t format, int32_t w = 10, int32_t h = 6) {
  auto s = MakeSurface(format, w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      SetRaw(*s, x, y, PackRgb(format, {static_cast<uint32_t>(16 + 20 * x), static_cast<uint32_t>(8 + 36 * y), 200}));
  return s;
}

// The source rectangle (sx, sy, w, h) turned clockwise a quarter `quarters` times, placed
// with its centre on the centre of the box (x, y, w, h): what each target pixel shows.
std::map<std::pair<int32_t, int32_t>, std::pair<int32_t, int32_t>> Turned(int32_t x, int32_t y, int32_t sx,
                                                                         int32_t sy, int32_t w, int32_t h,
                                                                         int quarters) {
  std::map<std::pair<int32_t, int32_t>, std::pair<int32_t, int32_t>> shown;
  const bool across = quarters % 2 == 1;
  const int32_t tw = across ? h : w;
  const int32_t th = across ? w : h;
  const int32_t left = x + (w - tw) / 2;
  const int32_t top = y + (h - th) / 2;
  for (int32_t j = 0; j < h; ++j) {
    for (int32_t i = 0; i < w; ++i) {
      int32_t c = i;
      int32_t r = j;
      switch (quarters) {
        case 1: c = h - 1 - j; r = i; break;
        case 2: c = w - 1 - i; r = h - 1 - j; break;
        case 3: c = j; r = w - 1 - i; break;
        default: break;
      }
      shown[{left + c, top + r}] = {sx + i, sy + j};
    }
  }
  return shown;
}

TEST_P(WeatherDrawingTest, QuarterTurnsAtFullScaleMoveEveryPixelWhole) {
  auto sheet = Sheet(F());
  struct TurnCase {
    int32_t rotation;
    int quarters;
  };
  // Rotations outside 0..1023 count modulo 1024.
  for (const TurnCase& c : {TurnCase{0, 0}, {256, 1}, {512, 2}, {768, 3}, {1024, 0}, {-256, 3}, {1024 + 256, 1},
                            {INT32_MIN, 0}}) {
    auto target = Scene(16, 14);
    EXPECT_EQ(RotateBlt(*target, Tables(), 5, 6, *sheet, 3, 1, 4, 2, c.rotation, 1024), kDrawn);
    const auto shown = Turned(5, 6, 3, 1, 4, 2, c.quarters);
    ExpectPixels(
        *target,
        [&](int32_t x, int32_t y) {
          auto it = shown.find({x, y});
          if (it != shown.end()) return Raw(*sheet, it->second.first, it->second.second);
          const Channels sc = SceneColour(x, y);
          return Pack(sc.r, sc.g, sc.b);
        },
        "rotation " + std::to_string(c.rotation));
  }
}

TEST_P(WeatherDrawingTest, ScalesEnlargeAndShrinkAboutTheCentre) {
  auto sheet = Sheet(F());
  struct ScaleCase {
    const char* what;
    int32_t sx, sy, w, h, scale;
    int32_t left, top;          // the first target pixel drawn (box at 6, 5)
    std::vector<int32_t> columns;  // source column of each drawn target column
    std::vector<int32_t> rows;
  };
  const ScaleCase cases[] = {
      // Twice the size: each pixel a 2 x 2 block, centred on the box.
      {"doubled", 2, 1, 2, 2, 2048, 5, 4, {2, 2, 3, 3}, {1, 1, 2, 2}},
      // Half the size: the pixel centres 2j + 1/2 of the box fall on odd source pixels.
      {"halved", 0, 0, 4, 4, 512, 7, 6, {1, 3}, {1, 3}},
  };
  for (const ScaleCase& c : cases) {
    auto target = Scene(16, 14);
    EXPECT_EQ(RotateBlt(*target, Tables(), 6, 5, *sheet, c.sx, c.sy, c.w, c.h, 0, c.scale), kDrawn) << c.what;
    const int32_t right = c.left + static_cast<int32_t>(c.columns.size());
    const int32_t bottom = c.top + static_cast<int32_t>(c.rows.size());
    ExpectPixels(
        *target,
        [&](int32_t x, int32_t y) {
          if (x >= c.left && x < right && y >= c.top && y < bottom)
            return Raw(*sheet, c.columns[static_cast<size_t>(x - c.left)], c.rows[static_cast<size_t>(y - c.top)]);
          const Channels sc = SceneColour(x, y);
          return Pack(sc.r, sc.g, sc.b);
        },
        c.what);
  }
}

TEST_P(WeatherDrawingTest, AnEighthTurnStaysWithinTheRectangleAndShowsOnlyItsPixels) {
  auto sheet = Sheet(F());
  auto target = Scene(24, 24);
  // 6 x 4 at (9, 10), turned by 128 (an eighth): every changed pixel shows a pixel of the
  // rectangle, within the rectangle's circumscribed circle around the box's centre (12, 12).
  EXPECT_EQ(RotateBlt(*target, Tables(), 9, 10, *sheet, 2, 1, 6, 4, 128, 1024), kDrawn);
  std::set<uint32_t> rectangle;
  for (int32_t y = 1; y < 5; ++y)
    for (int32_t x = 2; x < 8; ++x) rectangle.insert(Raw(*sheet, x, y));
  int32_t drawn = 0;
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 0; x < 24; ++x) {
      const Channels sc = SceneColour(x, y);
      const uint32_t got = Raw(*target, x, y);
      if (got == Pack(sc.r, sc.g, sc.b)) continue;
      ++drawn;
      EXPECT_TRUE(rectangle.count(got)) << x << ", " << y;
      EXPECT_LE(std::hypot(x + 0.5 - 12, y + 0.5 - 12), std::hypot(3, 2) + 0.75) << x << ", " << y;
    }
  }
  // The turned rectangle covers about its own area (24 pixels).
  EXPECT_GE(drawn, 18);
  EXPECT_LE(drawn, 30);
}

TEST_P(WeatherDrawingTest, TheColourKeyIsNotCopied) {
  auto sheet = Sheet(F());
  SetRaw(*sheet, 4, 2, PackRgb(F(), {0, 255, 0}));
  auto target = Scene(16, 14);
  RotateBlt(*target, Tables(), 5, 6, *sheet, 3, 1, 4, 2, 0, 1024);
  // Source (4, 2) lands on (6, 7): the scene stays there.
  const Channels sc = SceneColour(6, 7);
  EXPECT_EQ(Raw(*target, 6, 7), Pack(sc.r, sc.g, sc.b));
  EXPECT_EQ(Raw(*target, 5, 7), Raw(*sheet, 3, 2));
}

TEST_P(WeatherDrawingTest, ARectangleBeyondANarrowSheetDrawsOnlyWhatTheSheetHolds) {
  // A 6 x 4 sheet asked for 4 x 4 at x = 4 (columns 6 and 7 do not exist) and at x = -2.
  auto sheet = Sheet(F(), 6, 4);
  struct NarrowCase {
    int32_t sx;
    int32_t firstColumn;  // the first column of the rectangle that exists
    int32_t columns;
  };
  for (const NarrowCase& c : {NarrowCase{4, 0, 2}, {-2, 2, 2}, {10, 0, 0}}) {
    for (int32_t rotation : {0, 512}) {
      auto target = Scene(12, 10);
      RotateBlt(*target, Tables(), 3, 2, *sheet, c.sx, 0, 4, 4, rotation, 1024);
      ExpectPixels(
          *target,
          [&](int32_t x, int32_t y) {
            int32_t i = x - 3;
            int32_t j = y - 2;
            if (rotation == 512) {
              i = 3 - i;
              j = 3 - j;
            }
            if (i >= c.firstColumn && i < c.firstColumn + c.columns && j >= 0 && j < 4)
              return Raw(*sheet, c.sx + i, j);
            const Channels sc = SceneColour(x, y);
            return Pack(sc.r, sc.g, sc.b);
          },
          "sheet x " + std::to_string(c.sx) + " rotation " + std::to_string(rotation));
    }
  }
}

TEST_P(WeatherDrawingTest, RotatedCopiesThatCannotShowDrawNothing) {
  auto sheet = Sheet(F());
  auto target = Scene(16, 14);
  EXPECT_EQ(RotateBlt(*target, Tables(), 5, 5, *sheet, 0, 0, 4, 4, 0, 3), kDrawNothing);
  EXPECT_EQ(RotateBlt(*target, Tables(), 5, 5, *sheet, 0, 0, 0, 4, 0, 1024), kDrawNothing);
  EXPECT_EQ(RotateBlt(*target, Tables(), 40, 5, *sheet, 0, 0, 4, 4, 100, 1024), kDrawClipped);
  EXPECT_EQ(RotateBlt(*target, Tables(), -30, -30, *sheet, 0, 0, 4, 4, 100, 1024), kDrawClipped);
  EXPECT_EQ(RotateBlt(*target, Tables(), INT32_MAX, INT32_MIN, *sheet, 0, 0, 4, 4, 300, 1024), kDrawClipped);
  ExpectLit(*target, {}, 0, "unchanged");
  EXPECT_FALSE(target->IsDirty());
}

TEST_P(WeatherDrawingTest, ExtremeScalesAndPlacesStayInsideBothSurfaces) {
  auto sheet = Sheet(F());
  auto target = Scene(16, 14);
  // A huge scale covers the whole target with the rectangle's central pixels; nothing reads
  // or writes outside either surface (the sanitizer build checks).
  EXPECT_EQ(RotateBlt(*target, Tables(), 5, 5, *sheet, 0, 0, 10, 6, 300, INT32_MAX), kDrawn);
  EXPECT_EQ(RotateBlt(*target, Tables(), INT32_MIN / 2, 5, *sheet, INT32_MAX - 3, INT32_MIN, INT32_MAX, INT32_MAX,
                      77, INT32_MAX),
            kDrawn);
  EXPECT_EQ(target->GetDirty(), (DirtyRect{0, 0, 16, 14}));
}

}  // namespace
}  // namespace zan
