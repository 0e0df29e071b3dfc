#pragma once
// Tests that draw real text need a Japanese font (IPA Gothic, Debian package
// fonts-ipafont-gothic, which scripts/ensure-deps installs): without it they are skipped
// with the reason, never passed silently.

#include <gtest/gtest.h>

#include <string>

#include "base/ShiftJis.h"
#include "platform/FreeTypeFontInk.h"

namespace zan::test {

// Why the font ink cannot draw the engine's default face; empty when it can.
inline std::string JapaneseFontMissing() {
  FreeTypeFontInk fonts;
  const auto opened = fonts.OpenFace(Sjis("ＭＳ ゴシック"));
  return opened.ok() ? std::string() : opened.error().message;
}

}  // namespace zan::test

// In a test or its SetUp: skips it when no Japanese font can be had.
#define ZAN_SKIP_WITHOUT_JAPANESE_FONT()                                                  \
  if (const std::string zan_font_missing = ::zan::test::JapaneseFontMissing();            \
      !zan_font_missing.empty())                                                           \
  GTEST_SKIP() << "needs a Japanese font: " << zan_font_missing
