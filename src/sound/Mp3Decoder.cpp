#include "sound/Mp3Decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "sound/CompressedWaveDecoder.h"
#include "sound/DebugOutput.h"
#include "sound/MpegDecoder.h"
#include "sound/RiffWave.h"

namespace zan {
namespace {

constexpr uint32_t kStagingSteps = 32;
constexpr uint32_t kMp3FramesPerStep = 10;
// A staging buffer beyond this comes only from a hostile format header.
constexpr uint64_t kMaxStaging = 64ull << 20;

}  // namespace

Mp3Decoder::Mp3Decoder() = default;
Mp3Decoder::~Mp3Decoder() { Close(); }

void Mp3Decoder::Close() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  converter_.reset();
  copy_.clear();
  copy_.shrink_to_fit();
  staging_.clear();
  staging_.shrink_to_fit();
  sourceOffset_ = sourceSize_ = position_ = step_ = stepOutput_ = estimate_ = 0;
  valid_ = total_ = 0;
  ended_ = false;
}

Mp3Result Mp3Decoder::OpenWhole(const uint8_t* data, uint32_t size) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Close();
  MpegHeader header;
  if (const Mp3Result rc = ParseMpegHeader({data, size}, &header); rc != Mp3Result::kOk) return rc;
  auto decoder = std::make_unique<MpegDecoder>();
  if (!decoder->Open(header)) return Mp3Result::kNoDecoder;
  const uint64_t estimate = decoder->EstimateOutput(header.dataSize);
  if (estimate == 0 || estimate > 0xFFFFFFFFu) return Mp3Result::kNoEstimate;
  copy_.assign(data, data + size);
  sourceOffset_ = header.dataOffset;
  sourceSize_ = header.dataSize;
  estimate_ = static_cast<uint32_t>(estimate);
  pcm_ = decoder->PcmFormat();
  converter_ = std::move(decoder);
  return Mp3Result::kOk;
}

ConvertResult Mp3Decoder::ConvertWhole(std::vector<uint8_t>& out) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  out.clear();
  if (!converter_) return ConvertResult::kNotOpen;
  return ConvertAll(*converter_, copy_.data() + sourceOffset_, sourceSize_, out)
             ? ConvertResult::kOk
             : ConvertResult::kFailed;
}

Mp3Result Mp3Decoder::Open(const uint8_t* data, uint32_t size) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Close();
  try {
    copy_.assign(data, data + size);
  } catch (const std::bad_alloc&) {
    DebugOutput("CSoundBuffer:CreateStreamSoundBuffer メモリたりまへん\n");
    return Mp3Result::kNoMemory;
  }
  const std::span<const uint8_t> file(copy_.data(), copy_.size());

  RiffWave wave;
  const RiffWaveResult riff = ReadRiffWave(file, &wave);
  if (riff == RiffWaveResult::kEmpty) {
    Close();
    return Mp3Result::kNoBytes;
  }
  if (riff == RiffWaveResult::kNoFmt || riff == RiffWaveResult::kNoData) {
    Close();
    return Mp3Result::kBadWave;
  }
  if (riff == RiffWaveResult::kOk) {
    // Whole blocks of at least 1/16 s: one block of plain PCM would cost a conversion per
    // sample frame, and a staging buffer of 32 such steps could not serve one refill.
    const uint32_t block = wave.format.blockAlign;
    const uint64_t wanted = std::min<uint64_t>(wave.format.avgBytesPerSec / 16, 1u << 20);
    step_ = static_cast<uint32_t>(std::max<uint64_t>(1, (wanted + block - 1) / block) * block);
    auto codec = std::make_unique<CompressedWaveDecoder>();
    sourceOffset_ = static_cast<uint32_t>(wave.data.data() - copy_.data());
    sourceSize_ = static_cast<uint32_t>(wave.data.size());
    if (codec->Open(wave.format, copy_.data() + sourceOffset_, step_) != WaveDecoderResult::kOk) {
      Close();
      return Mp3Result::kNoWaveConversion;
    }
    stepOutput_ = codec->EstimatedSize();
    converter_ = std::move(codec);
  } else {
    MpegHeader header;
    if (const Mp3Result rc = ParseMpegHeader(file, &header); rc != Mp3Result::kOk) {
      ZAN_WARN("CMp3: neither a RIFF WAVE file nor MP3 frames (code %d)", static_cast<int>(rc));
      Close();
      return Mp3Result::kNotMpeg;
    }
    auto decoder = std::make_unique<MpegDecoder>();
    if (!decoder->Open(header)) {
      Close();
      return Mp3Result::kNoDecoder;
    }
    step_ = kMp3FramesPerStep * header.frameBytes;
    sourceOffset_ = header.dataOffset;
    sourceSize_ = header.dataSize;
    stepOutput_ = static_cast<uint32_t>(std::min<uint64_t>(decoder->EstimateOutput(step_), kMaxStaging));
    converter_ = std::move(decoder);
  }
  pcm_ = converter_->PcmFormat();

  // Files shorter than the staging buffer are welcome: their whole data is converted at the
  // first fill and the rest of the staging buffer stays silent.
  const uint64_t stagingSize = uint64_t{kStagingSteps} * stepOutput_;
  if (stepOutput_ == 0 || stagingSize > kMaxStaging) {
    ZAN_WARN("CMp3: unusable conversion step (%u source bytes give %u bytes)", step_, stepOutput_);
    Close();
    return Mp3Result::kUnusableStep;
  }
  staging_.assign(static_cast<size_t>(stagingSize), 0);
  valid_ = 0;
  position_ = 0;
  ended_ = false;
  Fill(0);
  total_ = 0;
  return Mp3Result::kOk;
}

void Mp3Decoder::Fill(int32_t playMode) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (;;) {
    if (staging_.empty()) return;
    if (staging_.size() < uint64_t{valid_} + stepOutput_) return;  // full
    const uint32_t n = std::min(step_, sourceSize_ - position_);
    const uint8_t* source = copy_.data() + sourceOffset_ + position_;
    position_ += n;
    uint32_t produced = 0;
    const uint32_t room = static_cast<uint32_t>(staging_.size()) - valid_;
    if (n > 0 || converter_->HasPending()) {
      converter_->Convert(source, n, staging_.data() + valid_, room, &produced);
      if (produced == 0 && n == step_) return;
    }
    if (n == step_) {
      total_ += n;
      valid_ += produced;
      continue;
    }
    // The end of the source: what the decoder still holds comes out now.
    // Said once per pass: a stream that stays at its end is refilled twice a second.
    static const std::string kAtEnd = Sjis("Mp3Fileの終端に来てるもよう");
    if (!ended_ || n > 0) Diagnostics().LogText(LogLevel::kDebug, kAtEnd);
    ended_ = true;
    valid_ += produced;
    converter_->Drain();
    converter_->Convert(nullptr, 0, staging_.data() + valid_,
                        static_cast<uint32_t>(staging_.size()) - valid_, &produced);
    valid_ += produced;
    if (playMode == 1) {
      position_ = 0;
      // The next pass starts a fresh stream (decoder delay, gapless trimming, block
      // alignment), unless output is still waiting for room.
      if (!converter_->HasPending()) converter_->Reset();
    } else {
      std::memset(staging_.data() + valid_, 0, staging_.size() - valid_);
    }
    return;
  }
}

FillResult Mp3Decoder::CopyPcm(uint8_t* out, uint32_t n, int32_t playMode) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (staging_.empty()) return FillResult::kNotOpen;
  while (valid_ < n) {
    static const std::string kTooLarge =
        Sjis("CMp3::CopyPcmで有効なバッファサイズより大きいサイズを要求された ValidSize %d "
             "demandSize %d");
    Diagnostics().LogMessage(LogLevel::kDebug, kTooLarge.c_str(), static_cast<int>(valid_), static_cast<int>(n));
    std::memcpy(out, staging_.data(), valid_);
    out += valid_;
    n -= valid_;
    valid_ = 0;
    Fill(playMode);
    if (valid_ == 0) {
      std::memset(out, 0, n);
      return FillResult::kEnded;
    }
  }
  std::memcpy(out, staging_.data(), n);
  std::memmove(staging_.data(), staging_.data() + n, valid_ - n);
  valid_ -= n;
  Fill(playMode);
  return FillResult::kFilled;
}

void Mp3Decoder::Rewind() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!converter_) return;
  position_ = 0;
  valid_ = 0;
  total_ = 0;
  ended_ = false;
  converter_->Reset();
  Fill(0);
}

}  // namespace zan
