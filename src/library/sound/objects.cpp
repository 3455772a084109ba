// Sound objects: loading WAVE files and pack entries into the 70 slots,
// freeing them, and the buffers each slot holds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "draw/eldraw.h"
#include "shell/elsystem.h"
#include "sound/sound_internal.h"

namespace elSound {

int loadingSlot = 0;

namespace {

constexpr char kObjectCaption[] = "elSound::LoadObject";
constexpr char kPackCaption[] = "elSound::LoadPack";

// The checks every loader makes before it reads anything: the mix count and
// the name's length (a name too long to store could never be rebuilt, so it
// is refused before a slot is filled).
bool CheckRequest(const Request& request, const char* name, int n, const char* tooLong) {
  if (std::abs(n) > kMaxMix) return Fail(request, "ミックス数が多過ぎます") == 0;
  if (!reloadingObjects && std::strlen(name) > static_cast<size_t>(kNameLength)) {
    return Fail(request, tooLong) == 0;
  }
  return true;
}

// Fills the slot from `wave`, whose samples `file` holds, with |n| buffers
// and marks it loaded; closes the file.
int FinishLoad(int index, const char* name, int n, FILE* file, const WaveInfo& wave, const Request& request,
               int fromPack) {
  SoundSlot& s = SoundTable[index];
  // A mix count of 0 is taken as 1: a slot without a buffer cannot play.
  int count = n == 0 ? 1 : std::abs(n);
  s.echoCounter = n > 1 ? 0 : -1;
  if (!reloadingObjects) s.nextBuffer = 0;
  bool filled = FillSlotBuffers(s, count, wave.format, SampleSource{file, wave.dataOffset, wave.dataSize}, request);
  std::fclose(file);
  if (!filled) return -1;
  s.inUse = 1;
  s.fromPack = fromPack;
  s.stream.dataSize = 0;
  if (!reloadingObjects) std::snprintf(s.name, sizeof s.name, "%s", name);
  return index;
}

}  // namespace

bool ValidSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

int Fail(const Request& request, const char* message, int code) {
  elDraw::ErrorAbout(request.caption, request.name, message, code);
  return -1;
}

int TakeSlot(const Request& request) {
  if (reloadingObjects) return loadingSlot;
  for (int i = 0; i < kSlotCount; ++i) {
    if (!SoundTable[i].inUse) {
      loadingSlot = i;
      return i;
    }
  }
  return Fail(request, "オブジェクト数が多過ぎます");
}

void DropBuffers(SoundSlot& s) {
  for (int& b : s.buffers) {
    if (!b) continue;
    plat::StopSoundBuffer(b);
    plat::ReleaseSoundBuffer(b);
    b = 0;
  }
}

void ApplySettings(SoundSlot& s, int j) {
  int b = s.buffers[j];
  if (reloadingObjects) {
    plat::SetSoundBufferVolume(b, s.volume[j]);
    plat::SetSoundBufferFrequency(b, s.frequency[j]);
    plat::SetSoundBufferPan(b, s.pan[j]);
  } else {
    s.frequency[j] = plat::GetSoundBufferFrequency(b);
    s.baseFrequency = s.frequency[j];
    s.volume[j] = 0;
    s.pan[j] = 0;
  }
}

bool FillSlotBuffers(SoundSlot& s, int count, const std::vector<uint8_t>& record, const SampleSource& samples,
                     const Request& request) {
  plat::PcmFormat format;
  int code = 0;
  bool playable = FormatFromRecord(record, format, code);
  DropBuffers(s);
  s.bufferCount = count;
  for (int j = 0; j < count; ++j) {
    // The first buffer takes the samples from the file; the others play the
    // same samples, which are never written again, so they share them.
    if (playable) {
      s.buffers[j] = j == 0 ? plat::CreateSoundBuffer(format, samples.size, code)
                            : plat::DuplicateSoundBuffer(s.buffers[0], code);
    }
    if (!playable || !s.buffers[j]) {
      // Nothing half made stays behind in a slot that is not in use.
      if (!s.inUse) DropBuffers(s);
      Fail(request, "サウンドバッファが生成できません", code);
      return false;
    }
    plat::LockedRegions r;
    if (j == 0 && plat::LockSoundBuffer(s.buffers[0], 0, samples.size, r)) {
      SampleSource from = samples;
      from.silence = format.bits == 8 ? 0x80 : 0;
      ReadSamples(from, r.first, r.firstBytes);
    }
    ApplySettings(s, j);
  }
  return true;
}

int LoadObject(const char* name, int n) {
  if (!soundAvailable) return -1;
  const Request request{kObjectCaption, name};
  if (!CheckRequest(request, name, n, "ファイル名またはリソース名が長すぎます")) return -1;
  int index = TakeSlot(request);
  if (index < 0) return -1;
  // This platform has no resources: a name that is no readable WAVE file
  // beside the program is reported as a missing resource.
  WaveInfo wave;
  std::string path = std::string(elSystem::GetProgramFolder(0)) + name;
  FILE* file = OpenWaveFile(path.c_str(), wave);
  if (!file) return Fail(request, "WAVEリソースが見つかりません");
  return FinishLoad(index, name, n, file, wave, request, 0);
}

int LoadPack(const char* name, int n) {
  if (!soundAvailable) return -1;
  char named[sizeof packPath + kNameLength + 8];
  elSystem::NameInPack(named, sizeof named, packPath, name);
  const Request request{kPackCaption, named};
  if (!CheckRequest(request, name, n, "ファイル名が長すぎます")) return -1;
  int index = TakeSlot(request);
  if (index < 0) return -1;
  FILE* file = nullptr;
  uint32_t dataSize = 0, formatSize = 0;
  PackSearch found = FindPackEntry(packPath, name, file, dataSize, formatSize);
  if (found == PackSearch::NoFile) return Fail(request, "パックファイル名が指定されていません");
  WaveInfo wave;
  if (found != PackSearch::Found || !ReadPackEntry(file, dataSize, formatSize, wave)) {
    if (file) std::fclose(file);
    return Fail(request, "WAVEファイルを読み込めません");
  }
  return FinishLoad(index, name, n, file, wave, request, 1);
}

void FreeObject(int slot) {
  if (!soundAvailable || !ValidSlot(slot) || !SoundTable[slot].inUse) return;
  SoundSlot& s = SoundTable[slot];
  s.inUse = 0;
  s.baseFrequency = 0;
  s.name[0] = '\0';
  s.fromPack = 0;
  s.stream.dataSize = 0;
  for (int j = 0; j < s.bufferCount; ++j) {
    s.volume[j] = 0;
    s.frequency[j] = 0;
    s.pan[j] = 0;
  }
  DropBuffers(s);
  s.bufferCount = 1;
}

}  // namespace elSound
