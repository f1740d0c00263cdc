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

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool WriteAll(HANDLE h, std::string_view bytes) {
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

bool Seek(HANDLE h, uint64_t offset) {
    LARGE_INTEGER pos;
    pos.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(h, pos, nullptr, FILE_BEGIN);
}

bool SetSize(HANDLE h, uint64_t size) {
    return Seek(h, size) && SetEndOfFile(h);
}

bool ReadFrom(HANDLE h, std::string& bytes) {
    bytes.clear();
    if (!Seek(h, 0)) return false;
    char block[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, block, sizeof block, &got, nullptr)) return false;
        if (got == 0) return true;
        bytes.append(block, got);
    }
}

bool VersionOf(HANDLE h, FileVersion& v) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return false;
    v = FileVersion();
    v.exists = true;
    v.device = info.dwVolumeSerialNumber;
    v.identity = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    v.size = static_cast<uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    const int64_t ticks =
        static_cast<int64_t>(static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32 |
                             info.ftLastWriteTime.dwLowDateTime);
    // 100 ns ticks since 1601-01-01.
    v.modifiedNs = (ticks - 116444736000000000LL) * 100;
    return true;
}

bool IsVersionReadW(const std::wstring& path, const FileSnapshot& read) {
    // Compared by content and size: a rename may give the file another time of change.
    FileSnapshot now;
    return ReadSnapshot(WideToAnsi(path), now) == SnapshotRead::Done &&
           now.version.size == read.version.size && now.bytes == read.bytes;
}

}  // namespace

SnapshotRead ReadSnapshot(const std::string& path, FileSnapshot& snapshot) {
    snapshot = FileSnapshot();
    std::wstring wide;
    if (!AnsiToWide(path, wide)) return SnapshotRead::Failed;
    snapshot.readNs = WallClockNs();
    CHandle h(CreateFileW(wide.c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? SnapshotRead::Done
                   : SnapshotRead::Failed;
    }
    FileVersion before;
    if (GetFileType(h.Get()) != FILE_TYPE_DISK || !VersionOf(h.Get(), before) ||
        !ReadFrom(h.Get(), snapshot.bytes) || !VersionOf(h.Get(), snapshot.version)) {
        snapshot = FileSnapshot();
        return SnapshotRead::Failed;
    }
    if (!(before == snapshot.version) || snapshot.bytes.size() != snapshot.version.size) {
        snapshot = FileSnapshot();
        return SnapshotRead::Busy;
    }
    return SnapshotRead::Done;
}

bool ReadVersion(const std::string& path, FileVersion& version) {
    version = FileVersion();
    std::wstring wide;
    if (!AnsiToWide(path, wide)) return false;
    CHandle h(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return VersionOf(h.Get(), version);
}

bool InspectReplaceTarget(const std::string& path, ReplaceTarget& target) {
    std::wstring wide;
    if (!AnsiToWide(path, wide)) return false;
    target = ReplaceTarget();
    target.path = path;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    target.version.exists = true;
    target.regular = (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    target.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    CHandle h(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (h.Valid() && target.regular) VersionOf(h.Get(), target.version);
    target.otherLinks =
        h.Valid() && GetFileInformationByHandle(h.Get(), &info) && info.nNumberOfLinks > 1;
    return true;
}

SwapOutcome WriteBesideAndSwap(const ReplaceTarget& target, const FileSnapshot& read,
                               const std::string& bytes, FileVersion& written) {
    std::wstring wide;
    if (!AnsiToWide(target.path, wide)) return SwapOutcome::NoTemporary;
    // Named after the file and this process, so that a later start can tell it abandoned.
    std::wstring temp;
    HANDLE made = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && made == INVALID_HANDLE_VALUE; ++attempt) {
        temp = wide + L".qurix-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount() + attempt);
        made = CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (made == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (made == INVALID_HANDLE_VALUE) return SwapOutcome::NoTemporary;
    bool ok;
    {
        CHandle h(made);
        ok = WriteAll(h.Get(), bytes) && FlushFileBuffers(h.Get()) && VersionOf(h.Get(), written);
    }
    const auto fail = [&](SwapOutcome outcome) {
        DeleteFileW(temp.c_str());
        return outcome;
    };
    if (!ok) return fail(SwapOutcome::WriteFailed);
    if (!target.version.exists) {
        // A new file must not take the place of one made meanwhile.
        if (MoveFileExW(temp.c_str(), wide.c_str(), MOVEFILE_WRITE_THROUGH)) {
            return SwapOutcome::Done;
        }
        return fail(GetLastError() == ERROR_ALREADY_EXISTS ? SwapOutcome::Changed
                                                           : SwapOutcome::NotRenamed);
    }
    // The old file is kept aside, so that what was replaced can be checked: a writer that
    // saved in between gets its file back. The replaced file's attributes and access list
    // stay with the name.
    const std::wstring aside = temp + L".old";
    if (!ReplaceFileW(wide.c_str(), temp.c_str(), aside.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
        return fail(SwapOutcome::NotRenamed);
    }
    if (IsVersionReadW(aside, read)) {
        DeleteFileW(aside.c_str());
        CHandle h(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (h.Valid()) VersionOf(h.Get(), written);
        return SwapOutcome::Done;
    }
    if (!ReplaceFileW(wide.c_str(), aside.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
        MoveFileExW(aside.c_str(), wide.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return SwapOutcome::Changed;
}

CUpdateFile::~CUpdateFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool CUpdateFile::Open(const std::string& path) {
    std::wstring wide;
    if (!AnsiToWide(path, wide)) return false;
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    return true;
}

bool CUpdateFile::ReadAll(std::string& bytes) {
    return ReadFrom(reinterpret_cast<HANDLE>(handle_), bytes);
}

bool CUpdateFile::WriteAt(uint64_t offset, std::string_view bytes) {
    const HANDLE h = reinterpret_cast<HANDLE>(handle_);
    return Seek(h, offset) && WriteAll(h, bytes);
}

bool CUpdateFile::Reserve(uint64_t size) {
    const HANDLE h = reinterpret_cast<HANDLE>(handle_);
    LARGE_INTEGER now;
    if (!GetFileSizeEx(h, &now)) return false;
    return static_cast<uint64_t>(now.QuadPart) >= size || SetSize(h, size);
}

bool CUpdateFile::Resize(uint64_t size) {
    return SetSize(reinterpret_cast<HANDLE>(handle_), size);
}

bool CUpdateFile::Flush() {
    return FlushFileBuffers(reinterpret_cast<HANDLE>(handle_));
}

bool CUpdateFile::Version(FileVersion& version) {
    return VersionOf(reinterpret_cast<HANDLE>(handle_), version);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::wstring wide;
    if (!AnsiToWide(folder.empty() ? std::string(".\\") : folder, wide)) return names;
    if (wide.back() != L'\\' && wide.back() != L'/') wide += L'\\';
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((wide + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(WideToAnsi(name));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

bool RemoveFileAt(const std::string& path) {
    std::wstring wide;
    return AnsiToWide(path, wide) && DeleteFileW(wide.c_str());
}

bool MakeFolders(const std::string& folder) {
    std::wstring wide;
    if (folder.empty() || !AnsiToWide(folder, wide)) return false;
    // Each folder from the first below the drive or server.
    for (size_t sep = wide.find_first_of(L"\\/", 3);; sep = wide.find_first_of(L"\\/", sep + 1)) {
        const std::wstring part = wide.substr(0, sep);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS &&
            GetLastError() != ERROR_ACCESS_DENIED) {
            return false;
        }
        if (sep == std::wstring::npos) break;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

uint32_t CurrentProcessId() {
    return GetCurrentProcessId();
}

bool ProcessMayBeRunning(uint32_t id) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool running = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

}  // namespace qurix
#endif
