// The showcase of the game library:
//   zolbeck_showcase [--scene N] [OPTIONS]
// Left and Right change the scene, and so do the keys of the top row (1 to
// 9, 0, - and = for scenes 1 to 12) and F1 to F11; F12 is the library's own
// screenshot. Up and Down set the level every scene reads, Space lets it
// sweep again. --scene N starts on scene N; --make-pack has the pack scene
// write its pack beside the program; every other option is the library's
// own (--headless, --frames N, --screenshot FILE, ...).
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
bool makePackHere = false;

namespace {

const Scene* const kScenes[] = {
    &kBlendScene, &kColourScene, &kGeometryScene, &kMovingScene,    &kFilterScene, &kWipeScene,
    &kPrimitiveScene, &kPackScene, &kTextScene, &kSoundScene, &kStreamScene, &kMidiScene,
};
constexpr int kSceneCount = sizeof kScenes / sizeof kScenes[0];
constexpr int kTitleHeight = 44;
constexpr int kCaptionHeight = 32;  // two lines of Print

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

// The top row of the keyboard, scene by scene.
constexpr int kSceneKeys[kSceneCount] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', VK_OEM_MINUS,
                                         VK_OEM_PLUS};

void ReadKeys() {
  if (Pressed(VK_RIGHT)) wanted = (wanted + 1) % kSceneCount;
  if (Pressed(VK_LEFT)) wanted = (wanted + kSceneCount - 1) % kSceneCount;
  for (int n = 0; n < kSceneCount; ++n) {
    if (Pressed(kSceneKeys[n])) wanted = n;
  }
  // F12 is left to the library, which saves a screenshot on it.
  for (int n = 0; n < 11; ++n) {
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
  elDraw::FillColor(0, 0, 800, kTitleHeight, ScreenPixel(24, 32, 72));
  char text[160];
  std::snprintf(text, sizeof text, "%d/%d  %s  %s", current + 1, kSceneCount, s.japanese, s.english);
  elDraw::BeginText(1, 24, 0, 1, 0, 0);  // gothic, 24 pixels, bold
  elDraw::SetTextColors(0xFFFFFF, 0, 1);
  elDraw::TextOut(10, 8, text);
  elDraw::EndText();
  elDraw::Print(520, 4, "←→ 1..0 - = 場面 scene");
  elDraw::Print(520, 22, "↑↓ level %.2f  Space %s", level, sweeping ? "sweeps" : "sweep");
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

uint32_t ScreenPixel(int red, int green, int blue) {
  const elDraw::PixelFormatInfo& f = elDraw::screen.format;
  return static_cast<uint32_t>(red) * f.maxValue[0] / 255 << f.shift[0] |
         static_cast<uint32_t>(green) * f.maxValue[1] / 255 << f.shift[1] |
         static_cast<uint32_t>(blue) * f.maxValue[2] / 255 << f.shift[2];
}

void Background() {
  // Two close greys in 32-pixel squares: what an effect lets through shows,
  // and nothing draws the eye away from it.
  const uint32_t dark = ScreenPixel(64, 72, 88), light = ScreenPixel(84, 92, 108);
  elDraw::FillColor(0, kTitleHeight, 800, 600, dark);
  for (int y = kTitleHeight; y < 600; y += 32) {
    for (int x = ((y - kTitleHeight) / 32 % 2) * 32; x < 800; x += 64) {
      elDraw::FillColor(x, y, x + 32, y + 32 < 600 ? y + 32 : 600, light);
    }
  }
}

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
    // Each effect stays inside its own cell, above its caption.
    elDraw::SetClip(c.x, c.y, c.x + c.width, c.y + c.height - kCaptionHeight);
    // The effect's 150 x 130 window in the middle of the cell.
    effects[i].draw(c.x + (c.width - 150) / 2, c.y + (c.height - kCaptionHeight - 130) / 2, level, caption,
                    sizeof caption);
    elDraw::SetClip(0, kTitleHeight, 800, 600);
    // The call's name on one line, its arguments on the next, so that no
    // caption runs into its neighbour's cell.
    char* arguments = std::strchr(caption, ' ');
    if (arguments) *arguments++ = '\0';
    Caption(c.x + 4, c.y + c.height - kCaptionHeight, "%s", caption);
    if (arguments) Caption(c.x + 4, c.y + c.height - kCaptionHeight / 2, "%s", arguments);
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
    if (std::strcmp(argv[i], "--make-pack") == 0) {
      showcase::makePackHere = true;
      continue;
    }
    rest.push_back(argv[i]);
  }
  programLoad = showcase::Load;
  programFrame = showcase::Frame;
  static const shell::OptionHelp kOptions[] = {
      {"--scene N", "start on scene N (1 to 12)"},
      {"--make-pack", "the pack scene writes SHOWCASE.PAK beside the program, not in ~/.cache/zolbeck"},
      {nullptr, nullptr},
  };
  shell::ProgramInfo info;
  info.name = "zolbeck_showcase";
  info.title = "zolbeck showcase";
  info.summary = "Every service of the zolbeck library, a scene each.";
  info.options = kOptions;
  return shell::RunProgram(static_cast<int>(rest.size()), rest.data(), info);
}
