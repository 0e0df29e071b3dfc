#pragma once
// The story's choices. A regular choice shows the entries that "SltAdd" filled (up to five)
// as a column of buttons with their texts centred on them; the player hovers one with the
// mouse or the arrow keys and clicks (or presses Enter); the chosen button blinks twice and
// about 800 ms after the click the story jumps to the entry's target. The countdown forms
// tint the screen, show the seconds left and jump to their own target when time runs out.
// Options chosen in an earlier play (the choice flags of the read-flag store) are written in
// cyan. A finished choice leaves the page behind it and the choice texts in the history.
//
// A mask choice lets the player click regions of a hit-mask picture: each of up to ten
// entries names a colour of the mask and a target, and may have a picture shown while the
// mouse is over its region.
//
// The state lives with the interpreter (Interpreter owns a ChoiceMenu) and the fixed records
// below are what a save stores of it. The choices have two layers in the frame: the mask
// choice's hover picture with the stage, the regular choice over the message windows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "frame/FrameCompositor.h"
#include "platform/Clock.h"
#include "surface/Bitmap.h"
#include "surface/Surface.h"
#include "pixels/PixelFormat.h"
#include "script/PlayerInput.h"

namespace zan {

class Backlog;
class GameData;
class MessageAreas;
class ReadFlagStore;
class StoryJumps;
class TextBuffer;

struct ChoiceEntry {
  int32_t active;        // 1 when filled by "SltAdd"
  int32_t chosenBefore;  // 1 when picked in an earlier play
  int32_t optionIndex;   // 0-based place of its "<SltAdd" tag among those of its script
  char text[64];         // shown on the button
  char script[32];       // target script; empty for the current one
  char label[64];        // target label
};

// The open flag, the hovered entry (-1 for none) and the five entries: one 868-byte block.
struct ChoiceState {
  int32_t open;
  int32_t hovered;
  ChoiceEntry entries[5];
};

struct MaskChoiceEntry {
  char hover[32];     // picture shown while the mouse is over the region; empty for none
  int32_t x;          // where the hover picture goes (always 0)
  int32_t y;
  uint8_t colour[3];  // the region's colour in the hit mask: red, green, blue
  char script[32];    // target script, or the label when no script is given
  char label[64];     // target label; empty when the script field holds the label
  uint8_t zero;
};

// The hit mask's name, the ten entries and the open flag: one 1436-byte block.
struct MaskChoiceState {
  char hitMask[32];
  MaskChoiceEntry entries[10];
  int32_t open;
};

static_assert(sizeof(ChoiceEntry) == 172 && offsetof(ChoiceEntry, text) == 12 &&
              offsetof(ChoiceEntry, script) == 76 && offsetof(ChoiceEntry, label) == 108);
static_assert(sizeof(ChoiceState) == 868);
static_assert(sizeof(MaskChoiceEntry) == 140 && offsetof(MaskChoiceEntry, colour) == 40 &&
              offsetof(MaskChoiceEntry, script) == 43 && offsetof(MaskChoiceEntry, label) == 75);
static_assert(sizeof(MaskChoiceState) == 1436 && offsetof(MaskChoiceState, open) == 1432);

class ChoiceMenu {
 public:
  static constexpr int32_t kEntries = 5;
  static constexpr int32_t kMaskEntries = 10;
  // Button rows (x = 0, the button picture's size) and the rows where the entries' texts
  // begin, one per entry shown. The first three are the game's own; the fourth and fifth
  // continue each row's spacing downwards (58 and 59 pixels).
  static constexpr std::array<int32_t, kEntries> kButtonRows = {80, 138, 196, 254, 312};
  static constexpr std::array<int32_t, kEntries> kTextRows = {92, 151, 210, 269, 328};
  static constexpr int32_t kTextSize = 24;
  static constexpr int32_t kLineStep = 29;  // between the lines of a text that wraps
  static constexpr Rgb kChosenColour{0, 255, 255};
  // The selection effect: four steps of 200 ms (normal, lit, normal, lit), then the jump.
  static constexpr uint32_t kBlinkStep = 200;
  static constexpr int32_t kJumpStep = 5;
  // Countdown sprites: sheets of 200 x 150 cells, one sheet per whole second left, drawn at
  // (300, 275) over the screen tinted halfway toward white.
  static constexpr int32_t kCountdownSheets = 5;
  static constexpr int32_t kCellWidth = 200;
  static constexpr int32_t kCellHeight = 150;

  // What the choices use: pictures from the game data; the choice area and the layout of
  // the message areas (and the current page, which a finished choice clears into the
  // history); the read flags of the choice points; the story's jumps; the player's input;
  // the clock of the countdowns and the selection blink.
  struct Services {
    GameData& data;
    MessageAreas& areas;
    ReadFlagStore& readFlags;
    Backlog& history;
    StoryJumps& jumps;
    const PlayerInput& input;
    Clock& clock;
  };

  explicit ChoiceMenu(const Services& services);
  ~ChoiceMenu();
  ChoiceMenu(const ChoiceMenu&) = delete;
  ChoiceMenu& operator=(const ChoiceMenu&) = delete;

  // Once at start-up: "カウントダウン1.bmp" to "カウントダウン5.bmp".
  void LoadCountdownSheets();
  // A new game: every entry and mask entry cleared, nothing open, the choice area writing
  // at 24 pixels, "選択肢.bmp" and "選択肢_ON.bmp" loaded again.
  void StartGame();

  // --- Regular choices ("SltAdd", "SltDel", "SltRun", "SltRunCD3", "SltRunCD5") -----------
  // Fills entry `index` (0..4; others are logged and ignored) as option `option`, the
  // 0-based place of its "<SltAdd" tag among those of its script. Every call takes the next
  // choice point of the read-flag cursor, so the cursor keeps step with the script's tags.
  void Add(int32_t index, std::string_view script, std::string_view label, std::string_view text,
           int32_t option);
  // Clears entry `index`, or all five for -1, and the choice area.
  void Delete(int32_t index);
  // Lays the active entries out and opens the choice, hovering the entry under the pointer;
  // false (nothing opens) without one.
  bool Show();
  // A countdown of `ms` on the open choice with its timeout target (an empty script: the
  // label is in the current script).
  void StartCountdown(int32_t ms, std::string_view script, std::string_view label);

  // The update hands the open choice the player's input: a pointer move, the up and down
  // arrow keys, a click.
  void Input();
  // Drawn after the message windows: the buttons, the texts, the countdown; the selection
  // effect and the countdown's timeout run here.
  void Draw(Surface& target, uint32_t now);

  bool Open() const { return state_.open != 0; }
  bool Selecting() const { return effect_.running; }
  bool CountdownActive() const { return countdown_.active; }
  int32_t Hovered() const { return state_.hovered; }
  const ChoiceState& State() const { return state_; }

  // --- Mask choices ("SltMaskHitSet", "SltMaskOverSet", "SltMaskAdd", "SltMaskDel",
  // "SltMaskRun"); entry indexes 0..9 -------------------------------------------------------
  // Loads the hit mask (an empty name forgets the mask).
  void SetHitMask(std::string_view file);
  void SetHoverPicture(int32_t index, std::string_view file);
  // Clears entry `index` (its hover picture too) and gives it a colour and a target.
  void AddMask(int32_t index, std::string_view script, std::string_view label, Rgb colour);
  // Clears entry `index`, or all ten for -1.
  void DeleteMask(int32_t index);
  void OpenMask() {
    mask_.open = 1;
    maskKeyed_ = -1;
  }
  bool MaskOpen() const { return mask_.open != 0; }
  // The entry whose colour the hit mask has at (x, y) (black outside the picture), or -1.
  // Entries without a target take part in no hit.
  int32_t HitTest(int32_t x, int32_t y) const;
  // The player's input while the mask choice is open. The arrow keys walk the entries that
  // have a target (Right and Down forward, Left and Up back, wrapping) so the choice can be
  // made without a mouse; moving the mouse hands the choice back to it. A click (or Enter)
  // jumps to the entry picked by the keys, else to the one under the mouse; a jump that
  // lands closes the mask choice.
  void MaskInput();
  // The entry the player points at: the one picked by the keys, else the one under the
  // mouse, or -1.
  int32_t MaskHovered() const;
  // Drawn with the stage: the hover picture of the entry pointed at.
  void DrawMaskHover(Surface& target);
  const MaskChoiceState& Mask() const { return mask_; }

  // The two layers: DrawMaskHover, and Draw at the time of the frame.
  FrameLayer& MaskHoverLayer() { return maskHoverLayer_; }
  FrameLayer& MenuLayer() { return menuLayer_; }

 private:
  struct SelectionEffect {
    bool running = false;
    int32_t position = -1;
    uint32_t stepTime = 0;  // ms of the last step
    int32_t step = 0;
  };
  struct Countdown {
    bool active = false;
    uint32_t deadline = 0;  // ms, system clock
    std::string script;
    std::string label;
  };

  // The entry whose button row holds the pointer (the k-th row is the k-th active entry).
  int32_t HoverFromPointer() const;
  // The next active entry from `from` in direction `step`, wrapping; `from` when none.
  int32_t NextActive(int32_t from, int32_t step) const;
  // Empties the choice area's page and its text surface.
  void ClearChoiceArea();
  // Draws one entry's text into the choice text surface at its row.
  void RenderEntryText(std::string_view text, int32_t size, Rgb colour, int32_t row);
  // Jumps to a target: `script` empty, the label in the current script. True when it landed.
  bool Jump(std::string_view script, std::string_view label);
  // The end of a choice: the page behind it and the choice texts go into the history, the
  // choice area is emptied, the countdown ends.
  void FinishChoice();
  void StepSelection(uint32_t now);
  void DrawCountdown(Surface& target, uint32_t now);
  void ClearMaskEntry(int32_t index);

  class MaskHoverDrawing : public FrameLayer {
   public:
    explicit MaskHoverDrawing(ChoiceMenu& menu) : menu_(menu) {}
    void Draw(Surface& frame) override { menu_.DrawMaskHover(frame); }

   private:
    ChoiceMenu& menu_;
  };
  class MenuDrawing : public FrameLayer {
   public:
    explicit MenuDrawing(ChoiceMenu& menu) : menu_(menu) {}
    void Draw(Surface& frame) override;

   private:
    ChoiceMenu& menu_;
  };

  Services services_;
  MaskHoverDrawing maskHoverLayer_{*this};
  MenuDrawing menuLayer_{*this};
  ChoiceState state_{};
  SelectionEffect effect_;
  Countdown countdown_;
  MaskChoiceState mask_{};
  int32_t maskKeyed_ = -1;  // the mask entry picked by the arrow keys, or -1
  Surface button_;
  Surface buttonOn_;
  std::array<Surface, kCountdownSheets> sheets_;
  std::array<Surface, kMaskEntries> hover_;
  Bitmap hitMask_;  // 24-bit pixels, read by the hit test
  std::unique_ptr<TextBuffer> entryText_;  // one entry's text while it is drawn
};

}  // namespace zan
