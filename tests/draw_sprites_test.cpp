// The sprite table over the headless backend: loading pictures written by
// the test, empty sprites, reloads, slot limits and the colour keys on 565,
// 555 and 32-bit surfaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "draw_fixture.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "shell/elsystem.h"
#include "portable.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kMagenta = 0xFF00FF;  // 0x00RRGGBB in the test pictures

// A 24-bit bottom-up BMP of 0x00RRGGBB pixels given top row first.
void WriteBmp(const fs::path& path, int width, int height, const std::vector<uint32_t>& pixels) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const uint32_t imageSize = static_cast<uint32_t>(rowBytes * height);
  std::vector<uint8_t> file;
  auto put16 = [&](uint32_t v) {
    file.push_back(static_cast<uint8_t>(v));
    file.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  file.push_back('B');
  file.push_back('M');
  put32(54 + imageSize);
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  put16(1);
  put16(24);
  put32(0);
  put32(imageSize);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      uint32_t p = pixels[static_cast<size_t>(y * width + x)];
      file.push_back(static_cast<uint8_t>(p));
      file.push_back(static_cast<uint8_t>(p >> 8));
      file.push_back(static_cast<uint8_t>(p >> 16));
    }
    for (int pad = width * 3; pad < rowBytes; ++pad) file.push_back(0);
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

// The raw value of one surface pixel.
uint32_t PixelAt(plat::Surface& surface, int x, int y) {
  plat::LockInfo lock;
  if (plat::Lock(surface, lock) != plat::Result::Ok) return 0xDEADBEEF;
  const uint8_t* p = lock.pixels + y * lock.pitch + x * surface.format.bytesPerPixel;
  uint32_t value = 0;
  for (int i = surface.format.bytesPerPixel - 1; i >= 0; --i) value = value << 8 | p[i];
  plat::Unlock(surface);
  return value;
}

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(16); }

  void TearDown() override {
    Close();
    if (!folder_.empty()) fs::remove_all(folder_);
  }

  // A headless desktop of `depth` bits with the screen open, windowed, and a
  // fresh folder for test pictures beside the program.
  void Open(int depth) {
    ASSERT_TRUE(drawtest::StartWindowedDesktop(depth));
    started_ = true;
    ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);

    if (folder_.empty()) {
      std::random_device random;
      folderName_ = "dt" + std::to_string(100000 + random() % 900000);
      folder_ = fs::path(portable::ProgramFolder()) / folderName_;
      fs::create_directories(folder_);
    }
  }

  void Close() {
    if (!started_) return;
    elDraw::Release();
    elSystem::StopTimer();
    plat::Stop();
    started_ = false;
  }

  // Writes a picture into the test folder and returns the name a loader
  // takes for it.
  std::string Picture(const std::string& file, int width, int height,
                      const std::vector<uint32_t>& pixels) {
    WriteBmp(folder_ / file, width, height, pixels);
    return Name(file);
  }
  std::string Name(const std::string& file) { return folderName_ + "\\" + file; }

  static elDraw::SpriteSlot& Slot(int n) { return elDraw::SpriteTable[n]; }

  bool started_ = false;
  std::string folderName_;
  fs::path folder_;
};

// ---------------------------------------------------------------------------
// Loading

TEST_F(SpriteTest, LoadsAPictureIntoTheLowestFreeSlot) {
  std::string name = Picture("a.bmp", 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  int n = elDraw::LoadObject(name.c_str(), 2);
  ASSERT_EQ(n, 4);
  elDraw::SpriteSlot& slot = Slot(n);
  ASSERT_NE(slot.surface, nullptr);
  EXPECT_EQ(slot.name, name);
  EXPECT_EQ(slot.width, 2);
  EXPECT_EQ(slot.height, 2);
  EXPECT_EQ(slot.packFlag, 0);
  EXPECT_EQ(slot.memoryKind, 2);
  EXPECT_EQ(slot.keySetting, 0);
  EXPECT_EQ(PixelAt(*slot.surface, 0, 0), 0xF800u);
  EXPECT_EQ(PixelAt(*slot.surface, 1, 0), 0x07E0u);
  EXPECT_EQ(PixelAt(*slot.surface, 0, 1), 0x001Fu);
  EXPECT_EQ(PixelAt(*slot.surface, 1, 1), 0xFFFFu);
  EXPECT_EQ(elDraw::IsError(), 0);

  EXPECT_EQ(elDraw::LoadObject(name.c_str(), 0), 5);  // any memory kind is stored as 2
  EXPECT_EQ(Slot(5).memoryKind, 2);
  elDraw::ReleaseObject(4);
  EXPECT_EQ(Slot(4).surface, nullptr);
  EXPECT_EQ(Slot(4).name[0], '\0');
  EXPECT_EQ(Slot(4).width, 0);
  EXPECT_EQ(elDraw::LoadObject(name.c_str(), 2), 4);
}

TEST_F(SpriteTest, AFailedLoadStillTakesItsSlot) {
  std::string missing = Name("missing.bmp");
  EXPECT_EQ(elDraw::LoadObject(missing.c_str(), 2), 0);
  EXPECT_EQ(plat::headless::LastBoxCaption(), "エラー発生");
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::LoadObject : BMPファイルを読み込めません");
  EXPECT_EQ(elDraw::IsError(), 1);
  EXPECT_EQ(Slot(4).name, missing);
  EXPECT_EQ(Slot(4).surface, nullptr);

  // A truncated file is a failure like a missing one.
  std::string good = Picture("good.bmp", 8, 8, std::vector<uint32_t>(64, 0x123456));
  fs::resize_file(folder_ / "good.bmp", 70);
  EXPECT_EQ(elDraw::LoadObject(good.c_str(), 2), 0);
  EXPECT_EQ(Slot(5).name, good);
  EXPECT_EQ(Slot(5).surface, nullptr);

  std::string other = Picture("other.bmp", 1, 1, {0});
  EXPECT_EQ(elDraw::LoadObject(other.c_str(), 2), 6);
}

TEST_F(SpriteTest, NamesOfMoreThanThirtyBytesAreRefused) {
  const std::string prefix = folderName_ + "\\";
  std::string name30 = prefix + std::string(30 - prefix.size() - 4, 'a') + ".bmp";
  std::string name31 = prefix + std::string(31 - prefix.size() - 4, 'a') + ".bmp";
  ASSERT_EQ(name30.size(), 30u);
  WriteBmp(folder_ / name30.substr(prefix.size()), 1, 1, {0});
  WriteBmp(folder_ / name31.substr(prefix.size()), 1, 1, {0});

  uint32_t boxes = plat::headless::BoxCount();
  EXPECT_EQ(elDraw::LoadObject(name31.c_str(), 2), 0);
  EXPECT_EQ(plat::headless::BoxCount(), boxes + 1);
  EXPECT_EQ(plat::headless::LastBoxText(),
            "elDraw::LoadObject : ファイル名またはリソース名が長すぎます");
  EXPECT_EQ(Slot(4).name[0], '\0');  // no slot taken
  EXPECT_EQ(elDraw::LoadObject(name30.c_str(), 2), 4);
  EXPECT_NE(Slot(4).surface, nullptr);

  // Bytes are counted, not characters: fifteen double-byte characters pass
  // the length check (and then miss the file), sixteen do not.
  std::string fifteen, sixteen;
  for (int i = 0; i < 15; ++i) fifteen += "あ";
  sixteen = fifteen + "あ";
  ASSERT_EQ(fifteen.size(), 30u);
  elDraw::LoadObject(fifteen.c_str(), 2);
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::LoadObject : BMPファイルを読み込めません");
  EXPECT_EQ(elDraw::LoadObject(sixteen.c_str(), 2), 0);
  EXPECT_EQ(plat::headless::LastBoxText(),
            "elDraw::LoadObject : ファイル名またはリソース名が長すぎます");

  // The reload refuses the long name and leaves the slot as it was.
  EXPECT_EQ(elDraw::SwapObject(name31.c_str(), 4, 2), 0);
  EXPECT_EQ(plat::headless::LastBoxText(),
            "elDraw::SwapObject : ファイル名またはリソース名が長すぎます");
  EXPECT_EQ(Slot(4).name, name30);
  EXPECT_NE(Slot(4).surface, nullptr);
}

TEST_F(SpriteTest, TheTableHolds508Sprites) {
  std::string name = Picture("one.bmp", 1, 1, {0x808080});
  for (int i = 0; i < 508; ++i) ASSERT_EQ(elDraw::LoadObject(name.c_str(), 2), 4 + i);
  EXPECT_EQ(elDraw::IsError(), 0);
  EXPECT_EQ(elDraw::LoadObject(name.c_str(), 2), 0);
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::LoadObject : オブジェクト数が多過ぎます");
  EXPECT_EQ(elDraw::CreateObject(8, 8, 2), 0);
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::CreateObject : オブジェクト数が多過ぎます");

  elDraw::ReleaseObject(300);
  EXPECT_EQ(elDraw::CreateObject(8, 8, 2), 300);
}

TEST_F(SpriteTest, CreateObjectNamesItsSlotStar) {
  int n = elDraw::CreateObject(768, 576, 2);
  ASSERT_EQ(n, 4);
  EXPECT_STREQ(Slot(n).name, "*");
  EXPECT_EQ(Slot(n).width, 768);
  EXPECT_EQ(Slot(n).height, 576);
  ASSERT_NE(Slot(n).surface, nullptr);
  EXPECT_EQ(Slot(n).surface->width, 768);
  EXPECT_TRUE(Slot(n).surface->hasKey);

  EXPECT_EQ(elDraw::CreateObject(0, 0, 2), 0);
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::CreateObject : スプライトを作成できません");
  EXPECT_STREQ(Slot(5).name, "*");
  EXPECT_EQ(Slot(5).surface, nullptr);
}

TEST_F(SpriteTest, SwapObjectReloadsInPlaceWithTheNewSize) {
  std::string wide = Picture("wide.bmp", 4, 2, std::vector<uint32_t>(8, 0xFFFFFF));
  std::string tall = Picture("tall.bmp", 3, 5, std::vector<uint32_t>(15, 0xFF0000));
  int n = elDraw::LoadObject(wide.c_str(), 2);
  ASSERT_EQ(n, 4);
  ASSERT_EQ(elDraw::SwapObject(tall.c_str(), n, 2), 1);
  EXPECT_EQ(Slot(n).name, tall);
  EXPECT_EQ(Slot(n).width, 3);
  EXPECT_EQ(Slot(n).height, 5);
  ASSERT_NE(Slot(n).surface, nullptr);
  EXPECT_EQ(Slot(n).surface->width, 3);
  EXPECT_EQ(Slot(n).surface->height, 5);
  EXPECT_EQ(PixelAt(*Slot(n).surface, 2, 4), 0xF800u);

  // A reload under the slot's own name, as the recovery after a loss does.
  elDraw::SetColorKey(0x0000FF);  // red, as 0x00BBGGRR
  ASSERT_EQ(elDraw::SwapObject(Slot(n).name, n, 2), 1);
  EXPECT_EQ(Slot(n).name, tall);
  EXPECT_EQ(Slot(n).keySetting, 0x0000FF);
  EXPECT_EQ(Slot(n).surface->keyLow, 0xF800u);

  // A missing picture leaves the new name and no surface.
  std::string missing = Name("gone.bmp");
  EXPECT_EQ(elDraw::SwapObject(missing.c_str(), n, 2), 0);
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::SwapObject : BMPファイルを読み込めません");
  EXPECT_EQ(Slot(n).name, missing);
  EXPECT_EQ(Slot(n).surface, nullptr);
  // And the slot can be loaded again.
  EXPECT_EQ(elDraw::SwapObject(wide.c_str(), n, 2), 1);
  EXPECT_EQ(Slot(n).width, 4);
}

TEST_F(SpriteTest, InvalidSlotNumbersDoNothing) {
  std::string name = Picture("p.bmp", 2, 2, {0, 0, 0, 0});
  int n = elDraw::LoadObject(name.c_str(), 2);
  ASSERT_EQ(n, 4);
  std::string missing = Name("none.bmp");
  ASSERT_EQ(elDraw::LoadObject(missing.c_str(), 2), 0);  // slot 5: named, no surface
  const uint32_t boxes = plat::headless::BoxCount();
  const uint32_t key = Slot(n).surface->keyLow;

  for (int bad : {-1, 512, 100000, -100000}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(elDraw::SwapObject(name.c_str(), bad, 2), 0);
    elDraw::ReleaseObject(bad);
    EXPECT_NE(elDraw::SetObjectColorKey(bad, 0xFFFFFF), 0);
    EXPECT_NE(elDraw::SetObjectTopLeftColorKey(bad), 0);
    EXPECT_NE(elDraw::CopyColorKey(bad, n), 0);
    EXPECT_NE(elDraw::CopyColorKey(n, bad), 0);
  }
  // Slots without a surface, free or after a failed load.
  for (int empty : {5, 6, 511}) {
    SCOPED_TRACE(empty);
    elDraw::ReleaseObject(empty);
    EXPECT_NE(elDraw::SetObjectColorKey(empty, 0xFFFFFF), 0);
    EXPECT_NE(elDraw::SetObjectTopLeftColorKey(empty), 0);
    EXPECT_NE(elDraw::CopyColorKey(n, empty), 0);
    EXPECT_NE(elDraw::CopyColorKey(empty, n), 0);
  }
  EXPECT_EQ(plat::headless::BoxCount(), boxes);
  EXPECT_EQ(Slot(5).name, missing);
  EXPECT_EQ(Slot(n).surface->keyLow, key);
  EXPECT_EQ(Slot(n).keySetting, 0);
}

// ---------------------------------------------------------------------------
// Colour keys on each desktop format

struct FormatCase {
  int depth;
  uint32_t magenta;  // the surface value of pure magenta
};

class ColourKeyTest : public SpriteTest, public ::testing::WithParamInterface<FormatCase> {
 protected:
  void SetUp() override { Open(GetParam().depth); }
};

TEST_P(ColourKeyTest, BlackBecomesZero) {
  int created = elDraw::CreateObject(3, 1, 2);  // a one-pixel-high row: a short first word
  ASSERT_NE(created, 0);
  EXPECT_TRUE(Slot(created).surface->hasKey);
  EXPECT_EQ(Slot(created).surface->keyLow, 0u);
  EXPECT_EQ(Slot(created).surface->keyHigh, 0u);

  std::string name = Picture("white.bmp", 1, 1, {0xFFFFFF});
  int n = elDraw::LoadObject(name.c_str(), 2);
  ASSERT_NE(n, 0);
  EXPECT_EQ(Slot(n).surface->keyLow, 0u);
  EXPECT_EQ(Slot(n).keySetting, 0);
  // The pixel borrowed for the conversion is given back.
  EXPECT_EQ(PixelAt(*Slot(n).surface, 0, 0), elDraw::screen.format.fullMask);
}

TEST_P(ColourKeyTest, AColourBecomesTheValueItsPicturePixelsHold) {
  // 0x99, 0x66, 0x33 fit none of the channel widths exactly.
  const uint32_t rgb = 0x996633;
  const uint32_t colourRef = 0x336699;  // the same colour as 0x00BBGGRR
  std::string name = Picture("mix.bmp", 2, 1, {0x102030, rgb});
  elDraw::SetColorKey(colourRef);
  int n = elDraw::LoadObject(name.c_str(), 2);
  ASSERT_NE(n, 0);
  plat::Surface& surface = *Slot(n).surface;
  const uint32_t keyed = PixelAt(surface, 1, 0);
  EXPECT_EQ(Slot(n).keySetting, static_cast<int32_t>(colourRef));
  EXPECT_EQ(surface.keyLow, keyed);
  EXPECT_EQ(surface.keyHigh, keyed);
  EXPECT_EQ(surface.keyLow, plat::ColourToPixel(surface.format, colourRef));
  // The top-left pixel lent to the conversion holds its own colour again.
  EXPECT_NE(PixelAt(surface, 0, 0), keyed);
  EXPECT_EQ(PixelAt(surface, 0, 0), plat::ColourToPixel(surface.format, 0x302010));

  // The same key applied to a loaded sprite afterwards.
  elDraw::SetColorKey(0);
  int m = elDraw::LoadObject(name.c_str(), 2);
  ASSERT_NE(m, 0);
  EXPECT_EQ(Slot(m).surface->keyLow, 0u);
  EXPECT_EQ(elDraw::SetObjectColorKey(m, colourRef), 0);
  EXPECT_EQ(Slot(m).keySetting, static_cast<int32_t>(colourRef));
  EXPECT_EQ(Slot(m).surface->keyLow, keyed);
}

TEST_P(ColourKeyTest, TopLeftKeyMakesEveryMagentaPixelTransparent) {
  std::string name = Picture("magenta.bmp", 3, 2,
                             {kMagenta, 0xFFFFFF, kMagenta, 0x000000, kMagenta, 0x00FF00});
  elDraw::UseTopLeftColorKey();
  int n = elDraw::LoadObject(name.c_str(), 2);
  ASSERT_NE(n, 0);
  plat::Surface& surface = *Slot(n).surface;
  EXPECT_EQ(Slot(n).keySetting, -1);
  EXPECT_EQ(surface.keyLow, GetParam().magenta);
  EXPECT_EQ(surface.keyHigh, GetParam().magenta);
  EXPECT_EQ(PixelAt(surface, 2, 0), GetParam().magenta);
  EXPECT_EQ(PixelAt(surface, 1, 1), GetParam().magenta);

  // An empty sprite keyed by its top-left pixel takes its (zero) content.
  int created = elDraw::CreateObject(4, 4, 2);
  EXPECT_EQ(Slot(created).keySetting, -1);
  EXPECT_EQ(Slot(created).surface->keyLow, 0u);

  // Setting a colour ends the top-left rule.
  elDraw::SetColorKey(0xFFFFFF);
  EXPECT_EQ(elDraw::colorKeySetting.fromTopLeft, 0);
  int white = elDraw::LoadObject(name.c_str(), 2);
  EXPECT_EQ(Slot(white).surface->keyLow, elDraw::screen.format.fullMask);

  // Per-object operations: the top-left rule, then a copy of another key.
  EXPECT_EQ(elDraw::SetObjectTopLeftColorKey(white), 0);
  EXPECT_EQ(Slot(white).keySetting, -1);
  EXPECT_EQ(Slot(white).surface->keyLow, GetParam().magenta);
  EXPECT_EQ(elDraw::CopyColorKey(white, created), 0);
  EXPECT_EQ(Slot(white).surface->keyLow, 0u);
  EXPECT_EQ(Slot(white).surface->keyHigh, 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, ColourKeyTest,
                         ::testing::Values(FormatCase{16, 0xF81F}, FormatCase{15, 0x7C1F},
                                           FormatCase{32, 0xFF00FF}),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                           return "Depth" + std::to_string(info.param.depth);
                         });

}  // namespace
