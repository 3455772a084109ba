// Sound objects: loading into the 70 slots, playing in turn, the settings
// and their clamps, the pack, the echo, pausing, the output format and a
// system sound in between.
#include <cstdlib>

#include "sound/sound_internal.h"
#include "sound_fixture.h"
#include "portable.h"

namespace {

using elSound::SoundTable;
using soundtest::SoundTest;

std::string Box(const char* caption, const char* message) { return std::string(caption) + " : " + message; }

// A mono 16-bit sound at 22050 samples per second holding `level` for
// `frames` frames.
std::vector<uint8_t> Flat(int level, int frames, int rate = 22050) {
  return soundtest::MakeWave(1, rate, 16, frames, [level](int, int) { return level; });
}

class SoundObjects : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    WriteTestFile("FLAT.WAV", Flat(10000, 1103));  // 50 ms
  }
  int Load(int n) { return elSound::LoadObject(Rel("FLAT.WAV").c_str(), n); }
};

TEST_F(SoundObjects, MixCountsAndSlots) {
  struct Case {
    int n, slot, buffers, echo;
  } const kCases[] = {{3, 0, 3, 0}, {-3, 1, 3, -1}, {1, 2, 1, -1}, {0, 3, 1, -1}, {11, -1, 0, 0}, {-11, -1, 0, 0}};
  for (const Case& c : kCases) {
    EXPECT_EQ(Load(c.n), c.slot) << c.n;
    if (c.slot < 0) {
      EXPECT_EQ(plat::headless::LastBoxText(), Box("elSound::LoadObject", "ミックス数が多過ぎます"));
      continue;
    }
    EXPECT_EQ(SoundTable[c.slot].bufferCount, c.buffers) << c.n;
    EXPECT_EQ(SoundTable[c.slot].echoCounter, c.echo) << c.n;
    EXPECT_EQ(SoundTable[c.slot].baseFrequency, 22050u);
  }
  elSound::PlayObject(1, -2);  // a negative mix count allows no echo
  EXPECT_EQ(SoundTable[1].echoCounter, -1);

  while (Load(1) >= 0) {
  }
  EXPECT_EQ(plat::headless::LastBoxText(), Box("elSound::LoadObject", "オブジェクト数が多過ぎます"));
  elSound::FreeObject(40);
  elSound::FreeObject(12);
  EXPECT_EQ(SoundTable[12].bufferCount, 1);
  EXPECT_EQ(Load(2), 12);
  EXPECT_EQ(Load(2), 40);

  elSound::FreeObject(5);
  EXPECT_EQ(elSound::LoadObject("NOSUCH.WAV", 1), -1);
  EXPECT_EQ(plat::headless::LastBoxText(), Box("elSound::LoadObject", "WAVEリソースが見つかりません"));
  EXPECT_EQ(elSound::LoadObject("A234567890123456789012345678901.WAV", 1), -1);
  EXPECT_EQ(plat::headless::LastBoxText(), Box("elSound::LoadObject", "ファイル名またはリソース名が長すぎます"));
  EXPECT_FALSE(SoundTable[5].inUse);  // refused before anything was loaded
}

TEST_F(SoundObjects, PlayingInTurnRestartsTheOldest) {
  int slot = Load(3);
  for (int i = 0; i < 4; ++i) {
    elSound::PlayObject(slot, -1);
    Advance(10);
  }
  uint32_t at[3], write = 0;
  for (int j = 0; j < 3; ++j) plat::GetSoundBufferPosition(SoundTable[slot].buffers[j], at[j], write);
  // Buffer 0 started again 10 ms ago; 1 and 2 have played 30 and 20 ms
  // (441 bytes each 10 ms at 22050 samples of 2 bytes a second).
  EXPECT_NEAR(at[0], 441u, 2);
  EXPECT_NEAR(at[1], 3 * 441u, 2);
  EXPECT_NEAR(at[2], 2 * 441u, 2);
  EXPECT_EQ(SoundTable[slot].nextBuffer, 1);
  elSound::PlayObject(slot, 7);  // no such buffer: nothing happens
  EXPECT_EQ(SoundTable[slot].nextBuffer, 1);
}

TEST_F(SoundObjects, SettingsAndTheirClamps) {
  int slot = Load(3);
  using namespace elSound;
  auto volumes = [&] { return std::vector<int>(SoundTable[slot].volume, SoundTable[slot].volume + 3); };
  auto pans = [&] { return std::vector<int>(SoundTable[slot].pan, SoundTable[slot].pan + 3); };
  auto frequencies = [&] {
    return std::vector<int>(SoundTable[slot].frequency, SoundTable[slot].frequency + 3);
  };
  VolumeAdd(slot, 10, -1);
  EXPECT_EQ(volumes(), (std::vector<int>{0, 0, 0}));
  VolumeAdd(slot, -50, -1);
  EXPECT_EQ(volumes(), (std::vector<int>{-5000, -5000, -5000}));
  VolumeAdd(slot, -60, -1);
  EXPECT_EQ(volumes(), (std::vector<int>{-10000, -10000, -10000}));
  VolumeSet(slot, -3, -2);  // the next buffer in turn only
  VolumeReset(slot, 2);
  EXPECT_EQ(volumes(), (std::vector<int>{-300, -10000, 0}));

  PanAdd(slot, 150, -1);
  EXPECT_EQ(pans(), (std::vector<int>{10000, 10000, 10000}));
  PanLeft(slot, 1);
  PanSet(slot, -7, 2);
  EXPECT_EQ(pans(), (std::vector<int>{10000, -10000, -700}));
  PanReset(slot, -3);
  EXPECT_EQ(pans(), (std::vector<int>{0, 0, 0}));

  FrequencyAdd(slot, -300, 0);
  FrequencyAdd(slot, 2000, 1);
  FrequencySet(slot, 7, 2);
  EXPECT_EQ(frequencies(), (std::vector<int>{100, 100000, 22750}));
  EXPECT_EQ(plat::GetSoundBufferFrequency(SoundTable[slot].buffers[0]), 100u);
  FrequencySet(slot, 0, -1);
  EXPECT_EQ(frequencies(), (std::vector<int>{22050, 22050, 22050}));
  FrequencyAdd(slot, 9, -1);
  FrequencyReset(slot, -1);
  EXPECT_EQ(frequencies(), (std::vector<int>{22050, 22050, 22050}));
}

TEST_F(SoundObjects, PackLayoutAndNames) {
  WriteTestFile("zz.wav", Flat(-5, 3));
  WriteTestFile("NOTE.TXT", {1, 2, 3});
  WriteTestFile("BAD.WAV", {'R', 'I', 'F', 'F'});
  EXPECT_EQ(elSound::MakePack(Rel("T.PAK").c_str(), Rel("").substr(0, Rel("").size() - 1).c_str(), 1), 1);
  // FLAT.WAV then ZZ.WAV (BAD.WAV is no WAVE file and is left out).
  std::vector<uint8_t> pack = soundtest::ReadFile(soundtest::ProgramPath(Rel("T.PAK")));
  std::vector<uint8_t> zz = Flat(-5, 3);
  std::vector<uint8_t> expected;
  soundtest::Put(expected, 6, 4);
  for (char c : std::string("ZZ.WAV")) expected.push_back(static_cast<uint8_t>(c));
  expected.push_back(0);
  soundtest::Put(expected, 18, 4);
  expected.insert(expected.end(), zz.begin() + 20, zz.begin() + 36);  // the 16-byte record
  soundtest::Put(expected, 0, 2);                                      // extra size
  expected.insert(expected.end(), zz.begin() + 44, zz.end());
  ASSERT_EQ(pack.size(), 4 + 9 + 4 + 18 + 2206 + expected.size());
  EXPECT_EQ(std::vector<uint8_t>(pack.end() - static_cast<long>(expected.size()), pack.end()), expected);

  elSound::SetPackFile(Rel("T.PAK").c_str());
  int slot = elSound::LoadPack("zz.wav", 2);
  ASSERT_GE(slot, 0);
  EXPECT_TRUE(SoundTable[slot].fromPack);
  EXPECT_STREQ(SoundTable[slot].name, "zz.wav");
  EXPECT_GE(elSound::LoadPack("flat.WAV", 1), 0);

  // An entry stored in lower case is never found.
  std::vector<uint8_t> lower = pack;
  for (size_t i = 4; i < 12; ++i) lower[i] = static_cast<uint8_t>(std::tolower(lower[i]));
  WriteTestFile("L.PAK", lower);
  elSound::SetPackFile(Rel("L.PAK").c_str());
  EXPECT_EQ(elSound::LoadPack("flat.wav", 1), -1);
  EXPECT_EQ(plat::headless::LastBoxText(), Box("elSound::LoadPack", "WAVEファイルを読み込めません"));
  EXPECT_GE(elSound::LoadPack("ZZ.WAV", 1), 0);

  // A pack cut inside an entry's samples.
  WriteTestFile("CUT.PAK", std::vector<uint8_t>(pack.begin(), pack.begin() + 100));
  elSound::SetPackFile(Rel("CUT.PAK").c_str());
  EXPECT_EQ(elSound::LoadPack("FLAT.WAV", 1), -1);
  elSound::SetPackFile(Rel("NONE.PAK").c_str());
  EXPECT_EQ(elSound::LoadPack("FLAT.WAV", 1), -1);
  EXPECT_EQ(plat::headless::LastBoxText(), Box("elSound::LoadPack", "パックファイル名が指定されていません"));
}

// The echo after PlayObject (slot, -2): one sound at full level, then three
// on the next buffers in turn, 10 dB lower each time, 200 ms apart.
TEST_F(SoundObjects, EchoTimesAndLevels) {
  int slot = Load(4);
  StartCapture();
  elSound::PlayObject(slot, -2);
  int fired[4] = {}, calls = 0;
  for (int frame = 1; frame <= 60; ++frame) {
    Advance(frame % 3 == 0 ? 16 : 17);  // 1/60 s on average
    int before = SoundTable[slot].echoCounter;
    elSound::Echo(slot, 200, 3, 10);
    if (SoundTable[slot].echoCounter != before) fired[calls++ % 4] = frame;
  }
  // 16.67 ms a frame: the timer passes 200 ms on the 13th frame (float sums
  // stay just below 200 after 12).
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(SoundTable[slot].echoCounter, 0);
  EXPECT_EQ(std::vector<int>(SoundTable[slot].volume, SoundTable[slot].volume + 4),
            (std::vector<int>{0, -1000, -2000, -3000}));
  std::vector<int16_t> out = Captured();
  for (int k = 0; k < 4; ++k) {
    int start = k == 0 ? 0 : fired[k - 1];
    // 25 ms into each sound: 10000 at its level.
    size_t at = static_cast<size_t>((start * 1000 / 60 + 25) * 44.1) * 2;
    ASSERT_LT(at, out.size());
    EXPECT_NEAR(out[at], 10000.0 * std::pow(10.0, -k * 0.5), 1.0) << k;
    EXPECT_EQ(out[at], out[at + 1]);
  }
  EXPECT_NEAR(fired[0] * 1000.0 / 60, 200, 17);
  EXPECT_NEAR(fired[2] * 1000.0 / 60, 600, 40);
}

TEST_F(SoundObjects, EchoPanSwingsAndTurnsAtThirty) {
  int slot = Load(4);
  std::srand(1);
  elSound::PlayObject(slot, -2);
  int direction = SoundTable[slot].echoDirection;
  // The pan as the library reckons it, in float, step by step.
  float pan = 0.0f;
  int widest = 0;
  for (int k = 0; k < 9; ++k) {
    elSound::EchoPan(slot, 0, 20, 1, 6);
    pan += static_cast<float>(direction) * elSystem::dt * 100.0f * 6.0f;
    if (pan < -30.0f || pan > 30.0f) {
      pan = pan < 0 ? -30.0f : 30.0f;
      direction = -direction;
    }
    int played = (SoundTable[slot].nextBuffer + 3) % 4;
    EXPECT_EQ(SoundTable[slot].pan[played], static_cast<int>(pan) * 100) << k;
    widest = std::max(widest, std::abs(SoundTable[slot].pan[played]));
  }
  EXPECT_EQ(widest, 3000);
}

TEST_F(SoundObjects, PauseTogglesPlayingAndIdleBuffers) {
  int slot = Load(2);
  elSound::PlayObject(slot, 0);
  Advance(20);
  elSound::PauseObject(slot, -1);
  int b0 = SoundTable[slot].buffers[0], b1 = SoundTable[slot].buffers[1];
  EXPECT_FALSE(plat::SoundBufferPlaying(b0));
  EXPECT_TRUE(plat::SoundBufferPlaying(b1));
  EXPECT_NEAR(SoundTable[slot].pausedPosition[0], 882u, 2);
  Advance(10);
  elSound::PauseObject(slot, -1);
  EXPECT_TRUE(plat::SoundBufferPlaying(b0));
  EXPECT_FALSE(plat::SoundBufferPlaying(b1));
  uint32_t play = 0, write = 0;
  plat::GetSoundBufferPosition(b0, play, write);
  EXPECT_EQ(play, SoundTable[slot].pausedPosition[0]);
  EXPECT_NEAR(SoundTable[slot].pausedPosition[1], 441u, 2);
}

TEST_F(SoundObjects, SelectFormatRebuildsInTheNewFormat) {
  int slot = Load(2);
  elSound::VolumeSet(slot, -6, -1);
  elSound::FrequencySet(slot, 10, 1);
  struct Case {
    int channels, code, bits, rate;
  } const kCases[] = {{2, 22, 16, 22050}, {1, 8, 8, 8000}, {2, 11, 16, 11025}, {2, 48000, 16, 48000}, {2, 44, 16, 44100}};
  for (const Case& c : kCases) {
    EXPECT_EQ(elSound::SelectFormat(c.channels, c.code, c.bits), 1);
    plat::PcmFormat f = plat::AudioFormat();
    EXPECT_EQ(f.rate, c.rate);
    EXPECT_EQ(f.BlockAlign(), c.channels * c.bits / 8);
    EXPECT_EQ(plat::AudioOutputRate(), c.rate);
    EXPECT_NE(SoundTable[slot].buffers[1], 0);
    EXPECT_EQ(plat::GetSoundBufferFrequency(SoundTable[slot].buffers[1]), 23050u);
    EXPECT_EQ(SoundTable[slot].volume[0], -600);
  }
  EXPECT_EQ(elSound::SelectFormat(2, 22, 16), 1);
  EXPECT_EQ(plat::AudioFormat().BlockAlign() * plat::AudioFormat().rate, 88200);
  EXPECT_EQ(elSound::SelectFormat(3, 44, 16), 0);
  EXPECT_EQ(plat::headless::LastBoxText(), Box("elSound::SelectFormat", "再生フォーマットを変更できません"));
}

// A system sound is heard while the objects are released; afterwards every
// object plays again with the settings it had.
TEST_F(SoundObjects, ObjectsPlayAgainAfterASystemSound) {
  int slot = Load(2);
  elSound::VolumeSet(slot, -20, 0);
  elSound::PanLeft(slot, 0);
  elSound::FrequencySet(slot, 5, 0);
  StartCapture();
  elSound::PlaySystemSound("SystemAsterisk");
  std::vector<int16_t> chime = Captured();
  int loudest = 0;
  for (int16_t s : chime) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
  EXPECT_GT(loudest, 3000);
  ASSERT_EQ(elSound::soundAvailable, 1);
  int b = SoundTable[slot].buffers[0];
  ASSERT_NE(b, 0);
  EXPECT_EQ(plat::GetSoundBufferFrequency(b), 22550u);
  StartCapture();
  elSound::PlayObject(slot, 0);
  Advance(20);
  std::vector<int16_t> out = Captured();
  EXPECT_EQ(out[200], 1000);  // 10000 at -20 dB, on the left only
  EXPECT_EQ(out[201], 0);
}

TEST_F(SoundObjects, WithoutADeviceEverythingIsANoOp) {
  elSound::ReleaseSound();
  elSound::soundAvailable = 0;
  uint32_t boxes = plat::headless::BoxCount();
  EXPECT_EQ(Load(1), -1);
  EXPECT_EQ(elSound::LoadStream("X.WAV", 0), -1);
  EXPECT_EQ(elSound::SelectFormat(2, 22, 16), 1);
  EXPECT_EQ(elSound::Streaming(), 0);
  EXPECT_EQ(elSound::ResetStream(0), 0);
  elSound::PlayObject(0, -2);
  elSound::Echo(0, 1, 1, 1);
  elSound::VolumeAdd(0, -5, -1);
  EXPECT_EQ(elSound::GetObjectPosition(0), 0u);
  EXPECT_EQ(plat::headless::BoxCount(), boxes);
}

// A system sound is the system's, not the device's: without a device it is
// still played, and the rebuild after it opens the device again where one
// can now be opened.
TEST_F(SoundObjects, ASystemSoundWithoutADeviceTriesTheDeviceAgain) {
  elSound::ReleaseSound();
  elSound::soundAvailable = 0;
  uint32_t boxes = plat::headless::BoxCount();
  StartCapture();
  elSound::PlaySystemSound("SystemAsterisk");
  int loudest = 0;
  for (int16_t s : Captured()) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
  EXPECT_GT(loudest, 3000);
  EXPECT_EQ(elSound::soundAvailable, 1);
  EXPECT_GE(Load(1), 0);
  EXPECT_EQ(plat::headless::BoxCount(), boxes);
}

TEST(SoundDevice, DummyDriverIsNoDevice) {
#if defined(_WIN32)
  GTEST_SKIP() << "SDL's sound device is not built on Windows";
#else
  portable::SetEnv("SDL_AUDIODRIVER", "dummy");
  EXPECT_FALSE(plat::SdlAudioOpen(44100));
  plat::SdlAudioQuit();
  portable::UnsetEnv("SDL_AUDIODRIVER");
#endif
}

}  // namespace
