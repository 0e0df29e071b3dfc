#include "script/SaveFile.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/ByteReader.h"
#include "base/ShiftJis.h"
#include "stage/EffectRecord.h"

namespace zan {
namespace {

constexpr size_t kTimeSize = 36;
constexpr size_t kCallsSize = 4 + ReturnStack::kDepth * (4 + kScriptNameSize);
constexpr size_t kChoiceSize = sizeof(ChoiceState);
constexpr size_t kMaskSize = sizeof(MaskChoiceState);
constexpr size_t kAreaRecords = SaveFile::kAreas + 1;

// Everything before the image slots, then everything after the variable records.
constexpr uint64_t kHeadSize = SaveFile::kThumbnailSize + kTimeSize + SaveFile::kPageTextSize +
                               SaveFile::kScriptSize + SaveFile::kSceneSize + 4 + 4 + 8 + kCallsSize +
                               kChoiceSize + kMaskSize + 4 + kAreaRecords * MessageAreaRecord::kSize;
constexpr uint64_t kTailSize = 4 + 4 + SavedMovie::kSize;

// A fixed-size writer: fields go one after another.
class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
  void I32(int32_t v) {
    uint8_t b[4];
    StoreU32(b, static_cast<uint32_t>(v));
    out_.insert(out_.end(), b, b + 4);
  }
  void Text(std::string_view text, size_t size) {
    const size_t at = Grow(size);
    StoreTextField(out_.data() + at, size, text);
  }
  void Raw(const void* data, size_t size) {
    const size_t at = Grow(size);
    std::memcpy(out_.data() + at, data, size);
  }
  // The next `size` bytes, zeroed, for a record's own encoder.
  uint8_t* Record(size_t size) { return out_.data() + Grow(size); }

 private:
  size_t Grow(size_t size) {
    const size_t at = out_.size();
    out_.resize(at + size);
    return at;
  }
  std::vector<uint8_t>& out_;
};

// Reads fields in order and keeps the first reason the file is not a save.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : in_(bytes) {}

  bool Failed() const { return !reason_.empty(); }
  const std::string& Reason() const { return reason_; }
  void Fail(const std::string& reason) {
    if (reason_.empty()) reason_ = reason;
  }
  size_t Remaining() const { return in_.remaining(); }

  int32_t I32() { return in_.I32(); }
  // A text field of `size` bytes: its terminator must lie inside it.
  std::string Text(size_t size, const std::string& what) {
    const std::span<const uint8_t> field = in_.View(size);
    if (field.empty()) return {};
    return FieldText(field.data(), size, what);
  }
  std::string FieldText(const uint8_t* field, size_t size, const std::string& what) {
    const char* chars = reinterpret_cast<const char*>(field);
    const size_t length = ::strnlen(chars, size);
    if (length == size) {
      Fail(what + " has no terminating zero within its " + std::to_string(size) + " bytes");
      return {};
    }
    return std::string(chars, length);
  }
  // A text field inside a record already read: only checked.
  void CheckText(const void* field, size_t size, const std::string& what) {
    FieldText(static_cast<const uint8_t*>(field), size, what);
  }
  std::span<const uint8_t> View(size_t size) { return in_.View(size); }
  void Raw(void* out, size_t size) { in_.Bytes(out, size); }

 private:
  ByteReader in_;
  std::string reason_;
};

std::string Numbered(const char* what, size_t index) { return std::string(what) + " " + std::to_string(index); }

void CheckArea(Reader& r, const MessageAreaRecord& record, const std::string& what) {
  r.CheckText(record.settings.picture, sizeof record.settings.picture, what + "'s window picture");
  r.CheckText(record.buffer.speaker, sizeof record.buffer.speaker, what + "'s speaker name");
  for (size_t i = 0; i < std::size(record.buffer.rubies); ++i)
    r.CheckText(record.buffer.rubies[i].text, sizeof record.buffer.rubies[i].text, what + "'s ruby " + std::to_string(i));
  for (size_t i = 0; i < std::size(record.buffer.marks); ++i)
    r.CheckText(record.buffer.marks[i].text, sizeof record.buffer.marks[i].text, what + "'s choice mark " + std::to_string(i));
}

void CheckChoices(Reader& r, const ChoiceState& choice, const MaskChoiceState& mask) {
  if (choice.open != 0 && choice.open != 1) r.Fail("the choice's open flag is " + std::to_string(choice.open));
  if (choice.hovered < -1 || choice.hovered >= ChoiceMenu::kEntries)
    r.Fail("the hovered choice " + std::to_string(choice.hovered) + " is outside -1..4");
  for (size_t i = 0; i < std::size(choice.entries); ++i) {
    const ChoiceEntry& e = choice.entries[i];
    const std::string what = Numbered("choice", i);
    r.CheckText(e.text, sizeof e.text, what + "'s text");
    r.CheckText(e.script, sizeof e.script, what + "'s script");
    r.CheckText(e.label, sizeof e.label, what + "'s label");
  }
  if (mask.open != 0 && mask.open != 1) r.Fail("the mask choice's open flag is " + std::to_string(mask.open));
  r.CheckText(mask.hitMask, sizeof mask.hitMask, "the mask choice's hit mask");
  for (size_t i = 0; i < std::size(mask.entries); ++i) {
    const MaskChoiceEntry& e = mask.entries[i];
    const std::string what = Numbered("mask choice", i);
    r.CheckText(e.hover, sizeof e.hover, what + "'s hover picture");
    r.CheckText(e.script, sizeof e.script, what + "'s script");
    r.CheckText(e.label, sizeof e.label, what + "'s label");
  }
}

// The effect record's overlay name sits 16 bytes into it.
constexpr size_t kOverlayOffset = 16;

}  // namespace

SaveTime SaveTime::FromTm(const std::tm& tm) {
  return {tm.tm_sec, tm.tm_min, tm.tm_hour, tm.tm_mday, tm.tm_mon,
          tm.tm_year, tm.tm_wday, tm.tm_yday, tm.tm_isdst > 0 ? 1 : 0};
}

SaveTime SaveTime::FromUnixSeconds(int64_t seconds) {
  using namespace std::chrono;
  const sys_days day = floor<days>(sys_seconds{std::chrono::seconds{seconds}});
  const int64_t inDay = seconds - duration_cast<std::chrono::seconds>(day.time_since_epoch()).count();
  const year_month_day date{day};
  const sys_days newYear{date.year() / January / 1};
  SaveTime t;
  t.second = static_cast<int32_t>(inDay % 60);
  t.minute = static_cast<int32_t>(inDay / 60 % 60);
  t.hour = static_cast<int32_t>(inDay / 3600);
  t.day = static_cast<int32_t>(static_cast<unsigned>(date.day()));
  t.month = static_cast<int32_t>(static_cast<unsigned>(date.month())) - 1;
  t.year = static_cast<int32_t>(date.year()) - 1900;
  t.weekday = static_cast<int32_t>(std::chrono::weekday{day}.c_encoding());
  t.yearDay = static_cast<int32_t>((day - newYear).count());
  return t;
}

SaveTime SaveTime::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  return ::localtime_r(&now, &local) != nullptr ? FromTm(local) : SaveTime{};
}

std::string SaveTime::Text() const {
  char text[96];
  // Wide sums: a damaged file may hold any number.
  std::snprintf(text, sizeof text, "%lld/%02lld/%02d %02d:%02d:%02d", year + 1900LL, month + 1LL, day, hour,
                minute, second);
  return text;
}

uint64_t SaveFileSize(uint64_t slots, uint64_t zooms, uint64_t ints, uint64_t strings) {
  return kHeadSize + 4 + slots * SavedImageSlot::kSize + 4 + zooms * SavedZoomSlot::kSize +
         kSoundRecordsSize + ParticleRecord::kSize + 8 + ints * VariableTable::kIntRecordSize +
         strings * VariableTable::kStringRecordSize + kTailSize;
}

std::string SavePageText(const MessageArea& area) {
  static const std::string open = Sjis("【");
  static const std::string close = Sjis("】");
  std::string text;
  const std::string speaker = area.SpeakerName();
  if (!speaker.empty()) text = open + speaker + close + "\r\n";
  text += area.Text();
  return std::string(CutToCharacters(text, SaveFile::kPageTextSize - 1));
}

std::vector<uint8_t> EncodeSaveFile(const SaveFile& save) {
  std::vector<uint8_t> bytes;
  bytes.reserve(SaveFileSize(save.slots.size(), save.zooms.size(), save.ints.size(), save.strings.size()));
  Writer w(bytes);
  std::vector<uint8_t> thumbnail = save.thumbnail;
  thumbnail.resize(SaveFile::kThumbnailSize);
  w.Raw(thumbnail.data(), thumbnail.size());
  const SaveTime& t = save.time;
  for (int32_t v : {t.second, t.minute, t.hour, t.day, t.month, t.year, t.weekday, t.yearDay, t.daylightSaving})
    w.I32(v);
  w.Text(save.pageText, SaveFile::kPageTextSize);
  w.Text(save.script, SaveFile::kScriptSize);
  w.Text(save.scene, SaveFile::kSceneSize);
  w.I32(save.tarot);
  w.I32(save.readPosition);
  w.I32(save.reserved[0]);
  w.I32(save.reserved[1]);

  // The call stack: the count, every position, every name (unused places zero).
  const size_t calls = std::min<size_t>(save.calls.size(), ReturnStack::kDepth);
  w.I32(static_cast<int32_t>(calls));
  for (size_t i = 0; i < ReturnStack::kDepth; ++i) w.I32(i < calls ? save.calls[i].position : 0);
  for (size_t i = 0; i < ReturnStack::kDepth; ++i) w.Text(i < calls ? save.calls[i].script : "", kScriptNameSize);

  w.Raw(&save.choice, sizeof save.choice);
  w.Raw(&save.mask, sizeof save.mask);
  w.I32(save.currentArea);
  for (size_t i = 0; i < kAreaRecords; ++i) {
    uint8_t* at = w.Record(MessageAreaRecord::kSize);
    if (i < save.areas.size()) save.areas[i].Encode(std::span<uint8_t, MessageAreaRecord::kSize>(at, MessageAreaRecord::kSize));
  }

  w.I32(static_cast<int32_t>(save.slots.size()));
  for (const SavedImageSlot& slot : save.slots)
    slot.Encode(std::span<uint8_t, SavedImageSlot::kSize>(w.Record(SavedImageSlot::kSize), SavedImageSlot::kSize));
  w.I32(static_cast<int32_t>(save.zooms.size()));
  for (const SavedZoomSlot& zoom : save.zooms)
    zoom.Encode(std::span<uint8_t, SavedZoomSlot::kSize>(w.Record(SavedZoomSlot::kSize), SavedZoomSlot::kSize));
  const std::vector<uint8_t> sounds = EncodeSoundRecords(save.sounds);
  w.Raw(sounds.data(), sounds.size());
  save.weather.Encode(std::span<uint8_t, ParticleRecord::kSize>(w.Record(ParticleRecord::kSize), ParticleRecord::kSize));

  w.I32(static_cast<int32_t>(save.ints.size()));
  w.I32(static_cast<int32_t>(save.strings.size()));
  for (const auto& v : save.ints)
    VariableTable::EncodeInt(v, std::span<uint8_t, VariableTable::kIntRecordSize>(
                                    w.Record(VariableTable::kIntRecordSize), VariableTable::kIntRecordSize));
  for (const auto& v : save.strings)
    VariableTable::EncodeString(v, std::span<uint8_t, VariableTable::kStringRecordSize>(
                                       w.Record(VariableTable::kStringRecordSize), VariableTable::kStringRecordSize));

  w.I32(save.windowShown);
  w.I32(save.openedBySaveRun);
  w.I32(save.movie.loop);
  w.I32(save.movie.paused);
  w.Text(save.movie.path, 32);
  w.Text(save.movie.cover, 32);
  return bytes;
}

Result<SaveFile> DecodeSaveFile(std::span<const uint8_t> bytes) {
  const uint64_t smallest = SaveFileSize(0, 0, 0, 0);
  if (bytes.size() < smallest)
    return MakeError("the file is " + std::to_string(bytes.size()) + " bytes; a save has at least " +
                     std::to_string(smallest));
  SaveFile save;
  Reader r(bytes);
  r.Raw(save.thumbnail.data(), SaveFile::kThumbnailSize);
  SaveTime& t = save.time;
  for (int32_t* v : {&t.second, &t.minute, &t.hour, &t.day, &t.month, &t.year, &t.weekday, &t.yearDay,
                     &t.daylightSaving})
    *v = r.I32();
  save.pageText = r.Text(SaveFile::kPageTextSize, "the page text");
  save.script = r.Text(SaveFile::kScriptSize, "the script name");
  if (!r.Failed() && save.script.empty()) r.Fail("the script name is empty");
  save.scene = r.Text(SaveFile::kSceneSize, "the scene name");
  save.tarot = r.I32();
  save.readPosition = r.I32();
  if (save.readPosition < 0) r.Fail("the read position " + std::to_string(save.readPosition) + " is negative");
  save.reserved[0] = r.I32();
  save.reserved[1] = r.I32();

  const int32_t calls = r.I32();
  if (calls < 0 || calls > ReturnStack::kDepth)
    r.Fail("the call stack holds " + std::to_string(calls) + " calls, more than " + std::to_string(ReturnStack::kDepth) +
           " or fewer than none");
  std::array<int32_t, ReturnStack::kDepth> positions{};
  for (int32_t& p : positions) p = r.I32();
  for (int32_t i = 0; i < ReturnStack::kDepth; ++i) {
    std::string name = r.Text(kScriptNameSize, Numbered("call", static_cast<size_t>(i)) + "'s script name");
    if (r.Failed() || i >= calls) continue;
    if (positions[static_cast<size_t>(i)] < 0) r.Fail(Numbered("call", static_cast<size_t>(i)) + " returns to a negative position");
    save.calls.push_back({positions[static_cast<size_t>(i)], std::move(name)});
  }

  r.Raw(&save.choice, sizeof save.choice);
  r.Raw(&save.mask, sizeof save.mask);
  CheckChoices(r, save.choice, save.mask);
  save.currentArea = r.I32();
  if (save.currentArea < 0 || save.currentArea >= SaveFile::kAreas)
    r.Fail("the current message area " + std::to_string(save.currentArea) + " is outside 0..2");
  for (size_t i = 0; i < kAreaRecords; ++i) {
    const std::span<const uint8_t> record = r.View(MessageAreaRecord::kSize);
    if (record.empty()) break;
    MessageAreaRecord::Decode(std::span<const uint8_t, MessageAreaRecord::kSize>(record.data(), MessageAreaRecord::kSize),
                              save.areas[i]);
    // The decoded record keeps its text fields as they were: check them there.
    CheckArea(r, save.areas[i], i < SaveFile::kAreas ? Numbered("message area", i) : "the choice area");
  }
  if (r.Failed()) return MakeError(r.Reason());

  // The counts decide the size: each is checked against what is left before it is used.
  const int32_t slots = r.I32();
  if (slots < 0 || slots > ImageLayers::kMaxSlots)
    return MakeError("the image slot count " + std::to_string(slots) + " is outside 0.." + std::to_string(ImageLayers::kMaxSlots));
  if (r.Remaining() < uint64_t(slots) * SavedImageSlot::kSize + 4)
    return MakeError("the file ends inside its " + std::to_string(slots) + " image slots");
  for (int32_t i = 0; i < slots; ++i) {
    const std::span<const uint8_t> record = r.View(SavedImageSlot::kSize);
    const std::string what = Numbered("image slot", static_cast<size_t>(i));
    r.CheckText(record.data(), 260, what + "'s picture name");
    r.CheckText(record.data() + 260, 260, what + "'s object name");
    r.CheckText(record.data() + 524 + kOverlayOffset, EffectRecord::kNameSize, what + "'s overlay picture");
    save.slots.push_back(SavedImageSlot::Decode(std::span<const uint8_t, SavedImageSlot::kSize>(record.data(), SavedImageSlot::kSize)));
  }
  const int32_t zooms = r.I32();
  if (zooms < 0 || zooms > ImageLayers::kMaxZooms)
    return MakeError("the zoom window count " + std::to_string(zooms) + " is outside 0.." + std::to_string(ImageLayers::kMaxZooms));
  if (r.Remaining() < uint64_t(zooms) * SavedZoomSlot::kSize)
    return MakeError("the file ends inside its " + std::to_string(zooms) + " zoom windows");
  for (int32_t i = 0; i < zooms; ++i) {
    const std::span<const uint8_t> record = r.View(SavedZoomSlot::kSize);
    r.CheckText(record.data() + kOverlayOffset, EffectRecord::kNameSize, Numbered("zoom window", static_cast<size_t>(i)) + "'s overlay picture");
    save.zooms.push_back(SavedZoomSlot::Decode(std::span<const uint8_t, SavedZoomSlot::kSize>(record.data(), SavedZoomSlot::kSize)));
  }

  const std::span<const uint8_t> sounds = r.View(kSoundRecordsSize);
  if (sounds.empty()) return MakeError("the file ends inside the sound channels");
  if (const uint32_t count = LoadU32(sounds.data()); count != kSoundRecordCount)
    return MakeError("the sound block counts " + std::to_string(count) + " channels instead of " +
                     std::to_string(kSoundRecordCount));
  for (size_t i = 0; i < kSoundRecordCount; ++i)
    r.CheckText(sounds.data() + 4 + i * SoundChannelRecord::kSize, SoundChannelRecord::kFileSize,
                Numbered("sound channel", i) + "'s file name");
  if (r.Failed()) return MakeError(r.Reason());
  save.sounds = *DecodeSoundRecords(sounds);
  const std::span<const uint8_t> weather = r.View(ParticleRecord::kSize);
  if (weather.empty()) return MakeError("the file ends inside the weather");
  save.weather = ParticleRecord::Decode(std::span<const uint8_t, ParticleRecord::kSize>(weather.data(), ParticleRecord::kSize));

  const int32_t ints = r.I32();
  const int32_t strings = r.I32();
  if (ints < 0 || strings < 0)
    return MakeError("the variable counts " + std::to_string(ints) + " and " + std::to_string(strings) + " are negative");
  const uint64_t expected = SaveFileSize(uint64_t(slots), uint64_t(zooms), uint64_t(ints), uint64_t(strings));
  if (bytes.size() != expected)
    return MakeError("the file is " + std::to_string(bytes.size()) + " bytes; with " + std::to_string(slots) +
                     " image slots, " + std::to_string(zooms) + " zoom windows, " + std::to_string(ints) +
                     " integer and " + std::to_string(strings) + " string variables a save is " +
                     std::to_string(expected));
  for (int32_t i = 0; i < ints; ++i) {
    const std::span<const uint8_t> record = r.View(VariableTable::kIntRecordSize);
    r.CheckText(record.data() + 4, VariableTable::kNameSize, Numbered("integer variable", static_cast<size_t>(i)) + "'s name");
    save.ints.push_back(VariableTable::DecodeInt(std::span<const uint8_t, VariableTable::kIntRecordSize>(record.data(), VariableTable::kIntRecordSize)));
  }
  for (int32_t i = 0; i < strings; ++i) {
    const std::span<const uint8_t> record = r.View(VariableTable::kStringRecordSize);
    const std::string what = Numbered("string variable", static_cast<size_t>(i));
    r.CheckText(record.data() + 4, VariableTable::kNameSize, what + "'s name");
    r.CheckText(record.data() + 4 + VariableTable::kNameSize, VariableTable::kStringSize, what + "'s value");
    save.strings.push_back(VariableTable::DecodeString(
        std::span<const uint8_t, VariableTable::kStringRecordSize>(record.data(), VariableTable::kStringRecordSize)));
  }
  save.windowShown = r.I32();
  save.openedBySaveRun = r.I32();
  save.movie.loop = r.I32();
  save.movie.paused = r.I32();
  save.movie.path = r.Text(32, "the movie path");
  save.movie.cover = r.Text(32, "the movie's cover picture");
  if (r.Failed()) return MakeError(r.Reason());
  return save;
}

}  // namespace zan
