// The story in the frame: the layers the interpreter adds to the compositor draw in their
// order (the scene, the mask choice's hover picture, the zoom windows, the message window,
// the regular choice), the stage only while the interpreter runs, the rest while the
// message window runs.

#include <gtest/gtest.h>

#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "ScriptTestGame.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

using test::BmpForm;
using test::FlatBmp;
using testing::ScriptTestGame;

const Rgb kRed{200, 0, 0};
const Rgb kBlue{0, 0, 200};
const Rgb kGreen{0, 160, 0};
const Rgb kYellow{220, 220, 0};
const Rgb kMagenta{200, 0, 200};
const Rgb kBlack{0, 0, 0};

// A background red on the left half and blue on the right; a zoom window shows a blue part
// of it on the left, over the window's lower edge; the window (yellow, 800 x 200 at y = 60)
// lies under the choice's first button row (y = 80); the mask choice's hover picture (green)
// covers the screen while the pointer is on its region, which is everywhere.
const char* kScript = R"(<ImageLoad 0, bg.bmp, 0, 0>
<ZoomSrc 0, 600, 0, 200, 150>
<ZoomDst 0, 0, 200, 200, 150>
<ZoomVisible 0, ON>
<WinImage yellow.bmp>
<WinPos 0, 60>
<WinOn>
<SltMaskHitSet mask.bmp>
<SltMaskAdd 0, there, 10, 20, 30>
<SltMaskOverSet 0, hover.bmp>
<SltAdd 0, there, 一>
<SltRun>
[there]
)";

class StoryFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSurfaceFormatCode(8888);
    frame.Create(800, 600);
    game.WriteArchives({{"main.txt", kScript}});
    game.WritePictures(
        {{"bg.bmp", test::MakeBmp(800, 600, BmpForm::kRgb24, [](int32_t x, int32_t) { return x < 400 ? kRed : kBlue; })},
         {"yellow.bmp", FlatBmp(800, 200, BmpForm::kArgb32, kYellow)},
         {"mask.bmp", FlatBmp(800, 600, BmpForm::kRgb24, {10, 20, 30})},
         {"hover.bmp", FlatBmp(800, 600, BmpForm::kArgb32, kGreen)},
         {"選択肢.bmp", FlatBmp(800, 48, BmpForm::kArgb32, kMagenta)},
         {"選択肢_ON.bmp", FlatBmp(800, 48, BmpForm::kArgb32, kMagenta)}});
    game.Open(false);
    game.SetFrame(frame);
    G().StartGame("main.txt");
    G().InputReceiver().HandleEvent(InputEvent::PointerMove(700, 500));
    game.Frames(1);
    // The mask choice opens over the script's regular choice, which the script opened first.
    G().DispatchCommand("<SltMaskRun>");
  }
  void TearDown() override { SetSurfaceFormatCode(0); }
  Interpreter& G() { return game.Game(); }
  Rgb At(int32_t x, int32_t y) { return test::Colour(frame, x, y); }
  void Frame() {
    frame.FillAll(0, 0, 0);
    game.Frames(1);
  }

  Surface frame;
  ScriptTestGame game{"storyframe"};
};

TEST_F(StoryFrameTest, TheLayersDrawInTheirOrder) {
  ASSERT_TRUE(G().Choices().Open());
  ASSERT_TRUE(G().Choices().MaskOpen());
  Frame();
  EXPECT_EQ(At(700, 500), kGreen);    // the hover picture over the scene
  EXPECT_EQ(At(50, 300), kBlue);      // the zoom window over the hover picture
  EXPECT_EQ(At(50, 230), kYellow);    // the message window over the zoom window
  EXPECT_EQ(At(400, 100), kMagenta);  // the choice's button over the message window
  EXPECT_EQ(At(400, 200), kYellow);   // no second button
}

TEST_F(StoryFrameTest, TheStageShowsWhileTheInterpreterRunsTheRestWhileTheWindowDoes) {
  // A transition in the interpreter's place: the interpreter is out of the task list.
  G().End();
  Frame();
  EXPECT_EQ(At(700, 500), kBlack);
  EXPECT_EQ(At(50, 300), kBlue);
  EXPECT_EQ(At(50, 230), kYellow);
  EXPECT_EQ(At(400, 100), kMagenta);
  // The window ends with the story.
  game.MessageWindow().End();
  Frame();
  for (auto [x, y] : {std::pair{700, 500}, {50, 300}, {50, 230}, {400, 100}}) EXPECT_EQ(At(x, y), kBlack) << x;
}

}  // namespace
}  // namespace zan
