#ifdef _WIN32
#include "core/platform/FileTime.h"
#include "core/platform/WindowsText.h"

namespace qurix {

bool LastWriteSeconds(const std::string& path, int64_t& seconds) {
    std::wstring wide;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!AnsiToWide(path, wide) ||
        !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    // 100 ns ticks since 1601-01-01; 11644473600 s lie between that and 1970-01-01.
    const int64_t ticks =
        static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime);
    const int64_t sinceFileEpoch = ticks >= 0 ? ticks / 10000000 : -((-ticks + 9999999) / 10000000);
    seconds = sinceFileEpoch - 11644473600;
    return true;
}

}  // namespace qurix
#endif
