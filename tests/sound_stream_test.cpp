// Streamed sounds: which entries stream, the sizes of the ring and of its
// pieces, seamless loops from a loop point, and the end of a stream played
// once. The output runs at the entries' own rate, so every output sample is
// a source sample unchanged.
#include <cstring>

#include "sound/sound_internal.h"
#include "sound_fixture.h"

namespace {

using elSound::SoundTable;
using soundtest::SoundTest;

constexpr int kRate = 8000;  // mono 16-bit: 16000 bytes a second

// Every frame's sample tells its index (within 32000 frames).
int Numbered(int frame, int) { return frame % 32000 + 1; }

class SoundStream : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    ASSERT_EQ(elSound::SelectFormat(1, 8, 16), 1);
    WriteTestFile("S7.WAV", soundtest::MakeWave(1, kRate, 16, 7 * kRate, Numbered));
    WriteTestFile("S5.WAV", soundtest::MakeWave(1, kRate, 16, 5 * kRate, Numbered));
    WriteTestFile("S49.WAV", soundtest::MakeWave(1, kRate, 16, 49 * kRate / 10, Numbered));
    elSound::MakePack(Rel("S.PAK").c_str(), Rel("").substr(0, Rel("").size() - 1).c_str(), 1);
    elSound::SetPackFile(Rel("S.PAK").c_str());
  }

  // Runs `ms` milliseconds of frames of 16 ms, each serving the streams.
  void RunFrames(int ms) {
    for (int t = 0; t < ms; t += 16) {
      Advance(16);
      ASSERT_EQ(elSound::Streaming(), 1);
    }
  }

  // The left side of the output from the first sound on.
  std::vector<int> Heard() {
    std::vector<int16_t> out = Captured();
    std::vector<int> left;
    for (size_t i = 0; i < out.size(); i += 2) {
      if (!left.empty() || out[i] != 0) left.push_back(out[i]);
    }
    return left;
  }
};

TEST_F(SoundStream, WhichEntriesStreamAndTheirSizes) {
  WriteTestFile("CD.WAV", soundtest::MakeWave(2, 44100, 16, 5 * 44100, soundtest::Ramp));
  elSound::MakePack(Rel("S.PAK").c_str(), Rel("").substr(0, Rel("").size() - 1).c_str(), 1);
  struct Case {
    const char* name;
    uint32_t dataSize, chunk, buffer;
  } const kCases[] = {
      {"s49.wav", 0, 0, 0},  // loaded whole, as a pack sound
      {"S5.WAV", 5 * 16000, 32000, 64000},
      {"S7.WAV", 7 * 16000, 32000, 64000},
      {"CD.WAV", 5 * 176400, 352800, 705600},
  };
  for (const Case& c : kCases) {
    int slot = elSound::LoadStream(c.name, 0);
    ASSERT_GE(slot, 0) << c.name;
    const elSound::StreamRecord& r = SoundTable[slot].stream;
    EXPECT_EQ(r.dataSize, c.dataSize) << c.name;
    EXPECT_EQ(r.chunkSize, c.chunk) << c.name;
    EXPECT_EQ(r.bufferSize, c.buffer) << c.name;
    EXPECT_EQ(SoundTable[slot].bufferCount, 1);
    EXPECT_EQ(SoundTable[slot].echoCounter, -1);
    EXPECT_TRUE(SoundTable[slot].fromPack);
  }
  EXPECT_EQ(elSound::LoadStream("NONE.WAV", 0), -1);
  EXPECT_EQ(plat::headless::LastBoxText(), "elSound::LoadStream : WAVEファイルを読み込めません");
  EXPECT_EQ(elSound::Streaming(), 1);  // nothing plays: nothing to do
}

// 7 s in chunks of 2 s: 2 s at the start, 2 s, then the last 3 s in two
// halves of 1.5 s rather than 2 s and a short 1 s.
TEST_F(SoundStream, TheLastTwoPiecesShareWhatRemains) {
  int slot = elSound::LoadStream("S7.WAV", 0);
  elSound::PlayObjectLoop(slot, 0);
  const elSound::StreamRecord& r = SoundTable[slot].stream;
  std::vector<uint32_t> pieces;
  uint32_t consumed = r.consumed;
  for (int t = 0; t < 9000 && pieces.size() < 4; t += 16) {
    RunFrames(16);
    if (r.consumed != consumed) pieces.push_back(r.consumed > consumed ? r.consumed - consumed : r.consumed + r.dataSize - consumed);
    consumed = r.consumed;
  }
  EXPECT_EQ(pieces, (std::vector<uint32_t>{32000, 24000, 24000, 32000}));
}

// A looping stream repeats from its loop point without a gap: what is
// heard is the data, then the data from the loop point again and again.
TEST_F(SoundStream, LoopsSeamlesslyFromTheLoopPoint) {
  for (int loopSeconds : {0, 2}) {
    int slot = elSound::LoadStream("S7.WAV", loopSeconds * 16000);
    StartCapture();
    elSound::PlayObjectLoop(slot, 0);
    RunFrames(20000);
    std::vector<int> heard = Heard();
    std::vector<int> expected;
    for (int f = 0; expected.size() < heard.size(); ++f) {
      if (f == 7 * kRate) f = loopSeconds * kRate;
      expected.push_back(Numbered(f, 0));
    }
    ASSERT_GT(heard.size(), static_cast<size_t>(19 * kRate));
    EXPECT_EQ(heard, expected) << "loop at " << loopSeconds << " s";
    elSound::FreeObject(slot);
  }
}

// Played once, the stream ends after its last sample: a half of silence is
// written behind it and the buffer stops when playback reaches that half.
// A loop point in the last piece does not keep it going.
TEST_F(SoundStream, PlayedOnceItEndsAfterItsData) {
  for (int loopSeconds : {0, 6}) {
    int slot = elSound::LoadStream("S7.WAV", loopSeconds * 16000);
    StartCapture();
    elSound::PlayObject(slot, 0);
    int stoppedAt = -1;
    for (int t = 0; t < 12000; t += 16) {
      RunFrames(16);
      if (stoppedAt < 0 && !plat::SoundBufferPlaying(SoundTable[slot].buffers[0])) stoppedAt = t;
    }
    std::vector<int> heard = Heard();
    ASSERT_GE(heard.size(), static_cast<size_t>(7 * kRate)) << "loop at " << loopSeconds << " s";
    for (int f = 0; f < 7 * kRate; ++f) ASSERT_EQ(heard[f], Numbered(f, 0)) << f;
    for (size_t f = 7 * kRate; f < heard.size(); ++f) ASSERT_EQ(heard[f], 0) << f;
    EXPECT_NEAR(stoppedAt, 7000, 40) << "loop at " << loopSeconds << " s";
    EXPECT_EQ(elSound::GetObjectPosition(slot), 0u);
    elSound::FreeObject(slot);
  }
}

// An entry stored past 4 GiB into its pack streams its own samples: the
// offsets in the file are not cut to 32 bits. The pack is sparse: two
// entries of 2 GiB of silence that is never written come first.
TEST_F(SoundStream, EntriesPast4GiBStreamTheirOwnSamples) {
  std::vector<uint8_t> wave = soundtest::MakeWave(1, kRate, 16, 7 * kRate, Numbered);
  auto head = [&](uint32_t dataSize, const char* name) {
    std::vector<uint8_t> h;
    soundtest::Put(h, dataSize, 4);
    h.insert(h.end(), name, name + std::strlen(name) + 1);
    soundtest::Put(h, 18, 4);
    h.insert(h.end(), wave.begin() + 20, wave.begin() + 36);
    soundtest::Put(h, 0, 2);
    return h;
  };
  constexpr uint32_t kPadding = 0x80000000u;
  std::vector<uint8_t> pad = head(kPadding, "PAD.WAV");
  std::vector<uint8_t> far = head(7 * 16000, "FAR.WAV");
  far.insert(far.end(), wave.begin() + 44, wave.end());
  {
    std::ofstream out(soundtest::ProgramPath(Rel("FAR.PAK")), std::ios::binary);
    for (const std::vector<uint8_t>* entry : {&pad, &pad, &far}) {
      out.write(reinterpret_cast<const char*>(entry->data()), static_cast<std::streamsize>(entry->size()));
      if (entry == &pad) out.seekp(kPadding, std::ios::cur);
    }
    ASSERT_TRUE(out.good());
  }
  elSound::SetPackFile(Rel("FAR.PAK").c_str());
  int slot = elSound::LoadStream("far.wav", 2 * 16000);
  ASSERT_GE(slot, 0);
  EXPECT_GT(SoundTable[slot].stream.dataStart, 0xFFFFFFFFu);
  StartCapture();
  elSound::PlayObjectLoop(slot, 0);
  RunFrames(10000);
  std::vector<int> heard = Heard();
  ASSERT_GT(heard.size(), static_cast<size_t>(9 * kRate));
  for (int f = 0; f < 9 * kRate; ++f) {
    ASSERT_EQ(heard[f], Numbered(f < 7 * kRate ? f : f - 5 * kRate, 0)) << f;
  }
  elSound::FreeObject(slot);
  std::filesystem::remove(soundtest::ProgramPath(Rel("FAR.PAK")));
}

// An 8-bit stream falls silent at its end with the 8-bit silence value.
TEST_F(SoundStream, EightBitStreamsEndInTheirOwnSilence) {
  WriteTestFile("E8.WAV", soundtest::MakeWave(1, kRate, 8, 6 * kRate, [](int, int) { return 0xC0; }));
  elSound::MakePack(Rel("S.PAK").c_str(), Rel("").substr(0, Rel("").size() - 1).c_str(), 1);
  int slot = elSound::LoadStream("E8.WAV", 0);
  elSound::PlayObject(slot, 0);
  RunFrames(7000);
  plat::LockedRegions r;
  ASSERT_TRUE(plat::LockSoundBuffer(SoundTable[slot].buffers[0], 0, SoundTable[slot].stream.bufferSize, r));
  int silent = 0;
  for (uint32_t i = 0; i < r.firstBytes; ++i) silent += r.first[i] == 0x80;
  EXPECT_GE(silent, 2 * kRate);
  for (uint32_t i = 0; i < r.firstBytes; ++i) ASSERT_TRUE(r.first[i] == 0x80 || r.first[i] == 0xC0);
}

}  // namespace
