#include "script/ScriptText.h"

#include "base/ShiftJis.h"
#include "base/TextCase.h"

namespace zan {
namespace {

// Bytes of the character at i: 2 for a lead byte with a byte after it, else 1.
size_t CharLen(std::string_view text, size_t i) {
  return IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// When a comment starts at i, the position after it: "//" runs up to the line end (the CR
// LF stays), "/*" past the next "*/" (or to the end). Otherwise i itself.
size_t SkipComment(std::string_view text, size_t i) {
  if (i + 1 >= text.size() || text[i] != '/') return i;
  if (text[i + 1] == '/') {
    size_t j = i + 2;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') j += CharLen(text, j);
    return j;
  }
  if (text[i + 1] == '*') {
    size_t j = i + 2;
    while (j < text.size()) {
      if (text[j] == '*' && j + 1 < text.size() && text[j + 1] == '/') return j + 2;
      j += CharLen(text, j);
    }
    return text.size();
  }
  return i;
}

// The bracketed run starting at text[i] == '[' up to `limit`: its name and the position
// after the "]" (a "]" inside parentheses does not close it). npos when it never closes.
size_t ScanLabel(std::string_view text, size_t i, size_t limit, std::string_view* name) {
  bool paren = false;
  for (size_t j = i + 1; j < limit;) {
    const char c = text[j];
    const size_t n = CharLen(text, j);
    if (n == 1) {
      if (c == '(') paren = true;
      if (c == ')') paren = false;
      if (c == ']' && !paren) {
        if (name) *name = text.substr(i + 1, j - i - 1);
        return j + 1;
      }
    }
    j += n;
  }
  return std::string_view::npos;
}

// The end of the tag region that starts at `from` in a tag: the position of its closing
// ">" (parentheses protect), or the end of the tag.
template <class Visit>
size_t WalkArguments(std::string_view tag, size_t from, Visit visit) {
  bool paren = false;
  size_t i = from;
  while (i < tag.size()) {
    const char c = tag[i];
    const size_t n = CharLen(tag, i);
    if (n == 1) {
      if (c == '(') paren = true;
      if (c == ')') paren = false;
      if (c == '>' && !paren) break;
    }
    visit(i, n);
    i += n;
  }
  return i;
}

std::string_view Trim(std::string_view arg) {
  size_t begin = 0;
  size_t end = 0;  // end of the last character that is not blank
  bool leading = true;
  for (size_t i = 0; i < arg.size();) {
    const size_t n = CharLen(arg, i);
    const bool blank = (n == 1 && IsBlank(arg[i])) ||
                       (n == 2 && static_cast<unsigned char>(arg[i]) == 0x81 &&
                        static_cast<unsigned char>(arg[i + 1]) == 0x40);
    if (!blank) {
      if (leading) begin = i;
      leading = false;
      end = i + n;
    }
    i += n;
  }
  return leading ? std::string_view() : arg.substr(begin, end - begin);
}

}  // namespace

int32_t ReadElement(std::string_view text, int32_t start, std::string& out, bool keepBreaks,
                    ElementInfo* info) {
  out.clear();
  const size_t size = text.size();
  const size_t from = start > 0 ? static_cast<size_t>(start) : 0;

  // 1. The next tag outside comments.
  size_t tagStart = size + 1;
  for (size_t i = from; i < size;) {
    const size_t after = SkipComment(text, i);
    if (after != i) {
      i = after;
      continue;
    }
    if (text[i] == '<') {
      tagStart = i;
      break;
    }
    i += CharLen(text, i);
  }

  // 2. The message text before it.
  const size_t textEnd = tagStart < size ? tagStart : size;
  for (size_t i = from; i < textEnd;) {
    const size_t after = SkipComment(text, i);
    if (after != i) {
      i = after;
      continue;
    }
    const char c = text[i];
    if (c == '[') {
      const size_t past = ScanLabel(text, i, textEnd, nullptr);
      i = past == std::string_view::npos ? textEnd : past;
      continue;
    }
    if ((c == '\r' || c == '\n') && out.empty() && !keepBreaks) {
      ++i;
      continue;
    }
    const size_t n = CharLen(text, i);
    // 3. At most 1023 bytes; a double-byte character only while fewer than 1022 are held.
    if (out.size() + n > kElementBufferSize - 1) {
      if (info) info->textOverflow = true;
      break;
    }
    out.append(text.substr(i, n));
    i += n;
  }
  if (!out.empty()) return static_cast<int32_t>(tagStart);
  if (tagStart >= size) return static_cast<int32_t>(size + 1);

  // 4. No text: the tag itself, comments inside it left out.
  if (info) info->tagStart = static_cast<int32_t>(tagStart);
  bool paren = false;
  size_t i = tagStart + 1;
  std::string tag = "<";
  while (i < size) {
    const size_t after = SkipComment(text, i);
    if (after != i) {
      i = after;
      continue;
    }
    const char c = text[i];
    const size_t n = CharLen(text, i);
    i += n;
    if (n == 1) {
      if (c == '(') paren = true;
      if (c == ')') paren = false;
      if (c == '>' && !paren) {
        tag.push_back('>');  // room is kept for it, so a cut tag still closes
        break;
      }
    }
    if (tag.size() + n <= kTagBufferSize - 2) {
      tag.append(text.substr(i - n, n));
    } else if (info) {
      info->tagCut = true;
    }
  }
  out = std::move(tag);
  return static_cast<int32_t>(i);
}

CommandName GetCommandName(std::string_view tag) {
  CommandName result;
  size_t i = !tag.empty() && tag[0] == '<' ? 1 : 0;
  while (i < tag.size() && IsBlank(tag[i])) ++i;
  while (i < tag.size()) {
    const size_t n = CharLen(tag, i);
    if (n == 2) {
      i += 2;  // double-byte characters never belong to a name
      continue;
    }
    const char c = tag[i];
    if (c == '>') break;
    if (IsBlank(c)) {
      if (!result.name.empty()) break;
      ++i;
      continue;
    }
    if (result.name.size() < kArgBufferSize - 1) result.name.push_back(c);
    ++i;
  }
  result.offset = static_cast<int32_t>(i);
  return result;
}

int32_t CountArgs(std::string_view tag, int32_t offset) {
  size_t i = offset > 0 ? static_cast<size_t>(offset) : 0;
  while (i < tag.size() && IsBlank(tag[i])) ++i;
  if (i >= tag.size() || tag[i] == '>') return 0;
  int32_t count = 1;
  WalkArguments(tag, i, [&](size_t at, size_t n) {
    if (n == 1 && tag[at] == ',') ++count;
  });
  return count;
}

bool GetArg(std::string_view tag, int32_t index, std::string& out) {
  out.clear();
  const int32_t offset = GetCommandName(tag).offset;
  if (index < 0 || index >= CountArgs(tag, offset)) return false;
  int32_t current = 0;
  size_t begin = static_cast<size_t>(offset);
  size_t end = tag.size();
  bool found = index == 0;
  const size_t close = WalkArguments(tag, static_cast<size_t>(offset), [&](size_t at, size_t n) {
    if (n != 1 || tag[at] != ',') return;
    if (current == index) end = std::min(end, at);
    ++current;
    if (current == index) {
      begin = at + 1;
      found = true;
    }
  });
  if (!found) return false;
  end = std::min(end, close);
  if (begin > end) begin = end;
  out.assign(CutToCharacters(Trim(tag.substr(begin, end - begin)), kArgBufferSize - 1));
  return true;
}

std::vector<std::string> GetArgs(std::string_view tag, int32_t offset) {
  std::vector<std::string> args;
  size_t i = offset > 0 ? static_cast<size_t>(offset) : 0;
  if (CountArgs(tag, offset) == 0) return args;
  size_t begin = i;
  const size_t close = WalkArguments(tag, i, [&](size_t at, size_t n) {
    if (n != 1 || tag[at] != ',') return;
    if (args.size() < static_cast<size_t>(kMaxArgs))
      args.emplace_back(CutToCharacters(Trim(tag.substr(begin, at - begin)), kArgBufferSize - 1));
    begin = at + 1;
  });
  if (args.size() < static_cast<size_t>(kMaxArgs))
    args.emplace_back(CutToCharacters(Trim(tag.substr(begin, close - begin)), kArgBufferSize - 1));
  return args;
}

std::vector<LabelEntry> ScanLabels(std::string_view text, int* cut) {
  std::vector<LabelEntry> labels;
  if (cut) *cut = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t after = SkipComment(text, i);
    if (after != i) {
      i = after;
      continue;
    }
    if (text[i] == '[') {
      std::string_view name;
      const size_t past = ScanLabel(text, i, text.size(), &name);
      if (past == std::string_view::npos) break;  // an unclosed "[" ends the scan
      if (name.size() > kLabelNameSize - 1 && cut) ++*cut;
      labels.push_back({static_cast<int32_t>(past),
                        std::string(CutToCharacters(name, kLabelNameSize - 1))});
      i = past;
      continue;
    }
    i += CharLen(text, i);
  }
  return labels;
}

bool IsTextWaitTag(std::string_view element) {
  return EqualsNoCase(element, "<KW>") || StartsWithNoCase(element, "<TW");
}

bool IsChoicePointTag(std::string_view element) { return StartsWithNoCase(element, "<SltAdd"); }

}  // namespace zan
