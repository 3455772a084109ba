// Small system services of the library: the single-instance guard, the
// program folder, message boxes, cursor confinement, the debug log, the
// one-number settings files and a few queries.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/eldraw.h"
#include "shell/elsystem.h"

namespace elSystem {

int mutexHandle = 0;
char nameBuffer[kNameBufferSize];
char programFolder[kNameBufferSize];
char lastFolderName[kNameBufferSize];
char dataRoot[kNameBufferSize];
int imeEnabled = 1;

namespace {

// Copies as much of `text` as fits, always terminating.
void CopyText(char* to, size_t size, const char* text) { std::snprintf(to, size, "%s", text); }

// The index of the last backslash among the first `limit` bytes, or -1. A
// backslash that is the second byte of a double-byte character is not one.
int LastBackslash(const char* text, int limit) {
  int found = -1;
  for (int i = 0; i < limit && text[i] != '\0'; ++i) {
    if (plat::IsLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0') {
      ++i;
      continue;
    }
    if (text[i] == '\\') found = i;
  }
  return found;
}

plat::Answer ShowBox(const char* text, plat::Buttons buttons, plat::Icon icon) {
  if (elDraw::screen.directDraw) elDraw::FlipToGDISurface();
  if (cursorShown == 0) {
    plat::ShowCursor(true);
    cursorShown = 1;
  }
  messageBoxOpen = 1;
  plat::Answer answer = plat::MessageBox(text, "メッセージ", buttons, icon);
  messageBoxOpen = 0;
  ResetFrameClock();
  return answer;
}

// The text of a warning or question: the formatted text cut to fit, then a
// line break.
void FormatBoxText(char (&text)[260], const char* format, va_list args) {
  std::vsnprintf(text, sizeof text - 2, format, args);
  // A cut through a double-byte character drops its lone first byte.
  size_t length = std::strlen(text);
  size_t i = 0;
  while (i < length) {
    bool lead = plat::IsLeadByte(static_cast<unsigned char>(text[i]));
    if (lead && i + 1 == length) {
      text[i] = '\0';
      break;
    }
    i += lead ? 2 : 1;
  }
  std::strcat(text, "\r\n");
}

}  // namespace

int CheckSingleInstance(const char* title) {
  std::snprintf(nameBuffer, sizeof nameBuffer, "%s:ElMutex", title);
  // A run without a window has nothing to bring to the front and nothing a
  // player could confuse with the open game: replays and tests run beside a
  // windowed copy instead of giving way to it, and never take the lock.
  if (std::strcmp(plat::BackendName(), "headless") == 0) {
    mutexHandle = 0;
    return 1;
  }
  if (plat::AcquireInstanceLock(nameBuffer)) {
    mutexHandle = 1;
    return 1;
  }
  mutexHandle = 0;
  plat::RaiseOtherInstance(nameBuffer);
  return 0;
}

void ReleaseInstance() {
  if (!mutexHandle) return;
  plat::ReleaseInstanceLock();
  mutexHandle = 0;
}

FILE* OpenFile(const char* name, const char* mode) { return plat::OpenFile(name, mode); }

std::string FromUtf8(const char* utf8) { return plat::Utf8ToCp932(utf8 ? utf8 : ""); }

int FromUtf8(const char* utf8, char* out, int size) {
  if (out == nullptr || size <= 0) return 0;
  const std::string text = FromUtf8(utf8);
  // Whole characters only: a lead byte whose trail byte does not fit stays
  // out with it.
  size_t length = 0;
  while (length < text.size()) {
    const size_t step = plat::IsLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
    if (length + step > static_cast<size_t>(size - 1) || length + step > text.size()) break;
    length += step;
  }
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
  return static_cast<int>(length);
}

void ReportFailure(const char* operation, const char* name, const char* message) {
  // The box names neither the program nor the file, and a run without a
  // window shows no box at all: the terminal gets the whole story in UTF-8,
  // on one line.
  std::string line = programName;
  for (const char* part : {operation, name, message}) {
    if (part == nullptr || part[0] == '\0') continue;
    line += ": ";
    line += plat::Cp932ToUtf8(part);
  }
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

void NameInPack(char* out, size_t size, const char* packPath, const char* entry) {
  const char* folder = GetProgramFolder(0);
  const size_t length = std::strlen(folder);
  const char* pack = packPath ? packPath : "";
  if (length > 0 && std::strncmp(pack, folder, length) == 0) pack += length;
  std::snprintf(out, size, "%s%s%s", pack, pack[0] != '\0' ? ": " : "", entry ? entry : "");
}

const char* GetProgramFolder(int flag) {
  CopyText(programFolder, sizeof programFolder, plat::ModuleFileName().c_str());
  int cut = LastBackslash(programFolder, kNameBufferSize);
  programFolder[cut + 1] = '\0';  // no backslash at all leaves an empty folder
  if (flag == 1 && dataRoot[0] != '\0') {
    // The backslash before the last folder name: search from two characters
    // before the end, so that the trailing backslash is passed over.
    int length = static_cast<int>(std::strlen(programFolder));
    int before = length >= 2 ? LastBackslash(programFolder, length - 1) : -1;
    if (before >= 0) CopyText(lastFolderName, sizeof lastFolderName, programFolder + before + 1);
    // A data root and folder name too long together would be cut into the
    // name of another folder: the settings then stay in the program's own.
    char joined[sizeof dataRoot + sizeof lastFolderName];
    int joinedLength = std::snprintf(joined, sizeof joined, "%s\\%s", dataRoot, lastFolderName);
    if (joinedLength >= 0 && joinedLength < kNameBufferSize) std::memcpy(programFolder, joined, joinedLength + 1);
  }
  return programFolder;
}

void EnableIme(int flag) {
  plat::EnableIme(flag != 0);
  imeEnabled = flag;
}

int ClipCursorTo(int left, int top, int right, int bottom) {
  plat::Rect rect{left, top, right, bottom};
  cursorClipped = 1;
  return plat::ClipCursor(&rect) ? 1 : 0;
}

void ClipCursorToClient() {
  int w = elDraw::screen.width, h = elDraw::screen.height;
  if (fullScreen) {
    ClipCursorTo(0, 0, w, h);
  } else {
    ClipCursorTo(clientLeft, clientTop, clientLeft + w, clientTop + h);
  }
}

int ReleaseCursorClip() {
  cursorClipped = 0;
  return plat::ClipCursor(nullptr) ? 1 : 0;
}

int IsCursorClipped() { return cursorClipped; }

int GetScreenBitsPerPixel() { return plat::GetDesktopBitsPerPixel(); }

void ShowWarning(const char* format, ...) {
  char text[260];
  va_list args;
  va_start(args, format);
  FormatBoxText(text, format, args);
  va_end(args);
  ShowBox(text, plat::Buttons::Ok, plat::Icon::Warning);
}

int AskYesNo(const char* format, ...) {
  char text[260];
  va_list args;
  va_start(args, format);
  FormatBoxText(text, format, args);
  va_end(args);
  return ShowBox(text, plat::Buttons::YesNo, plat::Icon::Question) == plat::Answer::Yes ? 1 : 0;
}

int IsWindowed() { return fullScreen == 0 ? 1 : 0; }

int DebugLog(const char* format, ...) {
  FILE* file = plat::OpenFile("DEBUG.TXT", "at");
  if (!file) return 0;
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fputs("\n", file);
  return std::fclose(file) == 0 ? 1 : 0;
}

int WriteNumberFileChecked(const char* fileName, int value) {
  char path[kNameBufferSize * 2];
  std::snprintf(path, sizeof path, "%s%s", GetProgramFolder(1), fileName);
  FILE* file = plat::OpenFile(path, "wt");
  if (!file) return 0;
  std::fprintf(file, "%d", value);
  return std::fclose(file);
}

void WriteNumberFile(const char* fileName, int value) { WriteNumberFileChecked(fileName, value); }

int ReadNumberFile(const char* fileName) {
  char path[kNameBufferSize * 2];
  std::snprintf(path, sizeof path, "%s%s", GetProgramFolder(1), fileName);
  FILE* file = plat::OpenFile(path, "rt");
  if (!file) return 0;
  int value = 0;
  if (std::fscanf(file, "%d", &value) != 1) value = 0;
  std::fclose(file);
  return value;
}

void LoadDataRoot(const char* fileName) {
  CopyText(nameBuffer, sizeof nameBuffer, plat::WindowsDirectory().c_str());
  size_t length = std::strlen(nameBuffer);
  bool driveRoot = length == 3 && nameBuffer[1] == ':' && nameBuffer[2] == '\\';
  if (!driveRoot && length + 1 < sizeof nameBuffer) std::strcat(nameBuffer, "\\");
  length = std::strlen(nameBuffer);
  CopyText(nameBuffer + length, sizeof nameBuffer - length, fileName);

  FILE* file = plat::OpenFile(nameBuffer, "rt");
  if (!file) {
    dataRoot[0] = '\0';
    return;
  }
  char line[kNameBufferSize];
  if (!std::fgets(line, sizeof line, file)) line[0] = '\0';
  std::fclose(file);
  length = std::strlen(line);
  // Text mode reads a CR LF line end as one line feed.
  if (length > 0 && line[length - 1] == '\n') {
    line[--length] = '\0';
    if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
  }
  // A trailing backslash goes too, unless it is the second byte of a
  // double-byte character.
  if (length > 0 && LastBackslash(line, static_cast<int>(length)) == static_cast<int>(length) - 1) {
    line[--length] = '\0';
  }
  CopyText(dataRoot, sizeof dataRoot, line);
}

uint32_t GetFreeDiskSpace(char driveLetter) {
  char root[] = "?:\\";
  root[0] = driveLetter;
  // The system reports free space as a 32-bit product; it wraps past 4 GiB.
  return static_cast<uint32_t>(plat::GetFreeDiskBytes(root));
}

uint32_t GetAvailableMemory() {
  // A 32-bit figure: more than 4 GiB reads as the largest one it can hold,
  // as the old memory status did.
  uint64_t bytes = plat::GetAvailableMemoryBytes();
  return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
}

int SetCursorPosInClient(int x, int y) {
  return plat::SetCursorPos(x + clientLeft, y + clientTop) ? 1 : 0;
}

const char* GetCommandLineCopy() { return commandLine; }

void GetDate(int& year, int& month, int& day, char* weekdayName) {
  static const char* const kNames[7] = {"日", "月", "火", "水", "木", "金", "土"};
  plat::LocalTime t = plat::GetLocalTime();
  year = t.year;
  month = t.month;
  day = t.day;
  if (weekdayName) std::strcpy(weekdayName, kNames[t.weekday % 7]);
}

void GetTime(int& hour, int& minute, int& second) {
  plat::LocalTime t = plat::GetLocalTime();
  hour = t.hour;
  minute = t.minute;
  second = t.second;
}

int WindowsVersionNumber(int platformId, int major, int minor) {
  switch (platformId) {
    case 0: return 310;
    case 1:
      if (major == 4) return minor == 0 ? 950 : 980;
      return major * 100 + minor;
    case 2:
      if (major == 5) return 2000;
      return major * 1000 + minor * 10;
    default: return -1;
  }
}

int GetWindowsVersion() {
  plat::VersionInfo v = plat::GetVersion();
  return WindowsVersionNumber(v.platformId, v.major, v.minor);
}

}  // namespace elSystem
