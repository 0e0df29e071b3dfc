#include "data/GameData.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/ErrorReporter.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/LibScramble.h"
#include "platform/Files.h"
#include "platform/MessageBoxes.h"

namespace zan {
namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, kGameSlotCount> kSlotFiles = {
    "msg.arc", "gra.arc", "snd.arc", "dat.arc", "system.arc", "gra2.arc"};
constexpr std::array<const char*, kGameSlotCount> kSlotKeys = {"Rod7Q", "Rod7Q", "Rod7Q",
                                                               "Rod7Q", "plume", "Rod7Q"};

// A native (UTF-8) path as the reporter shows it.
std::string SjisPath(const std::string& path) { return TryUtf8ToSjis(path).value_or(path); }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

bool FindIn(const std::string& utf8Name, const fs::path& folder, int depth, std::string* path) {
  // Symbolic links to folders are not followed, and the depth is bounded, so a link cycle
  // cannot trap the search.
  if (depth > 64) return false;
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (const auto& entry : fs::directory_iterator(folder, ec)) entries.push_back(entry);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  for (const auto& entry : entries) {
    const std::string fileName = entry.path().filename().string();
    if (entry.is_directory(ec) && !entry.is_symlink(ec)) {
      if (FindIn(utf8Name, entry.path(), depth + 1, path)) return true;
    } else if (EqualsIgnoringAsciiCase(fileName, utf8Name)) {
      if (path) *path = entry.path().string();
      return true;
    }
  }
  return false;
}

// The position just after the last '\' or '/' that starts a character.
size_t AfterLastSeparator(std::string_view path) {
  size_t after = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsSjisLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;
    } else if (path[i] == '\\' || path[i] == '/') {
      after = i + 1;
    }
  }
  return after;
}

// Folder + a Shift-JIS name, in the file system's form ('\\' separators become '/').
std::string JoinNative(const std::string& folder, std::string_view name) {
  std::string native = SjisToUtf8(name);
  std::replace(native.begin(), native.end(), '\\', '/');
  return JoinPath(folder, native);
}

}  // namespace

const char* SlotFileName(int slot) {
  return slot >= 0 && slot < kGameSlotCount ? kSlotFiles[static_cast<size_t>(slot)] : "";
}

const char* SlotKey(int slot) {
  return slot >= 0 && slot < kGameSlotCount ? kSlotKeys[static_cast<size_t>(slot)] : "";
}

GameData::GameData(ErrorReporter& reporter, MessageBoxes& boxes)
    : reporter_(reporter), boxes_(boxes) {
  for (Archive& archive : archives_) archive.SetMessageBoxes(&boxes_);
}

bool GameData::LocateGameData(int mode, const std::string& folder) {
  if (mode != 0) return false;  // only the current-folder mode exists on this platform
  std::string root = folder.empty() ? CurrentFolder() : AbsolutePath(folder);
  if (root.back() != '/') root += '/';
  installPath_ = root;
  stateFolder_ = root;
  for (int slot = 0; slot < kGameSlotCount; ++slot) {
    // A game copied from a disc may spell its archives in capitals.
    auto found = FindFileNoCase(root, kSlotFiles[static_cast<size_t>(slot)]);
    slotPaths_[static_cast<size_t>(slot)] = found ? *found : root + kSlotFiles[static_cast<size_t>(slot)];
  }
  return true;
}

void GameData::OpenGameArchives() {
  times_ = {};
  static const std::string missing = Sjis("[×]アーカイブデータがありませんでした");
  auto open = [&](int slot) {
    Archive& archive = GetArchive(slot);
    archive.SetKey(kSlotKeys[static_cast<size_t>(slot)]);
    if (archive.OpenArchive(SlotPath(slot))) {
      times_[static_cast<size_t>(slot)] = FileModifiedTime(SlotPath(slot));
    } else {
      reporter_.ReportErrorDetail(missing, SjisPath(SlotPath(slot)), 1);
    }
  };
  for (int slot = kSlotScripts; slot <= kSlotDefinitions; ++slot) open(slot);
  // The extra picture archive is optional: opened only when it is there.
  if (std::FILE* f = std::fopen(SlotPath(kSlotExtraPictures).c_str(), "rb")) {
    std::fclose(f);
    open(kSlotExtraPictures);
  }
}

bool GameData::ValidSlot(int slot) const {
  if (slot >= 0 && slot < kGameSlotCount) return true;
  ZAN_WARN("game data: no archive slot %d", slot);
  return false;
}

bool GameData::ReadGameFile(std::string_view name, int slot, std::vector<uint8_t>& buffer) {
  FreeGameFile(buffer);
  if (!ValidSlot(slot)) return false;
  if (slot != kSlotDefinitions && archiveMode_ != 1) return ReadFromFolder(name, buffer);

  static const std::string noSize = Sjis("[×]ファイルのサイズが取得できませんでした");
  static const std::string notRead = Sjis("[×]ファイルがアーカイブファイル内に見つかりませんでした");
  const Archive& archive = GetArchive(slot);
  uint32_t size = 0;
  if (!archive.GetEntrySize(name, &size)) {
    reporter_.ReportErrorDetail(noSize, name, 1);
    return false;
  }
  buffer.assign(size, 0);
  if (!archive.ReadEntry(name, buffer)) {
    reporter_.ReportErrorDetail(notRead, name, 1);
    FreeGameFile(buffer);
    return false;
  }
  return true;
}

bool GameData::ReadFromFolder(std::string_view name, std::vector<uint8_t>& buffer) {
  static const std::string searched = Sjis("[▽]検索フォルダ");
  static const std::string notFound = Sjis("[×]ファイルが検索先から見つかりませんでした");
  const std::string root = DataRoot();
  std::string path;
  if (!FindInFolder(name, root, &path)) {
    reporter_.ReportErrorDetail(searched, SjisPath(root), 1);
    reporter_.ReportErrorDetail(notFound, name, 1);
    return false;
  }
  auto bytes = ReadWholeFile(path);
  if (!bytes) {
    reporter_.ReportErrorDetail(searched, SjisPath(root), 1);
    reporter_.ReportErrorDetail(notFound, SjisPath(path), 1);
    return false;
  }
  buffer = std::move(*bytes);
  return true;
}

void GameData::FreeGameFile(std::vector<uint8_t>& buffer) {
  buffer.clear();
  buffer.shrink_to_fit();
}

uint32_t GameData::GetGameFileSize(std::string_view name, int slot) {
  if (!ValidSlot(slot)) return 0;
  if (slot == kSlotDefinitions || archiveMode_ == 1) {
    uint32_t size = 0;
    GetArchive(slot).GetEntrySize(name, &size);
    return size;
  }
  std::string path;
  if (!FindInFolder(name, DataRoot(), &path)) return 0;
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<uint32_t>(std::min<uintmax_t>(size, UINT32_MAX));
}

bool GameData::GameFileExists(std::string_view name, int slot) {
  if (!ValidSlot(slot)) return false;
  if (slot == kSlotDefinitions || archiveMode_ == 1) return GetArchive(slot).HasEntry(name);
  return FindInFolder(name, DataRoot(), nullptr);
}

bool GameData::ReadTableFile(std::string_view name, int slot, std::vector<uint8_t>& buffer) {
  if (!ReadGameFile(name, slot, buffer)) return false;
  if (HasExtension(name, "lib")) UnscrambleLib(buffer, LibKey());
  return true;
}

Archive* GameData::PictureArchive(std::string_view name) {
  if (GetArchive(kSlotPictures).FindEntry(name)) return &GetArchive(kSlotPictures);
  if (GetArchive(kSlotExtraPictures).IsOpen()) return &GetArchive(kSlotExtraPictures);
  return nullptr;
}

bool GameData::ReadPicture(std::string_view name, Archive* archive,
                           std::vector<uint8_t>& bytes) {
  FreeGameFile(bytes);
  if (archiveMode_ != 1) return ReadFromFolder(name, bytes);
  if (!archive) archive = PictureArchive(name);
  if (!archive) return true;
  uint32_t size = 0;
  if (!archive->GetEntrySize(name, &size)) return false;
  bytes.assign(size, 0);
  if (!archive->ReadEntry(name, bytes)) {
    FreeGameFile(bytes);
    return false;
  }
  return true;
}

std::string GameData::DataRoot() const { return dataPath_ ? *dataPath_ : installPath_; }

std::string GameData::InstallFile(std::string_view name) const {
  return JoinNative(installPath_, name);
}

void GameData::SetStateFolder(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  stateFolder_ = std::move(folder);
}

std::string GameData::StateFile(std::string_view name) const {
  return JoinNative(stateFolder_, name);
}

bool GameData::CreateStateFolder(std::string_view name) const {
  return CreateFolder(StateFile(name));
}

bool GameData::MovieIniPresent() const {
  auto path = FindFileNoCase(installPath_, "movie.ini");
  if (!path) return false;
  std::FILE* f = std::fopen(path->c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool GameData::FindInFolder(std::string_view name, const std::string& folder, std::string* path) {
  if (name.empty() || folder.empty()) return false;
  return FindIn(SjisToUtf8(name), fs::path(folder), 0, path);
}

std::string_view FileNameOf(std::string_view path) { return path.substr(AfterLastSeparator(path)); }

std::string_view ExtensionOf(std::string_view name) {
  name = FileNameOf(name);
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    if (IsSjisLeadByte(static_cast<unsigned char>(name[i]))) {
      ++i;
    } else if (name[i] == '.') {
      dot = i;
    }
  }
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

bool HasExtension(std::string_view name, std::string_view extension) {
  return EqualsIgnoringAsciiCase(ExtensionOf(name), extension);
}

}  // namespace zan
