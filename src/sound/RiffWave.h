#pragma once
// Reading the chunks of a RIFF WAVE file held in memory: the first RIFF chunk of form type
// "WAVE", its "fmt " chunk and, after it, its "data" chunk (other chunks are skipped).
//
// Nothing is read outside the given bytes: a RIFF chunk longer than the file is cut to the
// file, a sub-chunk running past the end of its RIFF chunk is refused with a log line, and
// so is a "fmt " chunk too short for its format or with no channels, rate or block size.
//
// WAVE_FORMAT_EXTENSIBLE (0xFFFE) is read as the plain format it wraps: its PCM and IEEE
// float sub-formats come out as format tags 1 and 3 with no extra bytes (their samples fill
// the container from the top, so the container's bits read them); any other sub-format, or
// more valid bits than the container holds, is refused as an unusable "fmt " with a log line
// naming it.

#include <cstdint>
#include <span>

#include "sound/WaveFormat.h"

namespace zan {

// What reading the chunks answers.
enum class RiffWaveResult {
  kOk,
  kEmpty,    // no bytes: the memory file cannot be opened
  kNotWave,  // no RIFF chunk of form type "WAVE"
  kNoFmt,    // "fmt " missing or unusable
  kNoData,   // "data" missing after "fmt "
};

struct RiffWave {
  WaveFormat format;
  std::span<const uint8_t> data;  // the data chunk's body, inside the given bytes
};

RiffWaveResult ReadRiffWave(std::span<const uint8_t> file, RiffWave* out);

}  // namespace zan
