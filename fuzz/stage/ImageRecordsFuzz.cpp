// The image layers' readers on arbitrary bytes: an eye definition file (parsed, then its
// animation run for a few hundred frames over a frame sheet), and the saved image and zoom
// slot records (decoded and written again unchanged).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/TaskScheduler.h"
#include "base/DiagnosticLog.h"
#include "stage/ImageLayers.h"
#include "stage/ObjectSurface.h"
#include "platform/VirtualClock.h"

namespace {

template <class Record>
void RoundTrip(std::span<const uint8_t> bytes) {
  if (bytes.size() < Record::kSize) return;
  const std::span<const uint8_t, Record::kSize> in(bytes.data(), Record::kSize);
  const Record record = Record::Decode(in);
  std::array<uint8_t, Record::kSize> out{};
  record.Encode(out);
  // Text fields are read up to their first NUL and written zero-padded, so a second round
  // gives the same record.
  if (!(Record::Decode(out) == record)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] {
    zan::Diagnostics().SetEcho(false);
    return true;
  }();
  (void)quiet;
  const std::span<const uint8_t> bytes(data, size);
  RoundTrip<zan::SavedImageSlot>(bytes);
  RoundTrip<zan::SavedZoomSlot>(bytes);

  auto definition = zan::EyeDefinition::Parse(bytes);
  if (!definition || !definition->HasFrames()) return 0;
  zan::VirtualClock clock;
  zan::TaskScheduler tasks{clock};
  zan::ObjectSurface object(tasks);
  zan::ObjectSurface::Eye& eye = object.EyeAnimation();
  eye.definition = *definition;
  eye.sheet.CreateInFormat(64, 32, 8888);
  eye.sheet.Alpha().Fill(255);
  eye.active = 1;
  zan::Surface target;
  target.CreateInFormat(160, 120, 8888);
  // The random draws come from the file too, so blinks restart now and then.
  size_t next = 0;
  auto random = [&]() -> int32_t { return data[next++ % size]; };
  for (int frame = 0; frame < 300 && eye.active; ++frame) object.StepEye(target, frame % 50 - 20, 10, true, random);
  return 0;
}
