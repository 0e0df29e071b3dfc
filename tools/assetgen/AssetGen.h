#pragma once
// The demo game's generated assets: every picture and sound, written into a staging folder
// laid out like game/ (gra/, snd/, dat/).

#include <filesystem>
#include <string>
#include <vector>

#include "base/Result.h"

namespace zan::assetgen {

struct Options {
  std::filesystem::path out;      // staging folder
  std::filesystem::path preview;  // PNG previews of the pictures; empty for none
  bool pictures = true;
  bool sounds = true;
};

// The files written, relative to the staging folder, or the first failure.
Result<std::vector<std::string>> Generate(const Options& options);

}  // namespace zan::assetgen
