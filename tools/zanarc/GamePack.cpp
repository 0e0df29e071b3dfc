// zangamepack OUT.arc FILE...: packs one archive of a game's sources for the build. Text
// files (.txt, .csv, .lib) are turned from UTF-8 with LF into Shift-JIS with CR LF, .lib
// files are then scrambled. The bodies are compressed unless that makes them larger in all
// (an archive of Ogg music, say), when they are stored. The key comes from the archive's
// name. Used by zan_game_data() in cmake/ZanGame.cmake.

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/ShiftJis.h"
#include "data/Archive.h"
#include "data/GameData.h"
#include "data/LibScramble.h"
#include "platform/Files.h"
#include "zanarc/ArchiveWriter.h"
#include "zanarc/GameText.h"

namespace {

int Fail(const std::string& message) {
  std::cerr << "zangamepack: " << message << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: zangamepack OUT.arc FILE...\n";
    return 2;
  }
  const std::string target = argv[1];
  auto key = zan::DefaultArchiveKey(std::filesystem::path(target).filename().string());
  if (!key) return Fail(target + ": not one of the game's archive names");

  std::vector<zan::ArchiveInput> files;
  for (int i = 2; i < argc; ++i) {
    const std::string path = argv[i];
    const std::string name = std::filesystem::path(path).filename().string();
    auto sjisName = zan::TryUtf8ToSjis(name);
    if (!sjisName) return Fail(path + ": the name has no Shift-JIS form");
    auto bytes = zan::ReadWholeFile(path);
    if (!bytes) return Fail(bytes.error().message);
    // Extensions are taken from the Shift-JIS name: UTF-8 bytes would pass for lead bytes.
    if (zan::IsGameTextFile(*sjisName)) {
      auto text = zan::GameTextToSjis(zan::AsText(*bytes));
      if (!text) return Fail(path + ": " + text.error().message);
      *bytes = std::move(*text);
      if (zan::HasExtension(*sjisName, "lib")) zan::ScrambleLib(*bytes, zan::LibKey());
    }
    files.push_back({std::move(*sjisName), std::move(*bytes)});
  }
  if (zan::Status s = zan::WriteArchive(target, files, *key, zan::BodyForm::kSmaller); !s) {
    return Fail(target + ": " + s.error().message);
  }
  return 0;
}
