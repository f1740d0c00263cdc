#ifdef _WIN32
#include <algorithm>

#include "core/platform/FileReplaceSteps.h"
#include "core/platform/WindowsText.h"

namespace qurix {

namespace {

// Closes the handle however the function ends.
class CHandle {
public:
    explicit CHandle(HANDLE h) : h_(h) {}
    ~CHandle() {
        if (Valid()) CloseHandle(h_);
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

bool WriteAll(HANDLE h, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool SetSize(HANDLE h, size_t size) {
    LARGE_INTEGER pos;
    pos.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) && SetEndOfFile(h);
}

}  // namespace

bool InspectReplaceTarget(const std::string& path, ReplaceTarget& target) {
    std::wstring wide;
    if (!AnsiToWide(path, wide)) return false;
    target = ReplaceTarget();
    target.path = path;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    target.exists = true;
    target.regular = (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    target.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    CHandle h(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    target.otherLinks =
        h.Valid() && GetFileInformationByHandle(h.Get(), &info) && info.nNumberOfLinks > 1;
    return true;
}

RenameOutcome WriteBesideAndRename(const ReplaceTarget& target, const std::string& bytes) {
    std::wstring wide;
    if (!AnsiToWide(target.path, wide)) return RenameOutcome::NoTemporary;
    const size_t slash = wide.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : wide.substr(0, slash + 1);
    wchar_t temp[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), L"qrx", 0, temp) == 0) return RenameOutcome::NoTemporary;
    bool ok;
    {
        CHandle h(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = h.Valid() && WriteAll(h.Get(), bytes) && FlushFileBuffers(h.Get());
    }
    if (!ok) {
        DeleteFileW(temp);
        return RenameOutcome::WriteFailed;
    }
    if (!MoveFileExW(temp, wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        return RenameOutcome::NotRenamed;
    }
    return RenameOutcome::Done;
}

bool WriteInPlace(const ReplaceTarget& target, const std::string& bytes) {
    std::wstring wide;
    if (!AnsiToWide(target.path, wide)) return false;
    CHandle h(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valid()) return false;
    // Room for the new bytes first, so a full disk fails before any old byte changes.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h.Get(), &size)) return false;
    if (static_cast<ULONGLONG>(size.QuadPart) < bytes.size() && !SetSize(h.Get(), bytes.size())) {
        return false;
    }
    LARGE_INTEGER start;
    start.QuadPart = 0;
    return SetFilePointerEx(h.Get(), start, nullptr, FILE_BEGIN) && WriteAll(h.Get(), bytes) &&
           SetSize(h.Get(), bytes.size()) && FlushFileBuffers(h.Get());
}

}  // namespace qurix
#endif
