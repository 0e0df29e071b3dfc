#include "message/MessageArea.h"

#include "base/ShiftJis.h"

namespace zan {

void MessageArea::Append(std::string_view text) { text_.append(text); }

void MessageArea::SetSpeakerName(std::string_view name) {
  size_t end = 0;
  while (end < name.size()) {
    size_t step = IsSjisLeadByte(static_cast<unsigned char>(name[end])) ? 2 : 1;
    if (end + step > kSpeakerNameSize - 1 || end + step > name.size()) break;
    end += step;
  }
  speaker_.assign(name.substr(0, end));
}

int32_t MessageArea::PresentPage(bool read) {
  presentedRead_ = read;
  return ShowAll();
}

int32_t MessageArea::ShowAll() {
  if (IsAllShown()) return 0;
  shown_ = text_.size();
  return 1;
}

void MessageArea::Clear() {
  text_.clear();
  speaker_.clear();
  shown_ = 0;
  presentedRead_ = false;
}

void MessageAreas::ClearAll() {
  for (MessageArea& area : areas) area = MessageArea();
  choice = MessageArea();
}

}  // namespace zan
