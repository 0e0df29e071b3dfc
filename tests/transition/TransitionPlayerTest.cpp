// The transition player in the task list: a transition drawn at the stage place of the frame
// from the frame it starts in, its completion callback run once on its caller when the last
// picture is drawn, one transition at a time, a refused start that runs nothing, a
// transition abandoned without its callback, and one started again in the frame it ended in.

#include "transition/TransitionPlayer.h"

#include <gtest/gtest.h>

#include <memory>

#include "../surface/TestSurfaces.h"
#include "core/TaskScheduler.h"
#include "frame/FrameCompositor.h"
#include "platform/VirtualClock.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

constexpr int32_t kW = 80;
constexpr int32_t kH = 60;

class TransitionPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSurfaceFormatCode(8888);
    screen.Create(kW, kH);
    screen.FillAll(0, 0, 0);
    old.Create(kW, kH);
    old.FillAll(0, 0, 0);
    next.Create(kW, kH);
    next.FillAll(255, 255, 255);
    tasks.AddTask(&compositor, kOrderDraw);
    player = std::make_unique<TransitionPlayer>(tasks, compositor, screen, kW, kH);
    story.Start(kOrderScreen);
  }
  void TearDown() override {
    player.reset();
    SetSurfaceFormatCode(0);
  }

  // A cross of `ms`; the story is held (suspended) while it runs, as the interpreter does.
  bool Cross(int32_t ms) {
    TransitionParams p;
    p.kind = TransitionKind::kCross;
    p.duration = ms;
    const bool started = player->Play(p, old, next, story, [this] {
      ++resumed;
      story.Start(kOrderScreen);
    });
    if (started) story.Suspend();
    return started;
  }
  // One frame, then the clock moves on by `ms`.
  void Frame(uint32_t ms = 33) {
    tasks.RunFrame();
    clock.Advance(ms);
  }
  int Grey() { return test::Colour(screen, kW / 2, kH / 2).r; }

  VirtualClock clock;
  TaskScheduler tasks{clock};
  Surface screen, old, next;
  FrameCompositor compositor{tasks, screen};
  GameTask story{tasks, "story", "story"};
  std::unique_ptr<TransitionPlayer> player;
  int resumed = 0;
};

TEST_F(TransitionPlayerTest, ACrossDrawsFromItsFirstFrameAndResumesItsCallerOnceAtTheEnd) {
  ASSERT_TRUE(Cross(1000));
  EXPECT_TRUE(player->Running());
  // Level elapsed / 3 (step 1000 >> 8 = 3, increment 1), drawn from the frame it starts in.
  Frame(300);  // drawn at 0 ms
  EXPECT_EQ(Grey(), 0);
  Frame(33);  // at 300 ms
  EXPECT_EQ(Grey(), 100);
  for (int i = 0; i < 12; ++i) Frame(33);  // the last at 696 ms
  EXPECT_EQ(Grey(), 232);
  Frame(33);  // 729 ms
  EXPECT_EQ(Grey(), 243);
  Frame(33);  // 762 ms
  EXPECT_EQ(Grey(), 254);
  EXPECT_EQ(resumed, 0);
  EXPECT_FALSE(story.IsRunning());
  Frame(33);  // 795 ms: 255, done
  EXPECT_EQ(Grey(), 255);
  EXPECT_EQ(resumed, 1);
  EXPECT_FALSE(player->Running());
  Frame(33);
  EXPECT_EQ(resumed, 1);
  EXPECT_TRUE(story.IsRunning());
}

TEST_F(TransitionPlayerTest, OneTransitionAtATime) {
  ASSERT_TRUE(Cross(100));
  EXPECT_FALSE(Cross(100));
  for (int i = 0; i < 5; ++i) Frame(33);
  EXPECT_EQ(resumed, 1);
  EXPECT_FALSE(player->Running());
  EXPECT_TRUE(Cross(100));
}

TEST_F(TransitionPlayerTest, ARefusedStartRunsNothing) {
  TransitionParams p;
  p.kind = TransitionKind::kPattern;  // without a pattern picture
  p.duration = 100;
  EXPECT_FALSE(player->Play(p, old, next, story, [this] { ++resumed; }));
  EXPECT_FALSE(player->Running());
  Frame(33);
  EXPECT_EQ(resumed, 0);
  EXPECT_EQ(Grey(), 0);
}

TEST_F(TransitionPlayerTest, AnAbandonedTransitionStopsWithoutItsCallback) {
  ASSERT_TRUE(Cross(1000));
  Frame(33);
  player->Abandon();
  EXPECT_FALSE(player->Running());
  for (int i = 0; i < 40; ++i) Frame(33);
  EXPECT_EQ(resumed, 0);
  EXPECT_FALSE(story.IsRunning());
}

// An abandoned or finished task stays in the list, ended, until the frame's sweep; a
// transition started again before that sweep must still run to its end and resume its caller.
TEST_F(TransitionPlayerTest, ATransitionAbandonedAndStartedAgainInOneFrameRuns) {
  ASSERT_TRUE(Cross(1000));
  Frame(33);
  player->Abandon();
  ASSERT_TRUE(Cross(100));
  EXPECT_TRUE(player->Running());
  // A 100 ms cross ends within five frames of 33 ms.
  for (int i = 0; i < 5; ++i) Frame(33);
  EXPECT_EQ(resumed, 1);
  EXPECT_EQ(Grey(), 255);
  EXPECT_FALSE(player->Running());
  Frame(33);
  EXPECT_TRUE(story.IsRunning());
}

TEST_F(TransitionPlayerTest, ATransitionStartedByTheCallbackOfTheOneThatJustEndedRuns) {
  int second = 0;
  TransitionParams p;
  p.kind = TransitionKind::kCross;
  p.duration = 100;
  ASSERT_TRUE(player->Play(p, old, next, story, [&] {
    ++resumed;
    EXPECT_TRUE(player->Play(p, old, next, story, [&] { ++second; }));
  }));
  for (int i = 0; i < 12 && resumed == 0; ++i) Frame(33);
  ASSERT_EQ(resumed, 1);
  EXPECT_TRUE(player->Running());
  for (int i = 0; i < 12 && second == 0; ++i) Frame(33);
  EXPECT_EQ(second, 1);
  EXPECT_FALSE(player->Running());
}

TEST_F(TransitionPlayerTest, TheOldSceneIsTheScreensSizeAndTakesThePictureOnIt) {
  screen.FillAll(10, 20, 30);
  ASSERT_TRUE(player->CaptureScreen());
  Surface* taken = player->OldScene();
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->Width(), kW);
  EXPECT_EQ(taken->Height(), kH);
  const Rgb c = test::Colour(*taken, kW - 1, kH - 1);
  EXPECT_EQ(c.r, 10);
  EXPECT_EQ(c.g, 20);
  EXPECT_EQ(c.b, 30);
}

}  // namespace
}  // namespace zan
