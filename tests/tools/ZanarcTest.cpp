#include "ZanarcFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "base/ShiftJis.h"
#include "data/Archive.h"
#include "data/LibScramble.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TestEntry;
using testing::WriteBytes;
using testing::WriteTestArchive;
using Bytes = std::vector<uint8_t>;

Bytes Repeated(const Bytes& text, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), text.begin(), text.end());
  return out;
}

TEST_F(ZanarcTest, ArchivesOfAnIndependentWriterExtractByteIdentical) {
  const Bytes text = testing::ScriptLikeText(3000, 5);
  const Bytes bmp = testing::BmpLikeData(30, 20, 6);
  for (const std::string& key : std::vector<std::string>{"Rod7Q", "plume", "", "any key 123"}) {
    for (bool compress : {true, false}) {
      SCOPED_TRACE(key + (compress ? " compressed" : " stored"));
      fs::remove_all(dir / "out");
      WriteBytes(P("game.arc"), WriteTestArchive({{"script.txt", text},
                                                 {Sjis("背景.bmp"), bmp},
                                                 {"dup.dat", {1}},
                                                 {"DUP.dat", {2}},
                                                 {"zero.dat", {3}, true}},
                                                key, compress));
      Outcome r = Zanarc({"extract", "--key", key, P("game.arc"), "-o", P("out")});
      EXPECT_EQ(r.code, 0) << r.err;
      EXPECT_EQ(ReadBytes(P("out/script.txt")), text);
      EXPECT_EQ(ReadBytes(P("out/背景.bmp")), bmp);
      EXPECT_EQ(ReadBytes(P("out/DUP.dat")), Bytes{2});  // the later record wins
      EXPECT_FALSE(fs::exists(dir / "out" / "dup.dat"));
      EXPECT_FALSE(fs::exists(dir / "out" / "zero.dat"));  // stored size 0: absent
      EXPECT_EQ(Zanarc({"verify", "--key", key, P("game.arc")}).code, 0);

      // Chosen names, matched without regard to ASCII case.
      fs::remove_all(dir / "out");
      r = Zanarc({"extract", "--key", key, P("game.arc"), "SCRIPT.TXT", "-o", P("out")});
      EXPECT_EQ(r.code, 0) << r.err;
      EXPECT_EQ(ReadBytes(P("out/script.txt")), text);
      EXPECT_FALSE(fs::exists(dir / "out" / "背景.bmp"));
    }
  }
}

TEST_F(ZanarcTest, PackVerifyExtractRoundTripsAndCompresses) {
  std::mt19937 random(11);
  Bytes binary(70000);
  for (auto& b : binary) b = static_cast<uint8_t>(random());
  const Bytes text = testing::ScriptLikeText(200000, 12);
  const Bytes bmp = testing::BmpLikeData(320, 240, 13);
  fs::create_directories(dir / "in");
  WriteBytes(P("in/random.bin"), binary);
  WriteBytes(P("in/シナリオ.txt"), text);
  WriteBytes(P("in/CG01.BMP"), bmp);
  WriteBytes(P("in/tiny"), {7});

  Outcome packed = Zanarc({"pack", P("msg.arc"), P("in/random.bin"), P("in/シナリオ.txt"),
                       P("in/CG01.BMP"), P("in/tiny")});
  ASSERT_EQ(packed.code, 0) << packed.err;
  EXPECT_FALSE(fs::exists(dir / "msg.arc.tmp"));
  EXPECT_EQ(Zanarc({"verify", P("msg.arc")}).code, 0);  // key "Rod7Q" from the name
  Outcome list = Zanarc({"list", P("msg.arc")});
  EXPECT_EQ(list.code, 0);
  EXPECT_NE(list.out.find("シナリオ.txt"), std::string::npos);
  EXPECT_EQ(Zanarc({"extract", P("msg.arc"), "-o", P("out")}).code, 0);
  for (const char* name : {"random.bin", "シナリオ.txt", "CG01.BMP", "tiny"}) {
    EXPECT_EQ(ReadBytes(P(std::string("out/") + name)), ReadBytes(P(std::string("in/") + name))) << name;
  }

  // Each kind of data packed alone: text and pictures shrink well.
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, Bytes>>{{"text", text}, {"bmp", bmp}}) {
    WriteBytes(P(name), bytes);
    ASSERT_EQ(Zanarc({"pack", P("gra.arc"), P(name)}).code, 0);
    const auto size = fs::file_size(dir / "gra.arc");
    EXPECT_LT(size, bytes.size() / 2) << name;
  }
  // Stored: the same bytes back, the archive as large as the inputs plus the index.
  ASSERT_EQ(Zanarc({"pack", "--store", P("system.arc"), P("text")}).code, 0);
  EXPECT_EQ(fs::file_size(dir / "system.arc"), 8 + 44 + text.size());
  EXPECT_EQ(Zanarc({"extract", P("system.arc"), "-o", P("stored")}).code, 0);
  EXPECT_EQ(ReadBytes(P("stored/text")), text);
  // A wrong key finds damage.
  EXPECT_EQ(Zanarc({"verify", "--key", "plume", P("msg.arc")}).code, 1);
}

// The header's flag covers every body: an archive whose files LZSS would make larger in all
// (music compressed already) is stored whole; the engine's reader reads either form back.
TEST_F(ZanarcTest, PackStoresAnArchiveThatCompressingWouldEnlarge) {
  std::mt19937 random(21);
  Bytes noise(60000);  // like Ogg or MP3 data: nothing for LZSS to find
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  const Bytes text = testing::ScriptLikeText(20000, 22);
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, Bytes>> files;
    std::vector<std::string> options;
    bool compressed;
  };
  const std::vector<Case> cases = {
      {"noise alone", {{"bgm.ogg", noise}}, {}, false},
      {"text alone", {{"main.txt", text}}, {}, true},
      // LZSS gains more on the text than it loses on the noise.
      {"both", {{"bgm.ogg", noise}, {"main.txt", Repeated(text, 4)}}, {}, true},
      {"noise, forced", {{"bgm.ogg", noise}}, {"--compress"}, true},
      {"text, forced", {{"main.txt", text}}, {"--store"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = {"pack"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(P("snd.arc"));
    uint64_t plain = 0;
    for (const auto& [name, bytes] : c.files) {
      WriteBytes(P(name), bytes);
      args.push_back(P(name));
      plain += bytes.size();
    }
    Outcome packed = Zanarc(args);
    ASSERT_EQ(packed.code, 0) << packed.err;
    EXPECT_NE(packed.out.find(c.compressed ? "(compressed)" : "(stored)"), std::string::npos) << packed.out;

    const Bytes archive = ReadBytes(P("snd.arc"));
    ASSERT_GE(archive.size(), 8u);
    EXPECT_EQ(archive[4] | archive[5] << 8 | archive[6] << 16 | archive[7] << 24, c.compressed ? 1 : 0);
    const uint64_t index = 8 + 44 * c.files.size();
    if (!c.compressed) EXPECT_EQ(archive.size(), index + plain);
    if (c.options.empty()) EXPECT_LE(archive.size(), index + plain);

    Archive reader;
    reader.SetKey("Rod7Q");
    ASSERT_TRUE(reader.Load(P("snd.arc")));
    for (const auto& [name, bytes] : c.files) {
      Bytes back(bytes.size());
      ASSERT_EQ(reader.ReadEntry(name, back), 1) << name;
      EXPECT_EQ(back, bytes) << name;
    }
  }
}

TEST_F(ZanarcTest, PackRefusesBadNamesAndKeepsTheOldArchive) {
  WriteBytes(P("ok.txt"), {1});
  ASSERT_EQ(Zanarc({"pack", P("dat.arc"), P("ok.txt")}).code, 0);
  const Bytes before = ReadBytes(P("dat.arc"));
  WriteBytes(P("😀.txt"), {1});
  WriteBytes(P(std::string(28, 'x') + ".txt"), {1});  // 32 bytes
  WriteBytes(P("OK.TXT"), {1});

  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{"pack", P("dat.arc"), P("😀.txt")}, 1, "no Shift-JIS form"},
      {{"pack", P("dat.arc"), P(std::string(28, 'x') + ".txt")}, 1, "at most 31"},
      {{"pack", P("dat.arc"), P("ok.txt"), P("OK.TXT")}, 1, "two files have this name"},
      {{"pack", P("dat.arc"), P("ok.txt"), P("missing.txt")}, 1, "missing.txt"},
      {{"pack", P("other.arc"), P("ok.txt")}, 2, "give --key"},
      {{"pack", "--key", "bad\x01key", P("dat.arc"), P("ok.txt")}, 2, "printable ASCII"},
      {{"list", "--store", P("dat.arc")}, 2, "does not apply"},
      {{"frobnicate"}, 2, "unknown command"},
      {{"lib-encode", P("ok.txt")}, 2, "needs IN and OUT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Outcome r = Zanarc(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadBytes(P("dat.arc")), before);
  EXPECT_FALSE(fs::exists(dir / "dat.arc.tmp"));
  // Explicit keys work for any name, including an empty one.
  EXPECT_EQ(Zanarc({"pack", "--key", "", P("other.arc"), P("ok.txt")}).code, 0);
  EXPECT_EQ(Zanarc({"verify", "--key", "", P("other.arc")}).code, 0);
}

TEST_F(ZanarcTest, VerifyAndExtractReportDamage) {
  Bytes file = WriteTestArchive({{"good.txt", testing::ScriptLikeText(100, 1)},
                                 {"bad.txt", testing::ScriptLikeText(100, 2)}},
                                "Rod7Q", true);
  // Cut the last body's stream short by half: it runs out (its stored size now reaches
  // past the file's end).
  file.resize(file.size() - 40);
  WriteBytes(P("msg.arc"), file);
  Outcome v = Zanarc({"verify", P("msg.arc")});
  EXPECT_EQ(v.code, 1);
  EXPECT_NE(v.err.find("bad.txt"), std::string::npos) << v.err;
  EXPECT_NE(v.err.find("1 of 2 files damaged"), std::string::npos) << v.err;
  Outcome x = Zanarc({"extract", P("msg.arc"), "-o", P("out")});
  EXPECT_EQ(x.code, 1);
  EXPECT_TRUE(fs::exists(dir / "out" / "good.txt"));
  EXPECT_FALSE(fs::exists(dir / "out" / "bad.txt"));

  WriteBytes(P("gra.arc"), {1, 0, 0, 0, 0, 0, 0, 0});  // one entry, no index
  EXPECT_EQ(Zanarc({"list", P("gra.arc")}).code, 1);
  EXPECT_EQ(Zanarc({"verify", P("nowhere/msg.arc")}).code, 1);
}

TEST_F(ZanarcTest, ExtractNeverWritesOutsideItsFolder) {
  WriteBytes(P("msg.arc"), WriteTestArchive({{"../escape.txt", {1}}, {"..", {2}}, {"fine", {3}}}, "Rod7Q", false));
  fs::create_directories(dir / "out");
  Outcome r = Zanarc({"extract", P("msg.arc"), "-o", P("out")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("not usable as a file name"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "escape.txt"));
  EXPECT_TRUE(fs::exists(dir / "out" / "fine"));
}

TEST_F(ZanarcTest, LibEncodeAndDecodeAreInverse) {
  const std::string text = Sjis("□画像定義終了,ボタン\r\n");
  WriteBytes(P("plain.lib"), Bytes(text.begin(), text.end()));
  ASSERT_EQ(Zanarc({"lib-encode", P("plain.lib"), P("scrambled.lib")}).code, 0);
  Bytes scrambled = ReadBytes(P("scrambled.lib"));
  ASSERT_EQ(scrambled.size(), text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(scrambled[i], static_cast<uint8_t>(text[i] + 0x82)) << i;  // "ぬ" starts with 0x82
  }
  ASSERT_EQ(Zanarc({"lib-decode", P("scrambled.lib"), P("back.lib")}).code, 0);
  EXPECT_EQ(ReadBytes(P("back.lib")), Bytes(text.begin(), text.end()));
  Outcome same = Zanarc({"lib-encode", P("plain.lib"), P("plain.lib")});
  EXPECT_EQ(same.code, 2);
  EXPECT_EQ(ReadBytes(P("plain.lib")), Bytes(text.begin(), text.end()));
}

TEST_F(ZanarcTest, HelpNamesEveryCommand) {
  Outcome help = Zanarc({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const char* command : {"pack [--key K] [--store|--compress] OUT.arc FILE...", "list [--key K] ARC",
                              "extract [--key K] ARC [NAME...] [-o DIR]", "verify [--key K] ARC",
                              "lib-encode IN OUT", "lib-decode IN OUT", "lib-show [--as NAME] FILE", "save-info FILE",
                              "Rod7Q", "plume"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  }
  EXPECT_EQ(Zanarc({}).code, 2);
}

TEST_F(ZanarcTest, TheRealBinaryRuns) {
  std::string command = std::string(ZANARC_BINARY) + " --help >" + P("help.txt");
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_GT(fs::file_size(dir / "help.txt"), 100u);
}

}  // namespace
}  // namespace zan
