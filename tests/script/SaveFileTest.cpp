// The save file format: its size formula, fields at their offsets, a round trip, and files
// that are not saves (each refused with its reason).

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "base/ByteReader.h"
#include "base/ShiftJis.h"
#include "script/SaveFile.h"

namespace zan {
namespace {

// Offsets of the format, counted from the table of fields.
constexpr size_t kTime = 36864;
constexpr size_t kPage = kTime + 36;
constexpr size_t kScript = kPage + 400;
constexpr size_t kScene = kScript + 32;
constexpr size_t kTarot = kScene + 64;
constexpr size_t kPosition = kTarot + 4;
constexpr size_t kReserved = kPosition + 4;
constexpr size_t kCalls = kReserved + 8;
constexpr size_t kChoice = kCalls + 3604;
constexpr size_t kMask = kChoice + 868;
constexpr size_t kCurrentArea = kMask + 1436;
constexpr size_t kAreas = kCurrentArea + 4;
constexpr size_t kSlots = kAreas + 4 * 21260;

int32_t I32At(const std::vector<uint8_t>& b, size_t at) { return static_cast<int32_t>(LoadU32(b.data() + at)); }
std::string TextAt(const std::vector<uint8_t>& b, size_t at) { return reinterpret_cast<const char*>(b.data() + at); }

// A save with something in every field.
SaveFile Sample() {
  SaveFile s;
  for (size_t i = 0; i < s.thumbnail.size(); ++i) s.thumbnail[i] = static_cast<uint8_t>(i * 7);
  s.time = SaveTime::FromTm([] {
    std::tm tm{};
    tm.tm_year = 125;
    tm.tm_mon = 0;
    tm.tm_mday = 5;
    tm.tm_hour = 13;
    tm.tm_min = 4;
    tm.tm_sec = 9;
    tm.tm_wday = 0;
    tm.tm_yday = 4;
    return tm;
  }());
  s.pageText = Sjis("【花子】\r\nこんにちは");
  s.script = "main.txt";
  s.scene = Sjis("第一話");
  s.tarot = 3;
  s.readPosition = 1234;
  s.reserved = {11, -12};
  s.calls = {{100, "a.txt"}, {200, "b.txt"}};
  s.choice.open = 1;
  s.choice.hovered = 2;
  s.choice.entries[0].active = 1;
  std::strcpy(s.choice.entries[0].text, "yes");
  s.mask.open = 0;
  std::strcpy(s.mask.hitMask, "hit.bmp");
  s.currentArea = 2;
  s.areas[1].windowX = 17;
  s.areas[3].settings.SetPicture("choice.bmp");
  s.slots.resize(10);
  s.slots[3].picture = "bg.bmp";
  s.slots[3].x = -40;
  s.slots[3].z = 3;
  s.zooms.resize(5);
  s.zooms[4].dst = {1, 2, 3, 4};
  s.sounds[0].file = "bgm.ogg";
  s.sounds[0].loop = 1;
  s.sounds[0].playing = 1;
  s.sounds[11].pan = -10000;
  s.weather.effects[1].on = 1;
  s.ints = {{0, "a", 5, 0, 10}, {1, "G_b", -3, -5, 5}};
  s.strings = {{2, "s", "text"}};
  s.windowShown = 1;
  s.openedBySaveRun = 0;
  s.movie = {1, 0, "movie\\op.mpg", "cover.bmp"};
  return s;
}

TEST(SaveFile, SizeFollowsTheCounts) {
  struct Case {
    uint64_t slots, zooms, ints, strings, size;
  } cases[] = {
      {10, 5, 0, 0, 139292},
      {11, 5, 0, 0, 139292 + 836},
      {10, 6, 0, 0, 139292 + 328},
      {10, 5, 3, 2, 139292 + 3 * 48 + 2 * 292},
      {0, 0, 0, 0, 139292 - 10 * 836 - 5 * 328},
  };
  for (const Case& c : cases) EXPECT_EQ(SaveFileSize(c.slots, c.zooms, c.ints, c.strings), c.size);
  const SaveFile s = Sample();
  EXPECT_EQ(EncodeSaveFile(s).size(), SaveFileSize(10, 5, 2, 1));
}

TEST(SaveFile, FieldsLieAtTheirOffsets) {
  const std::vector<uint8_t> b = EncodeSaveFile(Sample());
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 7);
  const int32_t time[] = {9, 4, 13, 5, 0, 125, 0, 4, 0};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(I32At(b, kTime + 4 * i), time[i]) << i;
  EXPECT_EQ(TextAt(b, kPage), Sjis("【花子】\r\nこんにちは"));
  EXPECT_EQ(TextAt(b, kScript), "main.txt");
  EXPECT_EQ(TextAt(b, kScene), Sjis("第一話"));
  EXPECT_EQ(I32At(b, kTarot), 3);
  EXPECT_EQ(I32At(b, kPosition), 1234);
  EXPECT_EQ(I32At(b, kReserved + 4), -12);
  EXPECT_EQ(I32At(b, kCalls), 2);
  EXPECT_EQ(I32At(b, kCalls + 4 + 4), 200);               // the second position
  EXPECT_EQ(TextAt(b, kCalls + 4 + 400 + 32), "b.txt");  // the second name
  EXPECT_EQ(I32At(b, kChoice), 1);
  EXPECT_EQ(I32At(b, kChoice + 4), 2);
  EXPECT_EQ(TextAt(b, kChoice + 8 + 12), "yes");
  EXPECT_EQ(TextAt(b, kMask), "hit.bmp");
  EXPECT_EQ(I32At(b, kCurrentArea), 2);
  EXPECT_EQ(I32At(b, kAreas + 21260 + 21172), 17);  // area 1's window x
  EXPECT_EQ(TextAt(b, kAreas + 3 * 21260 + 21180), "choice.bmp");
  EXPECT_EQ(I32At(b, kSlots), 10);
  EXPECT_EQ(TextAt(b, kSlots + 4 + 3 * 836), "bg.bmp");
  EXPECT_EQ(I32At(b, kSlots + 4 + 3 * 836 + 824), -40);  // x
  const size_t zooms = kSlots + 4 + 10 * 836;
  EXPECT_EQ(I32At(b, zooms), 5);
  EXPECT_EQ(I32At(b, zooms + 4 + 4 * 328 + 296), 1);  // the fifth window's destination x
  const size_t sounds = zooms + 4 + 5 * 328;
  EXPECT_EQ(I32At(b, sounds), 12);
  EXPECT_EQ(TextAt(b, sounds + 4), "bgm.ogg");
  EXPECT_EQ(I32At(b, sounds + 4 + 32), 1);             // playing
  EXPECT_EQ(I32At(b, sounds + 4 + 11 * 64 + 60), -10000);  // the last channel's pan
  const size_t weather = sounds + 4 + 12 * 64;
  const int32_t defaults[] = {0, 100, 0, 0, 5, 1, 1000, 0, 0, 5, 0, 300, 5, 10, 10};
  for (size_t i = 0; i < 15; ++i) EXPECT_EQ(I32At(b, weather + 4 * i), defaults[i]) << i;
  const size_t vars = weather + 60;
  EXPECT_EQ(I32At(b, vars), 2);
  EXPECT_EQ(I32At(b, vars + 4), 1);
  EXPECT_EQ(TextAt(b, vars + 8 + 48 + 4), "G_b");
  EXPECT_EQ(I32At(b, vars + 8 + 48 + 36), -3);
  EXPECT_EQ(TextAt(b, vars + 8 + 96 + 36), "text");
  const size_t tail = vars + 8 + 96 + 292;
  EXPECT_EQ(I32At(b, tail), 1);
  EXPECT_EQ(I32At(b, tail + 8), 1);  // the movie loops
  EXPECT_EQ(TextAt(b, tail + 16), "movie\\op.mpg");
  EXPECT_EQ(TextAt(b, tail + 48), "cover.bmp");
  EXPECT_EQ(b.size(), tail + 80);
}

TEST(SaveFile, RoundTrip) {
  const SaveFile s = Sample();
  const std::vector<uint8_t> bytes = EncodeSaveFile(s);
  auto back = DecodeSaveFile(bytes);
  ASSERT_TRUE(back) << back.error().message;
  EXPECT_EQ(back->thumbnail, s.thumbnail);
  EXPECT_EQ(back->pageText, s.pageText);
  EXPECT_EQ(back->scene, s.scene);
  EXPECT_EQ(back->readPosition, 1234);
  ASSERT_EQ(back->calls.size(), 2u);
  EXPECT_EQ(back->calls[1].script, "b.txt");
  EXPECT_EQ(back->calls[1].position, 200);
  EXPECT_EQ(back->slots, s.slots);
  EXPECT_EQ(back->zooms, s.zooms);
  EXPECT_EQ(back->sounds, s.sounds);
  EXPECT_EQ(back->weather.effects[1].on, 1);
  ASSERT_EQ(back->ints.size(), 2u);
  EXPECT_EQ(back->ints[1].name, "G_b");
  EXPECT_EQ(back->ints[1].minimum, -5);
  EXPECT_EQ(back->strings[0].value, "text");
  EXPECT_EQ(back->movie.cover, "cover.bmp");
  EXPECT_EQ(EncodeSaveFile(*back), bytes);
}

TEST(SaveFile, TheDateIsShownAsACalendarDate) {
  EXPECT_EQ(Sample().time.Text(), "2025/01/05 13:04:09");
  // A damaged file's numbers are shown as they are, without overflowing.
  SaveTime t;
  t.year = INT32_MAX;
  t.month = INT32_MAX;
  EXPECT_EQ(t.Text(), "2147485547/2147483648/00 00:00:00");
}

TEST(SaveFile, AVirtualClocksTimeIsACalendarDate) {
  struct Case {
    int64_t seconds;
    SaveTime want;  // second, minute, hour, day, month 0..11, year - 1900, weekday, day of year
  };
  for (const Case& c : {Case{946684800, {0, 0, 0, 1, 0, 100, 6, 0, 0}},
                        Case{951786123, {3, 2, 1, 29, 1, 100, 2, 59, 0}},
                        Case{1700000000, {20, 13, 22, 14, 10, 123, 2, 317, 0}}}) {
    const SaveTime t = SaveTime::FromUnixSeconds(c.seconds);
    EXPECT_EQ(std::memcmp(&t, &c.want, sizeof t), 0) << c.seconds << " " << t.Text();
  }
}

TEST(SaveFile, ThePageTextNamesTheSpeakerAndFitsItsField) {
  MessageArea area;
  MessageLayout layout;
  area.SetSpeakerName(Sjis("花子"));
  area.Append(Sjis("こんにちは\r\nさようなら"), layout);
  EXPECT_EQ(SavePageText(area), Sjis("【花子】\r\nこんにちは\r\nさようなら"));
  MessageArea full;
  // 300 double-byte characters are more than 600 bytes: the text stops at a character
  // within 399.
  std::string text;
  for (int i = 0; i < 300; ++i) text += Sjis("あ");
  full.Append(text, layout);
  const std::string page = SavePageText(full);
  EXPECT_LE(page.size(), 399u);
  EXPECT_GE(page.size(), 398u);
  EXPECT_EQ(full.Text().substr(0, page.size()), page);
}

// Files that are not saves: each is refused, and says why.
TEST(SaveFile, DamagedFilesAreRefusedWithTheirReason) {
  const std::vector<uint8_t> good = EncodeSaveFile(Sample());
  const size_t sounds = kSlots + 4 + 10 * 836 + 4 + 5 * 328;
  const size_t vars = sounds + 4 + 12 * 64 + 60;
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  auto setI32 = [](size_t at, int32_t v) -> Edit {
    return [=](std::vector<uint8_t>& b) { StoreU32(b.data() + at, static_cast<uint32_t>(v)); };
  };
  // Fills a text field to its end, leaving no terminator.
  auto fill = [](size_t at, size_t size) -> Edit {
    return [=](std::vector<uint8_t>& b) { std::memset(b.data() + at, 'x', size); };
  };
  struct Case {
    const char* what;
    Edit edit;
    const char* reason;  // a part of the message
  } cases[] = {
      {"empty", [](std::vector<uint8_t>& b) { b.clear(); }, "a save has at least"},
      {"truncated", [](std::vector<uint8_t>& b) { b.pop_back(); }, "a save is"},
      {"oversized", [](std::vector<uint8_t>& b) { b.push_back(0); }, "a save is"},
      {"half", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }, "a save has at least"},
      {"script unterminated", fill(kScript, 32), "the script name has no terminating zero"},
      {"empty script", [](std::vector<uint8_t>& b) { b[kScript] = 0; }, "the script name is empty"},
      {"scene unterminated", fill(kScene, 64), "the scene name"},
      {"page unterminated", fill(kPage, 400), "the page text"},
      {"negative position", setI32(kPosition, -1), "negative"},
      {"deep calls", setI32(kCalls, 101), "call stack"},
      {"negative calls", setI32(kCalls, -1), "call stack"},
      {"call name", fill(kCalls + 404, 32), "call 0's script name"},
      {"call position", setI32(kCalls + 4, -5), "negative position"},
      {"choice open flag", setI32(kChoice, 7), "choice's open flag"},
      {"hovered", setI32(kChoice + 4, 5), "hovered choice"},
      {"choice text", fill(kChoice + 8 + 12, 64), "choice 0's text"},
      {"hit mask", fill(kMask, 32), "hit mask"},
      {"area number", setI32(kCurrentArea, 3), "current message area 3"},
      {"negative area", setI32(kCurrentArea, -1), "current message area -1"},
      {"window picture", fill(kAreas + 21260 + 21180, 32), "message area 1's window picture"},
      {"speaker", fill(kAreas + 21136, 32), "message area 0's speaker"},
      {"slot count", setI32(kSlots, 101), "image slot count 101"},
      {"slot count past the end", setI32(kSlots, 100), "ends inside its 100 image slots"},
      {"fewer slots", setI32(kSlots, 9), ""},
      {"slot picture", fill(kSlots + 4, 260), "image slot 0's picture name"},
      {"zoom count", setI32(kSlots + 4 + 10 * 836, 33), "zoom window count 33"},
      {"channel count", setI32(sounds, 11), "11 channels instead of 12"},
      {"channel file", fill(sounds + 4 + 64, 32), "sound channel 1's file name"},
      {"variable count", setI32(vars, 3), "a save is"},
      {"negative variables", setI32(vars + 4, -1), "negative"},
      {"variable name", fill(vars + 8 + 4, 32), "integer variable 0's name"},
      {"string value", fill(vars + 8 + 96 + 36, 256), "string variable 0's value"},
      {"movie path", fill(vars + 8 + 96 + 292 + 16, 32), "the movie path"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    c.edit(bytes);
    auto save = DecodeSaveFile(bytes);
    ASSERT_FALSE(save) << c.what;
    EXPECT_NE(save.error().message.find(c.reason), std::string::npos) << c.what << ": " << save.error().message;
  }
}

// Every single byte of the counts and numbers that shape the file, flipped bit by bit: the
// reader never reads outside the file and never accepts a file whose size no longer fits.
TEST(SaveFile, BitFlipsInTheCountsNeverPass) {
  const std::vector<uint8_t> good = EncodeSaveFile(Sample());
  const size_t sounds = kSlots + 4 + 10 * 836 + 4 + 5 * 328;
  const size_t vars = sounds + 4 + 12 * 64 + 60;
  for (size_t at : {kSlots, kSlots + 4 + 10 * 836, sounds, vars, vars + 4}) {
    for (int bit = 0; bit < 32; ++bit) {
      std::vector<uint8_t> bytes = good;
      bytes[at + bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
      EXPECT_FALSE(DecodeSaveFile(bytes)) << at << " bit " << bit;
    }
  }
}

}  // namespace
}  // namespace zan
