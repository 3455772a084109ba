// The fixture of the effect tests: a headless screen of 565 or 555 pixels,
// a random background and random sprites, both also kept as plain pictures
// so that a test can compute what an effect should leave from its formula.
#pragma once
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "draw_fixture.h"

namespace efftest {

// A picture of 16-bit pixels, rows `w` apart.
struct Pic {
  int w = 0, h = 0;
  std::vector<uint16_t> p;
  uint16_t& At(int x, int y) { return p[static_cast<size_t>(y) * w + x]; }
  uint16_t At(int x, int y) const { return p[static_cast<size_t>(y) * w + x]; }
};

// The 5-bit channels of a pixel and a pixel from 5-bit channels.
inline void Split5(uint16_t p, int (&c)[3]) {
  const elDraw::Rgb5& e = elDraw::PixelToRgb5Table[p];
  c[0] = e.red;
  c[1] = e.green;
  c[2] = e.blue;
}
inline uint16_t Join5(const int (&c)[3]) {
  const elDraw::PixelFormatInfo& f = elDraw::screen.format;
  return static_cast<uint16_t>(c[0] << f.place5[0] | c[1] << f.place5[1] | c[2] << f.place5[2]);
}
inline int NativeOf(uint16_t p, int ch) {
  const elDraw::PixelFormatInfo& f = elDraw::screen.format;
  return static_cast<int>((p >> f.shift[ch]) & f.maxValue[ch]);
}
inline uint16_t JoinNative(const int (&c)[3]) {
  const elDraw::PixelFormatInfo& f = elDraw::screen.format;
  return static_cast<uint16_t>(c[0] << f.shift[0] | c[1] << f.shift[1] | c[2] << f.shift[2]);
}

class EffectsTest : public drawtest::DrawFixture, public ::testing::WithParamInterface<int> {
 protected:
  int Depth() const override { return GetParam(); }

  void SetUp() override {
    DrawFixture::SetUp();
    if (HasFatalFailure()) return;
    elDraw::effectState = elDraw::EffectState{};
    screenPic = RandomPic(elDraw::screen.width, elDraw::screen.height, 0);
    Upload(Back(), screenPic);
  }

  // Random 16-bit values, every bit pattern included; about one in
  // `zeroEvery` pixels is 0 (transparent in a sprite) when it is not 0.
  Pic RandomPic(int w, int h, int zeroEvery) {
    Pic pic{w, h, std::vector<uint16_t>(static_cast<size_t>(w) * h)};
    for (uint16_t& v : pic.p) {
      v = static_cast<uint16_t>(rng());
      if (zeroEvery > 0 && rng() % zeroEvery == 0) v = 0;
    }
    return pic;
  }

  static void Upload(plat::Surface& s, const Pic& pic) {
    plat::LockInfo lock;
    ASSERT_EQ(plat::Lock(s, lock), plat::Result::Ok);
    for (int y = 0; y < pic.h; ++y)
      std::memcpy(lock.pixels + y * lock.pitch, &pic.p[y * pic.w], pic.w * 2);
    plat::Unlock(s);
  }
  static Pic Download(plat::Surface& s) {
    Pic pic{s.width, s.height, std::vector<uint16_t>(static_cast<size_t>(s.width) * s.height)};
    plat::LockInfo lock;
    EXPECT_EQ(plat::Lock(s, lock), plat::Result::Ok);
    for (int y = 0; y < pic.h; ++y)
      std::memcpy(&pic.p[y * pic.w], lock.pixels + y * lock.pitch, pic.w * 2);
    plat::Unlock(s);
    return pic;
  }

  // A sprite slot holding `pic`.
  int MakeSpriteOf(const Pic& pic) {
    int slot = elDraw::CreateObject(pic.w, pic.h, 2);
    EXPECT_GE(slot, elDraw::kFirstLoadableSprite);
    Upload(SpriteSurface(slot), pic);
    return slot;
  }

  // The number of back-screen pixels that differ from `want`, with the
  // first difference described.
  ::testing::AssertionResult ScreenIs(const Pic& want) {
    Pic got = Download(Back());
    int wrong = 0;
    std::string first;
    for (int y = 0; y < want.h; ++y) {
      for (int x = 0; x < want.w; ++x) {
        if (got.At(x, y) == want.At(x, y)) continue;
        if (wrong++ == 0) {
          char text[96];
          std::snprintf(text, sizeof text, "first at (%d, %d): 0x%04X, want 0x%04X", x, y,
                        got.At(x, y), want.At(x, y));
          first = text;
        }
      }
    }
    if (wrong == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels differ, " << first;
  }

  std::mt19937 rng{1234};
  Pic screenPic;
};

}  // namespace efftest
