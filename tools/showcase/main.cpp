// The showcase of the game library:
//   zolbeck_showcase [--scene N] [OPTIONS]
// Left and Right (or 1 to 9, 0 for 10, F1 to F12) change the scene; Up and
// Down set the level every scene reads, Space lets it sweep again. --scene N
// starts on scene N; every other option is the library's own (--headless,
// --frames N, --screenshot FILE, ...).
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <zolbeck/eldraw.h>
#include <zolbeck/input.h>
#include <zolbeck/keys.h>
#include <zolbeck/elsystem.h>
#include <zolbeck/program.h>
#include "showcase.h"

namespace showcase {

Pictures pictures;
float level = 0.0f;
int sceneFrame = 0;

namespace {

const Scene* const kScenes[] = {
    &kBlendScene, &kColourScene, &kGeometryScene, &kMovingScene,    &kFilterScene, &kWipeScene,
    &kPrimitiveScene, &kPackScene, &kTextScene, &kSoundScene, &kStreamScene, &kMidiScene,
};
constexpr int kSceneCount = sizeof kScenes / sizeof kScenes[0];
constexpr int kTitleHeight = 44;

int current = -1;  // the scene shown, 0-based
int wanted = 0;    // the scene to show from the next frame
bool sweeping = true;
float sweepTime = 0.0f;

// The effects take black as transparent, the game's sheets their top-left
// colour: a part of a sheet drawn onto a new black sprite serves both.
int OnBlack(int sheet, int left, int top, int width, int height) {
  int copy = elDraw::CreateObject(width, height, 0);
  elDraw::ClearObject(copy);
  elDraw::DrawToObject(copy, 0, 0, sheet, left, top, left + width, top + height);
  return copy;
}

void Load() {
  elDraw::UseTopLeftColorKey();
  pictures.tiles = elDraw::LoadObject("BMP\\m_cp.bmp", 0);
  int sheet = elDraw::LoadObject("BMP\\princess.bmp", 0);
  pictures.princess = OnBlack(sheet, 0, 0, 384, 96);
  sheet = elDraw::LoadObject("BMP\\boss01\\dragon_head.bmp", 0);
  pictures.dragon = OnBlack(sheet, 0, 0, 180, 250);
  pictures.soldier = elDraw::LoadObject("BMP\\enemy00_00.bmp", 0);
  pictures.item = elDraw::LoadObject("BMP\\item.bmp", 0);
}

// Key edge states, kept between frames as KeyEdge wants.
int keyStates[256];
bool Pressed(int key) {
  elSystem::KeyEdge(key, keyStates[key]);
  return keyStates[key] == 1;
}
bool Held(int key) {
  elSystem::KeyEdge(key, keyStates[key]);
  return keyStates[key] & 1;
}

void ReadKeys() {
  if (Pressed(VK_RIGHT)) wanted = (wanted + 1) % kSceneCount;
  if (Pressed(VK_LEFT)) wanted = (wanted + kSceneCount - 1) % kSceneCount;
  for (int n = 0; n < 10; ++n) {
    if (Pressed('0' + n)) wanted = n == 0 ? 9 : n - 1;
  }
  for (int n = 0; n < 12; ++n) {
    if (Pressed(VK_F1 + n)) wanted = n;
  }
  // Each key is read once a frame: reading moves its edge state on.
  bool up = Held(VK_UP), down = Held(VK_DOWN);
  if (up || down) {
    sweeping = false;
    level += up ? 0.01f : -0.01f;
    level = level < 0.0f ? 0.0f : level > 1.0f ? 1.0f : level;
  }
  if (Pressed(VK_SPACE)) sweeping = true;
}

void Title(const Scene& s) {
  elDraw::FillColor(0, 0, 800, kTitleHeight, 0x402010);
  char text[160];
  std::snprintf(text, sizeof text, "%d/%d  %s  %s", current + 1, kSceneCount, s.japanese, s.english);
  elDraw::BeginText(1, 24, 0, 700, 0, 0);
  elDraw::SetTextColors(0xFFFFFF, 0, 1);
  elDraw::TextOut(10, 8, text);
  elDraw::EndText();
  elDraw::Print(500, 4, "←→ 場面 scene   ↑↓ level %.2f", level);
  elDraw::Print(500, 22, "Space %s", sweeping ? "sweeping" : "sweep again");
}

void Frame() {
  ReadKeys();
  if (wanted != current) {
    if (current >= 0 && kScenes[current]->leave) kScenes[current]->leave();
    current = wanted;
    sceneFrame = 0;
    if (kScenes[current]->enter) kScenes[current]->enter();
  }
  // The level sweeps from 0 to 1 and back in four seconds.
  if (sweeping) {
    sweepTime += elSystem::dt;
    float phase = std::fmod(sweepTime, 4.0f) / 2.0f;
    level = phase < 1.0f ? phase : 2.0f - phase;
  }
  elDraw::Clear();
  elDraw::SetClip(0, kTitleHeight, 800, 600);
  kScenes[current]->frame();
  elDraw::SetClip(0, 0, 800, 600);
  Title(*kScenes[current]);
  elDraw::Present();
  ++sceneFrame;
}

}  // namespace

void Background() { elDraw::DrawTiled(pictures.tiles, 0, 0, 64, 64, 12.0f, 8.0f); }

void Caption(int x, int y, const char* format, ...) {
  char text[elDraw::kPrintBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  elDraw::PrintAt(x, y, text);
}

Cell GridCell(int i, int count) {
  int columns = count <= 8 ? 4 : count <= 10 ? 5 : 4;
  int rows = (count + columns - 1) / columns;
  int width = 800 / columns, height = (600 - kTitleHeight) / rows;
  return {i % columns * width, kTitleHeight + i / columns * height, width, height};
}

void DrawEffects(const Effect* effects, int count) {
  for (int i = 0; i < count; ++i) {
    Cell c = GridCell(i, count);
    char caption[96] = "";
    // Each effect stays inside its own cell.
    elDraw::SetClip(c.x, c.y, c.x + c.width, c.y + c.height - 16);
    effects[i].draw(c.x + (c.width - 150) / 2, c.y + 4, level, caption, sizeof caption);
    elDraw::SetClip(0, kTitleHeight, 800, 600);
    Caption(c.x + 4, c.y + c.height - 16, "%s", caption);
  }
}

}  // namespace showcase

int main(int argc, char** argv) {
  // --scene is the showcase's own; everything else goes to the library.
  std::vector<char*> rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--scene") == 0) {
      char* end = nullptr;
      long n = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
      if (i + 1 >= argc || *end != '\0' || n < 1 || n > showcase::kSceneCount) {
        std::fprintf(stderr, "zolbeck_showcase: --scene takes 1 to %d\n", showcase::kSceneCount);
        return 2;
      }
      showcase::wanted = static_cast<int>(n) - 1;
      ++i;
      continue;
    }
    rest.push_back(argv[i]);
  }
  programLoad = showcase::Load;
  programFrame = showcase::Frame;
  static const shell::OptionHelp kOptions[] = {
      {"--scene N", "start on scene N (1 to 12)"},
      {nullptr, nullptr},
  };
  shell::ProgramInfo info;
  info.name = "zolbeck_showcase";
  info.title = "zolbeck showcase";
  info.summary = "Every service of the zolbeck library, a scene each.";
  info.options = kOptions;
  return shell::RunProgram(static_cast<int>(rest.size()), rest.data(), info);
}
