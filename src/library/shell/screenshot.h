// F12: the picture on screen saved as a PNG file into the user's pictures
// folder; the path is printed on standard output.
#pragma once
#include <string>

#include "platform/platform.h"

namespace shell {

// Saves the back screen; the path written, or "" on failure (said on
// standard error).
std::string SaveScreenshot();
// The file name for a screenshot taken at the time given: the program's
// name, the date and the time, and "-2", "-3", ... when `attempt` > 1.
std::string ScreenshotName(const std::string& program, const plat::LocalTime& t, int attempt);

}  // namespace shell
