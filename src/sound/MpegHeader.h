#pragma once
// The first frame header of an MP3 file: where the frames start and end (after an ID3v2 tag,
// before an ID3v1 "TAG" trailer), and the MPEG Layer-3 source format built from it.

#include <cstdint>
#include <span>

#include "sound/WaveFormat.h"

namespace zan {

// What opening an MP3 answers. The frame header checks are the open's first step and answer
// in the same terms (kOk or one of the five after it); their numbers are the ones the stream
// open logs.
enum class Mp3Result : int32_t {
  kOk = 0,
  kUnusableFrame = 1,  // reserved layer, reserved sample rate, or a free or forbidden bitrate
  kTooShort = 5,       // at most 128 bytes
  kTagFillsFile = 6,   // an ID3v2 tag that leaves no 128 bytes
  kNoFrameStart = 7,   // the first byte (after the tag) is not 0xFF
  kNoFrameSync = 8,    // the second is not a frame sync with an MPEG-1 or MPEG-2 version
  kNoDecoder,          // libmpg123 cannot open a decoder for the format
  kNoEstimate,         // whole file: no output estimate (none, or 4 GiB and more)
  kNotMpeg,            // stream: neither a RIFF WAVE file nor MP3 frames (the frame header
                       // checks' answer is logged)
  kNoMemory,           // stream: no memory for the private copy
  kUnusableStep,       // stream: a conversion step that yields nothing or too much
  kNoBytes,            // stream: no bytes at all
  kBadWave,            // stream: a RIFF WAVE file without a usable "fmt " or "data" chunk
  kNoWaveConversion,   // stream: the WAVE format cannot be converted (the WAVE decoder's
                       // answer is logged)
};

struct MpegHeader {
  WaveFormat format;          // MPEGLAYER3WAVEFORMAT: tag 0x55 with its 12 extra bytes
  uint32_t dataOffset = 0;    // first byte of the first frame
  uint32_t dataSize = 0;      // bytes from there up to the end (or the ID3v1 trailer)
  uint32_t frameBytes = 0;    // bitrate x 144000 / rate
  uint32_t samplesPerFrame = 0;
  int version = 1;            // 1 MPEG-1, 2 MPEG-2
  int layer = 3;
};

// kOk, or the check that refuses the bytes (kUnusableFrame to kNoFrameSync).
Mp3Result ParseMpegHeader(std::span<const uint8_t> file, MpegHeader* out);

}  // namespace zan
