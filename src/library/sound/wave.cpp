// The WAVE reader. A file is read whole and every chunk is checked against
// the bytes that are really there: a chunk size past the end of the file or
// of the RIFF chunk, an odd size with its pad byte, a short "fmt " or a
// "data" chunk ahead of "fmt " never make it read outside the file.
#include <cstring>

#include "platform/platform.h"
#include "sound/sound_internal.h"

namespace elSound {
namespace {

// The offset of the first chunk `id` in [from, end), or -1. Chunks are padded
// to an even length; a chunk that claims to run past `end` ends the search.
int64_t FindChunk(const uint8_t* bytes, uint64_t from, uint64_t end, const char* id) {
  uint64_t at = from;
  while (at + 8 <= end) {
    uint32_t size = ReadLe32(bytes + at + 4);
    if (std::memcmp(bytes + at, id, 4) == 0) return static_cast<int64_t>(at);
    uint64_t next = at + 8 + size + (size & 1u);
    if (next > end) break;
    at = next;
  }
  return -1;
}

}  // namespace

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t ReadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool ParseWave(const uint8_t* bytes, size_t size, WaveData& wave) {
  wave = WaveData{};
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    return false;
  }
  uint64_t riffEnd = 8 + static_cast<uint64_t>(ReadLe32(bytes + 4));
  if (riffEnd > size) riffEnd = size;

  int64_t fmt = FindChunk(bytes, 12, riffEnd, "fmt ");
  if (fmt < 0) return false;
  uint64_t fmtBody = static_cast<uint64_t>(fmt) + 8;
  uint32_t fmtSize = ReadLe32(bytes + fmt + 4);
  if (fmtSize < 16 || fmtBody + 16 > size) return false;
  uint32_t extra = 0;
  if (ReadLe16(bytes + fmtBody) != 1) {
    // Other formats carry the size of their extra bytes behind the 16.
    if (fmtSize < 18 || fmtBody + 18 > size) return false;
    extra = ReadLe16(bytes + fmtBody + 16);
    if (18 + extra > fmtSize || fmtBody + 18 + extra > size) return false;
  }
  std::vector<uint8_t> format(kPcmFormatSize + extra);
  std::memcpy(format.data(), bytes + fmtBody, 16);
  format[16] = static_cast<uint8_t>(extra);
  format[17] = static_cast<uint8_t>(extra >> 8);
  if (extra) std::memcpy(format.data() + 18, bytes + fmtBody + 18, extra);

  // "data" is looked for from the start of the RIFF chunk again, so it may
  // stand before "fmt ".
  int64_t data = FindChunk(bytes, 12, riffEnd, "data");
  if (data < 0) return false;
  uint64_t dataBody = static_cast<uint64_t>(data) + 8;
  uint32_t dataSize = ReadLe32(bytes + data + 4);
  if (dataBody + dataSize > size) return false;  // the file ends inside the samples
  wave.format = std::move(format);
  wave.samples.assign(bytes + dataBody, bytes + dataBody + dataSize);
  return true;
}

bool ReadWaveFile(const char* path, WaveData& wave) {
  wave = WaveData{};
  FILE* file = plat::OpenFile(path, "rb");
  if (!file) return false;
  std::vector<uint8_t> bytes;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  bool read = size >= 0 && size <= kLargestWave && std::fseek(file, 0, SEEK_SET) == 0;
  if (read) {
    bytes.resize(static_cast<size_t>(size));
    read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return read && ParseWave(bytes.data(), bytes.size(), wave);
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
