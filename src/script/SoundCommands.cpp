// The Sound* commands: the script's twelve sound channels (0 and 1 music, 2 to 5 effects,
// 6 to 11 voices). Each command names its channel first, as a number or an integer
// variable; a channel outside 0..11 makes the command do nothing. Keywords ignore case.
// Every command keeps the channel's record (what a save stores) in step with what it did,
// and all of them read on.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "script/CommandTable.h"
#include "script/Interpreter.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;

static_assert(kSoundRecordCount == SoundChannelBank::kScriptChannels);

constexpr int kFirstVoice = 6;
constexpr int kLastPageVoice = 10;  // channel 11's voice is not kept with the page

struct Channel {
  int index;
  SoundChannel& sound;
  SoundChannelRecord& record;
};

std::optional<Channel> Target(Interpreter& game, const CommandCall& call) {
  const int32_t index = game.Variables().Evaluate(call.Arg(0));
  SoundChannel* sound = game.Sounds().Channel(index);
  if (!sound) return std::nullopt;
  return Channel{index, *sound, game.SoundRecords()[static_cast<size_t>(index)]};
}

// A time argument in ms; a negative one counts as none (not as a fade of 49 days).
uint32_t Milliseconds(Interpreter& game, const std::string& argument) {
  return static_cast<uint32_t>(std::max(0, game.Variables().Evaluate(argument)));
}

bool IsVoice(int index) { return ChannelKind(index) == SoundKind::kVoice; }

// Voices stay silent while the player skips.
bool MayStart(Interpreter& game, int index) {
  return !(IsVoice(index) && game.Options().skipMode);
}

// A name the record cannot hold whole is refused rather than cut into another file's name.
bool FileFits(const CommandCall& call, const std::string& file) {
  if (SoundChannelRecord::FitsFileField(file)) return true;
  ZAN_WARN("script: %s: the sound file name \"%s\" is longer than 31 bytes; ignored",
          call.name.c_str(), SjisToUtf8(file).c_str());
  return false;
}

// Voices loaded for the page being shown are kept with it for the backlog.
void NoteVoice(Interpreter& game, int index, const std::string& file) {
  if (index >= kFirstVoice && index <= kLastPageVoice)
    game.History().SetVoice(index - kFirstVoice, file);
}

// A voice that now sounds lowers the music (when the player wants that) until no voice
// sounds any more.
void DuckForVoice(Interpreter& game, const Channel& c) {
  if (game.Options().duckMusicForVoice && IsVoice(c.index) && c.sound.IsPlaying())
    game.SetDucked(1);
}

// A file that cannot be read leaves the channel without sound, rather than with the sound
// it held before (which a play would start again).
void LoadOrSilence(SoundChannel& sound, const std::string& file) {
  if (sound.Load(file) == 0) sound.Release();
}

void ClearChannel(Interpreter& game, int index) {
  SoundChannel& sound = *game.Sounds().Channel(index);
  sound.Release();
  // The channel forgets the script's settings with its record, so a save made later does
  // not record a volume, pan or loop other than the one that plays.
  sound.Reset();
  game.SoundRecords()[static_cast<size_t>(index)] = {};
}

R SoundInit(Interpreter& game, const CommandCall& call) {
  if (call.Is(0, "ALL")) {
    for (int i = 0; i < kSoundRecordCount; ++i) ClearChannel(game, i);
  } else if (auto c = Target(game, call)) {
    ClearChannel(game, c->index);
  }
  return R::kContinue;
}

R SoundLoad(Interpreter& game, const CommandCall& call) {
  auto c = Target(game, call);
  if (!c || !FileFits(call, call.Arg(1))) return R::kContinue;
  const std::string& file = call.Arg(1);
  LoadOrSilence(c->sound, file);
  game.ApplyVolumes();
  NoteVoice(game, c->index, file);
  // Only the name changes: the channel keeps its loop, mute, volume, pan and loop position,
  // and so does its record.
  c->record.file = file;
  return R::kContinue;
}

R SoundPlay(Interpreter& game, const CommandCall& call) {
  auto c = Target(game, call);
  if (!c || !FileFits(call, call.Arg(1))) return R::kContinue;
  const std::string& file = call.Arg(1);
  SoundChannel& sound = c->sound;
  LoadOrSilence(sound, file);
  game.ApplyVolumes();
  if (call.Is(2, "ON"))
    sound.FadeIn(Milliseconds(game, call.Arg(3)), true);
  else
    sound.SetFadeLevel(0);
  if (MayStart(game, c->index)) sound.PlayAgain();
  if (IsVoice(c->index)) {
    NoteVoice(game, c->index, file);
    DuckForVoice(game, *c);
    game.ApplyVolumes();
  }
  c->record.file = file;
  c->record.fadingOut = 0;
  c->record.playing = 1;
  // The new sound starts afresh: a pause of the one before it is over.
  c->record.paused = 0;
  return R::kContinue;
}

R SoundRun(Interpreter& game, const CommandCall& call) {
  auto c = Target(game, call);
  if (!c) return R::kContinue;
  SoundChannel& sound = c->sound;
  SoundChannelRecord& record = c->record;
  const bool fade = call.Is(2, "ON");
  const uint32_t ms = Milliseconds(game, call.Arg(3));
  if (!fade) {
    sound.SetFadeLevel(0);  // cancels any running fade
    record.fadingOut = 0;
  }
  if (call.Is(1, "Play")) {
    if (fade) {
      sound.FadeIn(ms, true);
      if (sound.IsPaused()) sound.PauseToggle();
      else sound.PlayAgain();
    } else {
      if (sound.IsPaused()) sound.PauseToggle();
      else if (MayStart(game, c->index)) sound.PlayAgain();
      DuckForVoice(game, *c);
      game.ApplyVolumes();
    }
    record.playing = 1;
    record.paused = 0;
  } else if (call.Is(1, "Pause")) {
    const bool resumes = sound.IsPaused();
    sound.PauseToggle();
    record.playing = resumes ? 1 : 0;
    record.paused = resumes ? 0 : 1;
  } else if (call.Is(1, "Stop")) {
    if (fade) {
      sound.FadeOutAndStop(ms, true);
      record.fadingOut = 1;
    } else {
      sound.Stop();
    }
    record.playing = 0;
    record.paused = 0;
  }
  return R::kContinue;
}

R SoundLoop(Interpreter& game, const CommandCall& call) {
  if (auto c = Target(game, call)) {
    const bool loop = !call.Is(1, "OFF");
    c->sound.SetLoop(loop);
    c->record.loop = loop ? 1 : 0;
  }
  return R::kContinue;
}

R SoundDir(Interpreter& game, const CommandCall& call) {
  if (auto c = Target(game, call)) {
    const int32_t pan = call.Is(1, "Left") ? -10000 : call.Is(1, "Right") ? 10000 : 0;
    c->sound.SetPan(pan);
    c->record.pan = pan;
  }
  return R::kContinue;
}

R SoundMute(Interpreter& game, const CommandCall& call) {
  if (auto c = Target(game, call)) {
    const bool mute = call.Is(1, "ON");
    c->sound.SetScriptMute(mute);
    c->record.mute = mute ? 1 : 0;
  }
  return R::kContinue;
}

R SoundVolume(Interpreter& game, const CommandCall& call) {
  auto c = Target(game, call);
  if (!c) return R::kContinue;
  const int32_t volume = std::clamp(game.Variables().Evaluate(call.Arg(1)), kVolumeSilent, 0);
  const uint32_t ms = Milliseconds(game, call.Arg(2));
  if (ms > 0)
    c->sound.RampScriptVolume(ms, volume);
  else
    c->sound.SetScriptVolume(volume);
  c->record.volume = volume;
  return R::kContinue;
}

R SoundLoopPos(Interpreter& game, const CommandCall& call) {
  auto c = Target(game, call);
  if (!c) return R::kContinue;
  const int32_t ms = game.Variables().Evaluate(call.Arg(1));
  if (ms < 0) {
    ZAN_WARN("script: SoundLoopPos %d: a loop position of %d ms is before the start; ignored",
            c->index, ms);
    return R::kContinue;
  }
  c->sound.SetLoopPosition(ms != 0, static_cast<uint32_t>(ms));
  c->record.loopPosition = ms;
  return R::kContinue;
}

R SoundFade(Interpreter& game, const CommandCall& call) {
  auto c = Target(game, call);
  if (!c) return R::kContinue;
  const uint32_t ms = Milliseconds(game, call.Arg(2));
  // Both go on from the current level; a fade-out leaves the channel playing at silence.
  if (call.Is(1, "In")) {
    c->sound.FadeIn(ms, false);
    c->record.fadingOut = 0;
  } else {
    c->sound.FadeOut(ms, false);
    c->record.fadingOut = 1;
  }
  return R::kContinue;
}

}  // namespace

void RegisterSoundCommands(CommandTable& table) {
  table.SetHandler("SoundInit", SoundInit);
  table.SetHandler("SoundLoad", SoundLoad);
  table.SetHandler("SoundPlay", SoundPlay);
  table.SetHandler("SoundRun", SoundRun);
  table.SetHandler("SoundLoop", SoundLoop);
  table.SetHandler("SoundDir", SoundDir);
  table.SetHandler("SoundMute", SoundMute);
  table.SetHandler("SoundVolume", SoundVolume);
  table.SetHandler("SoundLoopPos", SoundLoopPos);
  table.SetHandler("SoundFade", SoundFade);
}

}  // namespace zan
