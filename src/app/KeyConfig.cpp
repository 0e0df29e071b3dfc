#include "app/KeyConfig.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/ShiftJis.h"
#include "data/TextFields.h"

namespace zan {

int32_t KeyConfig::ActionCode(std::string_view name) {
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
  for (const auto& [text, code] : kNames)
    if (name == text) return code;
  return kActionNone;
}

void KeyConfig::Load(std::span<const uint8_t> bytes) {
  actions_.fill(kActionNone);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  int32_t input = 0;
  ForEachTableLine(text, 1, [&](std::string_view line) {
    std::array<char, kFieldSize> name{};
    DropField(line, name, ",");
    actions_[static_cast<size_t>(input)] = ActionCode(CText(name));
    return ++input < kInputCount;
  });
}

int32_t KeyConfig::Lookup(int32_t input) const {
  if (input < 0 || input >= kInputCount) return kActionNone;
  return actions_[static_cast<size_t>(input)];
}

int32_t InputOfKey(Key key) {
  switch (key) {
    case Key::kReturn: return 4;
    case Key::kSpace: return 5;
    case Key::kControl: return 6;
    case Key::kShift: return 7;
    case Key::kBackspace: return 8;
    case Key::kDelete: return 9;
    case Key::kInsert: return 10;
    case Key::kHome: return 11;
    case Key::kEnd: return 12;
    case Key::kPageUp: return 13;
    case Key::kPageDown: return 14;
    case Key::kEscape: return 15;
    case Key::kS: return 28;
    case Key::kL: return 29;
    case Key::kO: return 30;
    default:
      if (const int n = FunctionKeyNumber(key); n != 0) return 15 + n;
      return -1;
  }
}

}  // namespace zan
