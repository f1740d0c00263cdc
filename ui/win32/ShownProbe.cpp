#include "ui/win32/WinApi.h"

#include "ui/win32/ShownProbe.h"

#include <psapi.h>

#include <cstdint>

namespace qurix::win32 {

namespace {

// FILETIME counts 100 ns from 1601; Unix time starts 11644473600 s later.
constexpr uint64_t UNIX_EPOCH_IN_FILETIME = 116444736000000000ULL;

}  // namespace

void PrintShownLine(std::FILE* out, std::chrono::steady_clock::time_point started) {
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const uint64_t unixNs = (ticks - UNIX_EPOCH_IN_FILETIME) * 100;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    long long rss = -1;
    long long peak = -1;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
        rss = static_cast<long long>(memory.WorkingSetSize / 1024);
        peak = static_cast<long long>(memory.PeakWorkingSetSize / 1024);
    }
    std::fprintf(out, "shown_ms=%.1f shown_at_ns=%llu rss_kib=%lld peak_rss_kib=%lld\n", ms,
                 static_cast<unsigned long long>(unixNs), rss, peak);
    std::fflush(out);
}

bool IsPaintedOnScreen(HWND window) {
    return window != nullptr && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
}

}  // namespace qurix::win32
