#pragma once
// ScriptLoader: loads script files into a ScriptRecord (the text and its label table) and reads
// them element by element. One instance serves the interpreter and the read-flag store;
// only one script is loaded at a time, in the record the interpreter owns.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptText.h"

namespace zan {

class GameData;
class MessageBoxes;

// The call stack of "JumpR" and "Return": up to 100 (script, read position) pairs.
class ReturnStack {
 public:
  static constexpr int32_t kDepth = 100;
  struct Entry {
    int32_t position = 0;
    std::string script;  // at most 31 bytes
  };

  // False (nothing stored) when the stack is full.
  bool Push(std::string_view script, int32_t position);
  // False when the stack is empty.
  bool Pop(Entry* entry);
  void Clear() { count_ = 0; }
  int32_t Count() const { return count_; }
  const Entry& At(int32_t index) const { return entries_[static_cast<size_t>(index)]; }

 private:
  int32_t count_ = 0;
  std::array<Entry, kDepth> entries_;
};

struct ScriptRecord {
  std::string name;            // at most 31 bytes; empty when nothing is loaded
  std::vector<uint8_t> text;   // the whole file
  std::vector<LabelEntry> labels;
  ReturnStack returns;         // cleared only by the commands that use it

  int32_t Size() const { return static_cast<int32_t>(text.size()); }
  std::string_view Text() const {
    return {reinterpret_cast<const char*>(text.data()), text.size()};
  }
  // Forgets the loaded script (not the return stack).
  void Unload();
};

class ScriptLoader {
 public:
  // Called after a script is loaded: (name, position 0). The read-flag store positions its
  // cursor there.
  using EnterHook = std::function<void(std::string_view name, int32_t position)>;

  // `boxes` shows the text overflow message; may be null.
  ScriptLoader(GameData& data, MessageBoxes* boxes);

  void SetEnterHook(EnterHook hook) { enterHook_ = std::move(hook); }

  // Makes `name` the loaded script of `record`. An empty name, or the name already loaded
  // (ignoring case), does nothing. A script that cannot be read (the data reader reports
  // it) leaves the record empty, so nothing of the previous script stays usable and the
  // interpreter idles.
  void LoadScript(ScriptRecord& record, std::string_view name);

  // The position of the first label named `label` (ignoring case, over 63 bytes), or -1.
  static int32_t FindLabel(const ScriptRecord& record, std::string_view label);

  // ReadElement over the loaded text; message text beyond 1023 bytes shows the overflow
  // message box ("スクリプトサイズオーバーフロー!!") and is cut.
  int32_t ReadElement(const ScriptRecord& record, int32_t start, std::string& out,
                      bool keepBreaks);

  // The text waits ("<KW>", "<TW...") and choice points ("<SltAdd...") of a script read
  // again by name, up to `end` (-1: the whole file). 0 when the file cannot be read.
  int32_t CountTextWaits(std::string_view name, int32_t end);
  int32_t CountChoicePoints(std::string_view name, int32_t end);
  // The choice points of a text already loaded that begin before `end` (-1: all of them).
  static int32_t CountChoicePointsIn(std::string_view text, int32_t end);

 private:
  template <class Count>
  int32_t CountElements(std::string_view name, int32_t end, Count count);
  template <class Count>
  static int32_t CountElementsIn(std::string_view text, int32_t end, Count count);

  GameData& data_;
  MessageBoxes* boxes_;
  EnterHook enterHook_;
};

}  // namespace zan
