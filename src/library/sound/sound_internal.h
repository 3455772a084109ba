// What the parts of elSound share: the WAVE reader, the pack search, the
// buffers of a slot and the selection of buffers by `which`.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/audio/audio.h"
#include "sound/elsound.h"

namespace elSound {

// The length of a wave format record of PCM sound: 16 bytes and the extra size.
constexpr uint32_t kPcmFormatSize = 18;
// The largest sound read whole: a WAVE file, or the samples of a pack entry.
// Larger ones are not sounds of ours; refusing them keeps a lying size from
// asking for gigabytes.
constexpr long kLargestWave = 512L * 1024 * 1024;

// Bytes the WAVE reader reads from: an open file, or a block in memory.
struct ByteSource {
  FILE* file = nullptr;
  const uint8_t* bytes = nullptr;
  uint64_t size = 0;
  // False when [offset, offset + count) is not all there.
  bool Read(uint64_t offset, void* into, size_t count) const;
  static ByteSource OfFile(FILE* file);
};

// A WAVE file's format record (18 + extra size bytes, the extra size in
// bytes 16 and 17) and where its samples lie in the file.
struct WaveInfo {
  std::vector<uint8_t> format;
  uint64_t dataOffset = 0;
  uint32_t dataSize = 0;
};

// Reads the chunks of a WAVE file, not its samples. False, with `wave`
// empty, for anything that is not a complete RIFF/WAVE file with "fmt " and
// "data".
bool ParseWave(const ByteSource& source, WaveInfo& wave);
// Opens a WAVE file named in Windows form (of at most kLargestWave bytes)
// and reads its chunks; the open file, or null.
FILE* OpenWaveFile(const char* path, WaveInfo& wave);

// The samples a loader puts into a slot's buffers: `size` bytes at `offset`
// of `file`, in a format whose silence is the byte `silence`.
struct SampleSource {
  FILE* file = nullptr;
  uint64_t offset = 0;
  uint32_t size = 0;
  uint8_t silence = 0;
};
// Reads the first `bytes` of the samples into `into`. Their sizes were
// checked against the file; should it be cut short meanwhile, what is
// missing is silence.
void ReadSamples(const SampleSource& samples, uint8_t* into, uint32_t bytes);

// The device format a format record describes; false (with the device's
// error code) when it is not PCM the device plays.
bool FormatFromRecord(const std::vector<uint8_t>& record, plat::PcmFormat& format, int& errorCode);
uint32_t AverageBytesPerSecond(const std::vector<uint8_t>& record);

uint32_t ReadLe32(const uint8_t* p);
uint16_t ReadLe16(const uint8_t* p);

// Opens the pack file `path` and finds the entry `name` (compared with the
// upper-case name stored); on success the file stands at the entry's format
// record and `dataSize` and `formatSize` are set. `file` is null when the
// pack cannot be opened.
enum class PackSearch { Found, NoFile, NotFound };
PackSearch FindPackEntry(const char* path, const char* name, FILE*& file, uint32_t& dataSize,
                         uint32_t& formatSize);
// Reads the entry's format record where FindPackEntry left the file; the
// samples follow it. False when the file ends before the samples do, or
// the record is not one a pack holds.
bool ReadPackEntry(FILE* file, uint32_t dataSize, uint32_t formatSize, WaveInfo& wave);

// Upper-cases ASCII letters, passing over the trail byte of a double-byte
// character.
void UpperCase(char* text);

// What a loader's failures name: the operation (the box's caption) and the
// sound asked for ("WAVE\\shot.wav", or "SOUND.PAK: LOOP.WAV" for an entry
// of a pack).
struct Request {
  const char* caption;
  const char* name;
};
// The error box for a failed request (with the device's error code where
// there is one); answers -1, the loaders' failure.
int Fail(const Request& request, const char* message, int code = 0);

// The lowest free slot, or -1 after the box; while reloading, the slot
// being rebuilt.
int TakeSlot(const Request& request);
// Creates the slot's buffers for the format record and reads the samples
// into the first; the others share its samples. False after the error box
// when a buffer cannot be created.
bool FillSlotBuffers(SoundSlot& slot, int count, const std::vector<uint8_t>& format,
                     const SampleSource& samples, const Request& request);
// Stores the buffer's frequency as the slot's own (a fresh load) or hands it
// the stored volume, frequency and pan (a reload).
void ApplySettings(SoundSlot& slot, int j);
// Stops, releases and empties the slot's buffers.
void DropBuffers(SoundSlot& slot);

// True for a slot index of the table (callers pass any number).
bool ValidSlot(int slot);

}  // namespace elSound
