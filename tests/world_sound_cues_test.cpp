// The game's sound cues: with sound on, the swing's effect plays on the frame
// of the press; with sound off, as by default, nothing is even loaded.
#include <cstring>

#include "party_fixture.h"
#include "platform/audio/audio.h"
#include "sound/elsound.h"
#include "world/sound_cues.h"

namespace {

using partytest::PartyFixture;

// The slot an effect was loaded into, or -1.
int SlotOf(const char* file) {
  for (int i = 0; i < elSound::kSlotCount; ++i) {
    const elSound::SoundSlot& s = elSound::SoundTable[i];
    if (s.inUse && std::strcmp(s.name, file) == 0) return i;
  }
  return -1;
}

bool Playing(int slot) {
  const elSound::SoundSlot& s = elSound::SoundTable[slot];
  for (int j = 0; j < s.bufferCount; ++j) {
    if (plat::SoundBufferPlaying(s.buffers[j])) return true;
  }
  return false;
}

class SoundCues : public PartyFixture, public ::testing::WithParamInterface<bool> {
 protected:
  void TearDown() override {
    elSound::CloseMidi();
    cues::enabled = false;
    PartyFixture::TearDown();
  }
};

TEST_P(SoundCues, TheSwingIsHeardOnlyWithSoundOn) {
  const bool on = GetParam();
  cues::enabled = on;
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);
  int swing = SlotOf("WAVE\\swing.wav");
  ASSERT_EQ(swing >= 0, on);
  EXPECT_EQ(elSound::midiOpen, on ? 1 : 0) << "the field tune";
  if (on) {
    EXPECT_FALSE(Playing(swing));
  }
  Press(partytest::kC);
  ASSERT_TRUE(player.swinging);
  if (on) {
    EXPECT_TRUE(Playing(swing));
  }
}

INSTANTIATE_TEST_SUITE_P(OffAndOn, SoundCues, ::testing::Bool());

}  // namespace
