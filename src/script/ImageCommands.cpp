// The picture commands: image slots ("Image..." and friends), zoom windows ("Zoom..."),
// "Update" and the scope bars ("RkoScope"). They set the slots and windows of the interpreter's image layers
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
#include "script/CommandTable.h"
#include "script/Interpreter.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;
using Side = ImageLayers::Side;
using ZoomPart = ImageLayers::ZoomPart;

constexpr int32_t kFramesPerSecond = 30;

int32_t Num(Interpreter& g, const CommandCall& c, size_t i) { return g.Variables().Evaluate(c.Arg(i)); }

bool IsKeep(const CommandCall& c, size_t i) { return c.Arg(i) == "-"; }

// The value, or nothing for "-".
std::optional<int32_t> Kept(Interpreter& g, const CommandCall& c, size_t i) {
  if (IsKeep(c, i)) return std::nullopt;
  return Num(g, c, i);
}

bool On(const CommandCall& c, size_t i) { return c.Is(i, "ON"); }

// "+" accelerates, "-" decelerates, anything else is linear.
int32_t Ease(const CommandCall& c, size_t i) {
  if (c.Arg(i) == "+") return kEaseAccelerating;
  if (c.Arg(i) == "-") return kEaseDecelerating;
  return kEaseLinear;
}

bool EffectsOff(Interpreter& g) { return g.Options().skipMode != 0 || g.Options().noEffects != 0; }

// The wait option: frames * 1000 / 30 ms of timed wait (none with effects off) and the page
// presented; without it the script reads on.
R Wait(Interpreter& g, const CommandCall& c, size_t option, int32_t frames) {
  if (!On(c, option)) return R::kContinue;
  const int64_t ms = EffectsOff(g) ? 0 : int64_t{frames} * 1000 / kFramesPerSecond;
  g.StartTimedWait(static_cast<int32_t>(std::clamp<int64_t>(ms, 0, INT32_MAX)));
  return R::kShowText;
}

ImageLayers& Layers(Interpreter& g) { return g.Layers(); }

// The slot named by argument 0, or nothing when it lies outside the slots.
std::optional<int32_t> SlotArg(Interpreter& g, const CommandCall& c) {
  const int32_t slot = Num(g, c, 0);
  if (Layers(g).Slot(slot) == nullptr) return std::nullopt;
  return slot;
}

std::optional<int32_t> ZoomArg(Interpreter& g, const CommandCall& c) {
  const int32_t zoom = Num(g, c, 0);
  if (Layers(g).Zoom(zoom) == nullptr) return std::nullopt;
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
void ApplyZ(Interpreter& g, const CommandCall& c, int32_t slot, size_t i) {
  if (c.Arg(i).empty() || IsKeep(c, i)) return;
  Layers(g).SetZ(slot, Num(g, c, i));
}

// The position form from argument `first`: nothing when it is empty; a side (左, 中, 右)
// and a z value; or x, y ("-" keeps) and a z value.
void ApplyPosition(Interpreter& g, const CommandCall& c, int32_t slot, size_t first) {
  if (c.Arg(first).empty()) return;
  if (std::optional<Side> side = SideOf(c.Arg(first))) {
    Layers(g).PlaceAtSide(slot, *side);
    ApplyZ(g, c, slot, first + 1);
    return;
  }
  Layers(g).SetPosition(slot, Kept(g, c, first), Kept(g, c, first + 1));
  ApplyZ(g, c, slot, first + 2);
}

// A picture shown in a slot unlocks its gallery entry: its row in the event picture list.
void UnlockGallery(Interpreter& g, const std::string& picture) {
  if (const NameList* list = g.EventCgList()) g.Gallery().Set(list->Find(picture));
}

template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, ::strnlen(field, N));
}

// "ImageLoad", "ImageLoadInit": slot, file, position.
R LoadImage(Interpreter& g, const CommandCall& c) {
  const auto slot = SlotArg(g, c);
  if (!slot) return R::kContinue;
  if (Layers(g).LoadPicture(*slot, c.Arg(1))) UnlockGallery(g, c.Arg(1));
  ApplyPosition(g, c, *slot, 2);
  return R::kContinue;
}

// "Image": slot, abbreviation, position; the abbreviation names the picture and its overlay.
R ImageByAbbreviation(Interpreter& g, const CommandCall& c) {
  const auto slot = SlotArg(g, c);
  const CsvRowTable* table = g.Abbreviations();
  const CsvRow* row = table != nullptr ? table->Find(c.Arg(1)) : nullptr;
  if (!slot || row == nullptr) return R::kContinue;
  const std::string picture = FieldText(row->textA);
  if (Layers(g).LoadPicture(*slot, picture)) UnlockGallery(g, picture);
  const std::string overlay = FieldText(row->textB);
  if (!overlay.empty()) {
    EffectRecord effect = Layers(g).Slot(*slot)->effect;
    effect.overlay = overlay;
    effect.overlayX = row->numberA;
    effect.overlayY = row->numberB;
    Layers(g).SetEffect(*slot, effect);
  }
  ApplyPosition(g, c, *slot, 2);
  return R::kContinue;
}

// Changes a slot's effect record and rebuilds its variant.
template <class Change>
R EditEffect(Interpreter& g, const CommandCall& c, Change change) {
  const auto slot = SlotArg(g, c);
  if (!slot) return R::kContinue;
  EffectRecord effect = Layers(g).Slot(*slot)->effect;
  change(effect);
  Layers(g).SetEffect(*slot, effect);
  return R::kContinue;
}

// "ImageRGBA": slot, red, green, blue, amount ("-" or nothing keeps a value), or slot, "OFF".
R SetColour(Interpreter& g, const CommandCall& c) {
  return EditEffect(g, c, [&](EffectRecord& e) {
    if (c.Is(1, "OFF")) {
      e.red = e.green = e.blue = e.amount = 0;
      return;
    }
    uint8_t* bytes[] = {&e.red, &e.green, &e.blue, &e.amount};
    for (size_t i = 0; i < std::size(bytes); ++i) {
      if (c.Arg(i + 1).empty() || IsKeep(c, i + 1)) continue;
      *bytes[i] = static_cast<uint8_t>(std::clamp(Num(g, c, i + 1), 0, 255));
    }
  });
}

R FlagCommand(Interpreter& g, const CommandCall& c, int32_t EffectRecord::*flag) {
  return EditEffect(g, c, [&](EffectRecord& e) { e.*flag = On(c, 1) ? 1 : 0; });
}

// "ImageMove": slot, frames, x, y, wait, easing x, easing y.
R Move(Interpreter& g, const CommandCall& c) {
  const auto slot = SlotArg(g, c);
  if (!slot) return R::kNoSlot;
  const int32_t frames = Num(g, c, 1);
  const int32_t x = Num(g, c, 2);
  const int32_t y = Num(g, c, 3);
  if (EffectsOff(g)) Layers(g).MoveNow(*slot, x, y);
  else Layers(g).StartMove(*slot, frames, x, y, Ease(c, 5), Ease(c, 6));
  return Wait(g, c, 4, frames);
}

// "ImageMoveRate": slot, frames, rate, wait, easing.
R MoveRate(Interpreter& g, const CommandCall& c) {
  const auto slot = SlotArg(g, c);
  if (!slot) return R::kContinue;
  const int32_t frames = Num(g, c, 1);
  const int32_t rate = Num(g, c, 2);
  if (EffectsOff(g)) Layers(g).RateNow(*slot, rate);
  else Layers(g).StartRateChange(*slot, frames, rate, Ease(c, 4));
  return Wait(g, c, 3, frames);
}

// "ImageFade", "ZoomFade": slot, frames, "ON" (in) or not (out), wait.
R FadeCommand(Interpreter& g, const CommandCall& c, std::optional<int32_t> target,
              void (ImageLayers::*now)(int32_t, bool), void (ImageLayers::*start)(int32_t, int32_t, bool)) {
  if (!target) return R::kContinue;
  const int32_t frames = Num(g, c, 1);
  if (EffectsOff(g)) (Layers(g).*now)(*target, On(c, 2));
  else (Layers(g).*start)(*target, frames, On(c, 2));
  return Wait(g, c, 3, frames);
}

// "ImageShake": slot, frames, amplitude x, y, wait (random offsets). "ImageShake2": slot,
// frames, amplitude x, y, phase steps x, y in tenths of a radian, wait (a sine). With
// effects off no shake starts, and a running one ends.
R Shake(Interpreter& g, const CommandCall& c, int32_t type) {
  const auto slot = SlotArg(g, c);
  if (!slot) return R::kContinue;
  const int32_t frames = Num(g, c, 1);
  const bool sine = type == kShakeSine;
  if (EffectsOff(g)) {
    Layers(g).StopShake(*slot);
  } else {
    const double stepX = sine ? Num(g, c, 4) * 0.1 : 0.0;
    const double stepY = sine ? Num(g, c, 5) * 0.1 : 0.0;
    Layers(g).StartShake(*slot, type, frames, Num(g, c, 2), Num(g, c, 3), stepX, stepY);
  }
  return Wait(g, c, sine ? 6 : 4, frames);
}

R ImageEye(Interpreter& g, const CommandCall& c) {
  const auto slot = SlotArg(g, c);
  if (!slot) return R::kContinue;
  if (c.Is(1, "OFF")) Layers(g).StopEye(*slot);
  else Layers(g).StartEye(*slot, c.Arg(1), Kept(g, c, 2), Kept(g, c, 3));
  return R::kContinue;
}

// The rectangle of "ZoomDst", "ZoomSrc": slot, x, y, width, height.
ZoomRect RectArgs(Interpreter& g, const CommandCall& c) {
  return {Num(g, c, 1), Num(g, c, 2), Num(g, c, 3), Num(g, c, 4)};
}

ZoomPart ZoomPartOf(const CommandCall& c, size_t i) {
  if (c.Is(i, "SrcPos")) return ZoomPart::kSrcPos;
  if (c.Is(i, "SrcSize")) return ZoomPart::kSrcSize;
  if (c.Is(i, "DstSize")) return ZoomPart::kDstSize;
  return ZoomPart::kDstPos;
}

// "ZoomMove": slot, frames, target, a, b, wait, easing a, easing b.
R ZoomMove(Interpreter& g, const CommandCall& c) {
  const auto zoom = ZoomArg(g, c);
  if (!zoom) return R::kContinue;
  const int32_t frames = Num(g, c, 1);
  const ZoomPart part = ZoomPartOf(c, 2);
  const int32_t a = Num(g, c, 3);
  const int32_t b = Num(g, c, 4);
  if (EffectsOff(g)) Layers(g).SetZoomPart(*zoom, part, a, b);
  else Layers(g).StartZoomMove(*zoom, part, frames, a, b, Ease(c, 6), Ease(c, 7));
  return Wait(g, c, 5, frames);
}

// Runs `action` on the slot of argument 0 when there is one; Continue.
template <class Action>
R OnSlot(Interpreter& g, const CommandCall& c, Action action) {
  if (const auto slot = SlotArg(g, c)) action(*slot);
  return R::kContinue;
}

template <class Action>
R OnZoom(Interpreter& g, const CommandCall& c, Action action) {
  if (const auto zoom = ZoomArg(g, c)) action(*zoom);
  return R::kContinue;
}

}  // namespace

void RegisterImageCommands(CommandTable& table) {
  table.SetHandler("ImageCreate", [](Interpreter& g, const CommandCall& c) {
    Layers(g).CreateSlots(Num(g, c, 0));
    return R::kContinue;
  });
  table.SetHandler("ImageInit", [](Interpreter& g, const CommandCall& c) {
    if (c.Is(0, "ALL")) Layers(g).ClearAllSlots();
    else Layers(g).ClearSlot(Num(g, c, 0));
    return R::kContinue;
  });
  table.SetHandler("BgInit", [](Interpreter& g, const CommandCall&) {
    Layers(g).ClearSlot(0);
    return R::kContinue;
  });
  table.SetHandler("ChrInit", [](Interpreter& g, const CommandCall&) {
    for (int32_t i = 1; i < Layers(g).SlotCount(); ++i) Layers(g).ClearSlot(i);
    return R::kContinue;
  });
  table.SetHandler("Image", ImageByAbbreviation);
  table.SetHandler("ImageLoad", LoadImage);
  table.SetHandler("ImageLoadInit", LoadImage);
  table.SetHandler("ImageLoadEye", ImageEye);
  table.SetHandler("ImagePos", [](Interpreter& g, const CommandCall& c) {
    return OnSlot(g, c, [&](int32_t slot) { ApplyPosition(g, c, slot, 1); });
  });
  table.SetHandler("ImageVisible", [](Interpreter& g, const CommandCall& c) {
    return OnSlot(g, c, [&](int32_t slot) { Layers(g).SetVisible(slot, On(c, 1)); });
  });
  table.SetHandler("ImageRGBA", SetColour);
  table.SetHandler("ImageReverse", [](Interpreter& g, const CommandCall& c) {
    return FlagCommand(g, c, &EffectRecord::reverse);
  });
  table.SetHandler("ImageNegaposi", [](Interpreter& g, const CommandCall& c) {
    return FlagCommand(g, c, &EffectRecord::negaposi);
  });
  table.SetHandler("ImageMono", [](Interpreter& g, const CommandCall& c) {
    return FlagCommand(g, c, &EffectRecord::mono);
  });
  table.SetHandler("ImageRate", [](Interpreter& g, const CommandCall& c) {
    return OnSlot(g, c, [&](int32_t slot) { Layers(g).RateNow(slot, Num(g, c, 1)); });
  });
  table.SetHandler("ImageMove", Move);
  table.SetHandler("ImageMoveRate", MoveRate);
  table.SetHandler("ImageFade", [](Interpreter& g, const CommandCall& c) {
    return FadeCommand(g, c, SlotArg(g, c), &ImageLayers::FadeNow, &ImageLayers::StartFade);
  });
  table.SetHandler("ImageShake", [](Interpreter& g, const CommandCall& c) { return Shake(g, c, kShakeRandom); });
  table.SetHandler("ImageShake2", [](Interpreter& g, const CommandCall& c) { return Shake(g, c, kShakeSine); });
  table.SetHandler("ImagePry", [](Interpreter& g, const CommandCall& c) {
    return OnSlot(g, c, [&](int32_t slot) { ApplyZ(g, c, slot, 1); });
  });
  table.SetHandler("ImageParts", [](Interpreter& g, const CommandCall& c) {
    return EditEffect(g, c, [&](EffectRecord& e) {
      e.overlay = c.Arg(1);
      e.overlayX = Num(g, c, 2);
      e.overlayY = Num(g, c, 3);
    });
  });
  table.SetHandler("ImagePartsDel", [](Interpreter& g, const CommandCall& c) {
    return EditEffect(g, c, [](EffectRecord& e) { e.overlay.clear(); });
  });

  table.SetHandler("ZoomCreate", [](Interpreter& g, const CommandCall& c) {
    Layers(g).CreateZooms(Num(g, c, 0));
    return R::kContinue;
  });
  table.SetHandler("ZoomInit", [](Interpreter& g, const CommandCall& c) {
    if (!c.Is(0, "ALL")) return OnZoom(g, c, [&](int32_t zoom) { Layers(g).ClearZoom(zoom); });
    for (int32_t i = 0; i < Layers(g).ZoomCount(); ++i) Layers(g).ClearZoom(i);
    return R::kContinue;
  });
  table.SetHandler("ZoomVisible", [](Interpreter& g, const CommandCall& c) {
    return OnZoom(g, c, [&](int32_t zoom) { Layers(g).SetZoomVisible(zoom, On(c, 1)); });
  });
  table.SetHandler("ZoomDst", [](Interpreter& g, const CommandCall& c) {
    return OnZoom(g, c, [&](int32_t zoom) { Layers(g).SetZoomDst(zoom, RectArgs(g, c)); });
  });
  table.SetHandler("ZoomSrc", [](Interpreter& g, const CommandCall& c) {
    return OnZoom(g, c, [&](int32_t zoom) { Layers(g).SetZoomSrc(zoom, RectArgs(g, c)); });
  });
  table.SetHandler("ZoomMove", ZoomMove);
  table.SetHandler("ZoomFade", [](Interpreter& g, const CommandCall& c) {
    return FadeCommand(g, c, ZoomArg(g, c), &ImageLayers::FadeZoomNow, &ImageLayers::StartZoomFade);
  });

  // "Update" kind, duration, ...: the new scene, with every image animation at its end. Until
  // the transitions exist it shows at once, as skip mode shows it.
  table.SetHandler("Update", [](Interpreter& g, const CommandCall&) {
    Layers(g).FinishAnimations();
    return R::kStopFrame;
  });

  // "RkoScope" "ON" or not, ["ON"]: the scope bars slide in or out, or with a second "ON"
  // stand at their end height at once.
  table.SetHandler("RkoScope", [](Interpreter& g, const CommandCall& c) {
    Layers(g).SetScopeBars(On(c, 0), On(c, 1));
    return R::kContinue;
  });
}

}  // namespace zan
