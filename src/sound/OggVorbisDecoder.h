#pragma once
// OggVorbisDecoder: an Ogg Vorbis file decoded from memory by vorbisfile through its callback
// interface, handed out as 16-bit little-endian PCM in exactly the sizes asked for. Decoded
// bytes beyond a request wait in a 4096-byte carry buffer for the next one.
//
// At the end of the data, play mode 1 continues from sample 0; otherwise a loop position
// (ms) continues from that time; otherwise the rest is silence and `Fill` answers kEnded.
// Streams whose chained sections change channels or rate, or that have more than two
// channels, are refused.

#include <cstdint>
#include <mutex>
#include <vector>

#include <vorbis/vorbisfile.h>

#include "sound/FillResult.h"
#include "sound/WaveFormat.h"

namespace zan {

// What opening an Ogg Vorbis stream answers.
enum class OggResult {
  kOk,
  kNoData,   // no bytes
  kNotOgg,   // the bytes do not start with "OggS"
  kRefused,  // vorbisfile refuses the stream, or it is unusable (channels, rate, sections)
};

class OggVorbisDecoder {
 public:
  static constexpr uint32_t kCarrySize = 4096;

  OggVorbisDecoder();
  ~OggVorbisDecoder();
  OggVorbisDecoder(const OggVorbisDecoder&) = delete;
  OggVorbisDecoder& operator=(const OggVorbisDecoder&) = delete;

  // Uses the bytes in place (they must outlive the decoder's use of them).
  OggResult OpenNoCopy(const uint8_t* data, uint32_t size);
  // Uses a private copy.
  OggResult Open(const uint8_t* data, uint32_t size);
  // kFilled, or kEnded when the data ended and the rest is silence.
  FillResult Fill(uint8_t* out, uint32_t n, int32_t playMode);
  void Rewind();
  void SetLoopPosition(uint32_t ms);
  void Close();

  bool IsOpen() const { return open_; }
  const WaveFormat& PcmFormat() const { return pcm_; }
  // Decoded bytes waiting in the carry buffer for the next request.
  uint32_t CarryBytes() const { return carryLength_; }
  // Total decoded bytes (frames x block align).
  uint32_t PcmBytes() const { return pcmBytes_; }
  // The decoder's position in seconds (how far it has decoded).
  double TimeTell();

  // The memory file's callbacks (public for tests): a read, a seek with origin 0 (start),
  // 1 (current) or 2 (end), and a tell.
  size_t ReadMemory(void* out, size_t size, size_t count);
  int SeekMemory(int64_t offset, int origin);
  long TellMemory() const { return position_; }

 private:
  OggResult OpenStream(const uint8_t* data, uint32_t size, bool copy);

  std::recursive_mutex mutex_;
  bool ownsData_ = false;
  uint32_t pcmBytes_ = 0;
  bool open_ = false;
  uint32_t dataSize_ = 0;
  int32_t position_ = 0;
  const uint8_t* data_ = nullptr;
  std::vector<uint8_t> copy_;
  WaveFormat pcm_;
  OggVorbis_File file_{};
  uint8_t carry_[kCarrySize] = {};
  uint32_t carryLength_ = 0;
  uint32_t loopPosition_ = 0;
  uint64_t totalFrames_ = 0;
};

}  // namespace zan
