#include "transition/Transition.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/TextCase.h"
#include "pixels/PixelOps.h"
#include "surface/Surface.h"
#include "transition/TransitionKinds.h"

namespace zan {
namespace {

struct KindName {
  TransitionKind kind;
  const char* script;  // the name a script gives ("ImageCross" for both picture crosses)
  const char* task;
};

constexpr std::array<KindName, 12> kKindNames{{
    {TransitionKind::kCross, "Cross", "CUpdateCross"},
    {TransitionKind::kMaskCross, "MaskCross", "CUpdateMaskCross"},
    {TransitionKind::kMaskCrossReverse, "MaskCrossR", "CUpdateMaskCross"},
    {TransitionKind::kWipe, "Waip", "CUpdateCircle"},
    {TransitionKind::kCircle, "Circle", "CUpdateCircle"},
    {TransitionKind::kBlind, "Blind", "CUpdateBlind"},
    {TransitionKind::kWater, "Water", "CUpdateWater"},
    {TransitionKind::kNoise, "NoiseC", "CUpdateNoise"},
    {TransitionKind::kPictureCross, "ImageCross", "CUpdateImageCross"},
    {TransitionKind::kPictureCrossDirectional, "ImageCross", "CUpdateImageCross_Direction"},
    {TransitionKind::kPictureBlind, "ImageBlind", "CUpdateImageBlind"},
    {TransitionKind::kPattern, "Pattern", "CUpdatePattern"},
}};

const KindName& NamesOf(TransitionKind kind) {
  for (const KindName& n : kKindNames)
    if (n.kind == kind) return n;
  return kKindNames[0];
}

}  // namespace

bool TransitionUsesMask(TransitionKind kind) {
  switch (kind) {
    case TransitionKind::kMaskCross:
    case TransitionKind::kMaskCrossReverse:
    case TransitionKind::kPictureCross:
    case TransitionKind::kPictureCrossDirectional:
    case TransitionKind::kPictureBlind: return true;
    default: return false;
  }
}

namespace {

bool UsesArea(TransitionKind kind) {
  return kind == TransitionKind::kCross || kind == TransitionKind::kNoise;
}

// Whether a scene (or the target) holds pixels of `format` over the whole screen.
bool CoversScreen(const PixelRows& view, int32_t viewFormat, int32_t format, const TransitionTables& t) {
  return view && viewFormat == format && view.width >= t.Width() && view.height >= t.Height();
}

std::unique_ptr<uint8_t[]> TakeMemory(const TransitionAllocator& allocate, size_t bytes) {
  if (allocate) return allocate(bytes);
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]);
}

// The reason a transition cannot start, or nothing; fills in what the kind works with.
std::optional<std::string> Check(TransitionSetup& setup) {
  const TransitionParams& p = setup.params;
  const TransitionTables& t = setup.tables;
  const PixelRows old = setup.old.View();
  if (!CoversScreen(old, setup.old.FormatCode(), setup.old.FormatCode(), t) ||
      !CoversScreen(setup.next.View(), setup.next.FormatCode(), setup.old.FormatCode(), t) ||
      BytesPerPixel(setup.old.FormatCode()) == 0)
    return "the old and the new scene are not both " + std::to_string(t.Width()) + "x" +
           std::to_string(t.Height()) + " pictures of one format";
  setup.format = setup.old.FormatCode();

  setup.area = ClippedCopy{0, 0, 0, 0, t.Width(), t.Height()};
  if (UsesArea(p.kind) && p.area) {
    const auto clipped = ClipRectangle(p.area->x, p.area->y, p.area->width, p.area->height, t.Width(), t.Height());
    if (!clipped) return std::string("its rectangle lies outside the screen");
    setup.area = ClippedCopy{clipped->x, clipped->y, clipped->x, clipped->y, clipped->width, clipped->height};
  }

  if (TransitionUsesMask(p.kind)) {
    if (p.mask == nullptr || !p.mask->IsAllocated()) return std::string("there is no mask picture");
    if (p.kind == TransitionKind::kPictureCrossDirectional && (p.direction < 0 || p.direction > 3))
      return "direction " + std::to_string(p.direction) + " is none of 0 left, 1 top, 2 right, 3 bottom";
  }

  if (p.kind == TransitionKind::kPattern) {
    if (p.patternFrames < 1) return "a pattern of " + std::to_string(p.patternFrames) + " frames";
    if (p.cellWidth < 1 || p.cellHeight < 1)
      return "a pattern cell of " + std::to_string(p.cellWidth) + "x" + std::to_string(p.cellHeight);
    if (p.pattern == nullptr || !p.pattern->View() || p.pattern->FormatCode() != setup.format ||
        !p.pattern->Alpha().IsAllocated())
      return std::string("there is no pattern picture in the scenes' format");
  }
  return std::nullopt;
}

}  // namespace

bool TransitionSetup::TakePixels(WorkMemory& out) const {
  const int32_t bytes = BytesPerPixel(format);
  const size_t pitch = static_cast<size_t>(tables.Width()) * static_cast<size_t>(bytes);
  out.bytes = TakeMemory(allocate, pitch * static_cast<size_t>(tables.Height()));
  if (!out.bytes) return false;
  out.pixels = PixelRows{out.bytes.get(), static_cast<int32_t>(pitch), tables.Width(), tables.Height()};
  return true;
}

bool TransitionSetup::TakeMask(WorkMemory& out) const {
  const size_t size = static_cast<size_t>(tables.Width()) * static_cast<size_t>(tables.Height());
  out.bytes = TakeMemory(allocate, size);
  if (!out.bytes) return false;
  out.mask = AlphaRows{out.bytes.get(), tables.Width(), tables.Width(), tables.Height()};
  return true;
}

// --- Transition ------------------------------------------------------------------------------

Transition::Transition(TransitionKind kind, const TransitionTables& tables, const Surface& old,
                       const Surface& next, const ClippedCopy& area)
    : kind_(kind), tables_(tables), old_(old), next_(next), area_(area) {}

Transition::~Transition() = default;

std::optional<Transition::Frame> Transition::Prepare(Surface& target) {
  const int32_t format = old_.FormatCode();
  Frame frame{format, target.View(), old_.View(), next_.View(), area_};
  if (CoversScreen(frame.out, target.FormatCode(), format, tables_) &&
      CoversScreen(frame.old, old_.FormatCode(), format, tables_) &&
      CoversScreen(frame.next, next_.FormatCode(), format, tables_))
    return frame;
  if (!targetRefused_)
    ZAN_WARN("transition %s: the target or a scene is no longer a %dx%d picture of format %d; the "
            "transition ends",
            NamesOf(kind_).script, tables_.Width(), tables_.Height(), format);
  targetRefused_ = true;
  return std::nullopt;
}

bool Transition::Draw(Surface& target, uint32_t elapsed) {
  const std::optional<Frame> frame = Prepare(target);
  if (!frame) {
    done_ = true;
    return true;
  }
  if (done_) {
    DrawFinal(*frame);
  } else if (DrawFrame(*frame, elapsed)) {
    done_ = true;
  }
  target.AddDirty(area_.dx, area_.dy, area_.dx + area_.width, area_.dy + area_.height);
  return done_;
}

void Transition::Finish(Surface& target) {
  if (!done_ && DrawsOnSkip()) {
    if (const std::optional<Frame> frame = Prepare(target)) {
      DrawFinal(*frame);
      target.AddDirty(area_.dx, area_.dy, area_.dx + area_.width, area_.dy + area_.height);
    }
  }
  done_ = true;
}

void Transition::DrawFinal(const Frame& frame) { ShowNew(frame); }

void Transition::ShowOld(const Frame& frame) { CopyPixels(frame.format, frame.out, frame.old, frame.area); }

void Transition::ShowNew(const Frame& frame) { CopyPixels(frame.format, frame.out, frame.next, frame.area); }

// --- Starting --------------------------------------------------------------------------------

Result<std::unique_ptr<Transition>> StartTransition(const TransitionTables& tables,
                                                    const TransitionParams& params,
                                                    const Surface& old, const Surface& next,
                                                    const TransitionAllocator& allocate) {
  const char* name = NamesOf(params.kind).script;
  TransitionSetup setup{tables, params, old, next, 0, 1, {}, {}, {}, allocate};
  // A duration of 0 or less lasts 1 ms (never the wrapped-around billions).
  setup.duration = params.kind == TransitionKind::kWater ? uint32_t{kWaterDuration}
                                                         : static_cast<uint32_t>(std::max(params.duration, 1));
  auto refuse = [name](const std::string& why) -> Error {
    ZAN_WARN("transition %s: %s; the new scene shows at once", name, why.c_str());
    return MakeError("transition " + std::string(name) + ": " + why);
  };
  if (std::optional<std::string> why = Check(setup)) return refuse(*why);

  if (TransitionUsesMask(params.kind)) {
    const AlphaPlane& mask = *params.mask;
    if (mask.Width() >= tables.Width() && mask.Height() >= tables.Height()) {
      setup.mask = AlphaRows{mask.Data(), mask.Width(), tables.Width(), tables.Height()};
    } else {
      // Read only within the picture; the rest of the screen counts as 0.
      if (!setup.TakeMask(setup.paddedMask)) return refuse("no memory for its mask");
      uint8_t* padded = setup.paddedMask.MaskBytes();
      const int32_t w = tables.Width();
      const int32_t copied = std::min(mask.Width(), w);
      for (int32_t y = 0; y < tables.Height(); ++y) {
        uint8_t* row = padded + static_cast<size_t>(y) * static_cast<size_t>(w);
        std::memset(row, 0, static_cast<size_t>(w));
        if (y < mask.Height()) std::memcpy(row, mask.Row(y), static_cast<size_t>(copied));
      }
      setup.mask = setup.paddedMask.mask;
      ZAN_WARN("transition %s: the mask picture is %dx%d, smaller than the %dx%d screen; the rest "
              "of the screen counts as 0",
              name, mask.Width(), mask.Height(), tables.Width(), tables.Height());
    }
  }

  std::unique_ptr<Transition> transition;
  switch (params.kind) {
    case TransitionKind::kCross:
    case TransitionKind::kNoise:
    case TransitionKind::kWater: transition = MakeCrossFade(setup); break;
    case TransitionKind::kMaskCross:
    case TransitionKind::kMaskCrossReverse: transition = MakeMaskCross(setup); break;
    case TransitionKind::kWipe:
    case TransitionKind::kCircle:
    case TransitionKind::kPictureCross:
    case TransitionKind::kPictureCrossDirectional:
    case TransitionKind::kPictureBlind: transition = MakeMaskBlend(setup); break;
    case TransitionKind::kBlind:
    case TransitionKind::kPattern: transition = MakeCellPattern(setup); break;
  }
  if (!transition) return refuse("no memory for its work");
  return transition;
}

const char* TransitionTaskName(TransitionKind kind) { return NamesOf(kind).task; }

std::optional<TransitionKind> TransitionKindByName(std::string_view name) {
  for (const KindName& n : kKindNames)
    if (n.kind != TransitionKind::kPictureCrossDirectional && EqualsNoCase(name, n.script)) return n.kind;
  return std::nullopt;
}

std::optional<int32_t> TransitionDirectionByName(std::string_view word) {
  static constexpr std::array<const char*, 4> kWords{"left", "top", "right", "bottom"};
  for (size_t i = 0; i < kWords.size(); ++i)
    if (EqualsNoCase(word, kWords[i])) return static_cast<int32_t>(i);
  return std::nullopt;
}

}  // namespace zan
