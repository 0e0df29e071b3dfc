// The generated assets of the demo game, as the build staged them: every picture in the
// BMP form and size the game expects, every sound decodable by the libraries the engine
// decodes with.

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <mpg123.h>
#include <vorbis/vorbisfile.h>

#include "Pictures.h"
#include "Sounds.h"

namespace zan::assetgen {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Read(const std::string& relative) {
  fs::path p = fs::path(ZAN_DEMO_STAGE_DIR) / fs::path(reinterpret_cast<const char8_t*>(relative.c_str()));
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

struct Bmp {
  int width = 0, height = 0, bits = 0;
  bool alphaPlane = false;
  std::vector<uint8_t> bytes;
  // Straight RGBA of a pixel (x, y from the top-left).
  std::array<uint8_t, 4> At(int x, int y) const {
    size_t row = static_cast<size_t>(height - 1 - y);
    if (bits == 32) {
      const uint8_t* p = &bytes[54 + (row * width + x) * 4];
      return {p[2], p[1], p[0], p[3]};
    }
    size_t pitch = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const uint8_t* p = &bytes[54 + row * pitch + x * 3];
    uint8_t a = alphaPlane ? bytes[54 + pitch * height + row * width + x] : 255;
    return {p[2], p[1], p[0], a};
  }
};

// Parses a picture and checks that its headers hold together the way the engine reads them.
Bmp Load(const std::string& name) {
  Bmp b;
  b.bytes = Read("gra/" + name);
  EXPECT_GE(b.bytes.size(), 54u) << name;
  if (b.bytes.size() < 54) return b;
  b.width = static_cast<int>(U32(b.bytes, 18));
  b.height = static_cast<int>(U32(b.bytes, 22));
  b.bits = U16(b.bytes, 28);
  b.alphaPlane = b.bits == 24 && U16(b.bytes, 6) != 0;
  EXPECT_EQ(b.bytes[0], 'B') << name;
  EXPECT_EQ(b.bytes[1], 'M') << name;
  EXPECT_EQ(U32(b.bytes, 2), b.bytes.size()) << name;
  EXPECT_EQ(U32(b.bytes, 10), 54u) << name;
  EXPECT_EQ(U32(b.bytes, 14), 40u) << name;
  EXPECT_EQ(U32(b.bytes, 30), 0u) << name << ": compressed";
  size_t pitch = b.bits == 32 ? static_cast<size_t>(b.width) * 4 : (static_cast<size_t>(b.width) * 3 + 3) & ~size_t{3};
  size_t expected = 54 + pitch * b.height + (b.alphaPlane ? static_cast<size_t>(b.width) * b.height : 0);
  EXPECT_EQ(b.bytes.size(), expected) << name;
  if (b.bytes.size() != expected) b.bytes.resize(expected);
  return b;
}

enum Form { Rgb24, Rgb24Alpha, Argb32 };

struct PictureCase {
  const char* name;
  int width, height;
  Form form;
};

const PictureCase kPictures[] = {
    {"bg_hill_dusk.bmp", 800, 600, Rgb24},      {"bg_hill_night.bmp", 800, 600, Rgb24},
    {"bg_dawn.bmp", 800, 600, Rgb24},           {"bg_beach_night.bmp", 800, 600, Rgb24},
    {"bg_lighthouse_top.bmp", 800, 600, Rgb24}, {"ev_star.bmp", 800, 600, Rgb24},
    {"ev_sky.bmp", 800, 600, Rgb24},            {"mask_hit.bmp", 800, 600, Rgb24},
    {"mask_diag.bmp", 800, 600, Rgb24},         {"mask_on_sky.bmp", 800, 600, Argb32},
    {"mask_on_lighthouse.bmp", 800, 600, Argb32}, {"mask_on_woods.bmp", 800, 600, Argb32},
    {"mask_on_shore.bmp", 800, 600, Argb32},    {"akari.bmp", 360, 560, Rgb24Alpha},
    {"akari_eye.bmp", kAkariEyes.w * 4, kAkariEyes.h, Rgb24Alpha},
    {"akari_smile.bmp", kAkariFace.w, kAkariFace.h, Argb32}, {"akari_surprise.bmp", kAkariFace.w, kAkariFace.h, Argb32},
    {"akari_sad.bmp", kAkariFace.w, kAkariFace.h, Argb32},   {"akari_blush.bmp", kAkariFace.w, kAkariFace.h, Argb32},
    {"noel.bmp", 380, 580, Argb32},             {"noel_eye.bmp", kNoelEyes.w * 4, kNoelEyes.h, Argb32},
    {"noel_smile.bmp", kNoelFace.w, kNoelFace.h, Argb32},    {"noel_serious.bmp", kNoelFace.w, kNoelFace.h, Argb32},
    {"win.bmp", 800, 200, Argb32},              {"win_narr.bmp", 800, 600, Rgb24Alpha},
    {"win_tate.bmp", 280, 520, Rgb24Alpha},     {"送りアイコン.bmp", 256, 32, Argb32},
    {"選択肢.bmp", 800, 48, Argb32},            {"選択肢_ON.bmp", 800, 48, Argb32},
    {"カウントダウン1.bmp", 1000, 1050, Rgb24Alpha}, {"カウントダウン2.bmp", 1000, 1050, Rgb24Alpha},
    {"カウントダウン3.bmp", 1000, 1050, Rgb24Alpha}, {"カウントダウン4.bmp", 1000, 1050, Rgb24Alpha},
    {"カウントダウン5.bmp", 1000, 1050, Rgb24Alpha}, {"icon_star.bmp", 32, 32, Argb32},
    {"icon_heart.bmp", 32, 32, Argb32},         {"icon_note.bmp", 32, 32, Argb32},
    {"icon_drop.bmp", 32, 32, Argb32},          {"icon_moon.bmp", 32, 32, Argb32},
    {"雪.bmp", 16, 16, Argb32},                 {"雪2.bmp", 12, 12, Argb32},
    {"雪3.bmp", 8, 8, Argb32},                  {"sysbtn.bmp", 256, 294, Rgb24},
    {"star_piece.bmp", 160, 160, Argb32},      {"sea_glow.bmp", 800, 600, Argb32},
    {"zoom_frame.bmp", kZoomFrameW, kZoomFrameH, Argb32},
};

TEST(GeneratedPictures, HaveTheirFormAndSize) {
  for (const PictureCase& c : kPictures) {
    SCOPED_TRACE(c.name);
    Bmp b = Load(c.name);
    EXPECT_EQ(b.width, c.width);
    EXPECT_EQ(b.height, c.height);
    EXPECT_EQ(b.bits, c.form == Argb32 ? 32 : 24);
    EXPECT_EQ(b.alphaPlane, c.form == Rgb24Alpha);
  }
}

TEST(GeneratedPictures, TransparentPixelsOfKeyedPicturesArePureGreen) {
  // These may be drawn with the transparent colour instead of their alpha.
  for (const char* name : {"sysbtn.bmp", "選択肢.bmp", "選択肢_ON.bmp", "カウントダウン3.bmp"}) {
    SCOPED_TRACE(name);
    Bmp b = Load(name);
    auto corner = b.At(0, 0);
    EXPECT_EQ(corner[0], 0);
    EXPECT_EQ(corner[1], 255);
    EXPECT_EQ(corner[2], 0);
    if (b.bits == 32 || b.alphaPlane) EXPECT_EQ(corner[3], 0);
  }
  // The buttons' faces are opaque.
  Bmp buttons = Load("sysbtn.bmp");
  EXPECT_NE(buttons.At(32, 10)[1], 255);
}

TEST(GeneratedPictures, CharactersStandOnTheBottomEdgeAndEyesStartOpen) {
  Bmp akari = Load("akari.bmp"), noel = Load("noel.bmp");
  EXPECT_EQ(akari.At(180, akari.height - 1)[3], 255);
  EXPECT_EQ(akari.At(2, 2)[3], 0);
  EXPECT_EQ(noel.At(190, noel.height - 1)[3], 255);
  // The first blink frame draws nothing over the open eyes; the closed one covers them.
  for (const char* name : {"akari_eye.bmp", "noel_eye.bmp"}) {
    SCOPED_TRACE(name);
    Bmp sheet = Load(name);
    int w = sheet.width / 4, opaqueOpen = 0, opaqueClosed = 0;
    for (int y = 0; y < sheet.height; ++y)
      for (int x = 0; x < w; ++x) {
        opaqueOpen += sheet.At(x, y)[3] > 0;
        opaqueClosed += sheet.At(2 * w + x, y)[3] == 255;
      }
    EXPECT_EQ(opaqueOpen, 0);
    EXPECT_GT(opaqueClosed, 200);
  }
}

TEST(GeneratedPictures, MaskHitHasExactlyThePlaceColours) {
  Bmp hit = Load("mask_hit.bmp");
  std::array<int, 4> count{};
  for (int y = 0; y < hit.height; ++y)
    for (int x = 0; x < hit.width; ++x) {
      auto p = hit.At(x, y);
      int found = -1;
      for (int i = 0; i < 4; ++i)
        if (p[0] == kMaskPlaces[i].r && p[1] == kMaskPlaces[i].g && p[2] == kMaskPlaces[i].b) found = i;
      ASSERT_GE(found, 0) << "stray colour at " << x << "," << y;
      ++count[found];
    }
  for (int c : count) EXPECT_GT(c, 10000);
  // The points the end-to-end test clicks: the middle of the screen is the shore (where
  // the star lies), the choice rows at the top are sky.
  auto place = [&](int x, int y) {
    auto p = hit.At(x, y);
    for (const MaskColour& m : kMaskPlaces)
      if (p[0] == m.r && p[1] == m.g && p[2] == m.b) return std::string(m.place);
    return std::string();
  };
  EXPECT_EQ(place(400, 300), "shore");
  EXPECT_EQ(place(400, 104), "sky");
  EXPECT_EQ(place(400, 162), "sky");
  EXPECT_EQ(place(650, 200), "lighthouse");
  EXPECT_EQ(place(60, 400), "woods");
}

TEST(GeneratedPictures, EyeDefinitionsNameTheirSheetAndStayInsideIt) {
  for (const auto& [id, eyes] : {std::pair{"akari", kAkariEyes}, std::pair{"noel", kNoelEyes}}) {
    SCOPED_TRACE(id);
    std::vector<uint8_t> def = Read(std::string("dat/") + id + "_eye.dat");
    ASSERT_EQ(def.size(), 1392u);
    std::string sheetName(reinterpret_cast<const char*>(&def[1129]));
    EXPECT_EQ(sheetName, std::string(id) + "_eye.bmp");
    Bmp sheet = Load(sheetName);
    int frames = 0;
    for (int i = 0; i < 40; ++i) {
      int x = static_cast<int>(U32(def, i * 28)), y = static_cast<int>(U32(def, i * 28 + 4));
      int w = static_cast<int>(U32(def, i * 28 + 8)), h = static_cast<int>(U32(def, i * 28 + 12));
      if (w <= 0) continue;
      ++frames;
      EXPECT_EQ(w, eyes.w);
      EXPECT_EQ(h, eyes.h);
      EXPECT_LE(x + w, sheet.width);
      EXPECT_LE(y + h, sheet.height);
      EXPECT_GT(static_cast<int>(U32(def, i * 28 + 24)), 0);
    }
    EXPECT_EQ(frames, 4);
    EXPECT_EQ(U32(def, 1124), 0u);  // blinks for ever
    EXPECT_NE(def[1389], 1);        // drawn with its alpha, not lightened
  }
}

// --- Sounds ------------------------------------------------------------------------------

struct MemoryFile {
  const std::vector<uint8_t>* data;
  size_t pos = 0;
};

struct Decoded {
  int channels = 0;
  long rate = 0;
  std::vector<int16_t> pcm;
  double Seconds() const { return channels ? static_cast<double>(pcm.size()) / channels / rate : 0; }
  double Rms() const {
    double s = 0;
    for (int16_t v : pcm) s += static_cast<double>(v) * v;
    return pcm.empty() ? 0 : std::sqrt(s / pcm.size()) / 32768.0;
  }
};

// Decodes through vorbisfile's callback interface from memory, as the engine does.
Decoded DecodeOgg(const std::vector<uint8_t>& bytes) {
  MemoryFile mf{&bytes};
  ov_callbacks cb{};
  cb.read_func = [](void* dst, size_t size, size_t n, void* src) -> size_t {
    auto* m = static_cast<MemoryFile*>(src);
    size_t want = size * n, left = m->data->size() - m->pos, k = std::min(want, left);
    std::memcpy(dst, m->data->data() + m->pos, k);
    m->pos += k;
    return size ? k / size : 0;
  };
  OggVorbis_File vf;
  Decoded d;
  if (ov_open_callbacks(&mf, &vf, nullptr, 0, cb) != 0) return d;
  vorbis_info* vi = ov_info(&vf, -1);
  d.channels = vi->channels;
  d.rate = vi->rate;
  char buf[4096];
  int section = 0;
  for (long n; (n = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) != 0;)
    if (n > 0) d.pcm.insert(d.pcm.end(), reinterpret_cast<int16_t*>(buf), reinterpret_cast<int16_t*>(buf + n));
  ov_clear(&vf);
  return d;
}

Decoded DecodeMp3(const std::vector<uint8_t>& bytes) {
  Decoded d;
  mpg123_init();
  mpg123_handle* h = mpg123_new(nullptr, nullptr);
  mpg123_open_feed(h);
  mpg123_feed(h, bytes.data(), bytes.size());
  int enc = 0;
  std::vector<unsigned char> out(65536);
  for (;;) {
    size_t done = 0;
    int r = mpg123_read(h, out.data(), out.size(), &done);
    if (r == MPG123_NEW_FORMAT) {
      mpg123_getformat(h, &d.rate, &d.channels, &enc);
      continue;
    }
    d.pcm.insert(d.pcm.end(), reinterpret_cast<int16_t*>(out.data()), reinterpret_cast<int16_t*>(out.data() + done));
    if (r != MPG123_OK) break;
  }
  mpg123_delete(h);
  return d;
}

TEST(GeneratedSounds, ThemesDecodeAndLoopInsideTheirLength) {
  for (const auto& [name, loopMs] : {std::pair{"title_bgm.ogg", kTitleLoopMs}, std::pair{"bgm_night.ogg", kNightLoopMs}}) {
    SCOPED_TRACE(name);
    Decoded d = DecodeOgg(Read(std::string("snd/") + name));
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_GT(d.Seconds(), loopMs / 1000.0 + 20);
    EXPECT_GT(d.Rms(), 0.03);
  }
}

TEST(GeneratedSounds, VoicesAndEffectsDecodeInEveryFormat) {
  Decoded akari = DecodeOgg(Read("snd/v_akari_01.ogg"));
  EXPECT_EQ(akari.channels, 1);
  EXPECT_GT(akari.Seconds(), 0.4);
  EXPECT_GT(akari.Rms(), 0.03);
  for (const char* name : {"v_noel_01.mp3", "v_noel_02.mp3"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> b = Read(std::string("snd/") + name);
    ASSERT_GT(b.size(), 128u);
    // The first frame header starts the file: MPEG-1 Layer III, no ID3 tag in front.
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_GE(b[1], 0xF8);
    EXPECT_EQ((b[1] >> 1) & 3, 1);
    Decoded d = DecodeMp3(b);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 1);
    EXPECT_GT(d.Seconds(), 0.5);
    EXPECT_GT(d.Rms(), 0.03);
  }
  for (const char* name : {"se_wave.wav", "se_sparkle.wav", "se_impact.wav", "se_steps.wav", "se_heartbeat.wav", "se_bell.wav",
                           "v_akari_02.wav"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> b = Read(std::string("snd/") + name);
    ASSERT_GT(b.size(), 44u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U16(b, 20), 1);   // PCM
    EXPECT_EQ(U32(b, 24), 44100u);
    EXPECT_EQ(U16(b, 34), 16);
    EXPECT_EQ(U32(b, 40), b.size() - 44);
  }
}

}  // namespace
}  // namespace zan::assetgen
