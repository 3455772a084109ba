// The software effects, family by family: each cell draws one call on the
// princess (or the dragon) over the tiled background, its arguments taken
// from the level and written under it.
#include <cstdio>

#include <zolbeck/eldraw.h>
#include "showcase.h"

namespace showcase {
namespace {

using elDraw::Point;

// The princess facing the viewer, one 96 x 96 cell of her sheet.
constexpr int kW = 96, kH = 96;
int P() { return pictures.princess; }
// A whole number from the level: lo at 0, hi at 1.
int Pick(float level, int lo, int hi) { return lo + static_cast<int>(level * static_cast<float>(hi - lo) + 0.5f); }
#define SAY(...) std::snprintf(caption, size, __VA_ARGS__)

const Effect kBlend[] = {
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawHalf(x, y, P(), 0, 0, kW, kH);
      SAY("DrawHalf");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAlpha(x, y, l, P(), 0, 0, kW, kH);
      SAY("DrawAlpha a=%.2f", l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAlphaRgb(x, y, l, 1.0f - l, 0.5f, P(), 0, 0, kW, kH);
      SAY("DrawAlphaRgb %.2f,%.2f,0.5", l, 1.0f - l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAlphaGradient(x, y, 0.0f, 0.0f, 0.0f, 1, static_cast<uint16_t>(Pick(l, 0, 60)), 3, P(), 0, 0, kW, kH);
      SAY("DrawAlphaGradient rows from %d", Pick(l, 0, 60));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawCrossFade(x, y, Pick(l, 0, 31), P(), 0, 0, kW, kH);
      SAY("DrawCrossFade q=%d", Pick(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawCrossFadeRgb(x, y, Pick(l, 0, 31), 31 - Pick(l, 0, 31), 16, P(), 0, 0, kW, kH);
      SAY("DrawCrossFadeRgb %d,%d,16", Pick(l, 0, 31), 31 - Pick(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawCrossFadeGradient(x, y, 0, 0, 0, 0, static_cast<uint16_t>(Pick(l, 0, 60)), 3, P(), 0, 0, kW, kH);
      SAY("DrawCrossFadeGradient cols %d", Pick(l, 0, 60));
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawAdd(x, y, P(), 0, 0, kW, kH);
      SAY("DrawAdd");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawAddLevel(x, y, l, P(), 0, 0, kW, kH);
      SAY("DrawAddLevel s=%.2f", l);
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawSubtract(x, y, P(), 0, 0, kW, kH);
      SAY("DrawSubtract");
    }},
};

const Effect kColour[] = {
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawScale(x, y, l * 2.0f, P(), 0, 0, kW, kH);
      SAY("DrawScale f=%.2f", l * 2.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawScaleRgb(x, y, l * 2.0f, 1.0f, 2.0f - l * 2.0f, P(), 0, 0, kW, kH);
      SAY("DrawScaleRgb %.1f,1,%.1f", l * 2.0f, 2.0f - l * 2.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawDarken(x, y, Pick(l, 0, 31), P(), 0, 0, kW, kH);
      SAY("DrawDarken q=%d", Pick(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawDarkenRgb(x, y, Pick(l, 0, 31), 0, 31 - Pick(l, 0, 31), P(), 0, 0, kW, kH);
      SAY("DrawDarkenRgb %d,0,%d", Pick(l, 0, 31), 31 - Pick(l, 0, 31));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      int mask = Pick(l, 1, 7);
      elDraw::DrawChannels(x, y, mask & 1, mask >> 1 & 1, mask >> 2 & 1, P(), 0, 0, kW, kH);
      SAY("DrawChannels r%d g%d b%d", mask & 1, mask >> 1 & 1, mask >> 2 & 1);
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawGrey(x, y, P(), 0, 0, kW, kH);
      SAY("DrawGrey");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawBlur(x, y, Pick(l, 1, 8), P(), 0, 0, kW, kH);
      SAY("DrawBlur k=%d", Pick(l, 1, 8));
    }},
    {[](int x, int y, float, char* caption, int size) {
      elDraw::DrawSmoothEdge(x, y, P(), 0, 0, kW, kH);
      SAY("DrawSmoothEdge");
    }},
};

const Effect kGeometry[] = {
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRotate(x, y, x + 150, y + 130, Pick(l, 0, 359), P(), 0, 0, kW, kH);
      SAY("DrawRotate %d deg", Pick(l, 0, 359));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRotateTiled(x, y, x + 150, y + 130, Pick(l, 0, 359), P(), 0, 0, kW, kH);
      SAY("DrawRotateTiled %d deg", Pick(l, 0, 359));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRotateZoom(x, y, x + 150, y + 130, Pick(l, 0, 359), 0.5f + l, P(), 0, 0, kW, kH);
      SAY("DrawRotateZoom %d deg x%.2f", Pick(l, 0, 359), 0.5f + l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRotateZoomTiled(x, y, x + 150, y + 130, Pick(l, 0, 359), 0.5f + l, P(), 0, 0, kW, kH);
      SAY("DrawRotateZoomTiled x%.2f", 0.5f + l);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawFloor(x, y, x + 150, y + 130, Pick(l, 0, 359), 0.3f, 0.01f, 0.3f, 0.01f, 1.0f, 0.9f, 0.7f,
                        pictures.tiles, 0, 0, 64, 64);
      SAY("DrawFloor %d deg", Pick(l, 0, 359));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawWave(x + 20, y, Pick(l, 0, 12), 24, 4.0f, P(), 0, 0, kW, kH, 0);
      SAY("DrawWave amp=%d", Pick(l, 0, 12));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRowRepeat(x + 20, y, Pick(l, 1, 4), P(), 0, 0, kW, kH);
      SAY("DrawRowRepeat n=%d", Pick(l, 1, 4));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawJitter(x + 20, y, Pick(l, 0, 8), P(), 0, 0, kW, kH);
      SAY("DrawJitter n=%d", Pick(l, 0, 8));
    }},
};

const Effect kMoving[] = {
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawRowWave(x + 20, y, 0, 1.0f + l * 4.0f, P(), 0, 0, kW, kH);
      SAY("DrawRowWave speed=%.1f", 1.0f + l * 4.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawDisplace(x + 20, y, l * 16.0f, P(), 0, 0, kW, kH);
      SAY("DrawDisplace s=%.1f", l * 16.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawExtend(x + 20, y, 0, static_cast<uint16_t>(Pick(l, 0, 95)), P(), 0, 0, kW, kH);
      SAY("DrawExtend mode 0 k=%d", Pick(l, 0, 95));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawGlow(x + 20, y, Pick(l, 1, 4), 2, 4 - Pick(l, 0, 3), 4, 1, P(), 0, 0, kW, kH);
      SAY("DrawGlow %d,2,%d", Pick(l, 1, 4), 4 - Pick(l, 0, 3));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawLens(x + 20, y, 4, l * 2.0f - 1.0f, 0.0f, P(), 0, 0, kW, kH);
      SAY("DrawLens scale=%.2f", l * 2.0f - 1.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      elDraw::DrawLens(x + 20, y, 4, 0.3f, l * 2.0f - 1.0f, P(), 0, 0, kW, kH);
      SAY("DrawLens tilt=%.2f", l * 2.0f - 1.0f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      // The tunnel's table is made once, for its 150 x 130 window.
      static uint16_t table[2 * 150 * 130];
      static bool made = elDraw::MakeTunnel(table, 150, 130, 75, 65, 64, 800.0f, 0);
      (void)made;
      elDraw::DrawTunnel(table, x, y, 150, 130, pictures.tiles, sceneFrame, Pick(l, 0, 63));
      SAY("DrawTunnel u=%d v=%d", sceneFrame % 64, Pick(l, 0, 63));
    }},
};

// The filters work on what is already on the screen: the dragon's head
// first, then the filter over the cell.
void Head(int x, int y) { elDraw::DrawStretch(x + 20, y, pictures.dragon, 0, 0, 180, 250, 104, 130); }

const Effect kFilter[] = {
    {[](int x, int y, float, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenFlame(x, y, 150, 130);
      SAY("ScreenFlame");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenFlameFade(l > 0.5f, 1, 0, x, y, 150, 130);
      SAY("ScreenFlameFade %d,1,0", l > 0.5f);
    }},
    {[](int x, int y, float, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenSoften(x, y, 150, 130);
      SAY("ScreenSoften");
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenSoftenFade(1, l > 0.5f, 1, x, y, 150, 130);
      SAY("ScreenSoftenFade 1,%d,1", l > 0.5f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenNoise(Pick(l, 0, 4), x, y, 150, 130);
      SAY("ScreenNoise shift=%d", Pick(l, 0, 4));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenNoiseRgb(1, 0, 1, Pick(l, 0, 4), x, y, 150, 130);
      SAY("ScreenNoiseRgb 1,0,1 shift=%d", Pick(l, 0, 4));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenMosaicCircle(x + 75, y + 65, 60, Pick(l, 2, 12));
      SAY("ScreenMosaicCircle block=%d", Pick(l, 2, 12));
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
      elDraw::ScreenZoom2(x, y, 75, 65, l > 0.5f);
      SAY("ScreenZoom2 sparse=%d", l > 0.5f);
    }},
    {[](int x, int y, float l, char* caption, int size) {
      Head(x, y);
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
const Scene kFilterScene = {"画面フィルタ", "Screen filters", nullptr, nullptr, [] { Show(kFilter); }};

}  // namespace showcase
