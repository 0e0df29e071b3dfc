#include "data/DefinitionText.h"

#include <array>
#include <cstdint>
#include <limits>

#include "base/DiagnosticLog.h"
#include "data/TextFields.h"

namespace zan {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Why `text` is not a whole decimal number that fits 32 bits, or "" when it is one.
std::string NumberFault(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && Blank(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t digitsStart = i;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = std::min<int64_t>(magnitude * 10 + (text[i] - '0'), int64_t{1} << 40);
  }
  const bool hasDigits = i > digitsStart;
  while (i < text.size() && Blank(text[i])) ++i;
  if (!hasDigits || i != text.size()) return "is not a whole number";
  if (magnitude > std::numeric_limits<int32_t>::max()) return "is beyond the 32-bit range";
  return {};
}

}  // namespace

std::vector<DefinitionLine> SplitDefinitionLines(std::string_view text) {
  std::vector<DefinitionLine> lines;
  const auto length = static_cast<int64_t>(text.size());
  int64_t p = 0;
  while (p < length) {
    std::array<char, kFieldSize> out{};
    const int64_t next = p + ScanField(text.substr(static_cast<size_t>(p)), 0, out, "\n");
    // ScanField answers the position just past the LF (or the end + 1 without one).
    const int64_t lineLength = next - 1 - p;
    DefinitionLine line;
    line.number = static_cast<int32_t>(lines.size()) + 1;
    line.text = std::string(CText(out));
    line.cut = lineLength > static_cast<int64_t>(kFieldSize);
    if (!line.cut && !line.text.empty() && line.text.back() == '\r') line.text.pop_back();
    lines.push_back(std::move(line));
    p = next;
  }
  return lines;
}

std::string DescribeProblem(std::string_view file, const DefinitionProblem& problem) {
  std::string text(file);
  if (problem.line > 0) {
    text += ": line " + std::to_string(problem.line);
    if (!problem.row.empty()) text += " (" + problem.row + ")";
  } else if (!problem.row.empty()) {
    text += ": " + problem.row;
  }
  if (problem.field >= 0) {
    text += ", field " + std::to_string(problem.field);
    if (!problem.fieldName.empty()) text += " (" + problem.fieldName + ")";
  }
  return text + ": " + problem.message;
}

void LogDefinitionProblems(std::string_view file, const std::vector<DefinitionProblem>& problems) {
  if (problems.empty()) return;
  std::string line = DescribeProblem(file, problems.front());
  if (problems.size() > 1) line += " (and " + std::to_string(problems.size() - 1) + " more)";
  ZAN_WARN("%s", line.c_str());
}

std::string QuotedField(std::string_view sjis) { return "\"" + std::string(sjis) + "\""; }

DefinitionFields::DefinitionFields(const DefinitionLine& line, std::string row,
                                   std::vector<DefinitionProblem>& problems)
    : line_(line), row_(std::move(row)), problems_(problems) {}

int32_t DefinitionFields::Count() const {
  const std::string_view text = line_.text;
  std::array<char, 1> scratch{};
  int32_t count = 0;
  int64_t p = 0;
  do {
    p = ScanField(text, static_cast<int32_t>(p), scratch, ",");
    ++count;
  } while (p <= static_cast<int64_t>(text.size()));
  return count;
}

std::string DefinitionFields::Text(int32_t index) const {
  std::array<char, kFieldSize> out{};
  if (!GetField(line_.text, out, ",", index)) return {};
  return std::string(CText(out));
}

bool DefinitionFields::Number(int32_t index, std::string_view fieldName, int32_t& value) {
  if (!GetIntField(line_.text, &value, ",", index)) return false;
  const std::string text = Text(index);
  if (std::string fault = NumberFault(text); !fault.empty()) {
    Report(index, fieldName, QuotedField(text) + " " + fault + "; read as " + std::to_string(value));
  }
  return true;
}

void DefinitionFields::Report(int32_t index, std::string_view fieldName, std::string message) {
  problems_.push_back({line_.number, row_, index, std::string(fieldName), std::move(message)});
}

void DefinitionFields::ReportLine(std::string message) {
  problems_.push_back({line_.number, row_, -1, {}, std::move(message)});
}

}  // namespace zan
