// The game's start-up and its steady frame, headless, on the stage and the
// pictures generated into the program folder:
//   World/StartUp      LoadGame (screen, 23 pictures, nine screens created)
//                      and the first game frame (stage files read, nine
//                      screens pre-rendered, first present);
//   World/SteadyFrame  one game frame of the start screen at rest, present
//                      included, frame wait excluded;
//   World/SdlFrame     the same frame's draws done by SDL's software blitter
//                      on copies of the same pictures (map, shadows, party,
//                      frame picture, conversion for the window), without
//                      the text lines.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "actors/party.h"
#include "draw/eldraw.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "shell/elsystem.h"
#include "world/game.h"
#include "world/pictures.h"
#include "world/world.h"

namespace {

const bool installed = (InstallGame(), true);

// The stage files are opened from the current folder: the program folder,
// where the build generates them.
void EnterProgramFolder() {
  static bool done = false;
  if (done) return;
  done = true;
  std::filesystem::current_path(std::filesystem::read_symlink("/proc/self/exe").parent_path());
}

void StartHeadless() {
  EnterProgramFolder();
  plat::Options options;
  options.backend = "headless";
  options.depth = 16;
  std::string error;
  plat::Start(options, error);
  elSystem::StartTimer();
  elDraw::screen = elDraw::ScreenState{};
  InitSystem();
  ResetWorld();
  ResetPlayer();
  ResetCompanions();
  elDraw::SetColorKey(0);
}

void StopHeadless() {
  elDraw::Release();
  elDraw::SetColorKey(0);
  elSystem::StopTimer();
  plat::Stop();
}

void StartUp(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    StartHeadless();
    state.ResumeTiming();
    LoadGame();
    GameFrame();
    state.PauseTiming();
    StopHeadless();
    state.ResumeTiming();
  }
}
BENCHMARK(StartUp)->Name("World/StartUp")->Unit(benchmark::kMillisecond)->Iterations(10);

void SteadyFrame(benchmark::State& state) {
  StartHeadless();
  LoadGame();
  for (int i = 0; i < 10; ++i) GameFrame();
  for (auto _ : state) GameFrame();
  StopHeadless();
}
BENCHMARK(SteadyFrame)->Name("World/SteadyFrame")->Unit(benchmark::kMicrosecond);

// An SDL copy of a sprite's picture with the same colour key.
SDL_Surface* SdlCopy(int sprite) {
  plat::Surface* s = elDraw::SpriteTable[sprite].surface;
  if (s == nullptr) return nullptr;
  SDL_Surface* copy = SDL_CreateRGBSurfaceWithFormat(0, s->width, s->height, 16, SDL_PIXELFORMAT_RGB565);
  plat::LockInfo lock;
  plat::Lock(*s, lock);
  SDL_LockSurface(copy);
  for (int y = 0; y < s->height; ++y)
    std::memcpy(static_cast<uint8_t*>(copy->pixels) + y * copy->pitch, lock.pixels + y * lock.pitch,
                static_cast<size_t>(s->width) * 2);
  SDL_UnlockSurface(copy);
  plat::Unlock(*s);
  if (s->hasKey) SDL_SetColorKey(copy, SDL_TRUE, s->keyLow);
  return copy;
}

void Blit(SDL_Surface* source, int sx, int sy, int w, int h, SDL_Surface* dest, int x, int y) {
  if (source == nullptr) return;
  SDL_Rect from{sx, sy, w, h}, to{x, y, w, h};
  SDL_BlitSurface(source, &from, dest, &to);
}

void SdlFrame(benchmark::State& state) {
  StartHeadless();
  LoadGame();
  for (int i = 0; i < 10; ++i) GameFrame();
  SDL_Surface* screens[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) screens[i][j] = SdlCopy(pictures.screenPictures[i][j]);
  SDL_Surface* shadow = SdlCopy(pictures.shadow);
  SDL_Surface* princess = SdlCopy(pictures.princess);
  SDL_Surface* companion[3] = {SdlCopy(pictures.companion[0]), SdlCopy(pictures.companion[1]),
                               SdlCopy(pictures.companion[2])};
  SDL_Surface* frame = SdlCopy(pictures.frame);
  SDL_Surface* back = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 16, SDL_PIXELFORMAT_RGB565);
  SDL_Surface* window = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_XRGB8888);
  SDL_SetClipRect(back, nullptr);
  for (auto _ : state) {
    SDL_FillRect(back, nullptr, 0);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        Blit(screens[i][j], 0, 0, 768, 576, back, static_cast<int>(-scrollX) + 768 * i + 16,
             static_cast<int>(-scrollY) + 576 * j + 12);
    Blit(shadow, 0, 0, 48, 16, back, static_cast<int>(player.x + 24), static_cast<int>(player.y + 60));
    for (int n = 0; n < 3; ++n)
      Blit(shadow, 0, 0, 48, 16, back, static_cast<int>(companions[n].x + 4),
           static_cast<int>(companions[n].y + 40));
    for (int n = 0; n < 3; ++n)
      Blit(companion[n], 0, 0, 56, 56, back, static_cast<int>(companions[n].x),
           static_cast<int>(companions[n].y));
    Blit(princess, 0, 0, 96, 96, back, static_cast<int>(player.x), static_cast<int>(player.y));
    Blit(frame, 0, 0, 800, 600, back, 0, 0);
    SDL_BlitSurface(back, nullptr, window, nullptr);
    benchmark::DoNotOptimize(window->pixels);
  }
  for (auto& row : screens)
    for (SDL_Surface* s : row) SDL_FreeSurface(s);
  for (SDL_Surface* s : {shadow, princess, companion[0], companion[1], companion[2], frame, back, window})
    SDL_FreeSurface(s);
  StopHeadless();
}
BENCHMARK(SdlFrame)->Name("World/SdlFrame")->Unit(benchmark::kMicrosecond);

}  // namespace
