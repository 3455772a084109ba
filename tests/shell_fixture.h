// The shared fixture of the shell tests: a headless backend with the timer
// and the shell state set up as the program entry does it, and helpers that
// open the game window without the single-instance lock, pump the queue and
// run the whole entry function.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "draw/eldraw.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "platform/core/messages.h"
#include "platform/platform.h"
#include "shell/elsystem.h"
#include "shell/runcontrol.h"
#include "portable.h"

namespace shelltest {

// The second message parameter of WM_MOVE and the mouse messages.
inline intptr_t PackPoint(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<uint32_t>(x & 0xFFFF));
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A fresh temporary folder, removed with its files at the end of the test.
class TempFolder {
 public:
  TempFolder() : path_(portable::MakeTempFolder("zolbeck-shelltest-")) {}
  ~TempFolder() { portable::RemoveTree(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The system's cursor display count, read without changing it.
inline int CursorDisplayCount() {
  int count = plat::ShowCursor(true) - 1;
  plat::ShowCursor(false);
  return count;
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Options options;
    options.backend = "headless";
    std::string error;
    ASSERT_TRUE(plat::Start(options, error)) << error;
    // Earlier tests of the same process may have left library state behind.
    elDraw::screen = elDraw::ScreenState{};
    elDraw::fadeLevel = elDraw::fadeDirection = 0;
    elDraw::scrollViewShown = 0;
    elDraw::wipeState = 0;
    elDraw::wipeSaved = elDraw::ClipRect{};
    elSystem::dataRoot[0] = '\0';
    shell::ResetRunControl();
    elSystem::StartTimer();
    InitSystem();
    // Not ResetWaits: with the full-screen flag that InitSystem gives, it
    // would confine the cursor to a screen not yet set up.
    for (uint32_t& deadline : elSystem::waitDeadline) deadline = elSystem::kWaitStopped;
  }

  void TearDown() override {
    // Surfaces belong to the backend: they go before it stops.
    elDraw::Release();
    shell::ResetRunControl();
    elSystem::StopTimer();
    plat::Stop();
  }

  // The window as the entry function makes it (class, windowed 800 x 600,
  // shown, game loaded), but without taking the single-instance lock, so
  // that test processes running side by side do not meet.
  void OpenWindow() {
    plat::WindowClass windowClass;
    windowClass.className = elSystem::programClass;
    windowClass.proc = WindowProc;
    ASSERT_TRUE(plat::RegisterClass(windowClass));
    elSystem::windowFlags = 3;
    elSystem::fullScreen = 0;
    elSystem::clientWidth = 800;
    elSystem::clientHeight = 600;
    plat::WindowCreate create;
    create.className = elSystem::programClass;
    create.title = elSystem::programTitle;
    create.x = 100;
    create.y = 50;
    create.width = 800;
    create.height = 600;
    elSystem::mainWindow = plat::CreateWindow(create);
    ASSERT_NE(elSystem::mainWindow, 0u);
    plat::ShowWindow(elSystem::mainWindow, plat::Show::Normal);
    LoadGame();
    elSystem::ResetFrameClock();
  }

  // Takes every waiting message off the queue and dispatches it, as the
  // message loop does; returns true once WM_QUIT has been taken.
  bool DispatchPending() {
    plat::Message message;
    while (plat::PeekMessage(message)) {
      if (message.kind == WM_QUIT) return true;
      plat::DispatchMessage(message);
    }
    return false;
  }

  // Runs the entry function. Another process (a parallel test, a game
  // started by a test) may hold the instance lock for a moment; the entry
  // then gives way at once without a window, and the run is tried again for
  // up to about five seconds of real time.
  int RunWinMain(const char* commandLine = "") {
    int result = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
      result = WinMain(1, 0, commandLine, plat::Show::Normal);
      if (elSystem::mainWindow != 0) return result;
      usleep(50 * 1000);
    }
    ADD_FAILURE() << "the instance lock stayed held by another process";
    return result;
  }
};

}  // namespace shelltest
