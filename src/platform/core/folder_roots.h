// The folders the platform hands to the library by a root of their own.
// Internal to src/platform.
//
// The library keeps folder names in Shift-JIS, in buffers of 256 bytes. A
// real folder whose name has a character Shift-JIS lacks, or whose name is
// too long for those buffers, is handed out as a root, "0:" for the
// program's folder and "1:" for the configuration folder. The root stands
// for the real folder, as a drive letter does, and is turned back into it
// whenever a name is resolved. A digit is no drive letter on any system, so
// a root never hides a real drive.
#pragma once
#include <cstddef>
#include <string>

namespace plat {

enum class FolderRoot { Program = 0, Configuration = 1 };

// The longest Windows-form name of a folder that is handed out as it is:
// the library's buffers keep 64 bytes for the names put after it.
constexpr size_t kFolderFormMax = 191;

// The Windows form of the real folder `real` (UTF-8, absolute, without a
// trailing separator): its own name when that can be written in CP932 and
// takes at most `room` bytes; otherwise the root followed by the folder's
// last name, the root standing for the parent folder, or, when the last
// name cannot be written either or is too long, the bare root ("0:")
// standing for the folder itself.
std::string FolderForm(FolderRoot root, const std::string& real, size_t room);

// When `windowsPath` starts with a root that stands for a folder: that real
// folder, and the length of the root (2). Otherwise 0.
size_t MappedRoot(const char* windowsPath, std::string& real);

// The Windows form of one real name, false when it has none: a character
// CP932 lacks, or a backslash in a name of a system whose separator is the
// slash (the Windows form would read it as a separator).
bool WindowsName(const std::string& real, std::string& form);

}  // namespace plat
