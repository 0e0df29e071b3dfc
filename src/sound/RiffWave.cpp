#include "sound/RiffWave.h"

#include <cstring>
#include <optional>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"

namespace zan {
namespace {

struct Chunk {
  size_t body;  // offset of the body
  uint32_t size;
};

bool IsId(std::span<const uint8_t> file, size_t at, const char* id) {
  return at + 4 <= file.size() && std::memcmp(file.data() + at, id, 4) == 0;
}

// Finds the chunk `id` among the chunks from `at` to `end`, like a search descent: chunks are
// walked header by header (bodies padded to even sizes). Sets `broken` when a chunk runs past
// `end` before the one wanted was found.
std::optional<Chunk> FindChunk(std::span<const uint8_t> file, size_t at, size_t end,
                               const char* id, bool* broken) {
  while (at + 8 <= end) {
    const uint32_t size = LoadU32(file.data() + at + 4);
    const size_t body = at + 8;
    if (size > end - body) {
      char name[5] = {};
      std::memcpy(name, file.data() + at, 4);
      for (char& c : name)
        if (c && (c < 0x20 || c > 0x7E)) c = '?';
      ZAN_WARN("WAVE: chunk \"%s\" of %u bytes runs past the end of the file", name, size);
      *broken = true;
      return std::nullopt;
    }
    if (IsId(file, at, id)) return Chunk{body, size};
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

// The sub-format GUIDs of the plain tags: {TAG-0000-0010-8000-00AA00389B71}, the tag in
// the first four bytes (little-endian), then these twelve.
constexpr uint8_t kTagGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                      0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// Extra bytes of an extensible format: valid bits (2), channel mask (4), sub-format (16).
constexpr size_t kExtensibleExtra = 22;

// Turns an extensible format into the plain one it wraps; false (logged) when it wraps none
// that is decoded.
bool UnwrapExtensible(WaveFormat& f) {
  if (f.extra.size() < kExtensibleExtra) {
    ZAN_WARN("WAVE: extensible format with %zu extra bytes (%zu expected); refused", f.extra.size(),
            kExtensibleExtra);
    return false;
  }
  const uint16_t validBits = LoadU16(f.extra.data());
  const uint8_t* guid = f.extra.data() + 6;
  const uint32_t tag = LoadU32(guid);
  if (std::memcmp(guid + 4, kTagGuidTail, sizeof kTagGuidTail) != 0 ||
      (tag != kWaveFormatPcm && tag != kWaveFormatIeeeFloat)) {
    ZAN_WARN("WAVE: extensible sub-format {%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X} is "
            "neither PCM nor IEEE float; refused",
            tag, LoadU16(guid + 4), LoadU16(guid + 6), guid[8], guid[9], guid[10], guid[11], guid[12],
            guid[13], guid[14], guid[15]);
    return false;
  }
  // 0 valid bits: not stated, the whole container.
  if (validBits > f.bitsPerSample) {
    ZAN_WARN("WAVE: extensible format with %u valid bits in %u-bit samples; refused", validBits,
            f.bitsPerSample);
    return false;
  }
  f.formatTag = static_cast<uint16_t>(tag);
  f.extra.clear();
  return true;
}

}  // namespace

RiffWaveResult ReadRiffWave(std::span<const uint8_t> file, RiffWave* out) {
  if (file.empty()) return RiffWaveResult::kEmpty;
  // The RIFF chunk: top-level chunks are walked until one is RIFF with form "WAVE". A size
  // past the end (a file cut short, or written by a streaming recorder) is cut to the file.
  size_t at = 0;
  size_t riffEnd = 0;
  for (;;) {
    if (at + 12 > file.size()) return RiffWaveResult::kNotWave;
    const uint64_t size = LoadU32(file.data() + at + 4);
    const uint64_t end = std::min<uint64_t>(at + 8 + size, file.size());
    if (IsId(file, at, "RIFF") && IsId(file, at + 8, "WAVE")) {
      riffEnd = static_cast<size_t>(end);
      at += 12;
      break;
    }
    if (at + 8 + size + (size & 1) > file.size()) return RiffWaveResult::kNotWave;
    at = static_cast<size_t>(at + 8 + size + (size & 1));
  }

  bool broken = false;
  auto fmt = FindChunk(file, at, riffEnd, "fmt ", &broken);
  if (!fmt) return RiffWaveResult::kNoFmt;
  ByteReader r(file.subspan(fmt->body, fmt->size));
  WaveFormat& f = out->format;
  f.formatTag = r.U16();
  f.channels = r.U16();
  f.samplesPerSec = r.U32();
  f.avgBytesPerSec = r.U32();
  f.blockAlign = r.U16();
  f.bitsPerSample = r.U16();
  f.extra.clear();
  if (!r.failed() && f.formatTag != kWaveFormatPcm && r.remaining() >= 2) {
    const uint16_t extraSize = r.U16();
    auto extra = r.View(extraSize);
    f.extra.assign(extra.begin(), extra.end());
  }
  if (r.failed() || f.channels == 0 || f.samplesPerSec == 0 || f.blockAlign == 0) {
    ZAN_WARN("WAVE: unusable fmt chunk (%u bytes: tag %u, %u channels, %u Hz, block align %u)",
            fmt->size, f.formatTag, f.channels, f.samplesPerSec, f.blockAlign);
    return RiffWaveResult::kNoFmt;
  }
  if (f.formatTag == kWaveFormatExtensible && !UnwrapExtensible(f)) return RiffWaveResult::kNoFmt;

  // "data" is searched after "fmt ": a data chunk placed before it is not found.
  const size_t afterFmt = fmt->body + fmt->size + (fmt->size & 1);
  auto data = FindChunk(file, afterFmt, riffEnd, "data", &broken);
  if (!data) {
    if (!broken) ZAN_WARN("WAVE: no \"data\" chunk after the \"fmt \" chunk");
    return RiffWaveResult::kNoData;
  }
  out->data = file.subspan(data->body, data->size);
  return RiffWaveResult::kOk;
}

}  // namespace zan
