// The software effects on a 640 x 480 RGB565 screen.
//
// Blends over a 256 x 256 sprite: ours against the straightforward
// per-pixel table loop of the old library (Table/X, checked once to give
// the same pixels as Ours/X), and against pixman doing comparable work
// (Pixman/X: OVER through a constant alpha mask, ADD, and an affine
// transform with the nearest filter). Screen filters over the whole screen:
// goal within 1 ms each.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "headless_screen.h"

namespace {

constexpr int kW = 640, kH = 480, kSide = 256, kX = 200, kY = 100;

// A headless 640 x 480 screen with a random background and a random
// 256 x 256 sprite (one pixel in eight transparent).
class Scene {
 public:
  Scene() {
    if (!screen_.ok()) return;
    std::mt19937 rng(7);
    background.resize(kW * kH);
    sprite.resize(kSide * kSide);
    for (uint16_t& v : background) v = static_cast<uint16_t>(rng());
    for (uint16_t& v : sprite) v = rng() % 8 == 0 ? 0 : static_cast<uint16_t>(rng());
    slot = elDraw::CreateObject(kSide, kSide, 2);
    Put(*elDraw::SpriteTable[slot].surface, sprite, kSide);
    Put(*elDraw::screen.backScreen, background, kW);
  }
  bool ok() const { return screen_.ok(); }

  static void Put(plat::Surface& s, const std::vector<uint16_t>& from, int w) {
    plat::LockInfo lock;
    plat::Lock(s, lock);
    for (int y = 0; y < s.height; ++y)
      std::memcpy(lock.pixels + y * lock.pitch, &from[y * w], w * 2);
    plat::Unlock(s);
  }
  static std::vector<uint16_t> Screen() {
    plat::Surface& s = *elDraw::screen.backScreen;
    std::vector<uint16_t> out(kW * kH);
    plat::LockInfo lock;
    plat::Lock(s, lock);
    for (int y = 0; y < kH; ++y) std::memcpy(&out[y * kW], lock.pixels + y * lock.pitch, kW * 2);
    plat::Unlock(s);
    return out;
  }
  void Reset() { Put(*elDraw::screen.backScreen, background, kW); }

  std::vector<uint16_t> background, sprite;
  int slot = 0;

 private:
  HeadlessScreen screen_{kW, kH};
};

// The old library's loop: lock, walk the rows by their pitches, one table
// read per channel and pixel, unlock.
template <class Pixel>
void TableLoop(const Scene& scene, Pixel pixel) {
  plat::Surface& src = *elDraw::SpriteTable[scene.slot].surface;
  plat::Surface& dst = *elDraw::screen.backScreen;
  plat::LockInfo a, b;
  plat::Lock(src, a);
  plat::Lock(dst, b);
  const auto* s = reinterpret_cast<const uint16_t*>(a.pixels);
  auto* d = reinterpret_cast<uint16_t*>(b.pixels) + kY * (b.pitch / 2) + kX;
  for (int row = 0; row < kSide; ++row, s += a.pitch / 2, d += b.pitch / 2) {
    for (int column = 0; column < kSide; ++column) {
      if (s[column] != 0) d[column] = pixel(s[column], d[column]);
    }
  }
  plat::Unlock(src);
  plat::Unlock(dst);
}

using elDraw::CrossFadeTable;
using elDraw::FadeAddTable;
using elDraw::PixelToRgb5Table;
using elDraw::SubtractTable;

uint16_t HalfPixel(uint16_t s, uint16_t d) {
  const uint32_t m = elDraw::screen.format.halfMask;
  return static_cast<uint16_t>(((s >> 1) & m) + ((d >> 1) & m));
}
uint16_t AddPixel(uint16_t s, uint16_t d) {
  const auto &a = PixelToRgb5Table[s], &b = PixelToRgb5Table[d];
  return FadeAddTable[0][0][a.red][b.red] | FadeAddTable[1][0][a.green][b.green] |
         FadeAddTable[2][0][a.blue][b.blue];
}
uint16_t SubtractPixel(uint16_t s, uint16_t d) {
  const auto &a = PixelToRgb5Table[s], &b = PixelToRgb5Table[d];
  return SubtractTable[0][b.red][a.red] | SubtractTable[1][b.green][a.green] |
         SubtractTable[2][b.blue][a.blue];
}
uint16_t CrossFadePixel(uint16_t s, uint16_t d) {  // level 12
  const auto &a = PixelToRgb5Table[s], &b = PixelToRgb5Table[d];
  return CrossFadeTable[0][19][a.red][b.red] | CrossFadeTable[1][19][a.green][b.green] |
         CrossFadeTable[2][19][a.blue][b.blue];
}
uint16_t DarkenPixel(uint16_t s, uint16_t) {  // level 20
  const auto& a = PixelToRgb5Table[s];
  return SubtractTable[0][a.red][11] | SubtractTable[1][a.green][11] | SubtractTable[2][a.blue][11];
}
uint16_t GreyPixel(uint16_t s, uint16_t) {
  const auto& a = PixelToRgb5Table[s];
  const int v = elDraw::GreyTable[a.red + a.green + a.blue];
  const auto& f = elDraw::screen.format;
  return static_cast<uint16_t>(v << f.place5[0] | v << f.place5[1] | v << f.place5[2]);
}

void Ours(benchmark::State& state, int (*draw)(int slot), uint16_t (*pixel)(uint16_t, uint16_t)) {
  Scene scene;
  if (!scene.ok()) return state.SkipWithError("no headless screen");
  if (pixel != nullptr) {
    draw(scene.slot);
    const std::vector<uint16_t> ours = Scene::Screen();
    scene.Reset();
    TableLoop(scene, pixel);
    if (ours != Scene::Screen()) return state.SkipWithError("differs from the table loop");
  }
  for (auto _ : state) benchmark::DoNotOptimize(draw(scene.slot));
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void Table(benchmark::State& state, uint16_t (*pixel)(uint16_t, uint16_t)) {
  Scene scene;
  if (!scene.ok()) return state.SkipWithError("no headless screen");
  for (auto _ : state) TableLoop(scene, pixel);
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

#define PAIR(Name, call, pixel)                                       \
  void Ours_##Name(benchmark::State& state) {                         \
    Ours(                                                             \
        state, [](int s) { return call; }, pixel);                    \
  }                                                                   \
  BENCHMARK(Ours_##Name);                                             \
  void Table_##Name(benchmark::State& state) { Table(state, pixel); } \
  BENCHMARK(Table_##Name);

PAIR(Half, elDraw::DrawHalf(kX, kY, s, 0, 0, kSide, kSide), HalfPixel)
PAIR(Add, elDraw::DrawAdd(kX, kY, s, 0, 0, kSide, kSide), AddPixel)
PAIR(Subtract, elDraw::DrawSubtract(kX, kY, s, 0, 0, kSide, kSide), SubtractPixel)
PAIR(CrossFade, elDraw::DrawCrossFade(kX, kY, 12, s, 0, 0, kSide, kSide), CrossFadePixel)
PAIR(Darken, elDraw::DrawDarken(kX, kY, 20, s, 0, 0, kSide, kSide), DarkenPixel)
PAIR(Grey, elDraw::DrawGrey(kX, kY, s, 0, 0, kSide, kSide), GreyPixel)

// --- Against pixman ------------------------------------------------------------

struct PixmanScene {
  std::vector<uint16_t> src, dst;
  pixman_image_t *source = nullptr, *dest = nullptr;
  explicit PixmanScene(const Scene& scene) : src(scene.sprite), dst(scene.background) {
    source = pixman_image_create_bits(PIXMAN_r5g6b5, kSide, kSide,
                                      reinterpret_cast<uint32_t*>(src.data()), kSide * 2);
    dest = pixman_image_create_bits(PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(dst.data()),
                                    kW * 2);
  }
  ~PixmanScene() {
    pixman_image_unref(source);
    pixman_image_unref(dest);
  }
};

void Ours_Alpha(benchmark::State& state) {
  Ours(
      state, [](int s) { return elDraw::DrawAlpha(kX, kY, 0.375f, s, 0, 0, kSide, kSide); },
      nullptr);
}
BENCHMARK(Ours_Alpha);

void Pixman_AlphaOver(benchmark::State& state) {
  Scene scene;
  if (!scene.ok()) return state.SkipWithError("no headless screen");
  PixmanScene p(scene);
  const pixman_color_t alpha{0, 0, 0, 0x6000};
  pixman_image_t* mask = pixman_image_create_solid_fill(&alpha);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, p.source, mask, p.dest, 0, 0, 0, 0, kX, kY, kSide,
                             kSide);
  }
  pixman_image_unref(mask);
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(Pixman_AlphaOver);

void Pixman_Add(benchmark::State& state) {
  Scene scene;
  if (!scene.ok()) return state.SkipWithError("no headless screen");
  PixmanScene p(scene);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_ADD, p.source, nullptr, p.dest, 0, 0, 0, 0, kX, kY, kSide,
                             kSide);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(Pixman_Add);

// The sprite turned by 30 degrees and zoomed 1.25 times into a 320 x 320
// rectangle.
constexpr int kTurnSide = 320, kAngle = 30;
constexpr float kZoom = 1.25f;

void Ours_RotateZoom(benchmark::State& state) {
  Ours(
      state,
      [](int s) {
        return elDraw::DrawRotateZoom(150, 80, 150 + kTurnSide, 80 + kTurnSide, kAngle, kZoom, s, 0,
                                      0, kSide, kSide);
      },
      nullptr);
  state.SetItemsProcessed(state.iterations() * kTurnSide * kTurnSide);
}
BENCHMARK(Ours_RotateZoom);

void Pixman_RotateZoomNearest(benchmark::State& state) {
  Scene scene;
  if (!scene.ok()) return state.SkipWithError("no headless screen");
  PixmanScene p(scene);
  // Destination to source: about the centres, turned back and shrunk.
  pixman_f_transform f;
  pixman_f_transform_init_translate(&f, -kTurnSide / 2.0, -kTurnSide / 2.0);
  pixman_f_transform_rotate(&f, nullptr, std::cos(-kAngle * M_PI / 180),
                            std::sin(-kAngle * M_PI / 180));
  pixman_f_transform_scale(&f, nullptr, 1 / kZoom, 1 / kZoom);
  pixman_f_transform_translate(&f, nullptr, kSide / 2.0, kSide / 2.0);
  pixman_transform t;
  pixman_transform_from_pixman_f_transform(&t, &f);
  pixman_image_set_transform(p.source, &t);
  pixman_image_set_filter(p.source, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, p.source, nullptr, p.dest, 0, 0, 0, 0, 150, 80,
                             kTurnSide, kTurnSide);
  }
  state.SetItemsProcessed(state.iterations() * kTurnSide * kTurnSide);
}
BENCHMARK(Pixman_RotateZoomNearest);

// --- Screen filters over 640 x 480 ---------------------------------------------

void Filter(benchmark::State& state, int (*filter)()) {
  Scene scene;
  if (!scene.ok()) return state.SkipWithError("no headless screen");
  for (auto _ : state) benchmark::DoNotOptimize(filter());
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

#define FILTER(Name, call)                    \
  void Ours_##Name(benchmark::State& state) { \
    Filter(state, [] { return call; });       \
  }                                           \
  BENCHMARK(Ours_##Name)->Unit(benchmark::kMicrosecond);

FILTER(ScreenFlame, elDraw::ScreenFlame(0, 0, kW, kH))
FILTER(ScreenSoften, elDraw::ScreenSoften(0, 0, kW, kH))
FILTER(ScreenNoise, elDraw::ScreenNoise(0, 0, 0, kW, kH))
FILTER(ScreenMosaicCircle, elDraw::ScreenMosaicCircle(kW / 2, kH / 2, kH / 2, 8))
FILTER(ScreenZoom2, elDraw::ScreenZoom2(0, 0, kW / 2, kH / 2, 0))

}  // namespace
