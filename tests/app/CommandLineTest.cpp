#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace zan {
namespace {

TEST(CommandLineTest, ParsesOptionsAndTheGameFolder) {
  auto o = ParseCommandLine({"--headless", "--frames", "60", "--input=t.txt", "--click-every", "3",
                             "--start", "ルート.txt", "--dump-vars=v.txt", "games/demo"});
  ASSERT_TRUE(o.ok()) << o.error().message;
  EXPECT_TRUE(o->headless);
  EXPECT_EQ(o->frames, 60u);
  EXPECT_EQ(o->inputFile, "t.txt");
  EXPECT_EQ(o->clickEvery, 3u);
  EXPECT_EQ(o->gameDir, "games/demo");
  EXPECT_EQ(o->startScript, "ルート.txt");
  EXPECT_EQ(o->dumpVars, "v.txt");
  EXPECT_FALSE(ParseCommandLine({}).value().frames.has_value());
  EXPECT_EQ(ParseCommandLine({}).value().pixelFormat, 8888);
}

TEST(CommandLineTest, PixelFormatsAndScreenshots) {
  auto o = ParseCommandLine({"--pixel-format", "555", "--screenshot", "0:a.png",
                             "--screenshot=120:/tmp/b:c.png"});
  ASSERT_TRUE(o.ok()) << o.error().message;
  EXPECT_EQ(o->pixelFormat, 555);
  ASSERT_EQ(o->screenshots.size(), 2u);
  EXPECT_EQ(o->screenshots[0], (std::pair<uint64_t, std::string>{0, "a.png"}));
  EXPECT_EQ(o->screenshots[1], (std::pair<uint64_t, std::string>{120, "/tmp/b:c.png"}));
}

TEST(CommandLineTest, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},          {"--frames"},           {"--frames", "0"},
      {"--frames", "12x"},  {"--click-every", "1"}, {"--headless=1"},
      {"one", "two"},       {"--start"},            {"--dump-vars="},
      {"--pixel-format", "16"}, {"--pixel-format", "0"},
      {"--screenshot", "a.png"}, {"--screenshot", "5:"}, {"--screenshot", "x:a.png"},
  };
  for (const auto& args : bad) EXPECT_FALSE(ParseCommandLine(args).ok()) << args[0];
}

TEST(CommandLineTest, VerboseByTheOptionOrTheEnvironment) {
  EXPECT_FALSE(ParseCommandLine({}).value().verbose);
  EXPECT_TRUE(ParseCommandLine({"--verbose"}).value().verbose);
  const std::pair<const char*, bool> values[] = {{"1", true}, {"yes", true}, {"0", false}, {"", false}};
  for (const auto& [value, verbose] : values) {
    setenv("ZAN_VERBOSE", value, 1);
    EXPECT_EQ(VerboseByEnvironment(), verbose) << value;
  }
  unsetenv("ZAN_VERBOSE");
  EXPECT_FALSE(VerboseByEnvironment());
}

// Files written during or after the run must have a folder to go to, known before the run.
TEST(CommandLineTest, OutputFilesNeedAnExistingFolder) {
  const std::string here = std::filesystem::temp_directory_path().string();
  struct Case {
    std::vector<std::string> args;
    const char* named;  // in the error; null: accepted
  };
  const std::vector<Case> cases = {
      {{"--screenshot", "3:" + here + "/x.png", "--dump-vars", here + "/v.txt"}, nullptr},
      {{"--screenshot", "3:x.png"}, nullptr},  // the current folder
      {{"--screenshot", "3:/no/such/dir/x.png"}, "--screenshot 3:/no/such/dir/x.png"},
      {{"--screenshot", "1:" + here + "/a.png", "--screenshot", "2:/no/such/b.png"}, "/no/such"},
      {{"--dump-vars", "/no/such/dir/v.txt"}, "--dump-vars /no/such/dir/v.txt"},
      {{"--screenshot", "3:/etc/passwd/x.png"}, "/etc/passwd"},  // a file, not a folder
  };
  for (const Case& c : cases) {
    auto o = ParseCommandLine(c.args);
    ASSERT_TRUE(o.ok()) << o.error().message;
    Status s = CheckOutputPaths(*o);
    EXPECT_EQ(s.ok(), c.named == nullptr) << c.args[1];
    if (c.named) EXPECT_NE(s.error().message.find(c.named), std::string::npos) << s.error().message;
  }
}

TEST(CommandLineTest, HelpListsEveryOptionWithinEightyColumns) {
  std::string help = HelpText();
  for (const char* name : {"--headless", "--frames", "--input", "--click-every", "--start",
                           "--dump-vars", "--pixel-format", "--screenshot", "--verbose", "--help",
                           "--version", "ZAN_VERBOSE"})
    EXPECT_NE(help.find(name), std::string::npos) << name;
  size_t start = 0;
  while (start < help.size()) {
    size_t end = help.find('\n', start);
    if (end == std::string::npos) end = help.size();
    EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
    EXPECT_NE(help[end - 1], ' ');
    start = end + 1;
  }
}

}  // namespace
}  // namespace zan
