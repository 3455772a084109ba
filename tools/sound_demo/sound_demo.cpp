// A small program on the game library that plays every kind of sound it
// offers, on a fixed timeline, so that a run with --audio-dump can be
// measured: an echo, a click panned left then right, a tone an octave up,
// then a streamed sound played once to its end.
//
//   zolbeck_sound_demo --headless --frames 900 --audio-dump demo.wav
//
// It writes its sounds into the folder "DEMOSND" beside itself and packs
// them into "DEMOSND.PAK".
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/elsystem.h>
#include <zolbeck/program.h>
#include <zolbeck/elsound.h>

namespace {

int tone = -1, click = -1, music = -1;
int frame = 0;

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 16-bit WAVE file of `frames` frames; `sample(i, channel)` gives the values.
template <typename Sample>
void WriteWave(const std::string& name, int channels, int rate, int frames, Sample sample) {
  std::vector<uint8_t> f;
  uint32_t data = static_cast<uint32_t>(frames * channels * 2);
  f.insert(f.end(), {'R', 'I', 'F', 'F'});
  Put(f, 36 + data, 4);
  f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(f, 16, 4);
  Put(f, 1, 2);
  Put(f, static_cast<uint32_t>(channels), 2);
  Put(f, static_cast<uint32_t>(rate), 4);
  Put(f, static_cast<uint32_t>(rate * channels * 2), 4);
  Put(f, static_cast<uint32_t>(channels * 2), 2);
  Put(f, 16, 2);
  f.insert(f.end(), {'d', 'a', 't', 'a'});
  Put(f, data, 4);
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) Put(f, static_cast<uint16_t>(sample(i, c)), 2);
  }
  std::string path = std::string(elSystem::GetProgramFolder(0)) + name;
  if (FILE* out = plat::OpenFile(path.c_str(), "wb")) {
    std::fwrite(f.data(), 1, f.size(), out);
    std::fclose(out);
  }
}

int16_t Sine(double hz, int i, int rate, double level) {
  return static_cast<int16_t>(std::lround(level * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate)));
}

void Load() {
  std::string folder = plat::ResolvePath((std::string(elSystem::GetProgramFolder(0)) + "DEMOSND").c_str());
  // A file of that name (or a folder that cannot be written) ends the run
  // with one line after the error box, before anything is written.
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error)) {
    const std::string message = "cannot be made a folder: " + (error ? error.message() : "a file has that name");
    elDraw::Error("DEMOSND", message.c_str());
    return;
  }
  // A 440 Hz blip of 0.1 s at 22.05 kHz, a 2 ms click, and 6 s of music:
  // 330 Hz on the left and 495 Hz on the right.
  WriteWave("DEMOSND\\TONE.WAV", 1, 22050, 2205, [](int i, int) { return Sine(440, i, 22050, 0.5); });
  WriteWave("DEMOSND\\CLICK.WAV", 1, 44100, 88, [](int, int) { return int16_t{16000}; });
  WriteWave("DEMOSND\\MUSIC.WAV", 2, 44100, 6 * 44100,
            [](int i, int c) { return Sine(c == 0 ? 330 : 495, i, 44100, 0.25); });
  elSound::MakePack("DEMOSND.PAK", "DEMOSND", 1);
  elSound::SetPackFile("DEMOSND.PAK");
  tone = elSound::LoadObject("DEMOSND\\TONE.WAV", 4);
  click = elSound::LoadPack("click.wav", 1);
  music = elSound::LoadStream("MUSIC.WAV", 0);
}

void Frame() {
  if (elDraw::QuitOnError()) return;
  switch (frame) {
    case 0: elSound::PlayObject(tone, -2); break;  // the echo: 3 repeats, 10 dB apart
    case 75:
      elSound::PanLeft(click, -1);
      elSound::PlayObject(click, 0);
      break;
    case 100:
      elSound::PanRight(click, -1);
      elSound::PlayObject(click, 0);
      break;
    case 125:
      elSound::VolumeReset(tone, 0);
      elSound::FrequencySet(tone, 22050 / 100, 0);  // 22050 + 22050: an octave up
      elSound::PlayObject(tone, 0);
      break;
    case 150: elSound::PlayObject(music, 0); break;
    default: break;
  }
  elSound::Echo(tone, 200, 3, 10);
  elSound::Streaming();
  ++frame;
}

}  // namespace

int main(int argc, char** argv) {
  programLoad = Load;
  programFrame = Frame;
  shell::ProgramInfo info;
  info.name = "zolbeck_sound_demo";
  info.title = "zolbeck sound demo";
  info.summary = "Plays an echo, pans, a frequency change and a stream on a fixed timeline.";
  return shell::RunProgram(argc, argv, info);
}
