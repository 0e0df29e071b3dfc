#pragma once
// StorySaves: what the save and load screen asks of the game, answered by the interpreter
// (its saves and loads, and the check of a save without loading it).

#include "screens/SaveLoadScreen.h"

namespace zan {

class Interpreter;

class StorySaves : public SaveLoadStory {
 public:
  explicit StorySaves(Interpreter& game) : game_(game) {}
  const GameTask& StoryTask() const override;
  bool SaveGame(std::string_view file) override;
  Status CheckSave(std::string_view file) override;
  bool LoadGame(std::string_view file) override;

 private:
  Interpreter& game_;
};

}  // namespace zan
