// The system's own headers for the win32 backend's files. Internal to
// src/platform, and only for files that are built on Windows.
//
// <windows.h> names several of its functions through macros (CreateWindow
// stands for CreateWindowW, and so on) that would rename the platform's own
// functions of the same names; they are taken away here, and the backend
// calls the wide functions by their full names. The message numbers of
// messages.h are macros of <windows.h> as well, with the same values, so the
// backend's files use the system's and do not include messages.h.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After <windows.h>, which it needs: the multimedia part it leaves out lean.
#include <mmsystem.h>

#undef CreateWindow
#undef MessageBox
#undef RegisterClass
#undef PeekMessage
#undef DispatchMessage
#undef SendMessage
#undef PostMessage
#undef DefWindowProc
#undef GetMessage
#undef LoadBitmap
#undef GetCurrentTime
#undef CreateFont
#undef TextOut
#undef GetTextExtentPoint32
#undef GetTextMetrics
#undef DrawText
#undef EnumFonts
#undef CharUpperBuff
