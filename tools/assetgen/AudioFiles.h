#pragma once
// Encoders for the sound files the engine plays: WAVE PCM, Ogg Vorbis (libvorbisenc) and
// MP3 (libmp3lame). Input is float PCM in -1..1, channels interleaved.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Result.h"

namespace zan::assetgen {

inline constexpr int kRate = 44100;

std::vector<uint8_t> EncodeWav(const std::vector<float>& pcm, int channels, int rate = kRate);
Result<std::vector<uint8_t>> EncodeOgg(const std::vector<float>& pcm, int channels, float quality,
                                       const std::string& title, int rate = kRate);
// Constant bit rate MPEG-1 Layer III without tags.
Result<std::vector<uint8_t>> EncodeMp3(const std::vector<float>& mono, int kbps, int rate = kRate);

}  // namespace zan::assetgen
