// Music: FluidSynth rendering the field tune through the music source at
// 44.1 kHz stereo, the first open (the sound font load), and the audio cost
// of one 75 Hz frame with music playing against one without.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio/audio_source_pull.h"
#include "platform/audio/music.h"
#include "shell/elsystem.h"

namespace {

constexpr int kRate = 44100;
constexpr int kPeriod = 512;
constexpr int kFrameSamples = kRate / 75;  // 588 frames of audio per game frame

std::vector<uint8_t> ReadField() {
  std::string path = std::string(elSystem::GetProgramFolder(0)) + "MIDI\\field.mid";
  std::vector<uint8_t> bytes;
  if (FILE* f = plat::OpenFile(path.c_str(), "rb")) {
    uint8_t chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
  }
  return bytes;
}

// Starts the field tune; false (and the benchmark skipped) without a font.
bool StartField(benchmark::State& state) {
  static const std::vector<uint8_t> field = ReadField();
  if (plat::StartMusic() != plat::MusicStart::Ready || !plat::LoadMusic(field.data(), field.size())) {
    state.SkipWithError("no sound font or no MIDI\\field.mid");
    return false;
  }
  plat::PlayMusic(0, 0);
  return true;
}

void KeepPlaying() {
  if (!plat::MusicPlaying()) {
    plat::RewindMusic();
    plat::PlayMusic(0, 0);
  }
}

void BM_MusicRenderField(benchmark::State& state) {
  if (!StartField(state)) return;
  int16_t out[2 * kPeriod];
  int64_t frames = 0;
  for (auto _ : state) {
    plat::PullAudioSource(out, kPeriod);
    benchmark::DoNotOptimize(out);
    frames += kPeriod;
    KeepPlaying();
  }
  // Seconds of music per second of CPU: the "x real time" figure.
  state.counters["music_s_per_s"] =
      benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
  plat::UnloadMusic();
}
BENCHMARK(BM_MusicRenderField);

void BM_MusicFirstOpen(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    plat::EndMusic();
    state.ResumeTiming();
    if (plat::StartMusic() != plat::MusicStart::Ready) {
      state.SkipWithError("no sound font");
      break;
    }
  }
  state.SetLabel(plat::FindSoundFont());
}
BENCHMARK(BM_MusicFirstOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

// The audio of one game frame: nothing installed against the tune playing.
void BM_FrameAudio(benchmark::State& state) {
  bool withMusic = state.range(0) != 0;
  if (withMusic && !StartField(state)) return;
  int16_t out[2 * kFrameSamples];
  for (auto _ : state) {
    plat::PullAudioSource(out, kFrameSamples);
    benchmark::DoNotOptimize(out);
    if (withMusic) KeepPlaying();
  }
  plat::UnloadMusic();
}
BENCHMARK(BM_FrameAudio)->ArgName("music")->Arg(0)->Arg(1);

}  // namespace
