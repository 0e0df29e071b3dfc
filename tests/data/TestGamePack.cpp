// zan_test_gamepack SOURCE_DIR OUTPUT_DIR: packs a test game's source folder into its
// archives with the independent test archive writer, so scenario games are not built by
// the tool under test. msg/, gra/, snd/, dat/ and gra2/ (when present) take the key
// "Rod7Q", system/ takes "plume". Text (.txt, .csv, .lib) is UTF-8 with LF in the sources
// and goes in as Shift-JIS with CR LF; .lib files are then scrambled (every byte raised by
// the first byte of the key "ぬらり"). Files starting with "." are left out. The text is
// converted by the C library's iconv (code page 932), not by the engine's own conversion,
// so a fault in that conversion cannot hide in both the game and the reader.

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TestArchiveWriter.h"

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  std::string end = text.substr(text.size() - tail.size());
  std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
  return end == tail;
}

// UTF-8 to Shift-JIS (code page 932); nothing when a character has no Shift-JIS form.
std::optional<std::string> ToShiftJis(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in = utf8;
  std::string out(in.size() * 2 + 4, '\0');
  char* from = in.data();
  size_t fromLeft = in.size();
  char* to = out.data();
  size_t toLeft = out.size();
  const size_t done = iconv(cd, &from, &fromLeft, &to, &toLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1) || fromLeft != 0) return std::nullopt;
  out.resize(out.size() - toLeft);
  return out;
}

bool PackFolder(const fs::path& folder, const fs::path& archive, const std::string& key) {
  std::vector<fs::path> files;
  if (fs::is_directory(folder))
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
        files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<zan::testing::TestEntry> entries;
  for (const fs::path& file : files) {
    const std::string utf8Name = file.filename().string();
    auto name = ToShiftJis(utf8Name);
    if (!name) {
      std::fprintf(stderr, "%s: the name has no Shift-JIS form\n", file.c_str());
      return false;
    }
    std::vector<uint8_t> body = zan::testing::ReadBytes(file.string());
    if (EndsWith(utf8Name, ".txt") || EndsWith(utf8Name, ".csv") || EndsWith(utf8Name, ".lib")) {
      auto text = ToShiftJis(std::string(body.begin(), body.end()));
      if (!text) {
        std::fprintf(stderr, "%s: the text has no Shift-JIS form\n", file.c_str());
        return false;
      }
      body.clear();
      for (char c : *text) {
        if (c == '\n') body.push_back('\r');
        body.push_back(static_cast<uint8_t>(c));
      }
      if (EndsWith(utf8Name, ".lib")) {
        const uint8_t shift = 0x82;  // "ぬ" is 0x82 0xCA
        for (uint8_t& b : body) b = static_cast<uint8_t>(b + shift);
      }
    }
    entries.push_back({*name, std::move(body), false});
  }
  zan::testing::WriteBytes(archive.string(), zan::testing::WriteTestArchive(entries, key, true));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zan_test_gamepack SOURCE_DIR OUTPUT_DIR\n");
    return 2;
  }
  const fs::path source = argv[1];
  const fs::path output = argv[2];
  fs::create_directories(output);
  const struct {
    const char* folder;
    const char* key;
  } kRoutes[] = {{"msg", "Rod7Q"}, {"gra", "Rod7Q"}, {"snd", "Rod7Q"},
                 {"dat", "Rod7Q"}, {"system", "plume"}, {"gra2", "Rod7Q"}};
  for (const auto& route : kRoutes) {
    if (std::string(route.folder) == "gra2" && !fs::is_directory(source / "gra2")) continue;
    if (!PackFolder(source / route.folder, output / (std::string(route.folder) + ".arc"), route.key))
      return 1;
  }
  return 0;
}
