#pragma once
// KeyConfig: which named action each input fires, read from system2.lib. Inputs are the
// numbered physical sources (mouse buttons and wheel, keys); actions are the codes 1..30
// of the action names ("決定", "スキップ", ...). Everything maps to 0 (no action) until
// loaded.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/InputEvent.h"

namespace zan {

// Action codes.
enum InputAction : int32_t {
  kActionNone = 0,
  kActionDecide = 1,          // 決定
  kActionDecide2 = 2,         // 決定2
  kActionCancel = 3,          // 取消
  kActionHideWindow = 4,      // ウィンドウ消去
  kActionFlow = 5,            // フロー
  kActionMap = 6,             // マップ
  kActionAuto = 7,            // オート
  kActionSkip = 8,            // スキップ
  kActionSave = 9,            // セーブ
  kActionLoad = 10,           // ロード
  kActionQuickSave = 11,      // クイックセーブ
  kActionQuickLoad = 12,      // クイックロード
  kActionMenu = 13,           // メニュー
  kActionCloseMenu = 14,      // メニューを閉じる
  kActionConfig = 15,         // コンフィグ
  kActionBacklog = 16,        // 履歴スクロール, バックログ
  kActionHistoryUp = 17,      // 履歴上へ
  kActionHistoryDown = 18,    // 履歴下へ
  kActionTitle = 19,          // タイトルへ戻る
  kActionQuit = 20,           // ゲーム終了
  kActionPanic = 21,          // パニックボタン
  kActionSurfaceViewer = 22,  // サーフェイスビュア
  kActionSoundViewer = 23,    // サウンドビュア
  kActionScriptViewer = 24,   // スクリプトビュア
  kActionTaskViewer = 25,     // タスクビュア
  kActionLastChoice = 26,     // 直前選択肢へ
  kActionScreenMode = 27,     // 画面変更
  kActionMinimise = 28,       // 最小化
  kActionReplayVoice = 29,    // ボイス再生
  kActionAffection = 30,      // 好感度
};

// Input numbers of the mouse (keys get theirs from InputOfKey).
constexpr int32_t kInputWheelAway = 0;
constexpr int32_t kInputLeftButton = 2;
constexpr int32_t kInputRightButton = 3;
constexpr int32_t kInputWheelTowards = 4;
constexpr int32_t kInputMiddleButton = 9;

class KeyConfig {
 public:
  static constexpr int32_t kInputCount = 36;

  // Reads the unscrambled system2.lib: a header line, then line k + 1 for input k; the
  // action name is everything after the line's first comma, matched exactly.
  void Load(std::span<const uint8_t> bytes);
  // The action of an input; 0 outside 0..35.
  int32_t Lookup(int32_t input) const;

  // The code of an action name (Shift-JIS), 0 when it is none.
  static int32_t ActionCode(std::string_view name);

 private:
  std::array<int32_t, kInputCount> actions_{};
};

// The input a key raises; none for keys outside the table.
std::optional<int32_t> InputOfKey(Key key);

}  // namespace zan
