#pragma once
// Which folder `zan` plays, and where that game writes its own files.
//
// A folder holds a game when it has a file msg.arc (any ASCII case). A folder named on the
// command line must exist and hold a game; without one, the current folder is played when
// it holds a game, else the bundled demo. Nothing is created before the choice is made, so
// a mistyped path leaves no trace.
//
// A game writes (sys/, save/, GameErrorLog.txt) beside its archives, except the bundled
// demo, which keeps them under $XDG_DATA_HOME/zan/demo/ (so that a fresh build keeps the
// player's settings), and a game in a folder this process cannot write (a disc, a read-only
// mount), which keeps them under $XDG_DATA_HOME/zan/games/NAME-HASH/.

#include <string>

namespace zan {

struct GameFolderChoice {
  enum class Refusal {
    kNone,
    kNoSuchFolder,  // the path given does not exist or is not a folder: a bad command line
    kNoGame,        // the folder holds no game
  };
  Refusal refusal = Refusal::kNone;
  std::string message;  // one line naming the path, when refused (UTF-8)
  std::string folder;   // absolute, ending in '/'
  bool demo = false;    // the folder is the bundled demo
};

// True when `folder` has a regular file named msg.arc, ignoring ASCII case.
bool HoldsGame(const std::string& folder);

// `given` as typed (relative paths start at `currentFolder`); empty: the current folder when
// it holds a game, else `demoFolder` when that does.
GameFolderChoice ChooseGameFolder(const std::string& given, const std::string& currentFolder,
                                  const std::string& demoFolder);

// The base of the player's data files: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share; empty when neither is known. No trailing '/'.
std::string DataHome();

// The folder the chosen game writes in, ending in '/'. `writable`: whether the game's folder
// can be written. Without a data home the game's own folder is used whatever it is.
std::string StateFolderFor(const GameFolderChoice& game, bool writable, const std::string& dataHome);

}  // namespace zan
