// The system's MCI sequencer for the win32 backend. Commands and answers are
// CP932, like all text of the program; they cross to the system as UTF-16,
// so that a file name in Japanese opens on a system of any code page.
#include <cstring>

#include "platform/windows/mci_windows.h"

#include "platform/platform.h"

namespace plat {
namespace {

constexpr int kCommandUnits = 1024;  // the longest command the library sends, and more
constexpr int kAnswerUnits = 256;
constexpr int kCodePage = 932;

}  // namespace

uint32_t SendMciString(const char* command, char* answer, unsigned answerSize, HWND notify) {
  if (answer && answerSize > 0) answer[0] = '\0';
  if (!command) return MCIERR_MISSING_COMMAND_STRING;
  WCHAR wideCommand[kCommandUnits];
  int units = MultiByteToWideChar(kCodePage, 0, command, -1, wideCommand, kCommandUnits);
  if (units <= 0) return MCIERR_PARAM_OVERFLOW;  // longer than any command of the library
  WCHAR wideAnswer[kAnswerUnits] = {};
  MCIERROR result = mciSendStringW(wideCommand, wideAnswer, kAnswerUnits, notify);
  if (answer && answerSize > 0) {
    char full[2 * kAnswerUnits];
    if (WideCharToMultiByte(kCodePage, 0, wideAnswer, -1, full, sizeof full, nullptr, nullptr) <= 0) {
      full[0] = '\0';
    }
    // An answer too long for the buffer is cut after its last whole character.
    size_t kept = 0;
    while (full[kept] != '\0') {
      size_t step = IsLeadByte(static_cast<unsigned char>(full[kept])) && full[kept + 1] != '\0' ? 2 : 1;
      if (kept + step > answerSize - 1) break;
      kept += step;
    }
    std::memcpy(answer, full, kept);
    answer[kept] = '\0';
  }
  return static_cast<uint32_t>(result);
}

}  // namespace plat
