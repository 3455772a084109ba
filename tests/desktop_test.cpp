// The desktop side of playing: where the picture shows in a window or over
// the whole screen, how window points map back to the picture's pixels, and
// F12's PNG screenshots in the user's pictures folder.
#if !defined(_WIN32)
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "draw_fixture.h"
#include "platform/core/picture_fit.h"
#include "shell/screenshot.h"

namespace {

using plat::PictureRect;

TEST(PictureFit, LargestSizeOfItsShapeCentredOnBlack) {
  struct Case {
    int outW, outH;
    PictureRect any, whole;  // as large as fits; by whole numbers only
  } cases[] = {
      {800, 600, {0, 0, 800, 600}, {0, 0, 800, 600}},  // the window at scale 1
      {1600, 1200, {0, 0, 1600, 1200}, {0, 0, 1600, 1200}},  // --scale 2
      {1024, 768, {0, 0, 1024, 768}, {112, 84, 800, 600}},
      {1920, 1080, {240, 0, 1440, 1080}, {560, 240, 800, 600}},  // 1080 / 600 is not yet 2
      {1280, 1024, {0, 32, 1280, 960}, {240, 212, 800, 600}},
      {1920, 1200, {160, 0, 1600, 1200}, {160, 0, 1600, 1200}},
      {2560, 1440, {320, 0, 1920, 1440}, {480, 120, 1600, 1200}},
      {3840, 2160, {480, 0, 2880, 2160}, {720, 180, 2400, 1800}},
      {3440, 1440, {760, 0, 1920, 1440}, {920, 120, 1600, 1200}},  // a wide desktop: bars left and right
      // Smaller than the picture: shrunk to fit, keeping its shape.
      {640, 480, {0, 0, 640, 480}, {0, 0, 640, 480}},
      {1024, 576, {128, 0, 768, 576}, {128, 0, 768, 576}},
  };
  for (const Case& c : cases) {
    for (bool whole : {false, true}) {
      PictureRect r = plat::FitPicture(c.outW, c.outH, 800, 600, whole);
      const PictureRect& expected = whole ? c.whole : c.any;
      EXPECT_TRUE(r == expected) << c.outW << "x" << c.outH << (whole ? " whole" : "") << ": got " << r.x
                                 << "," << r.y << " " << r.w << "x" << r.h;
    }
  }
}

// Mouse positions stay in the picture's 800 x 600 pixels in every mode, and
// a picture pixel's first output point maps back to it.
TEST(PictureFit, WindowPointsMapToPicturePixels) {
  struct Case {
    int outW, outH;
    bool whole;
    int wx, wy, px, py;
  } cases[] = {
      {800, 600, false, 799, 599, 799, 599},
      {1600, 1200, false, 1599, 1199, 799, 599},  // --scale 2
      {1600, 1200, false, -1, -1, -1, -1},        // left of and above the window
      {1920, 1080, true, 560, 240, 0, 0},         // full screen by whole numbers
      {1920, 1080, true, 559, 239, -1, -1},       // on the black border
      {1920, 1080, true, 1359, 839, 799, 599},
      {2560, 1440, true, 482, 124, 1, 2},
      {1920, 1080, false, 240, 0, 0, 0},          // full screen, 1.8 output pixels a pixel
      {1920, 1080, false, 239, 0, -1, 0},
      {1920, 1080, false, 241, 1, 0, 0},
      {1920, 1080, false, 242, 2, 1, 1},
      {1920, 1080, false, 1679, 1079, 799, 599},
      {1920, 1080, false, 1680, 1080, 800, 600},  // just past the picture
      {1280, 1024, false, 640, 512, 400, 300},
  };
  for (const Case& c : cases) {
    PictureRect r = plat::FitPicture(c.outW, c.outH, 800, 600, c.whole);
    int x = c.wx, y = c.wy;
    plat::OutputToPicture(r, 800, 600, x, y);
    EXPECT_EQ(x, c.px) << c.outW << "x" << c.outH << " at " << c.wx << "," << c.wy;
    EXPECT_EQ(y, c.py) << c.outW << "x" << c.outH << " at " << c.wx << "," << c.wy;
    // Back again: the first output point of that picture pixel, which maps
    // to the pixel itself, while the point before it does not.
    plat::PictureToOutput(r, 800, 600, x, y);
    int bx = x, by = y, px = x - 1, py = y - 1;
    plat::OutputToPicture(r, 800, 600, bx, by);
    plat::OutputToPicture(r, 800, 600, px, py);
    EXPECT_EQ(bx, c.px);
    EXPECT_EQ(by, c.py);
    EXPECT_LT(px, c.px);
    EXPECT_LT(py, c.py);
  }
}

TEST(Screenshot, PicturesFolderAndFileName) {
  struct Case {
    const char* text;
    const char* folder;
  } cases[] = {
      {"XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", "/home/u/Pictures"},
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_PICTURES_DIR=\"$HOME/画像\"\n",
       "/home/u/画像"},
      {"XDG_PICTURES_DIR=\"/srv/shots\"", "/srv/shots"},
      {"XDG_PICTURES_DIR=\"relative/no\"\n", ""},
      {"XDG_PICTURES_DIR=\"$HOME/unclosed\n", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::PicturesFolderFromUserDirs(c.text, "/home/u"), c.folder) << c.text;
  }
  plat::LocalTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 9;
  t.hour = 7;
  t.minute = 5;
  t.second = 1;
  EXPECT_EQ(shell::ScreenshotName("zolbeck", t, 1), "zolbeck-20260309-070501.png");
  EXPECT_EQ(shell::ScreenshotName("zolbeck", t, 2), "zolbeck-20260309-070501-2.png");
}

#if !defined(_WIN32)
// The desktop's folder list is read only as a plain file of a sane size: a
// FIFO in its place, a link to a device or a huge file count as no list.
// Each case runs in a child with an alarm and a memory limit, so that a wait
// or an endless read fails the case instead of holding the tests.
TEST(Screenshot, FolderListIsReadOnlyAsASmallPlainFile) {
  char name[] = "/tmp/zolbeck-userdirs-XXXXXX";
  ASSERT_NE(mkdtemp(name), nullptr);
  const std::string home = name, list = home + "/user-dirs.dirs";
  const std::string line = "XDG_PICTURES_DIR=\"$HOME/Shots\"\n";
  auto write = [&](const std::string& text) { std::ofstream(list, std::ios::binary) << text; };
  const struct {
    const char* what;
    std::function<void()> make;
    std::string folder;
  } cases[] = {
      {"a plain file", [&] { write(line); }, home + "/Shots"},
      {"a FIFO", [&] { mkfifo(list.c_str(), 0600); }, home + "/Pictures"},
      {"a link to a device", [&] { symlink("/dev/zero", list.c_str()); }, home + "/Pictures"},
      {"a huge file", [&] { write(line + std::string(1 << 20, '#')); }, home + "/Pictures"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(list);
    c.make();
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
      alarm(5);
      // A read without a limit runs out of this much memory; AddressSanitizer
      // reserves far more address space for itself, so there the size limit
      // of the read is left to the alarm.
#if !defined(__SANITIZE_ADDRESS__)
      rlimit memory{256u << 20, 256u << 20};
      setrlimit(RLIMIT_AS, &memory);
#endif
      setenv("HOME", home.c_str(), 1);
      setenv("XDG_CONFIG_HOME", home.c_str(), 1);
      unsetenv("XDG_PICTURES_DIR");
      _exit(plat::PicturesFolder() == c.folder ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "waited on it or read without end";
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  }
  std::filesystem::remove_all(home);
}
#endif

class ScreenshotFile : public drawtest::DrawFixture {};

// F12's file holds the back screen pixel for pixel, and a second shot in the
// same second gets a name of its own.
TEST_F(ScreenshotFile, PngOfTheBackScreenInThePicturesFolder) {
#if defined(_WIN32)
  GTEST_SKIP() << "the pictures folder comes from the Windows shell, and libpng reads the file back on Linux only";
#else
  char name[] = "/tmp/zolbeck-shots-XXXXXX";
  ASSERT_NE(mkdtemp(name), nullptr);
  std::string folder = std::string(name) + "/new/Pictures";
  setenv("XDG_PICTURES_DIR", folder.c_str(), 1);

  // Red, green, blue and white quarters.
  plat::Surface& back = Back();
  plat::LockInfo lock;
  ASSERT_EQ(plat::Lock(back, lock), plat::Result::Ok);
  const uint32_t colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      uint16_t v = static_cast<uint16_t>(colours[(y >= 300) * 2 + (x >= 400)]);
      std::memcpy(lock.pixels + y * lock.pitch + 2 * x, &v, 2);
    }
  }
  plat::Unlock(back);

  std::string first = shell::SaveScreenshot();
  std::string second = shell::SaveScreenshot();
  unsetenv("XDG_PICTURES_DIR");
  ASSERT_EQ(first.rfind(folder + "/", 0), 0u) << first;
  EXPECT_NE(first, second);

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, first.c_str()));
  ASSERT_EQ(image.width, 800u);
  ASSERT_EQ(image.height, 600u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  auto at = [&](int x, int y) {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * 800 + x) * 3];
    return (p[0] << 16) | (p[1] << 8) | p[2];
  };
  EXPECT_EQ(at(0, 0), 0xFF0000);
  EXPECT_EQ(at(799, 0), 0x00FF00);
  EXPECT_EQ(at(0, 599), 0x0000FF);
  EXPECT_EQ(at(799, 599), 0xFFFFFF);
  std::filesystem::remove_all(name);
#endif
}

}  // namespace
