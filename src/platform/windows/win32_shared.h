// What the Windows files of the platform layer share among themselves,
// without the system's headers: text in the system's UTF-16, and the main
// window's handle published for a second copy of the program.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// UTF-8 (our real paths) to and from the system's UTF-16.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const wchar_t* text);
// The system's name of a real path (UTF-8): UTF-16, and a path too long
// for the old limit of 260 characters made full and put behind "\\?\",
// which lifts the limit.
std::wstring SystemPath(const std::string& path);
// CP932 (Windows-form names, window titles) to UTF-16.
std::wstring WideFromCp932(const std::string& text);
// The Unicode character of one CP932 character of `length` bytes; 0 when
// CP932 has none.
uint16_t Cp932CharToUnit(const unsigned char* bytes, int length);

// The window a second copy brings to the front (an HWND): the backend calls
// this once its main window exists, and with 0 when it is gone. Only the
// holder of the instance lock publishes.
void PublishMainWindow(uintptr_t window);

}  // namespace plat
