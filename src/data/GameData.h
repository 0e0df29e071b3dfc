#pragma once
// GameData: the game data reader. Every part of the game reads its files by name and
// archive slot through it. In archive mode (always, in the game) a file comes from the
// slot's archive; in folder mode it is searched for in a folder tree (a development aid),
// except that slot 4 always reads its archive. Names are Shift-JIS byte strings.
//
// Failures are reported through the game's error reporter and answered 0; nothing here
// ends the program.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Archive.h"

namespace zan {

class ErrorReporter;
class MessageBoxes;

// Archive slots.
enum GameSlot : int {
  kSlotScripts = 0,        // msg.arc: scripts, and the read-flag table's source
  kSlotPictures = 1,       // gra.arc
  kSlotSounds = 2,         // snd.arc
  kSlotTables = 3,         // dat.arc: data tables
  kSlotDefinitions = 4,    // system.arc: .lib definition files
  kSlotExtraPictures = 5,  // gra2.arc, optional
};
constexpr int kGameSlotCount = 6;

// The archive file of each slot in the game folder, and its index key.
const char* SlotFileName(int slot);
const char* SlotKey(int slot);

// The bytes of a file read whole, as text.
inline std::string_view AsText(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

class GameData {
 public:
  GameData(ErrorReporter& reporter, MessageBoxes& boxes);

  // Mode 0: `folder` (absolute, or relative to the current folder; the current folder when
  // empty) is the install path; each slot's path is the archive's file in it, matched
  // without regard to ASCII case. Other modes are not offered on this platform: false.
  bool LocateGameData(int mode, const std::string& folder);
  // Opens slots 0-4 with their keys (and slot 5 when its file exists); a missing archive is
  // reported and the start-up goes on.
  void OpenGameArchives();

  void SetArchiveMode(int32_t mode) { archiveMode_ = mode; }
  int32_t ArchiveMode() const { return archiveMode_; }

  // Reads a whole file into `buffer` (replacing what it held; on success exactly the
  // file's size). False after reporting the failure, `buffer` empty.
  bool ReadGameFile(std::string_view name, int slot, std::vector<uint8_t>& buffer);
  static void FreeGameFile(std::vector<uint8_t>& buffer);
  // The file's size, 0 when absent.
  uint32_t GetGameFileSize(std::string_view name, int slot);
  bool GameFileExists(std::string_view name, int slot);
  // ReadGameFile for text tables and definition files: a name with the extension "lib"
  // (any case) is unscrambled with the .lib key.
  bool ReadTableFile(std::string_view name, int slot, std::vector<uint8_t>& buffer);

  // The archive the picture loaders read `name` from when none is given: slot 1 when it
  // has the name, else slot 5 when it is open, else none.
  Archive* PictureArchive(std::string_view name);
  // The bytes of a picture under the picture loaders' slot rules. Archive mode, no archive
  // given: from PictureArchive(name); when there is none, `bytes` is left empty and true is
  // answered (a missing picture is not an error). With an archive given, or slot 5 chosen,
  // a name absent from it answers false without a report (the loader's "not found").
  // Folder mode searches the data root and reports a miss (false); a loader that also
  // names the searched folder reports that first.
  bool ReadPicture(std::string_view name, Archive* archive, std::vector<uint8_t>& bytes);

  Archive& GetArchive(int slot) { return archives_[static_cast<size_t>(slot)]; }
  const std::string& SlotPath(int slot) const { return slotPaths_[static_cast<size_t>(slot)]; }
  // The install path (the game folder), ending in '/'.
  const std::string& InstallPath() const { return installPath_; }
  // The folder-mode search root: the data path when one is set, else the install path.
  std::string DataRoot() const;
  void SetDataPath(std::optional<std::string> path) { dataPath_ = std::move(path); }
  // Install path + name (a Shift-JIS name is converted to the file system's form).
  std::string InstallFile(std::string_view name) const;
  // The folder the game writes its own files in ("sys", "save", "GameErrorLog.txt"): the
  // install path unless set otherwise (a game that cannot write beside its archives).
  const std::string& StateFolder() const { return stateFolder_; }
  void SetStateFolder(std::string folder);
  // State folder + name, converted like InstallFile.
  std::string StateFile(std::string_view name) const;
  // Creates a folder under the state folder ("save", "sys"); true when it exists afterwards.
  bool CreateStateFolder(std::string_view name) const;
  // True when "movie.ini" exists in the install folder: movies are then skipped.
  bool MovieIniPresent() const;
  // Modification time of each slot's archive when it opened (seconds since the epoch).
  const std::array<std::optional<int64_t>, kGameSlotCount>& ArchiveTimes() const { return times_; }

  // Depth-first search of `folder` for a file named `name` (Shift-JIS, compared without
  // regard to ASCII case); entries are visited in name order, sub-folders searched where
  // they stand. The first hit's path goes to `path`.
  static bool FindInFolder(std::string_view name, const std::string& folder, std::string* path);

 private:
  bool ValidSlot(int slot) const;
  bool ReadFromFolder(std::string_view name, std::vector<uint8_t>& buffer);

  ErrorReporter& reporter_;
  MessageBoxes& boxes_;
  int32_t archiveMode_ = 0;
  std::string installPath_;
  std::string stateFolder_;
  std::optional<std::string> dataPath_;
  std::array<std::string, kGameSlotCount> slotPaths_;
  std::array<Archive, kGameSlotCount> archives_;
  std::array<std::optional<int64_t>, kGameSlotCount> times_;
};

// Path operations on Shift-JIS names: the file name with its extension from a path (after
// the last '\' or '/'), the extension without its dot, and an extension test that ignores
// ASCII case.
std::string_view FileNameOf(std::string_view path);
std::string_view ExtensionOf(std::string_view name);
bool HasExtension(std::string_view name, std::string_view extension);

}  // namespace zan
