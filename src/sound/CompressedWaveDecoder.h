#pragma once
// CompressedWaveDecoder: the conversion of a compressed RIFF WAVE format to PCM (IMA and Microsoft ADPCM,
// mu-law, A-law, MPEG audio in WAVE, and whatever else libavcodec decodes under a WAVE
// format tag). The FFmpeg libraries are loaded by the first Open; without them every Open
// fails (logged). The PCM format it suggests keeps the source's channels and rate, 16 bits.
// Sources of more than two channels are refused: the device mixes mono and stereo only, and
// so are PCM and float layouts whose block does not hold whole samples of the stated bits.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/PcmConverter.h"
#include "sound/WaveFormat.h"

namespace zan {

// What opening a WAVE format's conversion answers.
enum class WaveDecoderResult {
  kOk,
  kNoPcmFormat,       // no PCM suggestion: unknown tag, no decoder, bad channel count or rate
  kCannotOpen,        // the conversion cannot be opened
  kNoEstimate,        // no way to estimate the output size
  kUnusableEstimate,  // an output estimate of 0 bytes, or of 4 GiB and more
};

class FfmpegLibraries;

class CompressedWaveDecoder : public PcmConverter {
 public:
  // Decodes with the process's FFmpeg libraries, loaded by the first Open that needs them.
  CompressedWaveDecoder();
  // Decodes with `libraries` (which must outlive the decoder).
  explicit CompressedWaveDecoder(const FfmpegLibraries& libraries);
  ~CompressedWaveDecoder() override;
  CompressedWaveDecoder(const CompressedWaveDecoder&) = delete;
  CompressedWaveDecoder& operator=(const CompressedWaveDecoder&) = delete;

  // Opens a conversion of `size` source bytes at `data` (kept by pointer, not copied).
  WaveDecoderResult Open(const WaveFormat& source, const uint8_t* data, uint32_t size);
  void Close();
  bool IsOpen() const { return open_; }
  // Output estimate for the whole source given to Open.
  uint32_t EstimatedSize() const { return estimate_; }
  // Converts the whole source given to Open. `out` holds exactly the bytes produced.
  ConvertResult ConvertWhole(std::vector<uint8_t>& out);

  const WaveFormat& PcmFormat() const override { return pcm_; }
  uint64_t EstimateOutput(uint64_t sourceBytes) const override;
  bool Convert(const uint8_t* source, uint32_t n, uint8_t* out, uint32_t room,
               uint32_t* produced) override;
  void Drain() override;
  bool HasPending() const override { return pendingPos_ < pending_.size(); }
  void Reset() override;

 private:
  struct Codec;
  bool DecodePacket(const uint8_t* data, int size);
  void ReceiveFrames();
  uint32_t TakePending(uint8_t* out, uint32_t room);

  std::recursive_mutex mutex_;
  const FfmpegLibraries* libraries_ = nullptr;  // null until the first Open: the shared set
  std::unique_ptr<Codec> codec_;
  WaveFormat source_;
  WaveFormat pcm_;
  const uint8_t* data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t estimate_ = 0;
  bool open_ = false;
  uint32_t samplesPerBlock_ = 0;  // 0: packets are cut by a parser
  std::vector<uint8_t> partial_;  // source bytes of a block not yet complete
  std::vector<uint8_t> pending_;  // decoded bytes waiting for room
  size_t pendingPos_ = 0;
};

}  // namespace zan
