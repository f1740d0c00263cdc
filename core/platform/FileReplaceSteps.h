#pragma once
// The platform steps ReplaceFileContents chooses between (one implementation each for
// POSIX and Windows).
#include <string>

namespace qurix {

struct ReplaceTarget {
    std::string path;  // the file itself, a symbolic link followed
    bool exists = false;
    bool regular = false;     // a plain file (not a folder or device)
    bool otherLinks = false;  // more than one hard link names it
    bool writable = false;    // its own permission lets us write it
};

// False when the path cannot name a file (a NUL byte, an unresolvable link).
bool InspectReplaceTarget(const std::string& path, ReplaceTarget& target);

enum class RenameOutcome { Done, NoTemporary, NotRenamed, WriteFailed };

// Writes a temporary file beside the target, flushes it and renames it over the target;
// the temporary file is gone again unless the rename happened.
RenameOutcome WriteBesideAndRename(const ReplaceTarget& target, const std::string& bytes);

// Rewrites an existing file with the bytes and flushes it.
bool WriteInPlace(const ReplaceTarget& target, const std::string& bytes);

}  // namespace qurix
