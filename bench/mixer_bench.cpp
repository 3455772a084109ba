// The mixer against SDL's own audio tools, on the same sources in the same
// run: 32 or 64 looping voices, half 16-bit stereo at 44.1 kHz and half
// 8-bit mono at 22.05 kHz, each with its own volume and pan, half of them at
// a changed frequency, mixed into 44.1 kHz 16-bit stereo in periods of 512
// frames. The counter `realtime` is seconds of audio per second of CPU.
//
// Compare Ours/32 with Sdl/32: SDL_MixAudioFormat for every voice, and an
// SDL_AudioStream for each voice that needs converting (it has no pan, so it
// does less work than ours).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/audio/mix_voice.h"
#include "platform/audio/mixer.h"

namespace {

constexpr int kOutputRate = 44100;
constexpr int kPeriod = 512;

struct Source {
  plat::PcmFormat format;
  std::vector<uint8_t> bytes;
  uint32_t frequency;
  int volume, pan;
};

// One second of noise-like samples per voice, repeatable.
std::vector<Source> Sources(int voices) {
  std::vector<Source> out;
  uint32_t seed = 7;
  for (int i = 0; i < voices; ++i) {
    Source s;
    bool stereo16 = i % 2 == 0;
    s.format = stereo16 ? plat::PcmFormat{2, 44100, 16} : plat::PcmFormat{1, 22050, 8};
    s.bytes.resize(static_cast<size_t>(s.format.rate * s.format.BlockAlign()));
    for (uint8_t& b : s.bytes) {
      seed = seed * 1103515245u + 12345u;
      b = static_cast<uint8_t>(seed >> 20);
    }
    bool changed = (i / 2) % 2 == 1;
    s.frequency = static_cast<uint32_t>(s.format.rate) + (changed ? 3001u + 97u * static_cast<uint32_t>(i) : 0u);
    s.volume = -100 * (i % 20);
    s.pan = (i * 733) % 20001 - 10000;
    out.push_back(std::move(s));
  }
  return out;
}

void Ours(benchmark::State& state) {
  int voices = static_cast<int>(state.range(0));
  std::vector<plat::SoundBuffer> buffers;
  for (const Source& s : Sources(voices)) {
    int code = 0;
    plat::SoundBuffer b = plat::CreateSoundBuffer(s.format, static_cast<uint32_t>(s.bytes.size()), code);
    plat::LockedRegions r;
    plat::LockSoundBuffer(b, 0, static_cast<uint32_t>(s.bytes.size()), r);
    std::copy(s.bytes.begin(), s.bytes.end(), r.first);
    plat::SetSoundBufferFrequency(b, s.frequency);
    plat::SetSoundBufferVolume(b, s.volume);
    plat::SetSoundBufferPan(b, s.pan);
    plat::PlaySoundBuffer(b, true);
    buffers.push_back(b);
  }
  std::vector<int16_t> out(2 * kPeriod);
  for (auto _ : state) {
    plat::MixOutput(out.data(), kPeriod);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kPeriod / kOutputRate, benchmark::Counter::kIsRate);
  for (plat::SoundBuffer b : buffers) plat::ReleaseSoundBuffer(b);
}

struct SdlVoice {
  const Source* source;
  SDL_AudioStream* stream = nullptr;  // null: mixed straight from the source
  size_t at = 0;
  int volume = 128;
};

void Sdl(benchmark::State& state) {
  int voices = static_cast<int>(state.range(0));
  std::vector<Source> sources = Sources(voices);
  std::vector<SdlVoice> mix;
  for (const Source& s : sources) {
    SdlVoice v{&s};
    v.volume = static_cast<int>(128.0 * plat::VolumeGain(s.volume));
    if (s.format.channels != 2 || s.format.bits != 16 || s.frequency != kOutputRate) {
      v.stream = SDL_NewAudioStream(s.format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB,
                                    static_cast<Uint8>(s.format.channels), static_cast<int>(s.frequency),
                                    AUDIO_S16LSB, 2, kOutputRate);
    }
    mix.push_back(v);
  }
  std::vector<int16_t> out(2 * kPeriod), converted(2 * kPeriod);
  const int periodBytes = 4 * kPeriod;
  for (auto _ : state) {
    std::fill(out.begin(), out.end(), 0);
    for (SdlVoice& v : mix) {
      const std::vector<uint8_t>& src = v.source->bytes;
      if (!v.stream) {
        if (v.at + periodBytes > src.size()) v.at = 0;
        SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), src.data() + v.at, AUDIO_S16LSB,
                           static_cast<Uint32>(periodBytes), v.volume);
        v.at += periodBytes;
        continue;
      }
      // Feed the converter until it holds a period, then mix what it gives.
      while (SDL_AudioStreamAvailable(v.stream) < periodBytes) {
        size_t piece = 1024 * static_cast<size_t>(v.source->format.BlockAlign());
        if (v.at + piece > src.size()) v.at = 0;
        SDL_AudioStreamPut(v.stream, src.data() + v.at, static_cast<int>(piece));
        v.at += piece;
      }
      SDL_AudioStreamGet(v.stream, converted.data(), periodBytes);
      SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<Uint8*>(converted.data()),
                         AUDIO_S16LSB, static_cast<Uint32>(periodBytes), v.volume);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kPeriod / kOutputRate, benchmark::Counter::kIsRate);
  for (SdlVoice& v : mix) {
    if (v.stream) SDL_FreeAudioStream(v.stream);
  }
}

BENCHMARK(Ours)->Arg(32)->Arg(64);
BENCHMARK(Sdl)->Arg(32)->Arg(64);

}  // namespace
