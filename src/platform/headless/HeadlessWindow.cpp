#include "platform/headless/HeadlessWindow.h"

#include <atomic>
#include <csignal>

namespace zan {
namespace {
std::atomic<bool> g_interrupted{false};
void OnSignal(int) { g_interrupted.store(true); }
}  // namespace

HeadlessWindow::HeadlessWindow() = default;
HeadlessWindow::~HeadlessWindow() = default;

bool HeadlessWindow::Create(std::string_view titleSjis, int width, int height) {
  created_ = true;
  title_ = titleSjis;
  width_ = width;
  height_ = height;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  return true;
}

void HeadlessWindow::SetClientSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void HeadlessWindow::PumpEvents() {
  if (g_interrupted.exchange(false)) queue_.PostQuit(0);
}

}  // namespace zan
