// The mixer: its fast loops against the plain reference, the decibel gains,
// saturation, the ring of a buffer, and the headless device on the clock.
#include <algorithm>
#include <cstring>
#include <random>
#include <thread>
#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "platform/audio/audio_source.h"
#include "platform/audio/mix_voice.h"
#include "platform/audio/mixer.h"
#include "shell/runcontrol.h"
#include "sound/sound_internal.h"
#include "sound_fixture.h"
#include "portable.h"

namespace {

using soundtest::SoundTest;

TEST(SoundMixer, FastLoopsGiveTheReferenceBitForBit) {
  std::mt19937 random(1234);
  for (int round = 0; round < 400; ++round) {
    int channels = 1 + static_cast<int>(random() % 2);
    int bits = random() % 2 ? 8 : 16;
    uint32_t frames = 1 + random() % 300;
    // The fast loops may read a few bytes past the last sample, as every
    // sound buffer has 32 bytes of silence behind its samples.
    const uint32_t bytes = frames * static_cast<uint32_t>(channels * bits / 8);
    std::vector<uint8_t> data(bytes + 32, bits == 8 ? 0x80 : 0);
    for (uint32_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(random());
    plat::MixVoice a;
    a.data = data.data();
    a.frames = frames;
    a.channels = channels;
    a.bits = bits;
    a.playing = true;
    a.looping = random() % 2;
    static const uint32_t kRates[] = {44100, 22050, 100, 100000, 30011, 44100};
    a.step = plat::MixStep(kRates[random() % 6], 44100);
    a.position = (static_cast<uint64_t>(random() % frames) << 32) | (random() % 3 ? 0 : random());
    plat::PanGains(static_cast<int>(random() % 20001) - 10000, a.gainLeft, a.gainRight);
    plat::MixVoice b = a;
    std::vector<float> fast(2 * 700, 0.5f), plain(2 * 700, 0.5f);
    for (int at = 0; at < 700;) {
      int n = 1 + static_cast<int>(random() % 200);
      if (at + n > 700) n = 700 - at;
      plat::MixVoiceInto(a, fast.data() + 2 * at, n);
      plat::MixVoiceReference(b, plain.data() + 2 * at, n);
      at += n;
    }
    ASSERT_EQ(std::memcmp(fast.data(), plain.data(), fast.size() * sizeof(float)), 0) << "round " << round;
    ASSERT_EQ(a.position, b.position);
    ASSERT_EQ(a.playing, b.playing);
  }
}

TEST(SoundMixer, GainsFollowTheirDecibels) {
  struct Case {
    int volume, pan;
    float left, right;
  } const kCases[] = {
      {0, 0, 1.0f, 1.0f},          {-600, 0, 0.501187f, 0.501187f},
      {-2000, 0, 0.1f, 0.1f},      {-10000, 0, 0.0f, 0.0f},
      {0, 1000, 0.316228f, 1.0f},  {0, -2000, 1.0f, 0.1f},
      {0, 10000, 0.0f, 1.0f},      {-600, -600, 0.501187f, 0.251189f},
  };
  for (const Case& c : kCases) {
    float l = 0, r = 0;
    plat::PanGains(c.pan, l, r);
    float g = plat::VolumeGain(c.volume);
    EXPECT_NEAR(g * l, c.left, 1e-5f) << c.volume << " " << c.pan;
    EXPECT_NEAR(g * r, c.right, 1e-5f) << c.volume << " " << c.pan;
  }
}

TEST(SoundMixer, OutputSaturatesAndFollowsTheFormat) {
  const float acc[] = {40000.0f, -40000.0f, 1000.7f, -1000.7f, 300.0f, 100.0f};
  int16_t out[6];
  plat::SaturateOutput(acc, out, 3, false, false);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), (std::vector<int16_t>{32767, -32768, 1000, -1000, 300, 100}));
  plat::SaturateOutput(acc, out, 3, true, false);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), (std::vector<int16_t>{0, 0, 0, 0, 200, 200}));
  plat::SaturateOutput(acc, out, 3, false, true);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), (std::vector<int16_t>{32512, -32768, 768, -1024, 256, 0}));
}

TEST_F(SoundTest, BufferRingLocksPositionsAndEnd) {
  int code = 0;
  plat::SoundBuffer b = plat::CreateSoundBuffer({2, 44100, 16}, 400, code);
  ASSERT_NE(b, 0);
  plat::LockedRegions r;
  ASSERT_TRUE(plat::LockSoundBuffer(b, 300, 200, r));
  EXPECT_EQ(r.firstBytes, 100u);
  EXPECT_EQ(r.secondBytes, 100u);
  EXPECT_FALSE(plat::LockSoundBuffer(b, 400, 4, r));
  EXPECT_EQ(plat::CreateSoundBuffer({0, 44100, 16}, 400, code), 0);
  EXPECT_EQ(code, plat::kAudioInvalidParam);

  // 100 frames played once at the output rate end after 100 frames of
  // output, with the position back at 0.
  plat::SetSoundBufferPosition(b, 40);
  uint32_t play = 0, write = 0;
  plat::GetSoundBufferPosition(b, play, write);
  EXPECT_EQ(play, 40u);
  plat::PlaySoundBuffer(b, false);
  int16_t out[2 * 200];
  plat::MixOutput(out, 89);
  EXPECT_TRUE(plat::SoundBufferPlaying(b));
  plat::MixOutput(out, 1);
  EXPECT_FALSE(plat::SoundBufferPlaying(b));
  plat::GetSoundBufferPosition(b, play, write);
  EXPECT_EQ(play, 0u);

  plat::SetSoundBufferFrequency(b, 5);
  EXPECT_EQ(plat::GetSoundBufferFrequency(b), 100u);
  plat::SetSoundBufferFrequency(b, 500000);
  EXPECT_EQ(plat::GetSoundBufferFrequency(b), 100000u);
  plat::ReleaseSoundBuffer(b);
}

// The virtual device makes one frame per 1/44100 s of the virtual clock,
// and the same calls give the same output in every run.
TEST_F(SoundTest, HeadlessDeviceRunsOnTheClockAndRepeats) {
  WriteTestFile("R.WAV", soundtest::MakeWave(1, 30011, 16, 5000, soundtest::Ramp));
  std::vector<int16_t> runs[2];
  for (auto& run : runs) {
    int slot = elSound::LoadObject(Rel("R.WAV").c_str(), 2);
    ASSERT_GE(slot, 0);
    StartCapture();
    elSound::PanSet(slot, -7, -1);
    elSound::PlayObject(slot, 0);
    Advance(30);
    elSound::FrequencyAdd(slot, 50, 0);
    Advance(70);
    run = Captured();
    elSound::FreeObject(slot);
  }
  EXPECT_NEAR(static_cast<double>(runs[0].size()), 2 * 4410.0, 2.0);
  EXPECT_EQ(runs[0], runs[1]);
}

// The music source is added into the mix with saturation; once removed it
// is not called again.
TEST_F(SoundTest, AudioSourceIsMixedInAndRemoved) {
  static int calls = 0;
  calls = 0;
  auto render = [](void*, int16_t* out, int frames) {
    ++calls;
    for (int i = 0; i < 2 * frames; ++i) out[i] = 30000;
  };
  EXPECT_EQ(plat::AudioOutputRate(), 44100);
  int code = 0;
  plat::SoundBuffer b = plat::CreateSoundBuffer({1, 44100, 16}, 2000, code);
  plat::LockedRegions r;
  ASSERT_TRUE(plat::LockSoundBuffer(b, 0, 2000, r));
  for (uint32_t i = 0; i < r.firstBytes; i += 2) r.first[i + 1] = 0x10;  // 4096
  plat::PlaySoundBuffer(b, true);
  plat::SetAudioSource(render, nullptr);
  int16_t out[2 * 64];
  plat::MixOutput(out, 64);
  EXPECT_GT(calls, 0);
  EXPECT_EQ(out[0], 32767);
  plat::SetAudioSource(nullptr, nullptr);
  int before = calls;
  plat::MixOutput(out, 64);
  EXPECT_EQ(calls, before);
  EXPECT_EQ(out[0], 4096);
  plat::ReleaseSoundBuffer(b);
}

// A source that reads the clock while it is mixed (music posting its end
// notice does) must not set off another mix inside the mix, which holds the
// mixer's lock: it is mixed once a period, never within itself.
TEST_F(SoundTest, ASourceReadingTheClockIsNotMixedWithinItself) {
  static int calls = 0, depth = 0, deepest = 0;
  calls = depth = deepest = 0;
  auto render = [](void*, int16_t* out, int frames) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    plat::TimeGetTime();
    std::fill(out, out + 2 * frames, int16_t{0});
    --depth;
  };
  plat::SetAudioSource(render, nullptr);
  Advance(20);
  plat::SetAudioSource(nullptr, nullptr);
  EXPECT_GT(calls, 0);
  EXPECT_EQ(deepest, 1);
}

}  // namespace

namespace {

// --audio-dump reaches the platform, and the file it names is a 16-bit
// stereo WAVE file at the output rate holding every frame mixed.
TEST(SoundDump, CommandLineToWaveFile) {
  const char* argv[] = {"zolbeck", "--audio-dump", "out.wav"};
  shell::CommandLine line;
  std::string error;
  ASSERT_TRUE(shell::ParseCommandLine(3, argv, line, error));
  EXPECT_EQ(line.audioDump, "out.wav");
  EXPECT_FALSE(shell::ParseCommandLine(2, argv, line, error));

  std::string path = (std::filesystem::temp_directory_path() / ("zbsound-dump-" + std::to_string(portable::ProcessId()) + ".wav")).string();
  plat::Options options;
  options.backend = "headless";
  options.audioDump = path.c_str();
  ASSERT_TRUE(plat::Start(options, error)) << error;
  ASSERT_TRUE(plat::OpenAudio({2, 22050, 16}));
  plat::headless::AdvanceClock(100);
  plat::Stop();
  std::vector<uint8_t> f = soundtest::ReadFile(path);
  std::remove(path.c_str());
  ASSERT_EQ(f.size(), 44u + 2205 * 4);
  auto u32 = [&](size_t at) { return elSound::ReadLe32(f.data() + at); };
  EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), 36u + 2205 * 4);
  EXPECT_EQ(u32(24), 22050u);                   // rate
  EXPECT_EQ(u32(28), 22050u * 4);               // bytes per second
  EXPECT_EQ(u32(20), 1u | (2u << 16));          // PCM, two channels
  EXPECT_EQ(u32(32), 4u | (16u << 16));         // 4-byte frames of 16 bits
  EXPECT_EQ(u32(40), 2205u * 4);
}

// The sizes of the header: exact while they fit in 32 bits, the largest
// size (a WAVE stream's) past that or when the length is not known.
TEST(SoundDump, HeaderSizesFitOrSayUnknown) {
  const struct {
    uint64_t frames;
    uint32_t riff, data;
  } cases[] = {
      {0, 36, 0},
      {2205, 36 + 2205 * 4, 2205 * 4},
      {1073741814, 0xFFFFFFFCu, 0xFFFFFFD8u},  // the longest that fits
      {1073741815, 0xFFFFFFFFu, 0xFFFFFFFFu},
      {1900000ull * 13 * 441 / 10, 0xFFFFFFFFu, 0xFFFFFFFFu},  // 1.9 million frames of the game
      {plat::kDumpLengthUnknown, 0xFFFFFFFFu, 0xFFFFFFFFu},
  };
  for (const auto& c : cases) {
    uint8_t h[plat::kDumpHeaderSize];
    plat::MakeDumpHeader(h, c.frames, 44100);
    EXPECT_EQ(elSound::ReadLe32(h + 4), c.riff) << c.frames;
    EXPECT_EQ(elSound::ReadLe32(h + 40), c.data) << c.frames;
    EXPECT_EQ(elSound::ReadLe32(h + 24), 44100u);
  }
}

#if !defined(_WIN32)
// An output that cannot seek (here a pipe) gets one header, of unknown
// length, before the samples, and nothing after them; with no samples at
// all, one header that says so.
TEST(SoundDump, AnOutputThatCannotSeekGetsOneHeader) {
  for (bool sound : {true, false}) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string got;
    std::thread reader([&] {
      char buffer[4096];
      ssize_t n;
      while ((n = read(ends[0], buffer, sizeof buffer)) > 0) got.append(buffer, static_cast<size_t>(n));
    });
    const std::string path = "/proc/self/fd/" + std::to_string(ends[1]);
    plat::Options options;
    options.backend = "headless";
    options.audioDump = path.c_str();
    std::string error;
    EXPECT_TRUE(plat::Start(options, error)) << error;
    if (sound) {
      EXPECT_TRUE(plat::OpenAudio({2, 22050, 16}));
    }
    plat::headless::AdvanceClock(100);
    EXPECT_TRUE(plat::FinishAudioDump(error)) << error;
    plat::Stop();
    close(ends[1]);
    reader.join();
    close(ends[0]);
    const uint32_t frames = sound ? 2205 : 0;
    ASSERT_EQ(got.size(), 44u + frames * 4);
    const auto* h = reinterpret_cast<const uint8_t*>(got.data());
    EXPECT_EQ(got.compare(0, 4, "RIFF"), 0);
    EXPECT_EQ(elSound::ReadLe32(h + 4), sound ? 0xFFFFFFFFu : 36u);
    EXPECT_EQ(elSound::ReadLe32(h + 40), sound ? 0xFFFFFFFFu : 0u);
    EXPECT_EQ(elSound::ReadLe32(h + 24), sound ? 22050u : 44100u);
  }
}
#endif

}  // namespace
