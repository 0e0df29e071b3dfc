#pragma once
// VariableTable: the script variables declared in "variable.csv": an integer table and a
// string table, looked up by name ignoring case. Integer values are kept inside each
// variable's [minimum, maximum]. Names starting "G_" are global: they persist across games
// in "option.dat"; the others belong to the current game.
//
// Also the numeric argument rule every command uses (Evaluate) and the pseudo-random
// generator of "Rnd".

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zan {

class GameData;

class VariableTable {
 public:
  static constexpr size_t kNameSize = 32;          // names: 31 bytes
  static constexpr size_t kStringSize = 256;       // string values: 255 bytes
  static constexpr size_t kIntRecordSize = 48;     // row, name, value, minimum, maximum
  static constexpr size_t kStringRecordSize = 292;  // row, name, value

  struct IntVariable {
    int32_t row = 0;
    std::string name;
    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
  };
  struct StringVariable {
    int32_t row = 0;
    std::string name;
    std::string value;
  };

  // Reads "variable.csv" from the data tables (slot 3): true when read. A missing file
  // leaves both tables empty (the data reader reports it).
  bool LoadVariables(GameData& data);
  // Parses the text of "variable.csv" (header line skipped), replacing both tables.
  void LoadText(std::string_view text);

  const IntVariable* FindInt(std::string_view name) const;
  const StringVariable* FindString(std::string_view name) const;
  // The value, 0 when no integer variable bears the name.
  int32_t IntValue(std::string_view name) const;
  // Clamps into [minimum, maximum] and stores; false when the name is not an integer
  // variable.
  bool SetInt(std::string_view name, int32_t value);
  // The text; false (and empty) when the name is not a string variable.
  bool StringValue(std::string_view name, std::string* value) const;
  // Stores up to 255 bytes; false when the name is not a string variable.
  bool SetString(std::string_view name, std::string_view value);
  // Replaces the whole record of that name (value, minimum and maximum); false when absent.
  bool CopyIntRecord(const IntVariable& record);
  bool CopyStringRecord(const StringVariable& record);

  // The numeric argument rule: the value of the integer variable named by `argument`, else
  // the decimal value of the text (leading digits; none give 0).
  int32_t Evaluate(std::string_view argument) const;

  const std::vector<IntVariable>& Ints() const { return ints_; }
  const std::vector<StringVariable>& Strings() const { return strings_; }

  // Fixed records as stored in "option.dat" and the save files (little-endian, names and
  // texts NUL-padded). Decoding never reads outside the record; the name ends at its NUL.
  static void EncodeInt(const IntVariable& variable, std::span<uint8_t, kIntRecordSize> out);
  static void EncodeString(const StringVariable& variable,
                           std::span<uint8_t, kStringRecordSize> out);
  static IntVariable DecodeInt(std::span<const uint8_t, kIntRecordSize> record);
  static StringVariable DecodeString(std::span<const uint8_t, kStringRecordSize> record);

  // True for global names ("G_" prefix, any case).
  static bool IsGlobal(std::string_view name);

  // The run-time library's generator: 0..32767, seeded once at start-up.
  void SeedRandom(uint32_t seed) { random_ = seed; }
  int32_t NextRandom();

 private:
  IntVariable* FindIntMutable(std::string_view name);
  StringVariable* FindStringMutable(std::string_view name);

  std::vector<IntVariable> ints_;
  std::vector<StringVariable> strings_;
  uint32_t random_ = 1;
};

// An integer kept inside [minimum, maximum]: below the minimum gives the minimum, at or
// above the maximum the maximum.
int32_t ClampVariable(int32_t value, int32_t minimum, int32_t maximum);

}  // namespace zan
