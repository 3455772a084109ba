// Playing, stopping and pausing sound objects, their volume, pan and
// frequency, and the echo.
#include <cstdlib>

#include "shell/elsystem.h"
#include "sound/sound_internal.h"

namespace elSound {
namespace {

// The slot when sound plays and the slot is loaded; callers may pass any
// slot number, and a slot without buffers has nothing to control.
SoundSlot* Loaded(int slot) {
  if (!soundAvailable || !ValidSlot(slot) || !SoundTable[slot].inUse) return nullptr;
  return &SoundTable[slot];
}

bool Streamed(const SoundSlot& s) { return s.stream.dataSize != 0; }

// How a negative `which` selects: stop and pause take all buffers; the
// settings take the next buffer in turn for -2 and all for the others.
enum class Selection { StopOrPause, Setting };

// Calls `apply` with each buffer index `which` selects. A buffer index at or
// past the buffer count selects nothing.
template <typename Apply>
void ForSelected(SoundSlot& s, int which, Selection selection, Apply apply) {
  if (which >= 0) {
    if (which < s.bufferCount) apply(which);
  } else if (which == -2 && selection == Selection::Setting) {
    apply(s.nextBuffer);
  } else {
    for (int j = 0; j < s.bufferCount; ++j) apply(j);
  }
}

void Play(int slot, int which, bool loop) {
  SoundSlot* s = Loaded(slot);
  if (!s || which >= s->bufferCount) return;
  int j = which;
  if (which < 0) {
    if (which == -2 && s->echoCounter >= 0) {
      FrequencyReset(slot, -1);
      PanReset(slot, -1);
      VolumeReset(slot, -1);
      s->echoCounter = 1;
      s->echoTimer = 0.0f;
      s->echoLoops = loop ? 1 : 0;
      s->echoPan = static_cast<float>(s->pan[s->nextBuffer] / 100);
      s->echoDirection = std::rand() % 2 * 2 - 1;
    }
    j = s->nextBuffer;
  }
  int b = s->buffers[j];
  plat::StopSoundBuffer(b);
  plat::SetSoundBufferPosition(b, 0);
  // A stream's buffer is a ring refilled while it plays: it always loops.
  if (Streamed(*s)) ResetStream(slot);
  plat::PlaySoundBuffer(b, loop || Streamed(*s));
  if (which < 0 && ++s->nextBuffer >= s->bufferCount) s->nextBuffer = 0;
  s->loopFlag = loop ? 1 : 0;
}

enum class Field { Volume, Pan, Frequency };

// The new value of a setting is `from` (the current value, the base
// frequency or 0) plus `value`, clamped to the field's range.
enum class From { Current, Base, Zero };

void Adjust(int slot, int which, Field field, From from, int64_t value) {
  SoundSlot* s = Loaded(slot);
  if (!s) return;
  ForSelected(*s, which, Selection::Setting, [&](int j) {
    int b = s->buffers[j];
    int64_t v = value;
    if (from == From::Base) v += s->baseFrequency;
    switch (field) {
      case Field::Volume:
        if (from == From::Current) v += s->volume[j];
        s->volume[j] = static_cast<int32_t>(v < -10000 ? -10000 : (v > 0 ? 0 : v));
        plat::SetSoundBufferVolume(b, s->volume[j]);
        break;
      case Field::Pan:
        if (from == From::Current) v += s->pan[j];
        s->pan[j] = static_cast<int32_t>(v < -10000 ? -10000 : (v > 10000 ? 10000 : v));
        plat::SetSoundBufferPan(b, s->pan[j]);
        break;
      case Field::Frequency:
        if (from == From::Current) v += s->frequency[j];
        s->frequency[j] = static_cast<uint32_t>(v < 100 ? 100 : (v > 100000 ? 100000 : v));
        plat::SetSoundBufferFrequency(b, s->frequency[j]);
        break;
    }
  });
}

int64_t Hundreds(int value) { return static_cast<int64_t>(value) * 100; }

// One step of an echo, when its interval has passed: true when it fired the
// timer and the caller goes on with the pan (EchoPan) and the next echo.
bool EchoDue(SoundSlot& s, int interval, int repeats) {
  if (s.echoCounter <= 0 || repeats <= 0) return false;
  s.echoTimer += elSystem::dt * 1000.0f;
  if (s.echoTimer < static_cast<float>(interval)) return false;
  s.echoTimer = 0.0f;
  return true;
}

void FireEcho(int slot, SoundSlot& s, int repeats, int volumeStep) {
  VolumeSet(slot, -(s.echoCounter * volumeStep), -2);
  if (s.echoLoops) {
    PlayObjectLoop(slot, -3);
  } else {
    PlayObject(slot, -3);
  }
  if (++s.echoCounter > repeats) s.echoCounter = 0;
}

}  // namespace

void PlayObject(int slot, int which) { Play(slot, which, false); }
void PlayObjectLoop(int slot, int which) { Play(slot, which, true); }

void StopObject(int slot, int which) {
  SoundSlot* s = Loaded(slot);
  if (!s) return;
  if (which < 0 && s->echoCounter >= 0) s->echoCounter = 0;
  ForSelected(*s, which, Selection::StopOrPause, [&](int j) {
    plat::StopSoundBuffer(s->buffers[j]);
    plat::SetSoundBufferPosition(s->buffers[j], 0);
  });
}

void PauseObject(int slot, int which) {
  SoundSlot* s = Loaded(slot);
  if (!s) return;
  ForSelected(*s, which, Selection::StopOrPause, [&](int j) {
    int b = s->buffers[j];
    if (plat::SoundBufferPlaying(b)) {
      uint32_t write = 0;
      plat::GetSoundBufferPosition(b, s->pausedPosition[j], write);
      plat::StopSoundBuffer(b);
    } else {
      plat::SetSoundBufferPosition(b, s->pausedPosition[j]);
      // A stream resumes looping, as it plays: its buffer is a ring.
      plat::PlaySoundBuffer(b, s->loopFlag || Streamed(*s));
    }
  });
}

uint32_t GetObjectPosition(int slot) {
  SoundSlot* s = Loaded(slot);
  if (!s) return 0;
  uint32_t play = 0, write = 0;
  plat::GetSoundBufferPosition(s->buffers[0], play, write);
  return play;
}

void VolumeAdd(int slot, int value, int which) { Adjust(slot, which, Field::Volume, From::Current, Hundreds(value)); }
void VolumeSet(int slot, int value, int which) { Adjust(slot, which, Field::Volume, From::Zero, Hundreds(value)); }
void VolumeReset(int slot, int which) { Adjust(slot, which, Field::Volume, From::Zero, 0); }
void PanAdd(int slot, int value, int which) { Adjust(slot, which, Field::Pan, From::Current, Hundreds(value)); }
void PanSet(int slot, int value, int which) { Adjust(slot, which, Field::Pan, From::Zero, Hundreds(value)); }
void PanReset(int slot, int which) { Adjust(slot, which, Field::Pan, From::Zero, 0); }
void PanLeft(int slot, int which) { Adjust(slot, which, Field::Pan, From::Zero, -10000); }
void PanRight(int slot, int which) { Adjust(slot, which, Field::Pan, From::Zero, 10000); }
void FrequencyAdd(int slot, int value, int which) { Adjust(slot, which, Field::Frequency, From::Current, Hundreds(value)); }
void FrequencySet(int slot, int value, int which) { Adjust(slot, which, Field::Frequency, From::Base, Hundreds(value)); }
void FrequencyReset(int slot, int which) { Adjust(slot, which, Field::Frequency, From::Base, 0); }

void Echo(int slot, int interval, int repeats, int volumeStep) {
  SoundSlot* s = Loaded(slot);
  if (!s || !EchoDue(*s, interval, repeats)) return;
  FireEcho(slot, *s, repeats, volumeStep);
}

void EchoPan(int slot, int interval, int repeats, int volumeStep, int panSpeed) {
  SoundSlot* s = Loaded(slot);
  if (!s || !EchoDue(*s, interval, repeats)) return;
  s->echoPan += static_cast<float>(s->echoDirection) * elSystem::dt * 100.0f * static_cast<float>(panSpeed);
  if (s->echoPan < -30.0f) {
    s->echoPan = -30.0f;
    s->echoDirection = -s->echoDirection;
  }
  if (s->echoPan > 30.0f) {
    s->echoPan = 30.0f;
    s->echoDirection = -s->echoDirection;
  }
  PanSet(slot, static_cast<int>(s->echoPan), -2);
  FireEcho(slot, *s, repeats, volumeStep);
}

}  // namespace elSound
