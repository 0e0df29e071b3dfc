#pragma once
// A game folder for the screens' tests, in a folder of the process and test's own: the five
// archives, with the pictures and definition files given, opened by a game data reader.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "TestArchiveWriter.h"
#include "core/ErrorReporter.h"
#include "data/GameData.h"
#include "platform/InputEvent.h"
#include "platform/headless/HeadlessMessageBoxes.h"

namespace zan::test {

class ScreenTestGame {
 public:
  ScreenTestGame(const std::vector<testing::TestEntry>& pictures, const std::vector<testing::TestEntry>& definitions)
      : dir_(std::filesystem::temp_directory_path() /
             ("zan_screens_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    boxes_.SetQuiet(true);
    report_.Setup(1, nullptr, (dir_ / "GameErrorLog.txt").string());
    for (const char* name : {"msg.arc", "snd.arc", "dat.arc"})
      testing::WriteBytes((dir_ / name).string(), testing::WriteTestArchive({}, "Rod7Q", true));
    testing::WriteBytes((dir_ / "gra.arc").string(), testing::WriteTestArchive(pictures, "Rod7Q", true));
    testing::WriteBytes((dir_ / "system.arc").string(), testing::WriteTestArchive(definitions, "plume", true));
    EXPECT_TRUE(data_.LocateGameData(0, dir_.string()));
    data_.SetArchiveMode(1);
    data_.OpenGameArchives();
  }
  ~ScreenTestGame() { std::filesystem::remove_all(dir_); }

  GameData& Data() { return data_; }
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
  HeadlessMessageBoxes boxes_;
  ErrorReporter report_{&boxes_};
  GameData data_{report_, boxes_};
};

// The events of a key pressed and released, and of a left click at a point (the pointer
// moving there first), each handed to `offer`.
template <class Offer>
void KeyEvents(Offer offer, Key key) {
  offer(InputEvent::KeyDown(key));
  offer(InputEvent::KeyUp(key));
}
template <class Offer>
void ClickEvents(Offer offer, int32_t x, int32_t y) {
  offer(InputEvent::PointerMove(x, y));
  offer(InputEvent::ButtonDown(PointerButton::kLeft, x, y));
  offer(InputEvent::ButtonUp(PointerButton::kLeft, x, y));
}

}  // namespace zan::test
