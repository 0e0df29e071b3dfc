#pragma once
// A folder of a test's own: a new, unique name under the temporary folder (never one that
// another run or test could share), removed with everything in it when the test ends.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace zan::test {

class TempFolder {
 public:
  explicit TempFolder(const std::string& what) {
    std::string pattern = (std::filesystem::temp_directory_path() / ("zan_" + what + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a folder like " << pattern;
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace zan::test
