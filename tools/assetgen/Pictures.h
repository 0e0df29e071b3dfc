#pragma once
// The demo game's pictures. The numbers the scripts and tables rely on (where a face's
// expression overlay goes, where the blinking eyes sit, which colour of the hit mask is
// which place) are fixed here; the tests hold the game's data files to them.

#include <cstdint>

#include "Raster.h"
#include "Stage.h"

namespace zan::assetgen {

struct Box {
  int x, y, w, h;
};

// Expression overlays: "省略.csv" places them at the box's corner.
inline constexpr Box kAkariFace{118, 110, 124, 108};
inline constexpr Box kNoelFace{124, 116, 132, 116};
// Blink frames: "ImageLoadEye" puts them at the box's corner.
inline constexpr Box kAkariEyes{130, 136, 100, 48};
inline constexpr Box kNoelEyes{138, 148, 104, 46};

// Mask choice on the night beach: the colour of each place in "mask_hit.bmp".
struct MaskColour {
  const char* place;
  uint8_t r, g, b;
};
inline constexpr MaskColour kMaskPlaces[] = {
    {"sky", 40, 40, 200}, {"lighthouse", 200, 40, 40}, {"woods", 40, 160, 60}, {"shore", 220, 200, 40}};

// The zoom window's frame: the window's size plus 5 pixels on every side.
inline constexpr int kZoomFrameW = 210, kZoomFrameH = 160;

// Countdown sheets: cells of 200 × 150, five columns, seven rows.
inline constexpr int kCountdownCellW = 200, kCountdownCellH = 150;

// The yes/no dialog: a 240 x 160 panel per question, buttons of 96 x 32 at (15, 101) and
// (131, 101) on it, their looks in "dialog_button.bmp" (hovered on top, yes on the left).
inline constexpr int kDialogW = 240, kDialogH = 160;
inline constexpr int kDialogButtonW = 96, kDialogButtonH = 32;
inline constexpr int kDialogYesX = 15, kDialogNoX = 131, kDialogButtonsY = 101;
struct DialogQuestion {
  const char* picture;
  const char* lines[2];  // the second may be empty
};
inline constexpr DialogQuestion kDialogQuestions[] = {
    {"QUIT_dialog.bmp", {"ゲームを終了しますか？", ""}},
    {"TITLEreturn_dialog.bmp", {"タイトル画面に", "戻りますか？"}},
    {"dlg_return.bmp", {"回想を終えて", "戻りますか？"}},
    {"Load_dialog.bmp", {"このデータを", "ロードしますか？"}},
    {"Save_dialog.bmp", {"このデータに上書きして", "セーブしますか？"}},
    {"delete_dialog.bmp", {"このデータを", "削除しますか？"}},
};

// The save and load screens (game/system/system5-1.lib places the items): the button
// picture holds each button's normal, hovered and pressed looks side by side (next page 40 x
// 32 from x 0, previous page from x 120, back 96 x 32 at y 32, delete 56 x 20 at y 64), the
// page digits 32 x 32 from (272, 0), the empty slot at (288, 32) and the slot frame at
// (416, 32), both 128 x 96. The slots stand in two rows of five.
inline constexpr int kSaveChipW = 600, kSaveChipH = 128;
inline constexpr int kSaveNextX = 0, kSavePreviousX = 120, kSaveBackY = 32, kSaveDeleteY = 64;
inline constexpr int kSaveDigitsX = 272, kSaveEmptyX = 288, kSaveEmptyY = 32, kSaveFrameX = 416, kSaveFrameY = 32;
constexpr Box SaveSlotFrame(int slot) { return {32 + slot % 5 * 152, slot < 5 ? 92 : 246, 128, 96}; }

// The title menu: each button's place on the screen (its row of system4.lib) and its row in
// "TITLE_chip.bmp", whose three columns are its looks normal, hovered and pressed (the
// states 0, 1, 2 of the row; state 3 repeats the normal look). Each look is a pill of one
// flat colour with its label in the middle. Item 3 (the prologue skip) and item 10 (the
// flow chart) are not in the demo: their rows are zero. Items 7..9 show on the bonus page.
inline constexpr int kTitleButtonW = 200, kTitleButtonH = 40;
struct TitleButton {
  int item;
  const char* label;
  int x, y;
};
inline constexpr TitleButton kTitleButtons[] = {
    {1, "はじめから", 300, 320}, {2, "つづきから", 300, 368}, {4, "おまけ", 300, 416}, {5, "設定", 300, 464},
    {6, "終了", 300, 512},       {7, "ＣＧ鑑賞", 540, 320},   {8, "回想", 540, 368},   {9, "音楽鑑賞", 540, 416}};
// The pill's colour of each look.
inline constexpr uint32_t kTitleButtonFill[3] = {0x26305E, 0x4A4A96, 0xC9A55A};

void MakeScenes(Stage& stage, const Font& font);
void MakeCharacters(Stage& stage);
void MakeInterface(Stage& stage, const Font& font);
void MakeSaveScreens(Stage& stage, const Font& font);

}  // namespace zan::assetgen
