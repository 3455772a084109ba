// The WAVE reader on good, odd, truncated and lying files: it either reads
// what is there or fails, and never reads outside the file (the cases run
// on exact-size copies, so an over-read shows under a memory checker).
#include <cstring>

#include "sound/sound_internal.h"
#include "sound_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Chunk(const char* id, const Bytes& body, uint32_t claimed = 0xFFFFFFFF) {
  Bytes c(id, id + 4);
  soundtest::Put(c, claimed == 0xFFFFFFFF ? static_cast<uint32_t>(body.size()) : claimed, 4);
  c.insert(c.end(), body.begin(), body.end());
  if (body.size() % 2 && claimed == 0xFFFFFFFF) c.push_back(0);  // the pad byte
  return c;
}

Bytes Riff(const std::vector<Bytes>& chunks, int sizeDelta = 0) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes riff{'R', 'I', 'F', 'F'};
  soundtest::Put(riff, static_cast<uint32_t>(static_cast<int>(body.size()) + sizeDelta), 4);
  riff.insert(riff.end(), body.begin(), body.end());
  return riff;
}

Bytes Fmt(int tag, int channels, int bits, int rate = 22050, int extraSize = -1) {
  Bytes f;
  int align = channels * bits / 8;
  soundtest::Put(f, static_cast<uint32_t>(tag), 2);
  soundtest::Put(f, static_cast<uint32_t>(channels), 2);
  soundtest::Put(f, static_cast<uint32_t>(rate), 4);
  soundtest::Put(f, static_cast<uint32_t>(rate * align), 4);
  soundtest::Put(f, static_cast<uint32_t>(align), 2);
  soundtest::Put(f, static_cast<uint32_t>(bits), 2);
  if (extraSize >= 0) {
    soundtest::Put(f, static_cast<uint32_t>(extraSize), 2);
    for (int i = 0; i < extraSize; ++i) f.push_back(0xEE);
  }
  return f;
}

const Bytes kSamples{1, 2, 3, 4, 5, 6};

// A non-PCM record of 18 bytes whose extra size claims more than follows.
Bytes FmtWithExtraSize(uint16_t extra) {
  Bytes f = Fmt(2, 1, 4);
  soundtest::Put(f, extra, 2);
  return f;
}

TEST(SoundWave, ReadsWhatIsThereOrFails) {
  Bytes good = Riff({Chunk("fmt ", Fmt(1, 1, 16)), Chunk("data", kSamples)});
  Bytes truncated(good.begin(), good.end() - 1);
  struct Case {
    const char* what;
    Bytes file;
    bool reads;
    size_t formatSize, samples;
  } const kCases[] = {
      {"canonical", good, true, 18, 6},
      {"data before fmt", Riff({Chunk("data", kSamples), Chunk("fmt ", Fmt(1, 2, 8))}), true, 18, 6},
      {"odd chunk with its pad byte", Riff({Chunk("LIST", {9, 9, 9}), Chunk("fmt ", Fmt(1, 1, 8)), Chunk("data", {7, 7, 7})}), true, 18, 3},
      {"other format with extra bytes", Riff({Chunk("fmt ", Fmt(2, 1, 4, 22050, 4)), Chunk("data", kSamples)}), true, 22, 6},
      {"zero bytes of data", Riff({Chunk("fmt ", Fmt(1, 1, 16)), Chunk("data", {})}), true, 18, 0},
      {"RIFF size past the end", Riff({Chunk("fmt ", Fmt(1, 1, 16)), Chunk("data", kSamples)}, 1000), true, 18, 6},
      {"samples cut short", truncated, false, 0, 0},
      {"data size past the end", Riff({Chunk("fmt ", Fmt(1, 1, 16)), Chunk("data", kSamples, 1000)}), false, 0, 0},
      {"fmt shorter than 16", Riff({Chunk("fmt ", Bytes(14, 1)), Chunk("data", kSamples)}), false, 0, 0},
      {"fmt size past the end", Riff({Chunk("fmt ", Fmt(1, 1, 16), 4000)}), false, 0, 0},
      {"extra size past the chunk", Riff({Chunk("fmt ", FmtWithExtraSize(40)), Chunk("data", kSamples)}), false, 0, 0},
      {"non-PCM without extra size", Riff({Chunk("fmt ", Fmt(2, 1, 4)), Chunk("data", kSamples)}), false, 0, 0},
      {"no data", Riff({Chunk("fmt ", Fmt(1, 1, 16))}), false, 0, 0},
      {"no fmt", Riff({Chunk("data", kSamples)}), false, 0, 0},
      {"not WAVE", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, false, 0, 0},
      {"header only", Bytes{'R', 'I', 'F', 'F'}, false, 0, 0},
      {"empty", Bytes{}, false, 0, 0},
  };
  for (const Case& c : kCases) {
    // An exact-size copy on the heap, so that reading past it is caught.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[c.file.size() + 1]);
    if (!c.file.empty()) std::memcpy(exact.get(), c.file.data(), c.file.size());
    elSound::WaveInfo wave;
    elSound::ByteSource source;
    source.bytes = exact.get();
    source.size = c.file.size();
    EXPECT_EQ(elSound::ParseWave(source, wave), c.reads) << c.what;
    EXPECT_EQ(wave.format.size(), c.formatSize) << c.what;
    EXPECT_EQ(wave.dataSize, c.samples) << c.what;
    // The samples lie where the file has them.
    if (c.reads && c.samples) {
      EXPECT_EQ(std::vector<uint8_t>(c.file.begin() + static_cast<long>(wave.dataOffset),
                                     c.file.begin() + static_cast<long>(wave.dataOffset + c.samples)),
                std::vector<uint8_t>(c.samples == 6 ? kSamples : Bytes{7, 7, 7}))
          << c.what;
    }
  }
}

TEST(SoundWave, FormatsTheDevicePlays) {
  struct Case {
    Bytes record;
    bool plays;
  } const kCases[] = {
      {Fmt(1, 2, 16, 44100, 0), true}, {Fmt(1, 1, 8, 8000, 0), true},
      {Fmt(1, 0, 16, 44100, 0), false}, {Fmt(1, 2, 0, 44100, 0), false},
      {Fmt(1, 2, 24, 44100, 0), false}, {Fmt(2, 1, 16, 44100, 0), false},
      {Fmt(1, 1, 16, 99, 0), false},   {Fmt(1, 1, 16, 100001, 0), false},
  };
  for (const Case& c : kCases) {
    plat::PcmFormat format;
    int code = 0;
    EXPECT_EQ(elSound::FormatFromRecord(c.record, format, code), c.plays);
    EXPECT_EQ(code, c.plays ? 0 : plat::kAudioInvalidParam);
  }
}

}  // namespace
