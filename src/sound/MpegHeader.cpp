#include "sound/MpegHeader.h"

#include <cstring>

#include "base/ByteReader.h"
#include "sound/DebugOutput.h"

namespace zan {
namespace {

// kbit/s by [version 0 = MPEG-1, 1 = MPEG-2][layer I, II, III][index].
constexpr uint16_t kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};
constexpr uint32_t kRates[2][4] = {{44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}};

}  // namespace

Mp3Result ParseMpegHeader(std::span<const uint8_t> file, MpegHeader* out) {
  uint64_t size = file.size();
  if (size <= 128) return Mp3Result::kTooShort;
  uint64_t at = 0;
  if (std::memcmp(file.data(), "ID3", 3) == 0) {
    // Synchsafe: 7 bits a byte, byte 6 highest; the 10-byte tag header comes on top.
    const uint64_t tag = 10 + ((uint64_t{file[6]} & 0x7F) << 21) +
                         ((uint64_t{file[7]} & 0x7F) << 14) + ((uint64_t{file[8]} & 0x7F) << 7) +
                         (file[9] & 0x7F);
    if (tag + 128 >= size) return Mp3Result::kTagFillsFile;
    at = tag;
  }
  const uint8_t* h = file.data() + at;
  if (h[0] != 0xFF) return Mp3Result::kNoFrameStart;
  // 0xF0 and up: the rest of the sync and version bits 11 (MPEG-1) or 10 (MPEG-2).
  if (h[1] < 0xF0) return Mp3Result::kNoFrameSync;
  const int version = (h[1] & 0x08) ? 1 : 2;
  const int layerBits = (h[1] >> 1) & 3;
  if (layerBits == 0) {
    DebugOutput("CAcm::Open MP3が無効なレイヤ");
    return Mp3Result::kUnusableFrame;
  }
  const int layer = 4 - layerBits;
  const uint32_t kbps = kBitrates[version - 1][layer - 1][h[2] >> 4];
  const uint32_t rate = kRates[version - 1][(h[2] >> 2) & 3];
  if (kbps == 0 || rate == 0) {
    DebugOutput("CAcm::Open MP3 frame header with a free or forbidden bitrate or a reserved rate");
    return Mp3Result::kUnusableFrame;
  }
  const int channels = (h[3] >> 6) == 3 ? 1 : 2;

  WaveFormat& f = out->format;
  f.formatTag = kWaveFormatMpegLayer3;
  f.channels = static_cast<uint16_t>(channels);
  f.samplesPerSec = rate;
  f.avgBytesPerSec = kbps * 1000 / 8;
  f.blockAlign = 1;
  f.bitsPerSample = 0;
  out->frameBytes = kbps * 144000 / rate;
  // MPEGLAYER3WAVEFORMAT's extra: ID 1 (MPEG), flags 2 (padding off), block size,
  // frames per block 1, codec delay 1393.
  f.extra.assign(12, 0);
  StoreU16(f.extra.data(), 1);
  StoreU32(f.extra.data() + 2, 2);
  StoreU16(f.extra.data() + 6, static_cast<uint16_t>(out->frameBytes));
  StoreU16(f.extra.data() + 8, 1);
  StoreU16(f.extra.data() + 10, 1393);

  if (std::memcmp(file.data() + size - 128, "TAG", 3) == 0) size -= 128;
  out->dataOffset = static_cast<uint32_t>(at);
  out->dataSize = static_cast<uint32_t>(size - at);
  out->version = version;
  out->layer = layer;
  out->samplesPerFrame = layer == 1 ? 384 : (layer == 3 && version == 2 ? 576 : 1152);
  return Mp3Result::kOk;
}

}  // namespace zan
