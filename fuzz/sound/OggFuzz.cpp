// Any bytes as an Ogg Vorbis file: open, then requests across the end in both play modes
// and with a loop position.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/DiagnosticLog.h"
#include "sound/OggVorbisDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] {
    zan::Diagnostics().SetEcho(false);
    return true;
  }();
  (void)quiet;
  zan::OggVorbisDecoder ogg;
  if (ogg.Open(data, static_cast<uint32_t>(size)) != zan::OggResult::kOk) return 0;
  std::vector<uint8_t> out(48000);
  for (int32_t mode : {0, 1}) {
    for (int i = 0; i < 4; ++i) ogg.Fill(out.data(), static_cast<uint32_t>(out.size()) - i * 7, mode);
    ogg.Rewind();
  }
  ogg.SetLoopPosition(size > 0 ? data[0] * 10 : 1);
  for (int i = 0; i < 4; ++i) ogg.Fill(out.data(), static_cast<uint32_t>(out.size()), 0);
  ogg.TimeTell();
  return 0;
}
