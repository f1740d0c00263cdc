#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/platform/FileReplaceSteps.h"

namespace qurix {

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

bool InspectReplaceTarget(const std::string& path, ReplaceTarget& target) {
    if (path.find('\0') != std::string::npos) return false;
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
    target.exists = true;
    target.regular = S_ISREG(st.st_mode);
    target.otherLinks = st.st_nlink > 1;
    // The effective user decides, as for the write itself.
    target.writable = ::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) == 0;
    return true;
}

RenameOutcome WriteBesideAndRename(const ReplaceTarget& target, const std::string& bytes) {
    std::string tmpl = target.path + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return RenameOutcome::NoTemporary;
    struct stat st;
    if (target.exists && ::stat(target.path.c_str(), &st) == 0) {
        (void)fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        (void)fchmod(fd, 0666 & ~mask);
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (!ok) {
        std::remove(name.data());
        return RenameOutcome::WriteFailed;
    }
    if (std::rename(name.data(), target.path.c_str()) != 0) {
        std::remove(name.data());
        return RenameOutcome::NotRenamed;
    }
    return RenameOutcome::Done;
}

bool WriteInPlace(const ReplaceTarget& target, const std::string& bytes) {
    const int fd = ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Room for the new bytes first, so a full disk fails before any old byte changes.
    const int room = bytes.empty() ? 0 : posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    bool ok = room != ENOSPC && room != EFBIG && WriteAll(fd, bytes) &&
              ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    return ok;
}

}  // namespace qurix
#endif
