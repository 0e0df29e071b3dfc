// The message window task: typing pace by text rate, the nine-frame fade-in, the
// page-advance icon, the name plate, the window picture and the player hiding the window,
// and its place in the task list.

#include "message/MessageWindowTask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../surface/TestSurfaces.h"
#include "FakeFontInk.h"
#include "core/TaskScheduler.h"
#include "base/ShiftJis.h"
#include "surface/Bitmap.h"
#include "message/GlyphRasterizer.h"
#include "message/MessageArea.h"
#include "message/MessageLayout.h"
#include "platform/headless/HeadlessPlatform.h"

namespace zan {
namespace {


class MessageWindowTaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSurfaceFormatCode(8888);
    ASSERT_TRUE(screen.Create(800, 600));
    task = std::make_unique<MessageWindowTask>(tasks);
    task->Attach(areas, {&clickWait, &skipMode, &rate, &typedAt});
    task->StartDrawing();
    for (MessageArea& area : areas.areas) {
      area.Reset({255, 255, 255});
      area.CreateGlyphSurface();
      // Glyphs as white opaque squares (the layout here has no rasteriser).
      area.GlyphSurface().FillAll(255, 255, 255);
      area.GlyphSurface().Alpha().Fill(255);
    }
  }
  void TearDown() override {
    task.reset();
    screen.Release();
    for (MessageArea& area : areas.areas) {
      area.GlyphSurface().Release();
      area.WindowPicture().Release();
    }
    areas.NamePlate().Release();
    areas.AdvanceIcon().Release();
    SetSurfaceFormatCode(0);
  }

  // One frame: the stage is black again, then the task draws; a page that finished typing
  // in it has noted the time.
  void Frame() {
    screen.FillAll(0, 0, 0);
    typedAt = -1;
    task->Draw(screen);
    if (typedAt != -1) typed.push_back(static_cast<uint32_t>(typedAt));
    platform.GetClock().Advance(33);
  }
  TextBuffer& Page(int32_t index = 0) { return areas.Area(index).Buffer(); }
  void Write(const char* utf8, int32_t index = 0) { areas.Append(index, Sjis(utf8)); }
  int32_t Revealed(int32_t index = 0) { return Page(index).RevealCursor(); }
  Rgb At(int32_t x, int32_t y) { return test::Colour(screen, x, y); }

  HeadlessPlatform platform;
  TaskScheduler tasks{platform.GetClock()};
  Surface screen;
  MessageAreas areas;
  std::unique_ptr<MessageWindowTask> task;
  bool clickWait = false;
  int32_t skipMode = 0;
  int32_t rate = 8;
  int32_t typedAt = -1;
  std::vector<uint32_t> typed;
};

TEST_F(MessageWindowTaskTest, TextRateSetsTheTypingPace) {
  struct Pace {
    int32_t rate;
    int frames;
    int32_t revealed;
  };
  // 7 and 8 reveal one character a frame, 9 two, 0 one every eight frames, 10 the page at
  // once; a settings file may hold any number: below 0 counts as 0, above 10 as 10.
  for (Pace p : {Pace{7, 5, 5}, Pace{8, 5, 5}, Pace{9, 5, 10}, Pace{0, 16, 2}, Pace{3, 10, 2},
                 Pace{-40, 16, 2}, Pace{99, 1, 15}}) {
    areas.Area(0).Clear();
    Write("あいうえおかきくけこさしすせそ");
    rate = p.rate;
    for (int i = 0; i < p.frames; ++i) Frame();
    EXPECT_EQ(Revealed(), p.revealed) << "rate " << p.rate;
  }
}

// A layout that draws speaker names with a one-sample ink map, attached to the areas.
struct NamePlateWriter {
  explicit NamePlateWriter(MessageAreas& areas) {
    fonts.Set({{0, 0}});
    EXPECT_TRUE(rasterizer.InitRasterizer(fonts).ok());
    areas.Attach(layout);
  }
  test::FakeFontInk fonts;
  GlyphRasterizer rasterizer;
  MessageLayout layout{&rasterizer, nullptr};
};

// The name plate is drawn with the settings of the area that speaks, not with those the
// layout last took from another area: a vertical area's speaker name asks the font for
// vertical glyphs, a horizontal one's for upright ones. The plate is 256 x 36 and the
// characters 24 pixels: upright the first line fits (the second, at y 24, passes the
// bottom), vertical both columns do (x = 256 - 24 and 256 - 2 x 24, from y 0).
TEST_F(MessageWindowTaskTest, TheNamePlateTakesTheSpeakingAreasSettings) {
  NamePlateWriter writer(areas);
  test::FakeFontInk& fonts = writer.fonts;
  ASSERT_TRUE(areas.NamePlate().Create(MessageAreas::kNamePlateWidth, MessageAreas::kNamePlateHeight));
  areas.Area(1).Settings().vertical = 1;
  for (int32_t speaker : {1, 0, 1}) {
    SCOPED_TRACE(speaker);
    areas.ApplySettings(1 - speaker);  // the layout holds the other area's settings
    fonts.characters.clear();
    areas.SetSpeaker(speaker, Sjis("灯") + "\r\n" + Sjis("星"));
    const std::vector<std::string> drawn =
        speaker == 1 ? std::vector<std::string>{Sjis("灯"), Sjis("星")} : std::vector<std::string>{Sjis("灯")};
    EXPECT_EQ(fonts.characters, drawn);
    EXPECT_EQ(fonts.last.vertical, speaker == 1);
    EXPECT_EQ(fonts.last.cellHeight % MessageAreas::kSpeakerSize, 0);  // the speaker's size
  }
}

// A vertical speaker's name shows in the plate's first column, the one that ends on its right
// edge: the ink sample at the top-left of the glyph box (x = 256 - 24, y = 0) is drawn.
TEST_F(MessageWindowTaskTest, AVerticalNamePlateShowsItsFirstColumn) {
  NamePlateWriter writer(areas);
  test::FakeFontInk& fonts = writer.fonts;
  ASSERT_TRUE(areas.NamePlate().Create(MessageAreas::kNamePlateWidth, MessageAreas::kNamePlateHeight));
  areas.Area(2).Settings().vertical = 1;
  areas.SetSpeaker(2, Sjis("灯"));
  const int32_t column = MessageAreas::kNamePlateWidth - MessageAreas::kSpeakerSize;
  EXPECT_EQ(fonts.characters, std::vector<std::string>{Sjis("灯")});
  EXPECT_GT(areas.NamePlate().Alpha().At(column, 0), 0);
}

TEST_F(MessageWindowTaskTest, APageThatFinishesTypingStampsTheAutoTime) {
  Write("あいう");
  rate = 8;
  Frame();
  Frame();
  EXPECT_TRUE(typed.empty());
  Frame();
  ASSERT_EQ(typed.size(), 1u);
  EXPECT_EQ(typed[0], platform.GetClock().Milliseconds() - 33);
  Frame();
  EXPECT_EQ(typed.size(), 1u);  // nothing left to type: no new stamp
  // Rate 10 shows a page at once, stamping only when something was still pending.
  rate = 10;
  Write("えお");
  Frame();
  EXPECT_EQ(Revealed(), 5);
  EXPECT_EQ(typed.size(), 2u);
  Frame();
  EXPECT_EQ(typed.size(), 2u);
}

TEST_F(MessageWindowTaskTest, ACharacterFadesInOverNineFrames) {
  areas.Area(0).SetWindowPosition(0, 400);
  Write("あ");
  rate = 8;
  Frame();  // revealed: state 1, drawn from the next frame
  EXPECT_EQ(Page().Cell(0).state, 1);
  const TextPoint at = Page().CellPosition(0, areas.Layout().Settings());
  const int32_t x = at.x + 5, y = 400 + at.y + 5;
  int previous = -1;
  for (int frame = 2; frame <= 10; ++frame) {
    Frame();
    EXPECT_EQ(Page().Cell(0).state, frame);
    const int level = At(x, y).r;
    EXPECT_GT(level, previous) << "frame " << frame;
    previous = level;
  }
  EXPECT_EQ(At(x, y), (Rgb{255, 255, 255}));
  EXPECT_LT(At(x, y - 2 * at.y).r, 255);  // nothing drawn above the text home
  Frame();
  EXPECT_EQ(Page().Cell(0).state, 10);
  EXPECT_EQ(At(x, y), (Rgb{255, 255, 255}));
}

TEST_F(MessageWindowTaskTest, ThePageAdvanceIconWaitsForTheLastCharacterToFinishFading) {
  Surface& icon = areas.AdvanceIcon();
  ASSERT_TRUE(icon.Create(256, 32));
  icon.FillAll(0, 0, 255);
  icon.Alpha().Fill(255);
  areas.Area(0).SetWindowPosition(0, 400);
  Write("あい");
  clickWait = true;
  rate = 8;
  auto iconShown = [&] { return At(750 + 16, 400 + 144 + 16) == (Rgb{0, 0, 255}); };
  int frames = 0;
  while (!Page().IsAllShown() && frames < 30) {
    Frame();
    ++frames;
    if (!Page().IsAllShown()) EXPECT_FALSE(iconShown()) << frames;
  }
  // Two reveals, then nine frames of fading for the last one.
  EXPECT_EQ(frames, 11);
  Frame();
  EXPECT_TRUE(iconShown());
  skipMode = 1;
  Frame();
  EXPECT_FALSE(iconShown());
  skipMode = 0;
  clickWait = false;
  Frame();
  EXPECT_FALSE(iconShown());
  // Eight frames of the strip, a new one every four frames.
  clickWait = true;
  const int32_t first = task->IconFrame();
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(task->IconFrame(), (first + 1) % 8);
}

TEST_F(MessageWindowTaskTest, TheWindowPictureAndNamePlateFollowTheHiddenFlags) {
  MessageArea& area = areas.Area(0);
  Surface& picture = area.WindowPicture();
  ASSERT_TRUE(picture.Create(800, 200));
  picture.FillAll(0, 0, 128);
  picture.Alpha().Fill(255);
  area.SetWindowPosition(0, 400);
  Surface& plate = areas.NamePlate();
  ASSERT_TRUE(plate.Create(256, 36));
  plate.FillAll(255, 0, 0);
  plate.Alpha().Fill(255);
  const Rgb navy{0, 0, 128};
  // Hidden (as a new game starts): neither is drawn.
  Frame();
  EXPECT_EQ(At(400, 590), (Rgb{0, 0, 0}));
  EXPECT_EQ(At(10, 430), (Rgb{0, 0, 0}));
  area.Settings().hidden = 0;
  Frame();
  EXPECT_EQ(At(400, 590), navy);
  EXPECT_EQ(At(10, 430), (Rgb{255, 0, 0}));  // the plate at (6, 28) from the window
  EXPECT_EQ(At(5, 430), navy);
  // The text shows too; the player hides the window: the next frame shows none of it.
  Write("あいう");
  Page().ShowAll();
  Frame();
  const TextPoint at = Page().CellPosition(0, areas.Layout().Settings());
  EXPECT_EQ(At(at.x + 4, 400 + at.y + 4), (Rgb{255, 255, 255}));
  areas.SetWindowHiddenByPlayer(1);
  EXPECT_EQ(area.Settings().fade, 255);
  Frame();
  EXPECT_EQ(area.Settings().fade, 0);
  EXPECT_EQ(At(400, 590), (Rgb{0, 0, 0}));
  EXPECT_EQ(At(10, 430), (Rgb{0, 0, 0}));
  EXPECT_EQ(At(at.x + 4, 400 + at.y + 4), (Rgb{0, 0, 0}));
  Frame();
  EXPECT_EQ(At(400, 590), (Rgb{0, 0, 0}));
  // Shown again: back at once.
  areas.SetWindowHiddenByPlayer(0);
  Frame();
  EXPECT_EQ(At(400, 590), navy);
  EXPECT_EQ(At(at.x + 4, 400 + at.y + 4), (Rgb{255, 255, 255}));
}

TEST(WindowPictureTest, TheTintMultipliesColoursAndOpacityScalesAlpha) {
  Bitmap picture;
  ASSERT_TRUE(picture.Create(2, 1, 1, 24));
  picture.Fill(0, 0, 1, 1, 128, 255, 10);
  picture.Fill(1, 0, 1, 1, 255, 255, 255);
  // Without an alpha plane the picture counts as opaque: alpha 255 x 190 / 255 = 190.
  TintPicture(picture, {119, 119, 119}, 190);
  EXPECT_EQ(picture.BitmapRow(0)[0], 10 * 119 / 255);   // blue
  EXPECT_EQ(picture.BitmapRow(0)[1], 119);              // green
  EXPECT_EQ(picture.BitmapRow(0)[2], 128 * 119 / 255);  // red
  EXPECT_EQ(picture.Alpha().At(0, 0), 190);
  EXPECT_EQ(picture.Alpha().At(1, 0), 190);
  picture.Alpha().Row(0)[1] = 100;
  TintPicture(picture, {255, 255, 255}, 128);
  EXPECT_EQ(picture.BitmapRow(0)[5], 119);
  EXPECT_EQ(picture.Alpha().At(1, 0), 100 * 128 / 255);
}

TEST_F(MessageWindowTaskTest, ItRunsAtItsOwnKeyWithoutAHandlerAndDrawsNothingUnattached) {
  EXPECT_EQ(task->OrderKey(), kOrderMessage);
  EXPECT_EQ(task->Description(), Sjis("CDrawMessage::【メッセージ表示を管理】"));
  // The compositor draws its layer: the task list runs no drawing of its own.
  areas.Area(0).Settings().hidden = 0;
  Surface& picture = areas.Area(0).WindowPicture();
  ASSERT_TRUE(picture.Create(800, 200));
  picture.FillAll(0, 0, 128);
  picture.Alpha().Fill(255);
  screen.FillAll(0, 0, 0);
  tasks.RunFrame();
  EXPECT_EQ(At(400, 100), (Rgb{0, 0, 0}));
  task->Draw(screen);
  EXPECT_EQ(At(400, 100), (Rgb{0, 0, 128}));
  MessageWindowTask unattached(tasks);
  screen.FillAll(0, 0, 0);
  unattached.Draw(screen);
  EXPECT_EQ(At(400, 100), (Rgb{0, 0, 0}));
}

TEST_F(MessageWindowTaskTest, AreasTypeTogetherAndShareTheTypingCounter) {
  Write("あいうえお", 0);
  Write("かきくけこ", 1);
  rate = 6;  // one character every two frames of the counter
  for (int i = 0; i < 4; ++i) Frame();
  // Both areas step the shared counter: four frames make eight steps, shared out.
  EXPECT_EQ(Revealed(0) + Revealed(1), 4);
  EXPECT_EQ(Revealed(2), 0);
}

}  // namespace
}  // namespace zan
