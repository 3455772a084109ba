// elSound: the sound device, sound objects, streaming and MIDI music of the
// zolbeck library.
//
// A sound lives in one of 70 slots; the loaders answer its slot, or -1
// after an error box. Without a sound device every operation does nothing
// (the loaders answer -1 without a box). Volume, pan and frequency are given
// in units of 100 of the device's: volume in dB, 0 as recorded down to -100
// (silent); pan -100 (left) to 100 (right); frequency 10 = 1000 samples a
// second.
//
// `which`, the buffer an operation means:
//   0 or more  that buffer (below the slot's mix count);
//   -1         playing: the next buffer in turn; settings, stop, pause: all;
//   -2         playing: the next in turn, and an echo starts (see Echo);
//              settings: the next buffer in turn; stop, pause: all.
#pragma once
#include <cstdint>

#include <zolbeck/types.h>

namespace elSound {

// ---------------------------------------------------------------------------
// The sound device

extern int soundAvailable;    // 1 once the device exists

// Opens the sound device (Screen does); 1, or 0 without a device.
int InitSound();
// Releases every buffer and the device; the slots keep their sounds' names
// and settings for ReloadAll. QuitProgram calls it.
void ReleaseSound();
// Sets the output format (rate code 8, 11, 22, 44 or samples per second)
// and rebuilds every object in it.
int SelectFormat(int channels, int rateCode, int bits);
// Plays a system sound ("SystemAsterisk", ...) or a WAVE file and returns
// when it has finished.
void PlaySystemSound(const char* name);
// The system's beep.
int Beep();

// ---------------------------------------------------------------------------
// Sound objects: 70 slots of 1 to 10 buffers each

constexpr int kSlotCount = 70;
constexpr int kMaxMix = 10;
constexpr int kNameLength = 30;


// Where a streamed slot reads from and how far it has come (byte offsets in
// the pack file or in the slot's buffer). Offsets in the file are 64-bit: a
// pack may hold entries past 4 GiB.
struct StreamRecord {
  uint64_t dataStart = 0;
  uint64_t loopPoint = 0;
  uint64_t filePosition = 0;
  uint32_t dataSize = 0;  // not 0 marks a streamed slot
  uint32_t consumed = 0;
  uint32_t lastWriteStart = 0;
  uint32_t writeOffset = 0;
  uint32_t chunkSize = 0;
  uint32_t bufferSize = 0;
  int32_t wrapMark = -1;
  uint32_t lastPlay = 0;
  uint8_t endCountdown = 0;
  char filePath[259] = {};
  uint16_t blockAlign = 1;  // of the entry's format, for whole frames
  uint8_t silence = 0;      // the byte of silence of the entry's format
};

// One sound: 1 to 10 buffers of the same samples, with each buffer's
// settings (in the device's units: volume -10000 to 0, pan -10000 to 10000,
// frequency in samples a second).
struct SoundSlot {
  int32_t inUse = 0;
  char name[kNameLength + 1] = {};
  int32_t fromPack = 0;
  int32_t bufferCount = 1;
  int buffers[kMaxMix] = {};  // device buffers; 0 = none
  int32_t volume[kMaxMix] = {};
  uint32_t frequency[kMaxMix] = {};
  int32_t pan[kMaxMix] = {};
  uint32_t pausedPosition[kMaxMix] = {};
  uint32_t baseFrequency = 0;
  int32_t nextBuffer = 0;
  int32_t loopFlag = 0;
  int32_t echoCounter = -1;
  float echoTimer = 0.0f;
  float echoPan = 0.0f;
  int32_t echoDirection = 0;
  int32_t echoLoops = 0;
  StreamRecord stream;
};

extern SoundSlot SoundTable[kSlotCount];
extern char packPath[256];  // the program folder and the name given to SetPackFile

// A WAVE file (PCM; a name relative to the program folder, Windows form,
// any letter case, at most 30 bytes) in the lowest free slot, with |n|
// buffers (1 to 10; 0 is 1) so that |n| plays overlap. n > 1 allows an
// echo, n < 0 does not. The slot, or -1 after an error box.
int LoadObject(const char* name, int n);
// The same from an entry of the sound pack (its file name, any case).
int LoadPack(const char* name, int n);
// The sound pack file, relative to the program folder.
void SetPackFile(const char* fileName);
// Appends every WAVE file of `folder` (empty: the program folder) to the
// pack `packName`, deleting it first when `deleteFirst` is 1. Answers 1.
int MakePack(const char* packName, const char* folder, int deleteFirst);
// Frees a slot for the next load.
void FreeObject(int slot);
// Opens the device again and reloads every slot with its settings.
void ReloadAll();

// Plays once from the start (a streamed slot plays its stream).
void PlayObject(int slot, int which);
// Plays looping from the start.
void PlayObjectLoop(int slot, int which);
// Stops and rewinds; a negative `which` also ends a running echo.
void StopObject(int slot, int which);
// Pauses a playing buffer, or plays a paused one on from where it was.
void PauseObject(int slot, int which);
// The play position of the slot's first buffer, in bytes.
uint32_t GetObjectPosition(int slot);

// Volume: + value x 100 (clamped to -10000 .. 0), = value x 100, = 0.
void VolumeAdd(int slot, int value, int which);
void VolumeSet(int slot, int value, int which);
void VolumeReset(int slot, int which);
// Pan: + value x 100 (clamped to -10000 .. 10000), = value x 100, centre,
// all left, all right.
void PanAdd(int slot, int value, int which);
void PanSet(int slot, int value, int which);
void PanReset(int slot, int which);
void PanLeft(int slot, int which);
void PanRight(int slot, int which);
// Frequency: + value x 100, the recorded one + value x 100 (both clamped to
// 100 .. 100000 samples a second), the recorded one.
void FrequencyAdd(int slot, int value, int which);
void FrequencySet(int slot, int value, int which);
void FrequencyReset(int slot, int which);

// After PlayObject(slot, -2), call once a frame: every `interval` ms the
// next buffer plays again, the k-th echo k x volumeStep dB quieter, until
// `repeats` echoes have sounded.
void Echo(int slot, int interval, int repeats, int volumeStep);
// Echo whose echoes swing between left and right, `panSpeed` x 100 pan
// units a second (at most 3000 to a side).
void EchoPan(int slot, int interval, int repeats, int volumeStep, int panSpeed);

// ---------------------------------------------------------------------------
// Streamed sounds: long pack entries played from the pack file

// A pack entry of 5 seconds or more, played from a 4-second ring refilled
// from the pack by Streaming; shorter entries load as LoadPack(name, 1).
// PlayObjectLoop repeats it from `loopOffset` (bytes after its first
// sample); PlayObject plays it once. The slot, or -1 after an error box.
int LoadStream(const char* name, int loopOffset);
// Rewinds a stream to its start (PlayObject does).
int ResetStream(int slot);
// Refills every playing stream; call it once a frame (at least every two
// seconds). 1, or 0 after an error box.
int Streaming();

// ---------------------------------------------------------------------------
// MIDI music through the sequencer, one piece at a time under the alias
// "midi". The main window's MM_MCINOTIFY handling calls OnMidiNotify.
extern int midiOpen;  // 1 while the alias "midi" is open
extern int midiLoop;  // non-zero: a piece that ends starts again
// Forgets the piece (Screen does): closed, looping on.
int ResetMidi();
// Opens `fileName` (relative to the program folder) and plays it from the
// start, closing a piece that plays first; `loop` 1 plays it again at its
// end. The result of the play command: 0, or an MCI error number (a piece
// that cannot be opened also writes a line on standard error; no box).
int PlayMidi(const char* fileName, int loop);
// Stops and closes the piece.
void CloseMidi();
// The end of a piece: plays it again, or closes it (the window procedure
// calls it).
void OnMidiNotify();
// The piece plays to its end and is then closed.
void EndMidiLoop();
// Stops and closes whatever midiOpen says, and leaves it as it is.
int StopAndCloseMidi();
// Sends a command string to the sequencer; the answer, cut to fit, goes to
// `answer`. A command with "notify" reports to `callback` through
// MM_MCINOTIFY. Returns 0 on success, else an error number (sound/mci.h).
int SendMci(const char* command, char* answer, int answerSize, plat::Window callback = 0);

}  // namespace elSound
