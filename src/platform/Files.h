#pragma once
// File services: whole-file reads, crash-safe writes, and lookups that ignore ASCII case
// (a game copied from a disc may spell "MSG.ARC"). Paths are the native (UTF-8) form.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace zan {

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

// Writes to a temporary file in the same folder, flushes it to disk and renames it over
// `path`, so a crash at any moment leaves either the old file or the new one whole.
Status WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes);

// The path of `name` inside `folder`: the exact name when it exists, else the first entry
// whose name equals it ignoring ASCII case. Nullopt when there is none.
std::optional<std::string> FindFileNoCase(const std::string& folder, std::string_view name);

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
// True when this process may create files in the folder (a read-only mount answers false).
bool IsWritableFolder(const std::string& path);
// Creates the folder (and its parents); true when it exists afterwards.
bool CreateFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// The process's current folder, ending in '/'.
std::string CurrentFolder();
// `path` made absolute against the current folder (no file-system access).
std::string AbsolutePath(const std::string& path);
// Modification time as seconds since the epoch; nullopt when the file cannot be read.
std::optional<int64_t> FileModifiedTime(const std::string& path);

// The application folder (the game's folder), ending in '/': framework reads of relative
// paths start there. The current folder until the application sets it.
std::string ApplicationFolder();
void SetApplicationFolder(std::string folder);

// Joins a folder and a name with exactly one '/'.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace zan
