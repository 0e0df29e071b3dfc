#pragma once
// WavFileWriter: appends 16-bit PCM frames to a RIFF WAVE file and keeps its header sizes
// right after every append, so a run that ends abruptly still leaves a playable file.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "base/Result.h"

namespace zan {

class WavFileWriter {
 public:
  WavFileWriter() = default;
  ~WavFileWriter();
  WavFileWriter(const WavFileWriter&) = delete;
  WavFileWriter& operator=(const WavFileWriter&) = delete;

  Status Open(const std::string& path, uint32_t rate, uint16_t channels);
  // Appends interleaved samples; a write failure is logged once and later appends are dropped.
  void Append(std::span<const int16_t> samples);
  void Close();
  uint64_t DataBytes() const { return dataBytes_; }

 private:
  void WriteHeader();

  std::FILE* file_ = nullptr;
  std::string path_;
  uint32_t rate_ = 0;
  uint16_t channels_ = 0;
  uint64_t dataBytes_ = 0;
  bool failed_ = false;
};

}  // namespace zan
