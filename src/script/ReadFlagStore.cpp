#include "script/ReadFlagStore.h"

#include <algorithm>
#include <cstring>

#include "core/ErrorReporter.h"
#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"
#include "data/Archive.h"
#include "data/GameData.h"
#include "data/TextFields.h"
#include "script/ScriptLoader.h"
#include "script/SysFiles.h"

namespace zan {

void ReadFlagStore::Build(const Archive& scripts, ScriptLoader& script) {
  std::vector<ScriptCounts> counts;
  scripts.ForEachEntry([&](const IndexEntry& entry, uint32_t) {
    const std::string_view name = CText(entry.name);
    if (!HasExtension(name, "txt") || EqualsNoCase(name, "ver.txt")) return;
    counts.push_back({std::string(name), script.CountTextWaits(name, -1),
                      script.CountChoicePoints(name, -1)});
  });
  BuildTable(counts);
}

void ReadFlagStore::BuildTable(const std::vector<ScriptCounts>& scripts) {
  entries_.clear();
  current_ = -1;
  waitIndex_ = 0;
  choiceIndex_ = 0;
  int32_t offset = 0;
  for (const ScriptCounts& counts : scripts) {
    if (counts.waits <= 0 && counts.choices <= 0) continue;
    Entry row;
    row.offset = offset;
    row.name.assign(CutToCharacters(counts.name, kScriptNameSize - 1));
    row.waits.assign(static_cast<size_t>(std::max(counts.waits, 0)), 0);
    row.choices.assign(static_cast<size_t>(std::max(counts.choices, 0)), 0);
    entries_.push_back(std::move(row));
    offset += std::max(counts.waits, 0);
  }
  built_ = true;
}

bool ReadFlagStore::ApplyFile(std::span<const uint8_t> bytes, ErrorReporter* reporter) {
  ByteReader reader(bytes);
  reader.I32();  // always 0
  const int32_t count = reader.I32();
  if (reader.failed()) {
    ZAN_WARN("kidoku.dat: only %zu bytes; the read flags start empty", bytes.size());
    return false;
  }
  if (count != static_cast<int32_t>(entries_.size())) {
    if (reporter) reporter->ReportError(Sjis("既読情報が一致しませんので、既読情報を初期化します"), 1);
    return false;
  }
  // Copies one stored array into the entry's, up to the entry's own size.
  auto copy = [&](std::vector<uint8_t>& flags, const char* what, size_t entry) {
    const int32_t stored = reader.I32();
    if (reader.failed() || stored < 0 || static_cast<size_t>(stored) > reader.remaining()) {
      ZAN_WARN("kidoku.dat: the %s flags of entry %zu are damaged; the rest stay unread", what,
              entry);
      return false;
    }
    const auto view = reader.View(static_cast<size_t>(stored));
    std::copy_n(view.begin(), std::min(view.size(), flags.size()), flags.begin());
    return true;
  };
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!copy(entries_[i].waits, "page", i) || !copy(entries_[i].choices, "choice", i)) break;
  }
  return true;
}

std::vector<uint8_t> ReadFlagStore::EncodeFile() const {
  std::vector<uint8_t> bytes(8);
  StoreU32(bytes.data(), 0);
  StoreU32(bytes.data() + 4, static_cast<uint32_t>(entries_.size()));
  auto put = [&](const std::vector<uint8_t>& flags) {
    const size_t at = bytes.size();
    bytes.resize(at + 4);
    StoreU32(bytes.data() + at, static_cast<uint32_t>(flags.size()));
    bytes.insert(bytes.end(), flags.begin(), flags.end());
  };
  for (const Entry& entry : entries_) {
    put(entry.waits);
    put(entry.choices);
  }
  return bytes;
}

void ReadFlagStore::Load(GameData& data, ScriptLoader& script, ErrorReporter* reporter) {
  if (!data.GetArchive(kSlotScripts).IsOpen()) return;
  Build(data.GetArchive(kSlotScripts), script);
  if (auto bytes = ReadSysFile(data, "kidoku.dat")) ApplyFile(*bytes, reporter);
}

bool ReadFlagStore::Save(const GameData& data) const {
  if (!built_) return false;
  return WriteSysFile(data, "kidoku.dat", EncodeFile());
}

void ReadFlagStore::EnterScript(std::string_view name, int32_t position, ScriptLoader& script) {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!EqualsNoCase(entries_[i].name, name)) continue;
    current_ = static_cast<int32_t>(i);
    waitIndex_ = script.CountTextWaits(name, position);
    choiceIndex_ = script.CountChoicePoints(name, position);
    return;
  }
}

bool ReadFlagStore::IsCurrentWaitRead() const {
  if (!built_) return true;
  if (current_ < 0) return false;
  const auto& waits = entries_[static_cast<size_t>(current_)].waits;
  return waitIndex_ >= 0 && static_cast<size_t>(waitIndex_) < waits.size() &&
         waits[static_cast<size_t>(waitIndex_)] == 1;
}

void ReadFlagStore::MarkWaitRead() {
  if (current_ < 0) return;
  auto& waits = entries_[static_cast<size_t>(current_)].waits;
  if (waitIndex_ >= 0 && static_cast<size_t>(waitIndex_) < waits.size())
    waits[static_cast<size_t>(waitIndex_)] = 1;
  ++waitIndex_;
}

bool ReadFlagStore::TakeChoicePoint() {
  bool chosen = false;
  if (current_ >= 0) {
    const auto& choices = entries_[static_cast<size_t>(current_)].choices;
    chosen = choiceIndex_ >= 0 && static_cast<size_t>(choiceIndex_) < choices.size() &&
             choices[static_cast<size_t>(choiceIndex_)] == 1;
  }
  ++choiceIndex_;
  return chosen;
}

void ReadFlagStore::MarkChoice(int32_t index) {
  if (current_ < 0) return;
  auto& choices = entries_[static_cast<size_t>(current_)].choices;
  if (index >= 0 && static_cast<size_t>(index) < choices.size())
    choices[static_cast<size_t>(index)] = 1;
}

}  // namespace zan
