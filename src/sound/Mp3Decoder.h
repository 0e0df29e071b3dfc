#pragma once
// Mp3Decoder: MP3 files, and compressed RIFF WAVE data in streams, converted to PCM.
//
// Whole-file open (static buffers): the frame header checks of MpegHeader.h, then a decoder
// over all the frames, converted in one call. Stream open (stream buffers): a private copy
// of the file, converted one step at a time (10 frames of MP3, or whole blocks of a WAVE
// format) into a staging buffer that holds 32 steps of PCM, from which `CopyPcm` hands out
// exactly the bytes asked for. Play mode 1 continues from the first frame at the end of the
// data; play mode 0 ends in silence and FillResult::kEnded.
//
// MP3 frames are decoded by libmpg123; WAVE formats by `CompressedWaveDecoder`.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/FillResult.h"
#include "sound/MpegHeader.h"
#include "sound/PcmConverter.h"
#include "sound/WaveFormat.h"

namespace zan {

class Mp3Decoder {
 public:
  Mp3Decoder();
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // MP3 frames only: kOk, the frame header checks' answer, kNoDecoder or kNoEstimate.
  Mp3Result OpenWhole(const uint8_t* data, uint32_t size);
  // Converts everything opened by OpenWhole.
  ConvertResult ConvertWhole(std::vector<uint8_t>& out);
  // MP3 frames or a RIFF WAVE file, for streaming: kOk, kNoDecoder, or one of the
  // stream's answers (kNotMpeg to kNoWaveConversion).
  Mp3Result Open(const uint8_t* data, uint32_t size);
  // kFilled; kEnded (the rest of the request is silence); kNotOpen without a stream open.
  FillResult CopyPcm(uint8_t* out, uint32_t n, int32_t playMode);
  void Rewind();
  void Close();

  bool IsOpen() const { return converter_ != nullptr; }
  const WaveFormat& PcmFormat() const { return pcm_; }
  // The whole-file open's output estimate.
  uint32_t EstimatedSize() const { return estimate_; }

 private:
  // Converts into the staging buffer until it is full, a step decodes nothing, or the
  // source ends.
  void Fill(int32_t playMode);

  std::recursive_mutex mutex_;
  std::unique_ptr<PcmConverter> converter_;
  WaveFormat pcm_;
  std::vector<uint8_t> copy_;  // private copy of the file
  uint32_t sourceOffset_ = 0;  // the converted part of the copy
  uint32_t sourceSize_ = 0;
  uint32_t position_ = 0;      // next source byte, relative to sourceOffset_
  uint32_t step_ = 0;          // source bytes per conversion step
  uint32_t stepOutput_ = 0;    // estimated PCM bytes of one step
  uint32_t estimate_ = 0;
  std::vector<uint8_t> staging_;
  uint32_t valid_ = 0;
  bool ended_ = false;
  uint32_t total_ = 0;         // source bytes converted since the last rewind
};

}  // namespace zan
