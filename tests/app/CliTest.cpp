// Runs the real `zan` binary headless, as a player's shell or a test script would.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "../surface/TestPictures.h"
#include "../surface/TestPng.h"
#include "RunProgram.h"
#include "TestGameFolder.h"
#include "platform/InstanceLock.h"

namespace {

namespace fs = std::filesystem;
using zan::testing::GameFiles;
using zan::testing::WriteGame;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_cli_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "run");
    fs::create_directories(root / "empty");
    WriteGame(root / "game");
    setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    unsetenv("ZAN_VERBOSE");
  }
  void TearDown() override { fs::remove_all(root); }

  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // zan ARGS (words separated by blanks, no shell), run from `folder` (the test's own folder
  // when empty) with the environment `env` (NAME=VALUE words) added; stopped after a minute.
  Outcome Run(const std::string& args, const fs::path& folder = {}, const std::string& env = {}) {
    std::vector<std::string> argv = {ZAN_BINARY};
    for (const std::string& word : zan::testing::Words(args)) argv.push_back(word);
    const zan::testing::ProgramOptions options{.folder = (folder.empty() ? root : folder).string(),
                                               .environment = zan::testing::Words(env),
                                               .out = (root / "out").string(),
                                               .err = (root / "err").string()};
    const int code = zan::testing::RunProgram(argv, options, std::chrono::minutes(1));
    return {code, Slurp(root / "out"), Slurp(root / "err")};
  }
  std::string Game() const { return (root / "game").string(); }
  std::vector<std::string> Listing(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      names.push_back(entry.path().lexically_relative(folder).string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path root;
};

TEST_F(CliTest, HelpAndVersion) {
  Outcome help = Run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--headless"), std::string::npos);
  EXPECT_NE(help.out.find("--frames N"), std::string::npos);
  Outcome version = Run("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("zan ", 0), 0u);
}

// --help ends with the keys of the game that would be played: the one named, the current
// folder's, else the bundled demo's.
TEST_F(CliTest, HelpEndsWithTheKeysOfTheGame) {
  auto keysOf = [](const Outcome& o) {
    const size_t at = o.out.find("\nKeys (an action fires when its key is released) of the game in\n");
    EXPECT_NE(at, std::string::npos) << o.out;
    EXPECT_GT(at, o.out.find("--version"));
    return at == std::string::npos ? std::string() : o.out.substr(at);
  };
  // The inputs listed after an action.
  auto inputsOf = [](const std::string& keys, const std::string& action) {
    for (const std::string& line : Lines(keys))
      if (line.rfind("  " + action + "  ", 0) == 0) return line.substr(line.find_first_not_of(' ', 2 + action.size()));
    return std::string("(none)");
  };
  // The test game's system2.lib: S loads, L saves, Enter and the left button go on, Space
  // does nothing.
  for (const Outcome& o : {Run("--help " + Game()), Run("--help", root / "game")}) {
    const std::string keys = keysOf(o);
    EXPECT_NE(keys.find(Game() + "/"), std::string::npos) << keys;
    EXPECT_EQ(inputsOf(keys, "load"), "S") << keys;
    EXPECT_EQ(inputsOf(keys, "save"), "L") << keys;
    EXPECT_EQ(inputsOf(keys, "next page / choose"), "left click, Enter, wheel towards you") << keys;
    EXPECT_EQ(keys.find("Space"), std::string::npos) << keys;
    for (const std::string& line : Lines(keys))
      if (line.rfind("/", 0) != 0) EXPECT_LE(line.size(), 80u) << line;  // but the folder's
    EXPECT_EQ(o.out.back(), '\n');
  }
  // No game here, or a folder that holds none: the demo's keys.
  for (const Outcome& o : {Run("--help", root / "empty"), Run("--help " + (root / "empty").string())})
    EXPECT_NE(keysOf(o).find(ZAN_DEMO_GAME_DIR), std::string::npos);
}

// A folder that does not exist or is not a folder is a bad command line; a folder without a
// game is refused. Either way one line says so and nothing is created.
TEST_F(CliTest, AWrongGameFolderIsRefusedBeforeAnythingIsCreated) {
  std::ofstream(root / "a-file") << "not a game";
  fs::create_directories(root / "arc-folder" / "msg.arc");  // a folder named msg.arc
  struct Case {
    std::string given;
    int exitCode;
    std::string named;  // in the one line
    const char* says;
  };
  const std::vector<Case> cases = {
      {(root / "typo" / "dir").string(), 2, (root / "typo" / "dir").string(), "no such folder"},
      {"typo", 2, (root / "typo").string(), "no such folder"},
      {(root / "a-file").string(), 2, (root / "a-file").string(), "not a folder"},
      {(root / "empty").string(), 1, (root / "empty").string(), "msg.arc"},
      {"arc-folder", 1, (root / "arc-folder").string(), "msg.arc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    const auto before = Listing(root);
    Outcome o = Run("--headless --frames 5 " + c.given);
    EXPECT_EQ(o.exitCode, c.exitCode);
    ASSERT_EQ(Lines(o.err).size(), 1u) << o.err;
    EXPECT_NE(o.err.find(c.named), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
    auto after = Listing(root);
    after.erase(std::remove_if(after.begin(), after.end(), [](const std::string& n) { return n == "out" || n == "err"; }),
                after.end());
    auto kept = before;
    kept.erase(std::remove_if(kept.begin(), kept.end(), [](const std::string& n) { return n == "out" || n == "err"; }),
               kept.end());
    EXPECT_EQ(after, kept);
  }
  // Archive names ignore ASCII case: a game copied from a disc plays.
  WriteGame(root / "disc");
  fs::rename(root / "disc" / "msg.arc", root / "disc" / "MSG.ARC");
  EXPECT_EQ(Run("--headless --frames 5 disc").exitCode, 0);
}

// Without a folder: the current one when it holds a game (a relative path starts there
// too), else the bundled demo, which keeps its settings under $XDG_DATA_HOME/zan/demo/.
TEST_F(CliTest, TheDefaultFolderAndWhereTheGameWrites) {
  ASSERT_EQ(Run("--headless --frames 5", root / "game").exitCode, 0);
  EXPECT_TRUE(fs::exists(root / "game" / "sys" / "option.dat"));
  fs::create_directories(root / "deeper");
  WriteGame(root / "deeper" / "second");
  ASSERT_EQ(Run("--headless --frames 5 deeper/second").exitCode, 0);
  EXPECT_TRUE(fs::exists(root / "deeper" / "second" / "sys" / "option.dat"));
  EXPECT_FALSE(fs::exists(root / "data"));  // games in writable folders keep theirs beside them

  Outcome demo = Run("--headless --frames 5", root / "empty");
  ASSERT_EQ(demo.exitCode, 0) << demo.err;
  EXPECT_TRUE(fs::exists(root / "data" / "zan" / "demo" / "sys" / "option.dat"));
  EXPECT_TRUE(fs::exists(root / "data" / "zan" / "demo" / "sys" / "kidoku.dat"));
  EXPECT_TRUE(fs::is_empty(root / "empty"));
  EXPECT_FALSE(fs::exists(fs::path(ZAN_DEMO_GAME_DIR) / "GameErrorLog.txt"));
}

// ./run builds, then plays with the arguments as typed: a relative path starts where the
// player typed it. The build steps are stood in for, so only the script itself runs.
TEST_F(CliTest, TheRunScriptTakesPathsFromWhereItWasTyped) {
  const fs::path repo = root / "repo";
  fs::create_directories(repo / "scripts");
  fs::create_directories(repo / "build");
  fs::create_directories(root / "bin");
  fs::copy_file(ZAN_RUN_SCRIPT, repo / "run");
  auto stub = [](const fs::path& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
  };
  stub(repo / "scripts" / "ensure-deps", "exit 0\n");
  stub(root / "bin" / "cmake", "exit 0\n");
  const std::string ran = "'" + (root / "zan-ran").string() + "'";
  stub(repo / "build" / "zan", "pwd > " + ran + "\nfor a in \"$@\"; do echo \"$a\"; done >> " + ran + "\n");
  fs::create_directories(root / "here");
  const std::string path = "PATH=" + (root / "bin").string() + ":" + std::getenv("PATH");
  ASSERT_EQ(zan::testing::RunProgram({"../repo/run", "--headless", "my/game"},
                                     {.folder = (root / "here").string(), .environment = {path}}),
            0);
  EXPECT_EQ(Lines(Slurp(root / "zan-ran")), (std::vector<std::string>{(root / "here").string(), "--headless", "my/game"}));
}

// Debug lines of the framework log are for --verbose (or ZAN_VERBOSE); warnings a player
// may have to act on always show.
TEST_F(CliTest, QuietByDefault) {
  WriteGame(root / "warns", {.script = "<WinCurrent 7>\n"});
  struct Case {
    const char* env;
    const char* args;
    std::string game;
    bool debugLines;
    bool warning;
  };
  const std::vector<Case> cases = {
      {"", "", Game(), false, false},
      {"", "--verbose", Game(), true, false},
      {"ZAN_VERBOSE=1", "", Game(), true, false},
      {"ZAN_VERBOSE=0", "", Game(), false, false},
      {"", "", (root / "warns").string(), false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.env) + " " + c.args + " " + c.game);
    // The story (and its warning) runs from frame 23, after a new game's 1000 ms fade-in.
    Outcome o = Run(std::string("--headless --start main.txt --frames 43 ") + c.args + " " + c.game, {}, c.env);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.err.find("zan: CDraw Initalized\n") != std::string::npos, c.debugLines) << o.err;
    EXPECT_EQ(o.err.find("zan: CreateWindow done\n") != std::string::npos, c.debugLines) << o.err;
    EXPECT_EQ(o.err.find("script: no message area 7") != std::string::npos, c.warning) << o.err;
    if (!c.debugLines && !c.warning) EXPECT_EQ(o.err, "");
  }
}

// 300 frames are the passes 0 to 299: the last is pictured, the one after it never comes. A
// run that ends early or never (killed after a minute) fails.
TEST_F(CliTest, HeadlessRunEndsAfterItsFrames) {
  const fs::path last = root / "last.png", after = root / "after.png";
  auto start = std::chrono::steady_clock::now();
  Outcome o = Run("--headless --frames 300 --screenshot 299:" + last.string() + " --screenshot 300:" +
                  after.string() + " " + Game());
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(o.exitCode, 0) << o.err;
  EXPECT_TRUE(fs::exists(last));
  EXPECT_FALSE(fs::exists(after));
  RecordProperty("wall_seconds_for_300_frames", std::to_string(seconds));
}

TEST_F(CliTest, AudioOutWritesTheHeadlessMixAsAWaveFile) {
  const fs::path wav = root / "mix.wav";
  Outcome o = Run("--headless --frames 200 --audio-out " + wav.string() + " " + Game());
  ASSERT_EQ(o.exitCode, 0) << o.err;
  const std::string bytes = Slurp(wav);
  // 200 frames paced at 30 a second end at 6666 ms, then the loop's 1 ms sleep: 6667 ms of
  // 44.1 kHz stereo 16-bit, 294014 samples.
  ASSERT_EQ(bytes.size(), 44u + 294014 * 4);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(bytes.find_first_not_of('\0', 44), std::string::npos);  // nothing plays: silence
  EXPECT_EQ(Run("--audio-out " + (root / "no/such/folder/x.wav").string()).exitCode, 2);
}

// A picture of one colour fills the screen. Its channels fall between the 16-bit formats'
// steps, so each format shows it differently: 565 and 555 (whose green keeps a bit less)
// widen their fields back to 8 bits, 888 and 8888 keep it exact.
TEST_F(CliTest, AScreenshotInEveryPixelFormatShowsTheScreenInThatFormat) {
  constexpr zan::Rgb kColour{200, 100, 50};
  WriteGame(root / "coloured", {.script = "<ImageLoad 0, bg.bmp, 0, 0>\n<KW>\n",
                                .pictures = {{"bg.bmp", zan::test::FlatBmp(800, 600, zan::test::BmpForm::kRgb24,
                                                                           kColour)}}});
  const std::map<int, zan::Rgb> shown = {
      {555, {206, 99, 49}}, {565, {206, 101, 49}}, {888, kColour}, {8888, kColour}};
  for (const auto& [format, expected] : shown) {
    SCOPED_TRACE(format);
    EXPECT_EQ(zan::test::ShownColour(format, kColour), expected);  // the widening, worked by hand above
    const fs::path shot = root / ("shot-" + std::to_string(format) + ".png");
    // The picture is loaded in frame 23, after a new game's 1000 ms fade-in from black.
    Outcome o = Run("--headless --start main.txt --frames 35 --pixel-format " + std::to_string(format) + " --screenshot 33:" +
                    shot.string() + " " + (root / "coloured").string());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    const zan::test::Screenshot s = zan::test::Screenshot::Read(shot.string());
    ASSERT_EQ(s.width, 800);
    ASSERT_EQ(s.height, 600);
    const zan::Rgb want = expected;  // clang 14 cannot capture a structured binding
    EXPECT_EQ(s.Count(0, 0, 800, 600, [&](zan::Rgb c) { return c == want; }), 800 * 600);
  }
}

TEST_F(CliTest, BadCommandLinesAndTimelinesAreRefusedBeforeStarting) {
  EXPECT_EQ(Run("--frames").exitCode, 2);
  EXPECT_EQ(Run("--no-such-option").exitCode, 2);
  struct Case {
    std::string timeline;
    std::string args;
    int exitCode;
    const char* named;  // in stderr
  };
  const std::vector<Case> cases = {
      {"10 click 1 2\n11 klick 3 4\n", "", 2, "line 2"},
      {"10 click 1 2\n12 key Return\n11 key Return\n", "", 2, "line 3"},
      {"10 click 1 2\n12 move 70000 4\n", "", 2, "line 2"},
      // A drag out of the window, left and above it.
      {"2 press 400 300\n3 move -40 -3\n4 release -40 -3\n", "", 0, nullptr},
      {"", "--screenshot 3:" + (root / "no/such/dir/x.png").string(), 2, "no/such/dir"},
      {"", "--dump-vars " + (root / "no/such/v.txt").string(), 2, "no/such"},
      {"", "--start nosuch.txt", 2, "nosuch.txt"},
      {"", "--start other.txt", 0, nullptr},
      // A seed is an unsigned 32-bit number.
      {"", "--seed 4294967295", 0, nullptr},
      {"", "--seed 4294967296", 2, "--seed"},
      {"", "--seed -1", 2, "--seed"},
      {"", "--seed 7x", 2, "--seed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.timeline + c.args);
    fs::remove_all(root / "game" / "sys");
    std::ofstream(root / "timeline.txt") << c.timeline;
    Outcome o = Run("--headless --frames 8 --input " + (root / "timeline.txt").string() + " " + c.args + " " + Game());
    EXPECT_EQ(o.exitCode, c.exitCode) << o.err;
    if (c.named) {
      EXPECT_NE(o.err.find(c.named), std::string::npos) << o.err;
      EXPECT_EQ(Lines(o.err).size(), 1u) << o.err;
    }
  }
  // Refused before running: nothing was written into the game.
  fs::remove_all(root / "game" / "sys");
  EXPECT_EQ(Run("--headless --frames 8 --screenshot 3:/no/such/dir/x.png " + Game()).exitCode, 2);
  EXPECT_FALSE(fs::exists(root / "game" / "sys"));
}

TEST_F(CliTest, ASecondCopyWhileOneRunsIsRefused) {
  // Without --frames the first copy runs until told to stop: the guard kills it should the
  // test end early.
  zan::testing::ChildProcess first = zan::testing::StartProgram({ZAN_BINARY, "--headless", Game()});
  ASSERT_TRUE(first.Started());
  for (int i = 0; i < 500 && !zan::InstanceLock::IsHeld("torami_trial_app"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(zan::InstanceLock::IsHeld("torami_trial_app"));

  Outcome second = Run("--headless --frames 5 " + Game());
  EXPECT_NE(second.exitCode, 0);
  EXPECT_NE(second.err.find("既にゲームが起動されています。"), std::string::npos) << second.err;

  // The first copy shuts down in order on SIGTERM.
  first.Signal(SIGTERM);
  const int status = first.Wait(std::chrono::seconds(30));
  ASSERT_NE(status, -1) << "the first copy did not end on SIGTERM";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(zan::InstanceLock::IsHeld("torami_trial_app"));
}

}  // namespace
