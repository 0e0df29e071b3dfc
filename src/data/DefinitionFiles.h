#pragma once
// The definition files of the system screens, all in the definition archive (slot 4) and
// scrambled as every .lib file: which grammar each is written in and how many rows its
// screen reads.

#include <cstdint>
#include <span>
#include <string_view>

namespace zan {

enum class DefinitionGrammar {
  kSystemButtons,  // system1.lib: a picture section, then six-line button records
  kKeyMap,         // system2.lib: a header, then one action name per input
  kButtonTable,    // two header lines, then one row per item
};

enum class DefinitionFileId {
  kSystemButtons,   // system1.lib: the buttons over the game screen
  kKeyMap,          // system2.lib: the actions of the keys and mouse buttons
  kConfig,          // system3-1.lib: configuration screen
  kTitle,           // system4.lib: title menu
  kSaveLoad,        // system5-1.lib: save and load screen
  kSaveLoadSpots,   // system5-2.lib: save and load screen, second table (8 fields)
  kGallery,         // system6-1.lib: CG gallery
  kSceneReplay,     // system6-2.lib: scene replay
  kMusicRoom,       // system6-3.lib: music room
  kTreasures,       // system6-4.lib: treasure gallery
};

struct DefinitionFile {
  DefinitionFileId id;
  std::string_view name;  // as stored in the archive
  DefinitionGrammar grammar;
  int32_t fieldsPerRow;  // button tables: 14, or 8; 0 for the other grammars
  int32_t rowLimit;      // button tables: the rows the screen reads; 0 for the others
};

// Every definition file, system1.lib first.
std::span<const DefinitionFile> DefinitionFiles();
const DefinitionFile& Definition(DefinitionFileId id);
// The file of that name (compared without regard to ASCII case); null for any other name.
const DefinitionFile* FindDefinitionFile(std::string_view name);

}  // namespace zan
