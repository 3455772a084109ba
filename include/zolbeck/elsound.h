// elSound: the sound device, sound objects, streaming and MIDI music of the
// zolbeck library.
#pragma once
#include <cstdint>

#include <zolbeck/types.h>

namespace elSound {

// ---------------------------------------------------------------------------
// The sound device

extern int soundAvailable;    // 1 once the device exists

int InitSound();
void ReleaseSound();
// Sets the output format (rate code 8, 11, 22, 44 or samples per second)
// and rebuilds every object in it.
int SelectFormat(int channels, int rateCode, int bits);
// Plays a system sound ("SystemAsterisk", ...) or a WAVE file and returns
// when it has finished.
void PlaySystemSound(const char* name);
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
extern char packPath[256];

int LoadObject(const char* name, int n);
int LoadPack(const char* name, int n);
void SetPackFile(const char* fileName);
int MakePack(const char* packName, const char* folder, int deleteFirst);
void FreeObject(int slot);
void ReloadAll();

void PlayObject(int slot, int which);
void PlayObjectLoop(int slot, int which);
void StopObject(int slot, int which);
void PauseObject(int slot, int which);
uint32_t GetObjectPosition(int slot);

void VolumeAdd(int slot, int value, int which);
void VolumeSet(int slot, int value, int which);
void VolumeReset(int slot, int which);
void PanAdd(int slot, int value, int which);
void PanSet(int slot, int value, int which);
void PanReset(int slot, int which);
void PanLeft(int slot, int which);
void PanRight(int slot, int which);
void FrequencyAdd(int slot, int value, int which);
void FrequencySet(int slot, int value, int which);
void FrequencyReset(int slot, int which);

void Echo(int slot, int interval, int repeats, int volumeStep);
void EchoPan(int slot, int interval, int repeats, int volumeStep, int panSpeed);

// ---------------------------------------------------------------------------
// Streamed sounds: long pack entries played from the pack file

int LoadStream(const char* name, int loopOffset);
int ResetStream(int slot);
int Streaming();

// ---------------------------------------------------------------------------
// MIDI music through the sequencer, one piece at a time under the alias
// "midi". The main window's MM_MCINOTIFY handling calls OnMidiNotify.
extern int midiOpen;  // 1 while the alias "midi" is open
extern int midiLoop;  // non-zero: a piece that ends starts again
int ResetMidi();
// Opens `fileName` (relative to the program folder) and plays it from the
// start, closing a piece that plays first; the result of the play command.
int PlayMidi(const char* fileName, int loop);
void CloseMidi();
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
