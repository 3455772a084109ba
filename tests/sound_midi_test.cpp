// MIDI music: the command-string interpreter, and the library's PlayMidi,
// looping and closing, heard by pulling frames from the music source as the
// mixer does and finding the notes' onsets in the samples.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/audio_source_pull.h"
#include "platform/core/messages.h"
#include "platform/audio/music.h"
#include "shell_fixture.h"
#include "sound/elsound.h"
#include "sound/mci.h"
#include "portable.h"

namespace {

constexpr int kRate = 44100;
constexpr int kPeriod = 512;  // frames the mixer pulls at a time

class MidiTest : public shelltest::ShellTest {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    GTEST_SKIP() << "no software synthesiser in the Windows build (a window plays MIDI through the system's sequencer)";
#endif
    ShellTest::SetUp();
    OpenWindow();
    elSound::ResetMci();
    elSound::ResetMidi();
  }
  void TearDown() override {
    elSound::ResetMci();
    ShellTest::TearDown();
  }

  // Pulls `seconds` of music period by period, handling the window's
  // messages between periods as the message loop does; appends to `heard`.
  void Play(double seconds) {
    int frames = static_cast<int>(seconds * kRate);
    int16_t period[2 * kPeriod];
    for (int done = 0; done < frames; done += kPeriod) {
      plat::PullAudioSource(period, kPeriod);
      heard.insert(heard.end(), period, period + 2 * kPeriod);
      DispatchPending();
    }
  }
  double Now() const { return static_cast<double>(heard.size() / 2) / kRate; }

  // Onsets in seconds: a 256-frame window much louder than the four before
  // the one just before it (an attack may start late in that one), at least
  // 50 ms after the onset before.
  std::vector<double> Onsets() const {
    constexpr int kWindow = 256;
    std::vector<int> level;
    for (size_t at = 0; at + 2 * kWindow <= heard.size(); at += 2 * kWindow) {
      int peak = 0;
      for (int i = 0; i < 2 * kWindow; ++i) peak = std::max(peak, std::abs(int{heard[at + i]}));
      level.push_back(peak);
    }
    std::vector<double> onsets;
    for (size_t i = 0; i < level.size(); ++i) {
      int before = 0;
      for (size_t j = i >= 5 ? i - 5 : 0; j + 1 < i; ++j) before = std::max(before, level[j]);
      double t = double(i * kWindow) / kRate;
      bool apart = onsets.empty() || t - onsets.back() > 0.05;
      if (level[i] > 1000 && level[i] > 4 * before && apart) onsets.push_back(t);
    }
    return onsets;
  }
  bool SilentFrom(double seconds) const {
    for (size_t i = static_cast<size_t>(seconds * kRate) * 2; i < heard.size(); ++i) {
      if (heard[i] != 0) return false;
    }
    return true;
  }
  std::string Path(const char* name) const { return std::string(elSystem::GetProgramFolder(0)) + name; }
  std::string Mode() {
    char answer[32];
    int result = elSound::SendMci("status midi mode", answer, sizeof answer);
    return result ? "error " + std::to_string(result) : std::string(answer);
  }

  std::vector<int16_t> heard;
};

void ExpectOnsets(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size()) << "onsets heard: " << ::testing::PrintToString(got);
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 0.02) << "onset " << i;
}

TEST_F(MidiTest, InterpreterAnswersEveryCommandAsASequencer) {
  std::string test0 = Path("MIDI\\test0.mid");
  std::string open = "open \"" + test0 + "\" type sequencer alias midi";
  std::string huge(10 * 1024, 'x');
  struct Step {
    std::string command;
    int result;
    const char* answer;
  };
  const Step steps[] = {
      {"", elSound::kMciMissingCommandString, ""},
      {"   \t ", elSound::kMciMissingCommandString, ""},
      {huge, elSound::kMciParamOverflow, ""},
      {"open \"" + test0 + " type sequencer alias midi", elSound::kMciNoClosingQuote, ""},
      {"\x81\x40\xFF midi", elSound::kMciUnrecognizedCommand, ""},
      {"frobnicate midi", elSound::kMciUnrecognizedCommand, ""},
      {"play", elSound::kMciMissingDeviceName, ""},
      {"status midi mode", elSound::kMciInvalidDeviceName, ""},
      {"close midi", elSound::kMciInvalidDeviceName, ""},
      {"open \"" + Path("MIDI\\nosuch.mid") + "\" type sequencer alias midi", elSound::kMciFileNotFound, ""},
      {"open \"" + Path("MIDI\\notmidi.mid") + "\" type sequencer alias midi", elSound::kMciInvalidFile, ""},
      {"open \"" + test0 + "\" type waveaudio alias midi", elSound::kMciInvalidDeviceName, ""},
      {"open \"" + test0 + "\" type sequencer alias", elSound::kMciMissingParameter, ""},
      {"open \"" + test0 + "\" type sequencer alias midi \x82\xA0", elSound::kMciUnrecognizedKeyword, ""},
      {open, 0, ""},
      {open, elSound::kMciDuplicateAlias, ""},
      {"open \"" + test0 + "\" alias other", elSound::kMciSequencerInUse, ""},
      {"STATUS Midi MODE", 0, "stopped"},
      {"status midi position", elSound::kMciUnrecognizedKeyword, ""},
      {"status midi", elSound::kMciMissingParameter, ""},
      {"play other", elSound::kMciInvalidDeviceName, ""},
      {"play midi wait", elSound::kMciUnsupportedFunction, ""},
      {"play midi", 0, ""},
      {"status midi mode", 0, "playing"},
      {"stop midi now", elSound::kMciUnrecognizedKeyword, ""},
      {"stop midi", 0, ""},
      {"status midi mode", 0, "stopped"},
      {"seek midi to 100", elSound::kMciOutOfRange, ""},
      {"seek midi", elSound::kMciMissingParameter, ""},
      {"seek midi to start", 0, ""},
      {"close midi", 0, ""},
      {"close midi", elSound::kMciInvalidDeviceName, ""},
  };
  for (const Step& step : steps) {
    char answer[32] = "unchanged";
    EXPECT_EQ(elSound::SendMci(step.command.c_str(), answer, sizeof answer), step.result)
        << step.command.substr(0, 80);
    EXPECT_STREQ(answer, step.answer) << step.command.substr(0, 80);
  }
  char tiny[4];
  ASSERT_EQ(elSound::SendMci(open.c_str(), nullptr, 0), 0);
  EXPECT_EQ(elSound::SendMci("status midi mode", tiny, sizeof tiny), 0);
  EXPECT_STREQ(tiny, "sto");  // cut to fit, still terminated
}

// A track chunk around `events`.
std::vector<uint8_t> Track(std::vector<uint8_t> events) {
  uint32_t n = static_cast<uint32_t>(events.size());
  std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k', static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                                static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  chunk.insert(chunk.end(), events.begin(), events.end());
  return chunk;
}

// A header chunk and the tracks after it.
std::vector<uint8_t> Smf(int type, int tracks, int division, const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<uint8_t>(type),
                            static_cast<uint8_t>(tracks >> 8), static_cast<uint8_t>(tracks),
                            static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)};
  for (const std::vector<uint8_t>& c : chunks) f.insert(f.end(), c.begin(), c.end());
  return f;
}

// Every file is read whole at open: only one the sequencer can play to its
// end is taken, and the tick its longest track ends on is known then.
TEST_F(MidiTest, MidiFilesAreReadWholeAtOpen) {
  const std::vector<uint8_t> end = {0, 0xFF, 0x2F, 0};
  auto with = [&](std::vector<uint8_t> events, const std::vector<uint8_t>& tail) {
    events.insert(events.end(), tail.begin(), tail.end());
    return events;
  };
  // A note of 0x60 ticks, then the end of the track 0x10 ticks later.
  const std::vector<uint8_t> note = {0, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x10, 0xFF, 0x2F, 0};
  const std::vector<uint8_t> bare = Smf(0, 1, 480, {Track(note)});
  std::vector<uint8_t> riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'I', 'N', 'F', 'O',
                               1, 0, 0, 0, 'x', 0, 'd', 'a', 't', 'a', static_cast<uint8_t>(bare.size()), 0, 0, 0};
  riff.insert(riff.end(), bare.begin(), bare.end());
  std::vector<uint8_t> longHeader = bare;
  longHeader[7] = 8;
  longHeader.insert(longHeader.begin() + 14, {0, 0});
  std::vector<std::vector<uint8_t>> many(128, Track(note));
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool ok;
    size_t offset;
    uint32_t lastTick;
  };
  const Case cases[] = {
      {"type 0", bare, true, 0, 0x70},
      {"type 1, the longest track counts",
       Smf(1, 2, 96, {Track(note), Track(with({0, 0xC0, 5, 0x81, 0x00, 0xD0, 9, 0, 0xFF, 0x51, 3, 7, 0xA1, 0x20}, end))}),
       true, 0, 0x80},
      {"running status, four-byte delta", Smf(0, 1, 96, {Track(with({0, 0x90, 60, 100, 0xFF, 0xFF, 0xFF, 0x7F, 60, 0}, end))}),
       true, 0, 0x0FFFFFFF},
      {"events after the end of the track are not read", Smf(0, 1, 96, {Track(with(note, {5, 5}))}), true, 0, 0x70},
      {"a track without its end", Smf(0, 1, 96, {Track({0, 0x90, 60, 100, 0x20, 60, 0})}), true, 0, 0x20},
      {"a system exclusive block", Smf(0, 1, 96, {Track(with({0, 0xF0, 2, 0x7E, 0xF7}, note))}), true, 0, 0x70},
      {"fewer tracks announced than there are", Smf(1, 1, 96, {Track(note), Track(note)}), true, 0, 0x70},
      {"wrapped in RMID", riff, true, 30, 0x70},
      {"127 tracks", Smf(1, 127, 96, std::vector<std::vector<uint8_t>>(127, Track(note))), true, 0, 0x70},
      {"128 tracks", Smf(1, 128, 96, many), false, 0, 0},
      {"type 2", Smf(2, 1, 96, {Track(note)}), false, 0, 0},
      {"no tracks", Smf(1, 0, 96, {}), false, 0, 0},
      {"division 0", Smf(0, 1, 0, {Track(note)}), false, 0, 0},
      {"SMPTE timing", Smf(0, 1, 0xE728, {Track(note)}), false, 0, 0},
      {"a header longer than six bytes", longHeader, false, 0, 0},
      {"a track count that lies", Smf(1, 3, 96, {Track(note), Track(note)}), false, 0, 0},
      {"track cut short", std::vector<uint8_t>(bare.begin(), bare.end() - 1), false, 0, 0},
      {"no track chunk", Smf(0, 1, 96, {{'X', 'T', 'r', 'k', 0, 0, 0, 0}}), false, 0, 0},
      {"another chunk between the tracks", Smf(1, 2, 96, {Track(note), {'X', 'F', 'I', 'H', 0, 0, 0, 0}, Track(note)}),
       false, 0, 0},
      {"data without a running status in the second track", Smf(1, 2, 96, {Track(note), Track(with({0, 61, 100}, end))}),
       false, 0, 0},
      {"running status after a meta event", Smf(0, 1, 96, {Track(with({0, 0xC0, 5, 0, 0xFF, 1, 1, 65, 0, 7}, end))}),
       false, 0, 0},
      {"running status after a system exclusive block",
       Smf(0, 1, 96, {Track(with({0, 0x90, 60, 100, 0, 0xF0, 1, 0xF7, 0, 60, 0}, end))}), false, 0, 0},
      {"an event cut off by the end of its track", Smf(1, 2, 96, {Track({0, 0x90, 60}), Track(with({100}, end))}), false, 0, 0},
      {"a meta event longer than its track", Smf(0, 1, 96, {Track({0, 0xFF, 0x01, 0x7F, 1, 2})}), false, 0, 0},
      {"a five-byte delta", Smf(0, 1, 96, {Track(with({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100}, end))}), false, 0, 0},
      {"a tempo of two bytes", Smf(0, 1, 96, {Track(with({0, 0xFF, 0x51, 2, 7, 0xA1}, note))}), false, 0, 0},
      {"an end of track with data", Smf(0, 1, 96, {Track({0, 0x90, 60, 100, 0, 0xFF, 0x2F, 1, 0})}), false, 0, 0},
      {"an escaped F7 block", Smf(0, 1, 96, {Track(with({0, 0xF7, 1, 0xF8}, note))}), false, 0, 0},
      {"a system common message", Smf(0, 1, 96, {Track(with({0, 0xF1, 5}, note))}), false, 0, 0},
      {"text", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, false, 0, 0},
      {"empty", {}, false, 0, 0},
  };
  for (const Case& c : cases) {
    elSound::MidiPiece piece;
    EXPECT_EQ(elSound::ReadMidiFile(c.bytes.data(), c.bytes.size(), piece), c.ok) << c.what;
    if (c.ok) {
      EXPECT_EQ(piece.offset, c.offset) << c.what;
      EXPECT_EQ(piece.length, c.offset ? bare.size() : c.bytes.size()) << c.what;
      EXPECT_EQ(piece.lastTick, c.lastTick) << c.what;
    }
  }
  // Through the sequencer: a broken file is refused at open, so the play
  // that follows fails instead of playing silence from a piece that is not
  // there.
  const std::string name = "MIDI\\broken" + std::to_string(portable::ProcessId()) + ".mid";
  const std::string path = plat::ResolvePath(Path(name.c_str()).c_str());
  for (const Case& c : cases) {
    if (c.ok || c.bytes.empty()) continue;
    {
      std::FILE* f = std::fopen(path.c_str(), "wb");
      ASSERT_NE(f, nullptr);
      std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
      std::fclose(f);
    }
    std::string open = "open \"" + Path(name.c_str()) + "\" type sequencer alias midi";
    EXPECT_EQ(elSound::SendMci(open.c_str(), nullptr, 0), elSound::kMciInvalidFile) << c.what;
    EXPECT_EQ(elSound::PlayMidi(name.c_str(), 1), elSound::kMciInvalidDeviceName) << c.what;
    elSound::CloseMidi();
  }
  std::remove(path.c_str());
  // The shipped pieces end on their last bar.
  const struct {
    const char* name;
    uint32_t lastTick;
  } shipped[] = {{"MIDI\\test0.mid", 960}, {"MIDI\\test1.mid", 1440}, {"MIDI\\field.mid", 16 * 1920},
                 {"MIDI\\boss.mid", 12 * 1920}};
  for (const auto& s : shipped) {
    std::FILE* f = plat::OpenFile(Path(s.name).c_str(), "rb");
    ASSERT_NE(f, nullptr) << s.name;
    std::vector<uint8_t> bytes(1 << 16);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    elSound::MidiPiece piece;
    ASSERT_TRUE(elSound::ReadMidiFile(bytes.data(), bytes.size(), piece)) << s.name;
    EXPECT_EQ(piece.lastTick, s.lastTick) << s.name;
  }
}

TEST_F(MidiTest, WithoutASoundFontOpenFailsAndTheGameRunsOn) {
  portable::SetEnv("ZOLBECK_SOUNDFONT", "/nonexistent/none.sf2");
  int result = elSound::PlayMidi("MIDI\\test0.mid", 1);
  portable::UnsetEnv("ZOLBECK_SOUNDFONT");
  EXPECT_NE(result, 0);
  EXPECT_EQ(elSound::midiOpen, 1);  // set whatever the open answered
  EXPECT_EQ(elSound::SendMci("status midi mode", nullptr, 0), elSound::kMciInvalidDeviceName);
  Play(0.2);
  elSound::CloseMidi();  // its commands go to no device, harmlessly
  EXPECT_EQ(elSound::midiOpen, 0);
  EXPECT_TRUE(SilentFrom(0));
}

TEST_F(MidiTest, MissingAndForeignFilesFailAndTheGameRunsOn) {
  EXPECT_NE(elSound::PlayMidi("MIDI\\nosuch.mid", 1), 0);
  EXPECT_NE(elSound::PlayMidi("MIDI\\notmidi.mid", 1), 0);
  EXPECT_EQ(elSound::StopAndCloseMidi(), elSound::kMciInvalidDeviceName);
  EXPECT_EQ(elSound::PlayMidi("midi\\TEST0.MID", 0), 0);  // any letter case, like every file
  Play(0.3);
  ExpectOnsets(Onsets(), {0.0});
}

TEST_F(MidiTest, ALoopedPieceStartsAgainFromItsFirstNote) {
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test0.mid", 1), 0);
  Play(3.2);
  ExpectOnsets(Onsets(), {0.0, 1.5, 3.0});
  EXPECT_EQ(elSound::midiOpen, 1);
  EXPECT_EQ(Mode(), "playing");
}

// Starting the synthesiser must not move the program's random sequence: a
// game replays the same with music as without.
TEST_F(MidiTest, MusicLeavesTheProgramsRandomNumbersAlone) {
  std::vector<int> expected(8), got(8);
  std::srand(7);
  for (int& r : expected) r = std::rand();
  std::srand(7);
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test0.mid", 1), 0);
  Play(0.2);
  for (int& r : got) r = std::rand();
  EXPECT_EQ(got, expected);
}

TEST_F(MidiTest, TempoChangesOfATypeOneFileAreKept) {
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test1.mid", 1), 0);
  Play(2.4);
  ExpectOnsets(Onsets(), {0.0, 1.0, 1.25, 2.25});
}

TEST_F(MidiTest, APieceWithoutLoopClosesAtItsEnd) {
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test0.mid", 0), 0);
  while (elSound::midiOpen && Now() < 3.0) Play(kPeriod / double(kRate));
  // Ended by the frames pulled: 1.5 s, give or take a period.
  EXPECT_NEAR(Now(), 1.5, 2.0 * kPeriod / kRate);
  EXPECT_EQ(Mode(), "error " + std::to_string(elSound::kMciInvalidDeviceName));
  // A late notification finds nothing open and sends nothing.
  plat::SendMessage(elSystem::mainWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1);
  EXPECT_EQ(elSound::midiOpen, 0);
  EXPECT_NE(Mode(), "stopped");
  double closedAt = Now();
  Play(0.5);
  EXPECT_TRUE(SilentFrom(closedAt));
}

// The same end heard by the device itself, not pulled by the test: the
// notice is posted from inside the mix, and posting reads the clock that
// drives the device.
TEST_F(MidiTest, APieceEndsAndClosesOnTheDevice) {
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test0.mid", 0), 0);
  for (int i = 0; i < 400 && elSound::midiOpen; ++i) {
    elSystem::WaitMilliseconds(13);
    DispatchPending();
  }
  EXPECT_EQ(elSound::midiOpen, 0);
}

TEST_F(MidiTest, NotificationsThatDoNotApplyLeaveThePieceAlone) {
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test0.mid", 1), 0);
  Play(0.7);
  // A playing device, another code, or a notification with midiOpen clear:
  // none of them plays the piece again from its start.
  plat::SendMessage(elSystem::mainWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1);
  plat::SendMessage(elSystem::mainWindow, MM_MCINOTIFY, elSound::kNotifyAborted, 1);
  elSound::SendMci("stop midi", nullptr, 0);
  elSound::midiOpen = 0;
  plat::SendMessage(elSystem::mainWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1);
  EXPECT_EQ(Mode(), "stopped");
  elSound::midiOpen = 1;
  elSound::SendMci("play midi notify", nullptr, 0, elSystem::mainWindow);
  Play(1.0);
  // Resumed at 0.7 s, the pass ends at 1.5 s and the piece starts again.
  ExpectOnsets(Onsets(), {0.0, 1.5});
}

TEST_F(MidiTest, EndMidiLoopFinishesThePassAndCloses) {
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test0.mid", 1), 0);
  Play(0.5);
  elSound::EndMidiLoop();
  Play(2.5);
  EXPECT_EQ(elSound::midiOpen, 0);
  ExpectOnsets(Onsets(), {0.0});
  EXPECT_TRUE(SilentFrom(1.5 + 2.0 * kPeriod / kRate));
}

TEST_F(MidiTest, PlayingOverAPieceClosesItAndAbortsItsNotification) {
  ASSERT_EQ(elSound::PlayMidi("MIDI\\field.mid", 1), 0);
  Play(0.5);
  heard.clear();
  ASSERT_EQ(elSound::PlayMidi("MIDI\\test1.mid", 0), 0);
  plat::Message message;
  bool aborted = false;
  while (plat::PeekMessage(message)) {
    if (message.kind == MM_MCINOTIFY) {
      EXPECT_EQ(message.wparam, elSound::kNotifyAborted);  // never as successful
      aborted = true;
    }
  }
  EXPECT_TRUE(aborted);
  Play(1.2);
  ExpectOnsets(Onsets(), {0.0, 1.0});
}

TEST_F(MidiTest, CloseMidiSilencesAtOnceAndTwoRunsAgree) {
  std::vector<int16_t> first;
  for (int run = 0; run < 2; ++run) {
    heard.clear();
    ASSERT_EQ(elSound::PlayMidi("MIDI\\field.mid", 1), 0);
    Play(2.0);
    elSound::CloseMidi();
    Play(0.3);
    EXPECT_TRUE(SilentFrom(2.0 + double(kPeriod) / kRate));
    if (run == 0) first = heard;
    // The player counts whole milliseconds of the synthesiser's own sample
    // clock, so only a fresh synthesiser, as in a new run of the program,
    // renders the same samples again.
    plat::EndMusic();
  }
  EXPECT_FALSE(SilentFrom(0));
  size_t differ = 0;
  while (differ < first.size() && differ < heard.size() && first[differ] == heard[differ]) ++differ;
  EXPECT_TRUE(first == heard) << "two renders of the same piece differ from frame " << differ / 2;
}

// The audio side posts from its own thread while the main thread takes
// messages off the queue: nothing is lost or taken twice.
TEST_F(MidiTest, MessagesPostedFromOtherThreadsAllArriveOnce) {
  constexpr int kPerThread = 1500;
  auto post = [](uintptr_t from) {
    for (int i = 0; i < kPerThread; ++i) {
      while (!plat::PostMessage(elSystem::mainWindow, MM_MCINOTIFY, from, i)) std::this_thread::yield();
    }
  };
  std::thread first(post, 10), second(post, 20);
  int next[2] = {0, 0};
  int taken = 0;
  plat::Message message;
  while (taken < 2 * kPerThread) {
    if (!plat::PeekMessage(message)) continue;
    if (message.kind != MM_MCINOTIFY) continue;
    int& expected = next[message.wparam == 20 ? 1 : 0];
    EXPECT_EQ(message.lparam, expected) << "from " << message.wparam;  // each thread's order kept
    expected = static_cast<int>(message.lparam) + 1;
    ++taken;
  }
  first.join();
  second.join();
  EXPECT_EQ(next[0], kPerThread);
  EXPECT_EQ(next[1], kPerThread);
  EXPECT_FALSE(plat::PeekMessage(message) && message.kind == MM_MCINOTIFY);
}

}  // namespace
