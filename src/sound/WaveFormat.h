#pragma once
// WaveFormat: the WAVEFORMATEX record of RIFF WAVE files and of the sound device's buffers:
// format tag, channels, rate, bytes per second, block align, bits per sample and the
// format's extra bytes.

#include <cstdint>
#include <vector>

namespace zan {

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatIeeeFloat = 3;
// A marker, not a format: the format is the sub-format GUID in the extra bytes.
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr uint16_t kWaveFormatMpegLayer3 = 0x55;

struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  std::vector<uint8_t> extra;

  bool operator==(const WaveFormat&) const = default;
};

// Signed little-endian PCM (unsigned for 8 bits): block align and bytes per second follow.
inline WaveFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits = 16) {
  WaveFormat f;
  f.formatTag = kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = rate * f.blockAlign;
  return f;
}

}  // namespace zan
