#pragma once
// CArchive: reads one game archive: a header (entry count, compression flag), an index of
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

namespace zan {

class MessageBoxes;

struct IndexEntry {
  char name[32] = {};       // Shift-JIS, NUL-terminated within the 32 bytes
  uint32_t unpackedSize = 0;
  uint32_t storedSize = 0;  // 0: the entry counts as absent
  uint32_t offset = 0;      // absolute position of the body in the file
};

class CArchive {
 public:
  CArchive();

  void SetKey(std::string_view key);
  // 1 on success, 0 when the file cannot be opened or its index is unreadable.
  int32_t OpenArchive(const std::string& path);
  bool IsOpen() const { return open_ != 0; }

  const IndexEntry* FindEntry(std::string_view name) const;
  // 1 with the unpacked size when present; 0 and size 0 when absent.
  int32_t GetEntrySize(std::string_view name, uint32_t* size) const;
  // Reads the file into `buffer`, which holds at least the unpacked size. 1 on success,
  // 0 when absent, unreadable or damaged (logged).
  int32_t ReadEntry(std::string_view name, std::span<uint8_t> buffer) const;
  int32_t HasEntry(std::string_view name) const;
  // Visits every entry in index-map order (ascending normalised names, as unsigned bytes).
  void ForEachEntry(const std::function<void(const IndexEntry&, uint32_t position)>& visit) const;
  uint32_t EntryCount() const { return count_; }
  uint32_t CompressionFlag() const { return compression_; }
  const std::string& Path() const { return path_; }

  // Lower-cases ASCII letters; Shift-JIS double-byte characters stay as they are.
  static std::string NormaliseName(std::string_view name);

  // Where "file not found" message boxes go (none: no box, only the log line).
  void SetMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

 private:
  std::string path_;
  std::string key_;
  uint32_t compression_ = 0;
  uint32_t count_ = 0;
  int32_t open_ = 0;
  std::map<std::string, std::pair<IndexEntry, uint32_t>> index_;
  MessageBoxes* boxes_ = nullptr;
};

// LZSS with a 4096-byte zero-filled ring starting at 0xFEE. Never writes beyond `output`
// nor reads beyond `input`; false when the stream ran out before the output was full or a
// match ran past its end.
bool LzssDecode(std::span<const uint8_t> input, std::span<uint8_t> output);

}  // namespace zan
