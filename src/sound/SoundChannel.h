#pragma once
// SoundChannel: one sound channel. A task (order key 0x90000000) that owns one stream
// buffer, loads a file from the sound archive into it, and sets the buffer's volume from
// four factors: master, the channel kind's level, the fade level and the script volume.
// Three mute flags (global, kind, the script's own) silence it; fades and a script-volume ramp advance in the
// channel's per-frame step, by the millisecond clock.
//
// Volumes are hundredths of a decibel, -10000 (silent) to 0; pan -10000 (left) to 10000.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Task.h"
#include "core/TaskScheduler.h"
#include "sound/SoundBuffer.h"

namespace zan {

class SoundManager;

// Reads a whole file of the sound archive: true with the bytes, false when it cannot be read
// (the reader reports why).
using SoundFileReader = std::function<bool(std::string_view name, std::vector<uint8_t>& bytes)>;

// The volume law: each factor scales the remaining level linearly in percent, and the
// product maps linearly onto -10000..0.
int32_t CombineVolume(int32_t master, int32_t kind, int32_t fade, int32_t script);

class SoundChannel : public Task {
 public:
  static constexpr size_t kFileNameSize = 260;

  SoundChannel(TaskScheduler& tasks, SoundManager& manager, SoundFileReader reader);
  ~SoundChannel() override;

  // Reads `name`, makes a new buffer of it (flags: 2 stream, 1 static) with the channel's
  // volume, pan and mutes, joins the task list, resets the fade. True when the file was read
  // (a buffer that failed to decode still leaves the channel silent), false when it could
  // not be read (nothing changes).
  bool Load(std::string_view name, int32_t flags = 2);
  // Starts with the loop-position rule: a set loop position plays once and wraps to it at
  // the end (Ogg), else the loop flag decides.
  void Play(int32_t loop);
  void PlayAgain() { Play(loop_); }
  void Stop();
  void PauseToggle();
  void Release();
  void Reset();

  void SetGlobalMute(bool mute);
  void SetKindMute(bool mute);
  // The script's "SoundMute": kept apart from the kind mute, which every settings apply
  // rewrites, so that a muted channel stays muted until the script unmutes it.
  void SetScriptMute(bool mute);
  void SetMasterFactor(int32_t value);
  void SetKindFactor(int32_t value);
  // Sets the script volume at once; a ramp still running ends here, so it cannot carry the
  // volume on towards its old target.
  void SetScriptVolume(int32_t value);
  void SetPan(int32_t pan);
  void SetFadeLevel(int32_t level);
  void FadeIn(uint32_t durationMs, bool fromSilence);
  void FadeOut(uint32_t durationMs, bool fromFull);
  void FadeOutAndStop(uint32_t durationMs, bool fromFull);
  void RampScriptVolume(uint32_t durationMs, int32_t target);
  void SetLoopPosition(bool enabled, uint32_t ms);
  void SetLoop(bool loop);

  // Joins the task list at the channels' order key, unless it is running; leaves it.
  void StartTask();
  void RemoveTask();
  bool IsTaskRunning() const { return tasks_.IsRunning(this); }

  bool IsPlaying() { return buffer_.IsPlaying(); }
  bool IsPaused() { return buffer_.IsPaused(); }
  bool IsLooping();
  int32_t CombinedVolume() const;
  // The per-frame step (phase 0): fades and the ramp. False without a device buffer.
  bool Step();

  const std::string& FileName() const { return fileName_; }
  int32_t MasterFactor() const { return master_; }
  int32_t KindFactor() const { return kind_; }
  int32_t ScriptVolume() const { return scriptVolume_; }
  // Where a ramp under way is heading; the script volume when none runs.
  int32_t ScriptVolumeTarget() const { return rampActive_ ? rampTo_ : scriptVolume_; }
  int32_t FadeLevel() const { return fadeLevel_; }
  int32_t Pan() const { return pan_; }
  bool GlobalMute() const { return globalMute_; }
  bool KindMute() const { return kindMute_; }
  bool ScriptMute() const { return scriptMute_; }
  bool Playing() const { return playing_; }
  bool Loop() const { return loop_; }
  bool LoopPositionSet() const { return loopPositionSet_; }
  uint32_t LoopPosition() const { return loopPosition_; }
  bool FadingIn() const { return fadingIn_; }
  bool FadingOut() const { return fadingOut_; }
  SoundBuffer& Buffer() { return buffer_; }

 private:
  void ApplyVolume();
  void ApplyMute();
  void StoreScriptVolume(int32_t value);

  TaskScheduler& tasks_;
  SoundManager& manager_;
  SoundFileReader reader_;
  SoundBuffer buffer_;
  std::string fileName_;
  int32_t master_ = 0;
  int32_t kind_ = 0;
  bool globalMute_ = false;
  bool kindMute_ = false;
  bool scriptMute_ = false;
  int32_t pan_ = 0;
  int32_t scriptVolume_ = 0;
  bool playing_ = false;
  bool loopPositionSet_ = false;
  uint32_t loopPosition_ = 0;
  bool loop_ = false;
  uint32_t fadeStart_ = 0;
  uint32_t fadeDuration_ = 0;
  bool fadingIn_ = false;
  bool fadingOut_ = false;
  bool stopAfterFade_ = false;
  int32_t fadeLevel_ = 0;
  int32_t fadeStartLevel_ = 0;
  int32_t rampFrom_ = 0;
  int32_t rampTo_ = 0;
  bool rampActive_ = false;
  uint32_t rampStart_ = 0;
  uint32_t rampDuration_ = 0;
};

}  // namespace zan
