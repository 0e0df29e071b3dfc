#pragma once
// ImageLayers: the scene the story shows. A stack of image slots (pictures placed, animated
// and coloured by the script) is composed into an 800 x 600 stage in z order; zoom windows
// show a rectangle of the stage again, scaled, elsewhere on the screen. The interpreter owns
// one and draws it every frame.
//
// The stage surface caches the composition of the slots at their end states, so a still
// scene costs one copy a frame; it is brought up to date whenever a slot changed. While any
// slot animates, the frame is composed straight into the target every frame instead.
//
// Slots and zooms are addressed by index; an index outside the arrays addresses nothing.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "surface/Surface.h"
#include "stage/EffectRecord.h"
#include "stage/MoverList.h"
#include "stage/ObjectSurface.h"

namespace zan {

class GameData;
class TaskScheduler;

struct ImageSlot {
  int32_t reserved = 0;
  int32_t visible = 0;
  int32_t variant = 0;  // 1: the variant (effects baked in) is drawn instead of the picture
  int32_t x = 0;        // the picture's top-left corner on the stage
  int32_t y = 0;
  int32_t shakeX = 0;  // added to the position when drawing
  int32_t shakeY = 0;
  int32_t alpha = 0;  // the opacity while a fade runs
  int32_t z = 0;      // drawing priority: the slots' z values are a permutation of 0..n-1
  int32_t kind = 0;   // 0: a picture (the only kind)
  std::unique_ptr<ObjectSurface> object;
  EffectRecord effect;
  Mover move;
  Mover fade;
  Mover shake;
  Mover rate;
};

struct ZoomRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const ZoomRect&, const ZoomRect&) = default;
};

struct ZoomRecord {
  int32_t inUse = 0;
  int32_t visible = 0;
  int32_t reserved = 0;
  ZoomRect dst;  // where it shows
  ZoomRect src;  // what it shows, on the stage
  int32_t alpha = 0;
  std::unique_ptr<ObjectSurface> object;  // holds the captured picture
  EffectRecord effect;                     // no command fills it
  Mover srcPos;
  Mover dstPos;
  Mover srcSize;
  Mover dstSize;
  Mover fade;
};

// An image slot as a save file stores it (836 bytes; movers are not saved).
struct SavedImageSlot {
  static constexpr size_t kSize = 836;
  std::string picture;     // 260 bytes
  std::string objectName;  // 260 bytes: the picture surface's own name, not used to load
  int32_t rate = ObjectSurface::kDefaultRate;
  EffectRecord effect;
  int32_t variant = 0;
  int32_t visible = 0;
  int32_t reserved = 0;
  int32_t kind = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;

  void Encode(std::span<uint8_t, kSize> out) const;
  static SavedImageSlot Decode(std::span<const uint8_t, kSize> in);
  friend bool operator==(const SavedImageSlot&, const SavedImageSlot&) = default;
};

// A zoom window as a save file stores it (328 bytes).
struct SavedZoomSlot {
  static constexpr size_t kSize = 328;
  EffectRecord effect;
  int32_t reserved = 0;
  int32_t visible = 0;
  int32_t inUse = 0;
  ZoomRect dst;
  ZoomRect src;

  void Encode(std::span<uint8_t, kSize> out) const;
  static SavedZoomSlot Decode(std::span<const uint8_t, kSize> in);
  friend bool operator==(const SavedZoomSlot&, const SavedZoomSlot&) = default;
};

// The movie layer: while a movie plays in the game's layer, its frames (or, where movies may
// not play, its cover picture) lie under the slots. The movie player implements it.
class MovieLayer {
 public:
  virtual ~MovieLayer() = default;
  // Draws the movie's current frame over the whole 800 x 600 target.
  virtual void DrawFrame(Surface& target) = 0;
  // Draws the cover picture (nothing without one); with `overlay`, its still overlay too.
  virtual void DrawCover(Surface& target, bool overlay) = 0;
  // A looping movie lies under the slots; another one covers them.
  virtual bool Loops() const = 0;
};

class ImageLayers {
 public:
  static constexpr int32_t kStageWidth = 800;
  static constexpr int32_t kStageHeight = 600;
  static constexpr int32_t kMaxSlots = 100;
  static constexpr int32_t kMaxZooms = 32;  // each holds an 800 x 600 picture
  // A new zoom window shows the whole stage in the lower right corner.
  static constexpr ZoomRect kNewZoomDst{580, 430, 200, 150};
  static constexpr ZoomRect kNewZoomSrc{0, 0, kStageWidth, kStageHeight};

  using Random = std::function<int32_t()>;

  enum class Side { kLeft, kCentre, kRight };
  enum class ZoomPart { kSrcPos, kDstPos, kSrcSize, kDstSize };

  // Pictures come through `data`; `random` is the run-time library's generator that shakes
  // and eye blinks draw from.
  ImageLayers(TaskScheduler& tasks, GameData& data, Random random);
  ~ImageLayers();
  ImageLayers(const ImageLayers&) = delete;
  ImageLayers& operator=(const ImageLayers&) = delete;

  // The start of a game: `slots` empty slots and `zooms` new zoom windows, the scope bars
  // off, no movie layer.
  void Reset(int32_t slots, int32_t zooms);

  // --- Image slots -----------------------------------------------------------------------
  int32_t SlotCount() const { return static_cast<int32_t>(slots_.size()); }
  ImageSlot* Slot(int32_t index);
  const ImageSlot* Slot(int32_t index) const;
  // Frees the old slots and makes n empty ones with z value = index (n is kept within
  // 0..kMaxSlots).
  void CreateSlots(int32_t n);
  // Empties a slot: no picture, variant or eye, rate 100, invisible, at (0, 0), no tint and no
  // overlay (the reverse, mono and nega-posi flags stay), its animations stopped.
  void ClearSlot(int32_t index);
  // Every slot cleared, and each slot's z value its index again.
  void ClearAllSlots();
  // Clears the slot, loads the picture, rebuilds the variant from what the clear left and
  // shows the slot. True when the picture holds pixels.
  bool LoadPicture(int32_t index, std::string_view name);
  // A new position; an absent coordinate keeps its value.
  void SetPosition(int32_t index, std::optional<int32_t> x, std::optional<int32_t> y);
  // Centres the picture on x = 200, 400 or 600 with its bottom on the stage's bottom (the
  // picture's own size, halves truncated toward zero).
  void PlaceAtSide(int32_t index, Side side);
  // Gives the slot z value z; the slot that had it takes the slot's old one. A z value
  // outside 0..count-1 is refused (false, logged).
  bool SetZ(int32_t index, int32_t z);
  void SetVisible(int32_t index, bool visible);
  // Replaces the effect record and rebuilds the variant.
  void SetEffect(int32_t index, const EffectRecord& effect);
  void SetRate(int32_t index, int32_t rate);

  // Animations over `frames` frames. Each starts from the slot's current value.
  void StartMove(int32_t index, int32_t frames, int32_t x, int32_t y, int32_t easeX, int32_t easeY);
  // In: alpha 0 to 255 and visible at once; out: 255 to 0 and invisible at once.
  void StartFade(int32_t index, int32_t frames, bool in);
  void StartShake(int32_t index, int32_t type, int32_t frames, int32_t amplitudeX, int32_t amplitudeY,
                  double phaseStepX, double phaseStepY);
  void StartRateChange(int32_t index, int32_t frames, int32_t rate, int32_t ease);
  // The same animations taking their end state at once (skip mode, effects off): a move or
  // a rate change ends at its target, a fade only sets the visibility, a shake ends.
  void MoveNow(int32_t index, int32_t x, int32_t y);
  void FadeNow(int32_t index, bool in);
  void StopShake(int32_t index);
  void RateNow(int32_t index, int32_t rate);

  // The eye animation of an eye definition file at an offset from the slot (an absent
  // offset keeps the current one). False when it could not start.
  bool StartEye(int32_t index, std::string_view file, std::optional<int32_t> offsetX,
                std::optional<int32_t> offsetY);
  void StopEye(int32_t index);

  // --- Zoom windows ----------------------------------------------------------------------
  int32_t ZoomCount() const { return static_cast<int32_t>(zooms_.size()); }
  ZoomRecord* Zoom(int32_t index);
  // Frees the old windows and makes n new ones (kept within 0..kMaxZooms): in use, hidden,
  // showing kNewZoomSrc at kNewZoomDst, each with an 800 x 600 opaque picture.
  void CreateZooms(int32_t n);
  // In use and hidden, both rectangles empty, its animations stopped.
  void ClearZoom(int32_t index);
  void SetZoomVisible(int32_t index, bool visible);
  void SetZoomDst(int32_t index, const ZoomRect& rect);
  void SetZoomSrc(int32_t index, const ZoomRect& rect);
  // Animates one pair of the rectangles' values to (a, b), or sets it at once.
  void StartZoomMove(int32_t index, ZoomPart part, int32_t frames, int32_t a, int32_t b, int32_t easeA,
                     int32_t easeB);
  void SetZoomPart(int32_t index, ZoomPart part, int32_t a, int32_t b);
  // As StartFade / FadeNow on the window's alpha and visibility.
  void StartZoomFade(int32_t index, int32_t frames, bool in);
  void FadeZoomNow(int32_t index, bool in);

  // --- Drawing ---------------------------------------------------------------------------
  // One frame of the scene into `target` (the back buffer): while the movie layer is in use
  // the movie lies under the slots (`movies`: movies may play; `overlay`: draw the cover's
  // still overlay); otherwise a still scene is a copy of the stage. While anything animates,
  // every slot's animations advance one frame and the slots are composed into the target;
  // when the last animation has ended the stage is brought up to date.
  void DrawScene(Surface& target, bool movies, bool overlay);
  // The slots in z order (the scope bars over the lowest one), over black unless
  // `overMovie`.
  void DrawImages(Surface& target, bool overMovie = false);
  // Each slot's eye frame (slot order) at its position with its shake, then one frame on.
  // A slot's eyes show only while the slot itself shows, opaque.
  void DrawEyes(Surface& target);
  // Each window (index order): the stage's source rectangle captured at the destination
  // size, drawn at the destination (by its alpha while it fades); then its animations
  // advance one frame.
  void DrawZooms(Surface& target);
  // Every slot's running move, scale change, shake and fade jumps to its end.
  void FinishAnimations();

  // Scope bars: black bars at the top and bottom that slide in and out, 10 steps (of 255) a
  // frame, over the background slot; `atOnce` puts them at their end height in the next
  // frame drawn.
  void SetScopeBars(bool on, bool atOnce = false);
  int32_t ScopeBarIntensity() const { return scopeIntensity_; }
  // The movie player's layer while a movie plays in it; null when none does.
  void SetMovieLayer(MovieLayer* layer);

  bool Animating() const { return animating_; }
  // Whether DrawScene would draw otherwise than the time before: a movie shows, something
  // animates, or a slot changed since the stage was drawn.
  bool SceneChanged() const { return movie_ != nullptr || animating_ || stageDirty_ || !stage_.View(); }
  // Whether DrawScene only copies the stage whole (no movie, nothing animates).
  bool SceneIsStage() const { return movie_ == nullptr && !animating_; }
  // Counts the redraws of the stage (a slot changed: the scene shows otherwise).
  uint32_t StageRevision() const { return stageRevision_; }
  // Whether DrawEyes or DrawZooms has anything to draw or to advance: an eye animation runs,
  // a zoom window shows, fades or moves.
  bool OverlaysActive() const;
  Surface& Stage() { return stage_; }
  // Brings the stage up to date when a slot changed (a transition's new scene).
  void UpdateStage();
  // The z value -> slot index table (lowest first).
  const std::vector<int32_t>& Order() const { return order_; }

  // --- Saved state -----------------------------------------------------------------------
  std::vector<SavedImageSlot> SaveSlots() const;
  std::vector<SavedZoomSlot> SaveZooms() const;
  // Recreates the slots from saved records: pictures loaded, effects rebuilt, rates set. z
  // values that are not a permutation are replaced by the slot indexes (logged).
  void RestoreSlots(std::span<const SavedImageSlot> saved);
  void RestoreZooms(std::span<const SavedZoomSlot> saved);

 private:
  void ResetSlot(ImageSlot& slot);
  void RebuildOrder();
  void RebuildVariant(ImageSlot& slot);
  void RedrawStage();
  bool DrawSlot(ImageSlot& slot, Surface& target);
  void DrawScopeBars(Surface& target);
  bool ScopeBarsActive() const { return scopeOn_ || scopeIntensity_ > 0; }
  // Advances every slot's animations one frame; true when any ran.
  bool StepSlots();
  void Changed() { stageDirty_ = true; }
  Mover* ZoomMover(ZoomRecord& zoom, ZoomPart part);
  static void ApplyZoomPart(ZoomRecord& zoom, ZoomPart part, int32_t a, int32_t b);
  bool EnsureStage();

  TaskScheduler& tasks_;
  GameData& data_;
  Random random_;
  std::vector<ImageSlot> slots_;
  std::vector<int32_t> order_;
  std::vector<ZoomRecord> zooms_;
  bool animating_ = false;
  bool stageDirty_ = true;
  uint32_t stageRevision_ = 0;
  Surface stage_;
  bool scopeOn_ = false;
  int32_t scopeIntensity_ = 0;
  MovieLayer* movie_ = nullptr;
};

}  // namespace zan
