// The picture commands, two families sharing their argument rules: the image slots
// ("Image..." and friends, the scope bars of "RkoScope") and the zoom windows
// ("Zoom..."). They set the slots and windows of the interpreter's image layers
// (stage/ImageLayers.h), which draw them every frame.
//
// Arguments follow the numeric argument rule; "-" keeps a value where a command says so.
// A slot number outside the slots does nothing ("ImageMove" answers kNoSlot). An animated
// command with the wait option "ON" holds the script for its frames at 30 frames a second
// and presents the page. In skip mode, and with effects switched off, animations take their
// end state at once and never hold the script.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "base/ShiftJis.h"
#include "data/CsvRowTable.h"
#include "data/NameList.h"
#include "stage/ImageLayers.h"
#include "script/CommandFamilies.h"
#include "script/Options.h"
#include "script/TimedWait.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;
using Side = ImageLayers::Side;
using ZoomPart = ImageLayers::ZoomPart;

constexpr int32_t kFramesPerSecond = 30;

using S = StageCommandServices;

int32_t Num(const S& s, const CommandCall& c, size_t i) { return s.variables.Evaluate(c.Arg(i)); }

bool IsKeep(const CommandCall& c, size_t i) { return c.Arg(i) == "-"; }

// The value, or nothing for "-".
std::optional<int32_t> Kept(const S& s, const CommandCall& c, size_t i) {
  if (IsKeep(c, i)) return std::nullopt;
  return Num(s, c, i);
}

bool On(const CommandCall& c, size_t i) { return c.Is(i, "ON"); }

// "+" accelerates, "-" decelerates, anything else is linear.
int32_t Ease(const CommandCall& c, size_t i) {
  if (c.Arg(i) == "+") return kEaseAccelerating;
  if (c.Arg(i) == "-") return kEaseDecelerating;
  return kEaseLinear;
}

bool EffectsOff(const S& s) { return s.options.skipMode != 0 || s.options.noEffects != 0; }

// The wait option: frames * 1000 / 30 ms of timed wait (none with effects off) and the page
// presented; without it the script reads on.
R Wait(const S& s, const CommandCall& c, size_t option, int32_t frames) {
  if (!On(c, option)) return R::kContinue;
  const int64_t ms = EffectsOff(s) ? 0 : int64_t{frames} * 1000 / kFramesPerSecond;
  s.wait.Start(static_cast<int32_t>(std::clamp<int64_t>(ms, 0, INT32_MAX)));
  return R::kShowText;
}

// The slot named by argument 0, or nothing when it lies outside the slots.
std::optional<int32_t> SlotArg(const S& s, const CommandCall& c) {
  const int32_t slot = Num(s, c, 0);
  if (s.layers.Slot(slot) == nullptr) return std::nullopt;
  return slot;
}

std::optional<int32_t> ZoomArg(const S& s, const CommandCall& c) {
  const int32_t zoom = Num(s, c, 0);
  if (s.layers.Zoom(zoom) == nullptr) return std::nullopt;
  return zoom;
}

std::optional<Side> SideOf(const std::string& text) {
  static const std::string left = Sjis("左");
  static const std::string centre = Sjis("中");
  static const std::string right = Sjis("右");
  if (text == left) return Side::kLeft;
  if (text == centre) return Side::kCentre;
  if (text == right) return Side::kRight;
  return std::nullopt;
}

// A z value argument: empty or "-" changes nothing.
void ApplyZ(const S& s, const CommandCall& c, int32_t slot, size_t i) {
  if (c.Arg(i).empty() || IsKeep(c, i)) return;
  s.layers.SetZ(slot, Num(s, c, i));
}

// The position form from argument `first`: nothing when it is empty; a side (左, 中, 右)
// and a z value; or x, y ("-" keeps) and a z value.
void ApplyPosition(const S& s, const CommandCall& c, int32_t slot, size_t first) {
  if (c.Arg(first).empty()) return;
  if (std::optional<Side> side = SideOf(c.Arg(first))) {
    s.layers.PlaceAtSide(slot, *side);
    ApplyZ(s, c, slot, first + 1);
    return;
  }
  s.layers.SetPosition(slot, Kept(s, c, first), Kept(s, c, first + 1));
  ApplyZ(s, c, slot, first + 2);
}

// A picture shown in a slot unlocks its gallery entry: its row in the event picture list.
void UnlockGallery(const ImageCommandServices& s, const std::string& picture) {
  if (const NameList* list = s.pictures.eventCgList) {
    if (const std::optional<int32_t> row = list->Find(picture)) s.gallery.Set(*row);
  }
}

template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, ::strnlen(field, N));
}

// "ImageLoad", "ImageLoadInit": slot, file, position.
R LoadImage(const ImageCommandServices& s, const CommandCall& c) {
  const auto slot = SlotArg(s.stage, c);
  if (!slot) return R::kContinue;
  if (s.stage.layers.LoadPicture(*slot, c.Arg(1))) UnlockGallery(s, c.Arg(1));
  ApplyPosition(s.stage, c, *slot, 2);
  return R::kContinue;
}

// "Image": slot, abbreviation, position; the abbreviation names the picture and its overlay.
R ImageByAbbreviation(const ImageCommandServices& s, const CommandCall& c) {
  ImageLayers& layers = s.stage.layers;
  const auto slot = SlotArg(s.stage, c);
  const CsvRowTable* table = s.pictures.abbreviations;
  const CsvRow* row = table != nullptr ? table->Find(c.Arg(1)) : nullptr;
  if (!slot || row == nullptr) return R::kContinue;
  const std::string picture = FieldText(row->textA);
  if (layers.LoadPicture(*slot, picture)) UnlockGallery(s, picture);
  const std::string overlay = FieldText(row->textB);
  if (!overlay.empty()) {
    EffectRecord effect = layers.Slot(*slot)->effect;
    effect.overlay = overlay;
    effect.overlayX = row->numberA;
    effect.overlayY = row->numberB;
    layers.SetEffect(*slot, effect);
  }
  ApplyPosition(s.stage, c, *slot, 2);
  return R::kContinue;
}

// Changes a slot's effect record and rebuilds its variant.
template <class Change>
R EditEffect(const S& s, const CommandCall& c, Change change) {
  const auto slot = SlotArg(s, c);
  if (!slot) return R::kContinue;
  EffectRecord effect = s.layers.Slot(*slot)->effect;
  change(effect);
  s.layers.SetEffect(*slot, effect);
  return R::kContinue;
}

// "ImageRGBA": slot, red, green, blue, amount ("-" or nothing keeps a value), or slot, "OFF".
R SetColour(const S& s, const CommandCall& c) {
  return EditEffect(s, c, [&](EffectRecord& e) {
    if (c.Is(1, "OFF")) {
      e.red = e.green = e.blue = e.amount = 0;
      return;
    }
    uint8_t* bytes[] = {&e.red, &e.green, &e.blue, &e.amount};
    for (size_t i = 0; i < std::size(bytes); ++i) {
      if (c.Arg(i + 1).empty() || IsKeep(c, i + 1)) continue;
      *bytes[i] = static_cast<uint8_t>(std::clamp(Num(s, c, i + 1), 0, 255));
    }
  });
}

R FlagCommand(const S& s, const CommandCall& c, int32_t EffectRecord::*flag) {
  return EditEffect(s, c, [&](EffectRecord& e) { e.*flag = On(c, 1) ? 1 : 0; });
}

// "ImageMove": slot, frames, x, y, wait, easing x, easing y.
R Move(const S& s, const CommandCall& c) {
  const auto slot = SlotArg(s, c);
  if (!slot) return R::kNoSlot;
  const int32_t frames = Num(s, c, 1);
  const int32_t x = Num(s, c, 2);
  const int32_t y = Num(s, c, 3);
  if (EffectsOff(s)) s.layers.MoveNow(*slot, x, y);
  else s.layers.StartMove(*slot, frames, x, y, Ease(c, 5), Ease(c, 6));
  return Wait(s, c, 4, frames);
}

// "ImageMoveRate": slot, frames, rate, wait, easing.
R MoveRate(const S& s, const CommandCall& c) {
  const auto slot = SlotArg(s, c);
  if (!slot) return R::kContinue;
  const int32_t frames = Num(s, c, 1);
  const int32_t rate = Num(s, c, 2);
  if (EffectsOff(s)) s.layers.RateNow(*slot, rate);
  else s.layers.StartRateChange(*slot, frames, rate, Ease(c, 4));
  return Wait(s, c, 3, frames);
}

// "ImageFade", "ZoomFade": slot, frames, "ON" (in) or not (out), wait.
R FadeCommand(const S& s, const CommandCall& c, std::optional<int32_t> target,
              void (ImageLayers::*now)(int32_t, bool), void (ImageLayers::*start)(int32_t, int32_t, bool)) {
  if (!target) return R::kContinue;
  const int32_t frames = Num(s, c, 1);
  if (EffectsOff(s)) (s.layers.*now)(*target, On(c, 2));
  else (s.layers.*start)(*target, frames, On(c, 2));
  return Wait(s, c, 3, frames);
}

// "ImageShake": slot, frames, amplitude x, y, wait (random offsets). "ImageShake2": slot,
// frames, amplitude x, y, phase steps x, y in tenths of a radian, wait (a sine). With
// effects off no shake starts, and a running one ends.
R Shake(const S& s, const CommandCall& c, int32_t type) {
  const auto slot = SlotArg(s, c);
  if (!slot) return R::kContinue;
  const int32_t frames = Num(s, c, 1);
  const bool sine = type == kShakeSine;
  if (EffectsOff(s)) {
    s.layers.StopShake(*slot);
  } else {
    const double stepX = sine ? Num(s, c, 4) * 0.1 : 0.0;
    const double stepY = sine ? Num(s, c, 5) * 0.1 : 0.0;
    s.layers.StartShake(*slot, type, frames, Num(s, c, 2), Num(s, c, 3), stepX, stepY);
  }
  return Wait(s, c, sine ? 6 : 4, frames);
}

R ImageEye(const S& s, const CommandCall& c) {
  const auto slot = SlotArg(s, c);
  if (!slot) return R::kContinue;
  if (c.Is(1, "OFF")) s.layers.StopEye(*slot);
  else s.layers.StartEye(*slot, c.Arg(1), Kept(s, c, 2), Kept(s, c, 3));
  return R::kContinue;
}

// The rectangle of "ZoomDst", "ZoomSrc": slot, x, y, width, height.
ZoomRect RectArgs(const S& s, const CommandCall& c) {
  return {Num(s, c, 1), Num(s, c, 2), Num(s, c, 3), Num(s, c, 4)};
}

ZoomPart ZoomPartOf(const CommandCall& c, size_t i) {
  if (c.Is(i, "SrcPos")) return ZoomPart::kSrcPos;
  if (c.Is(i, "SrcSize")) return ZoomPart::kSrcSize;
  if (c.Is(i, "DstSize")) return ZoomPart::kDstSize;
  return ZoomPart::kDstPos;
}

// "ZoomMove": slot, frames, target, a, b, wait, easing a, easing b.
R ZoomMove(const S& s, const CommandCall& c) {
  const auto zoom = ZoomArg(s, c);
  if (!zoom) return R::kContinue;
  const int32_t frames = Num(s, c, 1);
  const ZoomPart part = ZoomPartOf(c, 2);
  const int32_t a = Num(s, c, 3);
  const int32_t b = Num(s, c, 4);
  if (EffectsOff(s)) s.layers.SetZoomPart(*zoom, part, a, b);
  else s.layers.StartZoomMove(*zoom, part, frames, a, b, Ease(c, 6), Ease(c, 7));
  return Wait(s, c, 5, frames);
}

// Runs `action` on the slot of argument 0 when there is one; Continue.
template <class Action>
R OnSlot(const S& s, const CommandCall& c, Action action) {
  if (const auto slot = SlotArg(s, c)) action(*slot);
  return R::kContinue;
}

template <class Action>
R OnZoom(const S& s, const CommandCall& c, Action action) {
  if (const auto zoom = ZoomArg(s, c)) action(*zoom);
  return R::kContinue;
}

}  // namespace

void RegisterImageCommands(CommandTable& table, const ImageCommandServices& services) {
  SetHandlers(table, services, {
      {"Image", ImageByAbbreviation},
      {"ImageLoad", LoadImage},
      {"ImageLoadInit", LoadImage},
  });
  SetHandlers(table, services.stage, {
      {"ImageCreate", [](const S& s, const CommandCall& c) {
         s.layers.CreateSlots(Num(s, c, 0));
         return R::kContinue;
       }},
      {"ImageInit", [](const S& s, const CommandCall& c) {
         if (c.Is(0, "ALL")) s.layers.ClearAllSlots();
         else s.layers.ClearSlot(Num(s, c, 0));
         return R::kContinue;
       }},
      {"BgInit", [](const S& s, const CommandCall&) {
         s.layers.ClearSlot(0);
         return R::kContinue;
       }},
      {"ChrInit", [](const S& s, const CommandCall&) {
         for (int32_t i = 1; i < s.layers.SlotCount(); ++i) s.layers.ClearSlot(i);
         return R::kContinue;
       }},
      {"ImageLoadEye", ImageEye},
      {"ImagePos", [](const S& s, const CommandCall& c) {
         return OnSlot(s, c, [&](int32_t slot) { ApplyPosition(s, c, slot, 1); });
       }},
      {"ImageVisible", [](const S& s, const CommandCall& c) {
         return OnSlot(s, c, [&](int32_t slot) { s.layers.SetVisible(slot, On(c, 1)); });
       }},
      {"ImageRGBA", SetColour},
      {"ImageReverse", [](const S& s, const CommandCall& c) { return FlagCommand(s, c, &EffectRecord::reverse); }},
      {"ImageNegaposi", [](const S& s, const CommandCall& c) { return FlagCommand(s, c, &EffectRecord::negaposi); }},
      {"ImageMono", [](const S& s, const CommandCall& c) { return FlagCommand(s, c, &EffectRecord::mono); }},
      {"ImageRate", [](const S& s, const CommandCall& c) {
         return OnSlot(s, c, [&](int32_t slot) { s.layers.RateNow(slot, Num(s, c, 1)); });
       }},
      {"ImageMove", Move},
      {"ImageMoveRate", MoveRate},
      {"ImageFade", [](const S& s, const CommandCall& c) {
         return FadeCommand(s, c, SlotArg(s, c), &ImageLayers::FadeNow, &ImageLayers::StartFade);
       }},
      {"ImageShake", [](const S& s, const CommandCall& c) { return Shake(s, c, kShakeRandom); }},
      {"ImageShake2", [](const S& s, const CommandCall& c) { return Shake(s, c, kShakeSine); }},
      {"ImagePry", [](const S& s, const CommandCall& c) {
         return OnSlot(s, c, [&](int32_t slot) { ApplyZ(s, c, slot, 1); });
       }},
      {"ImageParts", [](const S& s, const CommandCall& c) {
         return EditEffect(s, c, [&](EffectRecord& e) {
           e.overlay = c.Arg(1);
           e.overlayX = Num(s, c, 2);
           e.overlayY = Num(s, c, 3);
         });
       }},
      {"ImagePartsDel", [](const S& s, const CommandCall& c) {
         return EditEffect(s, c, [](EffectRecord& e) { e.overlay.clear(); });
       }},
      // "RkoScope" "ON" or not, ["ON"]: the scope bars slide in or out, or with a second
      // "ON" stand at their end height at once.
      {"RkoScope", [](const S& s, const CommandCall& c) {
         s.layers.SetScopeBars(On(c, 0), On(c, 1));
         return R::kContinue;
       }},
  });
}

void RegisterZoomCommands(CommandTable& table, const StageCommandServices& services) {
  SetHandlers(table, services, {
      {"ZoomCreate", [](const S& s, const CommandCall& c) {
         s.layers.CreateZooms(Num(s, c, 0));
         return R::kContinue;
       }},
      {"ZoomInit", [](const S& s, const CommandCall& c) {
         if (!c.Is(0, "ALL")) return OnZoom(s, c, [&](int32_t zoom) { s.layers.ClearZoom(zoom); });
         for (int32_t i = 0; i < s.layers.ZoomCount(); ++i) s.layers.ClearZoom(i);
         return R::kContinue;
       }},
      {"ZoomVisible", [](const S& s, const CommandCall& c) {
         return OnZoom(s, c, [&](int32_t zoom) { s.layers.SetZoomVisible(zoom, On(c, 1)); });
       }},
      {"ZoomDst", [](const S& s, const CommandCall& c) {
         return OnZoom(s, c, [&](int32_t zoom) { s.layers.SetZoomDst(zoom, RectArgs(s, c)); });
       }},
      {"ZoomSrc", [](const S& s, const CommandCall& c) {
         return OnZoom(s, c, [&](int32_t zoom) { s.layers.SetZoomSrc(zoom, RectArgs(s, c)); });
       }},
      {"ZoomMove", ZoomMove},
      {"ZoomFade", [](const S& s, const CommandCall& c) {
         return FadeCommand(s, c, ZoomArg(s, c), &ImageLayers::FadeZoomNow, &ImageLayers::StartZoomFade);
       }},
  });
}

}  // namespace zan
