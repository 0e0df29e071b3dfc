#pragma once
// Message areas: the pages of story text. Each area is a laid-out text buffer with its window
// position and window settings (one fixed record of 21260 bytes that saves and the backlog
// store byte for byte), its window picture and its 800 x 600 glyph surface, into which a
// presented page is drawn once. The message window task (MessageWindowTask) copies the glyphs to
// the screen every frame while the page types itself out.
//
// MessageAreas is what the interpreter owns: the three areas and which of them is current,
// the choice area, the name plate with the speaker's name and the page-advance icon, and
// whether the window shows (the script's "WinOn" and "WinOff", the player's hiding).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "surface/Surface.h"
#include "pixels/PixelFormat.h"
#include "message/MessageLayout.h"
#include "message/TextBuffer.h"

namespace zan {

class Bitmap;
class GameData;

// A window picture tinted by the settings: its colours multiplied by `tint` and its alpha by
// `opacity` (both / 255); a picture without an alpha plane counts as opaque.
void TintPicture(Bitmap& picture, Rgb tint, uint8_t opacity);

// The per-area settings of the window commands (80 bytes in the record).
struct WindowSettings {
  char picture[32];        // file name given to "WinImage"
  int32_t hidden;          // 1: the window frame is hidden
  int32_t fade;            // 255: the last show or hide fades
  uint8_t colour[3];       // current text colour
  uint8_t defaultColour[3];
  uint8_t presentedRead;   // 1: the page was last presented in the read-text colour
  uint8_t zero;
  int32_t size;            // current text size (two equal copies)
  int32_t sizeCopy;
  int32_t defaultSize;     // (two equal copies)
  int32_t defaultSizeCopy;
  int32_t homeX;           // where the first character of a page goes
  int32_t homeY;
  int32_t vertical;        // 1: vertical writing
  int32_t alignment;       // 0 left, 1 centre, 2 right

  Rgb Colour() const { return {colour[0], colour[1], colour[2]}; }
  Rgb DefaultColour() const { return {defaultColour[0], defaultColour[1], defaultColour[2]}; }
  void SetColour(Rgb c);
  void SetDefaultColour(Rgb c);
  void SetSize(int32_t s) { size = sizeCopy = s; }
  void SetDefaultSize(int32_t s) { defaultSize = defaultSizeCopy = s; }
  std::string_view Picture() const;
  void SetPicture(std::string_view name);
};

struct MessageAreaRecord {
  TextBuffer buffer;
  int32_t windowX;
  int32_t windowY;
  WindowSettings settings;

  static constexpr size_t kSize = 21260;
  void Encode(std::span<uint8_t, kSize> out) const;
  // A record read from a file; every index and number is kept inside its range.
  static void Decode(std::span<const uint8_t, kSize> in, MessageAreaRecord& out);
};

static_assert(sizeof(WindowSettings) == 80);
static_assert(offsetof(WindowSettings, hidden) == 32 && offsetof(WindowSettings, colour) == 40 &&
              offsetof(WindowSettings, defaultColour) == 43 && offsetof(WindowSettings, size) == 48 &&
              offsetof(WindowSettings, homeX) == 64 && offsetof(WindowSettings, alignment) == 76);
static_assert(offsetof(MessageAreaRecord, windowX) == 21172);
static_assert(offsetof(MessageAreaRecord, settings) == 21180);
static_assert(sizeof(MessageAreaRecord) == MessageAreaRecord::kSize);

class MessageArea {
 public:
  // The glyph surface, and the layout box of an area without a window picture.
  static constexpr int32_t kScreenWidth = 800;
  static constexpr int32_t kScreenHeight = 600;

  MessageArea();

  // Appends Shift-JIS text (CR LF are line breaks) in the area's current colour and size.
  // The new text is not shown until the page is presented.
  void Append(std::string_view text, MessageLayout& layout);
  // Base text with ruby above it.
  void AppendRuby(std::string_view base, std::string_view ruby, MessageLayout& layout);
  // An inline icon of the icon list.
  void AppendIcon(std::string_view name, MessageLayout& layout);
  bool HoldsText() const { return record_.buffer.Count() > 0; }
  // The characters of the page, breaks as CR LF.
  std::string Text() const { return record_.buffer.Characters(); }

  // The speaker of the page, cut to 31 bytes at a character boundary.
  void SetSpeakerName(std::string_view name) { record_.buffer.SetSpeakerName(name); }
  std::string SpeakerName() const { return std::string(record_.buffer.SpeakerName()); }

  // Draws the page into the glyph surface; `read` draws it in the read-text colour. Cells keep
  // their display states, so what was revealed stays revealed.
  void PresentPage(bool read, MessageLayout& layout);
  // Reveals every character at once: true when something was still hidden.
  bool ShowAll() { return record_.buffer.ShowAll(); }
  bool IsAllShown() const { return record_.buffer.IsAllShown(); }

  // Vertical writing of the buffer ("WinMsgLength"), copied in at each click wait.
  void SetVertical(int32_t vertical) { record_.buffer.SetVertical(vertical); }
  int32_t Vertical() const { return record_.buffer.vertical; }

  // Empties the page (text, speaker, display states); the window settings stay.
  void Clear() { record_.buffer.Clear(); }
  // The settings a new game starts with: no picture, hidden, horizontal, left-aligned,
  // size 18 in `colour`, position (0, 0), home (0, 0); the page empty.
  void Reset(Rgb colour);

  // A saved record: the window picture it names is loaded when it is not the one the area
  // has (a picture the area holds already, such as the tinted "win.bmp" of a new game,
  // stays as it is), the settings go to the layout and the page is presented again as it
  // was drawn, revealed cells shown and in the read-text colour when it was.
  void Restore(const MessageAreaRecord& record, GameData& data, MessageLayout& layout);
  // Loads the window picture (the old one is released); with `tint`, its colours are
  // multiplied by the tint and its alpha by `opacity` / 255. True when it loaded.
  bool LoadWindowPicture(GameData& data, std::string_view name, const Rgb* tint = nullptr,
                         uint8_t opacity = 255);
  // Makes the 800 x 600 glyph surface (with its mask, transparent black) when there is
  // none: when the area first shows text.
  void CreateGlyphSurface();

  // The layout box of the area: the window picture's size (the screen without one) less
  // the text home, and the alignment.
  void ApplyGeometry(MessageLayout& layout) const;
  // Hands the area's settings to the layout: colour, size, vertical writing, the face, the
  // text home, then the geometry.
  void ApplySettings(MessageLayout& layout) const;

  WindowSettings& Settings() { return record_.settings; }
  const WindowSettings& Settings() const { return record_.settings; }
  TextBuffer& Buffer() { return record_.buffer; }
  const TextBuffer& Buffer() const { return record_.buffer; }
  MessageAreaRecord& Record() { return record_; }
  const MessageAreaRecord& Record() const { return record_; }
  int32_t WindowX() const { return record_.windowX; }
  int32_t WindowY() const { return record_.windowY; }
  void SetWindowPosition(int32_t x, int32_t y) {
    record_.windowX = x;
    record_.windowY = y;
  }
  Surface& WindowPicture() { return picture_; }
  Surface& GlyphSurface() {
    CreateGlyphSurface();
    return glyphs_;
  }
  // Whether the glyph surface was made (GlyphSurface makes it, a full screen's worth).
  bool HasGlyphSurface() const { return static_cast<bool>(glyphs_.View()); }
  // Counts the changes to the window picture and the glyphs (which the record does not
  // show), so that a drawing can tell whether they changed.
  uint32_t PictureRevision() const { return pictureRevision_; }

 private:
  MessageAreaRecord record_;
  Surface picture_;
  Surface glyphs_;
  uint32_t pictureRevision_ = 0;
};

// The interpreter's message windows.
class MessageAreas {
 public:
  static constexpr int kAreaCount = 3;
  static constexpr int32_t kNamePlateWidth = 256;
  static constexpr int32_t kNamePlateHeight = 36;
  static constexpr int32_t kSpeakerSize = 24;

  MessageAreas() = default;
  MessageAreas(const MessageAreas&) = delete;
  MessageAreas& operator=(const MessageAreas&) = delete;

  // The application's layout (with the rasteriser and the icon list). Until attached, the
  // areas lay text out with a layout of their own that draws nothing.
  void Attach(MessageLayout& layout) { layout_ = &layout; }
  MessageLayout& Layout() { return *layout_; }

  // A new game: every area reset to the settings block's text colour, area 0 given
  // "win.bmp" tinted by the window colour at the window opacity and made current, the
  // glyph surfaces and the name plate made and cleared, "送りアイコン.bmp" loaded, the
  // layout given the colours, the window neither shown nor hidden by the player.
  void StartGame(GameData& data, Rgb textColour, Rgb readColour, Rgb tint, uint8_t opacity);
  // Empties every page and the choice area (no surfaces made).
  void ClearAll();
  // A saved game's areas, after StartGame: the three areas and the choice area take their
  // records (MessageArea::Restore), `current` becomes current with its speaker on the name
  // plate, and the window counts as shown or not as "WinOn" and "WinOff" left it.
  void Restore(GameData& data, std::span<const MessageAreaRecord> records, int32_t current,
               bool windowShown);

  MessageArea& Area(int32_t index) { return areas[static_cast<size_t>(index)]; }
  // Hands area `index`'s settings to the layout (ApplyWindowSettings of the interpreter).
  void ApplySettings(int32_t index) { Area(index).ApplySettings(*layout_); }

  // The area that story text and the window commands go to.
  MessageArea& Current() { return Area(current_); }
  int32_t CurrentIndex() const { return current_; }
  // 0..2; anything else leaves the current area as it is (logged) and answers false.
  bool SetCurrent(int32_t index);
  // Appends to area `index` with its own settings; empty text appends nothing.
  void Append(int32_t index, std::string_view text);
  // The speaker of area `index`: stored with its page and drawn on the name plate in the
  // area's current colour.
  void SetSpeaker(int32_t index, std::string_view name);
  // Clears the name plate to transparent black.
  void ClearNamePlate();
  // Presents area `index`'s page with its own settings.
  void PresentPage(int32_t index, bool read) {
    ApplySettings(index);
    Area(index).PresentPage(read, *layout_);
  }

  // The player hides or shows the window: every area whose frame is shown fades.
  void SetWindowHiddenByPlayer(bool hidden);
  bool WindowHiddenByPlayer() const { return hiddenByPlayer_; }
  // "WinOn" / "WinOff": whether the window and the system icons are shown (saved with the
  // game).
  void SetWindowShown(bool shown) { windowShown_ = shown; }
  bool WindowShown() const { return windowShown_; }

  Surface& NamePlate() { return namePlate_; }
  Surface& AdvanceIcon() { return advanceIcon_; }
  // Counts the changes to the name plate and the page-advance icon.
  uint32_t PictureRevision() const { return pictureRevision_; }

  std::array<MessageArea, kAreaCount> areas;
  MessageArea choice;

 private:
  MessageLayout ownLayout_;
  MessageLayout* layout_ = &ownLayout_;
  int32_t current_ = 0;
  Surface namePlate_;
  Surface advanceIcon_;
  bool hiddenByPlayer_ = false;
  bool windowShown_ = false;
  uint32_t pictureRevision_ = 0;
};

}  // namespace zan
