#include "sound/MpegDecoder.h"

#include <mpg123.h>

#include <mutex>

#include "base/DiagnosticLog.h"

namespace zan {

MpegDecoder::~MpegDecoder() {
  if (handle_) {
    mpg123_close(handle_);
    mpg123_delete(handle_);
  }
}

bool MpegDecoder::OpenFeed() {
  if (mpg123_open_feed(handle_) != MPG123_OK) return false;
  pending_ = false;
  return true;
}

bool MpegDecoder::Open(const MpegHeader& header) {
  static std::once_flag init;
  std::call_once(init, [] { mpg123_init(); });
  int error = 0;
  handle_ = mpg123_new(nullptr, &error);
  if (!handle_) return false;
  pcm_ = MakePcmFormat(header.format.channels, header.format.samplesPerSec);
  frameBytes_ = header.frameBytes;
  samplesPerFrame_ = header.samplesPerFrame;
  const long channels = pcm_.channels == 1 ? MPG123_MONO : MPG123_STEREO;
  // One output format only: later frames with another layout are mixed to it.
  mpg123_param(handle_, MPG123_ADD_FLAGS,
               MPG123_QUIET | (pcm_.channels == 1 ? MPG123_FORCE_MONO : MPG123_FORCE_STEREO), 0);
  if (mpg123_format_none(handle_) != MPG123_OK ||
      mpg123_format(handle_, static_cast<long>(pcm_.samplesPerSec), static_cast<int>(channels),
                    MPG123_ENC_SIGNED_16) != MPG123_OK ||
      !OpenFeed()) {
    ZAN_WARN("MP3: libmpg123 cannot decode %u Hz, %u channels", pcm_.samplesPerSec, pcm_.channels);
    mpg123_delete(handle_);
    handle_ = nullptr;
    return false;
  }
  return true;
}

uint64_t MpegDecoder::EstimateOutput(uint64_t sourceBytes) const {
  if (frameBytes_ == 0) return 0;
  // Frames at the first frame's bitrate, plus one for a frame cut at either end.
  return (sourceBytes / frameBytes_ + 2) * samplesPerFrame_ * pcm_.blockAlign;
}

bool MpegDecoder::Convert(const uint8_t* source, uint32_t n, uint8_t* out, uint32_t room,
                           uint32_t* produced) {
  *produced = 0;
  if (!handle_) return false;
  bool decodedOk = true;
  const unsigned char* in = n ? source : nullptr;
  size_t inSize = n;
  for (;;) {
    size_t done = 0;
    const int rc = mpg123_decode(handle_, in, inSize, out + *produced, room - *produced, &done);
    in = nullptr;  // fed once; later calls take what the library still holds
    inSize = 0;
    *produced += static_cast<uint32_t>(done);
    if (rc == MPG123_NEW_FORMAT) continue;
    if (rc == MPG123_NEED_MORE) {
      pending_ = false;
      break;
    }
    if (rc == MPG123_OK || rc == MPG123_DONE) {
      // The room is full, or the library may hold more: ask again while there is room.
      pending_ = *produced == room;
      if (pending_ || done == 0) break;
      continue;
    }
    // A damaged stream: the bytes fed so far are dropped and decoding starts afresh with
    // the next input.
    decodedOk = false;
    Reset();
    break;
  }
  return decodedOk;
}

void MpegDecoder::Reset() {
  if (!handle_) return;
  mpg123_close(handle_);
  OpenFeed();
}

}  // namespace zan
