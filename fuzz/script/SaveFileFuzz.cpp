// A save file over arbitrary bytes: a file that is read holds what a load relies on (a
// script name, calls, an area and counts within their bounds), its date can be shown, and
// written again it reads back and writes the same bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "script/SaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto save = zan::DecodeSaveFile(std::span<const uint8_t>(data, size));
  if (!save) return 0;
  if (save->time.Text().empty()) __builtin_trap();  // the header's date as save-info shows it
  if (save->script.empty() || save->script.size() >= zan::SaveFile::kScriptSize) __builtin_trap();
  if (save->calls.size() > 100 || save->currentArea < 0 || save->currentArea >= zan::SaveFile::kAreas)
    __builtin_trap();
  if (zan::SaveFileSize(save->slots.size(), save->zooms.size(), save->ints.size(), save->strings.size()) != size)
    __builtin_trap();
  const std::vector<uint8_t> written = zan::EncodeSaveFile(*save);
  if (written.size() != size) __builtin_trap();
  const auto again = zan::DecodeSaveFile(written);
  if (!again || zan::EncodeSaveFile(*again) != written) __builtin_trap();  // a read save survives a save
  return 0;
}
