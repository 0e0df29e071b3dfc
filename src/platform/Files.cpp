#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace zan {
namespace fs = std::filesystem;

namespace {
bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return MakeError("cannot open " + path + ": " + std::strerror(errno));
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return MakeError("cannot read " + path);
  return bytes;
}

Status WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes) {
  std::string temp = path + ".tmp";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return MakeError("cannot create " + temp + ": " + std::strerror(errno));
  bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(temp.c_str());
    return MakeError("cannot write " + temp);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return MakeError("cannot replace " + path + ": " + std::strerror(err));
  }
  // Make the rename itself durable.
  std::string folder = fs::path(path).parent_path().string();
  int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return {};
}

std::optional<std::string> FindFileNoCase(const std::string& folder, std::string_view name) {
  std::string exact = JoinPath(folder, name);
  if (FileExists(exact)) return exact;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
    std::string entryName = entry.path().filename().string();
    if (EqualsNoCase(entryName, name)) return JoinPath(folder, entryName);
  }
  return std::nullopt;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsWritableFolder(const std::string& path) {
  return IsDirectory(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

bool CreateFolder(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  return IsDirectory(path);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::string CurrentFolder() {
  std::error_code ec;
  std::string folder = fs::current_path(ec).string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return JoinPath(CurrentFolder(), path);
}

std::optional<int64_t> FileModifiedTime(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<int64_t>(st.st_mtime);
}

namespace {
std::mutex g_appFolderMutex;
std::string g_appFolder;
}  // namespace

std::string ApplicationFolder() {
  std::lock_guard<std::mutex> lock(g_appFolderMutex);
  return g_appFolder.empty() ? CurrentFolder() : g_appFolder;
}

void SetApplicationFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::lock_guard<std::mutex> lock(g_appFolderMutex);
  g_appFolder = std::move(folder);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '/') out += '/';
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  out += name;
  return out;
}

}  // namespace zan
