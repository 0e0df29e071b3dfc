#pragma once
// The script's command vocabulary. Every command name of the catalogue is listed once,
// in matching order, keyed by its lower-cased name; a name gets its handler from the file
// that implements its family (script/CommandFamilies.h). Names without a handler yet, and
// names outside the catalogue, are ignored (Continue), as unknown commands always are.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zan {

// What a command tells the interpreter.
enum class DispatchResult : int32_t {
  kContinue = 0,          // read the next element
  kShowText = 1,          // apply the window settings, present the page, stop for the frame
  kStopFrame = 2,         // stop for this frame
  kChoiceOpened = 3,      // skip and auto off, complete the choice area, stop
  kMaskChoiceOpened = 4,  // skip and auto off, stop
  kWindowChanged = 5,     // apply the window settings, read on
  kMovieStarted = 6,      // set the movie wait, stop
  kNoSlot = 7,            // an image slot out of range: read on
};

// One command tag taken apart: its name and its (at most 50, trimmed) arguments.
struct CommandCall {
  std::string_view tag;
  std::string name;
  std::vector<std::string> args;

  // The argument, or the empty text beyond the count.
  const std::string& Arg(size_t index) const;
  // True when the argument is the keyword, compared ignoring case.
  bool Is(size_t index, std::string_view keyword) const;
};

// A handler holds what its family uses (its services) and gets the tag taken apart.
using CommandHandler = std::function<DispatchResult(const CommandCall&)>;

class CommandTable {
 public:
  // The whole catalogue, in matching order, with no handlers.
  CommandTable();

  // Gives a catalogue command its handler; false for a name outside the catalogue.
  bool SetHandler(std::string_view name, CommandHandler handler);
  // The handler of `name` (any case); null when unknown or not yet handled.
  const CommandHandler* Find(std::string_view name) const;
  // The place of `name` in the matching order, or -1 outside the catalogue.
  int32_t Position(std::string_view name) const;
  size_t Size() const { return entries_.size(); }
  const std::string& NameAt(size_t index) const { return entries_[index].name; }

 private:
  struct Entry {
    std::string name;  // as the catalogue spells it
    CommandHandler handler;
  };
  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> byLowerName_;
};

// Gives the commands of a family their handlers: each a function of the family's services
// (kept by value: a struct of references) and the call.
template <class Services>
using FamilyHandler = DispatchResult (*)(const Services&, const CommandCall&);
template <class Services>
void SetHandlers(CommandTable& table, const Services& services,
                 std::initializer_list<std::pair<const char*, FamilyHandler<Services>>> handlers) {
  for (const auto& entry : handlers) {
    const FamilyHandler<Services> handler = entry.second;
    table.SetHandler(entry.first, [services, handler](const CommandCall& call) { return handler(services, call); });
  }
}

}  // namespace zan
