#include "sound/OggVorbisDecoder.h"

#include <algorithm>
#include <cstring>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

// A damaged stream may answer read errors without end: after this many in a row it is
// taken as ended.
constexpr int kMaxReadErrors = 64;
// The decoded size is a uint32 of bytes.
constexpr uint64_t kMaxPcmBytes = 0xFFFFFFFFull;

size_t ReadCallback(void* out, size_t size, size_t count, void* self) {
  return static_cast<OggVorbisDecoder*>(self)->ReadMemory(out, size, count);
}
int SeekCallback(void* self, ogg_int64_t offset, int origin) {
  return static_cast<OggVorbisDecoder*>(self)->SeekMemory(offset, origin);
}
int CloseCallback(void*) { return 0; }
long TellCallback(void* self) { return static_cast<OggVorbisDecoder*>(self)->TellMemory(); }

}  // namespace

OggVorbisDecoder::OggVorbisDecoder() = default;
OggVorbisDecoder::~OggVorbisDecoder() { Close(); }

size_t OggVorbisDecoder::ReadMemory(void* out, size_t size, size_t count) {
  if (size == 0 || count == 0 || position_ < 0 || uint32_t(position_) >= dataSize_) return 0;
  const size_t left = dataSize_ - uint32_t(position_);
  const size_t bytes = size > left / count ? left : std::min(size * count, left);
  std::memcpy(out, data_ + position_, bytes);
  position_ += static_cast<int32_t>(bytes);
  return bytes / size;
}

int OggVorbisDecoder::SeekMemory(int64_t offset, int origin) {
  int64_t base;
  switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = position_; break;
    case SEEK_END: base = dataSize_; break;
    default: {
      static const std::string kBadOrigin = Sjis("COggVorbis::fseek_memoryで無効なorigin");
      Diagnostics().LogText(LogLevel::kWarning, kBadOrigin);
      position_ = 0;
      return 0;
    }
  }
  const int64_t target = base + offset;
  if (target < 0 || target > INT32_MAX) return -1;
  position_ = static_cast<int32_t>(target);
  return 0;
}

OggResult OggVorbisDecoder::OpenNoCopy(const uint8_t* data, uint32_t size) {
  return OpenStream(data, size, false);
}

OggResult OggVorbisDecoder::Open(const uint8_t* data, uint32_t size) { return OpenStream(data, size, true); }

OggResult OggVorbisDecoder::OpenStream(const uint8_t* data, uint32_t size, bool copy) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!data || size == 0) return OggResult::kNoData;
  if (size < 4 || std::memcmp(data, "OggS", 4) != 0) return OggResult::kNotOgg;
  Close();
  if (copy) {
    copy_.assign(data, data + size);
    data_ = copy_.data();
  } else {
    data_ = data;
  }
  ownsData_ = copy;
  dataSize_ = size;
  position_ = 0;
  const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
  if (const int rc = ov_open_callbacks(this, &file_, nullptr, 0, callbacks); rc != 0) {
    ZAN_WARN("COggVorbis: the library refuses the stream (%d)", rc);
    std::memset(&file_, 0, sizeof file_);
    Close();
    return OggResult::kRefused;
  }
  open_ = true;
  const vorbis_info* info = ov_info(&file_, 0);
  const long links = ov_streams(&file_);
  bool usable = info && info->channels >= 1 && info->channels <= 2 && info->rate > 0 &&
                info->rate <= 384000;
  for (long link = 1; usable && link < links; ++link) {
    const vorbis_info* other = ov_info(&file_, static_cast<int>(link));
    usable = other && other->channels == info->channels && other->rate == info->rate;
  }
  const ogg_int64_t frames = usable ? ov_pcm_total(&file_, -1) : -1;
  if (!usable || frames < 0 || uint64_t(frames) * info->channels * 2 > kMaxPcmBytes) {
    ZAN_WARN("COggVorbis: unusable stream (%d channels, %ld Hz, %ld sections, %lld frames)",
            info ? info->channels : 0, info ? info->rate : 0L, links,
            static_cast<long long>(frames));
    Close();
    return OggResult::kRefused;
  }
  pcm_ = MakePcmFormat(static_cast<uint16_t>(info->channels), static_cast<uint32_t>(info->rate));
  totalFrames_ = static_cast<uint64_t>(frames);
  pcmBytes_ = static_cast<uint32_t>(totalFrames_ * pcm_.blockAlign);
  return OggResult::kOk;
}

void OggVorbisDecoder::Close() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (open_) ov_clear(&file_);
  std::memset(&file_, 0, sizeof file_);
  open_ = false;
  ownsData_ = false;
  copy_.clear();
  copy_.shrink_to_fit();
  data_ = nullptr;
  dataSize_ = 0;
  position_ = 0;
  pcmBytes_ = 0;
  totalFrames_ = 0;
  carryLength_ = 0;
  loopPosition_ = 0;
}

FillResult OggVorbisDecoder::Fill(uint8_t* out, uint32_t n, int32_t playMode) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (carryLength_ >= n) {
    std::memcpy(out, carry_, n);
    std::memmove(carry_, carry_ + n, carryLength_ - n);
    carryLength_ -= n;
    return FillResult::kFilled;
  }
  std::memcpy(out, carry_, carryLength_);
  uint32_t filled = carryLength_;
  carryLength_ = 0;
  if (!open_) {
    std::memset(out + filled, 0, n - filled);
    return FillResult::kEnded;
  }

  uint8_t block[kCarrySize];
  int errors = 0;
  // Bytes read since the last wrap: a wrap that yields nothing (an empty stream, a loop
  // point at the very end) must end the stream rather than spin.
  uint64_t sinceWrap = 1;
  for (;;) {
    int section = 0;
    const long r = ov_read(&file_, reinterpret_cast<char*>(block), sizeof block, 0, 2, 1, &section);
    if (r < 0) {
      // A hole or a damaged page: read on.
      if (++errors < kMaxReadErrors) continue;
    } else if (r > 0) {
      errors = 0;
      sinceWrap += static_cast<uint64_t>(r);
      const uint32_t got = static_cast<uint32_t>(r);
      if (filled + got >= n) {
        const uint32_t need = n - filled;
        std::memcpy(out + filled, block, need);
        carryLength_ = got - need;
        std::memcpy(carry_, block + need, carryLength_);
        return FillResult::kFilled;
      }
      std::memcpy(out + filled, block, got);
      filled += got;
      continue;
    }
    // The end of the stream.
    if (sinceWrap > 0) {
      if (playMode == 1) {
        if (ov_pcm_seek(&file_, 0) == 0) {
          sinceWrap = 0;
          continue;
        }
      } else if (loopPosition_ != 0 &&
                 uint64_t{loopPosition_} * pcm_.samplesPerSec / 1000 < totalFrames_) {
        if (ov_time_seek(&file_, loopPosition_ / 1000.0) == 0) {
          sinceWrap = 0;
          continue;
        }
      }
    }
    std::memset(out + filled, 0, n - filled);
    return FillResult::kEnded;
  }
}

void OggVorbisDecoder::Rewind() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  carryLength_ = 0;
  if (open_) ov_time_seek(&file_, 0.0);
}

void OggVorbisDecoder::SetLoopPosition(uint32_t ms) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  loopPosition_ = ms;
}

double OggVorbisDecoder::TimeTell() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return open_ ? ov_time_tell(&file_) : 0.0;
}

}  // namespace zan
