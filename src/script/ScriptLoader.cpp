#include "script/ScriptLoader.h"

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"
#include "data/GameData.h"
#include "platform/MessageBoxes.h"

namespace zan {

bool ReturnStack::Push(std::string_view script, int32_t position) {
  if (count_ >= kDepth) return false;
  Entry& entry = entries_[static_cast<size_t>(count_++)];
  entry.position = position;
  entry.script.assign(CutToCharacters(script, kScriptNameSize - 1));
  return true;
}

bool ReturnStack::Pop(Entry* entry) {
  if (count_ <= 0) return false;
  *entry = entries_[static_cast<size_t>(--count_)];
  return true;
}

void ScriptRecord::Unload() {
  name.clear();
  text.clear();
  labels.clear();
}

ScriptLoader::ScriptLoader(GameData& data, MessageBoxes* boxes) : data_(data), boxes_(boxes) {}

void ScriptLoader::LoadScript(ScriptRecord& record, std::string_view name) {
  if (name.empty() || EqualsNoCase(name, record.name)) return;
  record.Unload();
  std::vector<uint8_t> text;
  if (data_.ReadGameFile(name, kSlotScripts, text) != 1) {
    ZAN_WARN("script: %s cannot be read; the story stops here", SjisToUtf8(name).c_str());
    return;
  }
  if (name.size() > kScriptNameSize - 1)
    ZAN_WARN("script: the name %s is longer than 31 bytes and is kept cut",
            SjisToUtf8(name).c_str());
  record.name.assign(CutToCharacters(name, kScriptNameSize - 1));
  record.text = std::move(text);
  int cut = 0;
  record.labels = ScanLabels(record.Text(), &cut);
  if (cut > 0)
    ZAN_WARN("script: %d label(s) of %s longer than 63 bytes are kept cut", cut,
            SjisToUtf8(record.name).c_str());
  if (enterHook_) enterHook_(record.name, 0);
}

int32_t ScriptLoader::FindLabel(const ScriptRecord& record, std::string_view label) {
  const std::string_view wanted = CutToCharacters(label, kLabelNameSize - 1);
  for (const LabelEntry& entry : record.labels)
    if (EqualsNoCase(entry.name, wanted)) return entry.position;
  return -1;
}

int32_t ScriptLoader::ReadElement(const ScriptRecord& record, int32_t start, std::string& out,
                             bool keepBreaks) {
  ElementInfo info;
  const int32_t next = zan::ReadElement(record.Text(), start, out, keepBreaks, &info);
  if (info.textOverflow && boxes_) {
    static const std::string message = Sjis("スクリプトサイズオーバーフロー!!");
    boxes_->Show(message, record.name, kErrorBox);
  }
  if (info.tagCut)
    ZAN_WARN("script: a tag of %s longer than 259 bytes is cut at position %d",
            SjisToUtf8(record.name).c_str(), start);
  return next;
}

template <class Count>
int32_t ScriptLoader::CountElements(std::string_view name, int32_t end, Count count) {
  std::vector<uint8_t> bytes;
  if (data_.ReadGameFile(name, kSlotScripts, bytes) != 1) return 0;
  return CountElementsIn({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, end, count);
}

template <class Count>
int32_t ScriptLoader::CountElementsIn(std::string_view text, int32_t end, Count count) {
  int32_t total = 0;
  std::string element;
  for (int32_t position = 0; position < static_cast<int32_t>(text.size());) {
    ElementInfo info;
    const int32_t next = zan::ReadElement(text, position, element, false, &info);
    // Only tags that begin before the end count: a label just before a tag makes the tag
    // the element that reaches the end, and that tag still lies ahead.
    if (end != -1 && info.tagStart >= end) break;
    total += count(element);
    if (end != -1 && next >= end) break;
    position = next;
  }
  return total;
}

int32_t ScriptLoader::CountTextWaits(std::string_view name, int32_t end) {
  return CountElements(name, end, [](const std::string& e) { return IsTextWaitTag(e) ? 1 : 0; });
}

int32_t ScriptLoader::CountChoicePoints(std::string_view name, int32_t end) {
  return CountElements(name, end,
                       [](const std::string& e) { return IsChoicePointTag(e) ? 1 : 0; });
}

int32_t ScriptLoader::CountChoicePointsIn(std::string_view text, int32_t end) {
  return CountElementsIn(text, end,
                         [](const std::string& e) { return IsChoicePointTag(e) ? 1 : 0; });
}

}  // namespace zan
