// The present: the fade and the scroll view drawn over the frame, then the
// back screen copied into the window. Also the recovery of lost surfaces,
// which reloads every named sprite from its picture.
#include <cstring>

#include "draw/drawing.h"
#include "draw/eldraw.h"
#include "input/input.h"
#include "shell/elsystem.h"

namespace elDraw {

using drawing::AnswerBlit;

int fadeLevel = 0;
int fadeDirection = 0;
int fadePattern = 0;
int scrollViewShown = 0;
ScrollViewState scrollView;

namespace {

constexpr int kFadeCellWidth = 64, kFadeCellHeight = 48;
constexpr int kFadeSteps = 10;
constexpr int kTileWidth = 64, kTileHeight = 48;

// One step of a running fade: the pattern's frame for the current level laid
// over the 640 x 480 top-left area in 64 x 48 cells, then the next level.
void DrawFade() {
  int frameLeft = (fadeLevel - 1) * kFadeCellWidth;
  for (int j = 0; j < kFadeSteps; ++j) {
    for (int i = 0; i < kFadeSteps; ++i) {
      Draw(kFadeCellWidth * i, kFadeCellHeight * j, fadePattern, frameLeft, 0,
           frameLeft + kFadeCellWidth, kFadeCellHeight);
    }
  }
  fadeLevel += fadeDirection;
  if ((fadeDirection == -1 && fadeLevel < 1) || (fadeDirection == 1 && fadeLevel > kFadeSteps)) {
    fadeLevel = 0;
    fadeDirection = 0;
  }
}

// The drifting tiles, the picture inside the clip rectangle, then the
// scroll by the arrow key held.
void DrawScrollView() {
  ScrollViewState& view = scrollView;
  int tileX = static_cast<int>(view.tileX), tileY = static_cast<int>(view.tileY);
  for (int j = 0; j < 11; ++j) {
    for (int i = 0; i < 11; ++i) {
      Draw(kTileWidth * i + tileX, kTileHeight * j + tileY, view.tile, 0, 0, kTileWidth,
           kTileHeight);
    }
  }
  float dt = elSystem::dt;
  view.tileX -= 10.0f * dt;
  view.tileY -= 10.0f * dt;
  if (view.tileX <= -kTileWidth) view.tileX += kTileWidth;
  if (view.tileY <= -kTileHeight) view.tileY += kTileHeight;

  const ClipRect& clip = screen.clipRect;
  int top = static_cast<int>(view.scroll);
  Draw(clip.left, clip.top, view.picture, 0, top, clip.right - clip.left,
       top + clip.bottom - clip.top);

  switch (elSystem::scrollViewKey) {
    case 38:
      view.scroll -= 100.0f * dt;
      break;  // up
    case 37:
      view.scroll -= 300.0f * dt;
      break;  // left
    case 40:
      view.scroll += 100.0f * dt;
      break;  // down
    case 39:
      view.scroll += 300.0f * dt;
      break;  // right
    default:
      break;
  }
  // The top bound first: a picture shorter than the window ends above it.
  if (view.scroll < 0.0f) view.scroll = 0.0f;
  float lowest = static_cast<float>(view.pictureHeight - (clip.bottom - clip.top));
  if (view.scroll > lowest) view.scroll = lowest;
}

}  // namespace

int Present() {
  if (fadeLevel != 0) DrawFade();
  if (scrollViewShown) DrawScrollView();
  if (screen.vsync == 1) plat::WaitForVerticalBlank();
  if (screen.frontScreen != nullptr && screen.backScreen != nullptr) {
    AnswerBlit(plat::Blt(*screen.frontScreen, elSystem::clientRect, *screen.backScreen,
                         screen.presentSource, false));
  }
  return 1;
}

// Brings every lost surface back. The screens and the internal sprites come
// back with their size only; sprites loaded from pictures are reloaded into
// their slots with the key they had; sprites made empty ("*") keep their
// size and wait to be drawn into again.
void Restore() {
  if (screen.frontScreen != nullptr) plat::Restore(*screen.frontScreen);
  if (screen.backScreen != nullptr && plat::IsLost(*screen.backScreen)) {
    plat::Restore(*screen.backScreen);
  }
  for (int i = 0; i < kFirstLoadableSprite; ++i) {
    plat::Surface* surface = SpriteTable[i].surface;
    if (surface != nullptr && plat::IsLost(*surface)) plat::Restore(*surface);
  }
  for (int i = kFirstLoadableSprite; i < kSpriteCount; ++i) {
    SpriteSlot& slot = SpriteTable[i];
    if (slot.name[0] == '\0' || slot.surface == nullptr || !plat::IsLost(*slot.surface)) continue;
    plat::Restore(*slot.surface);
    if (std::strcmp(slot.name, "*") == 0) continue;
    SetColorKey(static_cast<uint32_t>(slot.keySetting));
    // The reload rewrites the slot's name, so it is handed a copy.
    char name[kSpriteNameSize];
    std::memcpy(name, slot.name, sizeof name);
    name[kSpriteNameSize - 1] = '\0';
    if (slot.packFlag == 1) {
      SwapPack(name, i, slot.memoryKind);
    } else {
      SwapObject(name, i, slot.memoryKind);
    }
  }
}

int LoadFadePattern(const char* name) {
  SetColorKey(0);
  fadePattern = LoadObject(name, 2);
  return fadePattern;
}

void FadeOut() {
  fadeLevel = 1;
  fadeDirection = 1;
}

void FadeIn() {
  fadeLevel = kFadeSteps;
  fadeDirection = -1;
}

// The first call loads both pictures; later calls reload them into the same
// slots. Each slot is checked on its own, so that a picture whose first load
// failed (slot 0) is loaded again rather than swapped into slot 0, the
// library's Buffer sprite.
void LoadScrollView(const char* picture, const char* tile, int pictureHeight) {
  SetColorKey(0);
  if (scrollView.picture == 0) {
    scrollView.picture = LoadObject(picture, 2);
  } else {
    SwapObject(picture, scrollView.picture, 2);
  }
  if (scrollView.tile == 0) {
    scrollView.tile = LoadObject(tile, 2);
  } else {
    SwapObject(tile, scrollView.tile, 2);
  }
  scrollView.pictureHeight = pictureHeight;
  scrollView.scroll = 0.0f;
}

void ToggleScrollView() {
  if (scrollViewShown) {
    scrollViewShown = 0;
  } else if (scrollView.pictureHeight != 0) {
    scrollViewShown = 1;
  }
}

void ResetScrollViewSprites() {
  scrollView.picture = 0;
  scrollView.tile = 0;
}

}  // namespace elDraw
