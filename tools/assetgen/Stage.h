#pragma once
// The staging folder the generator writes into, laid out like game/ (gra/, snd/, dat/),
// with an optional folder of PNG previews beside it.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Bmp.h"
#include "base/Result.h"

namespace zan::assetgen {

class Stage {
 public:
  // previewRoot empty: no previews.
  Stage(std::filesystem::path root, std::filesystem::path previewRoot);

  // A picture in gra/ (name in UTF-8, as it will be named in the archive).
  void Picture(const std::string& name, const Canvas& picture, BmpForm form, bool keyTransparent = false);
  // Bytes as they are, at a path relative to the root ("dat/akari_eye.dat").
  void File(const std::string& relative, const std::vector<uint8_t>& bytes);

  // With previews on, the pictures are also kept for the mock-up screens.
  const Canvas* Kept(const std::string& name) const;
  // A PNG preview only (mock-ups of the screen; nothing for the game).
  void Preview(const std::string& name, const Canvas& picture);
  bool previewing() const { return !preview_.empty(); }

  // Records a failure (the first one is kept).
  void Fail(const Error& e) {
    if (status_.ok()) status_ = e;
  }

  const std::vector<std::string>& written() const { return written_; }
  // The first failure, if any.
  const Status& status() const { return status_; }

 private:
  std::filesystem::path root_, preview_;
  std::vector<std::string> written_;
  std::map<std::string, Canvas> kept_;
  Status status_;
};

}  // namespace zan::assetgen
