// Message boxes that nobody can see (headless): each goes to the framework log, which shows
// it on stderr, and takes its default button.

#include <gtest/gtest.h>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/headless/HeadlessMessageBoxes.h"

namespace zan {
namespace {

TEST(MessageBoxesTest, AHeadlessBoxGoesToTheLogAndTakesItsDefault) {
  Diagnostics().SetEcho(false);
  HeadlessMessageBoxes boxes;
  struct Case {
    BoxButtons buttons;
    BoxAnswer answer;  // the first button
  };
  const Case cases[] = {{BoxButtons::kOk, BoxAnswer::kOk},
                        {BoxButtons::kOkCancel, BoxAnswer::kOk},
                        {BoxButtons::kYesNo, BoxAnswer::kYes},
                        {BoxButtons::kYesNoCancel, BoxAnswer::kYes}};
  for (const Case& c : cases) {
    const std::string text = Sjis("変更を保存しますか?") + std::to_string(static_cast<int>(c.buttons)) + "\r\n";
    EXPECT_EQ(boxes.Show(text, Sjis("メモ帳"), {c.buttons, BoxIcon::kWarning}), c.answer);
    EXPECT_EQ(Diagnostics().LastMessage(), "[" + Sjis("メモ帳") + "] " + text);
  }
  ASSERT_EQ(boxes.History().size(), 4u);
  EXPECT_EQ(boxes.History()[3].kind.buttons, BoxButtons::kYesNoCancel);

  // A quiet box (tests that expect boxes) keeps out of the log.
  boxes.SetQuiet(true);
  boxes.Show("quiet", "ERROR");
  EXPECT_NE(Diagnostics().LastMessage(), "[ERROR] quiet");
  Diagnostics().SetEcho(true);
}

}  // namespace
}  // namespace zan
