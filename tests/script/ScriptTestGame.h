#pragma once
// A small game folder for the script tests: scripts and tables given as UTF-8 text with
// LF line ends are written as Shift-JIS with CR LF into archives made by the independent
// test writer, opened through the game data reader. Everything the interpreter needs is
// built around it on the headless platform's virtual clock, the message window task and the
// frame compositor included (pages type themselves out; without a frame given, the layers
// draw into an empty surface, which holds no pixels); with EnableSound the channels play on
// the headless device and what it mixes is kept.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "core/ErrorReporter.h"
#include "core/TaskScheduler.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/GameData.h"
#include "frame/FrameCompositor.h"
#include "surface/Surface.h"
#include "message/MessageWindowTask.h"
#include "message/GlyphRasterizer.h"
#include "message/MessageArea.h"
#include "message/MessageLayout.h"
#include "platform/headless/HeadlessPlatform.h"
#include "script/Interpreter.h"
#include "script/ReadFlagStore.h"
#include "script/ScriptLoader.h"
#include "script/VariableTable.h"
#include "sound/SoundManager.h"

namespace zan::testing {

class ScriptTestGame {
 public:
  using Files = std::map<std::string, std::string>;  // UTF-8 name -> UTF-8 text

  explicit ScriptTestGame(const std::string& tag) {
    dir_ = std::filesystem::temp_directory_path() /
           ("zan_script_" + tag + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    Diagnostics().SetEcho(false);
    platform_.GetMessageBoxes().SetQuiet(true);
    tasks_.AddTask(&compositor_, kOrderDraw);
  }
  ~ScriptTestGame() {
    game_.reset();
    platform_.GetAudioOut().SetCaptureSink(nullptr);
    messageWindow_.End();
    std::filesystem::remove_all(dir_);
  }

  // Writes msg.arc from `scripts` and dat.arc from `tables` (replacing earlier ones).
  void WriteArchives(const Files& scripts, const Files& tables = {}) {
    auto pack = [&](const Files& files, const char* archive) {
      std::vector<TestEntry> entries;
      for (const auto& [name, text] : files) {
        entries.push_back({Sjis(name), GameBytes(text), false});
      }
      WriteBytes((dir_ / archive).string(), WriteTestArchive(entries, "Rod7Q", true));
    };
    pack(scripts, "msg.arc");
    pack(tables, "dat.arc");
  }

  // Writes snd.arc from `sounds` and gra.arc from `pictures` (UTF-8 name -> file bytes).
  void WriteSounds(const std::map<std::string, std::vector<uint8_t>>& sounds) { WriteFiles(sounds, "snd.arc"); }
  void WritePictures(const std::map<std::string, std::vector<uint8_t>>& pictures) {
    WriteFiles(pictures, "gra.arc");
  }

  // Opens the sound device; from then on the stereo 44.1 kHz mix is kept in Mixed().
  void EnableSound() {
    sound_.Init(platform_.GetAudioOut(), platform_.GetClock());
    platform_.GetAudioOut().SetCaptureSink(
        [this](std::span<const int16_t> s) { mixed_.insert(mixed_.end(), s.begin(), s.end()); });
  }
  const std::vector<int16_t>& Mixed() const { return mixed_; }

  // Opens the archives and builds the services and the interpreter. With `readFlags` the
  // read-flag table is built (and "sys/kidoku.dat" applied) as at start-up.
  void Open(bool readFlags = true) {
    game_.reset();
    report_ = std::make_unique<ErrorReporter>(&platform_.GetMessageBoxes());
    report_->Setup(1, nullptr, (dir_ / "GameErrorLog.txt").string());
    data_ = std::make_unique<GameData>(*report_, platform_.GetMessageBoxes());
    data_->LocateGameData(0, dir_.string());
    data_->SetArchiveMode(1);
    data_->OpenGameArchives();
    script_ = std::make_unique<ScriptLoader>(*data_, &platform_.GetMessageBoxes());
    variables_ = std::make_unique<VariableTable>();
    readFlags_ = std::make_unique<ReadFlagStore>();
    if (readFlags) readFlags_->Load(*data_, *script_, report_.get());
    game_ = std::make_unique<Interpreter>(tasks_, *data_, *script_, *variables_, *readFlags_, sound_);
    EXPECT_TRUE(rasterizer_.InitRasterizer(platform_.GetFontInk()).ok());
    layout_ = std::make_unique<MessageLayout>(&rasterizer_, data_.get());
    layout_->LoadIconList();
    game_->Areas().Attach(*layout_);
    game_->Attach(messageWindow_, compositor_);
  }
  // The surface the frame is drawn into from now on.
  void SetFrame(Surface& frame) { compositor_.SetFrame(frame); }

  // Runs frames of phase 0 and 1, `ms` of virtual time each.
  void Frames(int count, uint32_t ms = 33) {
    for (int i = 0; i < count; ++i) {
      tasks_.RunFrame();
      platform_.GetClock().Advance(ms);
    }
  }
  // A click as DoAction delivers it: pressed in one frame, released the next.
  void Click() {
    game_->SetClickState(kClickPressed);
    Frames(1);
    game_->Click();
    Frames(1);
  }
  int32_t Var(std::string_view name) const { return variables_->IntValue(name); }

  std::filesystem::path Dir() const { return dir_; }
  HeadlessPlatform& Platform() { return platform_; }
  GameData& Data() { return *data_; }
  ScriptLoader& Script() { return *script_; }
  VariableTable& Variables() { return *variables_; }
  ReadFlagStore& ReadFlags() { return *readFlags_; }
  MessageWindowTask& MessageWindow() { return messageWindow_; }
  Interpreter& Game() { return *game_; }
  ErrorReporter& Report() { return *report_; }
  TaskScheduler& Tasks() { return tasks_; }

 private:
  void WriteFiles(const std::map<std::string, std::vector<uint8_t>>& files, const char* archive) {
    std::vector<TestEntry> entries;
    for (const auto& [name, bytes] : files) entries.push_back({Sjis(name), bytes, false});
    WriteBytes((dir_ / archive).string(), WriteTestArchive(entries, "Rod7Q", true));
  }

  std::filesystem::path dir_;
  HeadlessPlatform platform_;
  TaskScheduler tasks_{platform_.GetClock()};
  SoundManager sound_;
  std::unique_ptr<ErrorReporter> report_;
  std::unique_ptr<GameData> data_;
  std::unique_ptr<ScriptLoader> script_;
  std::unique_ptr<VariableTable> variables_;
  std::unique_ptr<ReadFlagStore> readFlags_;
  std::unique_ptr<Interpreter> game_;
  std::vector<int16_t> mixed_;
  GlyphRasterizer rasterizer_;
  std::unique_ptr<MessageLayout> layout_;
  Surface screen_;
  FrameCompositor compositor_{tasks_, screen_};
  MessageWindowTask messageWindow_{tasks_};
};

}  // namespace zan::testing
