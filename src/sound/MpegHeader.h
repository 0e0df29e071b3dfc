#pragma once
// The first frame header of an MP3 file: where the frames start and end (after an ID3v2 tag,
// before an ID3v1 "TAG" trailer), and the MPEG Layer-3 source format built from it.
//
// Results (those of the whole-file open): 0; 5 at most 128 bytes; 6 an ID3v2 tag that leaves
// no 128 bytes; 7 the first byte is not 0xFF; 8 the second byte is not a frame sync with an
// MPEG-1 or MPEG-2 version; 1 reserved layer, reserved sample rate, or a free or forbidden
// bitrate.

#include <cstdint>
#include <span>

#include "sound/WaveFormat.h"

namespace zan {

struct MpegHeader {
  WaveFormat format;          // MPEGLAYER3WAVEFORMAT: tag 0x55 with its 12 extra bytes
  uint32_t dataOffset = 0;    // first byte of the first frame
  uint32_t dataSize = 0;      // bytes from there up to the end (or the ID3v1 trailer)
  uint32_t frameBytes = 0;    // bitrate x 144000 / rate
  uint32_t samplesPerFrame = 0;
  int version = 1;            // 1 MPEG-1, 2 MPEG-2
  int layer = 3;
};

int32_t ParseMpegHeader(std::span<const uint8_t> file, MpegHeader* out);

}  // namespace zan
