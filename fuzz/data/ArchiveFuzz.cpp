// Archive reader: the input is a whole archive file. Its first byte (kept in the file)
// also picks the index key, so both scrambled and clear indexes are reached.

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/DiagnosticLog.h"
#include "data/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/zan_fuzz_archive_" + std::to_string(::getpid()) + ".arc";
  static const bool quiet = (zan::Diagnostics().SetEcho(false), true);
  (void)quiet;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

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
