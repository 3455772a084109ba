// Streamed sounds: a long pack entry plays from a four-second ring buffer
// whose halves are refilled from the pack file while it plays.
#include <cstring>

#include "draw/eldraw.h"
#include "shell/elsystem.h"
#include "sound/sound_internal.h"

namespace elSound {
namespace {

constexpr char kLoadCaption[] = "elSound::LoadStream";
constexpr char kResetCaption[] = "elSound::ResetStream";
constexpr char kStreamingCaption[] = "elSound::Streaming";
constexpr char kNoPack[] = "パックファイル名が指定されていません";
constexpr char kCannotSeek[] = "ストリーミング再生できません";

// Streams shorter than this many seconds are loaded whole.
constexpr uint32_t kShortestStream = 5;

// Fills `bytes` bytes of the ring from `offset`: from the file, or with the
// format's silence when `file` is null. What the file cannot give (a pack
// cut short) is silence too.
void FillRing(const StreamRecord& r, int buffer, uint32_t offset, uint32_t bytes, FILE* file) {
  plat::LockedRegions regions;
  if (!plat::LockSoundBuffer(buffer, offset, bytes, regions)) return;
  uint8_t* parts[2] = {regions.first, regions.second};
  uint32_t sizes[2] = {regions.firstBytes, regions.secondBytes};
  for (int i = 0; i < 2; ++i) {
    size_t got = file && parts[i] ? std::fread(parts[i], 1, sizes[i], file) : 0;
    if (got < sizes[i]) std::memset(parts[i] + got, r.silence, sizes[i] - got);
  }
}

// Rewinds the stream: the first chunk of the data, read from `file` (at the
// data start), goes into the first half of the ring; the next refill writes
// the second half.
void FillFirstHalf(StreamRecord& r, int buffer, FILE* file) {
  r.lastWriteStart = 0;
  r.writeOffset = r.chunkSize;
  FillRing(r, buffer, 0, r.chunkSize, file);
  r.filePosition = static_cast<uint64_t>(plat::FileOffset(file));
  r.consumed = r.chunkSize;
  r.wrapMark = -1;
  r.lastPlay = 0;
  r.endCountdown = 0;
}

uint32_t WholeFrames(uint32_t bytes, uint32_t blockAlign) { return bytes - bytes % blockAlign; }

// The next piece to read: a chunk, the rest, or half the rest when a full
// chunk would leave less than a chunk behind it. In whole sample frames.
uint32_t NextPiece(const StreamRecord& r) {
  uint32_t left = r.dataSize - r.consumed;
  uint32_t n = r.chunkSize;
  if (r.consumed + n > r.dataSize) return left;
  if (left - n < n) {
    n = WholeFrames(left / 2, r.blockAlign);
    if (n == 0) n = left;
  }
  return n;
}

// True when playback at `p` has left the half written last.
bool RefillDue(const StreamRecord& r, uint32_t p) {
  uint32_t s = r.lastWriteStart;
  if (r.wrapMark == -1) return p >= s || p < r.lastPlay;
  uint32_t m = static_cast<uint32_t>(r.wrapMark);
  if (s < m) return s <= p && p < m;
  return p >= s;
}

// A streamed slot's failure while it plays names its entry in its pack.
int FailPlaying(const char* caption, const SoundSlot& s, const char* message) {
  char named[sizeof s.stream.filePath + kNameLength + 8];
  elSystem::NameInPack(named, sizeof named, s.stream.filePath, s.name);
  return elDraw::ErrorAbout(caption, named, message);
}

}  // namespace

int LoadStream(const char* name, int loopOffset) {
  if (!soundAvailable) return -1;
  char named[sizeof packPath + kNameLength + 8];
  elSystem::NameInPack(named, sizeof named, packPath, name);
  const Request request{kLoadCaption, named};
  if (!reloadingObjects && std::strlen(name) > static_cast<size_t>(kNameLength)) {
    return Fail(request, "ファイル名が長すぎます");
  }
  int index = TakeSlot(request);
  if (index < 0) return -1;
  SoundSlot& s = SoundTable[index];
  StreamRecord& r = s.stream;
  char path[sizeof r.filePath];
  std::snprintf(path, sizeof path, "%s", packPath);

  FILE* file = nullptr;
  uint32_t dataSize = 0, formatSize = 0;
  PackSearch found = FindPackEntry(path, name, file, dataSize, formatSize);
  if (found == PackSearch::NoFile) return Fail(request, kNoPack);
  if (found == PackSearch::NotFound) return Fail(request, "WAVEファイルを読み込めません");
  WaveInfo wave;
  // The record only: the samples stay in the file.
  if (formatSize < 16 || formatSize > kPcmFormatSize + 0xFFFF) {
    std::fclose(file);
    return Fail(request, "WAVEファイルを読み込めません");
  }
  wave.format.resize(formatSize);
  if (std::fread(wave.format.data(), 1, formatSize, file) != formatSize) {
    std::fclose(file);
    return Fail(request, "WAVEファイルを読み込めません");
  }
  uint32_t perSecond = AverageBytesPerSecond(wave.format);
  if (perSecond == 0 || dataSize / perSecond < kShortestStream) {
    std::fclose(file);
    return LoadPack(name, 1);
  }
  plat::PcmFormat format;
  int code = 0;
  if (!FormatFromRecord(wave.format, format, code)) {
    std::fclose(file);
    return Fail(request, "サウンドバッファが生成できません", code);
  }

  DropBuffers(s);
  std::memcpy(r.filePath, path, sizeof r.filePath);
  r.blockAlign = static_cast<uint16_t>(format.BlockAlign());
  r.silence = format.bits == 8 ? 0x80 : 0;
  r.bufferSize = 4 * perSecond;
  r.chunkSize = r.bufferSize / 2;
  r.dataStart = static_cast<uint64_t>(plat::FileOffset(file));
  // The loop point lies inside the data, on a whole sample frame.
  uint32_t offset = loopOffset < 0 || static_cast<uint32_t>(loopOffset) >= dataSize
                        ? 0
                        : WholeFrames(static_cast<uint32_t>(loopOffset), r.blockAlign);
  r.loopPoint = r.dataStart + offset;
  r.dataSize = dataSize;

  s.buffers[0] = plat::CreateSoundBuffer(format, r.bufferSize, code);
  if (!s.buffers[0]) {
    std::fclose(file);
    r.dataSize = 0;
    return Fail(request, "サウンドバッファが生成できません", code);
  }
  FillFirstHalf(r, s.buffers[0], file);
  std::fclose(file);
  s.bufferCount = 1;
  s.echoCounter = -1;
  if (!reloadingObjects) s.nextBuffer = 0;
  ApplySettings(s, 0);
  s.inUse = 1;
  s.fromPack = 1;
  if (!reloadingObjects) std::snprintf(s.name, sizeof s.name, "%s", name);
  return index;
}

int ResetStream(int slot) {
  if (!soundAvailable) return 0;
  if (!ValidSlot(slot) || SoundTable[slot].stream.dataSize == 0) return 0;
  SoundSlot& s = SoundTable[slot];
  StreamRecord& r = s.stream;
  FILE* file = plat::OpenFile(r.filePath, "rb");
  if (!file) return FailPlaying(kResetCaption, s, kNoPack);
  if (!plat::SeekFile(file, static_cast<int64_t>(r.dataStart))) {
    std::fclose(file);
    return FailPlaying(kResetCaption, s, kCannotSeek);
  }
  FillFirstHalf(r, s.buffers[0], file);
  std::fclose(file);
  return 1;
}

int Streaming() {
  if (!soundAvailable) return 0;
  for (int i = 0; i < kSlotCount; ++i) {
    SoundSlot& s = SoundTable[i];
    StreamRecord& r = s.stream;
    if (r.dataSize == 0 || !s.inUse || !plat::SoundBufferPlaying(s.buffers[0])) continue;
    uint32_t p = 0, write = 0;
    plat::GetSoundBufferPosition(s.buffers[0], p, write);
    if (!RefillDue(r, p)) continue;
    r.lastPlay = p;
    if (r.endCountdown > 0 && --r.endCountdown == 0) {
      StopObject(i, -1);
      continue;
    }
    FILE* file = plat::OpenFile(r.filePath, "rb");
    if (!file) return FailPlaying(kStreamingCaption, s, kNoPack);
    if (!plat::SeekFile(file, static_cast<int64_t>(r.filePosition))) {
      std::fclose(file);
      return FailPlaying(kStreamingCaption, s, kCannotSeek);
    }
    uint32_t n = NextPiece(r);
    // The half after the last data of a stream played once is silence; the
    // file moves on all the same.
    bool silent = r.endCountdown == 1;
    FillRing(r, s.buffers[0], r.writeOffset, n, silent ? nullptr : file);
    if (silent) plat::SeekFile(file, n, SEEK_CUR);
    r.filePosition = static_cast<uint64_t>(plat::FileOffset(file));
    std::fclose(file);
    r.consumed += n;
    if (r.consumed >= r.dataSize) {
      r.filePosition = r.loopPoint;
      r.consumed = static_cast<uint32_t>(r.loopPoint - r.dataStart);
      // The countdown starts once: a loop point in the last piece brings the
      // silent refill to the end of the data again, and starting it anew
      // there would keep a stream played once going for ever.
      if (!s.loopFlag && r.endCountdown == 0) r.endCountdown = 2;
    }
    r.wrapMark = r.writeOffset < r.lastWriteStart ? static_cast<int32_t>(p) : -1;
    r.lastWriteStart = r.writeOffset > r.bufferSize ? r.writeOffset - r.bufferSize : r.writeOffset;
    r.writeOffset += n;
    if (r.writeOffset >= r.bufferSize) r.writeOffset -= r.bufferSize;
  }
  return 1;
}

}  // namespace elSound
