// The audio dump: everything mixed, as a 16-bit stereo WAVE file. Written
// under the mixer's lock, by whichever thread mixes.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/audio/audio_source.h"
#include "platform/audio/mixer.h"
#include "platform/platform.h"

namespace plat {
namespace {

FILE* dump = nullptr;
bool dumpSeekable = false;   // a plain file: its header is written over at the end
bool dumpHeaderOut = false;  // the header has been written once
int dumpError = 0;           // errno of the first write that failed; nothing is written after it
uint64_t dumpFrames = 0;
int dumpRate = 44100;

void PutLe(uint8_t* p, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// errno after a failed call, never 0.
int LastError() { return errno != 0 ? errno : EIO; }

void WriteDump(const void* data, size_t bytes) {
  if (dumpError != 0) return;
  if (std::fwrite(data, 1, bytes, dump) != bytes) dumpError = LastError();
}

// Writes the header: over the start of a plain file, else where the output
// stands (an output that cannot seek gets it once, before the samples).
void WriteDumpHeader(uint64_t frames) {
  uint8_t h[kDumpHeaderSize];
  MakeDumpHeader(h, frames, dumpRate);
  // The 64-bit seek: a dump passes 2 GiB in about three and a half hours.
  if (dumpSeekable && dumpError == 0 && !SeekFile(dump, 0, SEEK_SET)) dumpError = LastError();
  WriteDump(h, sizeof h);
  if (dumpSeekable && dumpError == 0 && !SeekFile(dump, 0, SEEK_END)) dumpError = LastError();
  dumpHeaderOut = true;
}

int EndAudioDump() {
  std::lock_guard<std::mutex> hold(MixLock());
  if (!dump) return 0;
  // A stream that never got samples gets its header now, with the length
  // known: none.
  if (dumpSeekable || !dumpHeaderOut) WriteDumpHeader(dumpFrames);
  if (std::fclose(dump) != 0 && dumpError == 0) dumpError = LastError();
  dump = nullptr;
  return dumpError;
}

}  // namespace

void DumpMixed(const int16_t* out, int frames) {
  if (!dump) return;
  if (!dumpHeaderOut) WriteDumpHeader(kDumpLengthUnknown);
  WriteDump(out, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
  dumpFrames += static_cast<uint64_t>(frames);
}

void DumpRateKnown(int rate) {
  if (dump && dumpFrames == 0) dumpRate = rate;
}

bool DumpOpen() { return dump != nullptr; }

void MakeDumpHeader(uint8_t (&h)[kDumpHeaderSize], uint64_t frames, int rate) {
  // Past what the 32-bit sizes hold, or not known, the length is the
  // largest size there is: a WAVE reader then takes the samples up to the
  // end of the file.
  constexpr uint64_t kLargest = 0xFFFFFFFFu;
  const bool fits = frames != kDumpLengthUnknown && frames <= (kLargest - 36) / 4;
  const uint32_t data = fits ? static_cast<uint32_t>(frames * 4) : static_cast<uint32_t>(kLargest);
  std::memcpy(h, "RIFF", 4);
  PutLe(h + 4, fits ? 36 + data : data, 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutLe(h + 16, 16, 4);
  PutLe(h + 20, 1, 2);
  PutLe(h + 22, 2, 2);
  PutLe(h + 24, static_cast<uint32_t>(rate), 4);
  PutLe(h + 28, static_cast<uint32_t>(rate) * 4, 4);
  PutLe(h + 32, 4, 2);
  PutLe(h + 34, 16, 2);
  std::memcpy(h + 36, "data", 4);
  PutLe(h + 40, data, 4);
}

bool OpenAudioDump(const char* path, std::string& reason) {
  CloseAudioDump();
  if (!path || !*path) return true;
  bool seekable = false;
  FILE* file = OpenOutputFile(path, seekable, reason);
  if (!file) return false;
  std::lock_guard<std::mutex> hold(MixLock());
  dump = file;
  dumpSeekable = seekable;
  dumpHeaderOut = false;
  dumpError = 0;
  dumpFrames = 0;
  dumpRate = AudioOutputRate() != 0 ? AudioOutputRate() : 44100;
  // A plain file has its header from the start, written over at the end
  // with the length; a stream gets its only one with the first samples,
  // when the output rate is known.
  if (seekable) {
    WriteDumpHeader(0);
    if (dumpError == 0 && std::fflush(dump) != 0) dumpError = LastError();
    if (dumpError != 0) {
      reason = std::strerror(dumpError);
      std::fclose(dump);
      dump = nullptr;
      return false;
    }
  }
  return true;
}

void CloseAudioDump() { EndAudioDump(); }

bool FinishAudioDump(std::string& reason) {
  int error = EndAudioDump();
  if (error != 0) reason = std::strerror(error);
  return error == 0;
}

}  // namespace plat
