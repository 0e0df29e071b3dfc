#pragma once
// AudioOut: the machine's sound output. It plays 44100 Hz stereo signed 16-bit frames that
// it pulls from one source (the sound device's mixer): on the SDL2 backend from the audio
// thread as the hardware needs them, on the headless backend on the virtual clock, up to
// each new time before the timers due then run.
//
// A capture sink, when set, receives every block the output pulls, on the thread that
// pulled it (`--audio-out` writes them to a WAV file).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>

namespace zan {

// What AudioOut::Open answers.
enum class AudioOpenResult {
  kOpened,
  kNoAudioSystem,  // the machine's sound system could not be started
  kNoDevice,       // no output device would open
  kAlreadyOpen,    // nothing changes
};

// The result's name for log lines ("no audio system", ...).
constexpr const char* AudioOpenResultName(AudioOpenResult result) {
  switch (result) {
    case AudioOpenResult::kOpened: return "opened";
    case AudioOpenResult::kNoAudioSystem: return "no audio system";
    case AudioOpenResult::kNoDevice: return "no output device";
    case AudioOpenResult::kAlreadyOpen: return "already open";
  }
  return "unknown";
}

class AudioOut {
 public:
  static constexpr uint32_t kRate = 44100;
  static constexpr uint32_t kChannels = 2;

  // Fills `frameCount` interleaved stereo frames.
  using Source = std::function<void(int16_t* frames, size_t frameCount)>;
  using Sink = std::function<void(std::span<const int16_t> samples)>;

  virtual ~AudioOut() = default;

  // Starts pulling from `source`.
  virtual AudioOpenResult Open(Source source) = 0;
  // Stops pulling; when it returns the source is not running and will not be called again.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Stops or resumes pulling while open: a source with nothing to play need not be asked
  // for silence. Only an output that plays in real time pauses; one that renders the
  // program's own time (headless) renders on.
  virtual void SetPaused(bool paused) {}

  void SetCaptureSink(Sink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex_);
    sink_ = std::move(sink);
  }

 protected:
  // Pulls `frameCount` frames from the source into `out` and hands them to the sink.
  void Pull(const Source& source, int16_t* out, size_t frameCount) {
    source(out, frameCount);
    std::lock_guard<std::mutex> lock(sinkMutex_);
    if (sink_) sink_(std::span<const int16_t>(out, frameCount * kChannels));
  }

 private:
  std::mutex sinkMutex_;
  Sink sink_;
};

}  // namespace zan
