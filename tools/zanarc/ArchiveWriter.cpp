#include "zanarc/ArchiveWriter.h"

#include <cstring>
#include <set>

#include "base/ByteReader.h"
#include "base/ShiftJis.h"
#include "data/Archive.h"
#include "data/GameData.h"
#include "platform/Files.h"
#include "zanarc/LzssEncoder.h"

namespace zan {

Status CheckArchiveKey(std::string_view key) {
  if (key.size() > 255) return MakeError("the key is longer than 255 bytes");
  for (char c : key) {
    if (c < 0x20 || c > 0x7E) return MakeError("the key must be printable ASCII");
  }
  return {};
}

std::optional<std::string> DefaultArchiveKey(std::string_view fileName) {
  const std::string wanted = Archive::NormaliseName(fileName);
  for (int slot = 0; slot < kGameSlotCount; ++slot) {
    if (wanted == SlotFileName(slot)) return std::string(SlotKey(slot));
  }
  return std::nullopt;
}

Result<std::vector<uint8_t>> BuildArchive(const std::vector<ArchiveInput>& files,
                                          std::string_view key, BodyForm form) {
  if (Status k = CheckArchiveKey(key); !k) return k.error();
  std::set<std::string> names;
  for (const ArchiveInput& file : files) {
    const std::string shown = SjisToUtf8(file.name);
    if (file.name.empty()) return MakeError("a file has an empty name");
    if (file.name.size() >= kArchiveNameSize) {
      return MakeError(shown + ": the name is " + std::to_string(file.name.size()) +
                       " bytes in Shift-JIS; at most 31 fit");
    }
    if (file.name.find('\0') != std::string::npos) return MakeError(shown + ": NUL in the name");
    if (!names.insert(Archive::NormaliseName(file.name)).second) {
      return MakeError(shown + ": two files have this name (names ignore ASCII case)");
    }
  }

  std::vector<std::vector<uint8_t>> packed;
  if (form != BodyForm::kStored) {
    uint64_t packedTotal = 0;
    uint64_t plainTotal = 0;
    for (const ArchiveInput& file : files) {
      packed.push_back(LzssEncode(file.bytes));
      packedTotal += packed.back().size();
      plainTotal += file.bytes.size();
    }
    if (form == BodyForm::kSmaller && plainTotal <= packedTotal) packed.clear();
  }
  const bool compress = !packed.empty() || (form == BodyForm::kCompressed);

  const uint64_t indexBytes = uint64_t{files.size()} * kIndexEntrySize;
  std::vector<uint8_t> out(kArchiveHeaderSize + indexBytes, 0);
  StoreU32(out.data(), static_cast<uint32_t>(files.size()));
  StoreU32(out.data() + 4, compress ? 1 : 0);

  for (size_t i = 0; i < files.size(); ++i) {
    const ArchiveInput& file = files[i];
    const std::vector<uint8_t>& body = compress ? packed[i] : file.bytes;
    if (out.size() + body.size() > UINT32_MAX || file.bytes.size() > UINT32_MAX) {
      return MakeError("the archive would outgrow 4 GiB");
    }
    IndexEntry entry;
    std::memcpy(entry.name, file.name.data(), file.name.size());
    entry.unpackedSize = static_cast<uint32_t>(file.bytes.size());
    entry.storedSize = static_cast<uint32_t>(body.size());
    entry.offset = static_cast<uint32_t>(out.size());
    EncodeIndexEntry(entry, out.data() + kArchiveHeaderSize + i * kIndexEntrySize);
    out.insert(out.end(), body.begin(), body.end());
  }
  ScrambleIndex(std::span<uint8_t>(out).subspan(kArchiveHeaderSize, indexBytes), key);
  return out;
}

Status WriteArchive(const std::string& path, const std::vector<ArchiveInput>& files,
                    std::string_view key, BodyForm form) {
  auto bytes = BuildArchive(files, key, form);
  if (!bytes) return bytes.error();
  return WriteFileAtomic(path, *bytes);
}

}  // namespace zan
