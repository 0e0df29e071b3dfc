// Checks a headless run of the demo game (tests/game/CMakeLists.txt runs it):
//
//   zan_demo_play_check GAME_DIR [SHOT.png:X,Y,W,H:R,G,B:TOLERANCE]...
//
// The game folder must hold no GameErrorLog.txt with a line in it, and each screenshot's
// rectangle must have a mean colour within TOLERANCE (per channel, 0..255) of R, G, B. The
// rectangles are chosen where the expected picture has one broad colour (a background's
// sky, a window's panel, a sheet of paper), away from typed text and blinking eyes; the
// mean of a rectangle still tells the picture that belongs there from a missing or
// misplaced one. Exit status 0 when every check holds; every failed check is printed.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../surface/TestPng.h"

namespace {

struct RegionCheck {
  std::string png;
  int x = 0, y = 0, w = 0, h = 0;
  int r = 0, g = 0, b = 0, tolerance = 0;
};

bool ParseInts(const std::string& text, std::vector<int>* out) {
  out->clear();
  size_t at = 0;
  while (at <= text.size()) {
    size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    char* end = nullptr;
    const std::string field = text.substr(at, comma - at);
    const long v = std::strtol(field.c_str(), &end, 10);
    if (field.empty() || *end != '\0') return false;
    out->push_back(static_cast<int>(v));
    at = comma + 1;
  }
  return true;
}

// "SHOT.png:X,Y,W,H:R,G,B:TOLERANCE"
bool ParseCheck(const std::string& arg, RegionCheck* c) {
  const size_t t = arg.rfind(':');
  if (t == std::string::npos || t == 0) return false;
  const size_t col = arg.rfind(':', t - 1);
  if (col == std::string::npos || col == 0) return false;
  const size_t rect = arg.rfind(':', col - 1);
  if (rect == std::string::npos) return false;
  std::vector<int> box, colour, tolerance;
  if (!ParseInts(arg.substr(rect + 1, col - rect - 1), &box) || box.size() != 4) return false;
  if (!ParseInts(arg.substr(col + 1, t - col - 1), &colour) || colour.size() != 3) return false;
  if (!ParseInts(arg.substr(t + 1), &tolerance) || tolerance.size() != 1) return false;
  *c = {arg.substr(0, rect), box[0], box[1], box[2], box[3], colour[0], colour[1], colour[2], tolerance[0]};
  return c->w > 0 && c->h > 0;
}

bool CheckRegion(const RegionCheck& c) {
  int width = 0, height = 0;
  const std::vector<uint8_t> rgb = zan::test::ReadPng(c.png, &width, &height);
  if (rgb.empty()) {
    std::printf("%s: no screenshot\n", c.png.c_str());
    return false;
  }
  if (c.x < 0 || c.y < 0 || c.x + c.w > width || c.y + c.h > height) {
    std::printf("%s: rectangle %d,%d,%d,%d outside the %dx%d picture\n", c.png.c_str(), c.x, c.y, c.w, c.h,
                width, height);
    return false;
  }
  long sum[3] = {0, 0, 0};
  for (int y = c.y; y < c.y + c.h; ++y)
    for (int x = c.x; x < c.x + c.w; ++x)
      for (int k = 0; k < 3; ++k) sum[k] += rgb[(static_cast<size_t>(y) * width + x) * 3 + k];
  const long n = static_cast<long>(c.w) * c.h;
  const int mean[3] = {static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n), static_cast<int>(sum[2] / n)};
  const int want[3] = {c.r, c.g, c.b};
  bool ok = true;
  for (int k = 0; k < 3; ++k) ok = ok && std::abs(mean[k] - want[k]) <= c.tolerance;
  std::printf("%s %s %d,%d,%d,%d: mean %d,%d,%d, expected %d,%d,%d within %d\n", ok ? "ok  " : "FAIL",
              std::filesystem::path(c.png).filename().c_str(), c.x, c.y, c.w, c.h, mean[0], mean[1], mean[2],
              c.r, c.g, c.b, c.tolerance);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s GAME_DIR [SHOT.png:X,Y,W,H:R,G,B:TOLERANCE]...\n", argv[0]);
    return 2;
  }
  bool ok = true;
  // The game's error log: one line per problem with the game data, so an empty or absent
  // file means none.
  const std::filesystem::path log = std::filesystem::path(argv[1]) / "GameErrorLog.txt";
  std::ifstream in(log, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  if (!text.empty()) {
    std::printf("FAIL GameErrorLog.txt is not empty:\n%s\n", text.c_str());
    ok = false;
  }
  for (int i = 2; i < argc; ++i) {
    RegionCheck c;
    if (!ParseCheck(argv[i], &c)) {
      std::fprintf(stderr, "bad check: %s\n", argv[i]);
      return 2;
    }
    ok = CheckRegion(c) && ok;
  }
  return ok ? 0 : 1;
}
