#include "script/Options.h"

#include <cstring>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "script/VariableTable.h"

namespace zan {

void OptionsBlock::Encode(std::span<uint8_t, kSize> out) const {
  std::memcpy(out.data(), this, kSize);
}

OptionsBlock OptionsBlock::Decode(std::span<const uint8_t, kSize> in) {
  OptionsBlock block;
  std::memcpy(&block, in.data(), kSize);
  return block;
}

bool GalleryFlags::Get(int32_t index) const {
  if (index < 0 || index >= kCount) return false;
  return (bytes_[static_cast<size_t>(index / 8)] >> (index % 8)) & 1;
}

void GalleryFlags::Set(int32_t index) {
  if (index < 0 || index >= kCount) return;
  bytes_[static_cast<size_t>(index / 8)] |= static_cast<uint8_t>(1u << (index % 8));
}

std::vector<uint8_t> EncodeOptionFile(const VariableTable& variables, const OptionsBlock& options,
                                      const GalleryFlags& gallery) {
  const auto& ints = variables.Ints();
  const auto& strings = variables.Strings();
  std::vector<uint8_t> bytes(8 + ints.size() * VariableTable::kIntRecordSize +
                             strings.size() * VariableTable::kStringRecordSize +
                             OptionsBlock::kSize + GalleryFlags::kSize);
  uint8_t* p = bytes.data();
  StoreU32(p, static_cast<uint32_t>(ints.size()));
  StoreU32(p + 4, static_cast<uint32_t>(strings.size()));
  p += 8;
  for (const auto& v : ints) {
    VariableTable::EncodeInt(v, std::span<uint8_t, VariableTable::kIntRecordSize>(p, VariableTable::kIntRecordSize));
    p += VariableTable::kIntRecordSize;
  }
  for (const auto& v : strings) {
    VariableTable::EncodeString(
        v, std::span<uint8_t, VariableTable::kStringRecordSize>(p, VariableTable::kStringRecordSize));
    p += VariableTable::kStringRecordSize;
  }
  options.Encode(std::span<uint8_t, OptionsBlock::kSize>(p, OptionsBlock::kSize));
  p += OptionsBlock::kSize;
  std::memcpy(p, gallery.Bytes().data(), GalleryFlags::kSize);
  return bytes;
}

bool ApplyOptionFile(std::span<const uint8_t> bytes, VariableTable& variables,
                     OptionsBlock& options, GalleryFlags& gallery) {
  ByteReader reader(bytes);
  const int32_t intCount = reader.I32();
  const int32_t stringCount = reader.I32();
  if (reader.failed() || intCount < 0 || stringCount < 0) {
    ZAN_WARN("option.dat: damaged header (%zu bytes); the settings keep their values",
            bytes.size());
    return false;
  }
  const uint64_t expected = 8 + uint64_t(intCount) * VariableTable::kIntRecordSize +
                            uint64_t(stringCount) * VariableTable::kStringRecordSize +
                            OptionsBlock::kSize + GalleryFlags::kSize;
  if (bytes.size() < expected) {
    ZAN_WARN("option.dat: %d integer and %d string records need %llu bytes, the file has %zu; "
            "the settings keep their values",
            intCount, stringCount, static_cast<unsigned long long>(expected), bytes.size());
    return false;
  }
  for (int32_t i = 0; i < intCount; ++i) {
    auto record = VariableTable::DecodeInt(
        std::span<const uint8_t, VariableTable::kIntRecordSize>(reader.View(VariableTable::kIntRecordSize)));
    if (VariableTable::IsGlobal(record.name)) variables.SetInt(record.name, record.value);
  }
  for (int32_t i = 0; i < stringCount; ++i) {
    auto record = VariableTable::DecodeString(std::span<const uint8_t, VariableTable::kStringRecordSize>(
        reader.View(VariableTable::kStringRecordSize)));
    if (VariableTable::IsGlobal(record.name)) variables.SetString(record.name, record.value);
  }
  options = OptionsBlock::Decode(
      std::span<const uint8_t, OptionsBlock::kSize>(reader.View(OptionsBlock::kSize)));
  reader.Bytes(gallery.Bytes().data(), GalleryFlags::kSize);
  return true;
}

}  // namespace zan
