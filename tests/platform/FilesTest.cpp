#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../base/TempFolder.h"

namespace zan {
namespace {

TEST(FilesTest, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
  const test::TempFolder folder("files_atomic");
  const std::filesystem::path& dir = folder.Path();
  std::string path = (dir / "option.dat").string();
  const std::vector<uint8_t> first(1000, 0xAA), second = {1, 2, 3};
  ASSERT_TRUE(WriteFileAtomic(path, first).ok());
  ASSERT_TRUE(WriteFileAtomic(path, second).ok());
  auto read = ReadWholeFile(path);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, second);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

TEST(FilesTest, FailedWriteKeepsTheOldFile) {
  const test::TempFolder folder("files_keep");
  const std::filesystem::path& dir = folder.Path();
  std::string path = (dir / "save.sav").string();
  ASSERT_TRUE(WriteFileAtomic(path, std::vector<uint8_t>{7}).ok());
  // A folder where the temporary file would go makes the write fail.
  std::filesystem::create_directories(path + ".tmp");
  EXPECT_FALSE(WriteFileAtomic(path, std::vector<uint8_t>{8}).ok());
  EXPECT_EQ(*ReadWholeFile(path), std::vector<uint8_t>{7});
}

TEST(FilesTest, FindsNamesWithoutRegardToAsciiCase) {
  const test::TempFolder folder("files_case");
  const std::filesystem::path& dir = folder.Path();
  std::ofstream(dir / "MSG.ARC") << "x";
  std::ofstream(dir / "gra.arc") << "x";
  EXPECT_EQ(FindFileNoCase(dir.string(), "msg.arc"), (dir / "MSG.ARC").string());
  EXPECT_EQ(FindFileNoCase(dir.string(), "gra.arc"), (dir / "gra.arc").string());
  EXPECT_FALSE(FindFileNoCase(dir.string(), "snd.arc").has_value());
  EXPECT_FALSE(ReadWholeFile((dir / "snd.arc").string()).ok());
}

TEST(FilesTest, PathHelpers) {
  EXPECT_EQ(JoinPath("a/", "/b"), "a/b");
  EXPECT_EQ(JoinPath("a", "b"), "a/b");
  EXPECT_EQ(AbsolutePath("/x/y"), "/x/y");
  EXPECT_EQ(CurrentFolder().back(), '/');
}

}  // namespace
}  // namespace zan
