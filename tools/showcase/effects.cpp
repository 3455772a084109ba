// The software effects, family by family: each cell draws one call on the
// princess (or the dragon) over the calm backdrop, its arguments taken from
// the level and written under it. Every entry is the whole example of its
// call: the effects need nothing set up but the sprite (value 0 of which is
// transparent) and a 16-bit screen.
#include <cstdio>

#include <zolbeck/eldraw.h>
#include "showcase.h"

namespace showcase {
namespace {

using elDraw::Point;

// The princess facing the viewer, one 96 x 96 cell of her sheet.
constexpr int kW = 96, kH = 96;
int Princess() { return pictures.princess; }
// A whole number from the level: lo at 0, hi at 1.
int Between(float level, int lo, int hi) { return lo + static_cast<int>(level * static_cast<float>(hi - lo) + 0.5f); }
#define SAY(...) std::snprintf(caption, size, __VA_ARGS__)

const Effect kBlend[] = {
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawHalf(x, y, Princess(), 0, 0, kW, kH);
      SAY("DrawHalf");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAlpha(x, y, l, Princess(), 0, 0, kW, kH);
      SAY("DrawAlpha a=%.2f", l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAlphaRgb(x, y, l, 1.0f - l, 0.5f, Princess(), 0, 0, kW, kH);
      SAY("DrawAlphaRgb %.2f,%.2f,0.5", l, 1.0f - l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAlphaGradient(x, y, 0.0f, 0.0f, 0.0f, 1, static_cast<uint16_t>(Between(l, 0, 60)), 3, Princess(), 0, 0, kW, kH);
      SAY("DrawAlphaGradient rows from %d", Between(l, 0, 60));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawCrossFade(x, y, Between(l, 0, 31), Princess(), 0, 0, kW, kH);
      SAY("DrawCrossFade q=%d", Between(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawCrossFadeRgb(x, y, Between(l, 0, 31), 31 - Between(l, 0, 31), 16, Princess(), 0, 0, kW, kH);
      SAY("DrawCrossFadeRgb %d,%d,16", Between(l, 0, 31), 31 - Between(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawCrossFadeGradient(x, y, 0, 0, 0, 0, static_cast<uint16_t>(Between(l, 0, 60)), 3, Princess(), 0, 0, kW, kH);
      SAY("DrawCrossFadeGradient cols %d", Between(l, 0, 60));
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawAdd(x, y, Princess(), 0, 0, kW, kH);
      SAY("DrawAdd");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAddLevel(x, y, l, Princess(), 0, 0, kW, kH);
      SAY("DrawAddLevel s=%.2f", l);
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawSubtract(x, y, Princess(), 0, 0, kW, kH);
      SAY("DrawSubtract");
    }},
};

const Effect kColour[] = {
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawScale(x, y, l * 2.0f, Princess(), 0, 0, kW, kH);
      SAY("DrawScale f=%.2f", l * 2.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawScaleRgb(x, y, l * 2.0f, 1.0f, 2.0f - l * 2.0f, Princess(), 0, 0, kW, kH);
      SAY("DrawScaleRgb %.1f,1,%.1f", l * 2.0f, 2.0f - l * 2.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawDarken(x, y, Between(l, 0, 31), Princess(), 0, 0, kW, kH);
      SAY("DrawDarken q=%d", Between(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawDarkenRgb(x, y, Between(l, 0, 31), 0, 31 - Between(l, 0, 31), Princess(), 0, 0, kW, kH);
      SAY("DrawDarkenRgb %d,0,%d", Between(l, 0, 31), 31 - Between(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      int mask = Between(l, 1, 7);
      elDraw::DrawChannels(x, y, mask & 1, mask >> 1 & 1, mask >> 2 & 1, Princess(), 0, 0, kW, kH);
      SAY("DrawChannels r%d g%d b%d", mask & 1, mask >> 1 & 1, mask >> 2 & 1);
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawGrey(x, y, Princess(), 0, 0, kW, kH);
      SAY("DrawGrey");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawBlur(x, y, Between(l, 1, 8), Princess(), 0, 0, kW, kH);
      SAY("DrawBlur k=%d", Between(l, 1, 8));
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawSmoothEdge(x, y, Princess(), 0, 0, kW, kH);
      SAY("DrawSmoothEdge");
    }},
};

const Effect kGeometry[] = {
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRotate(x, y, x + 150, y + 130, Between(l, 0, 359), Princess(), 0, 0, kW, kH);
      SAY("DrawRotate %d deg", Between(l, 0, 359));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      // A tiled rotation fills its whole window: the map's trees repeat.
      elDraw::DrawRotateTiled(x, y, x + 150, y + 130, Between(l, 0, 359), pictures.tiles, 0, 56, 128, 88);
      SAY("DrawRotateTiled %d deg", Between(l, 0, 359));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRotateZoom(x, y, x + 150, y + 130, Between(l, 0, 359), 0.5f + l, Princess(), 0, 0, kW, kH);
      SAY("DrawRotateZoom %d deg x%.2f", Between(l, 0, 359), 0.5f + l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRotateZoomTiled(x, y, x + 150, y + 130, Between(l, 0, 359), 0.5f + l, pictures.tiles, 0, 56,
                                  128, 88);
      SAY("DrawRotateZoomTiled %d deg x%.2f", Between(l, 0, 359), 0.5f + l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawFloor(x, y, x + 150, y + 130, Between(l, 0, 359), 0.3f, 0.01f, 0.3f, 0.01f, 1.0f, 0.9f, 0.7f,
                        pictures.tiles, 0, 0, 64, 64);
      SAY("DrawFloor %d deg", Between(l, 0, 359));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawWave(x + 20, y, Between(l, 0, 12), 24, 4.0f, Princess(), 0, 0, kW, kH, 0);
      SAY("DrawWave amp=%d", Between(l, 0, 12));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRowRepeat(x + 20, y, Between(l, 1, 4), Princess(), 0, 0, kW, kH);
      SAY("DrawRowRepeat n=%d", Between(l, 1, 4));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawJitter(x + 20, y, Between(l, 0, 8), Princess(), 0, 0, kW, kH);
      SAY("DrawJitter n=%d", Between(l, 0, 8));
    }},
};

const Effect kMoving[] = {
    {[](int x, int y, float l, char* caption, int size) {
      // Drawn opaque, row by row: a picture without transparent parts.
      elDraw::DrawRowWave(x + 20, y, 0, 10.0f + l * 40.0f, pictures.tiles, 0, 0, 96, 88);
      SAY("DrawRowWave speed=%.0f", 10.0f + l * 40.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawDisplace(x + 20, y, l * 16.0f, Princess(), 0, 0, kW, kH);
      SAY("DrawDisplace s=%.1f", l * 16.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawExtend(x + 20, y, 0, static_cast<uint16_t>(Between(l, 0, 95)), Princess(), 0, 0, kW, kH);
      SAY("DrawExtend mode 0 k=%d", Between(l, 0, 95));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawGlow(x + 20, y, Between(l, 1, 4), 2, 4 - Between(l, 0, 3), 4, 1, Princess(), 0, 0, kW, kH);
      SAY("DrawGlow %d,2,%d", Between(l, 1, 4), 4 - Between(l, 0, 3));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawLens(x + 20, y, 4, l * 2.0f - 1.0f, 0.0f, Princess(), 0, 0, kW, kH);
      SAY("DrawLens scale=%.2f", l * 2.0f - 1.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawLens(x + 20, y, 4, 0.3f, l * 2.0f - 1.0f, Princess(), 0, 0, kW, kH);
      SAY("DrawLens tilt=%.2f", l * 2.0f - 1.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      // The tunnel's table is made once, for its 150 x 130 window.
      static uint16_t table[2 * 150 * 130];
      static bool made = elDraw::MakeTunnel(table, 150, 130, 75, 65, 64, 800.0f, 0);
      (void)made;
      elDraw::DrawTunnel(table, x, y, 150, 130, pictures.tiles, sceneFrame, Between(l, 0, 63));
      SAY("DrawTunnel u=%d v=%d", sceneFrame % 64, Between(l, 0, 63));
    }},
};

// The filters work on what is already on the screen: the dragon's head
// first, then the filter over the cell.
void Head(int x, int y) { elDraw::DrawStretch(x + 20, y, pictures.dragon, 0, 0, 180, 250, 104, 130); }

// Flame and soften change the picture a little each call, so a cell keeps
// its picture from frame to frame in a sprite of its own: drawn back before
// the filter, grabbed again after it. It starts again from the plain head
// every `period` frames: the flame climbs for 1.6 s, the softening (which
// soon leaves only a smear) blurs for a tenth of that.
constexpr int kKept = 4;
int kept[kKept];
constexpr int kFlameFrames = 120, kSoftenFrames = 12;

void FilterEnter() {
  for (int& sprite : kept) {
    if (sprite == 0) sprite = elDraw::CreateObject(150, 130, 2);
  }
}
void KeptPicture(int i, int period, int x, int y) {
  if (sceneFrame % period == 0) {
    Head(x, y);
  } else {
    elDraw::DrawOpaque(x, y, kept[i], 0, 0, 150, 130);
  }
}
void Keep(int i, int x, int y) { elDraw::GrabScreen(kept[i], x, y, x + 150, y + 130); }

const Effect kFilter[] = {
    {[](int x, int y, float, char* caption, int size) {
      KeptPicture(0, kFlameFrames, x, y);
      elDraw::ScreenFlame(x, y, 150, 130);
      Keep(0, x, y);
      SAY("ScreenFlame every frame");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      KeptPicture(1, kFlameFrames, x, y);
      elDraw::ScreenFlameFade(l > 0.5f, 1, 0, x, y, 150, 130);
      Keep(1, x, y);
      SAY("ScreenFlameFade %d,1,0", l > 0.5f);
    }},
    {[](int x, int y, float, char* caption, int size) {
      KeptPicture(2, kSoftenFrames, x, y);
      elDraw::ScreenSoften(x, y, 150, 130);
      Keep(2, x, y);
      SAY("ScreenSoften every frame");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      KeptPicture(3, kSoftenFrames, x, y);
      elDraw::ScreenSoftenFade(1, l > 0.5f, 1, x, y, 150, 130);
      Keep(3, x, y);
      SAY("ScreenSoftenFade 1,%d,1", l > 0.5f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenNoise(Between(l, 0, 4), x, y, 150, 130);
      SAY("ScreenNoise shift=%d", Between(l, 0, 4));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenNoiseRgb(1, 0, 1, Between(l, 0, 4), x, y, 150, 130);
      SAY("ScreenNoiseRgb 1,0,1 shift=%d", Between(l, 0, 4));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenMosaicCircle(x + 75, y + 65, 60, Between(l, 2, 12));
      SAY("ScreenMosaicCircle block=%d", Between(l, 2, 12));
    }},
    // The zooms magnify a rectangle from its own top-left corner: a small
    // head there comes out at the cell's size.
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawStretch(x + 10, y, pictures.dragon, 0, 0, 180, 250, 52, 65);
      elDraw::ScreenZoom2(x, y, 75, 65, l > 0.5f);
      SAY("ScreenZoom2 sparse=%d", l > 0.5f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawStretch(x + 5, y, pictures.dragon, 0, 0, 180, 250, 26, 32);
      elDraw::ScreenZoom4(x, y, 37, 32, l > 0.5f);
      SAY("ScreenZoom4 sparse=%d", l > 0.5f);
    }},
};

#undef SAY

template <int N>
void Show(const Effect (&table)[N]) {
  Background();
  DrawEffects(table, N);
}

}  // namespace

const Scene kBlendScene = {"ブレンド", "Blend", nullptr, nullptr, [] { Show(kBlend); }};
const Scene kColourScene = {"色", "Colour", nullptr, nullptr, [] { Show(kColour); }};
const Scene kGeometryScene = {"回転と行", "Rotation and rows", nullptr, nullptr, [] { Show(kGeometry); }};
const Scene kMovingScene = {"ゆがみ", "Distortion", nullptr, nullptr, [] { Show(kMoving); }};
const Scene kFilterScene = {"画面フィルタ", "Screen filters", FilterEnter, nullptr, [] { Show(kFilter); }};

}  // namespace showcase
