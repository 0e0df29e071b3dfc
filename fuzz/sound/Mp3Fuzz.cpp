// Any bytes as an MP3 file (or compressed WAVE for the stream): the whole-file conversion,
// then the stream with requests across the end in both play modes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/DiagnosticLog.h"
#include "sound/Mp3Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] {
    zan::Diagnostics().SetEcho(false);
    return true;
  }();
  (void)quiet;
  {
    zan::Mp3Decoder whole;
    std::vector<uint8_t> pcm;
    if (whole.OpenWhole(data, static_cast<uint32_t>(size)) == zan::Mp3Result::kOk) whole.ConvertWhole(pcm);
  }
  zan::Mp3Decoder stream;
  if (stream.Open(data, static_cast<uint32_t>(size)) != zan::Mp3Result::kOk) return 0;
  std::vector<uint8_t> out(44100);
  for (int32_t mode : {0, 1}) {
    for (int i = 0; i < 4; ++i) stream.CopyPcm(out.data(), static_cast<uint32_t>(out.size()) - i * 4, mode);
    stream.Rewind();
  }
  return 0;
}
