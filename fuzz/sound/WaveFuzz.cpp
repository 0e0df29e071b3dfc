// Any bytes as a sound file, loaded the way buffers load them: static (RIFF WAVE, converted
// formats, MP3 and Ogg as whole files) and stream, then a few refills.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/DiagnosticLog.h"
#include "platform/VirtualClock.h"
#include "sound/RiffWave.h"
#include "sound/SoundBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] {
    zan::Diagnostics().SetEcho(false);
    return true;
  }();
  (void)quiet;
  zan::RiffWave wave;
  zan::ReadRiffWave({data, size}, &wave);
  zan::VirtualClock clock;
  auto device = zan::SoundDevice::Create(clock);
  zan::SoundBuffer buffer;
  if (buffer.CreateStaticSoundBuffer(device.get(), data, static_cast<uint32_t>(size)).ok()) {
    buffer.Play(1);
    std::vector<int16_t> out(2 * 2048);
    device->Mix(out.data(), 2048);
  }
  if (buffer.CreateStreamSoundBuffer(device.get(), data, static_cast<uint32_t>(size)) == zan::BufferResult::kOk) {
    buffer.Play(1);
    std::vector<int16_t> out(2 * 4096);
    for (int i = 0; i < 4; ++i) {
      device->Mix(out.data(), 4096);
      buffer.ReadStream();
    }
    buffer.Stop();
  }
  return 0;
}
