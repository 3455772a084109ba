// Operating-system services that do not depend on the backend, on Windows:
// text conversion through the system's code page 932, system facts and the
// single-instance lock (a named mutex).
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/core/convert_rules.h"
#include "platform/core/folder_roots.h"
#include "platform/platform.h"
#include "platform/windows/win32_shared.h"

#include "platform/windows/win32_api.h"

namespace plat {

// ---------------------------------------------------------------------------
// Text
//
// One character at a time, so that a character the other side lacks becomes
// one '?' exactly where the Linux converter puts it.

namespace {

constexpr UINT kCp932 = 932;

// Code page 932 of the system gives a few single bytes a meaning that the
// code page itself leaves out (0x80, 0xA0, 0xFD..0xFF); they are not
// characters of CP932.
bool Cp932SingleByte(unsigned char c) { return c < 0x80 || (c >= 0xA1 && c <= 0xDF); }


// The length of the character starting at p: a lead byte with its trail,
// or one byte; 0 when the character is broken (a lead byte without a trail).
int Cp932CharLength(const unsigned char* p, size_t left) {
  if (!IsLeadByte(p[0])) return 1;
  return left >= 2 && IsCp932Trail(p[1]) ? 2 : 0;
}

// Appends the CP932 of the characters in `wide`; false when CP932 lacks one.
bool WideToCp932(const wchar_t* wide, int count, std::string& out) {
  char bytes[8];
  BOOL usedDefault = FALSE;
  int got = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide, count, bytes, sizeof bytes, nullptr,
                                &usedDefault);
  if (got <= 0 || usedDefault) return false;
  out.append(bytes, static_cast<size_t>(got));
  return true;
}

}  // namespace

uint16_t Cp932CharToUnit(const unsigned char* p, int length) {
  if (length == 1 && !Cp932SingleByte(p[0])) return 0;
  wchar_t wide[2];
  int got = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p), length,
                                wide, 2);
  return got == 1 ? static_cast<uint16_t>(wide[0]) : 0;
}

std::wstring WideFromCp932(const std::string& text) {
  std::wstring out;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t i = 0;
  while (i < text.size()) {
    int length = Cp932CharLength(p + i, text.size() - i);
    // U+0000 is a character of its own, not a failure.
    uint16_t unit = length > 0 ? Cp932CharToUnit(p + i, length) : 0;
    if (unit != 0 || (length == 1 && p[i] == 0)) {
      out += static_cast<wchar_t>(unit);
      i += static_cast<size_t>(length);
      continue;
    }
    out += L'?';
    i += Cp932BadLength(p + i, text.size() - i);
  }
  return out;
}

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(count > 0 ? count : 0), L'\0');
  if (count > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), count);
  return out;
}

std::string Utf8FromWide(const wchar_t* text) {
  if (text == nullptr || text[0] == L'\0') return std::string();
  int count = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (count <= 1) return std::string();
  std::string out(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), count, nullptr, nullptr);
  out.resize(static_cast<size_t>(count - 1));
  return out;
}

std::string Cp932ToUtf8(const std::string& text) {
  return Utf8FromWide(WideFromCp932(text).c_str());
}

std::string Utf8ToCp932(const std::string& text) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t i = 0;
  while (i < text.size()) {
    if (p[i] < 0x80) {
      out += static_cast<char>(p[i++]);
      continue;
    }
    size_t length = Utf8BadLength(p + i, text.size() - i);
    wchar_t wide[2];
    int got = length > 1 ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                               reinterpret_cast<const char*>(p + i),
                                               static_cast<int>(length), wide, 2)
                         : 0;
    // A full sequence converts to one or two UTF-16 units; a broken one
    // (cut short, overlong, a surrogate) to none.
    if (got <= 0 || !WideToCp932(wide, got, out)) out += '?';
    i += length;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Folders of the system

std::string ModuleFileName() {
  // However long the path: the buffer grows until the whole name fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    if (buffer.size() >= 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  const std::string real = Utf8FromWide(buffer.c_str());
  const size_t cut = real.find_last_of('\\');
  if (cut == std::string::npos) return std::string();
  // The file's own name is only shown, never opened.
  return FolderForm(FolderRoot::Program, real.substr(0, cut), kFolderFormMax) + "\\" +
         Utf8ToCp932(real.substr(cut + 1));
}

std::string AbsoluteRealPath(const std::string& path) {
  if (path.empty()) return path;
  // A path that is absolute already stays as it was written.
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  const bool share = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
  if (drive || share) return path;
  std::wstring wide = WideFromUtf8(path);
  wchar_t buffer[MAX_PATH * 4];
  DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
  if (length == 0 || length >= std::size(buffer)) return path;
  return Utf8FromWide(buffer);
}

bool EnterProgramFolder() {
  wchar_t buffer[MAX_PATH * 4];
  DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length == 0 || length >= std::size(buffer)) return false;
  while (length > 0 && buffer[length - 1] != L'\\' && buffer[length - 1] != L'/') --length;
  buffer[length] = L'\0';
  return length > 0 && SetCurrentDirectoryW(buffer) != 0;
}

std::string WindowsDirectory() {
  wchar_t buffer[MAX_PATH * 4];
  UINT length = GetWindowsDirectoryW(buffer, static_cast<UINT>(std::size(buffer)));
  if (length == 0 || length >= std::size(buffer)) return std::string();
  while (length > 3 && buffer[length - 1] == L'\\') buffer[--length] = L'\0';
  return FolderForm(FolderRoot::Configuration, Utf8FromWide(buffer), kFolderFormMax);
}

// ---------------------------------------------------------------------------
// System facts

LocalTime GetLocalTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  LocalTime result;
  result.year = now.wYear;
  result.month = now.wMonth;
  result.day = now.wDay;
  result.weekday = now.wDayOfWeek;
  result.hour = now.wHour;
  result.minute = now.wMinute;
  result.second = now.wSecond;
  result.milliseconds = now.wMilliseconds;
  return result;
}

uint64_t GetFreeDiskBytes(const char* root) {
  std::string path = ResolvePath(root != nullptr ? root : "");
  ULARGE_INTEGER available{};
  std::wstring wide = SystemPath(path);
  if (!GetDiskFreeSpaceExW(path.empty() ? nullptr : wide.c_str(), &available, nullptr, nullptr)) return 0;
  return available.QuadPart;
}

uint64_t GetAvailableMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullAvailPhys;
}

// The NT family's platform number, with the real version: GetVersionEx
// reports an old one to programs without a manifest, RtlGetVersion does not.
VersionInfo GetVersion() {
  VersionInfo version;
  version.platformId = VER_PLATFORM_WIN32_NT;
  using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto rtlGetVersion = ntdll != nullptr
      ? reinterpret_cast<RtlGetVersionProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
      : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion == nullptr || rtlGetVersion(&info) != 0) return version;
  version.major = static_cast<int>(info.dwMajorVersion);
  version.minor = static_cast<int>(info.dwMinorVersion);
  version.build = static_cast<int>(info.dwBuildNumber);
  return version;
}

// ---------------------------------------------------------------------------
// Single instance
//
// The lock is a named mutex: the system drops it when the process ends
// however it ends. Beside it the holder keeps a small named mapping with its
// main window's handle, through which a second copy brings it to the front
// itself (the copy starting is the one allowed to change the foreground).

namespace {

HANDLE lockMutex = nullptr;
HANDLE windowMapping = nullptr;

// Kernel object names may not hold a backslash; the name is otherwise kept.
std::wstring ObjectName(const char* name, const wchar_t* suffix) {
  std::wstring wide = WideFromCp932(name != nullptr ? name : "");
  for (wchar_t& c : wide)
    if (c == L'\\') c = L'/';
  return L"zolbeck-instance:" + wide + suffix;
}

}  // namespace

bool AcquireInstanceLock(const char* name) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, ObjectName(name, L"").c_str());
  // Failing for another reason than a holder counts as the only copy.
  if (mutex == nullptr) return true;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  // One lock at a time: a new one replaces the one held before.
  ReleaseInstanceLock();
  lockMutex = mutex;
  windowMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(uint64_t),
                                     ObjectName(name, L":window").c_str());
  return true;
}

void ReleaseInstanceLock() {
  if (windowMapping != nullptr) CloseHandle(windowMapping);
  if (lockMutex != nullptr) CloseHandle(lockMutex);
  windowMapping = lockMutex = nullptr;
}

void PublishMainWindow(uintptr_t window) {
  if (windowMapping == nullptr) return;
  void* view = MapViewOfFile(windowMapping, FILE_MAP_WRITE, 0, 0, sizeof(uint64_t));
  if (view == nullptr) return;
  const uint64_t value = window;
  std::memcpy(view, &value, sizeof value);
  UnmapViewOfFile(view);
}

bool RaiseOtherInstance(const char* name) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, ObjectName(name, L":window").c_str());
  if (mapping == nullptr) return false;
  uint64_t value = 0;
  if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof value)) {
    std::memcpy(&value, view, sizeof value);
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  if (window == nullptr || !IsWindow(window)) return false;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  AllowSetForegroundWindow(owner);
  SetForegroundWindow(window);
  return true;
}

// The second copy raises the first itself; nothing arrives through the lock.
bool TakeRaiseRequest() { return false; }

}  // namespace plat
