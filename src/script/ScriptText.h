#pragma once
// The script text format, taken apart byte by byte. A script is Shift-JIS text with CR LF
// line ends made of message text and command tags ("<Name arg, arg>"), with labels
// ("[name]") as jump targets and comments ("//" to the line end, "/* ... */"). Every scan
// steps over double-byte characters whole, so a trail byte is never read as a delimiter.
//
// The functions work on any bytes: nothing is read outside the text, and every output is
// bounded (text elements 1023 bytes, tags 259, names and arguments 259, labels 63, at most
// 50 arguments); what does not fit is cut.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zan {

constexpr size_t kElementBufferSize = 1024;  // a text element holds at most 1023 bytes
constexpr size_t kTagBufferSize = 260;       // a tag, "<" to ">", holds at most 259 bytes
constexpr size_t kArgBufferSize = 260;       // a command name or an argument: 259 bytes
constexpr int32_t kMaxArgs = 50;
constexpr size_t kLabelNameSize = 64;  // label names: 63 bytes
constexpr size_t kScriptNameSize = 32;  // script names: 31 bytes

struct LabelEntry {
  int32_t position = 0;  // the byte after the closing "]"
  std::string name;      // without the brackets
};

// What ReadElement found beside the element: where a tag element starts, and what had to
// be cut.
struct ElementInfo {
  int32_t tagStart = -1;      // position of the "<" when the element is a tag
  bool textOverflow = false;  // message text beyond 1023 bytes (the rest is lost)
  bool tagCut = false;        // a tag beyond 259 bytes
};

// Reads the element at `start`: the message text before the next tag when there is any
// (labels and comments removed; leading CR and LF dropped unless `keepBreaks`), else the
// whole next tag with "<" and ">". Returns where the next read starts: the tag's start
// after text, the byte after ">" after a tag. With no tag left the tag's start counts as
// the end of the text plus one, so text after the last tag ends the script unread.
int32_t ReadElement(std::string_view text, int32_t start, std::string& out, bool keepBreaks,
                    ElementInfo* info = nullptr);

// The command name of a tag (without "<"), cut to 259 bytes, and the offset in the tag just
// after it. Double-byte characters in the name part are skipped.
struct CommandName {
  std::string name;
  int32_t offset = 0;
};
CommandName GetCommandName(std::string_view tag);

// The number of arguments after `offset`: 0 when the tag closes right after the name,
// else the separating commas plus one (not capped; callers take at most kMaxArgs apart).
int32_t CountArgs(std::string_view tag, int32_t offset);

// Argument `index` (from 0), trimmed of spaces, tabs, CR, LF and the full-width space, cut
// to 259 bytes. False, with `out` empty, when the index is not below the count.
bool GetArg(std::string_view tag, int32_t index, std::string& out);

// Every argument at once (the first kMaxArgs), for the dispatcher.
std::vector<std::string> GetArgs(std::string_view tag, int32_t offset);

// Every label of the text outside comments, in order; names cut to 63 bytes. `cut` counts
// the labels that were cut.
std::vector<LabelEntry> ScanLabels(std::string_view text, int* cut = nullptr);

// True for "<KW>" (any case) and any element starting "<TW"; true for elements starting
// "<SltAdd".
bool IsTextWaitTag(std::string_view element);
bool IsChoicePointTag(std::string_view element);

}  // namespace zan
