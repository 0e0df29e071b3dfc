#pragma once
// PcmConverter: a conversion stream from a compressed sound format to 16-bit PCM, fed in
// pieces of source bytes. Output that does not fit the room given stays inside the
// converter and comes out first at the next call.

#include <cstdint>
#include <vector>

#include "sound/WaveFormat.h"

namespace zan {

// What converting a whole opened source answers.
enum class ConvertResult {
  kOk,
  kNotOpen,
  kFailed,  // nothing decoded, or more than 1 GiB of output
};

class PcmConverter {
 public:
  virtual ~PcmConverter() = default;

  // The PCM format the conversion yields.
  virtual const WaveFormat& PcmFormat() const = 0;
  // An estimate (not below the usual output) of the PCM bytes `sourceBytes` source bytes
  // yield; 0 when none can be made.
  virtual uint64_t EstimateOutput(uint64_t sourceBytes) const = 0;
  // Feeds `n` source bytes (n may be 0 to take pending output only) and writes at most
  // `room` bytes of PCM to `out`; `*produced` is what was written. False when the source
  // bytes cannot be decoded at all (they are dropped).
  virtual bool Convert(const uint8_t* source, uint32_t n, uint8_t* out, uint32_t room,
                       uint32_t* produced) = 0;
  // Decodes what the source still holds at its end (a last partial frame) into the pending
  // output.
  virtual void Drain() = 0;
  // True when output is waiting for room.
  virtual bool HasPending() const = 0;
  // Forgets all state, as for a stream that starts again from its first byte.
  virtual void Reset() = 0;
};

}  // namespace zan

namespace zan {

// Converts `size` source bytes from a fresh start into `out` (exactly the bytes produced).
// False when nothing could be decoded or the output would pass 1 GiB (logged).
bool ConvertAll(PcmConverter& converter, const uint8_t* data, uint32_t size,
                std::vector<uint8_t>& out);

}  // namespace zan
