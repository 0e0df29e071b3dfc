#pragma once
// What the readers of the definition files (system1.lib ... system6-4.lib) share: the file's
// lines, the fields of a line read with the field tokenisers, and the problems found on the
// way, each naming its line, row and field.
//
// The readers take the unscrambled Shift-JIS text. A line ends at LF (found where a
// character starts); a CR before it is dropped, so CR LF and LF files read alike. A line is
// cut at 260 bytes, the line buffer of the table readers. Readers never stop on bad text:
// they read it the way the game does (an empty field keeps the value it replaces, a number
// is read by its leading digits) and say what looked wrong.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zan {

struct DefinitionLine {
  int32_t number = 0;  // from 1
  std::string text;    // without the line end, at most 260 bytes
  bool cut = false;    // the line was longer than 260 bytes
};

std::vector<DefinitionLine> SplitDefinitionLines(std::string_view text);

// Something in a definition file that does not read as its author most likely meant.
struct DefinitionProblem {
  int32_t line = 0;       // line of the file (from 1); 0 for the file as a whole
  std::string row;        // what the line describes ("item 3", "button 2", "input 4"), or ""
  int32_t field = -1;     // field of the line (from 0); -1 for the whole line
  std::string fieldName;  // the field's meaning ("width"), or ""
  std::string message;    // Shift-JIS, as all game text (quoted fields are the file's own)
};

// "system4.lib: line 5 (item 3), field 4 (width): message".
std::string DescribeProblem(std::string_view file, const DefinitionProblem& problem);

// The fields of one line, read with the field tokenisers (delimiter ","). Problems go to
// the list given, under the line's number and the row's name.
class DefinitionFields {
 public:
  DefinitionFields(const DefinitionLine& line, std::string row,
                   std::vector<DefinitionProblem>& problems);

  // The number of fields: the commas at character starts, plus one.
  int32_t Count() const;
  // The field's text (Shift-JIS), cut at 259 bytes; "" when empty or missing.
  std::string Text(int32_t index) const;
  // Reads a number into `value` when the field is not empty and answers true; an empty or
  // missing field leaves `value` as it was and answers false. Text that is not a whole
  // decimal number (optional blanks and sign, digits, optional trailing blanks) is read by
  // its leading digits, as the game does, and reported.
  bool Number(int32_t index, std::string_view fieldName, int32_t& value);

  void Report(int32_t index, std::string_view fieldName, std::string message);
  void ReportLine(std::string message);

  std::string_view text() const { return line_.text; }
  int32_t LineNumber() const { return line_.number; }
  bool Cut() const { return line_.cut; }

 private:
  const DefinitionLine& line_;
  std::string row_;
  std::vector<DefinitionProblem>& problems_;
};

// One line in the framework log for a file read with problems: the first of them and how
// many more there are. Nothing when the list is empty.
void LogDefinitionProblems(std::string_view file, const std::vector<DefinitionProblem>& problems);

// A field's text in double quotes, for messages.
std::string QuotedField(std::string_view sjis);

}  // namespace zan
