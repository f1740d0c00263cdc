#include "ui/win32/WinApi.h"

#include "ui/win32/StartTrace.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace qurix::win32 {

namespace {

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

void StartTraceMark(const char* what) {
    if (std::getenv("QURIX_TRACE_START") == nullptr) return;
    FILETIME created{};
    FILETIME unused[3]{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &unused[0], &unused[1], &unused[2])) {
        return;
    }
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    // FILETIME counts 100 ns.
    const double ms = static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
    std::fprintf(stderr, "start %8.1f ms  %s\n", ms, what);
    std::fflush(stderr);
}

}  // namespace qurix::win32
