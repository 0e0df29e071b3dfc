#pragma once
// FfmpegLibraries: the functions of libavutil, libswresample, libavcodec and libavformat
// that the compressed-WAVE decoder calls, loaded when a file first needs them. Those
// libraries and what they pull in (video codecs, network and image libraries) come to some
// 28 MiB of mappings: a game that never plays such a WAVE maps none of it. The libraries are
// looked up by the sonames of the major versions this program was built against, so their
// structures are the ones the headers describe.

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "platform/SharedLibrary.h"

// Every function used, with the library that has it.
#define ZAN_FFMPEG_FUNCTIONS(X)                    \
  X(avutil, av_channel_layout_compare)             \
  X(avutil, av_channel_layout_copy)                \
  X(avutil, av_channel_layout_default)             \
  X(avutil, av_channel_layout_uninit)              \
  X(avutil, av_frame_alloc)                        \
  X(avutil, av_frame_free)                         \
  X(avutil, av_frame_unref)                        \
  X(avutil, av_mallocz)                            \
  X(swresample, swr_alloc_set_opts2)               \
  X(swresample, swr_convert)                       \
  X(swresample, swr_free)                          \
  X(swresample, swr_get_out_samples)               \
  X(swresample, swr_init)                          \
  X(avcodec, av_get_audio_frame_duration2)         \
  X(avcodec, av_new_packet)                        \
  X(avcodec, av_packet_alloc)                      \
  X(avcodec, av_packet_free)                       \
  X(avcodec, av_packet_unref)                      \
  X(avcodec, av_parser_close)                      \
  X(avcodec, av_parser_init)                       \
  X(avcodec, av_parser_parse2)                     \
  X(avcodec, avcodec_alloc_context3)               \
  X(avcodec, avcodec_find_decoder)                 \
  X(avcodec, avcodec_flush_buffers)                \
  X(avcodec, avcodec_free_context)                 \
  X(avcodec, avcodec_open2)                        \
  X(avcodec, avcodec_parameters_alloc)             \
  X(avcodec, avcodec_parameters_free)              \
  X(avcodec, avcodec_parameters_from_context)      \
  X(avcodec, avcodec_receive_frame)                \
  X(avcodec, avcodec_send_packet)                  \
  X(avformat, av_codec_get_id)                     \
  X(avformat, avformat_get_riff_audio_tags)

namespace zan {

// The file names of the four libraries.
struct FfmpegSonames {
  std::string avutil;
  std::string swresample;
  std::string avcodec;
  std::string avformat;
};

class FfmpegLibraries {
 public:
  // "libavcodec.so.59" and its kin: the major versions of the headers this program was
  // built with.
  static FfmpegSonames BuiltSonames();
  // The process's one set of the built sonames, loaded by the first call (from any thread)
  // and kept to the end.
  static const FfmpegLibraries& Shared();

  // Loads the four libraries and every function; on any failure none is usable.
  explicit FfmpegLibraries(const FfmpegSonames& sonames);
  FfmpegLibraries(const FfmpegLibraries&) = delete;
  FfmpegLibraries& operator=(const FfmpegLibraries&) = delete;

  bool Loaded() const { return loaded_; }
  // Why they are not loaded: the library or function missing, as the dynamic linker says.
  const std::string& Error() const { return error_; }

  // The functions, called as the libraries' own: `ff.avcodec_open2(...)`.
#define ZAN_FFMPEG_POINTER(library, name) decltype(&::name) name = nullptr;
  ZAN_FFMPEG_FUNCTIONS(ZAN_FFMPEG_POINTER)
#undef ZAN_FFMPEG_POINTER

 private:
  bool Load(const FfmpegSonames& sonames);

  SharedLibrary avutil_;
  SharedLibrary swresample_;
  SharedLibrary avcodec_;
  SharedLibrary avformat_;
  bool loaded_ = false;
  std::string error_;
};

}  // namespace zan
