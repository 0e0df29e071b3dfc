#pragma once
// Builds archive files: header, the index scrambled with the key, then the bodies in
// input order, LZSS-compressed or stored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace zan {

struct ArchiveInput {
  std::string name;  // Shift-JIS, at most 31 bytes
  std::vector<uint8_t> bytes;
};

// How the bodies go in. The header's flag covers every body of an archive (there is no
// per-file choice), so files that are compressed already (Ogg, MP3, PNG, MPEG), which LZSS
// makes about a tenth larger, can only be kept as they are by storing the whole archive.
enum class BodyForm {
  kStored,      // every body as it is
  kCompressed,  // every body LZSS-compressed
  kSmaller,     // compressed, unless the bodies as they are take no more bytes in all
};

// The whole archive file. Refused: a name that is empty, longer than 31 bytes or holds a
// NUL, two names equal without regard to ASCII case, a key that is not printable ASCII or
// longer than 255 bytes, and an archive that outgrows 32-bit offsets.
Result<std::vector<uint8_t>> BuildArchive(const std::vector<ArchiveInput>& files,
                                          std::string_view key, BodyForm form);

// Builds the archive and writes it through a temporary file and a rename.
Status WriteArchive(const std::string& path, const std::vector<ArchiveInput>& files,
                    std::string_view key, BodyForm form);

// The index key for an archive file name ("msg.arc" ... "system.arc", any case), or none.
std::optional<std::string> DefaultArchiveKey(std::string_view fileName);

// Checks that a key can be used: printable ASCII, at most 255 bytes.
Status CheckArchiveKey(std::string_view key);

}  // namespace zan
