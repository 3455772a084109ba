#include "world/sound_cues.h"

#include <zolbeck/elsound.h>

namespace cues {

bool enabled = false;

namespace {

// The file of each cue, in the order of Cue.
constexpr const char* kFiles[kCueCount] = {
    "WAVE\\swing.wav", "WAVE\\launch.wav", "WAVE\\hit.wav",    "WAVE\\defeat.wav", "WAVE\\item.wav",
    "WAVE\\hurt.wav",  "WAVE\\arrow.wav",  "WAVE\\fireball.wav", "WAVE\\breath.wav", "WAVE\\roar.wav",
    "WAVE\\screen.wav", "WAVE\\gameover.wav", "WAVE\\clear.wav",
};
int slots[kCueCount];
Tune playing = kSilence;

}  // namespace

void Load() {
  if (!enabled) return;
  // Three buffers each, so that quick repeats overlap; a negative count asks
  // for no echo, whose start would draw a random number.
  // They play 6 dB down, so that they stand over the music without clipping.
  for (int i = 0; i < kCueCount; ++i) {
    slots[i] = elSound::LoadObject(kFiles[i], -3);
    elSound::VolumeSet(slots[i], -6, -1);
  }
}

void Play(Cue cue) {
  if (!enabled || cue < 0 || cue >= kCueCount) return;
  elSound::PlayObject(slots[cue], -1);
}

void Music(Tune tune) {
  if (!enabled || tune == playing) return;
  playing = tune;
  if (tune == kSilence) {
    elSound::CloseMidi();
  } else {
    elSound::PlayMidi(tune == kBossTune ? "MIDI\\boss.mid" : "MIDI\\field.mid", 1);
  }
}

}  // namespace cues
