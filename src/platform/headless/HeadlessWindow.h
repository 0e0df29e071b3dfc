#pragma once
// HeadlessWindow: a window that exists only as state and a message queue. Input reaches it
// through PostEvent (the harness's timeline); SIGINT and SIGTERM ask the loop to end.

#include <string>

#include "platform/Window.h"

namespace zan {

class HeadlessWindow : public Window {
 public:
  HeadlessWindow();
  ~HeadlessWindow() override;

  bool Create(std::string_view titleSjis, int width, int height) override;
  void Destroy() override { created_ = false; }
  bool IsCreated() const override { return created_; }
  void Show() override { shown_ = true; }
  void SetTitle(std::string_view titleSjis) override { title_ = titleSjis; }
  std::string Title() const override { return title_; }
  void SetClientSize(int width, int height) override;
  void CentreOnScreen() override {}
  void Minimise() override { minimised_ = true; }
  void DisableTextInput() override {}
  ScreenSize DesktopSize() const override { return desktop_; }

  bool IsShown() const { return shown_; }
  bool IsMinimised() const { return minimised_; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }
  void SetDesktopSize(ScreenSize size) { desktop_ = size; }

 protected:
  void PumpEvents() override;

 private:
  bool created_ = false;
  bool shown_ = false;
  bool minimised_ = false;
  int width_ = 0;
  int height_ = 0;
  ScreenSize desktop_{1920, 1080};
  std::string title_;
};

}  // namespace zan
