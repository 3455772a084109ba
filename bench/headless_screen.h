// A headless 16-bit screen opened as a program opens it, for the length of
// one benchmark.
#pragma once
#include <string>

#include "draw/eldraw.h"
#include "platform/platform.h"
#include "shell/elsystem.h"

class HeadlessScreen {
 public:
  HeadlessScreen(int width = 800, int height = 600) {
    plat::Options options;
    options.backend = "headless";
    options.depth = 16;
    std::string error;
    ok_ = plat::Start(options, error);
    if (!ok_) return;
    elSystem::StartTimer();
    InitSystem();
    ok_ = elDraw::Screen(width, height, 1) == 1;
  }
  ~HeadlessScreen() {
    elDraw::Release();
    elSystem::StopTimer();
    plat::Stop();
  }
  HeadlessScreen(const HeadlessScreen&) = delete;
  HeadlessScreen& operator=(const HeadlessScreen&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};
