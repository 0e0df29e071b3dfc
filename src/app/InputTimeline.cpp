#include "app/InputTimeline.h"

#include <charconv>
#include <cstdint>
#include <sstream>

#include "platform/Files.h"

namespace zan {
namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

template <class T>
bool ParseNumber(std::string_view text, T* out) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size();
}

Error LineError(size_t lineNumber, const std::string& what) {
  return MakeError("input timeline line " + std::to_string(lineNumber) + ": " + what);
}

}  // namespace

Key InputTimeline::KeyFromName(std::string_view name) {
  static const std::map<std::string_view, Key> kKeys = {
      {"Return", Key::kReturn}, {"Space", Key::kSpace},         {"Escape", Key::kEscape},
      {"Up", Key::kUp},         {"Down", Key::kDown},           {"Left", Key::kLeft},
      {"Right", Key::kRight},   {"PageUp", Key::kPageUp},       {"PageDown", Key::kPageDown},
      {"Home", Key::kHome},     {"End", Key::kEnd},             {"Insert", Key::kInsert},
      {"Delete", Key::kDelete}, {"BackSpace", Key::kBackspace}, {"Ctrl", Key::kControl},
      {"Shift", Key::kShift},
  };
  if (auto it = kKeys.find(name); it != kKeys.end()) return it->second;
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return CharacterKey(name[0]);
  if (name.size() >= 2 && name[0] == 'F') {
    int n = 0;
    if (ParseNumber(name.substr(1), &n)) return FunctionKey(n);
  }
  return Key::kNone;
}

Result<InputTimeline> InputTimeline::Parse(std::string_view text) {
  InputTimeline timeline;
  size_t lineNumber = 0;
  uint64_t lastFrame = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    auto words = SplitWords(line);
    if (words.empty()) continue;

    uint64_t frame = 0;
    if (!ParseNumber(words[0], &frame)) return LineError(lineNumber, "frame number expected");
    if (words.size() < 2) return LineError(lineNumber, "event expected after the frame");
    std::string_view event = words[1];
    auto args = std::vector<std::string_view>(words.begin() + 2, words.end());

    if (frame < lastFrame)
      return LineError(lineNumber, "frame " + std::to_string(frame) + " is before frame " +
                                       std::to_string(lastFrame) + " of a line above; lines go in frame order");
    lastFrame = frame;
    // A pointer outside the window (a drag that leaves it) has any position a signed 16-bit
    // client coordinate can hold.
    auto point = [&](TimelineAction* a) -> bool {
      auto coordinate = [](std::string_view text, int* out) {
        return ParseNumber(text, out) && *out >= INT16_MIN && *out <= INT16_MAX;
      };
      return args.size() == 2 && coordinate(args[0], &a->x) && coordinate(args[1], &a->y);
    };
    TimelineAction a;
    if (event == "click" || event == "rclick" || event == "tap" || event == "press" ||
        event == "release" || event == "move") {
      if (!point(&a))
        return LineError(lineNumber, std::string(event) + " needs X Y, each from -32768 to 32767");
      a.button = event == "rclick" ? PointerButton::kRight : PointerButton::kLeft;
      if (event == "move") {
        a.kind = TimelineAction::Kind::kMove;
        timeline.Add(frame, a);
      } else if (event == "tap") {
        a.kind = TimelineAction::Kind::kTap;
        timeline.Add(frame, a);
      } else if (event == "press" || event == "release") {
        a.kind = event == "press" ? TimelineAction::Kind::kPress : TimelineAction::Kind::kRelease;
        timeline.Add(frame, a);
      } else {
        a.kind = TimelineAction::Kind::kPress;
        timeline.Add(frame, a);
        a.kind = TimelineAction::Kind::kRelease;
        timeline.Add(frame + 1, a);
      }
    } else if (event == "key" || event == "keydown" || event == "keyup") {
      if (args.size() != 1) return LineError(lineNumber, std::string(event) + " needs a key name");
      a.key = KeyFromName(args[0]);
      if (a.key == Key::kNone) return LineError(lineNumber, "unknown key " + std::string(args[0]));
      if (event == "keyup") {
        a.kind = TimelineAction::Kind::kKeyUp;
        timeline.Add(frame, a);
      } else {
        a.kind = TimelineAction::Kind::kKeyDown;
        timeline.Add(frame, a);
        if (event == "key") {
          a.kind = TimelineAction::Kind::kKeyUp;
          timeline.Add(frame + 1, a);
        }
      }
    } else if (event == "wheel") {
      if (args.size() != 1 || (args[0] != "up" && args[0] != "down"))
        return LineError(lineNumber, "wheel needs up or down");
      a.kind = TimelineAction::Kind::kWheel;
      a.wheelNotches = args[0] == "up" ? 1 : -1;
      timeline.Add(frame, a);
    } else if (event == "close") {
      if (!args.empty()) return LineError(lineNumber, "close takes no arguments");
      a.kind = TimelineAction::Kind::kClose;
      timeline.Add(frame, a);
    } else if (event == "action") {
      if (args.size() != 1 || !ParseNumber(args[0], &a.action) || a.action < 1 || a.action > 30)
        return LineError(lineNumber, "action needs an action number from 1 to 30");
      a.kind = TimelineAction::Kind::kAction;
      timeline.Add(frame, a);
    } else {
      return LineError(lineNumber, "unknown event " + std::string(event));
    }
  }
  return timeline;
}

Result<InputTimeline> InputTimeline::Load(const std::string& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return bytes.error();
  auto timeline = Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!timeline) return MakeError(path + ": " + timeline.error().message);
  return timeline;
}

std::vector<TimelineAction> InputTimeline::ActionsAt(uint64_t frame) const {
  std::vector<TimelineAction> out;
  auto range = actions_.equal_range(frame);
  for (auto it = range.first; it != range.second; ++it) out.push_back(it->second);
  return out;
}

}  // namespace zan
