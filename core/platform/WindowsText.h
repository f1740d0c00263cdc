#pragma once
// Windows only: paths arrive as bytes in the ANSI code page.
#include <windows.h>

#include <string>

namespace qurix {

// The path as UTF-16 through the ANSI code page; false for a NUL inside or bytes that do
// not convert.
inline bool AnsiToWide(const std::string& bytes, std::wstring& wide) {
    wide.clear();
    if (bytes.find('\0') != std::string::npos) return false;
    if (bytes.empty()) return true;
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(static_cast<size_t>(n));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), wide.data(), n) == n;
}

// Back to ANSI code page bytes (for paths the system hands out).
inline std::string WideToAnsi(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n,
                        nullptr, nullptr);
    return bytes;
}

}  // namespace qurix
