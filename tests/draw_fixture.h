// The shared fixture of the drawing tests: a headless backend at a chosen
// desktop depth with the screen set up as the game sets it up (800 x 600),
// and helpers that read and write surface pixels through locks.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "input/input.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "shell/elsystem.h"
#include "portable.h"

namespace drawtest {

// Starts the headless backend with a `depth`-bit desktop and the shell and
// library state as the entry function leaves them before the screen opens,
// windowed. Earlier tests of the same process may have left library state
// behind; their surfaces went with their backend, so nothing is released.
inline ::testing::AssertionResult StartWindowedDesktop(int depth) {
  plat::Options options;
  options.backend = "headless";
  options.depth = depth;
  std::string error;
  if (!plat::Start(options, error)) return ::testing::AssertionFailure() << error;
  elSystem::StartTimer();
  InitSystem();
  elDraw::screen = elDraw::ScreenState{};
  for (elDraw::SpriteSlot& slot : elDraw::SpriteTable) slot = elDraw::SpriteSlot{};
  elDraw::colorKeySetting = elDraw::ColorKeySetting{};
  elSystem::fullScreen = 0;
  elSystem::clientWidth = 800;
  elSystem::clientHeight = 600;
  return ::testing::AssertionSuccess();
}

// A picture file of the game folder as drawn (0x00RRGGBB, top row first).
inline plat::Bitmap Source(const char* name) {
  plat::Bitmap bitmap;
  std::string path = std::string(elSystem::GetProgramFolder(0)) + name;
  EXPECT_TRUE(plat::LoadBitmap(path.c_str(), bitmap)) << name;
  return bitmap;
}

// Every pixel of a surface, read under one lock.
inline std::vector<uint32_t> SurfacePixels(plat::Surface& s) {
  std::vector<uint32_t> out(static_cast<size_t>(s.width) * s.height);
  plat::LockInfo lock;
  EXPECT_EQ(plat::Lock(s, lock), plat::Result::Ok);
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      out[static_cast<size_t>(y) * s.width + x] = plat::LoadPixelValue(
          lock.pixels + y * lock.pitch + x * s.format.bytesPerPixel, s.format.bytesPerPixel);
    }
  }
  plat::Unlock(s);
  return out;
}

// Compares a picture as drawn (0x00RRGGBB, `background` where nothing is
// drawn) with the same picture loaded onto a surface whose colour key is
// `key`: counts drawn pixels the key makes transparent, and background
// pixels that stay visible.
struct KeyMismatches {
  int lostDrawing = 0, shownBackground = 0;
};
inline KeyMismatches CountKeyMismatches(const std::vector<uint32_t>& drawing, uint32_t background,
                                        const std::vector<uint32_t>& loaded, uint32_t key) {
  KeyMismatches m;
  for (size_t i = 0; i < drawing.size() && i < loaded.size(); ++i) {
    bool drawn = drawing[i] != background;
    if (drawn && loaded[i] == key) ++m.lostDrawing;
    if (!drawn && loaded[i] != key) ++m.shownBackground;
  }
  return m;
}

class DrawFixture : public ::testing::Test {
 protected:
  virtual int Depth() const { return 16; }

  void SetUp() override {
    plat::Options options;
    options.backend = "headless";
    options.depth = Depth();
    std::string error;
    ASSERT_TRUE(plat::Start(options, error)) << error;
    elSystem::StartTimer();
    elDraw::screen = elDraw::ScreenState{};
    InitSystem();
    ResetDrawState();
    ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
    ASSERT_NE(elDraw::screen.backScreen, nullptr);
  }

  void TearDown() override {
    elDraw::Release();
    ResetDrawState();
    elSystem::StopTimer();
    plat::Stop();
  }

  static void ResetDrawState() {
    elDraw::fadeLevel = elDraw::fadeDirection = elDraw::fadePattern = 0;
    elDraw::scrollViewShown = 0;
    elDraw::scrollView = elDraw::ScrollViewState{};
    elDraw::rowEffects = elDraw::RowEffectState{};
    elSystem::scrollViewKey = 0;
    elDraw::SetColorKey(0);
  }

  static plat::Surface& Back() { return *elDraw::screen.backScreen; }
  static plat::Surface& SpriteSurface(int slot) { return *elDraw::SpriteTable[slot].surface; }

  static uint32_t Pixel(plat::Surface& s, int x, int y) {
    plat::LockInfo lock;
    EXPECT_EQ(plat::Lock(s, lock), plat::Result::Ok);
    uint32_t value = 0;
    std::memcpy(&value, lock.pixels + y * lock.pitch + x * s.format.bytesPerPixel,
                s.format.bytesPerPixel);
    plat::Unlock(s);
    return value;
  }
  static uint32_t BackPixel(int x, int y) { return Pixel(Back(), x, y); }

  // Writes every pixel of a surface from `value(x, y)`.
  static void Paint(plat::Surface& s, const std::function<uint32_t(int, int)>& value) {
    plat::LockInfo lock;
    ASSERT_EQ(plat::Lock(s, lock), plat::Result::Ok);
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) {
        uint32_t v = value(x, y);
        std::memcpy(lock.pixels + y * lock.pitch + x * s.format.bytesPerPixel, &v,
                    s.format.bytesPerPixel);
      }
    }
    plat::Unlock(s);
  }
  static void SetPixel(plat::Surface& s, int x, int y, uint32_t value) {
    plat::LockInfo lock;
    ASSERT_EQ(plat::Lock(s, lock), plat::Result::Ok);
    std::memcpy(lock.pixels + y * lock.pitch + x * s.format.bytesPerPixel, &value,
                s.format.bytesPerPixel);
    plat::Unlock(s);
  }

  // A sprite made empty and painted; its key is black (pixel value 0).
  static int MakeSprite(int width, int height, const std::function<uint32_t(int, int)>& value) {
    int slot = elDraw::CreateObject(width, height, 2);
    EXPECT_GE(slot, elDraw::kFirstLoadableSprite);
    if (slot >= elDraw::kFirstLoadableSprite) Paint(SpriteSurface(slot), value);
    return slot;
  }

  // The count of non-zero back-screen pixels outside a rectangle.
  static int CountOutside(int left, int top, int right, int bottom) {
    plat::Surface& s = Back();
    plat::LockInfo lock;
    EXPECT_EQ(plat::Lock(s, lock), plat::Result::Ok);
    int count = 0;
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) {
        if (x >= left && x < right && y >= top && y < bottom) continue;
        uint32_t v = 0;
        std::memcpy(&v, lock.pixels + y * lock.pitch + x * s.format.bytesPerPixel,
                    s.format.bytesPerPixel);
        if (v != 0) ++count;
      }
    }
    plat::Unlock(s);
    return count;
  }
  static int CountNonZero() { return CountOutside(0, 0, 0, 0); }
};

// A folder inside the program folder, for pictures the library loads by
// name; removed with its files at the end of the test.
class ProgramSubfolder {
 public:
  ProgramSubfolder() {
    name_ = "drawtest" + std::to_string(portable::ProcessId());
    std::string folder = plat::ResolvePath(elSystem::GetProgramFolder(0));
    real_ = folder + "/" + name_;
    std::filesystem::create_directories(real_);
  }
  ~ProgramSubfolder() {
    std::error_code ignored;
    std::filesystem::remove_all(real_, ignored);
  }
  // The name of a file in it, as the library's loaders take it.
  std::string Name(const std::string& file) const { return name_ + "\\" + file; }
  std::string RealPath(const std::string& file) const { return real_ + "/" + file; }

 private:
  std::string name_, real_;
};

// Writes a 24-bit bottom-up BMP; `colour(x, y)` is 0x00RRGGBB.
inline void WriteBmp24(const std::string& path, int width, int height,
                       const std::function<uint32_t(int, int)>& colour) {
  int rowSize = (width * 3 + 3) & ~3;
  std::vector<uint8_t> data(54 + rowSize * height, 0);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  data[0] = 'B';
  data[1] = 'M';
  put32(2, static_cast<uint32_t>(data.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  data[26] = 1;
  data[28] = 24;
  put32(34, static_cast<uint32_t>(rowSize * height));
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &data[54 + (height - 1 - y) * rowSize];
    for (int x = 0; x < width; ++x) {
      uint32_t c = colour(x, y);
      row[3 * x] = static_cast<uint8_t>(c);
      row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
    }
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

}  // namespace drawtest
