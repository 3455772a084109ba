// A program's entry on this platform: reads the command line, starts the
// platform backend and the timer, and hands over to WinMain.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <zolbeck/version.h>

#include "platform/platform.h"
#include "shell/elsystem.h"
#include "shell/runcontrol.h"

namespace shell {

namespace {

void PrintOptions(FILE* out, const OptionHelp* options) {
  for (; options && options->option; ++options) {
    std::fprintf(out, "  %-18s %s\n", options->option, plat::Cp932ToUtf8(options->meaning).c_str());
  }
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
  for (std::string* path : {&options.keysFile, &options.traceFile, &options.screenshot, &options.audioDump}) {
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
  if (!options.traceFile.empty()) {
    // Binary, so that the trace has the same bytes on every system. A plain
    // file, a pipe (the soak reads one) or a device will do.
    bool seekable = false;
    shell::run.trace = plat::OpenOutputFile(options.traceFile.c_str(), seekable, error);
    if (!shell::run.trace) {
      std::fprintf(stderr, "%s: %s: cannot be written: %s\n", name, options.traceFile.c_str(), error.c_str());
      return 2;
    }
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
  if (!shell::CloseTrace(error)) {
    std::fprintf(stderr, "%s: --trace: %s could not be written: %s\n", name, options.traceFile.c_str(),
                 error.c_str());
    result = 1;
  }
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
