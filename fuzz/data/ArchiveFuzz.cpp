// Archive reader: the input is a whole archive file. Its first byte (kept in the file)
// also picks the index key, so both scrambled and clear indexes are reached.

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "data/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reader opens archives by path: the input lives in a memory file of this process,
  // reached through /proc, so no file is left anywhere and runs in parallel never meet.
  static const int fd = ::memfd_create("zan_fuzz_archive", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ::ftruncate(fd, 0) != 0) return 0;
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) return 0;
    done += static_cast<size_t>(n);
  }

  static const char* const kKeys[] = {"Rod7Q", "plume", ""};
  zan::Archive archive;
  archive.SetKey(kKeys[size > 0 ? data[0] % 3 : 0]);
  if (archive.OpenArchive(path) == 0) return 0;
  std::vector<std::string> names;
  archive.ForEachEntry([&](const zan::IndexEntry& entry, uint32_t) { names.emplace_back(entry.name); });
  for (const std::string& name : names) {
    uint32_t unpacked = 0;
    if (archive.GetEntrySize(name, &unpacked) == 0) continue;
    std::vector<uint8_t> buffer(unpacked);  // bounded: the reader refuses impossible sizes
    archive.ReadEntry(name, buffer);
    archive.HasEntry(zan::Archive::NormaliseName(name));
  }
  return 0;
}
