#ifdef _WIN32
#include <windows.h>

#include "core/platform/Paths.h"
#include "core/platform/WindowsText.h"

namespace qurix {

namespace {

bool IsAnsiLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != 0;
}

}  // namespace

PathStyle NativePathStyle() {
    return PathStyle{true, IsAnsiLeadByte};
}

std::string CurrentFolder() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return std::string();
    std::wstring wide(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, wide.data());
    if (got == 0 || got >= n) return std::string();
    wide.resize(got);
    return WideToAnsi(wide);
}

}  // namespace qurix
#endif
