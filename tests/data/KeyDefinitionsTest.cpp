// system2.lib, written as the build stores it and read back as the game reads it.

#include "data/KeyDefinitions.h"

#include <gtest/gtest.h>

#include "TestArchiveWriter.h"
#include "base/ShiftJis.h"
#include "data/LibScramble.h"

namespace zan {
namespace {

KeyDefinitions Read(std::string_view utf8) {
  std::vector<uint8_t> bytes = testing::ScrambledLib(utf8);
  UnscrambleLib(bytes, LibKey());
  return ReadKeyDefinitions({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

TEST(KeyDefinitionsTest, EveryActionNameHasItsCode) {
  const std::pair<const char*, int32_t> names[] = {
      {"決定", 1}, {"決定2", 2}, {"取消", 3}, {"ウィンドウ消去", 4}, {"フロー", 5}, {"マップ", 6},
      {"オート", 7}, {"スキップ", 8}, {"セーブ", 9}, {"ロード", 10}, {"クイックセーブ", 11},
      {"クイックロード", 12}, {"メニュー", 13}, {"メニューを閉じる", 14}, {"コンフィグ", 15},
      {"履歴スクロール", 16}, {"バックログ", 16}, {"履歴上へ", 17}, {"履歴下へ", 18},
      {"タイトルへ戻る", 19}, {"ゲーム終了", 20}, {"パニックボタン", 21}, {"サーフェイスビュア", 22},
      {"サウンドビュア", 23}, {"スクリプトビュア", 24}, {"タスクビュア", 25}, {"直前選択肢へ", 26},
      {"画面変更", 27}, {"最小化", 28}, {"ボイス再生", 29}, {"好感度", 30},
  };
  for (const auto& [name, code] : names) EXPECT_EQ(ActionCodeOfName(Sjis(name)), code) << name;
  for (const char* none : {"", "決定 ", " 決定", "決", "決定3", "ｽｷｯﾌﾟ", "skip"}) {
    EXPECT_EQ(ActionCodeOfName(Sjis(none)), 0) << none;
  }
}

TEST(KeyDefinitionsTest, LineKPlusTwoIsInputKAndTheNameIsEverythingAfterTheFirstComma) {
  const KeyDefinitions keys = Read(
      "入力,動作\n"
      "00 ホイール奥,バックログ\n"
      "01 （なし）,\n"
      "02 左クリック,決定\n"
      "03 右クリック,スキップ \n"
      "04 Enter,決定,余分\n"
      "05 Space,ないもの\n"
      "06,好感度");
  ASSERT_EQ(keys.rows.size(), 7u);
  EXPECT_EQ(keys.rows[0].input, 0);
  EXPECT_EQ(keys.rows[0].line, 2);
  EXPECT_EQ(keys.rows[0].label, Sjis("00 ホイール奥"));
  EXPECT_EQ(keys.rows[0].actionName, Sjis("バックログ"));
  EXPECT_EQ(keys.rows[0].action, 16);
  EXPECT_EQ(keys.rows[1].actionName, "");
  EXPECT_EQ(keys.rows[1].action, 0);
  EXPECT_EQ(keys.rows[2].action, 1);
  EXPECT_EQ(keys.rows[3].action, 0);
  EXPECT_EQ(keys.rows[4].actionName, Sjis("決定,余分"));
  EXPECT_EQ(keys.rows[4].action, 0);
  EXPECT_EQ(keys.rows[5].action, 0);
  EXPECT_EQ(keys.rows[6].input, 6);
  EXPECT_EQ(keys.rows[6].action, 30);  // the last line needs no line end

  std::vector<std::string> described;
  for (const DefinitionProblem& p : keys.problems) described.push_back(SjisToUtf8(DescribeProblem("system2.lib", p)));
  const std::vector<std::string> expected = {
      "system2.lib: line 5 (input 3), field 1 (action): \"スキップ \" is not an action name: the "
      "input fires nothing (names match exactly, blanks too)",
      "system2.lib: line 6 (input 4), field 1 (action): \"決定,余分\" is not an action name: the "
      "input fires nothing",
      "system2.lib: line 7 (input 5), field 1 (action): \"ないもの\" is not an action name: the "
      "input fires nothing",
  };
  EXPECT_EQ(described, expected);
}

TEST(KeyDefinitionsTest, ThirtySixInputsAtMost) {
  std::string text = "入力,動作\n";
  for (int i = 0; i < 40; ++i) text += std::to_string(i) + ",決定\n";
  const KeyDefinitions keys = Read(text);
  ASSERT_EQ(keys.rows.size(), 36u);
  EXPECT_EQ(keys.rows.back().input, 35);
  EXPECT_EQ(keys.rows.back().label, "35");
  ASSERT_EQ(keys.problems.size(), 1u);
  EXPECT_EQ(DescribeProblem("system2.lib", keys.problems[0]),
            "system2.lib: line 38: lines after input 35 are not read");
  EXPECT_TRUE(Read("入力,動作\n").rows.empty());
  EXPECT_TRUE(Read("").rows.empty());
}

}  // namespace
}  // namespace zan
