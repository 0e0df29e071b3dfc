#pragma once
// YesNoQuestions: asking the player a yes/no question (the yes/no dialog of the screens
// implements it; the game application hands it to whoever asks). Each question gets its own
// ticket and its answer is polled with it, so one asker never takes the answer to another's
// question.

#include <cstdint>

namespace zan {

// What is asked; the number picks the question's picture.
enum class DialogKind : int32_t {
  kQuit = 0,                // quit the application
  kQuitDuringReplay = 1,    // the same, asked during a replay from the bonus screens (modes 2, 3)
  kReturnToTitle = 2,       // end the story and return to the title
  kReturnDuringReplay = 3,  // the same during a scene replay (mode 2)
  kQuitFromScreen = 4,      // quit, asked by a system screen
  kLoad = 5,                // load a save
  kSaveCommand = 6,         // save over an existing save, asked by the script's save command
  kOverwrite = 7,           // save over an existing save, asked by the save screen
  kDelete = 8,              // delete a save
  kTarot = 9,               // the tarot choice
};

enum class DialogAnswer : uint8_t { kPending, kYes, kNo };

// A question asked. A ticket that was refused is not valid, and its answer is no.
struct DialogTicket {
  uint32_t id = 0;
  bool Valid() const { return id != 0; }
};

class YesNoQuestions {
 public:
  // Asks. With confirmations switched off the answer is yes at once and nothing shows;
  // while a question shows another is refused.
  virtual DialogTicket Ask(DialogKind kind) = 0;
  // Asks even with confirmations switched off: for what cannot be undone (deleting a save).
  virtual DialogTicket AskAlways(DialogKind kind) = 0;
  // Pending while the question shows, then yes or no.
  virtual DialogAnswer AnswerOf(DialogTicket ticket) const = 0;
  // A question shows (or fades): input belongs to it.
  virtual bool IsOpen() const = 0;

 protected:
  ~YesNoQuestions() = default;
};

}  // namespace zan
