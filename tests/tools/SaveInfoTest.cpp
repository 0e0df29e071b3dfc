// zanarc save-info: a save's header, and the exact reason a file is not a save.

#include <cstring>
#include <functional>

#include "ZanarcFixture.h"
#include "TestArchiveWriter.h"
#include "base/ByteReader.h"
#include "base/ShiftJis.h"
#include "script/SaveFile.h"

namespace zan {
namespace {

using SaveInfoTest = ZanarcTest;

std::vector<uint8_t> SampleSave() {
  SaveFile s;
  std::tm tm{};
  tm.tm_year = 125;  // 2025
  tm.tm_mon = 0;     // January
  tm.tm_mday = 5;
  tm.tm_hour = 9;
  tm.tm_min = 3;
  tm.tm_sec = 7;
  s.time = SaveTime::FromTm(tm);
  s.script = "main.txt";
  s.scene = Sjis("第一話");
  s.readPosition = 4321;
  s.pageText = Sjis("【花子】\r\nこんにちは\r\n二行目");
  s.calls = {{10, "a.txt"}};
  s.slots.resize(12);
  s.zooms.resize(5);
  s.sounds[0].file = "bgm.ogg";
  s.ints = {{0, "a", 1, 0, 9}, {1, "b", 2, 0, 9}};
  s.strings = {{2, "s", "x"}};
  return EncodeSaveFile(s);
}

TEST_F(SaveInfoTest, PrintsTheHeader) {
  testing::WriteBytes(P("save1.sav"), SampleSave());
  const Outcome o = Zanarc({"save-info", P("save1.sav")});
  EXPECT_EQ(o.code, 0) << o.err;
  for (const char* line : {"date: 2025/01/05 09:03:07\n", "scene: 第一話\n", "script: main.txt\n",
                           "position: 4321\n", "calls: 1\n", "image slots: 12\n", "zoom windows: 5\n",
                           "sound channels with a file: 1 of 12\n", "integer variables: 2\n",
                           "string variables: 1\n", "  【花子】\n  こんにちは\n  二行目\n"})
    EXPECT_NE(o.out.find(line), std::string::npos) << line << "\n" << o.out;
}

TEST_F(SaveInfoTest, SaysWhyAFileIsNotASave) {
  std::vector<uint8_t> bytes = SampleSave();
  struct Case {
    std::function<void(std::vector<uint8_t>&)> edit;
    const char* reason;
  } cases[] = {
      {[](std::vector<uint8_t>& b) { b.clear(); }, "the file is 0 bytes; a save has at least 129292"},
      {[](std::vector<uint8_t>& b) { b.push_back(1); },
       "with 12 image slots, 5 zoom windows, 2 integer and 1 string variables a save is"},
      {[](std::vector<uint8_t>& b) { std::memset(b.data() + 37332, 'x', 64); },
       "the scene name has no terminating zero within its 64 bytes"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> broken = bytes;
    c.edit(broken);
    testing::WriteBytes(P("bad.sav"), broken);
    const Outcome o = Zanarc({"save-info", P("bad.sav")});
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("is not a valid save: "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(c.reason), std::string::npos) << o.err;
  }
  EXPECT_EQ(Zanarc({"save-info"}).code, 2);
  EXPECT_EQ(Zanarc({"save-info", P("missing.sav")}).code, 1);
}

}  // namespace
}  // namespace zan
