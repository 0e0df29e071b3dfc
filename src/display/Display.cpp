#include "display/Display.h"

#include <algorithm>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "surface/SurfaceRegistry.h"
#include "pixels/PixelOps.h"
#include "platform/Platform.h"
#include "platform/GameWindow.h"

namespace zan {
namespace {

const char* DisplayChangeName(uint32_t message) {
  switch (message) {
    case WM_SYSCOLORCHANGE: return "WM_SYSCOLORCHANGE";
    case WM_DEVMODECHANGE: return "WM_DEVMODECHANGE";
    case WM_DISPLAYCHANGE: return "WM_DISPLAYCHANGE";
    case WM_QUERYNEWPALETTE: return "WM_QUERYNEWPALETTE";
    case WM_PALETTEISCHANGING: return "WM_PALETTEISCHANGING";
    case WM_PALETTECHANGED: return "WM_PALETTECHANGED";
    default: return nullptr;
  }
}

}  // namespace

Display::Display(Platform& platform)
    : Task("CDraw::Flip"),
      platform_(platform),
      displayMode_([this](const WindowMessage& m) { return WndProc(m); }) {
  SetHandler(0, [this] { return Present(); });
}

Display::~Display() {
  if (SurfaceRegistry& manager = Surfaces(); manager.GetPresenter() == &platform_.GetPresenter()) {
    platform_.GetPresenter().Close();
    manager.Shutdown();
  }
}

int32_t Display::PixelFormatCode() const { return Surfaces().GetPixelFormatCode(); }

int32_t Display::InitDisplay(GameWindow& window, int32_t width, int32_t height, int32_t fullScreen,
                           uint32_t surfaceFlag, int32_t gdiOnly) {
  displayMode_.window = &window.Backend();
  displayMode_.gameWidth = width;
  displayMode_.gameHeight = height;
  const ScreenSize desktop = window.Backend().DesktopSize();
  displayMode_.desktopWidth = desktop.width;
  displayMode_.desktopHeight = desktop.height;

  // A display set up again starts from new surfaces.
  primary_.Release();
  backBuffer_.Release();
  scratch_.Release();
  SurfaceRegistry& manager = Surfaces();
  manager.Init(&platform_.GetPresenter(), gdiOnly);
  window.RegisterReceiver(&manager);
  manager.CreatePrimary(primary_, width, height);

  int32_t result = backBuffer_.CreateOnDevice(manager.Device(), width, height, surfaceFlag,
                                              manager.GetPixelFormatCode());
  if (result != 0) {
    static const std::string failed = Sjis("SecondarySurfaceの作成に失敗");
    Diagnostics().LogText(LogLevel::kWarning, failed);
    platform_.GetMessageBoxes().Show(failed + std::to_string(result), "", 0);
    manager.SetPixelFormatCode(kFormatBitmap);
    backBuffer_.CreateOnDevice(manager.Device(), width, height, surfaceFlag, kFormatBitmap);
  }
  manager.Register(&backBuffer_);
  backBuffer_.ClearDirty();

  backBuffer_.SetPresentationSource(true);
  backBuffer_.SetPresentRequest([this] { Show(); });
  window.RegisterReceiver(&displayMode_);
  window.RegisterReceiver(&backBuffer_);
  SetFrameRate(30);
  if (fullScreen != 0) SetFullScreen(1);
  gdiCopy_.Create(width, height, 1, 24);
  return 1;
}

int32_t Display::Present() {
  Show();
  timer_.PaceFrame();
  return 0;
}

int32_t Display::BlitToPrimary(const DirtyRect& rect) {
  DeviceSurface* to = primary_.Device();
  DeviceSurface* from = backBuffer_.Device();
  if (to == nullptr || from == nullptr) return DDERR_INVALIDOBJECT;
  if (to->IsLost() || from->IsLost()) return DDERR_SURFACELOST;
  auto c = ClipFill(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    std::min(primary_.Width(), backBuffer_.Width()),
                    std::min(primary_.Height(), backBuffer_.Height()));
  if (c) CopyPixels(backBuffer_.FormatCode(), primary_.View(), backBuffer_.View(), *c);
  return DD_OK;
}

void Display::Show() {
  if (replacement_) {
    replacement_();
    return;
  }
  Presenter* presenter = Surfaces().GetPresenter();
  if (presenter == nullptr) return;
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
  const DirtyRect dirty = backBuffer_.GetDirty();
  if (!IsFullScreen() && dirty.Empty()) return;
  const int32_t result = BlitToPrimary(dirty);
  if (result != DD_OK) {
    if (const char* name = DeviceErrorName(result)) ZAN_WARN("flip %s", name);
    if (result == DDERR_SURFACELOST) {
      primary_.Restore();
      backBuffer_.Restore();
    }
    ZAN_WARN("Flip %x", static_cast<unsigned>(result));
    return;
  }
  const PixelRows screen = primary_.View();
  presenter->Present(FrameView{screen.bits, screen.pitch, screen.width, screen.height,
                               presenter->DisplayFormat()},
                     FrameRect{dirty.left, dirty.top, dirty.right, dirty.bottom});
  backBuffer_.ClearDirty();
}

void Display::SetFullScreen(int32_t target) {
  SurfaceRegistry& manager = Surfaces();
  Presenter* presenter = manager.GetPresenter();
  if (presenter == nullptr) return;
  displayMode_.switching = 1;
  const bool keepFrame = manager.GetPixelFormatCode() != kFormatBitmap;
  if (keepFrame) {
    if (scratch_.Device() == nullptr) scratch_.Create(backBuffer_.Width(), backBuffer_.Height());
    scratch_.Blt(0, 0, backBuffer_.Width(), backBuffer_.Height(), backBuffer_, 0, 0, 0);
  }
  if (target != 0) Diagnostics().LogText(LogLevel::kDebug, "setdisplaymode fullscreen");
  presenter->SetFullScreen(target != 0);
  if (keepFrame) {
    manager.RestoreLostSurfaces();
    backBuffer_.Blt(0, 0, scratch_.Width(), scratch_.Height(), scratch_, 0, 0, 0);
  }
  displayMode_.fullScreen = presenter->IsFullScreen() ? 1 : 0;
  if (target == 0 && displayMode_.window != nullptr) displayMode_.window->CentreOnScreen();
  displayMode_.switching = 0;
  // On a desktop of the game's own size the window would cover it exactly: full screen.
  if (target == 0 && displayMode_.window != nullptr &&
      displayMode_.window->DesktopSize().width == displayMode_.gameWidth)
    SetFullScreen(1);
}

int32_t Display::WndProc(const WindowMessage& message) {
  switch (message.message) {
    case WM_DESTROY:
      if (IsFullScreen()) SetFullScreen(0);
      Surfaces().ClearRegistry();
      platform_.GetPresenter().Close();
      return 0;
    case WM_ACTIVATEAPP:
      if (message.wParam == 0) {
        gdiCopy_.CopyFromSurface(backBuffer_);
        if (IsFullScreen()) SetFullScreen(0);
      }
      return 0;
    default:
      break;
  }
  if (const char* name = DisplayChangeName(message.message)) {
    static const std::string before = Sjis("CDraw::WndProcに");
    static const std::string after = Sjis("が来たよ");
    Diagnostics().LogText(LogLevel::kDebug, before);
    Diagnostics().LogText(LogLevel::kDebug, name);
    Diagnostics().LogText(LogLevel::kDebug, after);
    if (displayMode_.switching == 0) {
      Surfaces().ReloadAllSurfaces();
      backBuffer_.CopyFromBitmap(gdiCopy_);
    }
  }
  return 0;
}

}  // namespace zan
