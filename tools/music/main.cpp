// A small program on the game library that plays one MIDI piece, to hear the
// music and to check it headless:
//   zolbeck_music [--piece NAME] [--once] [--end-loop-at F] [--close-at F] [OPTIONS]
// --piece names the file relative to the program folder, Windows-form
// (default "MIDI\field.mid"); --once plays it without looping;
// --end-loop-at F calls elSound::EndMidiLoop before frame pass F, so the
// piece finishes its pass and closes; --close-at F calls elSound::CloseMidi
// before frame pass F. Every other option is the library's own (--headless,
// --frames N, --screenshot FILE, ...).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <zolbeck/eldraw.h>
#include <zolbeck/elsystem.h>
#include <zolbeck/program.h>
#include <zolbeck/elsound.h>

namespace {

std::string piece = "MIDI\\field.mid";
int loop = 1;
long endLoopAt = -1, closeAt = -1;
long frame = 0;
int playResult = 0;

void Load() {}

void Frame() {
  if (frame == 0) playResult = elSound::PlayMidi(piece.c_str(), loop);
  if (frame == endLoopAt) elSound::EndMidiLoop();
  if (frame == closeAt) elSound::CloseMidi();
  ++frame;
  elDraw::Clear();
  elDraw::Print(16, 16, "%s  play %d  midiOpen %d  midiLoop %d  frame %ld", piece.c_str(), playResult,
                elSound::midiOpen, elSound::midiLoop, frame);
  elDraw::Present();
}

bool ReadFrame(const char* text, long& out) {
  char* end = nullptr;
  out = std::strtol(text, &end, 10);
  return *text != '\0' && *end == '\0' && out >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--piece") == 0 && hasValue) {
      piece = argv[++i];
    } else if (std::strcmp(argv[i], "--once") == 0) {
      loop = 0;
    } else if (std::strcmp(argv[i], "--end-loop-at") == 0 && hasValue) {
      if (!ReadFrame(argv[++i], endLoopAt)) {
        std::fprintf(stderr, "zolbeck_music: --end-loop-at needs a frame number\n");
        return 2;
      }
    } else if (std::strcmp(argv[i], "--close-at") == 0 && hasValue) {
      if (!ReadFrame(argv[++i], closeAt)) {
        std::fprintf(stderr, "zolbeck_music: --close-at needs a frame number\n");
        return 2;
      }
    } else {
      rest.push_back(argv[i]);
    }
  }
  programLoad = Load;
  programFrame = Frame;
  static const shell::OptionHelp kOptions[] = {
      {"--piece NAME", "the MIDI file, Windows form, from the program folder (MIDI\\field.mid)"},
      {"--once", "play it once and close it at its end"},
      {"--end-loop-at F", "end the loop before frame pass F: the piece finishes, then closes"},
      {"--close-at F", "close the piece before frame pass F"},
      {nullptr, nullptr},
  };
  shell::ProgramInfo info;
  info.name = "zolbeck_music";
  info.title = "zolbeck music";
  info.summary = "Plays one MIDI piece through the zolbeck library.";
  info.options = kOptions;
  return shell::RunProgram(static_cast<int>(rest.size()), rest.data(), info);
}
