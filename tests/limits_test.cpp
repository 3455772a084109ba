// The largest picture, pack entry, sound, key script and MIDI file the
// program takes: one just inside each limit loads, one just past it is
// refused the way any unreadable file is. The huge files are sparse, so they
// cost no disk space, and each is refused before it is read.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "platform/audio/music.h"
#include "platform/platform.h"
#include "shell/elsystem.h"
#include "shell/runcontrol.h"
#include "sound/elsound.h"
#include "sound/mci.h"
#include "sound_fixture.h"

namespace {

void Put(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// A plain bottom-up BMP of `width` x `height`: 24 bits a pixel, or RLE8
// with `rleBytes` bytes of codes.
std::string Bmp(int width, int height, int rleBytes = 0) {
  const bool rle = rleBytes > 0;
  const uint32_t palette = rle ? 256 * 4 : 0;
  const uint32_t pixels = rle ? rleBytes : ((width * 3 + 3) / 4 * 4) * height;
  std::string f = "BM";
  Put(f, 54 + palette + pixels, 4);
  Put(f, 0, 4);
  Put(f, 54 + palette, 4);
  Put(f, 40, 4);
  Put(f, width, 4);
  Put(f, height, 4);
  Put(f, 1, 2);
  Put(f, rle ? 8 : 24, 2);
  Put(f, rle ? 1 : 0, 4);
  Put(f, pixels, 4);
  for (int i = 0; i < 4; ++i) Put(f, 0, 4);
  f.append(palette + pixels, '\x11');
  return f;
}

// A sprite pack of one entry LIMIT.BMP.
std::string SpritePack(int width, int height) {
  std::string f;
  Put(f, width, 2);
  Put(f, height, 2);
  f += "LIMIT.BMP";
  f += '\0';
  f.append(2 * static_cast<size_t>(width) * height, '\x21');
  return f;
}

// The 16 bytes of a mono 8-bit 8000 Hz PCM format record.
void PutFormat(std::string& f) {
  Put(f, 1, 2);
  Put(f, 1, 2);
  Put(f, 8000, 4);
  Put(f, 8000, 4);
  Put(f, 1, 2);
  Put(f, 8, 2);
}

// A WAVE header for `dataBytes` of samples; the samples are left to the
// caller.
std::string WaveHead(uint32_t dataBytes) {
  std::string f = "RIFF";
  Put(f, 36 + dataBytes, 4);
  f += "WAVEfmt ";
  Put(f, 16, 4);
  PutFormat(f);
  f += "data";
  Put(f, dataBytes, 4);
  return f;
}

// The head of a sound pack entry LIMIT.WAV of `dataBytes` of samples.
std::string SoundPackHead(uint32_t dataBytes) {
  std::string f;
  Put(f, dataBytes, 4);
  f += "LIMIT.WAV";
  f += '\0';
  Put(f, 18, 4);
  PutFormat(f);
  Put(f, 0, 2);
  return f;
}

// The sound fixture with the screen open too, as the game has both.
class LimitsTest : public soundtest::SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    InitSystem();
    elDraw::screen = elDraw::ScreenState{};
    for (elDraw::SpriteSlot& slot : elDraw::SpriteTable) slot = elDraw::SpriteSlot{};
    ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  }
  void TearDown() override {
    elDraw::Release();
    SoundTest::TearDown();
  }
  std::string Real(const std::string& file) const { return soundtest::ProgramPath(Rel(file)); }
  // Writes `head` and makes the file `size` bytes long (sparse past `head`).
  void Write(const std::string& file, const std::string& head, uint64_t size) {
    {
      std::ofstream out(Real(file), std::ios::binary);
      out << head;
    }
    std::filesystem::resize_file(Real(file), size);
  }
};

constexpr uint64_t kMiB = 1024 * 1024;

TEST_F(LimitsTest, LargestInputsLoadAndLargerAreRefused) {
  auto picture = [this](const std::string& file) {
    plat::Bitmap bitmap;
    return plat::LoadBitmap((std::string(elSystem::GetProgramFolder(0)) + Rel(file)).c_str(), bitmap);
  };
  auto spritePack = [this](const std::string& file) {
    elDraw::SetPackFile(Rel(file).c_str());
    int slot = elDraw::LoadPack("limit.bmp", 0);
    if (slot > 0) elDraw::ReleaseObject(slot);
    return slot > 0;
  };
  auto wave = [this](const std::string& file) {
    int slot = elSound::LoadObject(Rel(file).c_str(), 1);
    if (slot >= 0) elSound::FreeObject(slot);
    return slot >= 0;
  };
  auto soundPack = [this](const std::string& file) {
    elSound::SetPackFile(Rel(file).c_str());
    int slot = elSound::LoadPack("limit.wav", 1);
    if (slot >= 0) elSound::FreeObject(slot);
    return slot >= 0;
  };
  auto keyScript = [this](const std::string& file) {
    std::vector<shell::ScriptedKey> keys;
    std::string error;
    return shell::ParseKeyScript(Real(file).c_str(), keys, error);
  };
  auto midi = [this](const std::string& file) {
    std::string command = "open " + Rel(file) + " type sequencer alias limit";
    int result = elSound::SendMci(command.c_str(), nullptr, 0);
    elSound::SendMci("close limit", nullptr, 0);
    return result != elSound::kMciInvalidFile && result != elSound::kMciFileNotFound;
  };
  struct Case {
    const char* what;
    std::string head;
    uint64_t size;  // 0: the head alone
    std::function<bool(const std::string&)> load;
    bool loads;
  } cases[] = {
      {"picture 16384 wide", Bmp(16384, 1), 0, picture, true},
      {"picture 16385 wide", Bmp(16385, 1), 0, picture, false},
      {"picture 16385 tall", Bmp(1, 16385), 0, picture, false},
      {"picture of more than 64 Mi pixels", Bmp(8193, 8192, 300000), 0, picture, false},
      {"picture file over 512 MiB", Bmp(2, 2), 512 * kMiB + 1, picture, false},
      {"sprite pack entry 16384 wide", SpritePack(16384, 1), 0, spritePack, true},
      {"sprite pack entry 16385 wide", SpritePack(16385, 1), 0, spritePack, false},
      {"WAVE of 16 bytes", WaveHead(16), 44 + 16, wave, true},
      {"WAVE file over 512 MiB", WaveHead(512 * kMiB - 43), 512 * kMiB + 1, wave, false},
      {"sound pack entry of 16 bytes", SoundPackHead(16), 16 + 37, soundPack, true},
      {"sound pack entry over 512 MiB", SoundPackHead(512 * kMiB + 1), 512 * kMiB + 38, soundPack, false},
      {"key script of 16 MiB", std::string(16 * kMiB, '\n'), 0, keyScript, true},
      {"key script over 16 MiB", std::string(16 * kMiB + 1, '\n'), 0, keyScript, false},
      {"MIDI file over 16 MiB", "MThd", 16 * kMiB + 1, midi, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    // Without a synthesiser a MIDI file is refused before it is read.
    if (std::string(c.what).rfind("MIDI", 0) == 0 && plat::FindSoundFont().empty()) continue;
    const std::string file = "f" + std::to_string(n++);
    Write(file, c.head, c.size ? c.size : c.head.size());
    EXPECT_EQ(c.load(file), c.loads) << c.what;
    std::filesystem::remove(Real(file));
  }
}

}  // namespace

// The sound the whole process holds is bounded: sounds load until their
// samples together would pass plat::kMostSoundBytes, and the load past it
// is refused as a buffer the device cannot make. The buffers of one slot
// share their samples, so three buffers of a sound hold it once.
TEST_F(LimitsTest, TheSoundHeldByTheProcessIsBounded) {
  constexpr uint32_t kSound = 400 * kMiB;
  Write("big.wav", WaveHead(kSound), 44 + uint64_t{kSound});
  // In whole MiB: the error box's short chime holds a few KB besides.
  const uint64_t before = plat::SoundBytesHeld();
  auto heldMiB = [&] { return (plat::SoundBytesHeld() - before) / kMiB; };
  int first = elSound::LoadObject(Rel("big.wav").c_str(), -3);
  ASSERT_GE(first, 0);
  EXPECT_EQ(heldMiB(), 400u);
  int second = elSound::LoadObject(Rel("big.wav").c_str(), 3);
  ASSERT_GE(second, 0);
  EXPECT_EQ(heldMiB(), 800u);
  ASSERT_GT(before + 3 * uint64_t{kSound}, plat::kMostSoundBytes);
  EXPECT_EQ(elSound::LoadObject(Rel("big.wav").c_str(), 1), -1);
  EXPECT_EQ(plat::headless::LastBoxText(), "elSound::LoadObject : サウンドバッファが生成できません");
  EXPECT_FALSE(elSound::SoundTable[second + 1].inUse);
  EXPECT_EQ(heldMiB(), 800u);
  // A sound freed makes room again.
  elSound::FreeObject(first);
  EXPECT_EQ(heldMiB(), 400u);
  int third = elSound::LoadObject(Rel("big.wav").c_str(), 1);
  EXPECT_GE(third, 0);
  EXPECT_EQ(heldMiB(), 800u);
  elSound::FreeObject(second);
  elSound::FreeObject(third);
  EXPECT_EQ(heldMiB(), 0u);
  std::filesystem::remove(Real("big.wav"));
}
