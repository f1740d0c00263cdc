#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdint>

#include "core/platform/TempFiles.h"
#include "core/platform/WindowsText.h"

namespace qurix {

namespace {

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return n == 0 || n > MAX_PATH ? std::wstring() : std::wstring(buffer, n);
}

// A name no other process is likely to pick at the same moment.
std::wstring UniqueName(const std::wstring& folder, const std::wstring& prefix, uint32_t attempt) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return folder + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(static_cast<uint64_t>(now.QuadPart) + attempt);
}

}  // namespace

std::string MakeTemporaryFolder(const std::string& prefix) {
    std::wstring widePrefix;
    const std::wstring folder = TempFolder();
    if (folder.empty() || !AnsiToWide(prefix, widePrefix)) return std::string();
    for (uint32_t attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = UniqueName(folder, widePrefix, attempt);
        if (CreateDirectoryW(name.c_str(), nullptr)) return WideToAnsi(name);
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

std::FILE* OpenBytesAsFile(const std::string& bytes) {
    const std::wstring folder = TempFolder();
    if (folder.empty()) return nullptr;
    for (uint32_t attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = UniqueName(folder, L"qurix-bytes-", attempt);
        // Created only when new; removed by the system when closed.
        const int fd = _wopen(name.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY,
                              _S_IREAD | _S_IWRITE);
        if (fd < 0) continue;
        std::FILE* f = _wfdopen(fd, L"w+b");
        if (!f) {
            _close(fd);
            return nullptr;
        }
        if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0) {
            std::fclose(f);
            return nullptr;
        }
        std::rewind(f);
        return f;
    }
    return nullptr;
}

}  // namespace qurix
#endif
