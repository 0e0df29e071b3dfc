// The screen kit's buttons: hit testing (edges inclusive, the zero-size rule, the last button
// wins), looks from table rows, the selection by pointer and keys, clicks, the focus walk,
// blocking by a dialog, and what they draw from a sprite sheet.

#include "screens/ScreenButtons.h"

#include <gtest/gtest.h>

#include "../surface/TestSurfaces.h"
#include "screens/ScreenPicture.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

using Kind = InputEvent::Kind;

ScreenButton Box(int32_t x, int32_t y, int32_t width, int32_t height) {
  ScreenButton b;
  b.rect = {x, y, width, height};
  return b;
}

InputEvent Move(int32_t x, int32_t y) { return InputEvent::PointerMove(x, y); }
InputEvent Down(int32_t x, int32_t y) { return InputEvent::ButtonDown(PointerButton::kLeft, x, y); }
InputEvent Up(int32_t x, int32_t y) { return InputEvent::ButtonUp(PointerButton::kLeft, x, y); }

TEST(ScreenButtonsTest, HitTestingTakesBothEdgesAndTheLastButtonThatHoldsThePoint) {
  ScreenButtons buttons;
  buttons.Add(Box(100, 50, 40, 20));  // 1
  buttons.Add(Box(130, 60, 40, 20));  // 2 overlaps 1
  struct Case {
    int32_t x, y, hit;
  };
  const Case cases[] = {
      {100, 50, 1}, {99, 50, 0},  {100, 49, 0},  // the top-left corner is inside, beyond it not
      {129, 70, 1}, {120, 71, 0}, {140, 59, 1},  // x = left + width and y = top + height are inside
      {141, 59, 0}, {130, 60, 2}, {140, 70, 2},  // the later button wins where both hold the point
      {170, 80, 2}, {171, 80, 0}, {170, 81, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(buttons.HitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(ScreenButtonsTest, AButtonWithoutAreaHiddenOrDisabledIsNeverHit) {
  const ScreenButton cases[] = {Box(0, 0, 0, 0), Box(0, 0, 0, 30), Box(0, 0, 30, 0), Box(0, 0, -5, 30), Box(0, 0, 30, -1)};
  for (const ScreenButton& b : cases) {
    ScreenButtons buttons;
    buttons.Add(b);
    // The corner, which an inclusive test of a zeroed rectangle would take.
    EXPECT_EQ(buttons.HitTest(0, 0), 0) << b.rect.width << "x" << b.rect.height;
    EXPECT_EQ(buttons.HitTest(b.rect.width, b.rect.height), 0);
  }
  ScreenButtons buttons;
  buttons.Add(Box(0, 0, 30, 30));
  buttons.Button(1).visible = false;
  EXPECT_EQ(buttons.HitTest(10, 10), 0);
  buttons.Button(1).visible = true;
  buttons.Button(1).enabled = false;
  EXPECT_EQ(buttons.HitTest(10, 10), 0);
  buttons.Button(1).enabled = true;
  EXPECT_EQ(buttons.HitTest(10, 10), 1);
}

TEST(ScreenButtonsTest, ButtonsFromTableRowsAndTheItemsTheFileLacks) {
  // Two rows of a title table (which reads 10); items 3..10 have no row and stay zeroed.
  ButtonTable table;
  table.rowLimit = 10;
  ButtonRow row;
  row.item = 1;
  row.rect = {300, 320, 200, 40};
  row.sources = {ButtonSource{0, 0}, ButtonSource{200, 0}, ButtonSource{400, 0}, ButtonSource{600, 0}};
  table.rows.push_back(row);
  row.item = 2;
  row.rect = {300, 370, 200, 40};
  row.sources[2] = {-1, 0};
  table.rows.push_back(row);
  ScreenButtons buttons;
  buttons.AddRows(table, 10);
  ASSERT_EQ(buttons.Count(), 10);
  EXPECT_EQ(buttons.Button(1).rect.y, 320);
  for (int32_t look = 0; look < kButtonLooks; ++look)
    EXPECT_EQ(buttons.Button(1).looks[static_cast<size_t>(look)].x, 200 * look);
  EXPECT_TRUE(buttons.Button(2).looks[2].MarkedNotDrawn());
  EXPECT_FALSE(buttons.Button(10).rect.HasArea());
  EXPECT_EQ(buttons.HitTest(0, 0), 0);  // the zeroed items do not take the corner
  EXPECT_EQ(buttons.HitTest(500, 410), 2);

  // A row of the 8-field table has one source: every look shows it.
  ButtonRow spot;
  spot.sources[0] = {288, 32};
  const ScreenButton b = ScreenButton::FromRow(spot, 1);
  for (const ButtonSource& s : b.looks) {
    EXPECT_EQ(s.x, 288);
    EXPECT_EQ(s.y, 32);
  }
}

TEST(ScreenButtonsTest, ThePointerSelectsAndAClickIsAPressAndReleaseOnOneButton) {
  ScreenButtons buttons;
  buttons.Add(Box(0, 0, 50, 50));    // 1
  buttons.Add(Box(100, 0, 50, 50));  // 2
  buttons.Reset(10, 10);
  EXPECT_EQ(buttons.Selected(), 1);  // the button under the pointer at the start
  EXPECT_EQ(buttons.LookOf(1), ButtonLook::kHovered);
  EXPECT_EQ(buttons.LookOf(2), ButtonLook::kNormal);

  buttons.HandleEvent(Down(10, 10));
  EXPECT_EQ(buttons.LookOf(1), ButtonLook::kPressed);
  buttons.HandleEvent(Move(75, 10));  // held, off the button: no look of its own
  EXPECT_EQ(buttons.Selected(), 0);
  EXPECT_EQ(buttons.LookOf(1), ButtonLook::kNormal);
  buttons.HandleEvent(Move(20, 20));  // back on it: pressed again
  EXPECT_EQ(buttons.LookOf(1), ButtonLook::kPressed);
  buttons.HandleEvent(Up(20, 20));
  EXPECT_EQ(buttons.TakeClicked(), 1);
  EXPECT_EQ(buttons.TakeClicked(), 0);  // taken once
  EXPECT_EQ(buttons.LookOf(1), ButtonLook::kHovered);

  // Pressed on one button and released on another: nothing.
  buttons.HandleEvent(Down(20, 20));
  buttons.HandleEvent(Up(120, 20));
  EXPECT_EQ(buttons.TakeClicked(), 0);
  EXPECT_EQ(buttons.Selected(), 2);
  // A release without its press (it was pressed before the screen opened): nothing.
  buttons.Reset(120, 20);
  buttons.HandleEvent(Up(120, 20));
  EXPECT_EQ(buttons.TakeClicked(), 0);
  // Pressed and released outside every button: nothing.
  buttons.HandleEvent(Down(75, 75));
  buttons.HandleEvent(Up(75, 75));
  EXPECT_EQ(buttons.TakeClicked(), 0);

  // A disabled button shows so, and is neither selected nor clicked.
  buttons.Button(2).enabled = false;
  buttons.HandleEvent(Down(120, 20));
  buttons.HandleEvent(Up(120, 20));
  EXPECT_EQ(buttons.TakeClicked(), 0);
  EXPECT_EQ(buttons.Selected(), 0);
  EXPECT_EQ(buttons.LookOf(2), ButtonLook::kDisabled);

  // A right click and Escape are cancels; a release whose press came before the buttons
  // heard of anything (the right click that opened the screen) is none.
  EXPECT_FALSE(buttons.TakeCancelled());
  buttons.HandleEvent(InputEvent::ButtonUp(PointerButton::kRight, 0, 0));
  buttons.HandleEvent(InputEvent::KeyUp(Key::kEscape));
  EXPECT_FALSE(buttons.TakeCancelled());
  buttons.HandleEvent(InputEvent::ButtonDown(PointerButton::kRight, 0, 0));
  buttons.HandleEvent(InputEvent::ButtonUp(PointerButton::kRight, 0, 0));
  EXPECT_TRUE(buttons.TakeCancelled());
  EXPECT_FALSE(buttons.TakeCancelled());
  buttons.HandleEvent(InputEvent::KeyDown(Key::kEscape));
  buttons.HandleEvent(InputEvent::KeyUp(Key::kEscape));
  EXPECT_TRUE(buttons.TakeCancelled());
}

TEST(ScreenButtonsTest, EnterClicksTheFocusedButtonAndShowsItPressedMeanwhile) {
  ScreenButtons buttons;
  buttons.Add(Box(0, 0, 50, 50));
  buttons.Add(Box(0, 100, 50, 50));
  buttons.Reset(400, 400);
  EXPECT_EQ(buttons.Selected(), 0);
  buttons.HandleEvent(InputEvent::KeyDown(Key::kReturn));
  buttons.HandleEvent(InputEvent::KeyUp(Key::kReturn));
  EXPECT_EQ(buttons.TakeClicked(), 0);  // nothing focused, nothing clicked

  buttons.HandleEvent(InputEvent::KeyDown(Key::kDown));
  buttons.HandleEvent(InputEvent::KeyDown(Key::kDown));
  EXPECT_EQ(buttons.Selected(), 2);
  EXPECT_EQ(buttons.LookOf(2), ButtonLook::kHovered);  // the focus looks like the hover
  buttons.HandleEvent(InputEvent::KeyDown(Key::kReturn));
  EXPECT_EQ(buttons.LookOf(2), ButtonLook::kPressed);
  buttons.HandleEvent(InputEvent::KeyUp(Key::kReturn));
  EXPECT_EQ(buttons.TakeClicked(), 2);

  // Enter pressed on one button and released after the focus moved: nothing.
  buttons.HandleEvent(InputEvent::KeyDown(Key::kReturn));
  buttons.HandleEvent(InputEvent::KeyDown(Key::kUp));
  buttons.HandleEvent(InputEvent::KeyUp(Key::kReturn));
  EXPECT_EQ(buttons.TakeClicked(), 0);
  EXPECT_EQ(buttons.Selected(), 1);
  // A pointer move hands the selection back to the pointer.
  buttons.HandleEvent(Move(400, 400));
  EXPECT_EQ(buttons.Selected(), 0);
}

// A walk of the focus: from a selection (0 for none), one arrow, where the focus lands.
struct FocusCase {
  int32_t from;
  FocusMove move;
  int32_t to;
};

template <size_t N>
void ExpectWalks(ScreenButtons& buttons, const FocusCase (&cases)[N]) {
  for (const FocusCase& c : cases) {
    buttons.Select(c.from);
    buttons.MoveFocus(c.move);
    EXPECT_EQ(buttons.Selected(), c.to) << "from " << c.from << " move " << static_cast<int>(c.move);
  }
}

TEST(ScreenButtonsTest, TheFocusWalksToTheNearestButtonAheadStraightAheadFirst) {
  //  1 2
  //  3 4      (7: no height, between 1 and 3)
  //  5 6
  ScreenButtons buttons;
  for (int32_t row = 0; row < 3; ++row)
    for (int32_t col = 0; col < 2; ++col) buttons.Add(Box(100 * col, 50 * row, 40, 20));
  buttons.Add(Box(0, 25, 40, 0));
  const FocusCase cases[] = {
      // Without a selection: the first button met coming in from the opposite edge.
      {0, FocusMove::kDown, 1}, {0, FocusMove::kUp, 5}, {0, FocusMove::kRight, 1}, {0, FocusMove::kLeft, 2},
      {1, FocusMove::kDown, 3}, {1, FocusMove::kRight, 2}, {3, FocusMove::kRight, 4}, {4, FocusMove::kLeft, 3},
      {3, FocusMove::kDown, 5}, {6, FocusMove::kUp, 4},
      // Nothing ahead: the focus stays.
      {1, FocusMove::kUp, 1}, {1, FocusMove::kLeft, 1}, {6, FocusMove::kDown, 6}, {6, FocusMove::kRight, 6},
  };
  ExpectWalks(buttons, cases);
  // With 3 disabled, down from 1 goes on to 5 (straight below) before 4 (nearer, aside).
  buttons.Button(3).enabled = false;
  buttons.Select(1);
  buttons.MoveFocus(FocusMove::kDown);
  EXPECT_EQ(buttons.Selected(), 5);
  // Select takes only buttons that can be hit.
  buttons.Select(3);
  EXPECT_EQ(buttons.Selected(), 5);
  buttons.Select(7);
  EXPECT_EQ(buttons.Selected(), 5);
}

TEST(ScreenButtonsTest, TheFocusMeetsWhatLiesStraightAheadNearestFirst) {
  // A page button top right, a slot frame below it reaching under it, and the slot's small
  // button under the frame, more nearly in line with the page button than the frame's centre.
  ScreenButtons buttons;
  buttons.Add(Box(110, 0, 36, 20));   // 1: page
  buttons.Add(Box(0, 50, 128, 96));   // 2: slot frame (x 0..128 overlaps 110..146)
  buttons.Add(Box(74, 150, 52, 16));  // 3: the slot's button
  buttons.Add(Box(200, 60, 20, 20));  // 4: aside, to the right of the frame
  const FocusCase cases[] = {
      {1, FocusMove::kDown, 2}, {2, FocusMove::kDown, 3}, {3, FocusMove::kUp, 2}, {2, FocusMove::kUp, 1},
      // Nothing overlaps across the move: the nearest aside.
      {3, FocusMove::kRight, 4}, {4, FocusMove::kUp, 1},
  };
  ExpectWalks(buttons, cases);
}

TEST(ScreenButtonsTest, ADialogBlocksTheButtonsAndThePointerSelectsAgainWhenItCloses) {
  ScreenButtons buttons;
  buttons.Add(Box(0, 0, 50, 50));
  buttons.Add(Box(100, 0, 50, 50));
  buttons.Reset(10, 10);
  buttons.HandleEvent(Down(10, 10));
  buttons.SetBlocked(true);
  EXPECT_EQ(buttons.Selected(), 0);
  EXPECT_EQ(buttons.LookOf(1), ButtonLook::kNormal);
  buttons.HandleEvent(Up(10, 10));
  buttons.HandleEvent(Move(120, 10));
  buttons.HandleEvent(InputEvent::KeyDown(Key::kDown));
  buttons.HandleEvent(InputEvent::KeyUp(Key::kEscape));
  EXPECT_EQ(buttons.Selected(), 0);
  EXPECT_EQ(buttons.TakeClicked(), 0);
  EXPECT_FALSE(buttons.TakeCancelled());
  buttons.SetBlocked(false);
  EXPECT_EQ(buttons.Selected(), 2);  // where the pointer went meanwhile
  buttons.HandleEvent(Up(120, 10));
  EXPECT_EQ(buttons.TakeClicked(), 0);  // its press was blocked
}

// The sheet: four looks of 10 x 10 side by side, then the hover picture's part.
constexpr Rgb kNormal{200, 0, 0}, kHovered{0, 0, 200}, kPressed{200, 200, 0}, kDisabled{90, 90, 90},
    kHint{0, 200, 200}, kBlack{0, 0, 0};

class ScreenButtonsDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSurfaceFormatCode(kFormat8888);
    Surface& s = sheet.Pixels();
    ASSERT_TRUE(s.Create(50, 10));
    const Rgb parts[] = {kNormal, kHovered, kPressed, kDisabled, kHint};
    for (int32_t i = 0; i < 5; ++i) s.Fill(10 * i, 0, 10, 10, parts[i].r, parts[i].g, parts[i].b);
    s.SetHasAlpha(0);  // drawn opaque: no alpha of its own
    sheet.TakePixels();
    ASSERT_TRUE(target.Create(100, 60));
    ScreenButton b = Box(10, 10, 10, 10);
    for (int32_t look = 0; look < kButtonLooks; ++look) b.looks[static_cast<size_t>(look)] = {10 * look, 0};
    b.hoverPicture = {10, 40, 10, 10};
    b.hoverSource = {40, 0};
    buttons.Add(b);  // 1
    b.rect.x = 30;
    b.enabled = false;
    buttons.Add(b);  // 2: disabled
    b.rect = {50, 10, 0, 10};
    b.enabled = true;
    buttons.Add(b);  // 3: no width
    b.rect = {70, 10, 10, 10};
    b.visible = false;
    buttons.Add(b);  // 4: hidden
  }
  void Draw() {
    target.FillAll(0, 0, 0);
    buttons.Draw(target, sheet);
  }
  Rgb At(int32_t x, int32_t y) { return test::Colour(target, x, y); }

  ScreenPicture sheet;
  Surface target;
  ScreenButtons buttons;
};

TEST_F(ScreenButtonsDrawTest, EachButtonShowsItsLookAndTheSelectedOneItsHoverPicture) {
  buttons.Reset(0, 0);
  EXPECT_TRUE(buttons.Changed());  // never drawn
  Draw();
  EXPECT_FALSE(buttons.Changed());
  EXPECT_EQ(At(15, 15), kNormal);
  EXPECT_EQ(At(10, 10), kNormal);
  EXPECT_EQ(At(19, 19), kNormal);
  EXPECT_EQ(At(20, 15), kBlack);  // the rectangle's size, from its corner
  EXPECT_EQ(At(35, 15), kDisabled);
  EXPECT_EQ(At(50, 15), kBlack);  // no width: nothing drawn
  EXPECT_EQ(At(75, 15), kBlack);  // hidden
  EXPECT_EQ(At(15, 45), kBlack);  // no hover picture without a selection

  buttons.HandleEvent(Move(12, 12));
  EXPECT_TRUE(buttons.Changed());
  Draw();
  EXPECT_EQ(At(15, 15), kHovered);
  EXPECT_EQ(At(15, 45), kHint);
  buttons.HandleEvent(Down(12, 12));
  Draw();
  EXPECT_EQ(At(15, 15), kPressed);
  EXPECT_EQ(At(15, 45), kHint);
  buttons.HandleEvent(Up(12, 12));
  EXPECT_TRUE(buttons.Changed());  // released: hovered again, not pressed as drawn
  Draw();
  EXPECT_FALSE(buttons.Changed());
  buttons.HandleEvent(Move(14, 14));
  EXPECT_FALSE(buttons.Changed());

  // A look whose source x is -1 draws nothing.
  buttons.Button(1).looks[1] = {-1, 0};
  Draw();
  EXPECT_EQ(At(15, 15), kBlack);

  // One button in a given look at an opacity: halfway (128) toward the look.
  target.FillAll(0, 0, 0);
  buttons.DrawButton(target, sheet, 1, ButtonLook::kNormal, 128);
  // 8888 blends each byte by the table: e = (129 x 256) >> 8 = 129, 0 + floor(129 x 200 / 255).
  EXPECT_EQ(At(15, 15), (Rgb{static_cast<uint8_t>(129 * 200 / 255), 0, 0}));
}

}  // namespace
}  // namespace zan
