// Writes hello's picture and sound into the current folder: "hello.bmp", a
// 32 x 32 yellow face on black (black is the colour the library leaves
// out when it draws), and "hello.wav", a short falling chime. The build
// runs it in the folder of the program, where the library looks for data.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool Write(const char* name, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(name, "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "make_data: cannot write %s\n", name);
  return ok;
}

// A 24-bit picture, rows from the bottom up (32 pixels make whole words).
std::vector<uint8_t> Picture() {
  const int size = 32;
  std::vector<uint8_t> f = {'B', 'M'};
  Put(f, 54 + size * size * 3, 4);
  Put(f, 0, 4);
  Put(f, 54, 4);
  Put(f, 40, 4);  // the info header's size
  Put(f, size, 4);
  Put(f, size, 4);
  Put(f, 1, 2);   // one plane
  Put(f, 24, 2);  // bits per pixel
  for (int i = 0; i < 6; ++i) Put(f, 0, 4);  // no compression; sizes and colours left to the reader
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      auto in = [&](double cx, double cy, double r) {
        return (x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) < r * r;
      };
      bool eye = in(11, 12, 3) || in(21, 12, 3);
      bool mouth = in(16, 18, 8) && !in(16, 15, 8);
      uint32_t rgb = in(16, 16, 15) ? (eye || mouth ? 0x202020 : 0xFFFF00) : 0;
      Put(f, rgb, 3);  // 0xRRGGBB: its bytes are blue, green, red
    }
  }
  return f;
}

// 0.3 s of 16-bit mono at 22050 Hz: a tone falling from 880 Hz, fading out.
std::vector<uint8_t> Sound() {
  const int rate = 22050, frames = rate * 3 / 10;
  std::vector<uint8_t> f = {'R', 'I', 'F', 'F'};
  Put(f, 36 + frames * 2, 4);
  f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(f, 16, 4);        // the format's size
  Put(f, 1, 2);         // PCM
  Put(f, 1, 2);         // one channel
  Put(f, rate, 4);
  Put(f, rate * 2, 4);  // bytes per second
  Put(f, 2, 2);         // bytes per frame
  Put(f, 16, 2);        // bits per sample
  f.insert(f.end(), {'d', 'a', 't', 'a'});
  Put(f, frames * 2, 4);
  double phase = 0;
  for (int i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / frames;
    phase += 2 * std::numbers::pi * 880 * (1 - 0.5 * t) / rate;
    Put(f, static_cast<uint16_t>(std::lround(12000 * (1 - t) * std::sin(phase))), 2);
  }
  return f;
}

}  // namespace

int main() { return Write("hello.bmp", Picture()) && Write("hello.wav", Sound()) ? 0 : 1; }
