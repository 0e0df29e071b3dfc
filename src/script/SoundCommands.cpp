// The Sound* commands: the script's twelve sound channels (0 and 1 music, 2 to 5 effects,
// 6 to 11 voices). Each command names its channel first, as a number or an integer
// variable; a channel outside 0..11 makes the command do nothing. Keywords ignore case.
// What the script asks beyond the channel's own settings (the file, play, pause, a
// fade-out) goes into the channel's request, from which, with the channel, a save's record
// is built. All of them read on.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "script/Backlog.h"
#include "script/CommandFamilies.h"
#include "script/Options.h"
#include "script/ScriptSounds.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;
using S = SoundCommandServices;
using Request = ScriptSounds::Request;

constexpr int kFirstVoice = 6;
constexpr int kLastPageVoice = 10;  // channel 11's voice is not kept with the page

struct Channel {
  int index;
  SoundChannel& sound;
  Request& request;
};

std::optional<Channel> Target(const S& s, const CommandCall& call) {
  const int32_t index = s.variables.Evaluate(call.Arg(0));
  SoundChannel* sound = s.sounds.Channel(index);
  if (!sound) return std::nullopt;
  return Channel{index, *sound, s.sounds.RequestOf(index)};
}

// A time argument in ms; a negative one counts as none (not as a fade of 49 days).
uint32_t Milliseconds(const S& s, const std::string& argument) {
  return static_cast<uint32_t>(std::max(0, s.variables.Evaluate(argument)));
}

bool IsVoice(int index) { return ChannelKind(index) == SoundKind::kVoice; }

// Voices stay silent while the player skips.
bool MayStart(const S& s, int index) { return !(IsVoice(index) && s.options.skipMode); }

// A name the record cannot hold whole is refused rather than cut into another file's name.
bool FileFits(const CommandCall& call, const std::string& file) {
  if (SoundChannelRecord::FitsFileField(file)) return true;
  ZAN_WARN("script: %s: the sound file name \"%s\" is longer than 31 bytes; ignored",
          call.name.c_str(), SjisToUtf8(file).c_str());
  return false;
}

// Voices loaded for the page being shown are kept with it for the backlog.
void NoteVoice(const S& s, int index, const std::string& file) {
  if (index >= kFirstVoice && index <= kLastPageVoice) s.history.SetVoice(index - kFirstVoice, file);
}

// A voice that now sounds lowers the music (when the player wants that) until no voice
// sounds any more.
void DuckForVoice(const S& s, const Channel& c) {
  if (s.options.duckMusicForVoice && IsVoice(c.index) && c.sound.IsPlaying()) s.sounds.SetDucked(true);
}

// A file that cannot be read leaves the channel without sound, rather than with the sound
// it held before (which a play would start again).
void LoadOrSilence(SoundChannel& sound, const std::string& file) {
  if (!sound.Load(file)) sound.Release();
}

R SoundInit(const S& s, const CommandCall& call) {
  if (call.Is(0, "ALL")) {
    for (int i = 0; i < ScriptSounds::kChannels; ++i) s.sounds.Clear(i);
  } else if (auto c = Target(s, call)) {
    s.sounds.Clear(c->index);
  }
  return R::kContinue;
}

R SoundLoad(const S& s, const CommandCall& call) {
  auto c = Target(s, call);
  if (!c || !FileFits(call, call.Arg(1))) return R::kContinue;
  const std::string& file = call.Arg(1);
  LoadOrSilence(c->sound, file);
  s.sounds.ApplySettings(s.options);
  NoteVoice(s, c->index, file);
  // Only the name changes: the channel keeps its loop, mute, volume, pan and loop position.
  c->request.file = file;
  return R::kContinue;
}

R SoundPlay(const S& s, const CommandCall& call) {
  auto c = Target(s, call);
  if (!c || !FileFits(call, call.Arg(1))) return R::kContinue;
  const std::string& file = call.Arg(1);
  SoundChannel& sound = c->sound;
  LoadOrSilence(sound, file);
  s.sounds.ApplySettings(s.options);
  if (call.Is(2, "ON"))
    sound.FadeIn(Milliseconds(s, call.Arg(3)), true);
  else
    sound.SetFadeLevel(0);
  if (MayStart(s, c->index)) sound.PlayAgain();
  if (IsVoice(c->index)) {
    NoteVoice(s, c->index, file);
    DuckForVoice(s, *c);
    s.sounds.ApplySettings(s.options);
  }
  c->request.file = file;
  c->request.fadingOut = false;
  c->request.playing = true;
  // The new sound starts afresh: a pause of the one before it is over.
  c->request.paused = false;
  return R::kContinue;
}

R SoundRun(const S& s, const CommandCall& call) {
  auto c = Target(s, call);
  if (!c) return R::kContinue;
  SoundChannel& sound = c->sound;
  Request& request = c->request;
  const bool fade = call.Is(2, "ON");
  const uint32_t ms = Milliseconds(s, call.Arg(3));
  if (!fade) {
    sound.SetFadeLevel(0);  // cancels any running fade
    request.fadingOut = false;
  }
  if (call.Is(1, "Play")) {
    if (fade) {
      sound.FadeIn(ms, true);
      if (sound.IsPaused()) sound.PauseToggle();
      else sound.PlayAgain();
    } else {
      if (sound.IsPaused()) sound.PauseToggle();
      else if (MayStart(s, c->index)) sound.PlayAgain();
      DuckForVoice(s, *c);
      s.sounds.ApplySettings(s.options);
    }
    request.playing = true;
    request.paused = false;
  } else if (call.Is(1, "Pause")) {
    const bool resumes = sound.IsPaused();
    sound.PauseToggle();
    request.playing = resumes;
    request.paused = !resumes;
  } else if (call.Is(1, "Stop")) {
    if (fade) {
      sound.FadeOutAndStop(ms, true);
      request.fadingOut = true;
    } else {
      sound.Stop();
    }
    request.playing = false;
    request.paused = false;
  }
  return R::kContinue;
}

R SoundLoop(const S& s, const CommandCall& call) {
  if (auto c = Target(s, call)) c->sound.SetLoop(!call.Is(1, "OFF"));
  return R::kContinue;
}

R SoundDir(const S& s, const CommandCall& call) {
  if (auto c = Target(s, call)) c->sound.SetPan(call.Is(1, "Left") ? -10000 : call.Is(1, "Right") ? 10000 : 0);
  return R::kContinue;
}

R SoundMute(const S& s, const CommandCall& call) {
  if (auto c = Target(s, call)) c->sound.SetScriptMute(call.Is(1, "ON"));
  return R::kContinue;
}

R SoundVolume(const S& s, const CommandCall& call) {
  auto c = Target(s, call);
  if (!c) return R::kContinue;
  const int32_t volume = std::clamp(s.variables.Evaluate(call.Arg(1)), kVolumeSilent, 0);
  const uint32_t ms = Milliseconds(s, call.Arg(2));
  if (ms > 0)
    c->sound.RampScriptVolume(ms, volume);
  else
    c->sound.SetScriptVolume(volume);
  return R::kContinue;
}

R SoundLoopPos(const S& s, const CommandCall& call) {
  auto c = Target(s, call);
  if (!c) return R::kContinue;
  const int32_t ms = s.variables.Evaluate(call.Arg(1));
  if (ms < 0) {
    ZAN_WARN("script: SoundLoopPos %d: a loop position of %d ms is before the start; ignored",
            c->index, ms);
    return R::kContinue;
  }
  c->sound.SetLoopPosition(ms != 0, static_cast<uint32_t>(ms));
  return R::kContinue;
}

R SoundFade(const S& s, const CommandCall& call) {
  auto c = Target(s, call);
  if (!c) return R::kContinue;
  const uint32_t ms = Milliseconds(s, call.Arg(2));
  // Both go on from the current level; a fade-out leaves the channel playing at silence.
  const bool in = call.Is(1, "In");
  if (in) c->sound.FadeIn(ms, false);
  else c->sound.FadeOut(ms, false);
  c->request.fadingOut = !in;
  return R::kContinue;
}

}  // namespace

void RegisterSoundCommands(CommandTable& table, const SoundCommandServices& services) {
  SetHandlers(table, services, {
      {"SoundInit", SoundInit}, {"SoundLoad", SoundLoad},       {"SoundPlay", SoundPlay},
      {"SoundRun", SoundRun},   {"SoundLoop", SoundLoop},       {"SoundDir", SoundDir},
      {"SoundMute", SoundMute}, {"SoundVolume", SoundVolume},   {"SoundLoopPos", SoundLoopPos},
      {"SoundFade", SoundFade},
  });
}

}  // namespace zan
