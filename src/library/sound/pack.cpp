// The sound pack: one file of entries, each the data size (4 bytes), the
// upper-case file name with its zero, the format size (4 bytes), the 18-byte
// PCM format record and the samples. No header, no terminator.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "shell/elsystem.h"
#include "sound/sound_internal.h"

namespace elSound {

char packPath[256];

namespace {

// An entry name longer than this is not one MakePack writes: the pack is
// broken there and the search ends.
constexpr size_t kLongestEntryName = 259;

bool ReadU32(FILE* file, uint32_t& value) {
  uint8_t b[4];
  if (std::fread(b, 1, 4, file) != 4) return false;
  value = ReadLe32(b);
  return true;
}

void WriteU32(FILE* file, uint32_t value) {
  uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                  static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  std::fwrite(b, 1, 4, file);
}

// The part of a Windows-form name behind its last backslash; the trail byte
// of a double-byte character is not a backslash.
const char* LastPart(const char* name) {
  const char* part = name;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    if (plat::IsLeadByte(*p) && p[1]) {
      ++p;
    } else if (*p == '\\') {
      part = reinterpret_cast<const char*>(p + 1);
    }
  }
  return part;
}

int64_t BytesLeft(FILE* file) {
  int64_t here = plat::FileOffset(file);
  if (here < 0 || !plat::SeekFile(file, 0, SEEK_END)) return -1;
  int64_t end = plat::FileOffset(file);
  plat::SeekFile(file, here);
  return end - here;
}

// Copies `size` bytes from `offset` of `in` to the end of `out`, a block at
// a time; what `in` cannot give is written as zero bytes, so that the entry
// keeps the size it declares.
void CopyBytes(FILE* in, uint64_t offset, uint32_t size, FILE* out) {
  uint8_t block[64 * 1024];
  bool readable = plat::SeekFile(in, static_cast<int64_t>(offset));
  while (size > 0) {
    size_t n = size < sizeof block ? size : sizeof block;
    size_t got = readable ? std::fread(block, 1, n, in) : 0;
    if (got < n) {
      std::memset(block + got, 0, n - got);
      readable = false;
    }
    std::fwrite(block, 1, n, out);
    size -= static_cast<uint32_t>(n);
  }
}

}  // namespace

PackSearch FindPackEntry(const char* path, const char* name, FILE*& file, uint32_t& dataSize,
                         uint32_t& formatSize) {
  file = plat::OpenFile(path, "rb");
  if (!file) return PackSearch::NoFile;
  std::string wanted = name;
  UpperCase(wanted.data());
  std::string entry;
  while (ReadU32(file, dataSize)) {
    entry.clear();
    int c = 0;
    while ((c = std::fgetc(file)) > 0 && entry.size() <= kLongestEntryName) {
      entry += static_cast<char>(c);
    }
    if (c != 0 || !ReadU32(file, formatSize)) break;
    if (entry == wanted) return PackSearch::Found;
    // Every entry of a pack has an 18-byte format record.
    if (!plat::SeekFile(file, int64_t{dataSize} + kPcmFormatSize, SEEK_CUR)) {
      break;
    }
  }
  std::fclose(file);
  file = nullptr;
  return PackSearch::NotFound;
}

bool ReadPackEntry(FILE* file, uint32_t dataSize, uint32_t formatSize, WaveInfo& wave) {
  wave = WaveInfo{};
  int64_t left = BytesLeft(file);
  if (formatSize < 16 || formatSize > kPcmFormatSize + 0xFFFF || dataSize > kLargestWave || left < 0 ||
      static_cast<uint64_t>(formatSize) + dataSize > static_cast<uint64_t>(left)) {
    return false;
  }
  wave.format.resize(formatSize);
  if (std::fread(wave.format.data(), 1, formatSize, file) != formatSize) {
    wave = WaveInfo{};
    return false;
  }
  wave.dataOffset = static_cast<uint64_t>(plat::FileOffset(file));
  wave.dataSize = dataSize;
  return true;
}

void SetPackFile(const char* fileName) {
  std::snprintf(packPath, sizeof packPath, "%s%s", elSystem::GetProgramFolder(0), fileName);
}

int MakePack(const char* packName, const char* folder, int deleteFirst) {
  std::string root = elSystem::GetProgramFolder(0);
  std::string pack = root + packName;
  if (deleteFirst) plat::RemoveFile(pack.c_str());
  std::string prefix = folder[0] ? std::string(folder) + "\\" : std::string();
  for (const std::string& file : plat::FindFiles((root + folder).c_str(), "*.WAV")) {
    std::string relative = prefix + file;
    UpperCase(relative.data());
    // A file that is not PCM WAVE is left out: an entry without an 18-byte
    // format record would break the search of every entry behind it.
    WaveInfo wave;
    FILE* in = OpenWaveFile((root + relative).c_str(), wave);
    if (!in) continue;
    FILE* out = wave.format.size() == kPcmFormatSize ? plat::OpenFile(pack.c_str(), "ab") : nullptr;
    if (out) {
      const char* entryName = LastPart(relative.c_str());
      WriteU32(out, wave.dataSize);
      std::fwrite(entryName, 1, std::strlen(entryName) + 1, out);
      WriteU32(out, static_cast<uint32_t>(wave.format.size()));
      std::fwrite(wave.format.data(), 1, wave.format.size(), out);
      CopyBytes(in, wave.dataOffset, wave.dataSize, out);
      std::fclose(out);
    }
    std::fclose(in);
  }
  return 1;
}

}  // namespace elSound
