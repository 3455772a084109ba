// The zolbeck library: one header for everything a program uses.
//
// Text is Shift-JIS (CP932) bytes throughout, as the library's operations
// have always taken it; see docs/LIBRARY.md for writing it from UTF-8.
#pragma once

#include <zolbeck/version.h>
#include <zolbeck/types.h>
#include <zolbeck/keys.h>
#include <zolbeck/program.h>
#include <zolbeck/elsystem.h>
#include <zolbeck/eldraw.h>
#include <zolbeck/eltext.h>
#include <zolbeck/elsound.h>
#include <zolbeck/input.h>
