// Which folder is played, and where the game writes.

#include "app/GameFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zan {
namespace {

namespace fs = std::filesystem;
using Refusal = GameFolderChoice::Refusal;

class GameFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_game_folder_" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* folder : {"here", "demo", "games/one", "empty"}) fs::create_directories(root / folder);
    for (const char* game : {"here", "demo", "games/one"}) std::ofstream(root / game / "msg.arc") << "x";
    fs::create_directory_symlink(root / "demo", root / "demo-link");
  }
  void TearDown() override { fs::remove_all(root); }
  std::string P(const std::string& name) const { return (root / name).string(); }

  fs::path root;
};

TEST_F(GameFolderTest, TheFolderGivenTheCurrentOneOrTheDemo) {
  struct Case {
    std::string given;
    std::string current;
    std::string demo;
    Refusal refusal;
    std::string folder;
    bool isDemo;
  };
  const std::vector<Case> cases = {
      {"", P("here"), P("demo"), Refusal::kNone, P("here") + "/", false},
      {"", P("empty"), P("demo"), Refusal::kNone, P("demo") + "/", true},
      {"", P("empty"), P("nowhere"), Refusal::kNoGame, "", false},
      {"games/one", P(""), P("demo"), Refusal::kNone, P("games/one") + "/", false},
      {"../games/one/", P("here"), P("demo"), Refusal::kNone, P("games/one") + "/", false},
      {P("demo-link"), P("here"), P("demo"), Refusal::kNone, P("demo-link") + "/", true},
      {P("empty"), P("here"), P("demo"), Refusal::kNoGame, "", false},
      {"nowhere", P("here"), P("demo"), Refusal::kNoSuchFolder, "", false},
      {P("here/msg.arc"), P("here"), P("demo"), Refusal::kNoSuchFolder, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given + " in " + c.current);
    const GameFolderChoice choice = ChooseGameFolder(c.given, c.current, c.demo);
    EXPECT_EQ(choice.refusal, c.refusal) << choice.message;
    EXPECT_EQ(choice.folder, c.folder);
    EXPECT_EQ(choice.demo, c.isDemo);
    if (c.refusal != Refusal::kNone) EXPECT_EQ(choice.message.find('\n'), std::string::npos);
  }
}

TEST_F(GameFolderTest, TheDemoAndGamesInReadOnlyFoldersWriteUnderTheDataHome) {
  GameFolderChoice game;
  game.folder = "/media/disc/torami/";
  EXPECT_EQ(StateFolderFor(game, true, "/home/p/.local/share"), "/media/disc/torami/");
  const std::string readOnly = StateFolderFor(game, false, "/home/p/.local/share");
  EXPECT_EQ(readOnly.rfind("/home/p/.local/share/zan/games/torami-", 0), 0u) << readOnly;
  EXPECT_EQ(readOnly.back(), '/');
  GameFolderChoice other;
  other.folder = "/media/other/torami/";  // the same name elsewhere keeps its own files
  EXPECT_NE(StateFolderFor(other, false, "/home/p/.local/share"), readOnly);
  EXPECT_EQ(StateFolderFor(game, false, "/home/p/.local/share"), readOnly);  // and keeps them

  GameFolderChoice demo;
  demo.folder = "/build/demo/";
  demo.demo = true;
  EXPECT_EQ(StateFolderFor(demo, true, "/home/p/.local/share"), "/home/p/.local/share/zan/demo/");
  EXPECT_EQ(StateFolderFor(demo, true, "/xdg/"), "/xdg/zan/demo/");
  EXPECT_EQ(StateFolderFor(demo, true, ""), "/build/demo/");  // no data home: beside the game
}

TEST_F(GameFolderTest, TheDataHome) {
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", "/home/p", 1);
  setenv("XDG_DATA_HOME", "/xdg/data", 1);
  EXPECT_EQ(DataHome(), "/xdg/data");
  setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored
  EXPECT_EQ(DataHome(), "/home/p/.local/share");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(DataHome(), "/home/p/.local/share");
  unsetenv("HOME");
  EXPECT_EQ(DataHome(), "");
  if (!savedHome.empty()) setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace zan
