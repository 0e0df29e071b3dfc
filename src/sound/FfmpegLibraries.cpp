#include "sound/FfmpegLibraries.h"

#include "base/DiagnosticLog.h"

namespace zan {

FfmpegSonames FfmpegLibraries::BuiltSonames() {
  return {"libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR),
          "libswresample.so." AV_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR),
          "libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR),
          "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR)};
}

const FfmpegLibraries& FfmpegLibraries::Shared() {
  // Never unloaded: a decoder on another thread may still call in while the program ends.
  static const FfmpegLibraries* const shared = new FfmpegLibraries(BuiltSonames());
  return *shared;
}

FfmpegLibraries::FfmpegLibraries(const FfmpegSonames& sonames) {
  loaded_ = Load(sonames);
  if (loaded_) {
    ZAN_DEBUG("CAcm: FFmpeg loaded (%s)", sonames.avcodec.c_str());
    return;
  }
#define ZAN_FFMPEG_FORGET(library, name) name = nullptr;
  ZAN_FFMPEG_FUNCTIONS(ZAN_FFMPEG_FORGET)
#undef ZAN_FFMPEG_FORGET
}

bool FfmpegLibraries::Load(const FfmpegSonames& sonames) {
  // Each after those it uses, so that a missing one is named, not the first that needs it.
  const std::pair<SharedLibrary*, const std::string*> libraries[] = {
      {&avutil_, &sonames.avutil},
      {&swresample_, &sonames.swresample},
      {&avcodec_, &sonames.avcodec},
      {&avformat_, &sonames.avformat},
  };
  for (const auto& [library, soname] : libraries) {
    if (!library->Open(*soname)) {
      error_ = library->Error();
      return false;
    }
  }
#define ZAN_FFMPEG_LOOK_UP(library, name)                                 \
  name = reinterpret_cast<decltype(name)>(library##_.Symbol(#name));      \
  if (name == nullptr) {                                                  \
    error_ = library##_.Error();                                          \
    return false;                                                         \
  }
  ZAN_FFMPEG_FUNCTIONS(ZAN_FFMPEG_LOOK_UP)
#undef ZAN_FFMPEG_LOOK_UP
  return true;
}

}  // namespace zan
