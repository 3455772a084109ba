// Files on Windows: names in Windows form are the system's own, so a
// Windows-form name only changes its characters (CP932 to the UTF-8 of our
// real paths), and a folder handed out behind a root of its own
// (folder_roots.h) is put back; the system matches letters in any case
// itself.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/find_match.h"
#include "platform/core/folder_roots.h"
#include "platform/platform.h"
#include "platform/windows/win32_shared.h"

#include "platform/windows/win32_api.h"
#include <fcntl.h>
#include <io.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace plat {

std::string ResolvePath(const char* windowsPath) {
  if (windowsPath == nullptr) return std::string();
  // A folder handed out by a root of its own.
  std::string real;
  if (size_t root = MappedRoot(windowsPath, real)) {
    const std::string rest = Cp932ToUtf8(windowsPath + root);
    return rest.empty() || rest[0] == '\\' || rest[0] == '/' ? real + rest : real + "\\" + rest;
  }
  return Cp932ToUtf8(windowsPath);
}

// A C long is 32 bits here: the 64-bit seek and tell of the C library.
bool SeekFile(FILE* file, int64_t offset, int whence) { return _fseeki64(file, offset, whence) == 0; }

int64_t FileOffset(FILE* file) { return _ftelli64(file); }

std::wstring SystemPath(const std::string& path) {
  std::wstring wide = WideFromUtf8(path);
  // Folders stop at 248 characters, files at 260.
  constexpr size_t kShortEnough = MAX_PATH - 12;
  if (wide.size() < kShortEnough || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (need == 0) return wide;
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return wide;
  full.resize(got);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

namespace {

// errno for a failure of the system's file calls, as the C library would
// set it.
int ErrnoFromSystem(DWORD error, const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ENOENT;
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) return EACCES;
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return ENOSPC;
  return EIO;
}

// A C stream over a handle of the system; the handle is closed on failure.
FILE* StreamFromHandle(HANDLE handle, int flags, const char* mode) {
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(fd, mode);
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace

FILE* OpenRealFile(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr || path[0] == '\0') return nullptr;
  // Always binary: lines end in whatever the file holds, as on Linux.
  std::string realMode;
  DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
  int flags = _O_BINARY | _O_RDONLY;
  bool plus = false;
  for (const char* m = mode; *m != '\0'; ++m) {
    if (*m == 't' || *m == 'b') continue;
    realMode += *m;
    if (*m == '+') plus = true;
    if (*m == 'w') access = GENERIC_WRITE, disposition = CREATE_ALWAYS, flags = _O_BINARY | _O_WRONLY;
    if (*m == 'a') access = GENERIC_WRITE, disposition = OPEN_ALWAYS, flags = _O_BINARY | _O_WRONLY | _O_APPEND;
  }
  if (plus) {
    access = GENERIC_READ | GENERIC_WRITE;
    flags = (flags & ~(_O_RDONLY | _O_WRONLY)) | _O_RDWR;
  }
  realMode += 'b';
  const std::wstring wide = SystemPath(path);
  HANDLE handle = CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const int error = ErrnoFromSystem(GetLastError(), wide);
    // A folder is no plain file.
    errno = error == EISDIR ? EINVAL : error;
    return nullptr;
  }
  // Anything but a plain file (a device, a pipe, a folder) is refused.
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(handle);
    errno = EINVAL;
    return nullptr;
  }
  return StreamFromHandle(handle, flags, realMode.c_str());
}

FILE* OpenOutputFile(const char* path, bool& seekable, std::string& reason) {
  seekable = false;
  if (path == nullptr || path[0] == '\0') {
    reason = "no file name";
    return nullptr;
  }
  // A pipe or a device never makes the open wait here: a pipe with no
  // server is refused at once.
  const std::wstring wide = SystemPath(path);
  HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    reason = std::strerror(ErrnoFromSystem(GetLastError(), wide));
    return nullptr;
  }
  const DWORD type = GetFileType(handle);
  seekable = type == FILE_TYPE_DISK;
  // A plain file is emptied; a pipe or a device is written as it is.
  if (seekable ? !SetEndOfFile(handle) : (type != FILE_TYPE_PIPE && type != FILE_TYPE_CHAR)) {
    CloseHandle(handle);
    reason = "not a file, a pipe or a device";
    return nullptr;
  }
  FILE* file = StreamFromHandle(handle, _O_BINARY | _O_WRONLY, "wb");
  if (file == nullptr) reason = std::strerror(errno);
  return file;
}

bool RemoveFile(const char* windowsPath) {
  std::string path = ResolvePath(windowsPath);
  return !path.empty() && DeleteFileW(SystemPath(path).c_str()) != 0;
}

std::vector<std::string> FindFiles(const char* windowsFolder, const char* pattern) {
  std::vector<std::string> names;
  std::string folder = ResolveFolder(windowsFolder);
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(SystemPath(folder + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  const std::string wanted = Cp932ToUtf8(pattern != nullptr ? pattern : "");
  do {
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) continue;
    const std::string name = Utf8FromWide(entry.cFileName);
    if (NameMatches(wanted.c_str(), name.c_str())) names.push_back(Utf8ToCp932(name));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  SortFoundNames(names);
  return names;
}

// The user's Pictures folder as the shell knows it, made when missing.
std::string PicturesFolder() {
  PWSTR path = nullptr;
  std::string folder;
  if (SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_CREATE, nullptr, &path) == S_OK)
    folder = Utf8FromWide(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace plat
