#pragma once
// MessageArea: one page of story text. The interpreter appends the text it reads, names
// the speaker, presents the page at a text wait and asks whether everything is shown.
//
// This is the interface the interpreter works against. Until the message layout and the
// typing window exist, the area keeps its text as bytes and a presented page counts as
// fully shown at once (as with the fastest typing rate); the text window replaces the
// storage with laid-out cells behind the same operations.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zan {

class MessageArea {
 public:
  // Speaker names are stored in a 32-byte field.
  static constexpr size_t kSpeakerNameSize = 32;

  // Appends Shift-JIS text (CR LF are line breaks); the new text is not shown until the
  // page is presented.
  void Append(std::string_view text);
  bool HoldsText() const { return !text_.empty(); }
  const std::string& Text() const { return text_; }

  // The speaker of the page, cut to 31 bytes at a character boundary.
  void SetSpeakerName(std::string_view name);
  const std::string& SpeakerName() const { return speaker_; }

  // Starts showing the page; `read` selects the read-text colours. Returns 1 when the page
  // finished showing in this call (the auto-mode delay counts from then), else 0.
  int32_t PresentPage(bool read);
  // Shows every remaining character at once: 1 when something was still hidden, 0 when
  // everything was already shown.
  int32_t ShowAll();
  bool IsAllShown() const { return shown_ == text_.size(); }
  // The read state of the last presented page.
  bool PresentedAsRead() const { return presentedRead_; }

  // Vertical writing ("WinMsgLength"), copied into the area at each click wait.
  void SetVertical(int32_t vertical) { vertical_ = vertical; }
  int32_t Vertical() const { return vertical_; }

  // Empties the page: no text, no speaker, nothing shown.
  void Clear();

 private:
  std::string text_;
  std::string speaker_;
  size_t shown_ = 0;  // bytes of text_ revealed
  bool presentedRead_ = false;
  int32_t vertical_ = 0;
};

// The three message areas and the choice area that CGameMain owns.
struct MessageAreas {
  static constexpr int kAreaCount = 3;
  std::array<MessageArea, kAreaCount> areas;
  MessageArea choice;

  void ClearAll();
};

}  // namespace zan
