#include "message/MessageWindowTask.h"

#include <algorithm>

#include "base/ShiftJis.h"
#include "surface/Surface.h"
#include "message/Dirty.h"
#include "message/MessageArea.h"
#include "core/TaskScheduler.h"

namespace zan {
namespace {

// Where area 0 shows the name plate and the page-advance icon, from the window's corner.
constexpr int32_t kNamePlateX = 6;
constexpr int32_t kNamePlateY = 28;
constexpr int32_t kIconX = 750;
constexpr int32_t kIconY = 144;
// Frames each icon frame stays (the counter runs past this before the next frame).
constexpr int32_t kIconHold = 3;

// Draws a picture with its own alpha, or at an opacity while a fade is under way.
void DrawLayer(Surface& target, int32_t x, int32_t y, int32_t w, int32_t h,
               Surface& source, int32_t sx, int32_t sy, bool fading, int32_t opacity) {
  if (!fading) {
    target.Blt(x, y, w, h, source, sx, sy, 2);
    return;
  }
  target.BitBltAlpha(x, y, w, h, source, sx, sy, static_cast<uint8_t>(std::clamp(opacity, 0, 255)));
  MarkDirty(target, x, y, w, h);
}

}  // namespace

MessageWindowTask::MessageWindowTask(TaskScheduler& tasks)
    : GameTask(tasks, "CDrawMessage", Sjis("CDrawMessage::【メッセージ表示を管理】")) {}

void MessageWindowTask::Attach(MessageAreas& areas, const Pacing& pacing) {
  areas_ = &areas;
  pacing_ = pacing;
}

void MessageWindowTask::StartDrawing() { Start(kOrderMessage); }

void MessageWindowTask::Draw(Surface& frame) {
  if (areas_ == nullptr) return;
  for (int32_t index = MessageAreas::kAreaCount - 1; index >= 0; --index) DrawMessageArea(frame, index);
}

void MessageWindowTask::DrawMessageArea(Surface& target, int32_t index) {
  MessageAreas& areas = *areas_;
  MessageArea& area = areas.Area(index);
  WindowSettings& s = area.Settings();
  const bool playerHid = areas.WindowHiddenByPlayer();
  const int32_t x = area.WindowX();
  const int32_t y = area.WindowY();

  // 1. The window picture.
  Surface& picture = area.WindowPicture();
  const bool hasPicture = picture.View() ? true : false;
  if (s.fade > 0) {
    s.fade = std::max(s.fade - 255, 0);
    if (hasPicture) {
      const int32_t opacity = (s.hidden != 0 || playerHid) ? s.fade : 255 - s.fade;
      DrawLayer(target, x, y, picture.Width(), picture.Height(), picture, 0, 0, true, opacity);
    }
  } else if (s.hidden == 0 && !playerHid && hasPicture) {
    DrawLayer(target, x, y, picture.Width(), picture.Height(), picture, 0, 0, false, 255);
  }

  // 2. The text.
  TextBuffer& buffer = area.Buffer();
  if (buffer.Count() > 0) {
    areas.ApplySettings(index);
    buffer.DrawFadeIn(target, x, y, area.GlyphSurface(), playerHid ? s.fade : 255,
                      areas.Layout().Settings());
  }

  // 3. Typing.
  Type(areas, index);

  // 4. Area 0's name plate and page-advance icon.
  if (index == 0) DrawNamePlateAndIcon(target, areas);
}

void MessageWindowTask::Type(MessageAreas& areas, int32_t index) {
  TextBuffer& buffer = areas.Area(index).Buffer();
  const int32_t count = buffer.Count();
  if (buffer.RevealCursor() > count - 1) return;
  // A settings file may hold any number: the pace runs 0..10.
  const int32_t rate = std::clamp(*pacing_.textRate, 0, 10);
  auto reveal = [&] {
    buffer.SetCellState(buffer.RevealCursor(), 1);
    buffer.SetRevealCursor(buffer.RevealCursor() + 1);
  };
  if (rate >= 10) {
    buffer.ShowAll();
  } else if (rate <= 7) {
    // One character every 8 - rate frames.
    if (++typingCounter_ > 7 - rate) {
      typingCounter_ = 0;
      reveal();
    }
  } else {
    for (int32_t i = 0; i < rate - 7 && buffer.RevealCursor() < count; ++i) reveal();
  }
  if (buffer.RevealCursor() >= count) *pacing_.typedAt = static_cast<int32_t>(Manager().Now());
}

void MessageWindowTask::DrawNamePlateAndIcon(Surface& target, MessageAreas& areas) {
  MessageArea& area = areas.Area(0);
  const WindowSettings& s = area.Settings();
  const bool playerHid = areas.WindowHiddenByPlayer();
  const int32_t x = area.WindowX();
  const int32_t y = area.WindowY();

  Surface& plate = areas.NamePlate();
  if (plate.View()) {
    const int32_t g = s.fade;
    if (g > 0) {
      const int32_t opacity = (s.hidden != 0 || playerHid) ? g : 255 - g;
      DrawLayer(target, x + kNamePlateX, y + kNamePlateY, plate.Width(), plate.Height(), plate, 0, 0,
                true, opacity);
    } else if (s.hidden == 0 && !playerHid) {
      DrawLayer(target, x + kNamePlateX, y + kNamePlateY, plate.Width(), plate.Height(), plate, 0, 0,
                false, 255);
    }
  }

  if (!*pacing_.clickWaiting || !area.IsAllShown() || playerHid || *pacing_.skipMode != 0) return;
  if (++iconCounter_ > kIconHold) {
    iconCounter_ = 0;
    iconFrame_ = (iconFrame_ + 1) % kIconFrames;
  }
  Surface& icon = areas.AdvanceIcon();
  if (!icon.View()) return;
  DrawLayer(target, x + kIconX, y + kIconY, kIconSize, kIconSize, icon, iconFrame_ * kIconSize, 0,
            s.fade > 0, s.fade);
}

}  // namespace zan
