#pragma once
// MpegDecoder: MPEG audio frames (Layers I to III) to 16-bit PCM through libmpg123 in feed
// mode: bytes are fed as they come and whatever complete frames they hold are decoded. The
// output keeps the first frame's rate and channel count whatever later frames say.

#include <cstdint>

#include "sound/MpegHeader.h"
#include "sound/PcmConverter.h"

struct mpg123_handle_struct;

namespace zan {

class MpegDecoder : public PcmConverter {
 public:
  MpegDecoder() = default;
  ~MpegDecoder() override;
  MpegDecoder(const MpegDecoder&) = delete;
  MpegDecoder& operator=(const MpegDecoder&) = delete;

  // False when the library cannot open a decoder for the format.
  bool Open(const MpegHeader& header);

  const WaveFormat& PcmFormat() const override { return pcm_; }
  uint64_t EstimateOutput(uint64_t sourceBytes) const override;
  bool Convert(const uint8_t* source, uint32_t n, uint8_t* out, uint32_t room,
               uint32_t* produced) override;
  void Drain() override {}
  bool HasPending() const override { return pending_; }
  void Reset() override;

 private:
  bool OpenFeed();

  mpg123_handle_struct* handle_ = nullptr;
  WaveFormat pcm_;
  uint32_t frameBytes_ = 0;
  uint32_t samplesPerFrame_ = 0;
  bool pending_ = false;
};

}  // namespace zan
