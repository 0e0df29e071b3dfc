#pragma once
// Mp3Decoder: MP3 files, and compressed RIFF WAVE data in streams, converted to PCM.
//
// Whole-file open (static buffers): the frame header checks of MpegHeader.h, then a decoder
// over all the frames, converted in one call. Stream open (stream buffers): a private copy
// of the file, converted one step at a time (10 frames of MP3, or whole blocks of a WAVE
// format) into a staging buffer that holds 32 steps of PCM, from which `CopyPcm` hands out
// exactly the bytes asked for. Play mode 1 continues from the first frame at the end of the
// data; play mode 0 ends in silence and the end code 99.
//
// MP3 frames are decoded by libmpg123; WAVE formats by `CompressedWaveDecoder`.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/PcmConverter.h"
#include "sound/WaveFormat.h"

namespace zan {

class Mp3Decoder {
 public:
  static constexpr int32_t kEndCode = 99;

  Mp3Decoder();
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // 0; 5, 6, 7, 8 or 1 from the header checks; or the decoder's open code.
  int32_t OpenWhole(const uint8_t* data, uint32_t size);
  // Converts everything opened by OpenWhole: 0, 1 not open, 3 nothing decoded.
  int32_t ConvertWhole(std::vector<uint8_t>& out);
  // 0; 1 refused (header checks, no memory); 2, 4, 5 from the WAVE chunks; or the
  // decoder's open code.
  int32_t Open(const uint8_t* data, uint32_t size);
  // 0..3 when the request was filled; 1 not open; 99 the data ended (rest silent).
  int32_t CopyPcm(uint8_t* out, uint32_t n, int32_t playMode);
  void Rewind();
  void Close();

  bool IsOpen() const { return converter_ != nullptr; }
  const WaveFormat& PcmFormat() const { return pcm_; }
  // The whole-file open's output estimate.
  uint32_t EstimatedSize() const { return estimate_; }

 private:
  int32_t Fill(int32_t playMode);

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
