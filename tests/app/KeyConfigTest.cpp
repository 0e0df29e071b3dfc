#include "app/KeyConfig.h"

#include <gtest/gtest.h>

#include "TestArchiveWriter.h"

namespace zan {
namespace {

std::vector<uint8_t> Lib(std::string_view utf8) { return testing::GameBytes(utf8); }

TEST(Keys, ActionNamesMatchExactly) {
  KeyConfig keys;
  EXPECT_EQ(keys.Lookup(2), 0);  // nothing before loading
  keys.Load(Lib("入力,動作\n"
                "ホイール,履歴スクロール\n"
                "1,バックログ\n"
                "左,決定\n"
                "右,スキップ \n"      // a trailing blank: no action
                "Enter,決定,余分\n"   // everything after the first comma is the name
                "Space,好感度\n"
                "Ctrl,ないもの\n"));
  EXPECT_EQ(keys.Lookup(0), kActionBacklog);
  EXPECT_EQ(keys.Lookup(1), kActionBacklog);  // both names give 16
  EXPECT_EQ(keys.Lookup(2), kActionDecide);
  EXPECT_EQ(keys.Lookup(3), kActionNone);
  EXPECT_EQ(keys.Lookup(4), kActionNone);
  EXPECT_EQ(keys.Lookup(5), kActionAffection);
  EXPECT_EQ(keys.Lookup(6), kActionNone);
  EXPECT_EQ(keys.Lookup(7), kActionNone);  // missing lines leave 0
  EXPECT_EQ(keys.Lookup(-1), kActionNone);
  EXPECT_EQ(keys.Lookup(36), kActionNone);
  keys.Load({});
  EXPECT_EQ(keys.Lookup(2), kActionNone);
}

TEST(Keys, KeysRaiseTheirInputs) {
  EXPECT_EQ(InputOfKey(Key::kReturn), 4);
  EXPECT_EQ(InputOfKey(Key::kEscape), 15);
  EXPECT_EQ(InputOfKey(Key::kF1), 16);
  EXPECT_EQ(InputOfKey(Key::kF11), 26);
  EXPECT_EQ(InputOfKey(Key::kF12), 27);
  EXPECT_EQ(InputOfKey(Key::kS), 28);
  EXPECT_EQ(InputOfKey(Key::kL), 29);
  EXPECT_EQ(InputOfKey(Key::kO), 30);
  EXPECT_EQ(InputOfKey(Key::kA), std::nullopt);
  EXPECT_EQ(InputOfKey(Key::kLeft), std::nullopt);
}

}  // namespace
}  // namespace zan
