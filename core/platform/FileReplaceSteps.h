#pragma once
// The platform steps ReplaceIfUnchanged is made of (one implementation each for POSIX and
// Windows); the order of the steps and what a failure undoes are in FileReplace.cpp.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/FileReplace.h"

namespace qurix {

struct ReplaceTarget {
    std::string path;  // the file itself, a symbolic link followed
    FileVersion version;
    bool regular = false;     // a plain file (not a folder or device)
    bool otherLinks = false;  // more than one hard link names it
    bool writable = false;    // a write bit is set and its permission lets us write it
};

// False when the path cannot name a file (a NUL byte, an unresolvable link).
bool InspectReplaceTarget(const std::string& path, ReplaceTarget& target);

enum class SwapOutcome {
    Done,          // the new bytes are the file
    Changed,       // the file was not the version read; it is as it was
    NoTemporary,   // no file could be made beside it
    OwnerNotKept,  // the new file could not take the old one's owner and group
    NotRenamed,    // the new file could not take the old one's place
    WriteFailed,   // the new bytes could not be written (a full disk)
};

// Writes the bytes to a temporary file beside the target (its mode, owner and group),
// flushes it and lets it take the target's place while the target is the version read;
// the temporary file is gone again whatever the outcome. written receives the new
// file's version.
SwapOutcome WriteBesideAndSwap(const ReplaceTarget& target, const FileSnapshot& read,
                               const std::string& bytes, FileVersion& written);

// An existing file open for reading and rewriting, never truncated by the opening.
class CUpdateFile {
public:
    CUpdateFile() = default;
    ~CUpdateFile();
    CUpdateFile(const CUpdateFile&) = delete;
    CUpdateFile& operator=(const CUpdateFile&) = delete;

    bool Open(const std::string& path);
    bool ReadAll(std::string& bytes);
    bool WriteAt(uint64_t offset, std::string_view bytes);
    // Room for size bytes, so that a full disk fails before any old byte changes.
    bool Reserve(uint64_t size);
    bool Resize(uint64_t size);
    bool Flush();
    bool Version(FileVersion& version);

private:
    intptr_t handle_ = -1;
};

// Now, on the clock of file times (FileSnapshot::readNs).
int64_t WallClockNs();

// The names in a folder (without "." and ".."); empty when it cannot be listed.
std::vector<std::string> FolderEntries(const std::string& folder);
bool RemoveFileAt(const std::string& path);
// Makes the folder and those above it as needed.
bool MakeFolders(const std::string& folder);
uint32_t CurrentProcessId();
// False only when no process of that number runs.
bool ProcessMayBeRunning(uint32_t id);

}  // namespace qurix
