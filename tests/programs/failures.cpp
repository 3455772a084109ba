// A program on the library that fails on purpose, for the tests of what a
// failure writes on standard error and how the run ends:
//   zolbeck_failures WHAT [--keep-going] [LIBRARY OPTIONS]
// WHAT is what fails while loading: picture, sound, sprite-pack, sound-pack,
// stream, wait, midi, depth, or none. The first frame then ends the run
// through QuitOnError, unless --keep-going lets it run on.
#include <cstring>
#include <vector>

#include <zolbeck/zolbeck.h>

namespace {

const char* what = "none";
bool keepGoing = false;

void Load() {
  if (std::strcmp(what, "picture") == 0) {
    elDraw::LoadObject("BMP\\missing.bmp", 2);
  } else if (std::strcmp(what, "sound") == 0) {
    elSound::LoadObject("WAVE\\missing.wav", 1);
  } else if (std::strcmp(what, "sprite-pack") == 0) {
    elDraw::SetPackFile("MISSING.PAK");
    elDraw::LoadPack("princess.bmp", 2);
  } else if (std::strcmp(what, "sound-pack") == 0) {
    elSound::SetPackFile("SOUND.PAK");
    elSound::LoadPack("missing.wav", 1);
  } else if (std::strcmp(what, "stream") == 0) {
    elSound::SetPackFile("SOUND.PAK");
    elSound::LoadStream("missing.wav", 0);
  } else if (std::strcmp(what, "wait") == 0) {
    elSystem::SetWait(11, 100);
  } else if (std::strcmp(what, "midi") == 0) {
    elSound::PlayMidi("MIDI\\missing.mid", 0);
  } else if (std::strcmp(what, "depth") == 0) {
    // A full-colour picture asked for on a 16-bit desktop, with no settings
    // file to offer full screen in: the check warns and quits.
    elDraw::SetDepth(32, 0, 0);
    elDraw::CheckWindowDepth("");
  }
}

void Frame() {
  if (!keepGoing) elDraw::QuitOnError();
  elDraw::Clear();
  elDraw::Present();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--keep-going") == 0) {
      keepGoing = true;
    } else if (i == 1) {
      what = argv[i];
    } else {
      rest.push_back(argv[i]);
    }
  }
  programLoad = Load;
  programFrame = Frame;
  shell::ProgramInfo info;
  info.name = "zolbeck_failures";
  info.title = "zolbeck failures";
  return shell::RunProgram(static_cast<int>(rest.size()), rest.data(), info);
}
