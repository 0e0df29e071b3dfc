#pragma once
// A whole game for runs of the application: all five archives, every table and both
// definition files the start-up reads, so that a run reports nothing unless its script
// makes it. Written with the independent test archive writer.

#include <filesystem>
#include <string>
#include <vector>

#include "TestArchiveWriter.h"
#include "base/ShiftJis.h"
#include "data/LibScramble.h"

namespace zan::testing {

// The key configuration of the test games (system2.lib, before scrambling).
inline const char* kKeys =
    "入力,動作\n00 ホイール奥,\n01 なし,\n02 左クリック,決定\n03 右クリック,取消\n"
    "04 Enter,決定\n05 Space,\n06 Ctrl,スキップ\n07 Shift,\n08 BackSpace,\n09 Delete,\n"
    "10 Insert,\n11 Home,\n12 End,\n13 PageUp,\n14 PageDown,\n15 Esc,\n16 F1,\n17 F2,\n"
    "18 F3,\n19 F4,\n20 F5,\n21 F6,\n22 F7,\n23 F8,\n24 F9,\n25 F10,\n26 F11,\n27 F12,\n"
    "28 S,ロード\n29 L,セーブ\n30 O,\n";

struct GameFiles {
  std::string script = "; shows nothing\n";  // main.txt (other.txt is there too)
  std::string gameCsv;                       // game.csv of dat.arc; none when empty
  std::vector<TestEntry> pictures;           // gra.arc
};

inline void WriteGame(const std::filesystem::path& folder, const GameFiles& files = {}) {
  std::filesystem::create_directories(folder);
  auto write = [&](const char* archive, std::vector<TestEntry> entries, const char* key) {
    WriteBytes((folder / archive).string(), WriteTestArchive(entries, key, true));
  };
  auto lib = [](const std::string& text) {
    std::vector<uint8_t> bytes = GameBytes(text);
    ScrambleLib(bytes, LibKey());
    return bytes;
  };
  write("msg.arc", {{"main.txt", GameBytes(files.script)}, {"other.txt", GameBytes("; \n")}}, "Rod7Q");
  write("gra.arc", files.pictures, "Rod7Q");
  write("snd.arc", {}, "Rod7Q");
  std::vector<TestEntry> tables = {{"variable.csv", GameBytes("種類,変数名,初期値,最小値,最大値\n")},
                                   {"iconlist.csv", GameBytes("番号,名前,画像\n")},
                                   {Sjis("イベントＣＧリスト.csv"), GameBytes("一覧\n\nファイル名,説明\n")},
                                   {Sjis("省略.csv"), GameBytes("略称,説明,画像,重ね画像,重ねX,重ねY\n")}};
  if (!files.gameCsv.empty()) tables.push_back({"game.csv", GameBytes(files.gameCsv)});
  write("dat.arc", tables, "Rod7Q");
  write("system.arc", {{"system1.lib", lib("ボタン\n")}, {"system2.lib", lib(kKeys)}}, "plume");
}

}  // namespace zan::testing
