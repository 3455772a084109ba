// MIDI music: the command-string interpreter, and the library's PlayMidi,
// looping and closing, heard by pulling frames from the music source as the
// mixer does and finding the notes' onsets in the samples.
#include <gtest/gtest.h>

#include <cmath>
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

TEST_F(MidiTest, StandardMidiFilesAreRecognisedBareOrWrapped) {
  const std::vector<uint8_t> bare = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0,
                                     'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
  auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> changed = bare;
    changed[at] = value;
    return changed;
  };
  std::vector<uint8_t> riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'I', 'N', 'F', 'O',
                               1, 0, 0, 0, 'x', 0, 'd', 'a', 't', 'a', static_cast<uint8_t>(bare.size()), 0, 0, 0};
  riff.insert(riff.end(), bare.begin(), bare.end());
  std::vector<uint8_t> truncated(bare.begin(), bare.end() - 1);
  std::vector<uint8_t> division0 = with(12, 0);
  division0[13] = 0;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool ok;
    size_t offset;
  };
  const Case cases[] = {
      {"type 0", bare, true, 0},
      {"type 1", with(9, 1), true, 0},
      {"type 2", with(9, 2), false, 0},
      {"no tracks", with(11, 0), false, 0},
      {"division 0", division0, false, 0},
      {"track cut short", truncated, false, 0},
      {"no track chunk", with(14, 'X'), false, 0},
      {"wrapped in RMID", riff, true, 30},
      {"text", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, false, 0},
      {"empty", {}, false, 0},
  };
  for (const Case& c : cases) {
    size_t offset = 99, length = 0;
    EXPECT_EQ(elSound::FindMidiData(c.bytes.data(), c.bytes.size(), offset, length), c.ok) << c.what;
    if (c.ok) {
      EXPECT_EQ(offset, c.offset) << c.what;
      EXPECT_EQ(length, bare.size()) << c.what;
    }
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
