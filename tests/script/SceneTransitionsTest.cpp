// The story and its transitions on the virtual clock: a new game's 1000 ms cross holds the
// script until the frame after it ends, a restored scene crosses in the same way
// (Interpreter::CrossToCurrentScene), a second cross cannot start over a running one and
// holds nothing, and a story that returns to the title during its cross takes the cross
// with it.
//
// Frames are 33 ms; a cross started at 0 ms reaches its level 255 (elapsed / 3) in the first
// frame drawn at 765 ms or later: frame 24 (792 ms), counting the frame drawn at 0 ms as 0.
// The story, started again in that frame's drawing, runs in frame 25.

#include <gtest/gtest.h>

#include "ScriptTestGame.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

using testing::ScriptTestGame;

constexpr int kCrossEnd = (765 + 32) / 33;  // 24: the first frame drawn at 765 ms or later
constexpr int kCrossFrames = kCrossEnd + 1;  // the frames run before the story runs again

class SceneTransitionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSurfaceFormatCode(8888);
    target.Create(800, 600);
    game.WriteArchives({{"main.txt", "<Mov done, 1>\n<TW 100>\n<Mov done, 2>\n<KW>"}},
                       {{"variable.csv", "種類,名前,初期値,最小,最大\nINT,done,0,0,100\n"}});
    game.Open(false);
    game.SetFrame(target);
    game.AttachTransitions(target);
    game.Game().StartGame("main.txt");
  }
  void TearDown() override { SetSurfaceFormatCode(0); }

  Surface target;
  ScriptTestGame game{"scenes"};
};

TEST_F(SceneTransitionsTest, ANewGameRunsItsScriptTheFrameAfterItsCrossEnds) {
  game.Frames(kCrossEnd);
  EXPECT_FALSE(game.Game().IsRunning());
  // The cross ends in this frame's drawing and starts the story again.
  game.Frames(1);
  EXPECT_TRUE(game.Game().IsRunning());
  EXPECT_EQ(game.Var("done"), 0);
  game.Frames(1);
  EXPECT_EQ(game.Var("done"), 1);
}

TEST_F(SceneTransitionsTest, ARestoredSceneCrossesInAndHoldsTheStoryMeanwhile) {
  game.Frames(kCrossFrames + 1);
  ASSERT_EQ(game.Var("done"), 1);
  // From here the frames count from 0 again.
  // The story waits 100 ms; the cross holds it far longer.
  ASSERT_TRUE(game.Game().CrossToCurrentScene(1000));
  game.Frames(kCrossFrames);
  EXPECT_EQ(game.Var("done"), 1);
  game.Frames(1);
  EXPECT_EQ(game.Var("done"), 2);
}

TEST_F(SceneTransitionsTest, ACrossOverARunningOneDoesNotStartAndHoldsNothingMore) {
  game.Frames(3);
  EXPECT_FALSE(game.Game().CrossToCurrentScene(1000));
  game.Frames(kCrossFrames - 3);
  EXPECT_EQ(game.Var("done"), 0);
  game.Frames(1);
  EXPECT_EQ(game.Var("done"), 1);
}

TEST_F(SceneTransitionsTest, ANewGameAfterAReturnToTheTitleHasACrossOfItsOwn) {
  // The story leaves during its cross; the cross it waited for goes with it, so the next
  // game's cross can start (one transition runs at a time) and holds that game in turn.
  game.Frames(3);
  game.Game().ReturnToTitle();
  game.Frames(1);
  game.Game().StartGame("main.txt");
  game.Frames(kCrossEnd);
  EXPECT_FALSE(game.Game().IsRunning());
  EXPECT_EQ(game.Var("done"), 0);
  game.Frames(2);
  EXPECT_EQ(game.Var("done"), 1);
}

}  // namespace
}  // namespace zan
