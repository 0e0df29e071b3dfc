#include "platform/WavFileWriter.h"

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"

namespace zan {

WavFileWriter::~WavFileWriter() { Close(); }

Status WavFileWriter::Open(const std::string& path, uint32_t rate, uint16_t channels) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return MakeError("cannot write " + path);
  path_ = path;
  rate_ = rate;
  channels_ = channels;
  dataBytes_ = 0;
  failed_ = false;
  WriteHeader();
  return {};
}

void WavFileWriter::WriteHeader() {
  // A RIFF size field holds 32 bits: a capture past 4 GiB keeps the largest value.
  const uint32_t data = dataBytes_ > 0xFFFFFFFFull - 36 ? 0xFFFFFFFFu - 36
                                                        : static_cast<uint32_t>(dataBytes_);
  uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  StoreU32(h + 4, data + 36);
  StoreU32(h + 16, 16);
  StoreU16(h + 20, 1);
  StoreU16(h + 22, channels_);
  StoreU32(h + 24, rate_);
  StoreU32(h + 28, rate_ * channels_ * 2);
  StoreU16(h + 32, static_cast<uint16_t>(channels_ * 2));
  StoreU16(h + 34, 16);
  h[36] = 'd';
  h[37] = 'a';
  h[38] = 't';
  h[39] = 'a';
  StoreU32(h + 40, data);
  std::fseek(file_, 0, SEEK_SET);
  std::fwrite(h, 1, sizeof h, file_);
  std::fseek(file_, 0, SEEK_END);
}

void WavFileWriter::Append(std::span<const int16_t> samples) {
  if (!file_ || failed_ || samples.empty()) return;
  // Little-endian on disk whatever the machine.
  uint8_t buffer[8192];
  size_t done = 0;
  while (done < samples.size()) {
    const size_t n = std::min(samples.size() - done, sizeof buffer / 2);
    for (size_t i = 0; i < n; ++i) StoreU16(buffer + 2 * i, static_cast<uint16_t>(samples[done + i]));
    if (std::fwrite(buffer, 2, n, file_) != n) {
      ZAN_WARN("audio capture: cannot write %s", path_.c_str());
      failed_ = true;
      return;
    }
    done += n;
  }
  dataBytes_ += samples.size() * 2;
  WriteHeader();
}

void WavFileWriter::Close() {
  if (!file_) return;
  WriteHeader();
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace zan
