// The shared fixture of the sound tests: a headless backend with the sound
// device open and the object table at its start-up values, WAVE files and
// packs written beside the test program, and the mixed output captured as
// the virtual clock advances.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/audio/audio_source.h"
#include "platform/headless/headless.h"
#include "platform/audio/mixer.h"
#include "platform/platform.h"
#include "shell/elsystem.h"
#include "sound/elsound.h"
#include "portable.h"

namespace soundtest {

inline void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A canonical PCM WAVE file; `sample(frame, channel)` gives each sample
// (an unsigned byte for 8 bits).
inline std::vector<uint8_t> MakeWave(int channels, int rate, int bits, int frames,
                                     const std::function<int(int, int)>& sample) {
  std::vector<uint8_t> f;
  int align = channels * bits / 8;
  uint32_t data = static_cast<uint32_t>(frames * align);
  f.insert(f.end(), {'R', 'I', 'F', 'F'});
  Put(f, 36 + data, 4);
  f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(f, 16, 4);
  Put(f, 1, 2);
  Put(f, static_cast<uint32_t>(channels), 2);
  Put(f, static_cast<uint32_t>(rate), 4);
  Put(f, static_cast<uint32_t>(rate * align), 4);
  Put(f, static_cast<uint32_t>(align), 2);
  Put(f, static_cast<uint32_t>(bits), 2);
  f.insert(f.end(), {'d', 'a', 't', 'a'});
  Put(f, data, 4);
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) Put(f, static_cast<uint32_t>(sample(i, c)), bits / 8);
  }
  return f;
}

inline std::string ProgramPath(const std::string& name) {
  return plat::ResolvePath((std::string(elSystem::GetProgramFolder(0)) + name).c_str());
}

inline void WriteFile(const std::string& realPath, const std::vector<uint8_t>& bytes) {
  std::ofstream out(realPath, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadFile(const std::string& realPath) {
  std::ifstream in(realPath, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A mono 16-bit sound whose every sample is (frame index mod 1000) + 1:
// output samples tell which source frame played.
inline int Ramp(int frame, int) { return frame % 1000 + 1; }

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Options options;
    options.backend = "headless";
    std::string error;
    ASSERT_TRUE(plat::Start(options, error)) << error;
    elSystem::StartTimer();
    elSystem::dt = 1.0f / 60.0f;
    elSound::ClearSoundTable();
    ASSERT_EQ(elSound::InitSound(), 1);
    // A test before may have chosen another output format.
    ASSERT_EQ(elSound::SelectFormat(2, 44, 16), 1);
    elSound::ClearSoundTable();
    elSound::packPath[0] = '\0';
    // Tests run side by side in several processes: each has a folder of
    // its own beside the program.
    folder_ = "zbs" + std::to_string(portable::ProcessId());
    std::filesystem::create_directories(ProgramPath(folder_));
  }

  void TearDown() override {
    EndCapture();
    elSound::ClearSoundTable();
    elSound::soundAvailable = 0;
    elSystem::StopTimer();
    plat::Stop();
    std::error_code ignored;
    std::filesystem::remove_all(ProgramPath(folder_), ignored);
  }

  // The name, relative to the program folder, of a file in the test's own
  // folder.
  std::string Rel(const std::string& name) const { return folder_ + "\\" + name; }

  // Writes a file into the test's folder.
  void WriteTestFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteFile(ProgramPath(Rel(name)), bytes);
  }

  // From now on everything mixed is kept; Captured() gives it as
  // interleaved stereo samples.
  void StartCapture() {
    capturePath_ = ProgramPath(Rel("capture.out"));
    std::string reason;
    ASSERT_TRUE(plat::OpenAudioDump(capturePath_.c_str(), reason)) << reason;
  }
  void EndCapture() {
    if (!capturePath_.empty()) plat::CloseAudioDump();
  }
  std::vector<int16_t> Captured() {
    EndCapture();
    std::vector<uint8_t> bytes = ReadFile(capturePath_);
    capturePath_.clear();
    std::vector<int16_t> out;
    for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
      out.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return out;
  }

  // Lets `ms` milliseconds of the virtual clock pass, as frames do.
  void Advance(uint32_t ms) { plat::headless::AdvanceClock(ms); }

 private:
  std::string folder_;
  std::string capturePath_;
};

}  // namespace soundtest
