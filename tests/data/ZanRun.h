#pragma once
// Runs the real `zan` binary headless on a test's game, as the scenario tests do: the game is
// the folder "game" in the test's own folder, the run gets its own XDG_RUNTIME_DIR and
// XDG_DATA_HOME there (so runs in parallel never meet), dumps the variables to "vars.txt" and
// leaves its output in "out". No shell is involved and every file a run is asked to write
// (the dump, screenshots, --audio-out) is removed before it starts, so a failed run is never
// checked against what an earlier one left.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RunProgram.h"

namespace zan::testing {

class ZanRun {
 public:
  ZanRun(std::string binary, std::filesystem::path root) : binary_(std::move(binary)), root_(std::move(root)) {}

  // zan --headless --dump-vars ROOT/vars.txt ARGS ROOT/game (ARGS: words separated by
  // blanks): true when it ended normally.
  bool Run(const std::string& args) const { return RunGame(args, true); }
  // The same without starting the story: the game opens its title.
  bool RunFromTheTitle(const std::string& args) const { return RunGame(args, false); }
  // These runs play the story: without a --start of their own they start at main.txt (zan
  // would open the title).
  static void StartStoryUnlessGiven(std::vector<std::string>& argv) {
    for (const std::string& word : argv)
      if (word == "--start" || word.rfind("--start=", 0) == 0) return;
    argv.insert(argv.end(), {"--start", "main.txt"});
  }
  // The variables the last run dumped, "name=value" lines.
  std::string Vars() const {
    std::ifstream in(root_ / "vars.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // The files the arguments ask zan to write.
  static std::vector<std::filesystem::path> Outputs(const std::vector<std::string>& argv) {
    std::vector<std::filesystem::path> files;
    for (size_t i = 0; i + 1 < argv.size(); ++i) {
      const std::string& next = argv[i + 1];
      if (argv[i] == "--dump-vars" || argv[i] == "--audio-out") files.emplace_back(next);
      if (argv[i] == "--screenshot" && next.find(':') != std::string::npos) files.emplace_back(next.substr(next.find(':') + 1));
    }
    return files;
  }

 private:
  bool RunGame(const std::string& args, bool startStory) const {
    std::filesystem::create_directories(root_ / "run");
    std::vector<std::string> argv = {binary_, "--headless", "--dump-vars", (root_ / "vars.txt").string()};
    for (const std::string& word : Words(args)) argv.push_back(word);
    if (startStory) StartStoryUnlessGiven(argv);
    argv.push_back((root_ / "game").string());
    for (const std::filesystem::path& output : Outputs(argv)) std::filesystem::remove(output);
    std::filesystem::remove(root_ / "out");
    const ProgramOptions options{.environment = {"XDG_RUNTIME_DIR=" + (root_ / "run").string(),
                                                 "XDG_DATA_HOME=" + (root_ / "data").string()},
                                 .out = (root_ / "out").string(),
                                 .err = (root_ / "out").string()};
    return RunProgram(argv, options) == 0;
  }

  std::string binary_;
  std::filesystem::path root_;
};

}  // namespace zan::testing
