// zan-assetgen: draws and synthesises the demo game's pictures and sounds.
//   zan-assetgen OUT_DIR [--preview PNG_DIR] [--pictures-only | --sounds-only]

#include <cstdio>
#include <cstring>

#include "AssetGen.h"

int main(int argc, char** argv) {
  zan::assetgen::Options o;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
      o.preview = argv[++i];
    } else if (std::strcmp(argv[i], "--pictures-only") == 0) {
      o.sounds = false;
    } else if (std::strcmp(argv[i], "--sounds-only") == 0) {
      o.pictures = false;
    } else if (argv[i][0] != '-' && o.out.empty()) {
      o.out = argv[i];
    } else {
      std::fprintf(stderr, "usage: zan-assetgen OUT_DIR [--preview PNG_DIR] [--pictures-only | --sounds-only]\n");
      return 2;
    }
  }
  if (o.out.empty()) {
    std::fprintf(stderr, "usage: zan-assetgen OUT_DIR [--preview PNG_DIR] [--pictures-only | --sounds-only]\n");
    return 2;
  }
  auto written = zan::assetgen::Generate(o);
  if (!written) {
    std::fprintf(stderr, "zan-assetgen: %s\n", written.error().message.c_str());
    return 1;
  }
  std::printf("zan-assetgen: %zu files in %s\n", written->size(), o.out.c_str());
  return 0;
}
