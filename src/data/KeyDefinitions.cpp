#include "data/KeyDefinitions.h"

#include <array>
#include <utility>

#include "base/ShiftJis.h"
#include "data/TextFields.h"

namespace zan {
namespace {

constexpr int32_t kHeaderLines = 1;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

int32_t ActionCodeOfName(std::string_view name) {
  static const std::pair<std::string, int32_t> kNames[] = {
      {Sjis("決定"), 1}, {Sjis("決定2"), 2}, {Sjis("取消"), 3}, {Sjis("ウィンドウ消去"), 4},
      {Sjis("フロー"), 5}, {Sjis("マップ"), 6}, {Sjis("オート"), 7}, {Sjis("スキップ"), 8},
      {Sjis("セーブ"), 9}, {Sjis("ロード"), 10}, {Sjis("クイックセーブ"), 11},
      {Sjis("クイックロード"), 12}, {Sjis("メニュー"), 13}, {Sjis("メニューを閉じる"), 14},
      {Sjis("コンフィグ"), 15}, {Sjis("履歴スクロール"), 16}, {Sjis("バックログ"), 16},
      {Sjis("履歴上へ"), 17}, {Sjis("履歴下へ"), 18}, {Sjis("タイトルへ戻る"), 19},
      {Sjis("ゲーム終了"), 20}, {Sjis("パニックボタン"), 21}, {Sjis("サーフェイスビュア"), 22},
      {Sjis("サウンドビュア"), 23}, {Sjis("スクリプトビュア"), 24}, {Sjis("タスクビュア"), 25},
      {Sjis("直前選択肢へ"), 26}, {Sjis("画面変更"), 27}, {Sjis("最小化"), 28},
      {Sjis("ボイス再生"), 29}, {Sjis("好感度"), 30},
  };
  for (const auto& [text, code] : kNames) {
    if (name == text) return code;
  }
  return 0;
}

KeyDefinitions ReadKeyDefinitions(std::string_view text) {
  KeyDefinitions keys;
  const std::vector<DefinitionLine> lines = SplitDefinitionLines(text);
  size_t next = kHeaderLines;
  for (; next < lines.size() && keys.rows.size() < static_cast<size_t>(KeyDefinitions::kInputCount); ++next) {
    const DefinitionLine& line = lines[next];
    KeyDefinitionRow row;
    row.input = static_cast<int32_t>(keys.rows.size());
    row.line = line.number;
    DefinitionFields f(line, "input " + std::to_string(row.input), keys.problems);
    row.label = f.Text(0);
    std::array<char, kFieldSize> name{};
    DropField(line.text, name, ",");
    row.actionName = std::string(CText(name));
    row.action = ActionCodeOfName(row.actionName);
    if (row.action == 0 && !row.actionName.empty()) {
      std::string message = QuotedField(row.actionName) + " is not an action name: the input fires nothing";
      if (ActionCodeOfName(TrimBlanks(row.actionName)) != 0) message += " (names match exactly, blanks too)";
      f.Report(1, "action", std::move(message));
    }
    if (line.cut) f.ReportLine("is longer than 260 bytes; the rest of it is not read");
    keys.rows.push_back(std::move(row));
  }
  for (; next < lines.size(); ++next) {
    if (lines[next].text.empty()) continue;
    keys.problems.push_back({lines[next].number, {}, -1, {},
                             "lines after input 35 are not read"});
    break;
  }
  return keys;
}

}  // namespace zan
