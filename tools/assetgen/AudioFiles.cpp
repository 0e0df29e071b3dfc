#include "AudioFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

namespace zan::assetgen {
namespace {

void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

int16_t ToPcm16(float v) { return static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f)); }

}  // namespace

std::vector<uint8_t> EncodeWav(const std::vector<float>& pcm, int channels, int rate) {
  uint32_t data = static_cast<uint32_t>(pcm.size() * 2);
  std::vector<uint8_t> b;
  b.reserve(44 + data);
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  Put(b, 36 + data, 4);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(b, 16, 4);
  Put(b, 1, 2);  // PCM
  Put(b, static_cast<uint32_t>(channels), 2);
  Put(b, static_cast<uint32_t>(rate), 4);
  Put(b, static_cast<uint32_t>(rate * channels * 2), 4);
  Put(b, static_cast<uint32_t>(channels * 2), 2);
  Put(b, 16, 2);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  Put(b, data, 4);
  for (float v : pcm) Put(b, static_cast<uint16_t>(ToPcm16(v)), 2);
  return b;
}

Result<std::vector<uint8_t>> EncodeOgg(const std::vector<float>& pcm, int channels, float quality, const std::string& title,
                                       int rate) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
    vorbis_info_clear(&vi);
    return MakeError("the Vorbis encoder refused the settings");
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", title.c_str());
  vorbis_comment_add_tag(&vc, "ARTIST", "ZAN demo");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  // A fixed serial number keeps the file the same from one build to the next.
  ogg_stream_init(&os, 0x5A414E00 + static_cast<int>(title.size()));

  std::vector<uint8_t> out;
  ogg_page og;
  ogg_packet op;
  auto emit = [&](bool flush) {
    while (flush ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) {
      out.insert(out.end(), og.header, og.header + og.header_len);
      out.insert(out.end(), og.body, og.body + og.body_len);
    }
  };
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  emit(true);

  const size_t frames = pcm.size() / channels, block = 1024;
  for (size_t at = 0;; at += block) {
    size_t n = at < frames ? std::min(block, frames - at) : 0;
    if (n > 0) {
      float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int ch = 0; ch < channels; ++ch) buf[ch][i] = pcm[(at + i) * channels + ch];
    }
    vorbis_analysis_wrote(&vd, static_cast<int>(n));  // 0 marks the end of the stream
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        emit(false);
      }
    }
    if (n == 0) break;
  }
  emit(true);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

Result<std::vector<uint8_t>> EncodeMp3(const std::vector<float>& mono, int kbps, int rate) {
  lame_global_flags* gf = lame_init();
  if (!gf) return MakeError("the MP3 encoder cannot start");
  lame_set_in_samplerate(gf, rate);
  lame_set_out_samplerate(gf, rate);
  lame_set_num_channels(gf, 1);
  lame_set_mode(gf, MONO);
  lame_set_brate(gf, kbps);
  lame_set_VBR(gf, vbr_off);
  lame_set_quality(gf, 2);
  lame_set_bWriteVbrTag(gf, 0);
  lame_set_write_id3tag_automatic(gf, 0);
  if (lame_init_params(gf) < 0) {
    lame_close(gf);
    return MakeError("the MP3 encoder refused the settings");
  }
  std::vector<uint8_t> out(mono.size() * 5 / 4 + 7200 + 7200);
  int n = lame_encode_buffer_ieee_float(gf, mono.data(), mono.data(), static_cast<int>(mono.size()), out.data(),
                                        static_cast<int>(out.size()));
  int m = n >= 0 ? lame_encode_flush(gf, out.data() + n, static_cast<int>(out.size()) - n) : -1;
  lame_close(gf);
  if (n < 0 || m < 0) return MakeError("the MP3 encoder failed");
  out.resize(static_cast<size_t>(n + m));
  return out;
}

}  // namespace zan::assetgen
