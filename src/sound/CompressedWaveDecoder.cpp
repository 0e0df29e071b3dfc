#include "sound/CompressedWaveDecoder.h"

#include <algorithm>
#include <cstring>

#include "base/DiagnosticLog.h"
#include "sound/FfmpegLibraries.h"

namespace zan {
namespace {
// Blocks smaller than kSmallBlock (sample formats such as mu-law, whose block is one sample
// frame) are sent in groups of at least kMinPacketBytes, so they do not cost one decoder
// call per sample; larger blocks (ADPCM) go one a packet, as their decoders take them.
constexpr uint32_t kSmallBlock = 256;
constexpr uint32_t kMinPacketBytes = 4096;
// The decoder a WAVE format names. PCM and float samples are read by their container,
// block align / channels bytes, which must hold the stated bits: read any other way their
// bytes are noise. The extensible tag is never looked up: the chunk reader unwraps what it
// wraps, and libavformat's table files an unrelated 1-bit codec under that number.
AVCodecID DecoderFor(const FfmpegLibraries& ff, const WaveFormat& f) {
  if (f.formatTag == kWaveFormatPcm || f.formatTag == kWaveFormatIeeeFloat) {
    if (f.channels == 0 || f.blockAlign == 0 || f.blockAlign % f.channels != 0)
      return AV_CODEC_ID_NONE;
    const uint32_t container = f.blockAlign / f.channels;
    if (f.formatTag == kWaveFormatIeeeFloat) {
      if (f.bitsPerSample != 8 * container) return AV_CODEC_ID_NONE;
      return container == 4 ? AV_CODEC_ID_PCM_F32LE
             : container == 8 ? AV_CODEC_ID_PCM_F64LE
                              : AV_CODEC_ID_NONE;
    }
    if (f.bitsPerSample == 0 || f.bitsPerSample > 8 * container ||
        f.bitsPerSample <= 8 * (container - 1))
      return AV_CODEC_ID_NONE;
    return container == 1   ? AV_CODEC_ID_PCM_U8
           : container == 2 ? AV_CODEC_ID_PCM_S16LE
           : container == 3 ? AV_CODEC_ID_PCM_S24LE
           : container == 4 ? AV_CODEC_ID_PCM_S32LE
                            : AV_CODEC_ID_NONE;
  }
  if (f.formatTag == kWaveFormatExtensible) return AV_CODEC_ID_NONE;
  const AVCodecTag* const tags[] = {ff.avformat_get_riff_audio_tags(), nullptr};
  return ff.av_codec_get_id(tags, f.formatTag);
}

}  // namespace

struct CompressedWaveDecoder::Codec {
  explicit Codec(const FfmpegLibraries& libraries) : ff(libraries) {}
  const FfmpegLibraries& ff;
  AVCodecContext* context = nullptr;
  AVCodecParserContext* parser = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  // The input layout the resampler was set up for.
  AVChannelLayout inLayout{};
  int inFormat = -1;
  int inRate = 0;

  ~Codec() {
    ff.av_channel_layout_uninit(&inLayout);
    ff.swr_free(&resampler);
    ff.av_frame_free(&frame);
    ff.av_packet_free(&packet);
    if (parser) ff.av_parser_close(parser);
    ff.avcodec_free_context(&context);
  }
};

CompressedWaveDecoder::CompressedWaveDecoder() = default;
CompressedWaveDecoder::CompressedWaveDecoder(const FfmpegLibraries& libraries) : libraries_(&libraries) {}
CompressedWaveDecoder::~CompressedWaveDecoder() { Close(); }

void CompressedWaveDecoder::Close() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  codec_.reset();
  open_ = false;
  data_ = nullptr;
  size_ = 0;
  estimate_ = 0;
  samplesPerBlock_ = 0;
  partial_.clear();
  pending_.clear();
  pendingPos_ = 0;
}

WaveDecoderResult CompressedWaveDecoder::Open(const WaveFormat& source, const uint8_t* data, uint32_t size) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Close();
  source_ = source;
  data_ = data;
  size_ = size;

  // Loaded by the first file that needs them.
  if (libraries_ == nullptr) libraries_ = &FfmpegLibraries::Shared();
  const FfmpegLibraries& ff = *libraries_;
  if (!ff.Loaded()) {
    ZAN_WARN("CAcm: no PCM conversion for format tag 0x%04X: the decoding libraries cannot be "
             "loaded (%s)",
             source.formatTag, ff.Error().c_str());
    return WaveDecoderResult::kNoPcmFormat;
  }

  // The PCM suggestion: same channels and rate, 16 bits, for a format that has a decoder.
  const AVCodecID id = DecoderFor(ff, source);
  const AVCodec* decoder = id == AV_CODEC_ID_NONE ? nullptr : ff.avcodec_find_decoder(id);
  if (!decoder || source.channels < 1 || source.channels > 2 || source.samplesPerSec == 0 ||
      source.samplesPerSec > 384000) {
    ZAN_WARN("CAcm: no PCM conversion for format tag 0x%04X (%u channels, %u Hz, %u bits, block "
            "align %u)",
            source.formatTag, source.channels, source.samplesPerSec, source.bitsPerSample,
            source.blockAlign);
    return WaveDecoderResult::kNoPcmFormat;
  }
  pcm_ = MakePcmFormat(source.channels, source.samplesPerSec);

  auto codec = std::make_unique<Codec>(ff);
  codec->context = ff.avcodec_alloc_context3(decoder);
  codec->packet = ff.av_packet_alloc();
  codec->frame = ff.av_frame_alloc();
  if (!codec->context || !codec->packet || !codec->frame) return WaveDecoderResult::kCannotOpen;
  AVCodecContext* c = codec->context;
  c->sample_rate = static_cast<int>(source.samplesPerSec);
  ff.av_channel_layout_default(&c->ch_layout, source.channels);
  c->block_align = source.blockAlign;
  c->bit_rate = int64_t{source.avgBytesPerSec} * 8;
  c->bits_per_coded_sample = source.bitsPerSample;
  if (!source.extra.empty()) {
    c->extradata = static_cast<uint8_t*>(
        ff.av_mallocz(source.extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!c->extradata) return WaveDecoderResult::kCannotOpen;
    std::memcpy(c->extradata, source.extra.data(), source.extra.size());
    c->extradata_size = static_cast<int>(source.extra.size());
  }
  if (ff.avcodec_open2(c, decoder, nullptr) < 0) {
    ZAN_WARN("CAcm: the decoder refuses format tag 0x%04X", source.formatTag);
    return WaveDecoderResult::kCannotOpen;
  }
  codec->parser = ff.av_parser_init(id);
  if (!codec->parser) {
    AVCodecParameters* par = ff.avcodec_parameters_alloc();
    if (par && ff.avcodec_parameters_from_context(par, c) >= 0)
      samplesPerBlock_ = static_cast<uint32_t>(
          std::max(0, ff.av_get_audio_frame_duration2(par, source.blockAlign)));
    ff.avcodec_parameters_free(&par);
  }
  codec_ = std::move(codec);

  const uint64_t estimate = EstimateOutput(size);
  if (estimate == 0 && samplesPerBlock_ == 0 && source.avgBytesPerSec == 0) {
    codec_.reset();
    return WaveDecoderResult::kNoEstimate;
  }
  if (estimate == 0 || estimate > 0xFFFFFFFFu) {
    codec_.reset();
    return WaveDecoderResult::kUnusableEstimate;
  }
  estimate_ = static_cast<uint32_t>(estimate);
  open_ = true;
  return WaveDecoderResult::kOk;
}

uint64_t CompressedWaveDecoder::EstimateOutput(uint64_t sourceBytes) const {
  const uint64_t frameBytes = pcm_.blockAlign;
  if (samplesPerBlock_ > 0 && source_.blockAlign > 0) {
    const uint64_t blocks = (sourceBytes + source_.blockAlign - 1) / source_.blockAlign;
    return blocks * samplesPerBlock_ * frameBytes;
  }
  if (source_.avgBytesPerSec == 0) return 0;
  // Parsed formats (MPEG audio): by the stated byte rate, with two long frames of slack for
  // the decoder's delay and rounding.
  const uint64_t samples = sourceBytes * source_.samplesPerSec / source_.avgBytesPerSec;
  return (samples + 2 * 1152) * frameBytes;
}

uint32_t CompressedWaveDecoder::TakePending(uint8_t* out, uint32_t room) {
  const size_t n = std::min<size_t>(room, pending_.size() - pendingPos_);
  if (n) std::memcpy(out, pending_.data() + pendingPos_, n);
  pendingPos_ += n;
  if (pendingPos_ == pending_.size()) {
    pending_.clear();
    pendingPos_ = 0;
  }
  return static_cast<uint32_t>(n);
}

void CompressedWaveDecoder::ReceiveFrames() {
  Codec& k = *codec_;
  const FfmpegLibraries& ff = k.ff;
  while (ff.avcodec_receive_frame(k.context, k.frame) == 0) {
    AVFrame* f = k.frame;
    if (!k.resampler || k.inFormat != f->format || k.inRate != f->sample_rate ||
        ff.av_channel_layout_compare(&k.inLayout, &f->ch_layout) != 0) {
      ff.swr_free(&k.resampler);
      AVChannelLayout outLayout{};
      ff.av_channel_layout_default(&outLayout, pcm_.channels);
      const int rc = ff.swr_alloc_set_opts2(&k.resampler, &outLayout, AV_SAMPLE_FMT_S16,
                                         static_cast<int>(pcm_.samplesPerSec), &f->ch_layout,
                                         static_cast<AVSampleFormat>(f->format), f->sample_rate,
                                         0, nullptr);
      ff.av_channel_layout_uninit(&outLayout);
      if (rc < 0 || ff.swr_init(k.resampler) < 0) {
        ff.swr_free(&k.resampler);
        ff.av_frame_unref(f);
        continue;
      }
      ff.av_channel_layout_uninit(&k.inLayout);
      ff.av_channel_layout_copy(&k.inLayout, &f->ch_layout);
      k.inFormat = f->format;
      k.inRate = f->sample_rate;
    }
    const int room = ff.swr_get_out_samples(k.resampler, f->nb_samples);
    if (room > 0) {
      const size_t at = pending_.size();
      pending_.resize(at + size_t(room) * pcm_.blockAlign);
      uint8_t* dst = pending_.data() + at;
      const int got = ff.swr_convert(k.resampler, &dst, room,
                                  const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
      pending_.resize(at + size_t(std::max(got, 0)) * pcm_.blockAlign);
    }
    ff.av_frame_unref(f);
  }
}

bool CompressedWaveDecoder::DecodePacket(const uint8_t* data, int size) {
  Codec& k = *codec_;
  const FfmpegLibraries& ff = k.ff;
  if (ff.av_new_packet(k.packet, size) < 0) return false;
  std::memcpy(k.packet->data, data, static_cast<size_t>(size));
  const int rc = ff.avcodec_send_packet(k.context, k.packet);
  ff.av_packet_unref(k.packet);
  ReceiveFrames();
  return rc >= 0;
}

bool CompressedWaveDecoder::Convert(const uint8_t* source, uint32_t n, uint8_t* out, uint32_t room,
                   uint32_t* produced) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  *produced = 0;
  if (!codec_) return false;
  bool ok = n == 0;
  if (n > 0) {
    Codec& k = *codec_;
    const FfmpegLibraries& ff = k.ff;
    if (k.parser) {
      // The parser cuts the bytes into frames and keeps a partial frame for the next call;
      // its input is read with padding.
      std::vector<uint8_t> padded(source, source + n);
      padded.resize(n + AV_INPUT_BUFFER_PADDING_SIZE);
      const uint8_t* in = padded.data();
      int left = static_cast<int>(n);
      while (left > 0) {
        uint8_t* frame = nullptr;
        int frameSize = 0;
        const int used = ff.av_parser_parse2(k.parser, k.context, &frame, &frameSize, in, left,
                                          AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (used < 0) break;
        in += used;
        left -= used;
        if (frameSize > 0) ok = DecodePacket(frame, frameSize) || ok;
        if (used == 0 && frameSize == 0) break;
      }
      ok = ok || left == 0;
    } else {
      // Whole blocks only; a block cut by the end of this piece waits for the next one.
      partial_.insert(partial_.end(), source, source + n);
      const size_t block = source_.blockAlign;
      const size_t group =
          block >= kSmallBlock ? block : (kMinPacketBytes + block - 1) / block * block;
      size_t at = 0;
      while (partial_.size() - at >= block) {
        const size_t take = std::min(group, (partial_.size() - at) / block * block);
        ok = DecodePacket(partial_.data() + at, static_cast<int>(take)) || ok;
        at += take;
      }
      partial_.erase(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(at));
      ok = ok || at == 0;
    }
  }
  *produced = TakePending(out, room);
  return ok;
}

void CompressedWaveDecoder::Drain() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!codec_) return;
  Codec& k = *codec_;
  const FfmpegLibraries& ff = k.ff;
  partial_.clear();  // an incomplete last block cannot be decoded
  if (k.parser) {
    uint8_t* frame = nullptr;
    int frameSize = 0;
    ff.av_parser_parse2(k.parser, k.context, &frame, &frameSize, nullptr, 0, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    if (frameSize > 0) DecodePacket(frame, frameSize);
  }
  if (ff.avcodec_send_packet(k.context, nullptr) >= 0) ReceiveFrames();
  // The decoder is ready for more input (a looping stream starts over).
  ff.avcodec_flush_buffers(k.context);
  if (k.parser) {
    ff.av_parser_close(k.parser);
    k.parser = ff.av_parser_init(k.context->codec_id);
  }
}

void CompressedWaveDecoder::Reset() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  partial_.clear();
  pending_.clear();
  pendingPos_ = 0;
  if (!codec_) return;
  const FfmpegLibraries& ff = codec_->ff;
  ff.avcodec_flush_buffers(codec_->context);
  if (codec_->parser) {
    ff.av_parser_close(codec_->parser);
    codec_->parser = ff.av_parser_init(codec_->context->codec_id);
  }
  ff.swr_free(&codec_->resampler);
}

ConvertResult CompressedWaveDecoder::ConvertWhole(std::vector<uint8_t>& out) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  out.clear();
  if (!open_) return ConvertResult::kNotOpen;
  return ConvertAll(*this, data_, size_, out) ? ConvertResult::kOk : ConvertResult::kFailed;
}

}  // namespace zan
