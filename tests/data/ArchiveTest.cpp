#include "data/Archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/headless/HeadlessMessageBoxes.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using testing::TestEntry;
using testing::WriteBytes;
using testing::WriteTestArchive;
using Bytes = std::vector<uint8_t>;

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zan_archive_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    Diagnostics().SetEcho(false);
    boxes.SetQuiet(true);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const Bytes& bytes, const std::string& name = "test.arc") {
    std::string path = (dir / name).string();
    WriteBytes(path, bytes);
    return path;
  }

  Bytes Read(const Archive& archive, std::string_view name) {
    uint32_t size = 0;
    if (archive.GetEntrySize(name, &size) == 0) return {0xEE};  // marks "absent"
    Bytes out(size);
    EXPECT_TRUE(archive.ReadEntry(name, out)) << name;
    return out;
  }

  fs::path dir;
  HeadlessMessageBoxes boxes;
};

TEST_F(ArchiveTest, ReadsBackEveryEntryWithAnyKeyCompressedOrStored) {
  const Bytes text = testing::ScriptLikeText(5000, 3);
  const Bytes bmp = testing::BmpLikeData(40, 30, 4);
  const std::string kanji = Sjis("背景.bmp");
  for (const std::string& key : std::vector<std::string>{"Rod7Q", "plume", "", "k", std::string(255, '~')}) {
    for (bool compress : {true, false}) {
      SCOPED_TRACE(key.substr(0, 8) + (compress ? " compressed" : " stored"));
      Archive archive;
      archive.SetKey(key);
      ASSERT_EQ(archive.OpenArchive(Write(WriteTestArchive(
                    {{"script.txt", text}, {kanji, bmp}, {"one.dat", {42}}}, key, compress))),
                1);
      EXPECT_TRUE(archive.IsOpen());
      EXPECT_EQ(archive.EntryCount(), 3u);
      EXPECT_EQ(archive.CompressionFlag() != 0, compress);
      EXPECT_EQ(Read(archive, "script.txt"), text);
      EXPECT_EQ(Read(archive, kanji), bmp);
      EXPECT_EQ(Read(archive, "one.dat"), Bytes{42});
    }
  }
}

// An archive written out byte by byte, apart from the test writer and its encoder: one entry
// "a.txt" holding "abcabcabc", compressed, the index scrambled with the key "k" (0x6B).
TEST_F(ArchiveTest, AnArchiveWrittenByHandReads) {
  const Bytes bytes = {
      0x01, 0x00, 0x00, 0x00,  // one entry
      0x01, 0x00, 0x00, 0x00,  // compressed
      // The index: each byte less 0x6B. The name "a.txt" and 27 NULs (0x00 - 0x6B = 0x95).
      0xF6, 0xC3, 0x09, 0x0D, 0x09, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95,
      0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95, 0x95,
      0x9E, 0x95, 0x95, 0x95,  // unpacked size 9
      0x9B, 0x95, 0x95, 0x95,  // stored size 6
      0xC9, 0x95, 0x95, 0x95,  // at offset 52 (0x34)
      // The body: flags 0000 0111 (three literals, then a match), 'a', 'b', 'c', and the
      // match of 6 bytes from ring position 0xFEE (where the first literal went): low byte
      // 0xEE, then the position's top nibble 0xF and the length less 3.
      0x07, 'a', 'b', 'c', 0xEE, 0xF3};
  Archive archive;
  archive.SetKey("k");
  ASSERT_EQ(archive.OpenArchive(Write(bytes)), 1);
  EXPECT_EQ(archive.EntryCount(), 1u);
  const std::string text = "abcabcabc";
  EXPECT_EQ(Read(archive, "a.txt"), Bytes(text.begin(), text.end()));
  EXPECT_EQ(Read(archive, "A.TXT"), Bytes(text.begin(), text.end()));
}

TEST_F(ArchiveTest, NameLookupRules) {
  const std::string ka = Sjis("カ");  // 0x83 0x4A: the trail byte is an upper-case 'J'
  const std::string kanjiA = Sjis("絵a.bmp");
  Archive archive;
  archive.SetKey("Rod7Q");
  ASSERT_EQ(archive.OpenArchive(Write(WriteTestArchive(
                {{"bg01.bmp", {1}},
                 {ka + ".txt", {2}},
                 {kanjiA, {3}},
                 {"dup.txt", {4}},
                 {"DUP.TXT", {5}},  // same normalised name: the later record wins
                 {"gone.txt", {6}, true},
                 {"Mixed.Txt", {7}}},
                "Rod7Q", true))),
            1);
  EXPECT_EQ(Read(archive, "BG01.BMP"), Bytes{1});
  EXPECT_EQ(Read(archive, "bg01.bmp"), Bytes{1});
  EXPECT_EQ(Read(archive, "mixed.txt"), Bytes{7});
  EXPECT_EQ(Read(archive, ka + ".TXT"), Bytes{2});
  EXPECT_EQ(Read(archive, Sjis("絵A.BMP")), Bytes{3});
  // A double-byte character must match exactly: "ギ" is "カ" with another trail byte.
  EXPECT_EQ(archive.FindEntry(Sjis("ギ.txt")), nullptr);
  // Lower-casing the trail byte would turn "カ" (0x83 0x4A) into 0x83 0x6A.
  EXPECT_EQ(archive.FindEntry(std::string("\x83\x6a.txt")), nullptr);
  EXPECT_EQ(Read(archive, "dup.txt"), Bytes{5});
  EXPECT_EQ(archive.FindEntry("gone.txt"), nullptr);
  EXPECT_FALSE(archive.HasEntry("gone.txt"));
  uint32_t size = 99;
  EXPECT_FALSE(archive.GetEntrySize("gone.txt", &size));
  EXPECT_EQ(size, 0u);
  EXPECT_TRUE(archive.HasEntry("BG01.bmp"));
  EXPECT_EQ(archive.FindEntry(std::string(256, 'a')), nullptr);

  // Index-map order: ascending normalised (ASCII lower-cased) names as unsigned bytes, with
  // index positions: b, d, g, m, then カ (0x83 0x4A) before 絵 (0x8A 0x47), both above ASCII.
  std::vector<std::pair<std::string, uint32_t>> seen;
  archive.ForEachEntry([&](const IndexEntry& e, uint32_t position) { seen.push_back({e.name, position}); });
  const std::vector<std::pair<std::string, uint32_t>> expected = {
      {"bg01.bmp", 0}, {"DUP.TXT", 4}, {"gone.txt", 5}, {"Mixed.Txt", 6}, {ka + ".txt", 1}, {kanjiA, 2}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(archive.EntryCount(), 7u);
}

TEST_F(ArchiveTest, EmptyArchiveAndEmptyKeyAndReopening) {
  Archive archive;
  ASSERT_EQ(archive.OpenArchive(Write(WriteTestArchive({}, "", false))), 1);
  EXPECT_EQ(archive.EntryCount(), 0u);
  EXPECT_EQ(archive.FindEntry("anything"), nullptr);
  // An empty key leaves the index as written: a plain name is readable in the raw file.
  Bytes raw = WriteTestArchive({{"plain.txt", {1, 2}}}, "", false);
  EXPECT_EQ(std::string(raw.begin() + 8, raw.begin() + 17), "plain.txt");
  ASSERT_EQ(archive.OpenArchive(Write(raw, "b.arc")), 1);
  EXPECT_EQ(Read(archive, "plain.txt"), (Bytes{1, 2}));
  // Opening another archive empties the index first.
  ASSERT_EQ(archive.OpenArchive(Write(WriteTestArchive({{"other", {3}}}, "", false), "c.arc")), 1);
  EXPECT_EQ(archive.FindEntry("plain.txt"), nullptr);
}

TEST_F(ArchiveTest, AMissingArchiveShowsItsBoxAndStaysClosed) {
  Archive archive;
  archive.SetMessageBoxes(&boxes);
  const std::string path = (dir / "none.arc").string();
  EXPECT_EQ(archive.OpenArchive(path), 0);
  EXPECT_FALSE(archive.IsOpen());
  ASSERT_EQ(boxes.History().size(), 1u);
  EXPECT_EQ(boxes.History()[0].text, path + Sjis("ファイルが見当たりません") + "\n");
  EXPECT_EQ(boxes.History()[0].caption, "");

  // Removed after opening: the read shows the same box and fails.
  ASSERT_EQ(archive.OpenArchive(Write(WriteTestArchive({{"a", {1}}}, "", false), "later.arc")), 1);
  fs::remove(dir / "later.arc");
  Bytes out(1);
  EXPECT_FALSE(archive.ReadEntry("a", out));
  EXPECT_FALSE(archive.HasEntry("a"));
  EXPECT_EQ(boxes.History().back().text, (dir / "later.arc").string() + Sjis("ファイルが見当たりません") + "\n");
}

// Raw archive bytes with the index written in the clear (empty key).
Bytes RawArchive(uint32_t count, uint32_t flag, const std::vector<std::array<uint32_t, 3>>& records,
                 const Bytes& bodies) {
  Bytes out(8 + 44 * records.size(), 0);
  StoreU32(out.data(), count);
  StoreU32(out.data() + 4, flag);
  for (size_t i = 0; i < records.size(); ++i) {
    uint8_t* r = out.data() + 8 + 44 * i;
    r[0] = 'f';
    StoreU32(r + 32, records[i][0]);
    StoreU32(r + 36, records[i][1]);
    StoreU32(r + 40, records[i][2]);
  }
  out.insert(out.end(), bodies.begin(), bodies.end());
  return out;
}

TEST_F(ArchiveTest, MalformedArchivesAreRefusedWithAReason) {
  struct Case {
    const char* what;
    Bytes file;
    bool opens;
    const char* logged;  // part of the log line of the failed open or read
  };
  const uint32_t body = 8 + 44;  // offset of the first body after one record
  const std::vector<Case> cases = {
      {"shorter than the header", {1, 0, 0}, false, "header"},
      {"index count beyond the file", RawArchive(1000, 0, {{1, 1, body}}, {7}), false, "runs past"},
      {"index count near 2^32", RawArchive(0xFFFFFFFF, 0, {}, {}), false, "runs past"},
      {"body offset beyond the file", RawArchive(1, 0, {{4, 4, 5000}}, {1, 2, 3, 4}), true, "runs past"},
      {"offset and size wrap 32 bits", RawArchive(1, 0, {{0x20, 0x20, 0xFFFFFFF0u}}, {}), true, "runs past"},
      {"stored body shorter than stated", RawArchive(1, 0, {{4, 8, body}}, {1, 2, 3, 4}), true, "runs past"},
      {"stored size differs from unpacked", RawArchive(1, 0, {{2, 4, body}}, {1, 2, 3, 4}), true, "unpacked size"},
      {"unpacked size no stream can give", RawArchive(1, 1, {{0xFFFFFFFF, 3, body}}, {0, 0, 0}), true, "cannot unpack"},
      {"compressed stream runs out", RawArchive(1, 1, {{5, 3, body}}, {0xFF, 'a', 'b'}), true, "damaged compressed"},
      {"last match overruns", RawArchive(1, 1, {{5, 4, body}}, {0x01, 'x', 0xEE, 0xFF}), true, "damaged compressed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Archive archive;
    archive.SetMessageBoxes(&boxes);
    Diagnostics().LogText(LogLevel::kWarning, "");
    ASSERT_EQ(archive.OpenArchive(Write(c.file)), c.opens ? 1 : 0);
    if (c.opens) {
      Bytes out(64, 0);
      EXPECT_FALSE(archive.ReadEntry("f", out));
    }
    EXPECT_NE(Diagnostics().LastMessage().find(c.logged), std::string::npos) << Diagnostics().LastMessage();
    EXPECT_TRUE(boxes.History().empty());  // the file is there: no "not found" box
  }
}

TEST_F(ArchiveTest, ALongNameWithoutItsNulIsCutTo31Bytes) {
  Bytes file = WriteTestArchive({{std::string(32, 'n'), {9}}}, "", false);
  Archive archive;
  ASSERT_EQ(archive.OpenArchive(Write(file)), 1);
  EXPECT_EQ(Read(archive, std::string(31, 'n')), Bytes{9});
  archive.ForEachEntry([](const IndexEntry& e, uint32_t) { EXPECT_EQ(std::string(e.name).size(), 31u); });
}

}  // namespace
}  // namespace zan
