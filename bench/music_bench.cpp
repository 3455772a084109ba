// Music: FluidSynth rendering the field tune through the music source at
// 44.1 kHz stereo, the first open (the sound font load), the audio cost of
// one 75 Hz frame with music playing against one without, and the cost of a
// block of music for the shipped tune against a 4 MiB file of the same tune
// repeated (a long piece must cost no more a block than a short one).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio/audio_source_pull.h"
#include "platform/audio/music.h"
#include "shell/elsystem.h"
#include "sound/mci.h"

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

uint32_t Big32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// The tune played `size` bytes long: each track's events again and again,
// its end-of-track event turned into an empty text event with the same
// delta time, so that every part keeps time with the others.
std::vector<uint8_t> Lengthened(const std::vector<uint8_t>& tune, size_t size) {
  int tracks = (tune[10] << 8) | tune[11];
  std::vector<std::vector<uint8_t>> bodies;
  size_t at = 14;
  for (int i = 0; i < tracks; ++i) {
    uint32_t length = Big32(&tune[at + 4]);
    // The generator ends every track with its end-of-track event: FF 2F 00.
    std::vector<uint8_t> body(tune.begin() + static_cast<long>(at + 8),
                              tune.begin() + static_cast<long>(at + 8 + length));
    body[body.size() - 2] = 0x01;
    bodies.push_back(body);
    at += 8 + length;
  }
  size_t perPass = at - 14;
  size_t passes = size / perPass + 1;
  std::vector<uint8_t> out(tune.begin(), tune.begin() + 14);
  for (const std::vector<uint8_t>& body : bodies) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBig32(out, static_cast<uint32_t>(body.size() * passes + 4));
    for (size_t p = 0; p < passes; ++p) out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), {0x00, 0xFF, 0x2F, 0x00});
  }
  return out;
}

// Starts a piece; false (and the benchmark skipped) without a font.
bool StartPiece(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  elSound::MidiPiece piece;
  if (bytes.empty() || !elSound::ReadMidiFile(bytes.data(), bytes.size(), piece) ||
      plat::StartMusic() != plat::MusicStart::Ready ||
      !plat::LoadMusic(bytes.data() + piece.offset, piece.length, piece.lastTick)) {
    state.SkipWithError("no sound font or no MIDI\\field.mid");
    return false;
  }
  plat::PlayMusic(0, 0);
  return true;
}

const std::vector<uint8_t>& Field() {
  static const std::vector<uint8_t> field = ReadField();
  return field;
}

bool StartField(benchmark::State& state) { return StartPiece(state, Field()); }

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

// One block of the synthesiser (64 frames) of the shipped tune (piece 0)
// against the same tune lengthened to 4 MiB (piece 1). The first block, in
// which the player reads the file, is not timed.
void BM_MusicBlock(benchmark::State& state) {
  constexpr int kBlock = 64;
  static const std::vector<uint8_t> big = Field().empty() ? Field() : Lengthened(Field(), 4u << 20);
  if (!StartPiece(state, state.range(0) ? big : Field())) return;
  int16_t out[2 * kBlock];
  plat::PullAudioSource(out, kBlock);
  for (auto _ : state) {
    plat::PullAudioSource(out, kBlock);
    benchmark::DoNotOptimize(out);
    KeepPlaying();
  }
  state.SetLabel(std::to_string((state.range(0) ? big : Field()).size()) + " bytes");
  plat::UnloadMusic();
}
BENCHMARK(BM_MusicBlock)->ArgName("piece")->Arg(0)->Arg(1);

}  // namespace
