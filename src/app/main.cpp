// zan: plays the game in a folder. Picks the platform backend, builds the application
// object and runs it in the fixed entry order.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/GameApp.h"
#include "app/GameFolder.h"
#include "app/Harness.h"
#include "app/InputTimeline.h"
#include "app/Version.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "surface/SurfaceFormat.h"
#include "display/Screenshot.h"
#include "platform/Files.h"
#include "platform/WavFileWriter.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl2/Sdl2Platform.h"

namespace {

zan::GameFolderChoice GameFolderOf(const std::string& given) {
  return zan::ChooseGameFolder(given, zan::CurrentFolder(), zan::kDemoGameDir);
}

}  // namespace

int main(int argc, char** argv) {
  auto options = zan::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!options) {
    std::fprintf(stderr, "zan: %s\n", options.error().message.c_str());
    return 2;
  }
  if (options->help) {
    // The keys of the game that would be played, else the demo's.
    const zan::GameFolderChoice game = GameFolderOf(options->gameDir);
    std::fputs(zan::HelpText().c_str(), stdout);
    std::fputs(zan::KeysHelpText(game.folder.empty() ? zan::kDemoGameDir : game.folder).c_str(), stdout);
    return 0;
  }
  if (options->version) {
    std::fputs(zan::VersionText().c_str(), stdout);
    return 0;
  }

  if (zan::Status paths = zan::CheckOutputPaths(*options); !paths) {
    std::fprintf(stderr, "zan: %s\n", paths.error().message.c_str());
    return 2;
  }
  zan::Diagnostics().SetVerbose(options->verbose || zan::VerboseByEnvironment());

  zan::Harness harness;
  if (!options->inputFile.empty()) {
    auto timeline = zan::InputTimeline::Load(options->inputFile);
    if (!timeline) {
      std::fprintf(stderr, "zan: %s\n", timeline.error().message.c_str());
      return 2;
    }
    harness.SetTimeline(std::move(*timeline));
  }
  harness.SetClickEvery(options->clickEvery);
  harness.SetFrameLimit(options->frames);
  // Without a seed a windowed game starts from the time of day, so each play draws other
  // numbers; a headless run takes its clock's fixed start and repeats.
  if (!options->seed && !options->headless) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    options->seed = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
  harness.SetSeed(options->seed);
  if (!options->startScript.empty()) {
    auto script = zan::TryUtf8ToSjis(options->startScript);
    if (!script) {
      std::fprintf(stderr, "zan: --start %s has no Shift-JIS form\n", options->startScript.c_str());
      return 2;
    }
    harness.SetStartScript(*script);
  }
  if (!options->dumpVars.empty()) harness.SetDumpVarsPath(zan::AbsolutePath(options->dumpVars));
  // A path that names no folder is refused before anything is created.
  const zan::GameFolderChoice game = GameFolderOf(options->gameDir);
  if (game.refusal == zan::GameFolderChoice::Refusal::kNoSuchFolder) {
    std::fprintf(stderr, "zan: %s\n", game.message.c_str());
    return 2;
  }

  std::unique_ptr<zan::Platform> platform;
  if (options->headless) {
    platform = std::make_unique<zan::HeadlessPlatform>();
  } else {
    platform = std::make_unique<zan::Sdl2Platform>();
  }
  platform->GetPresenter().SetDisplayFormat(zan::DisplayFormatOf(options->pixelFormat));
  if (game.refusal == zan::GameFolderChoice::Refusal::kNoGame) {
    platform->GetMessageBoxes().Show(zan::TryUtf8ToSjis(game.message).value_or(game.message), "zan",
                                     zan::kErrorBox);
    return 1;
  }

  zan::WavFileWriter audioCapture;
  if (!options->audioOut.empty()) {
    if (auto opened = audioCapture.Open(options->audioOut, zan::AudioOut::kRate,
                                        zan::AudioOut::kChannels);
        !opened) {
      std::fprintf(stderr, "zan: %s\n", opened.error().message.c_str());
      return 2;
    }
    platform->GetAudioOut().SetCaptureSink(
        [&audioCapture](std::span<const int16_t> samples) { audioCapture.Append(samples); });
  }

  FILE* frameHashes = nullptr;
  if (!options->frameHashes.empty()) {
    frameHashes = std::fopen(options->frameHashes.c_str(), "w");
    if (frameHashes == nullptr) {
      std::fprintf(stderr, "zan: --frame-hashes: cannot write %s\n", options->frameHashes.c_str());
      return 2;
    }
  }

  int exitCode = 0;
  {
    zan::GameApp app(*platform, harness);
    app.SetFullRedraw(options->fullRedraw);
    if (frameHashes != nullptr)
      // The screen is hashed again only after a present: until then it shows the same.
      harness.AddFrameHook([&app, frameHashes, presents = ~uint64_t{0}, hash = uint64_t{0}](uint64_t f) mutable {
        zan::Display& display = app.GetDisplay();
        if (display.PresentedFrames() != presents || display.PixelFormatCode() == 0) {
          presents = display.PresentedFrames();
          hash = zan::ScreenHash(display);
        }
        std::fprintf(frameHashes, "%llu %016llx\n", static_cast<unsigned long long>(f),
                     static_cast<unsigned long long>(hash));
      });
    for (const auto& [frame, path] : options->screenshots) {
      harness.AddFrameHook([&app, frame = frame, path = path](uint64_t f) {
        if (f != frame) return;
        if (zan::Status s = zan::SaveScreenshot(app.GetDisplay(), path); !s)
          std::fprintf(stderr, "zan: screenshot: %s\n", s.error().message.c_str());
      });
    }
    if (!app.CheckSingleInstance() || !app.LocateGameData(0, game.folder)) {
      exitCode = 1;
    } else {
      // A state folder of its own exists from the start: the error log is written into it.
      const std::string state = zan::StateFolderFor(game, zan::IsWritableFolder(game.folder), zan::DataHome());
      if (state != game.folder) zan::CreateFolder(state);
      app.Data().SetStateFolder(state);
      app.FrameSetup(zan::Sjis("ＴＯＲＡＭＩTRIAL Ver."), "ZAN_ADV_SYSTEM_APP_TORAMI_TRIAL_CLASS");
      app.Run(800, 600);
      if (app.StartFailed()) exitCode = app.StartFailureStatus();
    }
  }
  platform->GetAudioOut().SetCaptureSink(nullptr);
  audioCapture.Close();
  if (frameHashes != nullptr) std::fclose(frameHashes);
  return exitCode;
}
