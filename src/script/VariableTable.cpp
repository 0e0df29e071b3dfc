#include "script/VariableTable.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"
#include "data/GameData.h"
#include "data/TextFields.h"
#include "script/ScriptText.h"

namespace zan {
namespace {

std::string StoredName(std::string_view name, int row) {
  if (name.size() > VariableTable::kNameSize - 1)
    ZAN_WARN("variable.csv: the name on row %d is longer than 31 bytes and is kept cut", row);
  return std::string(CutToCharacters(name, VariableTable::kNameSize - 1));
}

void PutText(uint8_t* out, size_t size, std::string_view text) {
  std::memset(out, 0, size);
  std::memcpy(out, text.data(), std::min(text.size(), size - 1));
}

std::string GetText(const uint8_t* in, size_t size) {
  const char* chars = reinterpret_cast<const char*>(in);
  return std::string(chars, ::strnlen(chars, size));
}

}  // namespace

int32_t ClampVariable(int32_t value, int32_t minimum, int32_t maximum) {
  if (value < minimum) return minimum;
  if (value >= maximum) return maximum;
  return value;
}

bool VariableTable::LoadVariables(GameData& data) {
  std::vector<uint8_t> bytes;
  if (data.ReadTableFile("variable.csv", kSlotTables, bytes) != 1) {
    ints_.clear();
    strings_.clear();
    declaredInts_.clear();
    declaredStrings_.clear();
    return false;
  }
  LoadText(AsText(bytes));
  return true;
}

void VariableTable::LoadText(std::string_view text) {
  ints_.clear();
  strings_.clear();
  int row = 0;
  ForEachTableLine(text, 1, [&](std::string_view line) {
    if (line.empty()) return true;  // a blank line (the file's last line end)
    // Fields as the table tokeniser cuts them (an empty field leaves the buffer empty).
    auto field = [&](int32_t index) {
      std::array<char, kFieldSize> buffer{};
      GetField(line, buffer, ",", index);
      return std::string(CText(buffer));
    };
    auto number = [&](int32_t index) {
      int32_t value = 0;
      GetIntField(line, &value, ",", index);
      return value;
    };
    const std::string name = StoredName(field(1), row);
    if (EqualsNoCase(field(0), "STR")) {
      strings_.push_back({row, name, std::string(CutToCharacters(field(2), kStringSize - 1))});
    } else {
      ints_.push_back({row, name, number(2), number(3), number(4)});
      if (ints_.back().minimum > ints_.back().maximum)
        ZAN_WARN("variable.csv: row %d (%s): minimum %d above maximum %d", row, SjisToUtf8(name).c_str(),
                 ints_.back().minimum, ints_.back().maximum);
    }
    ++row;
    return true;
  });
  declaredInts_ = ints_;
  declaredStrings_ = strings_;
}

VariableTable::IntVariable* VariableTable::FindIntMutable(std::string_view name) {
  const std::string_view key = CutToCharacters(name, kNameSize - 1);
  for (IntVariable& v : ints_)
    if (EqualsNoCase(v.name, key)) return &v;
  return nullptr;
}

VariableTable::StringVariable* VariableTable::FindStringMutable(std::string_view name) {
  const std::string_view key = CutToCharacters(name, kNameSize - 1);
  for (StringVariable& v : strings_)
    if (EqualsNoCase(v.name, key)) return &v;
  return nullptr;
}

const VariableTable::IntVariable* VariableTable::FindInt(std::string_view name) const {
  return const_cast<VariableTable*>(this)->FindIntMutable(name);
}

const VariableTable::StringVariable* VariableTable::FindString(std::string_view name) const {
  return const_cast<VariableTable*>(this)->FindStringMutable(name);
}

int32_t VariableTable::IntValue(std::string_view name) const {
  const IntVariable* v = FindInt(name);
  return v ? v->value : 0;
}

bool VariableTable::SetInt(std::string_view name, int32_t value) {
  IntVariable* v = FindIntMutable(name);
  if (!v) return false;
  v->value = ClampVariable(value, v->minimum, v->maximum);
  return true;
}

bool VariableTable::StringValue(std::string_view name, std::string* value) const {
  const StringVariable* v = FindString(name);
  value->assign(v ? v->value : std::string());
  return v != nullptr;
}

bool VariableTable::SetString(std::string_view name, std::string_view value) {
  StringVariable* v = FindStringMutable(name);
  if (!v) return false;
  v->value.assign(CutToCharacters(value, kStringSize - 1));
  return true;
}

bool VariableTable::CopyIntRecord(const IntVariable& record) {
  IntVariable* v = FindIntMutable(record.name);
  if (!v) return false;
  v->value = record.value;
  v->minimum = record.minimum;
  v->maximum = record.maximum;
  return true;
}

bool VariableTable::CopyStringRecord(const StringVariable& record) {
  StringVariable* v = FindStringMutable(record.name);
  if (!v) return false;
  v->value.assign(CutToCharacters(record.value, kStringSize - 1));
  return true;
}

int32_t VariableTable::Evaluate(std::string_view argument) const {
  if (const IntVariable* v = FindInt(argument)) return v->value;
  return ParseDecimal(argument);
}

void VariableTable::RestoreGameVariables(std::span<const IntVariable> ints,
                                         std::span<const StringVariable> strings) {
  auto stored = [](auto records, std::string_view name) -> decltype(&records[0]) {
    for (const auto& r : records)
      if (EqualsNoCase(r.name, name)) return &r;
    return nullptr;
  };
  for (size_t i = 0; i < ints_.size(); ++i) {
    IntVariable& v = ints_[i];
    if (IsGlobal(v.name)) continue;
    const IntVariable* saved = stored(ints, v.name);
    v.value = ClampVariable(saved ? saved->value : declaredInts_[i].value, v.minimum, v.maximum);
  }
  for (size_t i = 0; i < strings_.size(); ++i) {
    StringVariable& v = strings_[i];
    if (IsGlobal(v.name)) continue;
    const StringVariable* saved = stored(strings, v.name);
    v.value.assign(CutToCharacters(saved ? saved->value : declaredStrings_[i].value, kStringSize - 1));
  }
}

bool VariableTable::IsGlobal(std::string_view name) { return StartsWithNoCase(name, "G_"); }

int32_t VariableTable::NextRandom() {
  // The classic C library's linear congruential generator, so "Rnd" draws from 0..32767.
  random_ = random_ * 214013u + 2531011u;
  return static_cast<int32_t>((random_ >> 16) & 0x7FFF);
}

void VariableTable::EncodeInt(const IntVariable& variable, std::span<uint8_t, kIntRecordSize> out) {
  StoreU32(out.data(), static_cast<uint32_t>(variable.row));
  PutText(out.data() + 4, kNameSize, variable.name);
  StoreU32(out.data() + 36, static_cast<uint32_t>(variable.value));
  StoreU32(out.data() + 40, static_cast<uint32_t>(variable.minimum));
  StoreU32(out.data() + 44, static_cast<uint32_t>(variable.maximum));
}

void VariableTable::EncodeString(const StringVariable& variable,
                             std::span<uint8_t, kStringRecordSize> out) {
  StoreU32(out.data(), static_cast<uint32_t>(variable.row));
  PutText(out.data() + 4, kNameSize, variable.name);
  PutText(out.data() + 36, kStringSize, variable.value);
}

VariableTable::IntVariable VariableTable::DecodeInt(std::span<const uint8_t, kIntRecordSize> record) {
  return {static_cast<int32_t>(LoadU32(record.data())), GetText(record.data() + 4, kNameSize),
          static_cast<int32_t>(LoadU32(record.data() + 36)),
          static_cast<int32_t>(LoadU32(record.data() + 40)),
          static_cast<int32_t>(LoadU32(record.data() + 44))};
}

VariableTable::StringVariable VariableTable::DecodeString(
    std::span<const uint8_t, kStringRecordSize> record) {
  return {static_cast<int32_t>(LoadU32(record.data())), GetText(record.data() + 4, kNameSize),
          GetText(record.data() + 36, kStringSize)};
}

}  // namespace zan
