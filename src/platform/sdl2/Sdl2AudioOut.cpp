#include "platform/sdl2/Sdl2AudioOut.h"

#include <SDL.h>

#include "base/DiagnosticLog.h"

namespace zan {
namespace {
constexpr uint64_t kReopenRetryMs = 1000;
}  // namespace

Sdl2AudioOut::~Sdl2AudioOut() { Close(); }

AudioOpenResult Sdl2AudioOut::Open(Source source) {
  if (open_) return AudioOpenResult::kAlreadyOpen;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    ZAN_WARN("audio: SDL_InitSubSystem(AUDIO) failed: %s", SDL_GetError());
    return AudioOpenResult::kNoAudioSystem;
  }
  source_ = std::move(source);
  if (!OpenDevice()) {
    ZAN_WARN("audio: SDL_OpenAudioDevice failed: %s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    source_ = nullptr;
    return AudioOpenResult::kNoDevice;
  }
  open_ = true;
  paused_ = false;
  reopenFailed_ = 0;
  return AudioOpenResult::kOpened;
}

bool Sdl2AudioOut::OpenDevice() {
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(kRate);
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(kChannels);
  want.samples = 1024;  // about 23 ms a pull
  want.callback = &Sdl2AudioOut::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No allowed changes: SDL converts to whatever the hardware takes.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) return false;
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void Sdl2AudioOut::CloseDevice() {
  if (device_ == 0) return;
  // Closing waits for a running callback to return.
  SDL_CloseAudioDevice(device_);
  device_ = 0;
}

void Sdl2AudioOut::SetPaused(bool paused) {
  if (!open_) return;
  const uint64_t now = SDL_GetTicks64();
  if (paused) {
    if (!paused_) {
      if (device_ != 0) SDL_PauseAudioDevice(device_, 1);
      paused_ = true;
      pausedSince_ = now;
    } else if (device_ != 0 && now - pausedSince_ >= closeAfterMs_) {
      CloseDevice();
      ZAN_DEBUG("audio: device closed while nothing plays");
    }
    return;
  }
  if (!paused_) return;
  if (device_ != 0) {
    SDL_PauseAudioDevice(device_, 0);
    paused_ = false;
    return;
  }
  if (reopenFailed_ != 0 && now - reopenFailed_ < kReopenRetryMs) return;
  if (!OpenDevice()) {
    ZAN_WARN("audio: the device cannot be opened again: %s", SDL_GetError());
    reopenFailed_ = now;
    return;
  }
  reopenFailed_ = 0;
  paused_ = false;
}

void Sdl2AudioOut::Close() {
  if (!open_) return;
  CloseDevice();
  open_ = false;
  paused_ = false;
  source_ = nullptr;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void Sdl2AudioOut::Callback(void* self, uint8_t* stream, int length) {
  auto* out = static_cast<Sdl2AudioOut*>(self);
  const size_t frames = static_cast<size_t>(length) / (kChannels * sizeof(int16_t));
  out->Pull(out->source_, reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace zan
