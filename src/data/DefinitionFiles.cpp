#include "data/DefinitionFiles.h"

#include <array>

#include "base/TextCase.h"

namespace zan {
namespace {

using enum DefinitionFileId;
constexpr DefinitionGrammar kButtonTable = DefinitionGrammar::kButtonTable;

constexpr std::array<DefinitionFile, 10> kFiles{{
    {kSystemButtons, "system1.lib", DefinitionGrammar::kSystemButtons, 0, 0},
    {kKeyMap, "system2.lib", DefinitionGrammar::kKeyMap, 0, 0},
    {kConfig, "system3-1.lib", kButtonTable, 14, 19},
    {kTitle, "system4.lib", kButtonTable, 14, 10},
    {kSaveLoad, "system5-1.lib", kButtonTable, 14, 23},
    {kSaveLoadSpots, "system5-2.lib", kButtonTable, 8, 23},
    {kGallery, "system6-1.lib", kButtonTable, 14, 24},
    {kSceneReplay, "system6-2.lib", kButtonTable, 14, 24},
    {kMusicRoom, "system6-3.lib", kButtonTable, 14, 17},
    {kTreasures, "system6-4.lib", kButtonTable, 14, 6},
}};

}  // namespace

std::span<const DefinitionFile> DefinitionFiles() { return kFiles; }

const DefinitionFile& Definition(DefinitionFileId id) {
  for (const DefinitionFile& file : kFiles) {
    if (file.id == id) return file;
  }
  return kFiles.front();  // every id is in the table
}

const DefinitionFile* FindDefinitionFile(std::string_view name) {
  for (const DefinitionFile& file : kFiles) {
    if (EqualsNoCase(name, file.name)) return &file;
  }
  return nullptr;
}

}  // namespace zan
