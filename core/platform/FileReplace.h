#pragma once
#include <cstdint>
#include <string>

namespace qurix {

// What tells one version of a file from another: a writer that changes the file changes
// at least one of these (a save by rename changes the file's identity, one in place its
// size or time).
struct FileVersion {
    bool exists = false;
    uint64_t device = 0;
    uint64_t identity = 0;  // the inode, or the file index on Windows
    uint64_t size = 0;
    int64_t modifiedNs = 0;  // last write, nanoseconds since 1970-01-01 UTC
    bool operator==(const FileVersion&) const = default;
};

// A file's whole bytes and the version they were read from.
struct FileSnapshot {
    FileVersion version;
    std::string bytes;
    int64_t readNs = 0;  // when the read began, on the clock of modifiedNs

    // Whether the file's time alone tells later writes from it: it was last written
    // longer before the read than the coarsest file time (FAT's two seconds), so any
    // later write leaves another time.
    bool TimeTellsChanges() const;
};

// The file's version now (exists false where there is none); false when it cannot be
// told.
bool ReadVersion(const std::string& path, FileVersion& version);

enum class SnapshotRead {
    Done,    // the bytes are the whole file (none, where it does not exist)
    Busy,    // the file changed while it was read: a writer is at work
    Failed,  // it cannot be read (no right, not a regular file, a NUL in the path)
};

// Reads the file whole in one open, without blocking on a special file. A read that is
// shorter than the file's size at its end, or during which the file changed, is Busy.
SnapshotRead ReadSnapshot(const std::string& path, FileSnapshot& snapshot);

// How ReplaceIfUnchanged ended.
enum class ReplaceMethod {
    Failed,   // nothing changed
    Changed,  // nothing changed: the file is no longer the version that was read
    Atomic,   // a temporary file beside it took its place
    InPlace,  // the file itself was rewritten from the first byte that differs
};

struct ReplaceOptions {
    // Where a copy of the old bytes is kept while the file is rewritten in place, so that
    // RecoverInPlaceWrite can put it back after a kill; "" keeps none.
    std::string journalFolder;
};

// Gives the file at path exactly these bytes, but only while it still is the version
// read (its bytes and version; a file that did not exist must still not exist). Where it
// works the new bytes are written beside it and take its place atomically, keeping its
// mode, owner and group; a file that other hard links share, whose folder refuses new
// files or whose owner cannot be kept is rewritten in place instead, and any failure
// there writes the old bytes back. A file with no write bit set is never written, not
// even by an administrator. A symbolic link is followed (on POSIX).
// written, when given, receives the new file's version.
ReplaceMethod ReplaceIfUnchanged(const std::string& path, const FileSnapshot& read,
                                 const std::string& bytes, const ReplaceOptions& options,
                                 FileVersion* written = nullptr);

// The journal an in-place rewrite of path keeps in folder.
std::string JournalPath(const std::string& folder, const std::string& path);

enum class Recovery {
    None,       // no rewrite of the file was interrupted
    Restored,   // an interrupted rewrite was found and the old bytes put back
    Completed,  // the rewrite had finished; only its journal was left
    Dropped,    // the file was changed since by someone else: left as it is
    Failed,     // the old bytes could not be put back (the journal is kept)
};

// Puts back the old bytes of a file that an in-place rewrite left unfinished (a kill or
// a power cut), judged by the journal it kept in folder.
Recovery RecoverInPlaceWrite(const std::string& folder, const std::string& path);

// Removes the temporary files beside path that a palette left when it was killed while
// writing (named after path, ".qurix-", the writer's process number); never those of a
// palette still running.
int RemoveAbandonedTemporaries(const std::string& path);

}  // namespace qurix
