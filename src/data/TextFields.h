#pragma once
// Cutting Shift-JIS text tables into lines and comma-separated fields. Everything works on
// raw bytes of a known length and is double-byte aware: a delimiter is recognised only
// where a character starts, so the trail byte of a double-byte character never counts as a
// comma or a line end. Fields are not trimmed, quoted or escaped. Lines end in CR LF.
//
// Output buffers are fixed char arrays given as spans (the usual size is 260). Work
// buffers are 1024 bytes: a field or line longer than 1023 bytes is cut there.
//
// Delimiters are C strings (one character, e.g. "," or "\n"); a null delimiter is none.
// A character is compared with as many bytes of the delimiter as it has, the delimiter's
// terminator included, so a double-byte character never equals a one-byte delimiter.

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace zan {

constexpr size_t kFieldWorkSize = 1024;
constexpr size_t kFieldSize = 260;  // the usual line and field buffer

// Scans `data` from `start` up to the first d1 or d2 at a character start. The field goes
// to `out` (cleared first): with its terminator when shorter than `out`, else exactly
// out.size() bytes without one. Returns the position just after the delimiter; when none
// occurs the field runs to the end and the result is data.size() + 1.
int32_t ScanField(std::string_view data, int32_t start, std::span<char> out, const char* d1,
                  const char* d2 = nullptr);

// The index just after the first `delimiter` (data.size() + 1 when there is none).
int32_t SkipPast(std::string_view data, const char* delimiter);

// The line up to its CR or LF goes to `out`; returns the bytes to step over to reach the
// next line, which always counts two bytes of line end (CR LF).
int32_t ReadLine(std::string_view data, std::span<char> out);

// `out` = the text after the first field and its delimiter (cleared first; copied under the
// same rule as ScanField). `text` runs to its first NUL or the end of the view.
void DropField(std::string_view text, std::span<char> out, const char* delimiter);

// Field `index` (0 = first) of `text` (up to its first NUL or the end of the view, so a
// fixed char array can be passed whole). True with the field in `out`, cut to
// out.size() - 1 bytes and always terminated; false when the field is empty or missing,
// `out` unchanged.
bool GetField(std::string_view text, std::span<char> out, const char* delimiter,
                 int32_t index);

// As GetField, converted like atoi (leading blanks, optional sign, digits up to the first
// other byte; no digits give 0; values beyond int32 saturate). False and `out` unchanged
// when the field is empty or missing.
bool GetIntField(std::string_view text, int32_t* out, const char* delimiter, int32_t index);

// atoi on a byte string, saturating at the int32 limits.
int32_t ParseDecimal(std::string_view text);

// `value` in decimal into `out` (cleared, always terminated; what does not fit is left
// off whole characters): a leading minus, full-width digits ("０"-"９", "－", "，") when
// `fullWidth`, and a separator before each group of three digits still to come when
// `separators`.
void FormatNumber(std::span<char> out, int32_t value, bool fullWidth, bool separators);

// True when left <= x <= left + width and top <= y <= top + height (edges inclusive).
bool PointInRect(int32_t x, int32_t y, int32_t left, int32_t top, int32_t width, int32_t height);

// The common walk of the table readers: steps over `headerLines` lines, then hands each
// further line (without its end, cut at 260 bytes, the size of a line buffer) to `row`
// until the data ends or `row` answers false.
void ForEachTableLine(std::string_view data, int headerLines,
                      const std::function<bool(std::string_view line)>& row);

// The text of a fixed char array (or any char span) up to its first NUL.
std::string_view CText(std::span<const char> chars);

}  // namespace zan
