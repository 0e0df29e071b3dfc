// Files as authors' tools write them (tests/data/corpus, made by the commands of its
// README): each is packed into a small game and played or shown by the real `zan` binary
// headless. A sound is measured in what --audio-out recorded and held to the tone its
// command made (frequency, length, amplitude) and to silence around it; a picture is looked
// at in a screenshot and held to the colours and opacity its command gave each quarter. A
// refused file must leave silence or nothing drawn, and a log line naming it and the reason.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "../surface/TestPictures.h"
#include "../surface/TestPng.h"
#include "SoundFixtures.h"
#include "TestArchiveWriter.h"
#include "ZanRun.h"
#include "script/Options.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

constexpr double kRate = 44100;  // what --audio-out records, stereo
const fs::path kCorpus = fs::path(ZAN_TEST_DATA_DIR) / "corpus";

struct SoundCase {
  const char* file;
  double hz = 0;
  double seconds = 0;
  double amplitude = 0;  // of full scale
  double levelDb = 0;    // tolerance of the level: the lossy codecs
  double lengthMs = 0;   // tolerance of the length: 5 ms windows, and MP3's frames
  const char* refusal = nullptr;  // for a refused file, part of the log line that says why
};

// The parameters of the README's commands. Refused files have only the reason.
const SoundCase kSounds[] = {
    {"pcm8-11k-mono.wav", 440, 0.3, 0.5, 0.3, 12},
    {"pcm16-22k-stereo.wav", 660, 0.1, 0.5, 0.2, 12},
    {"pcm24-48k-mono.wav", 1000, 0.06, 0.25, 0.2, 12},
    {"pcm32-44k-mono.wav", 880, 0.05, 0.5, 0.2, 12},
    {"float32-22k-mono.wav", 550, 0.1, 0.7, 0.2, 12},
    {"ima-adpcm-22k-mono.wav", 440, 0.3, 0.5, 0.5, 12},
    {"ms-adpcm-22k-stereo.wav", 330, 0.2, 0.5, 0.5, 12},
    {"ext-pcm24-sox.wav", 440, 0.15, 0.5, 0.2, 12},
    {"ext-pcm24-list-ffmpeg.wav", 440, 0.15, 0.5, 0.2, 12},
    {"ext-float32-ffmpeg.wav", 660, 0.1, 0.5, 0.2, 12},
    {"ext-pcm16-96k-ffmpeg.wav", 1000, 0.05, 0.5, 0.2, 12},
    {"pcm16-list-info.wav", 770, 0.3, 0.5, 0.2, 12},
    {"pcm16-odd-bext.wav", 440, 0.3, 0.5, 0.2, 12},
    {"vorbis-22k-mono.ogg", 550, 0.4, 0.5, 1.0, 15},
    {"vorbis-48k-stereo.ogg", 440, 0.3, 0.5, 1.0, 15},
    {"vorbis-long-comments.ogg", 660, 0.3, 0.5, 1.0, 15},
    {"mp3-cbr-22k-mono.mp3", 440, 0.5, 0.5, 1.0, 40},
    {"mp3-vbr-44k-stereo.mp3", 660, 0.4, 0.5, 1.0, 40},
    {"mp3-id3v2.mp3", 880, 0.5, 0.5, 1.0, 40},
    {"mp3-id3v1.mp3", 550, 0.5, 0.5, 1.0, 40},
    {.file = "ext-mulaw-96k.wav",
     .refusal = "extensible sub-format {00000007-0000-0010-8000-00AA00389B71} is neither PCM nor IEEE float"},
    {.file = "pcm16-quad.wav", .refusal = "no PCM conversion for format tag 0x0001 (4 channels"},
    {.file = "tone.aif", .refusal = "neither a RIFF WAVE file nor MP3 frames"},
};

// Quarters of the 40 x 30 pictures (20 x 15 each), as the README's commands make them.
struct Quarter {
  Rgb colour;
  int alpha = 255;
};
constexpr Rgb kTopLeft{200, 40, 40}, kTopRight{40, 200, 40}, kBottomLeft{40, 40, 200},
    kBottomRight{230, 230, 60};

struct PictureCase {
  const char* file;
  int width = 0, height = 0;
  bool alpha = false;             // top right half transparent, bottom left transparent
  const char* refusal = nullptr;  // for a refused file, part of the log line that says why
};

const PictureCase kPictures[] = {
    {"rgb24-v5.bmp", 40, 30, false},
    {"rgb24-v4.bmp", 40, 30, false},
    {"rgba32-v5-bitfields.bmp", 40, 30, true},
    {"rgba32-v4-bitfields.bmp", 40, 30, true},
    {"rgba32-bmp3.bmp", 40, 30, true},
    {"rgb24-odd-width.bmp", 33, 10, false},
    {.file = "rgb565-ffmpeg.bmp", .refusal = "16 bits a pixel"},
    {.file = "paletted.bmp", .refusal = "4 bits a pixel"},
    {.file = "rgba32-swapped-masks.bmp",
     .refusal = "channel masks R 000000FF G 0000FF00 B 00FF0000 A FF000000"},
};

void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.file; }
void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.file; }

// Where the script puts the picture, over a flat background.
constexpr int kX = 100, kY = 100;
constexpr Rgb kBackground{90, 90, 90};

const char* kVariables = "種類,名前,初期値,最小,最大\nINT,done,0,0,1\n";

}  // namespace

// Colours in failure messages.
void PrintTo(const Rgb& c, std::ostream* os) { *os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")"; }
std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  PrintTo(c, &os);
  return os;
}

namespace {

// A game folder for one corpus file: the script, the file in its archive, and a player's
// settings with the master and effect volumes at full, so a channel plays at 0 dB.
class CorpusGame {
 public:
  explicit CorpusGame(const std::string& test) {
    root_ = fs::temp_directory_path() / ("zan_corpus_" + std::to_string(::getpid()) + "_" + test);
    fs::remove_all(root_);
    fs::create_directories(root_ / "game" / "sys");
  }
  ~CorpusGame() { fs::remove_all(root_); }

  void Write(const std::string& script, std::vector<testing::TestEntry> sounds,
             std::vector<testing::TestEntry> pictures) {
    const fs::path game = root_ / "game";
    auto archive = [&](const char* name, const std::vector<testing::TestEntry>& entries) {
      testing::WriteBytes((game / name).string(), testing::WriteTestArchive(entries, "Rod7Q", true));
    };
    archive("msg.arc", {{"main.txt", testing::GameBytes(script)}});
    archive("dat.arc", {{"variable.csv", testing::GameBytes(kVariables)}});
    archive("snd.arc", sounds);
    archive("gra.arc", pictures);
    archive("system.arc", {});
    OptionsBlock options;
    options.masterVolume = 9;
    options.effectVolume = 9;
    testing::WriteBytes((game / "sys" / "option.dat").string(),
                        EncodeOptionFile(VariableTable(), options, GalleryFlags()));
  }
  bool Run(const std::string& args) const { return testing::ZanRun(ZAN_BINARY, root_).Run(args); }
  std::string Vars() const { return testing::ZanRun(ZAN_BINARY, root_).Vars(); }
  // What the run wrote to stdout and stderr (the log lines among it).
  std::string Output() const {
    std::ifstream in(root_ / "out");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Path(const char* name) const { return (root_ / name).string(); }

 private:
  fs::path root_;
};

std::vector<uint8_t> CorpusFile(const char* name) { return testing::ReadBytes((kCorpus / name).string()); }

// A file name as a test name and a folder name: letters and digits, the rest '_'.
std::string CaseName(const char* file) {
  std::string name = file;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

class CorpusSoundTest : public ::testing::TestWithParam<SoundCase> {};

TEST_P(CorpusSoundTest, PlaysTheToneThatMadeItOrIsRefusedInSilence) {
  const SoundCase& c = GetParam();
  const std::vector<uint8_t> bytes = CorpusFile(c.file);
  ASSERT_FALSE(bytes.empty()) << c.file;
  CorpusGame game(CaseName(c.file));
  // Channel 2 plays effects: once, at the effect volume.
  game.Write(std::string("<SoundPlay 2, ") + c.file + ">\n<TW 1000>\n<Mov done, 1>\n", {{c.file, bytes}}, {});
  // The story runs from frame 23, after a new game's 1000 ms fade-in.
  ASSERT_TRUE(game.Run("--frames 68 --audio-out " + game.Path("out.wav"))) << game.Output();
  EXPECT_NE(game.Vars().find("done=1"), std::string::npos) << game.Vars();
  const std::vector<int16_t> s = fixtures::StereoSamples(testing::ReadBytes(game.Path("out.wav")));
  const size_t frames = s.size() / 2;
  ASSERT_GT(frames, size_t(kRate)) << "a second and more of the run is recorded";

  if (c.refusal) {
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(int(v)));
    EXPECT_EQ(peak, 0) << "a refused file must stay silent";
    const std::string log = game.Output();
    EXPECT_NE(log.find(c.refusal), std::string::npos) << log;
    EXPECT_NE(log.find(std::string("\"") + c.file + "\" (" + std::to_string(bytes.size()) + " bytes) is refused"),
              std::string::npos)
        << log;
    return;
  }

  // The tone's extent: the 5 ms windows whose level is within 6 dB of the tone's RMS level.
  const double toneRmsDb = 20 * std::log10(c.amplitude / std::sqrt(2.0));
  const size_t window = size_t(kRate * 0.005);
  size_t first = frames, last = 0;
  for (size_t at = 0; at + window <= frames; at += window) {
    if (fixtures::LevelDb(s, 2, 0, at, at + window) > toneRmsDb - 6) {
      first = std::min(first, at);
      last = at + window;
    }
  }
  ASSERT_LT(first, last) << "no tone at " << toneRmsDb << " dB";
  EXPECT_NEAR((last - first) * 1000 / kRate, c.seconds * 1000, c.lengthMs) << "length (ms)";

  // Inside, away from the edges: the tone alone, at its amplitude on both sides.
  const size_t edge = size_t(kRate * 0.01);
  const size_t a = first + edge, b = last - edge;
  for (int channel : {0, 1}) {
    SCOPED_TRACE(channel == 0 ? "left" : "right");
    EXPECT_NEAR(fixtures::Frequency(s, 2, channel, uint32_t(kRate), a, b), c.hz, c.hz * 0.01) << "Hz";
    EXPECT_NEAR(fixtures::LevelDb(s, 2, channel, a, b) + 20 * std::log10(std::sqrt(2.0)),
                20 * std::log10(c.amplitude), c.levelDb)
        << "amplitude (dB of full scale)";
    EXPECT_GT(fixtures::ToneShare(s, 2, channel, uint32_t(kRate), c.hz, a, b), 0.98) << "power in the tone";
  }
  // Outside, away from the edges: silence from the start of the run (the tone begins after
  // a new game's fade-in) to the tone, and after it to the end of the run.
  if (first > edge) EXPECT_LT(fixtures::LevelDb(s, 2, 0, 0, first - edge), -60) << "before the tone";
  const size_t after = std::min(frames, last + edge);
  EXPECT_LT(fixtures::LevelDb(s, 2, 0, after, frames), -60) << "after the tone";
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusSoundTest, ::testing::ValuesIn(kSounds),
                         [](const auto& info) { return CaseName(info.param.file); });

// Within `tolerance` of a colour in every channel.
bool Close(Rgb got, Rgb want, int tolerance) {
  return std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
         std::abs(got.b - want.b) <= tolerance;
}

// A colour of opacity `alpha` over the background.
Rgb Over(Rgb c, int alpha) {
  auto mix = [alpha](int top, int bottom) {
    return static_cast<uint8_t>(std::lround((top * alpha + bottom * (255 - alpha)) / 255.0));
  };
  return {mix(c.r, kBackground.r), mix(c.g, kBackground.g), mix(c.b, kBackground.b)};
}

class CorpusPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(CorpusPictureTest, ShowsItsColoursOrIsRefusedAndShowsNothing) {
  const PictureCase& c = GetParam();
  const std::vector<uint8_t> bytes = CorpusFile(c.file);
  ASSERT_FALSE(bytes.empty()) << c.file;
  CorpusGame game(CaseName(c.file));
  game.Write(std::string("<ImageLoad 0, bg.bmp, 0, 0>\n<ImageLoad 1, ") + c.file + ", " +
                 std::to_string(kX) + ", " + std::to_string(kY) + ">\n<Mov done, 1>\n<KW>\n",
             {}, {{"bg.bmp", test::FlatBmp(800, 600, test::BmpForm::kRgb24, kBackground)}, {c.file, bytes}});
  // The story runs from frame 23, after a new game's 1000 ms fade-in.
  ASSERT_TRUE(game.Run("--frames 48 --screenshot 43:" + game.Path("shot.png"))) << game.Output();
  EXPECT_NE(game.Vars().find("done=1"), std::string::npos) << game.Vars();
  const test::Screenshot shot = test::Screenshot::Read(game.Path("shot.png"));
  ASSERT_EQ(shot.width, 800);

  if (c.refusal) {
    EXPECT_EQ(shot.Count(kX - 10, kY - 10, kX + 60, kY + 50, [](Rgb p) { return !(p == kBackground); }), 0)
        << "a refused picture must show nothing";
    const std::string log = game.Output();
    EXPECT_NE(log.find(c.refusal), std::string::npos) << log;
    EXPECT_NE(log.find(std::string("CDIB::Readで無効なフォーマットのファイル ") + c.file), std::string::npos) << log;
    return;
  }

  // Its extent: the corners are its own, the pixels beyond them the background.
  const int right = kX + c.width - 1, bottom = kY + c.height - 1;
  EXPECT_EQ(shot.At(kX - 1, kY), kBackground);
  EXPECT_EQ(shot.At(kX, kY - 1), kBackground);
  EXPECT_EQ(shot.At(right + 1, bottom), kBackground);
  EXPECT_EQ(shot.At(right, bottom + 1), kBackground);
  if (c.width == 33) {
    // 17 columns of red, then 16 of blue, on every row: a row read with the wrong padding
    // would slant.
    for (int y : {kY, bottom}) {
      SCOPED_TRACE(y);
      EXPECT_EQ(shot.At(kX, y), kTopLeft);
      EXPECT_EQ(shot.At(kX + 16, y), kTopLeft);
      EXPECT_EQ(shot.At(kX + 17, y), kBottomLeft);
      EXPECT_EQ(shot.At(right, y), kBottomLeft);
    }
    return;
  }
  const Quarter quarters[4] = {{kTopLeft}, {kTopRight, c.alpha ? 128 : 255},
                               {kBottomLeft, c.alpha ? 0 : 255}, {kBottomRight}};
  for (int q = 0; q < 4; ++q) {
    SCOPED_TRACE(q);
    const int x0 = kX + (q % 2) * 20, y0 = kY + (q / 2) * 15;
    const Rgb want = Over(quarters[q].colour, quarters[q].alpha);
    // Every pixel of the quarter (the blend may round either way).
    EXPECT_EQ(shot.Count(x0, y0, x0 + 20, y0 + 15, [&](Rgb p) { return Close(p, want, 1); }), 20 * 15)
        << "the middle: " << shot.At(x0 + 10, y0 + 7) << ", expected " << want;
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusPictureTest, ::testing::ValuesIn(kPictures),
                         [](const auto& info) { return CaseName(info.param.file); });

}  // namespace
}  // namespace zan
