// The library's music: a looping field tune, a boss tune, and short pieces
// whose timing the tests know (type 0 and type 1, with tempo changes).
#include <cstdio>

#include "art.h"
#include "smf.h"

namespace gen {
namespace {

constexpr int kBeat = 480;  // ticks per quarter note
constexpr int kBar = 4 * kBeat;

// A chord as its root key; minor chords mark their third.
struct Chord {
  int root;
  bool minor;
};

// One bar of accompaniment over a chord: a sustained triad, a walking bass
// and a plain rock beat.
void Accompany(MidiTrack& pad, MidiTrack& bass, MidiTrack& drums, uint32_t at, Chord c,
               int padChannel, int bassChannel, bool driving) {
  int third = c.minor ? 3 : 4;
  for (int interval : {0, third, 7}) pad.Note(at, padChannel, c.root + 12 + interval, 58, kBar - 20);
  if (driving) {
    for (int i = 0; i < 8; ++i) bass.Note(at + i * kBeat / 2, bassChannel, c.root - 12, 96, kBeat / 2 - 30);
  } else {
    const int walk[4] = {0, 7, 12, 7};
    for (int i = 0; i < 4; ++i) bass.Note(at + i * kBeat, bassChannel, c.root - 12 + walk[i], 90, kBeat - 40);
  }
  for (int i = 0; i < 8; ++i) drums.Note(at + i * kBeat / 2, 9, 42, 60, 60);  // closed hi-hat
  for (int beat : {0, 2}) drums.Note(at + beat * kBeat, 9, 36, 100, 60);      // bass drum
  for (int beat : {1, 3}) drums.Note(at + beat * kBeat, 9, 38, 90, 60);       // snare
}

// A melody bar: (step in the chord's scale, length in eighths) pairs, the
// steps counted from the chord's root in the major or minor scale.
struct Step {
  int degree;
  int eighths;
};

int ScaleKey(Chord c, int degree) {
  static const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
  static const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
  const int* scale = c.minor ? kMinor : kMajor;
  int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
  return c.root + 24 + 12 * octave + scale[degree - 7 * octave];
}

void Sing(MidiTrack& lead, uint32_t at, Chord c, const Step* steps, int count, int channel, int velocity) {
  uint32_t t = at;
  for (int i = 0; i < count; ++i) {
    uint32_t length = static_cast<uint32_t>(steps[i].eighths) * kBeat / 2;
    if (steps[i].degree != 99) lead.Note(t, channel, ScaleKey(c, steps[i].degree), velocity, length - 20);
    t += length;
  }
}

bool MakeField(const std::string& path) {
  // Sixteen bars at 112 beats a minute: about 34 seconds, then it loops.
  static const Chord kChords[16] = {{60, false}, {57, true}, {53, false}, {55, false},
                                    {60, false}, {52, true}, {53, false}, {55, false},
                                    {57, true},  {53, false}, {60, false}, {55, false},
                                    {53, false}, {55, false}, {60, false}, {60, false}};
  static const Step kPhrases[4][6] = {
      {{0, 2}, {2, 1}, {4, 1}, {5, 2}, {4, 2}, {99, 0}},
      {{4, 3}, {2, 1}, {0, 2}, {2, 2}, {99, 0}, {99, 0}},
      {{2, 1}, {4, 1}, {7, 2}, {6, 1}, {4, 1}, {2, 2}},
      {{4, 4}, {2, 2}, {1, 2}, {99, 0}, {99, 0}, {99, 0}},
  };
  static const int kPhraseLength[4] = {5, 4, 6, 3};
  MidiTrack conductor, lead, pad, bass, drums;
  conductor.Tempo(0, 112);
  lead.Program(0, 0, 73);  // flute
  pad.Program(0, 1, 48);   // strings
  bass.Program(0, 2, 32);  // acoustic bass
  lead.Controller(0, 0, 91, 50);
  for (int bar = 0; bar < 16; ++bar) {
    uint32_t at = static_cast<uint32_t>(bar) * kBar;
    Accompany(pad, bass, drums, at, kChords[bar], 1, 2, false);
    int phrase = bar == 15 ? 3 : bar % 4;
    Sing(lead, at, kChords[bar], kPhrases[phrase], kPhraseLength[phrase], 0, 100);
  }
  conductor.End(16 * kBar);
  return WriteMidiFile(path, 1, kBeat, {conductor, lead, pad, bass, drums});
}

bool MakeBoss(const std::string& path) {
  // Twelve bars in D minor at 150, quickening to 160 for the last four.
  static const Chord kChords[12] = {{62, true}, {62, true}, {58, false}, {60, false},
                                    {62, true}, {65, false}, {58, false}, {57, false},
                                    {62, true}, {58, false}, {60, false}, {57, false}};
  static const Step kStab[5] = {{0, 1}, {0, 1}, {99, 1}, {4, 3}, {2, 2}};
  MidiTrack conductor, brass, strings, bass, drums;
  conductor.Tempo(0, 150);
  conductor.Tempo(8 * kBar, 160);
  brass.Program(0, 0, 61);    // brass section
  strings.Program(0, 1, 49);  // slow strings
  bass.Program(0, 2, 38);     // synth bass
  for (int bar = 0; bar < 12; ++bar) {
    uint32_t at = static_cast<uint32_t>(bar) * kBar;
    Accompany(strings, bass, drums, at, kChords[bar], 1, 2, true);
    Sing(brass, at, kChords[bar], kStab, 5, 0, 110);
    drums.Note(at, 9, 49, 100, 120);  // crash on every bar
  }
  conductor.End(12 * kBar);
  return WriteMidiFile(path, 1, kBeat, {conductor, brass, strings, bass, drums});
}

// One piano note at the start, then a tempo change: 0.5 s at 120, then one
// beat at 60. The piece lasts 1.5 s.
bool MakeTestType0(const std::string& path) {
  MidiTrack t;
  t.Tempo(0, 120);
  t.Program(0, 0, 0);
  t.Note(0, 0, 72, 120, kBeat / 2);
  t.Tempo(kBeat, 60);
  t.End(2 * kBeat);
  return WriteMidiFile(path, 0, kBeat, {t});
}

// Two notes, at 0 s and at 1.0 s; the tempo map on its own track doubles
// the speed at the second note. The piece lasts 1.25 s.
bool MakeTestType1(const std::string& path) {
  MidiTrack conductor, piano;
  conductor.Tempo(0, 120);
  conductor.Tempo(2 * kBeat, 240);
  conductor.End(3 * kBeat);
  piano.Program(0, 0, 0);
  piano.Note(0, 0, 72, 120, kBeat / 2);
  piano.Note(2 * kBeat, 0, 79, 120, kBeat / 4);
  return WriteMidiFile(path, 1, kBeat, {conductor, piano});
}

bool WriteText(const std::string& path, const char* text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fputs(text, f);
  return std::fclose(f) == 0;
}

}  // namespace

bool MakeMusic(const std::string& gameFolder) {
  std::string folder = gameFolder + "/MIDI/";
  return MakeField(folder + "field.mid") && MakeBoss(folder + "boss.mid") &&
         MakeTestType0(folder + "test0.mid") && MakeTestType1(folder + "test1.mid") &&
         WriteText(folder + "notmidi.mid", "This is a text file, not a Standard MIDI File.\n");
}

}  // namespace gen
