#include "app/CommandLine.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "app/KeyConfig.h"
#include "app/Version.h"
#include "data/Archive.h"
#include "data/GameData.h"
#include "data/LibScramble.h"
#include "platform/Files.h"

namespace zan {
namespace {

struct OptionSpec {
  const char* name;
  const char* argument;  // null for a flag
  const char* help;
  std::function<Status(AppOptions&, const std::string&)> apply;
};

template <class T>
bool ParseNumber(const std::string& text, T* out) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size();
}

const std::vector<OptionSpec>& Options() {
  static const std::vector<OptionSpec> kOptions = {
      {"--headless", nullptr,
       "No window and no audio device; a virtual clock that advances only when the program "
       "sleeps or paces a frame, so runs are deterministic and fast.",
       [](AppOptions& o, const std::string&) -> Status {
         o.headless = true;
         return {};
       }},
      {"--frames", "N", "Shut down in order after N frames (main-loop passes), as closing the window does.",
       [](AppOptions& o, const std::string& v) -> Status {
         uint64_t n = 0;
         if (!ParseNumber(v, &n) || n == 0) return MakeError("--frames needs a positive number");
         o.frames = n;
         return {};
       }},
      {"--input", "FILE",
       "Play a timeline of input events, one a line: FRAME click|rclick|press|release|move X Y, "
       "FRAME key|keydown|keyup NAME, FRAME wheel up|down, FRAME close, FRAME action N (input "
       "action N, 1..30), FRAME save|load N (the save file saveN.sav) (# starts a comment).",
       [](AppOptions& o, const std::string& v) -> Status {
         o.inputFile = v;
         return {};
       }},
      {"--click-every", "K",
       "Press and release the left button every K frames (K >= 2), as a real click would.",
       [](AppOptions& o, const std::string& v) -> Status {
         uint32_t k = 0;
         if (!ParseNumber(v, &k) || k < 2) return MakeError("--click-every needs a number >= 2");
         o.clickEvery = k;
         return {};
       }},
      {"--audio-out", "PATH.wav",
       "Write everything the sound device plays to a 44.1 kHz stereo 16-bit WAV file (with "
       "--headless: the mix made on the virtual clock).",
       [](AppOptions& o, const std::string& v) -> Status {
         if (v.empty()) return MakeError("--audio-out needs a file name");
         o.audioOut = v;
         return {};
       }},
      {"--start", "SCRIPT",
       "Skip the title and start a new story at SCRIPT (a script file name of the game). "
       "Without it the game opens with its title.",
       [](AppOptions& o, const std::string& v) -> Status {
         if (v.empty()) return MakeError("--start needs a script name");
         o.startScript = v;
         return {};
       }},
      {"--dump-vars", "PATH",
       "At exit write every script variable to PATH, one name=value line each (UTF-8): the "
       "integer variables, then the string variables, in table order.",
       [](AppOptions& o, const std::string& v) -> Status {
         if (v.empty()) return MakeError("--dump-vars needs a file name");
         o.dumpVars = v;
         return {};
       }},
      {"--pixel-format", "555|565|888|8888",
       "The display's pixel format, which every surface takes (default 8888): 16-bit "
       "0RRRRRGGGGGBBBBB, 16-bit RRRRRGGGGGGBBBBB, 24-bit or 32-bit.",
       [](AppOptions& o, const std::string& v) -> Status {
         int32_t code = 0;
         if (!ParseNumber(v, &code) || (code != 555 && code != 565 && code != 888 && code != 8888))
           return MakeError("--pixel-format needs 555, 565, 888 or 8888");
         o.pixelFormat = code;
         return {};
       }},
      {"--screenshot", "FRAME:PATH.png",
       "After frame FRAME (a main-loop pass, from 0), write the picture on the screen to PATH "
       "as a PNG. May be given more than once.",
       [](AppOptions& o, const std::string& v) -> Status {
         const size_t colon = v.find(':');
         uint64_t frame = 0;
         if (colon == std::string::npos || !ParseNumber(v.substr(0, colon), &frame) ||
             colon + 1 == v.size())
           return MakeError("--screenshot needs FRAME:PATH.png");
         o.screenshots.emplace_back(frame, v.substr(colon + 1));
         return {};
       }},
      {"--seed", "N",
       "Seed the game's random numbers (\"Rnd\" and the weather) with N (0 to 4294967295), "
       "to replay one random outcome or try others. Without it a windowed game seeds from "
       "the clock; a --headless run always starts from the same seed.",
       [](AppOptions& o, const std::string& v) -> Status {
         uint32_t seed = 0;
         if (!ParseNumber(v, &seed)) return MakeError("--seed needs a number from 0 to 4294967295");
         o.seed = seed;
         return {};
       }},
      {"--frame-hashes", "PATH",
       "After every frame write a line to PATH: the frame and a 64-bit hash of the picture on "
       "the screen, to compare two runs frame by frame.",
       [](AppOptions& o, const std::string& v) -> Status {
         if (v.empty()) return MakeError("--frame-hashes needs a file name");
         o.frameHashes = v;
         return {};
       }},
      {"--full-redraw", nullptr,
       "Compose and present every frame whole, changed or not, instead of only what changed "
       "(the two show the same pictures).",
       [](AppOptions& o, const std::string&) -> Status {
         o.fullRedraw = true;
         return {};
       }},
      {"--verbose", nullptr,
       "Also show the framework's debug lines on stderr (display set-up, stream ends); "
       "ZAN_VERBOSE=1 in the environment does the same.",
       [](AppOptions& o, const std::string&) -> Status {
         o.verbose = true;
         return {};
       }},
      {"--help", nullptr, "Show this help and the game's keys, and exit.",
       [](AppOptions& o, const std::string&) -> Status {
         o.help = true;
         return {};
       }},
      {"--version", nullptr, "Show the version and exit.",
       [](AppOptions& o, const std::string&) -> Status {
         o.version = true;
         return {};
       }},
  };
  return kOptions;
}

}  // namespace

Result<AppOptions> ParseCommandLine(const std::vector<std::string>& args) {
  AppOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 1 && arg[0] == '-') {
      std::string name = arg;
      std::string value;
      bool inlineValue = false;
      if (size_t eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        inlineValue = true;
      }
      const OptionSpec* option = nullptr;
      for (const auto& o : Options())
        if (name == o.name) option = &o;
      if (!option) return MakeError("unknown option " + name + " (see --help)");
      if (option->argument && !inlineValue) {
        if (i + 1 >= args.size()) return MakeError(name + " needs " + option->argument);
        value = args[++i];
      } else if (!option->argument && inlineValue) {
        return MakeError(name + " takes no value");
      }
      if (Status s = option->apply(options, value); !s) return s.error();
    } else {
      if (!options.gameDir.empty()) return MakeError("more than one game folder given: " + arg);
      options.gameDir = arg;
    }
  }
  return options;
}

Status CheckOutputPaths(const AppOptions& options) {
  // `given`: the option as typed, for the message.
  auto check = [](const std::string& given, const std::string& path) -> Status {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    if (!IsDirectory(folder)) return MakeError(given + ": there is no folder " + folder);
    if (!IsWritableFolder(folder)) return MakeError(given + ": the folder " + folder + " cannot be written");
    return {};
  };
  if (!options.frameHashes.empty())
    if (Status s = check("--frame-hashes " + options.frameHashes, options.frameHashes); !s) return s;
  for (const auto& [frame, path] : options.screenshots)
    if (Status s = check("--screenshot " + std::to_string(frame) + ":" + path, path); !s) return s;
  if (!options.dumpVars.empty())
    if (Status s = check("--dump-vars " + options.dumpVars, options.dumpVars); !s) return s;
  return {};
}

bool VerboseByEnvironment() {
  const char* value = std::getenv("ZAN_VERBOSE");
  return value && value[0] != '\0' && std::string_view(value) != "0";
}

std::string HelpText() {
  std::string text =
      "Usage: zan [options] [GAME_DIR]\n"
      "Plays the game in GAME_DIR, a folder holding the game's msg.arc. Without one:\n"
      "the current folder when it holds a game, else the bundled demo game.\n\nOptions:\n";
  for (const auto& o : Options()) {
    std::string head = std::string("  ") + o.name;
    if (o.argument) head += std::string(" ") + o.argument;
    text += head;
    text += head.size() < 22 ? std::string(22 - head.size(), ' ') : "\n" + std::string(22, ' ');
    // Wrap the help at 78 columns, indented under the option column.
    size_t column = 22;
    bool lineStart = true;
    size_t pos = 0;
    const std::string help = o.help;
    while (pos < help.size()) {
      size_t end = help.find(' ', pos);
      if (end == std::string::npos) end = help.size();
      const std::string word = help.substr(pos, end - pos);
      pos = end + 1;
      if (!lineStart && column + 1 + word.size() > 78) {
        text += "\n" + std::string(22, ' ');
        column = 22;
        lineStart = true;
      }
      if (!lineStart) {
        text += ' ';
        ++column;
      }
      text += word;
      column += word.size();
      lineStart = false;
    }
    text += "\n";
  }
  return text;
}

std::string KeysHelpText(const std::string& gameFolder) {
  auto path = FindFileNoCase(gameFolder, SlotFileName(kSlotDefinitions));
  if (!path) return {};
  Archive archive;
  archive.SetKey(SlotKey(kSlotDefinitions));
  if (!archive.Load(*path)) return {};
  uint32_t size = 0;
  if (!archive.GetEntrySize("system2.lib", &size)) return {};
  std::vector<uint8_t> lib(size);
  if (!archive.ReadEntry("system2.lib", lib)) return {};
  UnscrambleLib(lib, LibKey());
  KeyConfig keys;
  keys.Load(lib);

  // The inputs by number; inputs 1 and 31..35 have no key or button.
  static const char* const kInputs[KeyConfig::kInputCount] = {
      "wheel away from you", nullptr, "left click", "right click", "Enter, wheel towards you",
      "Space", "Ctrl", "Shift", "BackSpace", "Delete, middle click", "Insert", "Home", "End",
      "PageUp", "PageDown", "Esc", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10",
      "F11", "F12", "S", "L", "O", nullptr, nullptr, nullptr, nullptr, nullptr};
  static const std::map<int32_t, const char*> kActions = {
      {kActionDecide, "next page / choose"}, {kActionDecide2, "next page / choose"},
      {kActionCancel, "cancel / right-click action"}, {kActionHideWindow, "hide / show the window"},
      {kActionFlow, "flow chart"}, {kActionMap, "map"}, {kActionAuto, "auto on / off"},
      {kActionSkip, "skip on / off"}, {kActionSave, "save"}, {kActionLoad, "load"},
      {kActionQuickSave, "quick save"}, {kActionQuickLoad, "quick load"}, {kActionMenu, "menu"},
      {kActionCloseMenu, "close the menu"}, {kActionConfig, "configuration"},
      {kActionBacklog, "backlog"}, {kActionHistoryUp, "backlog: scroll up"},
      {kActionHistoryDown, "backlog: scroll down"}, {kActionTitle, "back to the title"},
      {kActionQuit, "quit"}, {kActionPanic, "panic screen"},
      {kActionSurfaceViewer, "surface viewer"}, {kActionSoundViewer, "sound viewer"},
      {kActionScriptViewer, "script viewer"}, {kActionTaskViewer, "task viewer"},
      {kActionLastChoice, "back to the last choice"}, {kActionScreenMode, "window / full screen"},
      {kActionMinimise, "minimise"}, {kActionReplayVoice, "replay the page's voices"},
      {kActionAffection, "affection"}};
  // One line per action, in the order of the first input that fires it: the action, then
  // its inputs (wrapped under themselves past 78 columns).
  std::vector<std::pair<std::string, std::vector<std::string>>> rows;
  std::map<std::string, size_t> rowOf;
  for (int32_t input = 0; input < KeyConfig::kInputCount; ++input) {
    const auto action = kActions.find(keys.Lookup(input));
    if (action == kActions.end() || kInputs[input] == nullptr) continue;
    auto [at, added] = rowOf.emplace(action->second, rows.size());
    if (added) rows.emplace_back(action->second, std::vector<std::string>{});
    rows[at->second].second.push_back(kInputs[input]);
  }
  if (rows.empty()) return {};
  std::string folder = gameFolder;
  if (folder.empty() || folder.back() != '/') folder += '/';
  std::string text = "\nKeys (an action fires when its key is released) of the game in\n" + folder + "\n";
  constexpr size_t kColumn = 31;
  for (const auto& [action, inputs] : rows) {
    std::string line = "  " + action + std::string(kColumn - 2 - action.size(), ' ');
    for (size_t i = 0; i < inputs.size(); ++i) {
      const std::string item = inputs[i] + (i + 1 < inputs.size() ? "," : "");
      if (line.size() > kColumn && line.size() + 1 + item.size() > 78) {
        text += line + "\n";
        line = std::string(kColumn, ' ') + item;
      } else {
        line += (line.size() > kColumn ? " " : "") + item;
      }
    }
    text += line + "\n";
  }
  return text;
}

std::string VersionText() { return std::string("zan ") + kZanVersion + "\n"; }

}  // namespace zan
