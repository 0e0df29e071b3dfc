#include "stage/ImageLayers.h"

#include <algorithm>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "pixels/Clip.h"

namespace zan {
namespace {

// Scope bars: the full heights of the top and bottom bars, and the step a frame (of 255).
constexpr int32_t kScopeTop = 60;
constexpr int32_t kScopeBottom = 152;
constexpr int32_t kScopeStep = 10;

constexpr int32_t kSideCentres[] = {200, 400, 600};

int32_t Opacity(int32_t alpha) { return std::clamp(alpha, 0, 255); }

template <class T>
T* ElementAt(std::vector<T>& v, int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < v.size() ? &v[static_cast<size_t>(index)] : nullptr;
}

// A count the script asked for, kept within 0..most.
int32_t CountWithin(int32_t n, int32_t most, const char* what) {
  const int32_t kept = std::clamp(n, 0, most);
  if (kept != n) ZAN_WARN("%s: %d asked for, %d made", what, n, kept);
  return kept;
}

void StoreI32(uint8_t* p, int32_t v) { StoreU32(p, static_cast<uint32_t>(v)); }
int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(LoadU32(p)); }

void StoreRect(uint8_t* p, const ZoomRect& r) {
  StoreI32(p, r.x);
  StoreI32(p + 4, r.y);
  StoreI32(p + 8, r.width);
  StoreI32(p + 12, r.height);
}
ZoomRect LoadRect(const uint8_t* p) { return {LoadI32(p), LoadI32(p + 4), LoadI32(p + 8), LoadI32(p + 12)}; }

}  // namespace

// --- Saved records -----------------------------------------------------------------------------

void SavedImageSlot::Encode(std::span<uint8_t, kSize> out) const {
  uint8_t* p = out.data();
  StoreTextField(p, 260, picture);
  StoreTextField(p + 260, 260, objectName);
  StoreI32(p + 520, rate);
  effect.Encode(std::span<uint8_t, EffectRecord::kSize>(p + 524, EffectRecord::kSize));
  const int32_t words[] = {variant, visible, reserved, kind, x, y, z};
  for (size_t i = 0; i < std::size(words); ++i) StoreI32(p + 808 + 4 * i, words[i]);
}

SavedImageSlot SavedImageSlot::Decode(std::span<const uint8_t, kSize> in) {
  const uint8_t* p = in.data();
  SavedImageSlot s;
  s.picture = LoadTextField(p, 260);
  s.objectName = LoadTextField(p + 260, 260);
  s.rate = LoadI32(p + 520);
  s.effect = EffectRecord::Decode(std::span<const uint8_t, EffectRecord::kSize>(p + 524, EffectRecord::kSize));
  int32_t* words[] = {&s.variant, &s.visible, &s.reserved, &s.kind, &s.x, &s.y, &s.z};
  for (size_t i = 0; i < std::size(words); ++i) *words[i] = LoadI32(p + 808 + 4 * i);
  return s;
}

void SavedZoomSlot::Encode(std::span<uint8_t, kSize> out) const {
  uint8_t* p = out.data();
  effect.Encode(std::span<uint8_t, EffectRecord::kSize>(p, EffectRecord::kSize));
  StoreI32(p + 284, reserved);
  StoreI32(p + 288, visible);
  StoreI32(p + 292, inUse);
  StoreRect(p + 296, dst);
  StoreRect(p + 312, src);
}

SavedZoomSlot SavedZoomSlot::Decode(std::span<const uint8_t, kSize> in) {
  const uint8_t* p = in.data();
  SavedZoomSlot s;
  s.effect = EffectRecord::Decode(std::span<const uint8_t, EffectRecord::kSize>(p, EffectRecord::kSize));
  s.reserved = LoadI32(p + 284);
  s.visible = LoadI32(p + 288);
  s.inUse = LoadI32(p + 292);
  s.dst = LoadRect(p + 296);
  s.src = LoadRect(p + 312);
  return s;
}

// --- Slots ---------------------------------------------------------------------------------------

ImageLayers::ImageLayers(TaskScheduler& tasks, GameData& data, Random random)
    : tasks_(tasks), data_(data), random_(std::move(random)) {}

ImageLayers::~ImageLayers() = default;

void ImageLayers::Reset(int32_t slots, int32_t zooms) {
  CreateSlots(slots);
  CreateZooms(zooms);
  scopeOn_ = false;
  scopeIntensity_ = 0;
  movie_ = nullptr;
  animating_ = false;
  Changed();
}

ImageSlot* ImageLayers::Slot(int32_t index) { return ElementAt(slots_, index); }

const ImageSlot* ImageLayers::Slot(int32_t index) const {
  return const_cast<ImageLayers*>(this)->Slot(index);
}

void ImageLayers::CreateSlots(int32_t n) {
  n = CountWithin(n, kMaxSlots, "image slots");
  slots_.clear();
  slots_.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    slots_[static_cast<size_t>(i)].object = std::make_unique<ObjectSurface>(tasks_);
    slots_[static_cast<size_t>(i)].z = i;
  }
  RebuildOrder();
  Changed();
}

void ImageLayers::ResetSlot(ImageSlot& slot) {
  slot.object->Reset();
  slot.reserved = 0;
  slot.visible = 0;
  slot.kind = 0;
  slot.x = 0;
  slot.y = 0;
  slot.shakeX = 0;
  slot.shakeY = 0;
  slot.alpha = 0;
  // A stopped slot stays where the clear put it.
  for (Mover* m : {&slot.move, &slot.fade, &slot.shake, &slot.rate}) MoverList::Stop(*m);
  slot.effect.amount = slot.effect.red = slot.effect.green = slot.effect.blue = 0;
  slot.effect.overlay.clear();
  slot.effect.overlayX = slot.effect.overlayY = 0;
  RebuildVariant(slot);
  Changed();
}

void ImageLayers::ClearSlot(int32_t index) {
  if (ImageSlot* slot = Slot(index)) ResetSlot(*slot);
}

void ImageLayers::ClearAllSlots() {
  for (size_t i = 0; i < slots_.size(); ++i) {
    ResetSlot(slots_[i]);
    slots_[i].z = static_cast<int32_t>(i);
  }
  RebuildOrder();
}

bool ImageLayers::LoadPicture(int32_t index, std::string_view name) {
  ImageSlot* slot = Slot(index);
  if (slot == nullptr) return false;
  ResetSlot(*slot);
  const bool loaded = slot->object->LoadPicture(data_, name);
  RebuildVariant(*slot);
  slot->visible = 1;
  return loaded;
}

void ImageLayers::SetPosition(int32_t index, std::optional<int32_t> x, std::optional<int32_t> y) {
  ImageSlot* slot = Slot(index);
  if (slot == nullptr) return;
  if (x) slot->x = *x;
  if (y) slot->y = *y;
  Changed();
}

void ImageLayers::PlaceAtSide(int32_t index, Side side) {
  ImageSlot* slot = Slot(index);
  if (slot == nullptr) return;
  const Surface& picture = slot->object->Picture();
  slot->x = kSideCentres[static_cast<int>(side)] - picture.Width() / 2;
  slot->y = kStageHeight - picture.Height();
  Changed();
}

bool ImageLayers::SetZ(int32_t index, int32_t z) {
  ImageSlot* slot = Slot(index);
  if (slot == nullptr) return false;
  if (z < 0 || z >= SlotCount()) {
    ZAN_WARN("image slots: z value %d is outside 0..%d; slot %d keeps %d", z, SlotCount() - 1, index,
            slot->z);
    return false;
  }
  ImageSlot* holder = Slot(order_[static_cast<size_t>(z)]);
  holder->z = slot->z;
  slot->z = z;
  RebuildOrder();
  Changed();
  return true;
}

void ImageLayers::RebuildOrder() {
  order_.assign(slots_.size(), -1);
  bool permutation = true;
  for (size_t i = 0; i < slots_.size(); ++i) {
    const int32_t z = slots_[i].z;
    if (z < 0 || z >= SlotCount() || order_[static_cast<size_t>(z)] != -1) {
      permutation = false;
      break;
    }
    order_[static_cast<size_t>(z)] = static_cast<int32_t>(i);
  }
  if (permutation) return;
  ZAN_WARN("image slots: the z values are not a permutation; each slot takes its index");
  for (size_t i = 0; i < slots_.size(); ++i) {
    slots_[i].z = static_cast<int32_t>(i);
    order_[i] = static_cast<int32_t>(i);
  }
}

void ImageLayers::SetVisible(int32_t index, bool visible) {
  if (ImageSlot* slot = Slot(index)) {
    slot->visible = visible ? 1 : 0;
    Changed();
  }
}

void ImageLayers::RebuildVariant(ImageSlot& slot) {
  slot.variant = slot.object->BuildVariant(data_, slot.effect) ? 1 : 0;
}

void ImageLayers::SetEffect(int32_t index, const EffectRecord& effect) {
  ImageSlot* slot = Slot(index);
  if (slot == nullptr) return;
  slot->effect = effect;
  RebuildVariant(*slot);
  Changed();
}

void ImageLayers::SetRate(int32_t index, int32_t rate) {
  if (ImageSlot* slot = Slot(index)) {
    slot->object->SetRate(rate);
    Changed();
  }
}

void ImageLayers::StartMove(int32_t index, int32_t frames, int32_t x, int32_t y, int32_t easeX,
                             int32_t easeY) {
  if (ImageSlot* slot = Slot(index)) {
    slot->move = MoverList::Pair(slot->x, slot->y, x, y, frames, easeX, easeY);
    animating_ = true;
  }
}

void ImageLayers::StartFade(int32_t index, int32_t frames, bool in) {
  if (ImageSlot* slot = Slot(index)) {
    slot->fade = MoverList::Single(in ? 0 : 255, in ? 255 : 0, frames);
    slot->visible = in ? 1 : 0;
    animating_ = true;
    Changed();
  }
}

void ImageLayers::StartShake(int32_t index, int32_t type, int32_t frames, int32_t amplitudeX,
                              int32_t amplitudeY, double phaseStepX, double phaseStepY) {
  if (ImageSlot* slot = Slot(index)) {
    slot->shake = MoverList::Shake(type, frames, amplitudeX, amplitudeY, phaseStepX, phaseStepY);
    animating_ = true;
  }
}

void ImageLayers::StartRateChange(int32_t index, int32_t frames, int32_t rate, int32_t ease) {
  if (ImageSlot* slot = Slot(index)) {
    slot->rate = MoverList::Single(slot->object->Rate(), rate, frames, ease);
    animating_ = true;
  }
}

void ImageLayers::MoveNow(int32_t index, int32_t x, int32_t y) {
  if (ImageSlot* slot = Slot(index)) {
    MoverList::Stop(slot->move);
    SetPosition(index, x, y);
  }
}

void ImageLayers::FadeNow(int32_t index, bool in) {
  if (ImageSlot* slot = Slot(index)) {
    MoverList::Stop(slot->fade);
    SetVisible(index, in);
  }
}

void ImageLayers::StopShake(int32_t index) {
  if (ImageSlot* slot = Slot(index); slot != nullptr && MoverList::Stop(slot->shake)) {
    slot->shakeX = slot->shake.endX;
    slot->shakeY = slot->shake.endY;
    Changed();
  }
}

void ImageLayers::RateNow(int32_t index, int32_t rate) {
  if (ImageSlot* slot = Slot(index)) {
    MoverList::Stop(slot->rate);
    SetRate(index, rate);
  }
}

bool ImageLayers::StartEye(int32_t index, std::string_view file, std::optional<int32_t> offsetX,
                            std::optional<int32_t> offsetY) {
  ImageSlot* slot = Slot(index);
  if (slot == nullptr) return false;
  const ObjectSurface::Eye& eye = slot->object->EyeAnimation();
  return slot->object->StartEye(data_, file, offsetX.value_or(eye.offsetX), offsetY.value_or(eye.offsetY));
}

void ImageLayers::StopEye(int32_t index) {
  if (ImageSlot* slot = Slot(index)) slot->object->StopEye();
}

// --- Zoom windows ----------------------------------------------------------------------------------

ZoomRecord* ImageLayers::Zoom(int32_t index) { return ElementAt(zooms_, index); }

void ImageLayers::CreateZooms(int32_t n) {
  n = CountWithin(n, kMaxZooms, "zoom windows");
  zooms_.clear();
  zooms_.resize(static_cast<size_t>(n));
  for (ZoomRecord& zoom : zooms_) {
    zoom.inUse = 1;
    zoom.dst = kNewZoomDst;
    zoom.src = kNewZoomSrc;
    // Its picture is made when the window first shows (or fades).
    zoom.object = std::make_unique<ObjectSurface>(tasks_);
  }
}

void ImageLayers::ClearZoom(int32_t index) {
  ZoomRecord* zoom = Zoom(index);
  if (zoom == nullptr) return;
  zoom->inUse = 1;
  zoom->visible = 0;
  zoom->reserved = 0;
  zoom->dst = {};
  zoom->src = {};
  zoom->alpha = 0;
  for (Mover* m : {&zoom->srcPos, &zoom->dstPos, &zoom->srcSize, &zoom->dstSize, &zoom->fade})
    MoverList::Stop(*m);
}

void ImageLayers::SetZoomVisible(int32_t index, bool visible) {
  if (ZoomRecord* zoom = Zoom(index)) zoom->visible = visible ? 1 : 0;
}

void ImageLayers::SetZoomDst(int32_t index, const ZoomRect& rect) {
  if (ZoomRecord* zoom = Zoom(index)) zoom->dst = rect;
}

void ImageLayers::SetZoomSrc(int32_t index, const ZoomRect& rect) {
  if (ZoomRecord* zoom = Zoom(index)) zoom->src = rect;
}

Mover* ImageLayers::ZoomMover(ZoomRecord& zoom, ZoomPart part) {
  switch (part) {
    case ZoomPart::kSrcPos: return &zoom.srcPos;
    case ZoomPart::kSrcSize: return &zoom.srcSize;
    case ZoomPart::kDstSize: return &zoom.dstSize;
    case ZoomPart::kDstPos: break;
  }
  return &zoom.dstPos;
}

void ImageLayers::ApplyZoomPart(ZoomRecord& zoom, ZoomPart part, int32_t a, int32_t b) {
  switch (part) {
    case ZoomPart::kSrcPos: zoom.src.x = a; zoom.src.y = b; break;
    case ZoomPart::kSrcSize: zoom.src.width = a; zoom.src.height = b; break;
    case ZoomPart::kDstSize: zoom.dst.width = a; zoom.dst.height = b; break;
    case ZoomPart::kDstPos: zoom.dst.x = a; zoom.dst.y = b; break;
  }
}

void ImageLayers::StartZoomMove(int32_t index, ZoomPart part, int32_t frames, int32_t a, int32_t b,
                                 int32_t easeA, int32_t easeB) {
  ZoomRecord* zoom = Zoom(index);
  if (zoom == nullptr) return;
  const ZoomRect& r = part == ZoomPart::kSrcPos || part == ZoomPart::kSrcSize ? zoom->src : zoom->dst;
  const bool size = part == ZoomPart::kSrcSize || part == ZoomPart::kDstSize;
  *ZoomMover(*zoom, part) =
      MoverList::Pair(size ? r.width : r.x, size ? r.height : r.y, a, b, frames, easeA, easeB);
}

void ImageLayers::SetZoomPart(int32_t index, ZoomPart part, int32_t a, int32_t b) {
  if (ZoomRecord* zoom = Zoom(index)) {
    MoverList::Stop(*ZoomMover(*zoom, part));
    ApplyZoomPart(*zoom, part, a, b);
  }
}

void ImageLayers::StartZoomFade(int32_t index, int32_t frames, bool in) {
  if (ZoomRecord* zoom = Zoom(index)) {
    zoom->fade = MoverList::Single(in ? 0 : 255, in ? 255 : 0, frames);
    zoom->visible = in ? 1 : 0;
  }
}

void ImageLayers::FadeZoomNow(int32_t index, bool in) {
  if (ZoomRecord* zoom = Zoom(index)) {
    MoverList::Stop(zoom->fade);
    zoom->visible = in ? 1 : 0;
  }
}

// --- Drawing -------------------------------------------------------------------------------------

bool ImageLayers::EnsureStage() {
  if (stage_.View()) return true;
  if (!stage_.Create(kStageWidth, kStageHeight)) return false;
  stageDirty_ = true;
  return true;
}

void ImageLayers::RedrawStage() {
  if (!EnsureStage()) return;
  DrawImages(stage_);
  stageDirty_ = false;
  ++stageRevision_;
}

void ImageLayers::UpdateStage() {
  if (stageDirty_ || !stage_.View()) RedrawStage();
}

bool ImageLayers::DrawSlot(ImageSlot& slot, Surface& target) {
  int32_t alpha = 255;
  if (slot.fade.active) alpha = Opacity(slot.alpha);
  else if (!slot.visible) return false;
  ObjectSurface& object = *slot.object;
  Surface& picture = slot.variant ? object.Variant() : object.Picture();
  return object.Draw(target, slot.x + slot.shakeX, slot.y + slot.shakeY, picture, object.Rate(), alpha);
}

void ImageLayers::DrawScopeBars(Surface& target) {
  if (scopeIntensity_ <= 0) return;
  const int32_t top = scopeIntensity_ * kScopeTop / 255;
  const int32_t bottom = scopeIntensity_ * kScopeBottom / 255;
  target.Fill(0, 0, kStageWidth, top, 0, 0, 0);
  target.Fill(0, kStageHeight - bottom, kStageWidth, bottom, 0, 0, 0);
}

void ImageLayers::DrawImages(Surface& target, bool overMovie) {
  // Slots that leave parts of the stage uncovered show black there, never an older frame.
  if (!overMovie) target.Fill(0, 0, kStageWidth, kStageHeight, 0, 0, 0);
  for (size_t k = 0; k < order_.size(); ++k) {
    DrawSlot(slots_[static_cast<size_t>(order_[k])], target);
    if (k == 0) DrawScopeBars(target);
  }
}

bool ImageLayers::StepSlots() {
  bool active = false;
  for (ImageSlot& slot : slots_) {
    active |= MoverList::StepPair(slot.move, &slot.x, &slot.y);
    int32_t rate = 0;
    if (MoverList::StepSingle(slot.rate, &rate)) {
      slot.object->SetRate(rate);
      active = true;
    }
    active |= MoverList::StepShake(slot.shake, &slot.shakeX, &slot.shakeY, random_);
    active |= MoverList::StepSingle(slot.fade, &slot.alpha);
  }
  // The scope bars slide once a frame, however often the frame draws the slots.
  const int32_t goal = scopeOn_ ? 255 : 0;
  const bool bars = ScopeBarsActive();
  scopeIntensity_ = scopeIntensity_ < goal ? std::min(scopeIntensity_ + kScopeStep, goal)
                                           : std::max(scopeIntensity_ - kScopeStep, goal);
  return active || bars;
}

void ImageLayers::DrawScene(Surface& target, bool movies, bool overlay) {
  if (movie_ != nullptr) {
    if (movies) {
      UpdateStage();
      target.Blt(0, 0, kStageWidth, kStageHeight, stage_, 0, 0, 0);
      movie_->DrawFrame(target);
      // The frame may have been the movie's last: the player then leaves the layer.
      if (movie_ != nullptr && !movie_->Loops()) return;
    } else {
      movie_->DrawCover(target, overlay);
    }
  } else if (!animating_) {
    UpdateStage();
    target.Blt(0, 0, kStageWidth, kStageHeight, stage_, 0, 0, 0);
    return;
  }
  if (!StepSlots()) {
    animating_ = false;
    RedrawStage();
  }
  DrawImages(target, movie_ != nullptr);
}

bool ImageLayers::OverlaysActive() const {
  for (const ImageSlot& slot : slots_)
    if (slot.object->EyeAnimation().active != 0) return true;
  for (const ZoomRecord& zoom : zooms_) {
    if (zoom.inUse != 0 && zoom.visible != 0) return true;
    for (const Mover* m : {&zoom.srcPos, &zoom.dstPos, &zoom.srcSize, &zoom.dstSize, &zoom.fade})
      if (m->active) return true;
  }
  return false;
}

void ImageLayers::DrawEyes(Surface& target) {
  for (ImageSlot& slot : slots_)
    slot.object->StepEye(target, slot.x + slot.shakeX, slot.y + slot.shakeY,
                         slot.visible != 0 && !slot.fade.active, random_);
}

void ImageLayers::DrawZooms(Surface& target) {
  for (ZoomRecord& zoom : zooms_) {
    Surface& picture = zoom.object->Picture();
    const bool shown = zoom.inUse && zoom.visible;
    if ((shown || zoom.fade.active) && !zoom.object->HasPicture())
      zoom.object->CreatePicture(kStageWidth, kStageHeight);
    if (shown) {
      UpdateStage();
      picture.StretchBlt(0, 0, zoom.dst.width, zoom.dst.height, stage_, zoom.src.x, zoom.src.y,
                         zoom.src.width, zoom.src.height);
    }
    if (zoom.fade.active) {
      target.ZoomBlendBlt(zoom.dst.x, zoom.dst.y, picture, 0, 0, zoom.dst.width, zoom.dst.height, 1024,
                          Opacity(zoom.alpha));
      // The blend leaves the dirty rectangle as it was: the frame must show what it drew.
      if (auto c = ClipFill(zoom.dst.x, zoom.dst.y, zoom.dst.width, zoom.dst.height, target.Width(),
                            target.Height()))
        target.AddDirty(c->dx, c->dy, c->dx + c->width, c->dy + c->height);
    } else if (shown) {
      target.Blt(zoom.dst.x, zoom.dst.y, zoom.dst.width, zoom.dst.height, picture, 0, 0, 0);
    }
    int32_t a = 0, b = 0;
    if (MoverList::StepPair(zoom.dstPos, &a, &b)) ApplyZoomPart(zoom, ZoomPart::kDstPos, a, b);
    if (MoverList::StepPair(zoom.srcPos, &a, &b)) ApplyZoomPart(zoom, ZoomPart::kSrcPos, a, b);
    if (MoverList::StepPair(zoom.dstSize, &a, &b)) ApplyZoomPart(zoom, ZoomPart::kDstSize, a, b);
    if (MoverList::StepPair(zoom.srcSize, &a, &b)) ApplyZoomPart(zoom, ZoomPart::kSrcSize, a, b);
    MoverList::StepSingle(zoom.fade, &zoom.alpha);
  }
}

void ImageLayers::FinishAnimations() {
  bool changed = false;
  for (ImageSlot& slot : slots_) {
    if (MoverList::Stop(slot.move)) {
      slot.x = slot.move.endX;
      slot.y = slot.move.endY;
      changed = true;
    }
    if (MoverList::Stop(slot.rate)) {
      slot.object->SetRate(slot.rate.endX);
      changed = true;
    }
    if (MoverList::Stop(slot.shake)) {
      slot.shakeX = slot.shake.endX;
      slot.shakeY = slot.shake.endY;
      changed = true;
    }
    if (MoverList::Stop(slot.fade)) {
      slot.alpha = slot.fade.endX;
      changed = true;
    }
  }
  if (!changed) return;
  animating_ = ScopeBarsActive();
  RedrawStage();
}

void ImageLayers::SetScopeBars(bool on, bool atOnce) {
  scopeOn_ = on;
  if (atOnce) scopeIntensity_ = on ? 255 : 0;
  // Drawn straight for at least one frame, which also takes bars that vanished at once
  // out of the stage picture.
  animating_ = true;
}

void ImageLayers::SetMovieLayer(MovieLayer* layer) {
  movie_ = layer;
  Changed();
}

// --- Saved state ---------------------------------------------------------------------------------

std::vector<SavedImageSlot> ImageLayers::SaveSlots() const {
  std::vector<SavedImageSlot> saved;
  for (const ImageSlot& slot : slots_) {
    SavedImageSlot s;
    s.picture = slot.object->FileName();
    s.objectName = slot.object->Picture().GetFileName();
    s.rate = slot.object->Rate();
    s.effect = slot.effect;
    s.variant = slot.variant;
    s.visible = slot.visible;
    s.reserved = slot.reserved;
    s.kind = slot.kind;
    s.x = slot.x;
    s.y = slot.y;
    s.z = slot.z;
    saved.push_back(std::move(s));
  }
  return saved;
}

std::vector<SavedZoomSlot> ImageLayers::SaveZooms() const {
  std::vector<SavedZoomSlot> saved;
  for (const ZoomRecord& zoom : zooms_)
    saved.push_back({zoom.effect, zoom.reserved, zoom.visible, zoom.inUse, zoom.dst, zoom.src});
  return saved;
}

void ImageLayers::RestoreSlots(std::span<const SavedImageSlot> saved) {
  CreateSlots(static_cast<int32_t>(saved.size()));
  for (size_t i = 0; i < slots_.size(); ++i) {
    const SavedImageSlot& s = saved[i];
    ImageSlot& slot = slots_[i];
    if (!s.picture.empty()) slot.object->LoadPicture(data_, s.picture);
    slot.effect = s.effect;
    slot.visible = s.visible != 0 ? 1 : 0;
    slot.reserved = s.reserved;
    slot.kind = s.kind;
    slot.x = s.x;
    slot.y = s.y;
    slot.z = s.z;
    RebuildVariant(slot);
    slot.object->SetRate(s.rate);
  }
  RebuildOrder();
  animating_ = false;
  Changed();
}

void ImageLayers::RestoreZooms(std::span<const SavedZoomSlot> saved) {
  CreateZooms(static_cast<int32_t>(saved.size()));
  for (size_t i = 0; i < zooms_.size(); ++i) {
    const SavedZoomSlot& s = saved[i];
    ZoomRecord& zoom = zooms_[i];
    zoom.effect = s.effect;
    zoom.reserved = s.reserved;
    zoom.visible = s.visible;
    zoom.inUse = s.inUse;
    zoom.dst = s.dst;
    zoom.src = s.src;
  }
}

}  // namespace zan
