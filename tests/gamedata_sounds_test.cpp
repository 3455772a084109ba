// The generated sounds, loaded and played with the library itself: every
// effect is heard without clipping, and the showcase's sound pack holds two
// short entries and one long enough to stream.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "sound_fixture.h"

namespace {

using soundtest::SoundTest;

TEST_F(SoundTest, EveryGeneratedSoundLoadsAndIsHeard) {
  for (const char* name : {"swing", "launch", "hit", "defeat", "item", "hurt", "arrow", "fireball",
                           "breath", "roar", "screen", "gameover", "clear", "tone", "bell"}) {
    std::string file = std::string("WAVE\\") + name + ".wav";
    int slot = elSound::LoadObject(file.c_str(), 1);
    ASSERT_GE(slot, 0) << file;
    StartCapture();
    elSound::PlayObject(slot, 0);
    Advance(100);
    int peak = 0;
    for (int16_t v : Captured()) peak = std::max(peak, std::abs(int{v}));
    EXPECT_GT(peak, 1000) << file;
    EXPECT_LT(peak, 32767) << file << " clips";
    elSound::FreeObject(slot);
  }
}

TEST_F(SoundTest, TheShowcasePackHoldsShortEntriesAndAStream) {
  elSound::SetPackFile("SOUND.PAK");
  EXPECT_GE(elSound::LoadPack("TONE.WAV", 1), 0);
  EXPECT_GE(elSound::LoadPack("bell.wav", 4), 0);
  int stream = elSound::LoadStream("LOOP.WAV", 2 * 22050 * 4);
  ASSERT_GE(stream, 0);
  const elSound::StreamRecord& r = elSound::SoundTable[stream].stream;
  EXPECT_EQ(r.dataSize, 8u * 22050 * 4);  // eight seconds of 16-bit stereo
  EXPECT_EQ(r.loopPoint - r.dataStart, 2u * 22050 * 4);
}

}  // namespace
