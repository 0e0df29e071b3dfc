#include "app/GameFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/Files.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

GameFolderChoice Refuse(GameFolderChoice::Refusal refusal, std::string message) {
  GameFolderChoice choice;
  choice.refusal = refusal;
  choice.message = std::move(message);
  return choice;
}

GameFolderChoice Play(const std::string& folder, const std::string& demoFolder) {
  GameFolderChoice choice;
  choice.folder = WithSlash(folder);
  choice.demo = SameFolder(folder, demoFolder);
  return choice;
}

// FNV-1a, 64 bits: a short name for a path that stays the same from run to run.
uint64_t PathHash(std::string_view text) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

bool HoldsGame(const std::string& folder) {
  auto archive = FindFileNoCase(folder, "msg.arc");
  return archive && FileExists(*archive) && !IsDirectory(*archive);
}

GameFolderChoice ChooseGameFolder(const std::string& given, const std::string& currentFolder,
                                  const std::string& demoFolder) {
  using Refusal = GameFolderChoice::Refusal;
  if (given.empty()) {
    if (HoldsGame(currentFolder)) return Play(currentFolder, demoFolder);
    if (HoldsGame(demoFolder)) return Play(demoFolder, demoFolder);
    return Refuse(Refusal::kNoGame, "no game in the current folder " + WithSlash(currentFolder) +
                                        " (no msg.arc), and the bundled demo " + demoFolder +
                                        " holds none either");
  }
  const fs::path typed(given);
  const std::string path =
      (typed.is_absolute() ? typed : fs::path(currentFolder) / typed).lexically_normal().string();
  if (!FileExists(path)) return Refuse(Refusal::kNoSuchFolder, path + ": no such folder");
  if (!IsDirectory(path)) return Refuse(Refusal::kNoSuchFolder, path + ": not a folder");
  if (!HoldsGame(path))
    return Refuse(Refusal::kNoGame, "no game in " + WithSlash(path) + ": it holds no msg.arc");
  return Play(path, demoFolder);
}

std::string DataHome() {
  // A relative XDG_DATA_HOME is invalid and is ignored.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && home[0] != '\0')
    return std::string(home) + "/.local/share";
  return {};
}

std::string StateFolderFor(const GameFolderChoice& game, bool writable, const std::string& dataHome) {
  if (dataHome.empty()) return game.folder;
  const std::string base = WithSlash(dataHome) + "zan/";
  if (game.demo) return base + "demo/";
  if (writable) return game.folder;
  // Two games in read-only folders of the same name stay apart by the hash of the path.
  std::string name = fs::path(game.folder).parent_path().filename().string();
  if (name.empty()) name = "game";
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(PathHash(game.folder)));
  return base + "games/" + name + "-" + hash + "/";
}

}  // namespace zan
