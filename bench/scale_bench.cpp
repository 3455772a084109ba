// The window's scaling of the converted 800 x 600 picture to a 1920 x 1080
// desktop's 1440 x 1080, against SDL's own bilinear stretch of 32-bit
// surfaces (SDL_SoftStretchLinear) doing the same size of work in the same
// run, and against our plain reference. Ours/WholeFrame scales every pixel
// (a frame where everything changed); Ours/GameFrame only the rows a game
// frame changes, about a tenth of the picture.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/image/picture_scale.h"

namespace {

constexpr int kW = 800, kH = 600, kOutW = 1440, kOutH = 1080;

std::vector<uint32_t> Picture() {
  std::vector<uint32_t> p(static_cast<size_t>(kW) * kH);
  uint32_t seed = 7;
  for (uint32_t& v : p) {
    seed = seed * 1103515245u + 12345u;
    v = seed >> 8;
  }
  return p;
}

void Ours(benchmark::State& state, int changedRows) {
  std::vector<uint32_t> picture = Picture();
  std::vector<uint32_t> out(static_cast<size_t>(kOutW) * kOutH);
  plat::PictureScaler scaler;
  scaler.Reserve(kW, kH, kOutW, kOutH);
  scaler.Plan(kW, kH, kOutW, kOutH);
  plat::Rect rects[16];
  scaler.Scale(picture.data(), kW * 4, out.data(), kOutW * 4, rects, 16);
  for (auto _ : state) {
    if (changedRows >= kH) {
      scaler.MarkAll();
    } else {
      // Bands of rows spread over the picture, as actors are.
      for (int y = 0; y < changedRows; ++y) scaler.MarkRow((y * 7919) % kH, 100, 700);
    }
    benchmark::DoNotOptimize(scaler.Scale(picture.data(), kW * 4, out.data(), kOutW * 4, rects, 16));
    benchmark::ClobberMemory();
  }
}
void Ours_WholeFrame(benchmark::State& state) { Ours(state, kH); }
void Ours_GameFrame(benchmark::State& state) { Ours(state, kH / 10); }

void Reference_WholeFrame(benchmark::State& state) {
  std::vector<uint32_t> picture = Picture();
  std::vector<uint32_t> out(static_cast<size_t>(kOutW) * kOutH);
  for (auto _ : state) {
    plat::ScalePictureReference(picture.data(), kW, kH, kW * 4, out.data(), kOutW, kOutH, kOutW * 4);
    benchmark::ClobberMemory();
  }
}

void Sdl_WholeFrame(benchmark::State& state) {
  std::vector<uint32_t> picture = Picture();
  SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(picture.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_RGB888);
  SDL_Surface* to = SDL_CreateRGBSurfaceWithFormat(0, kOutW, kOutH, 32, SDL_PIXELFORMAT_RGB888);
  for (auto _ : state) {
    benchmark::DoNotOptimize(SDL_SoftStretchLinear(from, nullptr, to, nullptr));
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(to);
  SDL_FreeSurface(from);
}

BENCHMARK(Ours_WholeFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(Ours_GameFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(Reference_WholeFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(Sdl_WholeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
