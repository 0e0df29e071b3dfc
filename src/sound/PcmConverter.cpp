#include "sound/PcmConverter.h"

#include <algorithm>

#include "base/DiagnosticLog.h"

namespace zan {
namespace {
// Only a damaged or hostile header expands a file this far (an hour and a half of 44.1 kHz
// stereo).
constexpr size_t kMaxWholeBytes = size_t{1} << 30;
constexpr uint32_t kPiece = 64 * 1024;
}  // namespace

bool ConvertAll(PcmConverter& converter, const uint8_t* data, uint32_t size,
                std::vector<uint8_t>& out) {
  out.clear();
  converter.Reset();
  std::vector<uint8_t> chunk(256 * 1024);
  auto take = [&](const uint8_t* source, uint32_t n) {
    uint32_t produced = 0;
    converter.Convert(source, n, chunk.data(), static_cast<uint32_t>(chunk.size()), &produced);
    out.insert(out.end(), chunk.data(), chunk.data() + produced);
    while (converter.HasPending() && out.size() <= kMaxWholeBytes) {
      converter.Convert(nullptr, 0, chunk.data(), static_cast<uint32_t>(chunk.size()), &produced);
      out.insert(out.end(), chunk.data(), chunk.data() + produced);
    }
    return out.size() <= kMaxWholeBytes;
  };
  for (uint32_t at = 0; at < size; at += std::min(kPiece, size - at)) {
    if (!take(data + at, std::min(kPiece, size - at))) {
      ZAN_WARN("sound: the conversion grows past %zu bytes; refused", kMaxWholeBytes);
      out.clear();
      return false;
    }
  }
  converter.Drain();
  if (!take(nullptr, 0)) {
    out.clear();
    return false;
  }
  return !out.empty();
}

}  // namespace zan
