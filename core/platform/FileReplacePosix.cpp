#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/platform/FileReplaceSteps.h"

namespace qurix {

namespace {

bool WriteAll(int fd, std::string_view bytes, off_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                   offset + static_cast<off_t>(done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

bool ReadFrom(int fd, std::string& bytes, size_t expected) {
    bytes.clear();
    bytes.reserve(expected);
    char block[1 << 16];
    for (;;) {
        const ssize_t r = ::pread(fd, block, sizeof block, static_cast<off_t>(bytes.size()));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        if (r == 0) return true;
        bytes.append(block, static_cast<size_t>(r));
    }
}

int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

FileVersion VersionOf(const struct stat& st) {
    FileVersion v;
    v.exists = true;
    v.device = static_cast<uint64_t>(st.st_dev);
    v.identity = static_cast<uint64_t>(st.st_ino);
    v.size = static_cast<uint64_t>(st.st_size);
    v.modifiedNs = Nanoseconds(st.st_mtim);
    return v;
}

bool HasNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

// Whether the file at path is the version that was read: by its version where its time
// tells changes, else byte for byte.
bool IsVersionRead(const std::string& path, const FileSnapshot& read) {
    FileVersion version;
    if (read.TimeTellsChanges()) return ReadVersion(path, version) && version == read.version;
    FileSnapshot now;
    return ReadSnapshot(path, now) == SnapshotRead::Done && now.version == read.version &&
           now.bytes == read.bytes;
}

int Exchange(const char* a, const char* b, unsigned flags) {
#ifdef __linux__
    return ::renameat2(AT_FDCWD, a, AT_FDCWD, b, flags);
#else
    (void)a;
    (void)b;
    (void)flags;
    errno = ENOSYS;
    return -1;
#endif
}

bool NotSupported(int e) {
    return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP || e == ENOTSUP;
}

#ifndef RENAME_NOREPLACE
constexpr unsigned RENAME_NOREPLACE = 1;
constexpr unsigned RENAME_EXCHANGE = 2;
#endif

// A new file must not take the place of one made meanwhile.
SwapOutcome PlaceNewFile(const char* temp, const char* target) {
    if (Exchange(temp, target, RENAME_NOREPLACE) == 0) return SwapOutcome::Done;
    if (errno == EEXIST) return SwapOutcome::Changed;
    if (!NotSupported(errno)) return SwapOutcome::NotRenamed;
    if (::link(temp, target) == 0) return SwapOutcome::Done;
    if (errno == EEXIST) return SwapOutcome::Changed;
    return std::rename(temp, target) == 0 ? SwapOutcome::Done : SwapOutcome::NotRenamed;
}

// The new file and the target change places, so that what was there is at hand to check:
// a writer that saved in between gets its file back, and is not overwritten.
SwapOutcome SwapAndCheck(const char* temp, const ReplaceTarget& target, const FileSnapshot& read,
                         ino_t ours) {
    const char* path = target.path.c_str();
    if (Exchange(temp, path, RENAME_EXCHANGE) != 0) {
        if (!NotSupported(errno)) return SwapOutcome::NotRenamed;
        // Without an exchange the check comes just before the rename.
        if (!IsVersionRead(target.path, read)) return SwapOutcome::Changed;
        return std::rename(temp, path) == 0 ? SwapOutcome::Done : SwapOutcome::NotRenamed;
    }
    if (IsVersionRead(temp, read)) return SwapOutcome::Done;
    // Back again; should a still newer save have come meanwhile, that one is kept.
    if (Exchange(temp, path, RENAME_EXCHANGE) != 0) {
        return std::rename(temp, path) == 0 ? SwapOutcome::Changed : SwapOutcome::NotRenamed;
    }
    struct stat st;
    if (::stat(temp, &st) == 0 && st.st_ino != ours) (void)Exchange(temp, path, RENAME_EXCHANGE);
    return SwapOutcome::Changed;
}

}  // namespace

SnapshotRead ReadSnapshot(const std::string& path, FileSnapshot& snapshot) {
    snapshot = FileSnapshot();
    if (HasNul(path)) return SnapshotRead::Failed;
    const int64_t started = WallClockNs();
    // Non-blocking, so that a FIFO named here cannot hang the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? SnapshotRead::Done : SnapshotRead::Failed;
    }
    struct stat before;
    struct stat after;
    bool ok = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode) &&
              ReadFrom(fd, snapshot.bytes, static_cast<size_t>(before.st_size)) &&
              ::fstat(fd, &after) == 0;
    ::close(fd);
    if (!ok) {
        snapshot = FileSnapshot();
        return SnapshotRead::Failed;
    }
    snapshot.version = VersionOf(after);
    snapshot.readNs = started;
    if (!(VersionOf(before) == snapshot.version) ||
        snapshot.bytes.size() != snapshot.version.size) {
        snapshot = FileSnapshot();
        return SnapshotRead::Busy;
    }
    return SnapshotRead::Done;
}

bool ReadVersion(const std::string& path, FileVersion& version) {
    version = FileVersion();
    struct stat st;
    if (HasNul(path)) return false;
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
    version = VersionOf(st);
    return true;
}

bool InspectReplaceTarget(const std::string& path, ReplaceTarget& target) {
    if (HasNul(path)) return false;
    target = ReplaceTarget();
    target.path = path;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved) return false;
        target.path = resolved;
        std::free(resolved);
    }
    if (::stat(target.path.c_str(), &st) != 0) return true;
    target.version = VersionOf(st);
    target.regular = S_ISREG(st.st_mode);
    target.otherLinks = st.st_nlink > 1;
    // The effective user decides, as for the write itself; an administrator may write
    // anything, so the mode bits say whether the file was meant to be kept as it is.
    target.writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
                      ::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) == 0;
    return true;
}

SwapOutcome WriteBesideAndSwap(const ReplaceTarget& target, const FileSnapshot& read,
                               const std::string& bytes, FileVersion& written) {
    std::string tmpl = target.path + ".qurix-" + std::to_string(CurrentProcessId()) + "-XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return SwapOutcome::NoTemporary;
    const auto fail = [&](SwapOutcome outcome) {
        std::remove(name.data());
        return outcome;
    };
    struct stat old;
    struct stat mine;
    const bool existed = target.version.exists && ::stat(target.path.c_str(), &old) == 0;
    bool ok = ::fstat(fd, &mine) == 0;
    if (ok && existed && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        ::close(fd);
        return fail(SwapOutcome::OwnerNotKept);
    }
    // After the owner: a change of owner clears the set-id bits.
    mode_t mode = 0;
    if (existed) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    ok = ok && ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes, 0) && ::fsync(fd) == 0 &&
         ::fstat(fd, &mine) == 0;
    if (::close(fd) != 0) ok = false;
    // A rename keeps the time of the last write.
    written = VersionOf(mine);
    if (!ok) return fail(SwapOutcome::WriteFailed);
    const SwapOutcome outcome = existed ? SwapAndCheck(name.data(), target, read, mine.st_ino)
                                        : PlaceNewFile(name.data(), target.path.c_str());
    std::remove(name.data());
    return outcome;
}

CUpdateFile::~CUpdateFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool CUpdateFile::Open(const std::string& path) {
    if (HasNul(path)) return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

bool CUpdateFile::ReadAll(std::string& bytes) {
    return ReadFrom(static_cast<int>(handle_), bytes, 0);
}

bool CUpdateFile::WriteAt(uint64_t offset, std::string_view bytes) {
    return WriteAll(static_cast<int>(handle_), bytes, static_cast<off_t>(offset));
}

bool CUpdateFile::Reserve(uint64_t size) {
    struct stat st;
    if (::fstat(static_cast<int>(handle_), &st) != 0) return false;
    if (static_cast<uint64_t>(st.st_size) >= size) return true;
    const int room = posix_fallocate(static_cast<int>(handle_), 0, static_cast<off_t>(size));
    // A file system that cannot reserve room is written all the same.
    return room != ENOSPC && room != EFBIG;
}

bool CUpdateFile::Resize(uint64_t size) {
    return ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) == 0;
}

bool CUpdateFile::Flush() {
    return ::fsync(static_cast<int>(handle_)) == 0;
}

bool CUpdateFile::Version(FileVersion& version) {
    struct stat st;
    if (::fstat(static_cast<int>(handle_), &st) != 0) return false;
    version = VersionOf(st);
    return true;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (HasNul(folder)) return names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool RemoveFileAt(const std::string& path) {
    return !HasNul(path) && ::unlink(path.c_str()) == 0;
}

bool MakeFolders(const std::string& folder) {
    if (HasNul(folder) || folder.empty()) return false;
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

uint32_t CurrentProcessId() {
    return static_cast<uint32_t>(::getpid());
}

bool ProcessMayBeRunning(uint32_t id) {
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

}  // namespace qurix
#endif
