#pragma once
// ReadFlagStore: the read flags. One entry per script of the script archive that has text waits
// or choice points (in the archive's index order), with a flag byte per text wait (page
// read) and per choice point (option chosen before); kept in "kidoku.dat". A cursor
// follows the interpreter: the current script's entry, its text-wait index and its
// choice index.
//
// The table is built in archive mode only; without it every page counts as read.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zan {

class Archive;
class ErrorReporter;
class GameData;
class ScriptLoader;

class ReadFlagStore {
 public:
  struct Entry {
    int32_t offset = 0;  // sum of the text-wait counts of the entries before
    std::string name;    // at most 31 bytes
    std::vector<uint8_t> waits;
    std::vector<uint8_t> choices;
  };

  struct ScriptCounts {
    std::string name;
    int32_t waits = 0;
    int32_t choices = 0;
  };

  // Builds the table from the script archive: every ".txt" except "ver.txt", counted
  // with the script service, in the archive's index order.
  void Build(const Archive& scripts, ScriptLoader& script);
  // The table for scripts with these counts, in this order; scripts with neither waits
  // nor choice points get no entry.
  void BuildTable(const std::vector<ScriptCounts>& scripts);
  bool IsBuilt() const { return built_; }

  // Applies a stored "kidoku.dat". A different entry count reports
  // "既読情報が一致しませんので、既読情報を初期化します" and keeps the flags zeroed; a file
  // that ends early or holds impossible counts keeps what was read before the damage
  // (logged). False when nothing was applied.
  bool ApplyFile(std::span<const uint8_t> bytes, ErrorReporter* reporter);
  // The file for the current flags.
  std::vector<uint8_t> EncodeFile() const;

  // Start-up in archive mode: builds the table from the open script archive (slot 0) and
  // applies "sys/kidoku.dat" when it exists. Without an open script archive no table is
  // built.
  void Load(GameData& data, ScriptLoader& script, ErrorReporter* reporter);
  // Writes "sys/kidoku.dat" when the table was built (an unbuilt table would replace the
  // player's flags with nothing). True when written.
  bool Save(const GameData& data) const;

  // Positions the cursor in `name` at `position`; a script without an entry leaves it.
  void EnterScript(std::string_view name, int32_t position, ScriptLoader& script);
  // The current page's flag (true without a table or outside the table's range).
  bool IsCurrentWaitRead() const;
  // Marks the current page read and moves to the next.
  void MarkWaitRead();
  // The current choice point's flag, then moves to the next.
  bool TakeChoicePoint();
  // Marks choice point `index` of the current script as chosen.
  void MarkChoice(int32_t index);

  const std::vector<Entry>& Entries() const { return entries_; }
  int32_t CurrentEntry() const { return current_; }
  int32_t WaitIndex() const { return waitIndex_; }
  int32_t ChoiceIndex() const { return choiceIndex_; }

 private:
  bool built_ = false;
  std::vector<Entry> entries_;
  int32_t current_ = -1;
  int32_t waitIndex_ = 0;
  int32_t choiceIndex_ = 0;
};

}  // namespace zan
