// The sound scenes: sound objects on a timeline of short demonstrations, a
// streamed piece with its loop point, and MIDI music.
#include <cstdio>

#include <zolbeck/eldraw.h>
#include <zolbeck/input.h>
#include "showcase.h"
#include <zolbeck/elsound.h>

namespace showcase {
namespace {

int bell = -1, tone = -1, chime = -1, stream = -1;
bool loaded = false;

// Every sound scene loads what it needs the first time one is shown.
void LoadSounds() {
  if (loaded) return;
  loaded = true;
  elSound::SetPackFile("SOUND.PAK");
  bell = elSound::LoadPack("BELL.WAV", -4);           // four buffers to overlap, no echo
  tone = elSound::LoadObject("WAVE\\tone.wav", 1);     // one buffer for the sweeps
  chime = elSound::LoadObject("WAVE\\item.wav", 4);    // four buffers, echo allowed
  // The piece's loop starts 2 s in: 22050 frames a second, 4 bytes a frame.
  stream = elSound::LoadStream("LOOP.WAV", 2 * 22050 * 4);
}

// ---------------------------------------------------------------------------
// Sound objects: seven demonstrations of 2.4 s each, in turn.

constexpr int kDemoFrames = 180;
const char* const kDemos[] = {
    "PlayObject(bell, -1) x4: four buffers overlap",
    "PlayObjectLoop(tone, 0) + VolumeSet(tone, 0 .. -45, 0)",
    "PanSet(tone, -100 .. 100, 0): left to right",
    "FrequencySet(tone, -110 .. 220, 0): 11 kHz to 44 kHz",
    "PlayObject(chime, -2) + Echo(chime, 300, 3, 8)",
    "PlayObject(chime, -2) + EchoPan(chime, 300, 4, 6, 40)",
    "PauseObject(tone, 0) at 0.8 s, again at 1.6 s",
};
constexpr int kDemoCount = sizeof kDemos / sizeof kDemos[0];
float shown = 0.0f;  // the value the current demonstration sweeps, 0 to 1

void SoundLeave() {
  elSound::StopObject(bell, -1);
  elSound::StopObject(tone, -1);
  elSound::StopObject(chime, -1);
}

void SoundFrame() {
  int demo = sceneFrame / kDemoFrames % kDemoCount, t = sceneFrame % kDemoFrames;
  shown = static_cast<float>(t) / kDemoFrames;
  if (t == 0) {
    SoundLeave();
    elSound::VolumeReset(tone, 0);
    elSound::PanReset(tone, 0);
    elSound::FrequencyReset(tone, 0);
  }
  switch (demo) {
    case 0:
      if (t % 12 == 0 && t < 48) elSound::PlayObject(bell, -1);
      break;
    case 1:
      if (t == 0) elSound::PlayObjectLoop(tone, 0);
      elSound::VolumeSet(tone, -(t / 4), 0);
      break;
    case 2:
      if (t == 0) elSound::PlayObjectLoop(tone, 0);
      elSound::PanSet(tone, -100 + t * 200 / kDemoFrames, 0);
      break;
    case 3:
      if (t == 0) elSound::PlayObjectLoop(tone, 0);
      elSound::FrequencySet(tone, -110 + t * 330 / kDemoFrames, 0);
      break;
    case 4:
      if (t == 0) elSound::PlayObject(chime, -2);
      elSound::Echo(chime, 300, 3, 8);
      break;
    case 5:
      if (t == 0) elSound::PlayObject(chime, -2);
      elSound::EchoPan(chime, 300, 4, 6, 40);
      break;
    case 6:
      if (t == 0) elSound::PlayObjectLoop(tone, 0);
      if (t == 60 || t == 120) elSound::PauseObject(tone, 0);
      break;
  }
  if (t == kDemoFrames - 1) SoundLeave();

  elDraw::FillBlack(0, 44, 800, 600);
  for (int i = 0; i < kDemoCount; ++i) {
    Caption(40, 80 + i * 30, "%s %s", i == demo ? "→" : "  ", kDemos[i]);
  }
  elDraw::FrameBlack(40, 330, 760, 360);
  elDraw::FillColor(40, 330, 40 + static_cast<int>(720 * shown), 360, ScreenPixel(64, 192, 255));
  const elSound::SoundSlot& s = elSound::SoundTable[tone < 0 ? 0 : tone];
  Caption(40, 380, "tone: volume %d  pan %d  frequency %u Hz", s.volume[0], s.pan[0], s.frequency[0]);
  Caption(40, 400, "sound device %s", elSound::soundAvailable ? "open" : "missing: silent");
}

// ---------------------------------------------------------------------------
// A streamed piece: two seconds of introduction, then a loop from 2.0 s.

void StreamEnter() {
  LoadSounds();
  elSound::PlayObjectLoop(stream, 0);
}
void StreamLeave() { elSound::StopObject(stream, -1); }

void StreamFrame() {
  elSound::Streaming();
  Background();
  const elSound::StreamRecord& r = elSound::SoundTable[stream < 0 ? 0 : stream].stream;
  elDraw::FillColor(40, 200, 760, 240, ScreenPixel(32, 64, 96));
  int loopX = 40 + 720 * 2 / 8;
  elDraw::FillColor(40, 200, loopX, 240, ScreenPixel(96, 64, 32));  // the introduction, played once
  elDraw::Line(loopX, 190, loopX, 250, 0x00FFFF, 2);
  Caption(40, 120, "SetPackFile(\"SOUND.PAK\")  LoadStream(\"LOOP.WAV\", 176400) = slot %d", stream);
  Caption(40, 140, "PlayObjectLoop(stream, 0); Streaming() every frame");
  Caption(40, 260, "data %u bytes (8.0 s)   loop point 176400 (2.0 s)   ring %u bytes", r.dataSize, r.bufferSize);
  Caption(40, 280, "read so far %u bytes   play position %u", r.consumed, elSound::GetObjectPosition(stream));
  Caption(loopX - 40, 170, "loop 2.0 s");
}

// ---------------------------------------------------------------------------
// MIDI: the field tune looping; E ends the loop, L plays it looping again,
// B plays the boss tune once.

const char* midiPiece = "MIDI\\field.mid";
int midiResult = 0;
int keyE = 0, keyL = 0, keyB = 0;

void MidiEnter() {
  midiPiece = "MIDI\\field.mid";
  midiResult = elSound::PlayMidi(midiPiece, 1);
}
void MidiLeave() { elSound::CloseMidi(); }

void MidiFrame() {
  elSystem::KeyEdge('E', keyE);
  elSystem::KeyEdge('L', keyL);
  elSystem::KeyEdge('B', keyB);
  if (keyE == 1) elSound::EndMidiLoop();
  if (keyL == 1) midiResult = elSound::PlayMidi(midiPiece = "MIDI\\field.mid", 1);
  if (keyB == 1) midiResult = elSound::PlayMidi(midiPiece = "MIDI\\boss.mid", 0);
  Background();
  elDraw::FillColor(30, 100, 770, 330, ScreenPixel(24, 32, 56));
  Caption(50, 120, "PlayMidi(\"%s\", loop) = %d", midiPiece, midiResult);
  Caption(50, 150, "midiOpen %d   midiLoop %d", elSound::midiOpen, elSound::midiLoop);
  Caption(50, 200, "E: EndMidiLoop() - the piece plays to its end, then closes");
  Caption(50, 225, "L: PlayMidi(\"MIDI\\field.mid\", 1) - looping");
  Caption(50, 250, "B: PlayMidi(\"MIDI\\boss.mid\", 0) - once");
  for (int i = 0; i < 16; ++i) {  // a little light that beats while music is open
    bool lit = elSound::midiOpen && (sceneFrame / 19) % 16 == i;
    elDraw::FillColor(50 + i * 44, 290, 86 + i * 44, 310, lit ? ScreenPixel(0, 255, 255) : ScreenPixel(64, 64, 64));
  }
}

}  // namespace

const Scene kSoundScene = {"効果音", "Sound objects", LoadSounds, SoundLeave, SoundFrame};
const Scene kStreamScene = {"ストリーム", "Streamed sound", StreamEnter, StreamLeave, StreamFrame};
const Scene kMidiScene = {"MIDI音楽", "MIDI music", MidiEnter, MidiLeave, MidiFrame};

}  // namespace showcase
