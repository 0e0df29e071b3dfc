#include "script/SoundChannelRecord.h"

#include <algorithm>
#include <cstring>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"

namespace zan {

void SoundChannelRecord::Encode(std::span<uint8_t, kSize> out) const {
  std::memset(out.data(), 0, kSize);
  std::memcpy(out.data(), file.data(), std::min(file.size(), kFileSize - 1));
  const int32_t fields[] = {playing, paused, loop, mute, fadingOut, loopPosition, volume, pan};
  uint8_t* p = out.data() + kFileSize;
  for (int32_t value : fields) {
    StoreU32(p, static_cast<uint32_t>(value));
    p += 4;
  }
}

SoundChannelRecord SoundChannelRecord::Decode(std::span<const uint8_t, kSize> in) {
  SoundChannelRecord record;
  const char* name = reinterpret_cast<const char*>(in.data());
  const size_t length = ::strnlen(name, kFileSize);
  if (length < kFileSize)
    record.file.assign(name, length);
  else
    ZAN_WARN("save: a sound channel's file name has no end within 32 bytes; read as no file");
  int32_t* fields[] = {&record.playing, &record.paused,       &record.loop,   &record.mute,
                       &record.fadingOut, &record.loopPosition, &record.volume, &record.pan};
  const uint8_t* p = in.data() + kFileSize;
  for (int32_t* field : fields) {
    *field = static_cast<int32_t>(LoadU32(p));
    p += 4;
  }
  return record;
}

std::vector<uint8_t> EncodeSoundRecords(const SoundChannelRecords& records) {
  std::vector<uint8_t> bytes(kSoundRecordsSize);
  StoreU32(bytes.data(), kSoundRecordCount);
  for (size_t i = 0; i < records.size(); ++i)
    records[i].Encode(std::span<uint8_t, SoundChannelRecord::kSize>(
        bytes.data() + 4 + i * SoundChannelRecord::kSize, SoundChannelRecord::kSize));
  return bytes;
}

std::optional<SoundChannelRecords> DecodeSoundRecords(std::span<const uint8_t> bytes) {
  if (bytes.size() < kSoundRecordsSize) {
    ZAN_WARN("save: the sound channel block is %zu bytes, fewer than %zu", bytes.size(),
            kSoundRecordsSize);
    return std::nullopt;
  }
  const uint32_t count = LoadU32(bytes.data());
  if (count != kSoundRecordCount) {
    ZAN_WARN("save: the sound channel block counts %u channels instead of %d", count,
            kSoundRecordCount);
    return std::nullopt;
  }
  SoundChannelRecords records;
  for (size_t i = 0; i < records.size(); ++i)
    records[i] = SoundChannelRecord::Decode(std::span<const uint8_t, SoundChannelRecord::kSize>(
        bytes.data() + 4 + i * SoundChannelRecord::kSize, SoundChannelRecord::kSize));
  return records;
}

}  // namespace zan
