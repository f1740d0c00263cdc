#pragma once
#include "ui/win32/WinApi.h"

#include <chrono>
#include <cstdio>

namespace qurix::win32 {

// For measuring a start as a whole process ("qurix.exe --exit-when-shown" and the bare
// window it is measured against): the line the Linux palette prints, so that one script
// reads both. Memory is the working set (resident) and its peak; the wall clock is Unix
// nanoseconds, to add the time before the program's entry from when the process started.
void PrintShownLine(std::FILE* out, std::chrono::steady_clock::time_point started);

// Whether window is on screen and fully painted: visible, with nothing left to paint.
bool IsPaintedOnScreen(HWND window);

}  // namespace qurix::win32
