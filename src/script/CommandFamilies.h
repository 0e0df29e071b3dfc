#pragma once
// The command families and what each uses. A family is one file of handlers that fills its
// names in the command table from a Register...Commands function; it is given its services,
// a small struct of references to exactly the state and operations its commands use, and
// its handlers keep them. The interpreter builds each struct from what it owns and
// registers every family once, in its constructor.
//
// A new family (transitions, effects, movies, system commands, saves) declares its
// services struct and register function here, implements them in its own file, and is
// registered by the interpreter with the pieces it names; nothing else changes.

#include <cstdint>

#include "script/CommandTable.h"

namespace zan {

class Backlog;
class ChoiceMenu;
class CsvRowTable;
class GalleryFlags;
class GameData;
class ImageLayers;
class MessageAreas;
class NameList;
class ScriptSounds;
class StoryControl;
class VariableTable;
struct OptionsBlock;
struct ScriptRecord;
class TimedWait;

// The picture tables of the image commands: "イベントＣＧリスト.csv" (gallery rows) and
// "省略.csv" (picture abbreviations); null when absent.
struct PictureTables {
  const NameList* eventCgList = nullptr;
  const CsvRowTable* abbreviations = nullptr;
};

// Arithmetic on the variables ("Mov" ... "Rnd").
struct VariableCommandServices {
  VariableTable& variables;
};
void RegisterVariableCommands(CommandTable& table, const VariableCommandServices& services);

// The interpreter's own: text waits ("KW", "TW"), "If" and the jumps and calls, the scene
// name, demo mode and the return to the title.
struct InterpreterCommandServices {
  StoryControl& story;
  const VariableTable& variables;
  TimedWait& wait;
};
void RegisterInterpreterCommands(CommandTable& table, const InterpreterCommandServices& services);

// The zoom windows ("Zoom..."); and, with the image slots, what both share: the layers, the
// numeric arguments, whether animations run (skip mode, the no-effects setting) and the
// timed wait of their wait option.
struct StageCommandServices {
  ImageLayers& layers;
  const VariableTable& variables;
  const OptionsBlock& options;
  TimedWait& wait;
};
void RegisterZoomCommands(CommandTable& table, const StageCommandServices& services);

// The image slots ("Image..."), "Update" and the scope bars ("RkoScope"); a picture shown
// in a slot unlocks its gallery flag.
struct ImageCommandServices {
  StageCommandServices stage;
  GalleryFlags& gallery;
  const PictureTables& pictures;
};
void RegisterImageCommands(CommandTable& table, const ImageCommandServices& services);

// The sound channels ("Sound..."); voices loaded for the page go to the backlog.
struct SoundCommandServices {
  ScriptSounds& sounds;
  const VariableTable& variables;
  const OptionsBlock& options;
  Backlog& history;
};
void RegisterSoundCommands(CommandTable& table, const SoundCommandServices& services);

// The message windows ("Win...", "WinOn", "WinOff"); "WinClear" puts the page into the
// backlog.
struct WindowCommandServices {
  MessageAreas& areas;
  const VariableTable& variables;
  GameData& data;
  const OptionsBlock& options;
  Backlog& history;
};
void RegisterWindowCommands(CommandTable& table, const WindowCommandServices& services);

// The regular and mask choices ("Slt..."); "SltAdd" numbers its option by the tags before
// the read position of the script being read.
struct ChoiceCommandServices {
  ChoiceMenu& choices;
  const VariableTable& variables;
  const ScriptRecord& script;
  const int32_t& readPosition;
};
void RegisterChoiceCommands(CommandTable& table, const ChoiceCommandServices& services);

}  // namespace zan
