// The shared fixture of the game tests: a headless backend, a small stage
// written into a fresh temporary folder that becomes the current folder (the
// stage files are opened by bare name), LoadGame, and GameFrame stepped with
// keys held and released through the key table.
//
// Typical use:
//   class MyTest : public gametest::GameFixture {};
//   TEST_F(MyTest, Something) {
//     gametest::Stage stage;            // all zeros, start screen (0, 0)
//     stage.data[0] = 1; stage.data[1] = 1;   // start on the centre screen
//     stage.objects.Set(row, col, 1);   // the player
//     StartGame(stage);                 // writes the files, chdir, LoadGame
//     Frames(1);                        // the first frame loads the stage
//     Hold(VK_RIGHT); Frames(30); Release(VK_RIGHT);
//   }
// Tests of other modules reset their own globals by overriding ResetModule().
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "actors/actor_model.h"
#include "actors/party.h"
#include "draw/eldraw.h"
#include "input/input.h"
#include "platform/core/messages.h"
#include "platform/platform.h"
#include "shell/elsystem.h"
#include "world/game.h"
#include "world/pictures.h"
#include "world/world.h"
#include "portable.h"

namespace gametest {

// One layer of the stage: 216 rows of 288 cells.
struct Layer {
  std::vector<int32_t> cells = std::vector<int32_t>(kStageRows * kStageColumns, 0);
  int32_t& At(int row, int col) { return cells[row * kStageColumns + col]; }
  void Set(int row, int col, int32_t value) { At(row, col) = value; }
  // Fills a rectangle of cells (inclusive bounds).
  void Fill(int row0, int col0, int row1, int col1, int32_t value) {
    for (int r = row0; r <= row1; ++r)
      for (int c = col0; c <= col1; ++c) At(r, c) = value;
  }
  // 216 lines of 288 numbers, the layout the stage editor writes.
  std::string Text() const {
    std::string out;
    out.reserve(cells.size() * 3);
    for (int r = 0; r < kStageRows; ++r) {
      for (int c = 0; c < kStageColumns; ++c) {
        if (c) out += ' ';
        out += std::to_string(cells[r * kStageColumns + c]);
      }
      out += '\n';
    }
    return out;
  }
};

// The four stage files.
struct Stage {
  int32_t data[4] = {0, 0, 0, 0};  // start column, start row, boss screen, unused
  Layer tiles, solid, objects;
};

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Resets the world's and the party's globals to their start-of-process
// values (the foes reset their own records).
inline void ResetGameState() {
  ResetWorld();
  ResetPlayer();
  ResetCompanions();
  pictures = GamePictures{};
}

class GameFixture : public ::testing::Test {
 protected:
  // Other modules override this to reset their own globals; it runs before
  // every test and after it.
  virtual void ResetModule() {}

  void SetUp() override {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) savedFolder_ = cwd;
    folder_ = portable::MakeTempFolder("zolbeck-gametest-");
    ASSERT_FALSE(folder_.empty());
    ASSERT_EQ(chdir(folder_.c_str()), 0);

    plat::Options options;
    options.backend = "headless";
    options.depth = 16;
    std::string error;
    ASSERT_TRUE(plat::Start(options, error)) << error;
    elSystem::StartTimer();
    elDraw::screen = elDraw::ScreenState{};
    elDraw::fadeLevel = elDraw::fadeDirection = 0;
    elDraw::scrollViewShown = 0;
    elDraw::wipeState = 0;
    elDraw::SetColorKey(0);
    InitSystem();
    ResetGameState();
    ResetModule();
    std::srand(1);
  }

  void TearDown() override {
    elDraw::Release();
    elDraw::SetColorKey(0);
    ResetGameState();
    ResetModule();
    elSystem::StopTimer();
    plat::Stop();
    if (!savedFolder_.empty()) (void)chdir(savedFolder_.c_str());
    portable::RemoveTree(folder_);
  }

  // The temporary folder the test runs in (the current folder).
  const std::string& Folder() const { return folder_; }

  // Writes the four stage files into the current folder.
  void WriteStage(const Stage& stage) {
    WriteFile("stagedata.txt", std::to_string(stage.data[0]) + " " + std::to_string(stage.data[1]) +
                                   " " + std::to_string(stage.data[2]) + " " +
                                   std::to_string(stage.data[3]) + "\n");
    WriteFile("map01_data.txt", stage.tiles.Text());
    WriteFile("map01_zk.txt", stage.solid.Text());
    WriteFile("map01_teki.txt", stage.objects.Text());
  }

  // Writes the stage and starts the game as the entry function does
  // (screen, pictures, frame rate, scene 1). No frame has run yet.
  void StartGame(const Stage& stage) {
    WriteStage(stage);
    LoadGame();
  }

  // Runs n game frames. Key messages posted by Hold/Release are taken off
  // the queue before each frame, which is what updates the key table.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      Drain();
      GameFrame();
      ++frameCount_;
    }
  }
  int FrameCount() const { return frameCount_; }

  void Hold(int virtualKey) { Post(WM_KEYDOWN, virtualKey); }
  void Release(int virtualKey) { Post(WM_KEYUP, virtualKey); }
  // Down for one frame, then up before the next.
  void Press(int virtualKey) {
    Hold(virtualKey);
    Frames(1);
    Release(virtualKey);
  }

 private:
  void Post(uint32_t kind, int virtualKey) {
    plat::PostMessage(plat::MainWindow(), kind, static_cast<uintptr_t>(virtualKey), 1);
    Drain();
  }
  static void Drain() {
    plat::Message message;
    while (plat::PeekMessage(message)) {
      // The key table follows the messages taken off the queue; they are not
      // dispatched, so Escape cannot end the test's game.
    }
  }

  std::string savedFolder_;
  std::string folder_;
  int frameCount_ = 0;
};

}  // namespace gametest
