#pragma once
// Archive: reads one game archive: a header (entry count, compression flag), an index of
// 44-byte records scrambled with a short text key, and the bodies, stored or LZSS-packed.
// The index is read once at open; every read opens the file again.
//
// A malformed archive never makes a read go out of bounds: counts and offsets beyond the
// file, short bodies and broken compressed streams are refused with a log line.

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "data/Lzss.h"

namespace zan {

class MessageBoxes;

constexpr size_t kArchiveHeaderSize = 8;
constexpr size_t kIndexEntrySize = 44;
constexpr size_t kArchiveNameSize = 32;  // bytes of the name field, NUL included
constexpr size_t kMaxRequestedName = 255;

struct IndexEntry {
  char name[kArchiveNameSize] = {};  // Shift-JIS, NUL-terminated within the 32 bytes
  uint32_t unpackedSize = 0;
  uint32_t storedSize = 0;  // 0: the entry counts as absent
  uint32_t offset = 0;      // absolute position of the body in the file
};

// The 44-byte record of an entry, and back (little-endian; the name field is copied whole).
IndexEntry DecodeIndexEntry(const uint8_t* record);
void EncodeIndexEntry(const IndexEntry& entry, uint8_t* record);
// Adds (reading) or subtracts (writing) the key's bytes in turn over the index block.
void UnscrambleIndex(std::span<uint8_t> block, std::string_view key);
void ScrambleIndex(std::span<uint8_t> block, std::string_view key);

class Archive {
 public:
  Archive();

  void SetKey(std::string_view key);
  const std::string& Key() const { return key_; }
  // False when the file cannot be opened (with the "not found" box) or its index is
  // unreadable (logged). Opening again empties the index first.
  bool OpenArchive(const std::string& path);
  // OpenArchive without the box and the log line: the reason comes back instead.
  Status Load(const std::string& path);
  bool IsOpen() const { return open_ != 0; }

  // The entry under the normalised name; null when absent, stored size 0, damaged (see
  // CheckEntry), or the request is longer than 255 bytes. A request ends at its first NUL.
  const IndexEntry* FindEntry(std::string_view name) const;
  // True with the unpacked size when present; false and size 0 when absent.
  bool GetEntrySize(std::string_view name, uint32_t* size) const;
  // Reads the file into `buffer`, which holds at least the unpacked size. False when
  // absent, unreadable or damaged (logged).
  bool ReadEntry(std::string_view name, std::span<uint8_t> buffer) const;
  // Reads one entry's body into `buffer` (at least its unpacked size); the reason on failure.
  Status ReadIndexEntry(const IndexEntry& entry, std::span<uint8_t> buffer) const;
  // What can be told wrong with an entry without reading its body: a body beyond the end of
  // the file as it was at open, a stored body whose size differs from the unpacked size, or
  // an unpacked size no LZSS stream of the stored size can produce. Such entries count as
  // absent, so nobody allocates for a size the archive cannot hold.
  Status CheckEntry(const IndexEntry& entry) const;
  // True when the entry is present and the archive file can be opened.
  bool HasEntry(std::string_view name) const;
  // Visits every entry in index-map order (ascending normalised names, as unsigned bytes)
  // with its position in the index. Duplicates appear once, as the later record.
  void ForEachEntry(const std::function<void(const IndexEntry&, uint32_t position)>& visit) const;
  uint32_t EntryCount() const { return count_; }
  uint32_t CompressionFlag() const { return compression_; }
  const std::string& Path() const { return path_; }

  // Lower-cases ASCII letters; Shift-JIS double-byte characters stay as they are.
  static std::string NormaliseName(std::string_view name);

  // Where "file not found" message boxes go (none: a log line instead).
  void SetMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

 private:
  void ShowNotFound(const std::string& path) const;
  Status CheckBody(const IndexEntry& entry, uint64_t fileSize) const;

  std::string path_;
  std::string key_;
  uint32_t compression_ = 0;
  uint32_t count_ = 0;
  uint64_t fileSize_ = 0;  // at open
  int32_t open_ = 0;
  struct Slot {
    IndexEntry entry;
    uint32_t position = 0;
    bool damaged = false;
  };
  std::map<std::string, Slot> index_;
  MessageBoxes* boxes_ = nullptr;
};

}  // namespace zan
