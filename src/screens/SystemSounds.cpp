#include "screens/SystemSounds.h"

#include "script/ScriptSounds.h"

namespace zan {

SystemSounds::SystemSounds(TaskScheduler& tasks, SoundManager& manager, SoundFileReader reader,
                           const OptionsBlock& options)
    : bank_(kChannels, false, tasks, manager, std::move(reader)), options_(options) {}

void SystemSounds::ApplySettings() { bank_.ApplySettings(SoundSettingsOf(options_), false, false); }

void SystemSounds::Play(int channel, std::string_view file, bool loop, uint32_t fadeMs) {
  bank_.PlaySystem(channel, file, loop, fadeMs, SoundSettingsOf(options_), false);
}

void SystemSounds::Stop(int channel, uint32_t fadeMs) { bank_.StopSystem(channel, fadeMs); }

void SystemSounds::PauseToggle(int channel) { bank_.PauseToggle(channel); }

bool SystemSounds::IsPlaying(int channel) { return bank_.IsPlaying(channel); }

uint32_t SystemSounds::PlayPositionMs(int channel) { return bank_.PlayPositionMs(channel); }

void SystemSounds::StopAll(int keep) { bank_.StopAll(keep); }

}  // namespace zan
