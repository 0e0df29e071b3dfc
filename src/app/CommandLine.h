#pragma once
// The command line of `zan`: zan [options] [GAME_DIR]. Options are kept in one table so
// that the parser and --help never disagree.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Result.h"

namespace zan {

struct AppOptions {
  std::string gameDir;  // empty: the current folder, or the bundled demo when it holds no game
  bool headless = false;
  std::optional<uint64_t> frames;
  std::string inputFile;
  uint32_t clickEvery = 0;
  std::string audioOut;  // WAV file that receives the mixed sound
  std::string startScript;  // UTF-8; empty: "main.txt"
  std::string dumpVars;     // file that receives the variables at exit

  int32_t pixelFormat = 8888;  // the display's pixel format: 555, 565, 888 or 8888
  // Screenshots to take: after frame F, the picture shown, as a PNG file.
  std::vector<std::pair<uint64_t, std::string>> screenshots;
  std::optional<uint32_t> seed;  // of the game's random numbers; none: the clock
  // After every frame, a line with the frame and a hash of the picture on the screen.
  std::string frameHashes;
  bool fullRedraw = false;  // compose and present every frame whole
  bool verbose = false;  // debug lines of the framework log on stderr
  bool help = false;
  bool version = false;
};

// Parses argv; an error names the offending option.
Result<AppOptions> ParseCommandLine(const std::vector<std::string>& args);
// The files written during or after the run (--screenshot, --dump-vars) must go into folders
// that exist and can be written; an error names the option and the folder.
Status CheckOutputPaths(const AppOptions& options);
// True when the environment asks for the debug lines: ZAN_VERBOSE set, and not to "" or "0".
bool VerboseByEnvironment();
std::string HelpText();
// The player's keys as --help ends with them: the actions of the key configuration
// (system2.lib in system.arc) of the game in `gameFolder`, each with the inputs that fire it.
// Empty when that configuration cannot be read.
std::string KeysHelpText(const std::string& gameFolder);
std::string VersionText();

}  // namespace zan
