#pragma once
// SaveFile: a whole saved game as the save files store it ("save%d.sav", "saveq.sav",
// "save_sel.sav", "special.sav"), little-endian, in file order:
//   thumbnail (36864: a 128 x 96 picture, 24-bit rows of 384 bytes, top row first, blue,
//   green, red), save time (nine int32), page text (400), script name (32), scene name (64),
//   tarot result, read position, two reserved words, the call stack (count, 100 positions,
//   100 names of 32), the choice (868) and the mask choice (1436), the current message area,
//   the three message area records and the choice area's (21260 each), the image slots
//   (count + 836 each), the zoom windows (count + 328 each), the sound channels (count 12 +
//   64 each), the weather (60), the variables (integer count, string count, 48 and 292 per
//   record), the window shown, the save screen opened by the script, the movie (72).
// Texts are Shift-JIS, NUL-terminated and zero-padded.
//
// Decoding reads and checks the whole file before anything uses it: a file that does not
// add up (its size against the counts it states, the channel count, the call-stack depth,
// the area number, a name without its terminator...) is refused with the reason.

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

#include "base/Result.h"
#include "message/MessageArea.h"
#include "script/ChoiceMenu.h"
#include "script/ParticleRecord.h"
#include "script/ScriptLoader.h"
#include "script/SoundChannelRecord.h"
#include "script/VariableTable.h"
#include "stage/ImageLayers.h"

namespace zan {

// Local time as the save stores it: years since 1900 and months 0..11.
struct SaveTime {
  int32_t second = 0;
  int32_t minute = 0;
  int32_t hour = 0;
  int32_t day = 0;    // of the month, 1..31
  int32_t month = 0;  // 0..11
  int32_t year = 0;   // since 1900
  int32_t weekday = 0;
  int32_t yearDay = 0;
  int32_t daylightSaving = 0;

  static SaveTime FromTm(const std::tm& tm);
  static SaveTime Now();
  // The time `seconds` after 1970-01-01 00:00 UTC, read as UTC (no daylight saving).
  static SaveTime FromUnixSeconds(int64_t seconds);
  // "2025/01/05 13:04:09": the calendar year and the month counted from 1.
  std::string Text() const;
};

// The movie state: whether it loops and is paused, its path ("movie\" and the file) and its
// cover picture.
struct SavedMovie {
  static constexpr size_t kSize = 72;
  int32_t loop = 0;
  int32_t paused = 0;
  std::string path;   // at most 31 bytes
  std::string cover;  // at most 31 bytes
};

struct SaveFile {
  static constexpr int32_t kThumbnailWidth = 128;
  static constexpr int32_t kThumbnailHeight = 96;
  static constexpr size_t kThumbnailRow = 3 * kThumbnailWidth;
  static constexpr size_t kThumbnailSize = kThumbnailRow * kThumbnailHeight;
  static constexpr size_t kPageTextSize = 400;
  static constexpr size_t kScriptSize = 32;
  static constexpr size_t kSceneSize = 64;
  static constexpr int32_t kAreas = 3;  // the message areas; the choice area follows them

  std::vector<uint8_t> thumbnail = std::vector<uint8_t>(kThumbnailSize);
  SaveTime time;
  std::string pageText;  // at most 399 bytes
  std::string script;    // at most 31 bytes, never empty
  std::string scene;     // at most 63 bytes
  int32_t tarot = 0;
  int32_t readPosition = 0;
  std::array<int32_t, 2> reserved{};
  std::vector<ReturnStack::Entry> calls;  // at most 100, oldest first
  ChoiceState choice{};
  MaskChoiceState mask{};
  int32_t currentArea = 0;
  // The three message areas, then the choice area.
  std::vector<MessageAreaRecord> areas = std::vector<MessageAreaRecord>(kAreas + 1);
  std::vector<SavedImageSlot> slots;
  std::vector<SavedZoomSlot> zooms;
  SoundChannelRecords sounds;
  ParticleRecord weather = ParticleRecord::Defaults();
  std::vector<VariableTable::IntVariable> ints;
  std::vector<VariableTable::StringVariable> strings;
  int32_t windowShown = 0;
  int32_t openedBySaveRun = 0;
  SavedMovie movie;

  const MessageAreaRecord& ChoiceArea() const { return areas[kAreas]; }
};

// The size of a save with these counts: 139292 for 10 image slots, 5 zoom windows and no
// variables.
uint64_t SaveFileSize(uint64_t slots, uint64_t zooms, uint64_t ints, uint64_t strings);

std::vector<uint8_t> EncodeSaveFile(const SaveFile& save);
// The save, or why the bytes are not one.
Result<SaveFile> DecodeSaveFile(std::span<const uint8_t> bytes);

// The page text of a message area: "【name】" and CR LF when it has a speaker, then its
// characters (breaks as CR LF, icons and dropped breaks left out), cut at a character so
// that it fits 399 bytes.
std::string SavePageText(const MessageArea& area);

}  // namespace zan
