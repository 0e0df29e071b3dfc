#pragma once
// Runs the real `zan` binary headless on a test's game, as the scenario tests do: the game is
// the folder "game" in the test's own folder, the run gets its own XDG_RUNTIME_DIR and
// XDG_DATA_HOME there (so runs in parallel never meet), dumps the variables to "vars.txt" and
// leaves its output in "out".

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace zan::testing {

class ZanRun {
 public:
  ZanRun(std::string binary, std::filesystem::path root) : binary_(std::move(binary)), root_(std::move(root)) {}

  // zan --headless --dump-vars ROOT/vars.txt ARGS ROOT/game: true when it ended normally.
  bool Run(const std::string& args) const {
    std::filesystem::create_directories(root_ / "run");
    const std::string cmd = "XDG_RUNTIME_DIR=" + (root_ / "run").string() + " XDG_DATA_HOME=" +
                            (root_ / "data").string() + " " + binary_ +
                            " --headless --dump-vars " + (root_ / "vars.txt").string() + " " + args + " " +
                            (root_ / "game").string() + " >" + (root_ / "out").string() + " 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  // The variables the last run dumped, "name=value" lines.
  std::string Vars() const {
    std::ifstream in(root_ / "vars.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::string binary_;
  std::filesystem::path root_;
};

}  // namespace zan::testing
