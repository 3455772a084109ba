// The WAVE reader. Only the chunk headers and the format record are read;
// the samples stay in the file until the loader reads them straight into
// its buffer. Every chunk is checked against the bytes that are really
// there: a chunk size past the end of the file or of the RIFF chunk, an odd
// size with its pad byte, a short "fmt " or a "data" chunk ahead of "fmt "
// never make it read outside the file.
#include <cstring>

#include "platform/platform.h"
#include "sound/sound_internal.h"

namespace elSound {
namespace {

// The offset of the first chunk `id` in [from, end), or -1. Chunks are padded
// to an even length; a chunk that claims to run past `end` ends the search.
int64_t FindChunk(const ByteSource& source, uint64_t from, uint64_t end, const char* id, uint32_t& size) {
  uint64_t at = from;
  uint8_t header[8];
  while (at + 8 <= end && source.Read(at, header, 8)) {
    size = ReadLe32(header + 4);
    if (std::memcmp(header, id, 4) == 0) return static_cast<int64_t>(at);
    uint64_t next = at + 8 + size + (size & 1u);
    if (next > end) break;
    at = next;
  }
  return -1;
}

}  // namespace

bool ByteSource::Read(uint64_t offset, void* into, size_t count) const {
  if (offset > size || count > size - offset) return false;
  if (bytes) {
    if (count) std::memcpy(into, bytes + offset, count);
    return true;
  }
  return plat::SeekFile(file, static_cast<int64_t>(offset)) && std::fread(into, 1, count, file) == count;
}

ByteSource ByteSource::OfFile(FILE* file) {
  ByteSource source;
  source.file = file;
  int64_t size = -1;
  if (plat::SeekFile(file, 0, SEEK_END)) size = plat::FileOffset(file);
  source.size = size > 0 ? static_cast<uint64_t>(size) : 0;
  return source;
}

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t ReadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool ParseWave(const ByteSource& source, WaveInfo& wave) {
  wave = WaveInfo{};
  uint8_t riff[12];
  if (!source.Read(0, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
    return false;
  }
  uint64_t riffEnd = 8 + static_cast<uint64_t>(ReadLe32(riff + 4));
  if (riffEnd > source.size) riffEnd = source.size;

  uint32_t fmtSize = 0;
  int64_t fmt = FindChunk(source, 12, riffEnd, "fmt ", fmtSize);
  if (fmt < 0 || fmtSize < 16) return false;
  uint64_t fmtBody = static_cast<uint64_t>(fmt) + 8;
  uint8_t head[18];
  if (!source.Read(fmtBody, head, 16)) return false;
  uint32_t extra = 0;
  if (ReadLe16(head) != 1) {
    // Other formats carry the size of their extra bytes behind the 16.
    if (fmtSize < 18 || !source.Read(fmtBody + 16, head + 16, 2)) return false;
    extra = ReadLe16(head + 16);
    if (18 + extra > fmtSize) return false;
  }
  std::vector<uint8_t> format(kPcmFormatSize + extra);
  std::memcpy(format.data(), head, 16);
  format[16] = static_cast<uint8_t>(extra);
  format[17] = static_cast<uint8_t>(extra >> 8);
  if (extra && !source.Read(fmtBody + 18, format.data() + 18, extra)) return false;

  // "data" is looked for from the start of the RIFF chunk again, so it may
  // stand before "fmt ".
  uint32_t dataSize = 0;
  int64_t data = FindChunk(source, 12, riffEnd, "data", dataSize);
  if (data < 0) return false;
  uint64_t dataBody = static_cast<uint64_t>(data) + 8;
  if (dataBody + dataSize > source.size) return false;  // the file ends inside the samples
  wave.format = std::move(format);
  wave.dataOffset = dataBody;
  wave.dataSize = dataSize;
  return true;
}

void ReadSamples(const SampleSource& samples, uint8_t* into, uint32_t bytes) {
  size_t got = 0;
  if (plat::SeekFile(samples.file, static_cast<int64_t>(samples.offset))) got = std::fread(into, 1, bytes, samples.file);
  if (got < bytes) std::memset(into + got, samples.silence, bytes - got);
}

FILE* OpenWaveFile(const char* path, WaveInfo& wave) {
  wave = WaveInfo{};
  FILE* file = plat::OpenFile(path, "rb");
  if (!file) return nullptr;
  ByteSource source = ByteSource::OfFile(file);
  if (source.size > static_cast<uint64_t>(kLargestWave) || !ParseWave(source, wave)) {
    std::fclose(file);
    wave = WaveInfo{};
    return nullptr;
  }
  return file;
}

uint32_t AverageBytesPerSecond(const std::vector<uint8_t>& record) {
  return record.size() >= 16 ? ReadLe32(record.data() + 8) : 0;
}

bool FormatFromRecord(const std::vector<uint8_t>& record, plat::PcmFormat& format, int& errorCode) {
  errorCode = plat::kAudioInvalidParam;
  if (record.size() < 16) return false;
  const uint8_t* r = record.data();
  format.channels = ReadLe16(r + 2);
  format.rate = static_cast<int>(ReadLe32(r + 4));
  format.bits = ReadLe16(r + 14);
  // Only PCM plays; its block alignment and byte rate must agree with the
  // rest, as the device checks them.
  if (ReadLe16(r) != 1 || (format.channels != 1 && format.channels != 2) ||
      (format.bits != 8 && format.bits != 16) || format.rate < 100 || format.rate > 100000 ||
      ReadLe16(r + 12) != format.BlockAlign() ||
      ReadLe32(r + 8) != static_cast<uint32_t>(format.BlockAlign() * format.rate)) {
    return false;
  }
  errorCode = 0;
  return true;
}

void UpperCase(char* text) {
  for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
    if (plat::IsLeadByte(*p)) {
      if (!p[1]) break;
      ++p;
    } else if (*p >= 'a' && *p <= 'z') {
      *p = static_cast<unsigned char>(*p - 'a' + 'A');
    }
  }
}

}  // namespace elSound
