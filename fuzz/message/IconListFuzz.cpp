// The reader of iconlist.csv: the input is the file's text.

#include <cstdint>
#include <string_view>

#include "message/MessageLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto icons = zan::MessageLayout::ReadIconList({reinterpret_cast<const char*>(data), size});
  if (icons.size() > zan::MessageLayout::kMaxIcons) __builtin_trap();
  for (const zan::MessageLayout::Icon& icon : icons)
    if (icon.name.size() >= 260 || icon.file.size() >= 260) __builtin_trap();  // a field keeps its NUL
  return 0;
}
