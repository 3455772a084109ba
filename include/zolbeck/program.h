// A program's entry into the zolbeck library.
//
//   int main(int argc, char** argv) {
//     programLoad = Load;     // loads the pictures once the screen is open
//     programFrame = Frame;   // one frame of scene 1
//     shell::ProgramInfo info;
//     info.name = "hello";
//     info.title = "Hello";
//     return shell::RunProgram(argc, argv, info);
//   }
#pragma once

namespace shell {

// One option of a program's --help: "--name ARG" and what it does.
struct OptionHelp {
  const char* option;
  const char* meaning;
};

// What a program tells the library about itself when it starts it.
struct ProgramInfo {
  // Starts every line the library writes on the terminal; --help and
  // --version name it.
  const char* name = "program";
  // The window's title (Shift-JIS). It also names the single-instance lock,
  // so two programs of different titles run side by side.
  const char* title = "program";
  // The window class (Shift-JIS).
  const char* className = "DEFAULT";
  // A lock name of its own; null takes the title. A second copy with the
  // same lock brings the first copy's window to the front and exits with 0.
  const char* lock = nullptr;
  // The program's own version for --version; null prints the library's.
  const char* version = nullptr;
  // The program's own options for --help, ended by an entry whose option is
  // null; they are listed before the library's own. The program takes them
  // off argv itself before it calls RunProgram.
  const OptionHelp* options = nullptr;
  // One line under the usage line of --help.
  const char* summary = nullptr;
  // The program's controls, shown to a new player in a small box over the
  // first seconds of a run in a window, until a key is pressed: lines of
  // ASCII, ended by null (--no-hints leaves them out). The box is laid over
  // the picture the window shows, never into the screen the program draws
  // on, so screenshots and traces are the same without it. Null for none.
  const char* const* hints = nullptr;
};

// A program's whole run: parses the library's options (--help and --version
// print and return 0), starts the platform and the timer, runs the entry
// (WinMain) and stops them again. Returns the exit code: 0 after a normal
// quit, 1 when the run failed (no display, an output that could not be
// written, a quit after an error box), 2 for a bad command line.
int RunProgram(int argc, char** argv, const ProgramInfo& program);

// The library's version, "MAJOR.MINOR.PATCH".
const char* LibraryVersion();

}  // namespace shell
