#include "display/Display.h"

#include <algorithm>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "display/ChangedArea.h"
#include "surface/SurfaceFormat.h"
#include "pixels/PixelOps.h"
#include "platform/Platform.h"
#include "platform/GameWindow.h"

namespace zan {
namespace {

// The number the back buffer's failure message ends with: 1 when the surface was already
// made or its bitmap form could not be, 2 when the display format could not be had.
int32_t FailureNumber(CreatePixelsResult result) {
  return result == CreatePixelsResult::kUnavailable ? 2 : 1;
}

}  // namespace

Display::Display(Platform& platform)
    : Task("CDraw::Flip"),
      platform_(platform),
      displayMode_([this](const InputEvent& e) { return HandleWindowEvent(e); }),
      timer_(platform.GetClock()) {
  SetHandler(0, [this] { Present(); });
}

Display::~Display() {
  if (initialised_) {
    platform_.GetPresenter().Close();
    SetSurfaceFormatCode(kFormatBitmap);
  }
}

void Display::InitDisplay(GameWindow& window, int32_t width, int32_t height) {
  displayMode_.window = &window.Backend();
  displayMode_.gameWidth = width;
  displayMode_.gameHeight = height;

  // A display set up again starts from new surfaces.
  primary_.Release();
  backBuffer_.Release();
  initialised_ = true;
  ShowAllNext();
  static const std::string primaryFailed = Sjis("PrimarySurfaceの作成に失敗");
  Presenter& presenter = platform_.GetPresenter();
  formatCode_ = kFormatBitmap;
  if (!presenter.Open(width, height)) {
    Diagnostics().LogText(LogLevel::kWarning, primaryFailed);
  } else {
    formatCode_ = PixelFormatCodeOf(presenter.DisplayFormat());
    // A display in no known layout has no surface this program can draw to.
    if (formatCode_ != kFormatBitmap &&
        primary_.CreateInFormat(width, height, formatCode_) != CreatePixelsResult::kOk) {
      Diagnostics().LogText(LogLevel::kWarning, primaryFailed);
      formatCode_ = kFormatBitmap;
    }
  }

  if (const CreatePixelsResult result = backBuffer_.CreateInFormat(width, height, formatCode_);
      result != CreatePixelsResult::kOk) {
    static const std::string failed = Sjis("SecondarySurfaceの作成に失敗");
    Diagnostics().LogText(LogLevel::kWarning, failed);
    platform_.GetMessageBoxes().Show(failed + std::to_string(FailureNumber(result)), "");
    formatCode_ = kFormatBitmap;
    backBuffer_.CreateInFormat(width, height, kFormatBitmap);
  }
  SetSurfaceFormatCode(formatCode_);
  backBuffer_.ClearDirty();
  window.RegisterReceiver(&displayMode_);
  SetFrameRate(30);
}

void Display::Present() {
  Show();
  timer_.PaceFrame();
}

bool Display::BlitToPrimary(const FrameRect& rect) {
  if (primary_.Device() == nullptr || backBuffer_.Device() == nullptr) return false;
  auto c = ClipFill(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    std::min(primary_.Width(), backBuffer_.Width()),
                    std::min(primary_.Height(), backBuffer_.Height()));
  if (c) CopyPixels(backBuffer_.FormatCode(), primary_.View(), backBuffer_.View(), *c);
  return true;
}

void Display::Show() {
  if (replacement_) {
    replacement_();
    ++presented_;
    return;
  }
  if (!initialised_) return;
  Presenter* presenter = &platform_.GetPresenter();
  const int32_t width = displayMode_.gameWidth;
  const int32_t height = displayMode_.gameHeight;
  if (PixelFormatCode() == kFormatBitmap) {
    // Without a device the 24-bit bitmap goes to the window whole.
    if (backBuffer_.BitmapBits() != nullptr)
      presenter->Present(FrameView{backBuffer_.BitmapBits(), backBuffer_.BitmapPitch(), width, height,
                                   DisplayPixelFormat{24, 0xFF0000, 0x00FF00, 0x0000FF}},
                         FrameRect{0, 0, width, height});
    return;
  }
  const FrameRect whole{0, 0, backBuffer_.Width(), backBuffer_.Height()};
  if (wholeNext_ || fullRedraw_) backBuffer_.AddDirty(whole.left, whole.top, whole.right, whole.bottom);
  const DirtyRect dirty = backBuffer_.GetDirty();
  if (dirty.Empty()) return;
  // Unpaced frames (skip mode) wait for the screen's next refresh; their changes gather in
  // the dirty rectangle meanwhile.
  const uint32_t clock = platform_.GetClock().Milliseconds();
  if (!wholeNext_ && !fullRedraw_ && timer_.Rate() == 0 && clock - lastShown_ < presenter->RefreshInterval())
    return;
  FrameRect changed = whole;
  if (!wholeNext_ && !fullRedraw_) {
    changed = ChangedArea(backBuffer_.View(), primary_.View(), BytesPerPixel(formatCode_),
                          FrameRect{dirty.left, dirty.top, dirty.right, dirty.bottom});
  }
  backBuffer_.ClearDirty();
  wholeNext_ = false;
  if (changed.Empty()) return;
  if (!BlitToPrimary(changed)) return;
  const PixelRows screen = primary_.View();
  presenter->Present(FrameView{screen.bits, screen.pitch, screen.width, screen.height,
                               presenter->DisplayFormat()},
                     changed);
  lastShown_ = clock;
  ++presented_;
  presentedPixels_ += static_cast<uint64_t>(changed.right - changed.left) * (changed.bottom - changed.top);
}

void Display::SetFullScreen(int32_t target) {
  if (!initialised_) return;
  Presenter& presenter = platform_.GetPresenter();
  if (target != 0) Diagnostics().LogText(LogLevel::kDebug, "setdisplaymode fullscreen");
  presenter.SetFullScreen(target != 0);
  displayMode_.fullScreen = presenter.IsFullScreen() ? 1 : 0;
  // The screen's size changed: the whole picture goes to it again.
  ShowAllNext();
  if (target == 0 && displayMode_.window != nullptr) displayMode_.window->CentreOnScreen();
  // On a desktop of the game's own size the window would cover it exactly: full screen.
  if (target == 0 && displayMode_.window != nullptr &&
      displayMode_.window->DesktopSize().width == displayMode_.gameWidth)
    SetFullScreen(1);
}

bool Display::HandleWindowEvent(const InputEvent& event) {
  switch (event.kind) {
    case InputEvent::Kind::kWindowClosing:
      if (IsFullScreen()) SetFullScreen(0);
      platform_.GetPresenter().Close();
      break;
    case InputEvent::Kind::kFocusLost:
      if (IsFullScreen()) SetFullScreen(0);
      break;
    case InputEvent::Kind::kRedraw:
      // The screen lost its picture: it is shown again, however little changed.
      ShowAllNext();
      Show();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace zan
