// The sounds: short effects for the game ("WAVE/*.wav", 22.05 kHz mono) and
// the showcase's sound pack ("SOUND.PAK"), whose "LOOP.WAV" is long enough to
// be streamed. Every sound is synthesised here from sines, sweeps and seeded
// noise, so the files come out the same on every build.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "art.h"
#include "canvas.h"

namespace gen {
namespace {

constexpr int kRate = 22050;
constexpr double kTau = 6.283185307179586;

// One sound: interleaved samples in -1..1 and its channel count.
struct Sound {
  int channels = 1;
  std::vector<float> samples;
};

// `seconds` of sound; `voice(t, channel)` gives each sample.
Sound Make(double seconds, int channels, const std::function<double(double, int)>& voice) {
  Sound s;
  s.channels = channels;
  int frames = static_cast<int>(seconds * kRate);
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) s.samples.push_back(static_cast<float>(voice(double(i) / kRate, c)));
  }
  return s;
}

// A sweep's phase at time t: the frequency goes linearly from f0 to f1 over d.
double SweepPhase(double t, double f0, double f1, double d) { return kTau * (f0 * t + (f1 - f0) * t * t / (2 * d)); }
double Square(double phase) { return std::sin(phase) >= 0 ? 1.0 : -1.0; }
// A short attack and an exponential fall.
double Decay(double t, double rate) { return std::min(1.0, t * 400) * std::exp(-t * rate); }

// Noise from the seeded generator, smoothed by a one-pole filter (0..1,
// higher = brighter).
struct Noise {
  Random random{7};
  double last = 0;
  double Next(double brightness) {
    double white = random.Range(-1000, 1000) / 1000.0;
    last += (white - last) * brightness;
    return last;
  }
};

// A note of a simple bell-like tone.
double Bell(double t, double hz) { return (std::sin(kTau * hz * t) + 0.3 * std::sin(kTau * 2 * hz * t)) * Decay(t, 6); }

std::vector<uint8_t> Pcm16(const Sound& s) {
  std::vector<uint8_t> out;
  for (float v : s.samples) {
    auto n = static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 30000));
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(n) >> 8));
  }
  return out;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The 18-byte PCM format record (the last two bytes, the extra size, are 0).
std::vector<uint8_t> FormatRecord(int channels) {
  std::vector<uint8_t> f;
  PutLe(f, 1, 2);
  PutLe(f, channels, 2);
  PutLe(f, kRate, 4);
  PutLe(f, kRate * channels * 2, 4);
  PutLe(f, channels * 2, 2);
  PutLe(f, 16, 2);
  PutLe(f, 0, 2);
  return f;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool WriteWave(const std::string& path, const Sound& s) {
  std::vector<uint8_t> data = Pcm16(s), format = FormatRecord(s.channels), out;
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  PutLe(out, static_cast<uint32_t>(4 + 8 + format.size() + 8 + data.size()), 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(out, static_cast<uint32_t>(format.size()), 4);
  out.insert(out.end(), format.begin(), format.end());
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLe(out, static_cast<uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  return WriteBytes(path, out);
}

// A pack entry: data size, upper-case name and its zero, format size, the
// format record, the samples.
void AppendEntry(std::vector<uint8_t>& pack, const char* name, const Sound& s) {
  std::vector<uint8_t> data = Pcm16(s), format = FormatRecord(s.channels);
  PutLe(pack, static_cast<uint32_t>(data.size()), 4);
  pack.insert(pack.end(), name, name + std::char_traits<char>::length(name) + 1);
  PutLe(pack, static_cast<uint32_t>(format.size()), 4);
  pack.insert(pack.end(), format.begin(), format.end());
  pack.insert(pack.end(), data.begin(), data.end());
}

// The streamed piece: two seconds of introduction (a rising arpeggio), then
// six seconds of a loop of bells over a bass, left and right apart. The loop
// starts at LOOP.WAV's second 2.
Sound LoopPiece() {
  const double scale[] = {261.6, 329.6, 392.0, 523.3, 392.0, 329.6, 293.7, 349.2};
  return Make(8.0, 2, [&](double t, int c) {
    if (t < 2.0) {
      int step = static_cast<int>(t * 4);
      return 0.4 * Bell(t - step * 0.25, scale[step % 4] * (1 + step / 4)) * (c == 0 ? 1.0 : 0.6);
    }
    double u = t - 2.0;
    int step = static_cast<int>(u * 4);
    double bass = 0.25 * std::sin(kTau * (step / 8 % 2 ? 98.0 : 130.8) * u);
    double bell = 0.35 * Bell(u - step * 0.25, scale[step % 8]);
    return c == 0 ? bass + bell * 0.8 : bass * 0.6 + bell;
  });
}

struct Named {
  const char* name;
  Sound sound;
};

std::vector<Named> GameSounds() {
  Noise n;
  auto noisy = [&n](double brightness) { return n.Next(brightness); };
  return {
      {"swing", Make(0.16, 1, [&](double t, int) { return 0.9 * noisy(0.15 + t * 3) * std::sin(t / 0.16 * kTau / 2); })},
      {"launch", Make(0.22, 1, [](double t, int) { return 0.4 * Square(SweepPhase(t, 300, 1000, 0.22)) * Decay(t, 8); })},
      {"hit", Make(0.14, 1, [&](double t, int) { return (std::sin(SweepPhase(t, 220, 60, 0.14)) + 0.5 * noisy(0.6)) * Decay(t, 25); })},
      {"defeat", Make(0.4, 1, [&](double t, int) { return (0.5 * Square(SweepPhase(t, 700, 90, 0.4)) + 0.4 * noisy(0.3)) * Decay(t, 6); })},
      {"item", Make(0.35, 1, [](double t, int) { return 0.5 * (t < 0.08 ? Bell(t, 1046.5) : Bell(t - 0.08, 1568.0)); })},
      {"hurt", Make(0.22, 1, [](double t, int) { return 0.45 * Square(SweepPhase(t, 180, 120, 0.22)) * Decay(t, 10); })},
      {"arrow", Make(0.12, 1, [&](double t, int) { return 0.6 * noisy(0.9) * std::sin(SweepPhase(t, 2400, 1200, 0.12)) * Decay(t, 20); })},
      {"fireball", Make(0.45, 1, [&](double t, int) { return (0.8 * noisy(0.12) + 0.3 * std::sin(SweepPhase(t, 150, 60, 0.45))) * Decay(t, 5); })},
      {"breath", Make(0.9, 1, [&](double t, int) { return 0.9 * noisy(0.25) * std::min(1.0, t * 8) * std::exp(-t * 2.5); })},
      {"roar", Make(1.1, 1, [&](double t, int) {
         double growl = std::sin(SweepPhase(t, 90, 55, 1.1) + 2 * std::sin(kTau * 23 * t));
         return (0.6 * growl + 0.4 * noisy(0.2)) * std::min(1.0, t * 6) * std::exp(-t * 1.8);
       })},
      {"screen", Make(0.3, 1, [&](double t, int) { return 0.35 * noisy(0.05 + t) * std::sin(t / 0.3 * kTau / 2); })},
      {"gameover", Make(1.4, 1, [](double t, int) {
         const double notes[] = {392.0, 311.1, 261.6};
         int i = std::min(2, static_cast<int>(t / 0.35));
         return 0.5 * Square(kTau * notes[i] * t) * Decay(t - i * 0.35, i == 2 ? 2.5 : 6) * 0.6;
       })},
      {"clear", Make(1.2, 1, [](double t, int) {
         const double notes[] = {523.3, 659.3, 784.0, 1046.5};
         int i = std::min(3, static_cast<int>(t / 0.12));
         return 0.5 * Bell(t - i * 0.12, notes[i]);
       })},
  };
}

}  // namespace

bool MakeSounds(const std::string& gameFolder) {
  bool ok = true;
  for (const Named& s : GameSounds()) ok = ok && WriteWave(gameFolder + "/WAVE/" + s.name + ".wav", s.sound);

  // The showcase's own sounds: a plain tone for the sweeps, a bell, and the
  // long piece that plays as a stream.
  Sound tone = Make(0.6, 1, [](double t, int) { return 0.5 * std::sin(kTau * 440 * t) * std::min(1.0, (0.6 - t) * 50); });
  Sound bell = Make(0.8, 1, [](double t, int) { return 0.6 * Bell(t, 880); });
  ok = ok && WriteWave(gameFolder + "/WAVE/tone.wav", tone) && WriteWave(gameFolder + "/WAVE/bell.wav", bell);
  std::vector<uint8_t> pack;
  AppendEntry(pack, "TONE.WAV", tone);
  AppendEntry(pack, "BELL.WAV", bell);
  AppendEntry(pack, "LOOP.WAV", LoopPiece());
  return ok && WriteBytes(gameFolder + "/SOUND.PAK", pack);
}

}  // namespace gen
