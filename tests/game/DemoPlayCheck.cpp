// Checks a headless run of the demo game (tests/game/CMakeLists.txt runs it):
//
//   zan_demo_play_check GAME_DIR [--pictures DIR] [SHOT.png:X,Y,W,H:EXPECTED:TOLERANCE]...
//
// The game folder must hold no GameErrorLog.txt with a line in it, and each screenshot's
// rectangle must have a mean colour within TOLERANCE (per channel, 0..255) of EXPECTED. The
// rectangles are chosen where the expected picture has one broad colour (a background's
// sky, a window's panel, a sheet of paper), away from typed text and blinking eyes; the
// mean of a rectangle still tells the picture that belongs there from a missing or
// misplaced one. Exit status 0 when every check holds; every failed check is printed.
//
// EXPECTED is a colour R,G,B, or the pictures that lie there, worked out here from the
// demo's picture files (in DIR, as the asset generator drew them) by the formulas of the
// stage's colour effects:
//
//   PICTURE@X,Y[/mono][/tint=R,G,B,A][+PICTURE@X,Y...]
//
// bottom first, each picture with its top-left corner at X, Y on the screen. Its colours are
// made grey first (/mono: every channel (r + g + b) / 3, rounded down), then moved toward the
// tint colour by A out of 255 (/tint: c + (t - c) x A / 255); it covers what lies below by
// its alpha (d + (s - d) x alpha / 255; a picture without alpha covers it whole). The engine
// rounds each step down to whole bytes; here they are exact, so a tolerance of 2 holds them.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../surface/TestPng.h"

namespace {

namespace fs = std::filesystem;

// One picture of a worked-out expectation, with the effects named after it.
struct Layer {
  std::string picture;
  int x = 0, y = 0;
  bool mono = false;
  std::optional<std::vector<int>> tint;  // R, G, B, amount
};

struct RegionCheck {
  std::string png;
  int x = 0, y = 0, w = 0, h = 0;
  std::vector<int> colour;    // R, G, B; empty when worked out from `layers`
  std::vector<Layer> layers;  // bottom first
  int tolerance = 0;
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

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + 1)
    parts.push_back(text.substr(at, next - at));
  parts.push_back(text.substr(at));
  return parts;
}

// "PICTURE@X,Y[/mono][/tint=R,G,B,A]"
bool ParseLayer(const std::string& text, Layer* layer) {
  const std::vector<std::string> parts = Split(text, '/');
  const size_t at = parts[0].find('@');
  std::vector<int> position;
  if (at == std::string::npos || at == 0 || !ParseInts(parts[0].substr(at + 1), &position) || position.size() != 2)
    return false;
  *layer = {parts[0].substr(0, at), position[0], position[1], false, std::nullopt};
  for (size_t i = 1; i < parts.size(); ++i) {
    std::vector<int> tint;
    if (parts[i] == "mono") {
      layer->mono = true;
    } else if (parts[i].rfind("tint=", 0) == 0 && ParseInts(parts[i].substr(5), &tint) && tint.size() == 4) {
      layer->tint = tint;
    } else {
      return false;
    }
  }
  return true;
}

// "SHOT.png:X,Y,W,H:EXPECTED:TOLERANCE"
bool ParseCheck(const std::string& arg, RegionCheck* c) {
  const size_t t = arg.rfind(':');
  if (t == std::string::npos || t == 0) return false;
  const size_t col = arg.rfind(':', t - 1);
  if (col == std::string::npos || col == 0) return false;
  const size_t rect = arg.rfind(':', col - 1);
  if (rect == std::string::npos) return false;
  std::vector<int> box, tolerance;
  if (!ParseInts(arg.substr(rect + 1, col - rect - 1), &box) || box.size() != 4) return false;
  if (!ParseInts(arg.substr(t + 1), &tolerance) || tolerance.size() != 1) return false;
  *c = {arg.substr(0, rect), box[0], box[1], box[2], box[3], {}, {}, tolerance[0]};
  const std::string expected = arg.substr(col + 1, t - col - 1);
  if (expected.find('@') == std::string::npos) {
    if (!ParseInts(expected, &c->colour) || c->colour.size() != 3) return false;
  } else {
    for (const std::string& part : Split(expected, '+')) {
      Layer layer;
      if (!ParseLayer(part, &layer)) return false;
      c->layers.push_back(layer);
    }
  }
  return c->w > 0 && c->h > 0;
}

// A picture file as R, G, B, A bytes, top row first.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// The three BMP forms of the demo: 24-bit (opaque), 24-bit with bfReserved1 = 1 and an
// opacity byte per pixel after the pixel rows (bottom-up like them), 32-bit B, G, R, A.
// Rows are bottom-up, 24-bit rows padded to 4 bytes.
std::optional<Picture> ReadBmp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  const uint32_t offset = Le(b, 10, 4);
  const int width = static_cast<int>(Le(b, 18, 4)), height = static_cast<int>(Le(b, 22, 4));
  const int bits = static_cast<int>(Le(b, 28, 2));
  const bool alphaPlane = Le(b, 6, 2) == 1;
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || (bits != 24 && bits != 32)) return std::nullopt;
  const size_t row = bits == 32 ? size_t{4} * width : (size_t{3} * width + 3) & ~size_t{3};
  const size_t plane = offset + row * height;
  if (b.size() < plane + (alphaPlane ? size_t{1} * width * height : 0)) return std::nullopt;
  Picture p{width, height, std::vector<uint8_t>(size_t{4} * width * height)};
  for (int y = 0; y < height; ++y) {
    const size_t from = offset + row * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const uint8_t* s = &b[from + static_cast<size_t>(x) * (bits / 8)];
      uint8_t* d = &p.rgba[(static_cast<size_t>(y) * width + x) * 4];
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      d[3] = bits == 32 ? s[3] : alphaPlane ? b[plane + static_cast<size_t>(height - 1 - y) * width + x] : 255;
    }
  }
  return p;
}

// The mean colour of the rectangle as the layers make it (see the top of the file).
std::optional<std::vector<double>> WorkedOutMean(const RegionCheck& c, const fs::path& pictures) {
  std::vector<double> screen(static_cast<size_t>(c.w) * c.h * 3, 0.0);
  for (const Layer& layer : c.layers) {
    const std::optional<Picture> p = ReadBmp(pictures / layer.picture);
    if (!p) {
      std::printf("%s: not a picture this check reads\n", (pictures / layer.picture).c_str());
      return std::nullopt;
    }
    for (int y = 0; y < c.h; ++y) {
      for (int x = 0; x < c.w; ++x) {
        const int px = c.x + x - layer.x, py = c.y + y - layer.y;
        if (px < 0 || py < 0 || px >= p->width || py >= p->height) continue;
        const uint8_t* s = &p->rgba[(static_cast<size_t>(py) * p->width + px) * 4];
        double colour[3] = {static_cast<double>(s[0]), static_cast<double>(s[1]), static_cast<double>(s[2])};
        if (layer.mono) {
          const double grey = std::floor((colour[0] + colour[1] + colour[2]) / 3);
          for (double& v : colour) v = grey;
        }
        if (layer.tint)
          for (int k = 0; k < 3; ++k) colour[k] += ((*layer.tint)[k] - colour[k]) * (*layer.tint)[3] / 255.0;
        double* d = &screen[(static_cast<size_t>(y) * c.w + x) * 3];
        for (int k = 0; k < 3; ++k) d[k] += (colour[k] - d[k]) * s[3] / 255.0;
      }
    }
  }
  std::vector<double> mean(3, 0.0);
  for (size_t i = 0; i < screen.size(); ++i) mean[i % 3] += screen[i];
  for (double& m : mean) m /= static_cast<double>(c.w) * c.h;
  return mean;
}

bool CheckRegion(const RegionCheck& c, const fs::path& pictures) {
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
  std::vector<double> want(c.colour.begin(), c.colour.end());
  if (!c.layers.empty()) {
    if (pictures.empty()) {
      std::printf("%s: worked-out colours need --pictures\n", c.png.c_str());
      return false;
    }
    const std::optional<std::vector<double>> mean = WorkedOutMean(c, pictures);
    if (!mean) return false;
    want = *mean;
  }
  double sum[3] = {0, 0, 0};
  for (int y = c.y; y < c.y + c.h; ++y)
    for (int x = c.x; x < c.x + c.w; ++x)
      for (int k = 0; k < 3; ++k) sum[k] += rgb[(static_cast<size_t>(y) * width + x) * 3 + k];
  const double n = static_cast<double>(c.w) * c.h;
  const double mean[3] = {sum[0] / n, sum[1] / n, sum[2] / n};
  bool ok = true;
  for (int k = 0; k < 3; ++k) ok = ok && std::fabs(mean[k] - want[k]) <= c.tolerance;
  std::printf("%s %s %d,%d,%d,%d: mean %.1f,%.1f,%.1f, expected %.1f,%.1f,%.1f within %d\n", ok ? "ok  " : "FAIL",
              fs::path(c.png).filename().c_str(), c.x, c.y, c.w, c.h, mean[0], mean[1], mean[2], want[0], want[1],
              want[2], c.tolerance);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s GAME_DIR [--pictures DIR] [SHOT.png:X,Y,W,H:EXPECTED:TOLERANCE]...\n", argv[0]);
    return 2;
  }
  bool ok = true;
  // The game's error log: one line per problem with the game data, so an empty or absent
  // file means none.
  const fs::path log = fs::path(argv[1]) / "GameErrorLog.txt";
  std::ifstream in(log, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  if (!text.empty()) {
    std::printf("FAIL GameErrorLog.txt is not empty:\n%s\n", text.c_str());
    ok = false;
  }
  int first = 2;
  fs::path pictures;
  if (argc > 3 && std::string(argv[2]) == "--pictures") {
    pictures = argv[3];
    first = 4;
  }
  for (int i = first; i < argc; ++i) {
    RegionCheck c;
    if (!ParseCheck(argv[i], &c)) {
      std::fprintf(stderr, "bad check: %s\n", argv[i]);
      return 2;
    }
    ok = CheckRegion(c, pictures) && ok;
  }
  return ok ? 0 : 1;
}
