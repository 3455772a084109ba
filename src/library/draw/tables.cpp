// The lookup tables of the software effects, built by the screen set-up from
// the back screen's measured pixel format.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "draw/eldraw.h"

namespace elDraw {

int32_t SineTable[kSineTableSize];
Rgb5 PixelToRgb5Table[65536];
uint16_t CrossFadeTable[3][32][32][32];
uint16_t FadeAddTable[3][32][32][32];
uint16_t SubtractTable[3][32][32];
uint16_t GreyTable[94];
uint8_t DitherNoiseTable[10000];

namespace {

constexpr double kPi = 3.14159265358979323846;

int Max0(int v) { return v > 0 ? v : 0; }

// A 5-bit value placed at the top of its channel.
uint16_t Place(int value, int ch) {
  return static_cast<uint16_t>(value << screen.format.place5[ch]);
}

}  // namespace

void BuildSineTable() {
  for (int i = 0; i < kSineTableSize; ++i) {
    // Degrees to radians in the order written: i x 2 x pi / 360. Truncation
    // toward zero keeps, for instance, sin(30 degrees) x 360 just below 180.
    SineTable[i] = static_cast<int32_t>(std::sin(i * 2 * kPi / 360) * 360);
  }
}

void ClearColourTables() {
  std::memset(PixelToRgb5Table, 0, sizeof PixelToRgb5Table);
  std::memset(CrossFadeTable, 0, sizeof CrossFadeTable);
  std::memset(FadeAddTable, 0, sizeof FadeAddTable);
  std::memset(SubtractTable, 0, sizeof SubtractTable);
  std::memset(GreyTable, 0, sizeof GreyTable);
  std::memset(DitherNoiseTable, 0, sizeof DitherNoiseTable);
}

void BuildColourTables() {
  const PixelFormatInfo& f = screen.format;
  ClearColourTables();  // A 555 format leaves the upper half of the first table unused

  // Every pixel value of a 16-bit format to its three 5-bit channels; a
  // 6-bit channel loses its lowest bit. Blue sits at the bottom of both
  // 16-bit formats, so its value is added unshifted.
  const int redCount = f.maxValue[0] == 63 ? 64 : 32;
  const int greenCount = f.maxValue[1] == 63 ? 64 : 32;
  const int blueCount = f.maxValue[2] == 63 ? 64 : 32;
  for (int r = 0; r < redCount; ++r) {
    for (int g = 0; g < greenCount; ++g) {
      for (int b = 0; b < blueCount; ++b) {
        uint32_t index = (static_cast<uint32_t>(r) << f.shift[0]) +
                         (static_cast<uint32_t>(g) << f.shift[1]) + static_cast<uint32_t>(b);
        if (index >= 65536) continue;  // Guards against a format wider than 16 bits
        Rgb5& entry = PixelToRgb5Table[index];
        entry.red = static_cast<uint8_t>(redCount == 64 ? r >> 1 : r);
        entry.green = static_cast<uint8_t>(greenCount == 64 ? g >> 1 : g);
        entry.blue = static_cast<uint8_t>(blueCount == 64 ? b >> 1 : b);
      }
    }
  }

  for (int ch = 0; ch < 3; ++ch) {
    for (int a = 0; a < 32; ++a) {
      for (int x = 0; x < 32; ++x) {
        for (int y = 0; y < 32; ++y) {
          CrossFadeTable[ch][a][x][y] = Place(Max0(x - a) + Max0(y + a - 31), ch);
          int sum = Max0(x - a) + y;
          FadeAddTable[ch][a][x][y] = Place(sum < 31 ? sum : 31, ch);
        }
      }
    }
  }

  for (int ch = 0; ch < 3; ++ch) {
    for (int x = 0; x < 32; ++x) {
      for (int y = 0; y < 32; ++y) SubtractTable[ch][x][y] = Place(Max0(x - y), ch);
    }
  }

  for (int s = 0; s < 94; ++s) GreyTable[s] = static_cast<uint16_t>(s / 3);

  for (uint8_t& noise : DitherNoiseTable) noise = static_cast<uint8_t>(std::rand() % 3);
}

}  // namespace elDraw
