#include "data/Archive.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/MessageBoxes.h"

namespace zan {
namespace {

constexpr size_t kMaxKey = 255;

// The archive file, opened for one operation and closed after it.
class ArchiveFile {
 public:
  explicit ArchiveFile(const std::string& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st;
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
      ::close(fd_);
      fd_ = -1;
    } else if (fd_ >= 0) {
      size_ = static_cast<uint64_t>(st.st_size);
    }
  }
  ~ArchiveFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  uint64_t size() const { return size_; }

  // Reads exactly `n` bytes at `offset`; false on a short read or an error.
  bool ReadAt(uint64_t offset, void* out, size_t n) const {
    auto* p = static_cast<uint8_t*>(out);
    while (n > 0) {
      ssize_t got = ::pread(fd_, p, n, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      p += got;
      offset += static_cast<uint64_t>(got);
      n -= static_cast<size_t>(got);
    }
    return true;
  }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// The name field up to its NUL (all 32 bytes when it has none).
std::string_view FieldName(const IndexEntry& entry) {
  return {entry.name, ::strnlen(entry.name, kArchiveNameSize)};
}

std::string Describe(const IndexEntry& entry) { return SjisToUtf8(FieldName(entry)); }

}  // namespace

IndexEntry DecodeIndexEntry(const uint8_t* record) {
  IndexEntry entry;
  std::memcpy(entry.name, record, kArchiveNameSize);
  entry.unpackedSize = LoadU32(record + 32);
  entry.storedSize = LoadU32(record + 36);
  entry.offset = LoadU32(record + 40);
  return entry;
}

void EncodeIndexEntry(const IndexEntry& entry, uint8_t* record) {
  std::memcpy(record, entry.name, kArchiveNameSize);
  StoreU32(record + 32, entry.unpackedSize);
  StoreU32(record + 36, entry.storedSize);
  StoreU32(record + 40, entry.offset);
}

void UnscrambleIndex(std::span<uint8_t> block, std::string_view key) {
  if (key.empty()) return;
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(block[i] + key[i % key.size()]);
}

void ScrambleIndex(std::span<uint8_t> block, std::string_view key) {
  if (key.empty()) return;
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(block[i] - key[i % key.size()]);
}

Archive::Archive() = default;

void Archive::SetKey(std::string_view key) { key_ = std::string(key.substr(0, kMaxKey)); }

std::string Archive::NormaliseName(std::string_view name) {
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsSjisLeadByte(c)) {
      ++i;  // the trail byte stays as it is
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + ('a' - 'A'));
    }
  }
  return out;
}

void Archive::ShowNotFound(const std::string& path) const {
  if (!boxes_) {
    ZAN_WARN("archive %s cannot be opened", path.c_str());
    return;
  }
  std::string shown = TryUtf8ToSjis(path).value_or(path);
  boxes_->Show(shown + Sjis("ファイルが見当たりません") + "\n", "", MB_OK);
}

Status Archive::Load(const std::string& path) {
  index_.clear();
  open_ = 0;
  count_ = 0;
  compression_ = 0;

  ArchiveFile file(path);
  if (!file.ok()) return MakeError("cannot open " + path + ": " + std::strerror(errno));
  uint8_t header[kArchiveHeaderSize];
  if (file.size() < kArchiveHeaderSize || !file.ReadAt(0, header, sizeof header)) {
    return MakeError(path + ": shorter than the 8-byte header");
  }
  const uint32_t count = LoadU32(header);
  const uint64_t indexBytes = uint64_t{count} * kIndexEntrySize;
  if (indexBytes > file.size() - kArchiveHeaderSize) {
    return MakeError(path + ": the index of " + std::to_string(count) +
                     " entries runs past the end of the file (" + std::to_string(file.size()) +
                     " bytes)");
  }
  std::vector<uint8_t> block(static_cast<size_t>(indexBytes));
  if (!file.ReadAt(kArchiveHeaderSize, block.data(), block.size())) {
    return MakeError(path + ": cannot read the index");
  }
  UnscrambleIndex(block, key_);

  count_ = count;
  compression_ = LoadU32(header + 4);
  fileSize_ = file.size();
  path_ = path;
  uint32_t damaged = 0;
  std::string firstDamage;
  for (uint32_t i = 0; i < count; ++i) {
    Slot slot{DecodeIndexEntry(block.data() + size_t{i} * kIndexEntrySize), i, false};
    // A name without its NUL is cut to 31 bytes, so callers always get a C string.
    slot.entry.name[kArchiveNameSize - 1] = '\0';
    if (slot.entry.storedSize != 0) {
      if (Status check = CheckEntry(slot.entry); !check) {
        slot.damaged = true;
        if (damaged++ == 0) firstDamage = check.error().message;
      }
    }
    // A later record with the same name replaces the earlier one.
    index_.insert_or_assign(NormaliseName(FieldName(slot.entry)), slot);
  }
  if (damaged != 0) {
    ZAN_WARN("archive %s: %u damaged entries count as absent (first: %s)", path.c_str(),
            damaged, firstDamage.c_str());
  }
  open_ = 1;
  return {};
}

int32_t Archive::OpenArchive(const std::string& path) {
  if (!ArchiveFile(path).ok()) {
    ShowNotFound(path);
    index_.clear();
    open_ = 0;
    return 0;
  }
  Status status = Load(path);
  if (!status) {
    ZAN_WARN("archive refused: %s", status.error().message.c_str());
    return 0;
  }
  return 1;
}

const IndexEntry* Archive::FindEntry(std::string_view name) const {
  name = name.substr(0, ::strnlen(name.data(), name.size()));
  if (name.size() > kMaxRequestedName) return nullptr;
  auto it = index_.find(NormaliseName(name));
  if (it == index_.end() || it->second.entry.storedSize == 0 || it->second.damaged) return nullptr;
  return &it->second.entry;
}

int32_t Archive::GetEntrySize(std::string_view name, uint32_t* size) const {
  const IndexEntry* entry = FindEntry(name);
  if (size) *size = entry ? entry->unpackedSize : 0;
  return entry ? 1 : 0;
}

Status Archive::CheckBody(const IndexEntry& entry, uint64_t fileSize) const {
  if (uint64_t{entry.offset} + entry.storedSize <= fileSize) return {};
  return MakeError(Describe(entry) + ": body of " + std::to_string(entry.storedSize) +
                   " bytes at " + std::to_string(entry.offset) + " runs past the end of " +
                   path_ + " (" + std::to_string(fileSize) + " bytes)");
}

Status Archive::CheckEntry(const IndexEntry& entry) const {
  if (Status body = CheckBody(entry, fileSize_); !body) return body;
  if (compression_ == 0 && entry.storedSize != entry.unpackedSize) {
    return MakeError(Describe(entry) + ": stored body of " + std::to_string(entry.storedSize) +
                     " bytes for an unpacked size of " + std::to_string(entry.unpackedSize));
  }
  // At best every 17 stored bytes (a flag byte and eight matches) give 144.
  if (compression_ != 0 && uint64_t{entry.unpackedSize} * 17 > uint64_t{entry.storedSize} * 144) {
    return MakeError(Describe(entry) + ": " + std::to_string(entry.storedSize) +
                     " compressed bytes cannot unpack to " + std::to_string(entry.unpackedSize));
  }
  return {};
}

Status Archive::ReadIndexEntry(const IndexEntry& entry, std::span<uint8_t> buffer) const {
  if (Status check = CheckEntry(entry); !check) return check;
  if (buffer.size() < entry.unpackedSize) {
    return MakeError(Describe(entry) + ": buffer of " + std::to_string(buffer.size()) +
                     " bytes for " + std::to_string(entry.unpackedSize));
  }
  ArchiveFile file(path_);
  if (!file.ok()) return MakeError("cannot open " + path_ + ": " + std::strerror(errno));
  // The file may have changed since it was opened.
  if (Status body = CheckBody(entry, file.size()); !body) return body;
  if (compression_ == 0) {
    if (!file.ReadAt(entry.offset, buffer.data(), entry.storedSize)) {
      return MakeError(Describe(entry) + ": cannot read its body");
    }
    return {};
  }
  std::vector<uint8_t> packed(entry.storedSize);
  if (!file.ReadAt(entry.offset, packed.data(), packed.size())) {
    return MakeError(Describe(entry) + ": cannot read its body");
  }
  if (!LzssDecode(packed, buffer.first(entry.unpackedSize))) {
    return MakeError(Describe(entry) + ": damaged compressed body (its " +
                     std::to_string(entry.storedSize) + " bytes run out, or a match runs past " +
                     "the unpacked size of " + std::to_string(entry.unpackedSize) + ")");
  }
  return {};
}

int32_t Archive::ReadEntry(std::string_view name, std::span<uint8_t> buffer) const {
  const IndexEntry* entry = FindEntry(name);
  if (!entry) return 0;
  if (!ArchiveFile(path_).ok()) {
    ShowNotFound(path_);
    return 0;
  }
  Status status = ReadIndexEntry(*entry, buffer);
  if (!status) {
    ZAN_WARN("archive %s: %s", path_.c_str(), status.error().message.c_str());
    return 0;
  }
  return 1;
}

int32_t Archive::HasEntry(std::string_view name) const {
  return FindEntry(name) && ArchiveFile(path_).ok() ? 1 : 0;
}

void Archive::ForEachEntry(
    const std::function<void(const IndexEntry&, uint32_t position)>& visit) const {
  for (const auto& [name, slot] : index_) visit(slot.entry, slot.position);
}

}  // namespace zan
