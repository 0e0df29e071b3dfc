#pragma once
// SaveLoadScreen: the save and load screen ("CSaveLoad"), in save or load mode, over the
// story or the title. Ten pages of ten slots: page p, slot s is the save file
// "save<p x 10 + s>.sav" (slot -1, which only a remembered selection can name, is
// "saveq.sav"). Its items are the rows of system5-1.lib:
//
//   1      next page (9 wraps to 0)        2       previous page (0 wraps to 9)
//   3      back: the screen closes         4..13   delete the save of slot 0..9
//   14..23 the frames of slots 0..9: where each slot's thumbnail shows
//
// A click on a slot selects it; a second click on the selected slot within 500 ms (or Enter
// on the selected slot) acts: in save mode it saves there, asking first (the overwrite
// question) when the file exists; in load mode it asks and loads a slot that holds a save.
// Deleting always asks, even with confirmations switched off. A right click or Escape
// closes the screen; a yes/no question blocks everything until it is answered. The hovered
// slot's preview (date, scene name and up to four lines of its page) shows at (70, 428);
// the selected slot is tinted blue, the hovered one white (stronger while the button is
// held); the page number is a 32 x 32 part of the button picture.
//
// Only a file that reads and checks as a whole save shows its thumbnail and can be loaded;
// anything else in a slot's place (too short, damaged) shows as an empty slot, though it
// still counts as there for the overwrite and delete questions. A load is checked again
// before the screen closes and before the story is touched: when it cannot be made, the
// screen stays open and says so, and nothing is lost.
//
// Opened over the story (the story's task as caller), a confirmed load restores the game
// and the screen closes; opened by anyone else (the title), the file waits as the chosen
// file, which every opening forgets. The screen crosses in from the picture on the screen
// over 500 ms; the page and slot a confirmed action used are remembered in the options
// block (option.dat) and taken, clamped to the screen's range, at the next opening.
//
// The screen's second table (system5-2.lib, one source per item) places nothing that this
// screen draws or hits, so it is not read: a game without it is not told it lacks it.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "data/ButtonTable.h"
#include "screens/SystemScreen.h"
#include "surface/Surface.h"

namespace zan {

class GlyphRasterizer;
class Transition;
class TransitionPlayer;

enum class SaveLoadMode : int32_t { kSave = 0, kLoad = 1 };

// What the screen asks of the game it saves and loads.
class SaveLoadStory {
 public:
  // The task that plays the story: the screen opened with it as caller saves and loads the
  // running game.
  virtual const GameTask& StoryTask() const = 0;
  // Saves the game as it stands; false (logged) when nothing was written.
  virtual bool SaveGame(std::string_view file) = 0;
  // Whether `file` can be loaded, without changing anything; why not when it cannot.
  virtual Status CheckSave(std::string_view file) = 0;
  // Restores the game from `file`; false (logged) when nothing changed.
  virtual bool LoadGame(std::string_view file) = 0;

 protected:
  ~SaveLoadStory() = default;
};

class SaveLoadScreen : public SystemScreen {
 public:
  static constexpr int32_t kPages = 10;
  static constexpr int32_t kSlots = 10;
  // Items (rows of system5-1.lib).
  static constexpr int32_t kNextPage = 1, kPreviousPage = 2, kBack = 3;
  static constexpr int32_t kFirstDelete = 4, kFirstSlot = 14, kItems = 23;
  // A second click on the selected slot acts when it comes less than this after the one
  // before (ms).
  static constexpr uint32_t kDoubleClick = 500;
  // The preview of the hovered slot: where it shows, and its size.
  static constexpr int32_t kPreviewX = 70, kPreviewY = 428, kPreviewWidth = 800, kPreviewHeight = 180;
  // The page number: a 32 x 32 part of the button picture at (272 + page x 32, 0), shown at
  // (557, 28).
  static constexpr int32_t kPageNumberX = 557, kPageNumberY = 28, kDigitSize = 32, kDigitsX = 272;
  // The part of the button picture under an empty slot's frame.
  static constexpr int32_t kEmptySlotX = 288, kEmptySlotY = 32;
  // The cross-fade from the picture on the screen when the screen opens (ms).
  static constexpr int32_t kOpeningFade = 500;

  // `transitions`: where the opening cross-fade takes the picture on the screen from (none:
  // the screen shows at once); `glyphs`: the preview's text (none: no text is drawn).
  SaveLoadScreen(const ScreenServices& services, SaveLoadStory& story, TransitionPlayer* transitions,
                 GlyphRasterizer* glyphs);
  ~SaveLoadScreen() override;

  // Opens the screen in `mode` with `caller` as its return target; `onEnd` runs on the caller
  // when it closes. False when it is open already. Without system5-1.lib every item is
  // zeroed: nothing can be hit, and only a right click or Escape closes it.
  bool Open(SaveLoadMode mode, GameTask* caller, Callback onEnd);
  // Closes at once without handing back to the caller (the game it was over has ended).
  void Abandon();
  // The file a confirmed load chose for a caller other than the story; none after a visit
  // that chose nothing.
  std::optional<std::string> ChosenFile() const;

  // The save file of a page's slot ("save%d.sav"; "saveq.sav" for slot -1).
  static std::string SlotFile(int32_t page, int32_t slot);

  SaveLoadMode Mode() const { return mode_; }
  int32_t Page() const { return page_; }
  int32_t SelectedSlot() const { return selected_; }
  // What the screen says after an action failed; empty when nothing.
  const std::string& Notice() const { return notice_; }
  // Whether a slot of the page shown holds a save that can be shown and loaded.
  bool SlotHoldsSave(int32_t slot) const { return slots_[static_cast<size_t>(slot)].valid; }

  void Draw(Surface& frame) override;
  bool Changed() const override;

 protected:
  void OnButton(int32_t number) override;
  void OnCancel() override;
  void OnFrame() override;

 private:
  enum class Pending : uint8_t { kNone, kLoad, kSave, kDelete };
  struct Slot {
    bool exists = false;  // a file is in the slot's place
    bool valid = false;   // and it reads as a whole save
    Surface thumbnail;    // 128 x 96
    std::string date;     // the preview's texts
    std::string scene;
    std::string page;
  };

  // Reads every slot of the page shown: its thumbnail, or the empty-slot picture.
  void BuildThumbnails();
  void ShowEmptySlot(int32_t slot);
  void ClickSlot(int32_t slot);
  void Ask(Pending action, bool always);
  // Carries out a confirmed action on the selected slot.
  void Carry(Pending action);
  void Close();
  void SetNotice(std::string text);
  // The preview surface: the hovered slot's texts, or the notice.
  void RenderPreview(int32_t slot);
  void DrawText(int32_t x, int32_t y, int32_t size, std::string_view text);
  void DrawScreen(Surface& target);
  int32_t HoveredSlot() const;

  SaveLoadStory& story_;
  TransitionPlayer* transitions_;
  GlyphRasterizer* glyphs_;
  SaveLoadMode mode_ = SaveLoadMode::kSave;
  int32_t page_ = 0;
  int32_t selected_ = 0;
  uint32_t lastClick_ = 0;
  Pending pending_ = Pending::kNone;
  DialogTicket question_;
  bool closing_ = false;
  bool resultReady_ = false;
  std::string chosen_;
  std::string notice_;
  std::array<Slot, kSlots> slots_;
  Surface preview_;
  int32_t previewOf_ = -2;  // the slot the preview shows; -1 the notice, -2 nothing yet
  Surface composed_;        // the screen drawn for the opening cross-fade
  std::unique_ptr<Transition> fade_;
  uint32_t fadeStart_ = 0;
  bool stateChanged_ = true;  // something the layer shows changed since it last drew
};

}  // namespace zan
