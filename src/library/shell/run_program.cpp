// A program's entry on this platform: reads the command line, starts the
// platform backend and the timer, and hands over to WinMain.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <zolbeck/version.h>

#include "platform/platform.h"
#include "shell/demo.h"
#include "shell/elsystem.h"
#include "shell/runcontrol.h"

namespace shell {

namespace {

void PrintOptions(FILE* out, const OptionHelp* options) {
  for (; options && options->option; ++options) {
    std::fprintf(out, "  %-18s %s\n", options->option, plat::Cp932ToUtf8(options->meaning).c_str());
  }
}

// The replay's trace as the run wrote it: the file it went to, or the
// scratch file a replay without --trace writes it into.
bool ReadReplayedTrace(FILE* scratch, const std::string& path, bool seekable, std::string& text) {
  std::string reason;
  if (scratch) {
    text.clear();
    if (std::fflush(scratch) != 0 || std::fseek(scratch, 0, SEEK_SET) != 0) return false;
    char buffer[1 << 14];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, scratch)) > 0) text.append(buffer, n);
    return !std::ferror(scratch);
  }
  return seekable && plat::ReadSmallFile(path.c_str(), size_t{1} << 30, text, reason);
}

}  // namespace

const char* LibraryVersion() { return ZOLBECK_VERSION; }

void PrintHelp(FILE* out, const ProgramInfo& program) {
  std::fprintf(out, "Usage: %s [OPTION]...\n", program.name);
  // The program's texts are Shift-JIS like all of its text; the terminal
  // reads UTF-8.
  if (program.summary) std::fprintf(out, "%s\n", plat::Cp932ToUtf8(program.summary).c_str());
  if (program.options && program.options->option) {
    std::fprintf(out, "\nOptions of %s:\n", program.name);
    PrintOptions(out, program.options);
  }
  std::fprintf(out, "\nOptions of the zolbeck library:\n");
  PrintOptions(out, kLibraryOptions);
}

int RunProgram(int argc, char** argv, const ProgramInfo& program) {
  const char* name = program.name;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintHelp(stdout, program);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      if (program.version) {
        std::printf("%s %s (zolbeck library %s)\n", name, program.version, LibraryVersion());
      } else {
        std::printf("%s %s\n", name, LibraryVersion());
      }
      return 0;
    }
  }
  elSystem::programName = name;
  elSystem::programTitle = program.title ? program.title : name;
  elSystem::programClass = program.className ? program.className : "DEFAULT";
  elSystem::programLock = program.lock;
  shell::CommandLine options;
  std::string error;
  if (!shell::ParseCommandLine(argc, argv, options, error)) {
    std::fprintf(stderr, "%s: %s\n", name, error.c_str());
    return 2;
  }
  // The program's files are found in its own folder, from wherever it was
  // started (an installed game is started through a link on the PATH); the
  // files the command line names are the ones in the folder it was started
  // in.
  for (std::string* path : {&options.keysFile, &options.traceFile, &options.screenshot, &options.audioDump,
                            &options.recordFile, &options.replayFile}) {
    *path = plat::AbsoluteRealPath(*path);
  }
  if (!plat::EnterProgramFolder()) {
    std::fprintf(stderr, "%s: the program's own folder cannot be entered\n", name);
    return 1;
  }
  shell::run.frameLimit = options.frames;
  shell::run.haveSeed = options.haveSeed;
  shell::run.seed = options.seed;
  shell::run.screenshot = options.screenshot;
  shell::run.scale = options.scale;
  if (!options.keysFile.empty() &&
      !shell::ParseKeyScript(options.keysFile.c_str(), shell::run.keys, error)) {
    std::fprintf(stderr, "%s: %s\n", name, error.c_str());
    return 2;
  }
  // The program's data is read from its own folder, and from nowhere else.
  if (plat::ModuleFileName().empty()) {
    std::fprintf(stderr, "%s: the folder of this program cannot be found, and its data is read from there\n",
                 name);
    return 1;
  }
  // A replay takes the seed and the desktop depth from its demo, and is
  // compared with the recording's trace where that lies beside it.
  demo::Header replayHeader;
  std::string expectedTrace;
  if (!options.replayFile.empty()) {
    if (!demo::LoadReplay(options.replayFile, replayHeader, error)) {
      std::fprintf(stderr, "%s: %s\n", name, error.c_str());
      return 2;
    }
    if (replayHeader.program != name) {
      std::fprintf(stderr, "%s: %s:2: a demo of %s, not of %s\n", name, options.replayFile.c_str(),
                   replayHeader.program.c_str(), name);
      demo::Reset();
      return 2;
    }
    shell::run.haveSeed = true;
    shell::run.seed = replayHeader.seed;
    options.depth = replayHeader.depth;
    expectedTrace = demo::ExpectedTrace(options.replayFile, replayHeader);
  }
  if (!options.recordFile.empty() && !demo::OpenRecording(options.recordFile, error)) {
    std::fprintf(stderr, "%s: %s: cannot be written: %s\n", name, options.recordFile.c_str(), error.c_str());
    return 2;
  }
  bool traceSeekable = false;
  FILE* scratchTrace = nullptr;
  if (!options.traceFile.empty()) {
    // Binary, so that the trace has the same bytes on every system. A plain
    // file, a pipe (the soak reads one) or a device will do.
    bool seekable = false;
    shell::run.trace = plat::OpenOutputFile(options.traceFile.c_str(), seekable, error);
    if (!shell::run.trace) {
      std::fprintf(stderr, "%s: %s: cannot be written: %s\n", name, options.traceFile.c_str(), error.c_str());
      demo::Reset();
      return 2;
    }
    traceSeekable = seekable;
  } else if (!expectedTrace.empty()) {
    scratchTrace = std::tmpfile();
    shell::run.trace = scratchTrace;
  }

  plat::Options platformOptions;
  platformOptions.backend = options.backend.c_str();
  platformOptions.depth = options.depth;
  platformOptions.scale = options.scale;
  platformOptions.realtime = options.realtime;
  platformOptions.audioDump = options.audioDump.c_str();
  platformOptions.fullscreen = options.fullscreen;
  platformOptions.integerScale = options.integerScale;
  platformOptions.hints = options.noHints ? nullptr : program.hints;
  if (!plat::Start(platformOptions, error)) {
    std::fprintf(stderr, "%s: %s\n", name, error.c_str());
    return 1;
  }

  // A script that plays the pad plays it on a virtual one.
  if (shell::ScriptUsesPad(shell::run.keys) && !plat::AttachVirtualPad()) {
    std::fprintf(stderr, "%s: %s: no virtual pad could be attached\n", name,
                 options.keysFile.c_str());
    plat::Stop();
    return 2;
  }

  // The timer is set up before the entry function and put back at the end.
  elSystem::StartTimer();
  shell::CatchStopSignals();
  if (!options.recordFile.empty()) {
    demo::Header header;
    header.program = name;
    header.version = LibraryVersion();
    header.backend = plat::BackendName();
    header.depth = options.depth;
    if (!shell::run.haveSeed) {
      shell::run.haveSeed = true;
      shell::run.seed = static_cast<unsigned>(std::time(nullptr));
    }
    header.seed = shell::run.seed;
    header.clock = plat::TimeGetTime();
    // A trace beside the demo is named by its name alone, so the two move
    // together.
    if (!options.traceFile.empty()) {
      bool beside = FolderOf(options.traceFile) == FolderOf(options.recordFile);
      header.trace = beside ? options.traceFile.substr(FolderOf(options.traceFile).size()) : options.traceFile;
    }
    demo::BeginRecording(header);
  }
  if (!options.replayFile.empty()) demo::BeginReplay(replayHeader);

  // The command line as the entry function sees it: the arguments only.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  int result = WinMain(1, 0, commandLine.c_str(), plat::Show::Normal);
  // A requested screenshot that was not written fails the run, and so does
  // a quit after an error box (QuitOnError, a refused screen depth), and a
  // trace or dump not written in full (below).
  if (result == 0 && shell::run.failed) result = 1;

  elSystem::StopTimer();
  if (!demo::FinishRecording(error)) {
    std::fprintf(stderr, "%s: --record: %s could not be written: %s\n", name, options.recordFile.c_str(),
                 error.c_str());
    result = 1;
  }
  std::string replayed;
  bool haveReplayed = false;
  if (scratchTrace) {
    haveReplayed = ReadReplayedTrace(scratchTrace, "", false, replayed);
    std::fclose(scratchTrace);
    shell::run.trace = nullptr;
  }
  if (!shell::CloseTrace(error)) {
    std::fprintf(stderr, "%s: --trace: %s could not be written: %s\n", name, options.traceFile.c_str(),
                 error.c_str());
    result = 1;
  }
  if (!options.replayFile.empty()) {
    if (!scratchTrace && !expectedTrace.empty()) {
      haveReplayed = ReadReplayedTrace(nullptr, options.traceFile, traceSeekable, replayed);
    }
    std::string recorded, reason, traceDifference;
    if (!expectedTrace.empty()) {
      if (!plat::ReadSmallFile(expectedTrace.c_str(), size_t{1} << 30, recorded, reason)) {
        std::fprintf(stderr, "%s: %s: the recording's trace cannot be read (%s): the replay is not compared with it\n",
                     name, expectedTrace.c_str(), reason.c_str());
      } else if (haveReplayed) {
        traceDifference = demo::CompareTraces(recorded, replayed, demo::CutShort());
      } else {
        std::fprintf(stderr, "%s: the replay is not compared with the recording's trace: %s\n", name,
                     options.traceFile.empty() ? "no scratch file could be made (give --trace FILE)"
                                               : "its own trace cannot be read back (give a plain file)");
      }
    }
    // A field that differs says the most; else where the demo's clock or
    // end no longer fit the run.
    std::string difference = demo::ReplayDifference();
    if (traceDifference.find(": field ") != std::string::npos || difference.empty()) {
      if (!traceDifference.empty()) difference = traceDifference;
    }
    if (!difference.empty()) {
      std::fprintf(stderr, "%s: %s\n", name, difference.c_str());
      result = 1;
    }
  }
  demo::Reset();
  shell::ResetRunControl();
  if (!plat::FinishAudioDump(error)) {
    std::fprintf(stderr, "%s: --audio-dump: %s could not be written: %s\n", name, options.audioDump.c_str(),
                 error.c_str());
    result = 1;
  }
  plat::Stop();
  return result;
}

}  // namespace shell
