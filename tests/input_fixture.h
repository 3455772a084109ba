// The fixture of the input tests: the headless backend with the input
// state at its start, and key messages put through the queue.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "draw/eldraw.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "platform/core/messages.h"
#include "platform/platform.h"
#include "shell/elsystem.h"

namespace inputtest {

using namespace elSystem;

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Options options;
    options.backend = "headless";
    std::string error;
    ASSERT_TRUE(plat::Start(options, error)) << error;
    InitSystem();  // input state, quit state and the frame time back to their start
    elDraw::fadeLevel = 0;
    elDraw::scrollViewShown = 0;
  }
  void TearDown() override {
    if (cursorClipped) ReleaseCursorClip();
    clipCursorMode = 0;
    elDraw::fadeLevel = 0;
    elDraw::scrollViewShown = 0;
    ResetInputState();
    plat::Stop();
  }

  // Puts a key message through the queue, which is how the key table learns
  // of it.
  static void Key(int vk, bool down) {
    plat::PostMessage(plat::MainWindow(), down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), 0);
    plat::Message message;
    for (int i = 0; i < 100 && plat::PeekMessage(message); ++i) {
    }
  }

  static int Poll(int vk, int& state) {
    KeyEdge(vk, state);
    return state;
  }
};

}  // namespace inputtest
