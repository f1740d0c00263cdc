#include "core/platform/FileReplace.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <string_view>

#include "core/platform/FileReplaceSteps.h"
#include "core/platform/Paths.h"

namespace qurix {

namespace {

constexpr std::string_view JOURNAL_MAGIC = "QURIX-JOURNAL 1";

size_t FirstDifference(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    return static_cast<size_t>(std::mismatch(a.begin(), a.begin() + n, b.begin()).first -
                               a.begin());
}

// What an in-place rewrite needs to undo itself: the file's path, the old bytes and the
// new ones from the first byte that differs.
struct Journal {
    std::string path;
    size_t from = 0;
    std::string oldBytes;
    std::string newTail;

    std::string NewBytes() const { return oldBytes.substr(0, from) + newTail; }
};

std::string FormatJournal(const Journal& j) {
    std::string out(JOURNAL_MAGIC);
    for (const size_t n : {j.path.size(), j.from, j.oldBytes.size(), j.newTail.size()}) {
        out += ' ';
        out += std::to_string(n);
    }
    out += '\n';
    out += j.path;
    out += j.oldBytes;
    out += j.newTail;
    return out;
}

bool ParseJournal(std::string_view text, Journal& j) {
    if (text.substr(0, JOURNAL_MAGIC.size()) != JOURNAL_MAGIC) return false;
    const size_t eol = text.find('\n');
    if (eol == std::string_view::npos) return false;
    size_t sizes[4] = {};
    const char* p = text.data() + JOURNAL_MAGIC.size();
    const char* end = text.data() + eol;
    for (size_t& n : sizes) {
        if (p == end || *p != ' ') return false;
        const auto r = std::from_chars(p + 1, end, n);
        if (r.ec != std::errc() || r.ptr == p + 1) return false;
        p = r.ptr;
    }
    std::string_view body = text.substr(eol + 1);
    if (p != end || sizes[1] > sizes[2] || body.size() != sizes[0] + sizes[2] + sizes[3]) {
        return false;
    }
    j.path = body.substr(0, sizes[0]);
    j.from = sizes[1];
    j.oldBytes = body.substr(sizes[0], sizes[2]);
    j.newTail = body.substr(sizes[0] + sizes[2]);
    return true;
}

bool WriteJournal(const std::string& folder, const Journal& j) {
    if (!MakeFolders(folder)) return false;
    const std::string path = JournalPath(folder, j.path);
    FileSnapshot before;
    if (ReadSnapshot(path, before) != SnapshotRead::Done) return false;
    const ReplaceMethod m = ReplaceIfUnchanged(path, before, FormatJournal(j), ReplaceOptions());
    return m == ReplaceMethod::Atomic || m == ReplaceMethod::InPlace;
}

// Whether the file is what an unfinished rewrite from old to new leaves: the new bytes up
// to some point, then the old ones (padded with the zeros a reservation adds), never
// shorter than the old file.
bool IsUnfinishedRewrite(std::string_view file, const Journal& j) {
    const std::string newBytes = j.NewBytes();
    if (file.size() < j.oldBytes.size() ||
        file.size() > std::max(j.oldBytes.size(), newBytes.size())) {
        return false;
    }
    const size_t written = FirstDifference(file, newBytes);
    if (written < j.from) return false;
    for (size_t i = written; i < file.size(); ++i) {
        const char old = i < j.oldBytes.size() ? j.oldBytes[i] : '\0';
        if (file[i] != old) return false;
    }
    return true;
}

ReplaceMethod RewriteInPlace(const ReplaceTarget& target, const std::string& path,
                             const FileSnapshot& read, const std::string& bytes,
                             const ReplaceOptions& options, FileVersion& written) {
    CUpdateFile file;
    std::string now;
    if (!file.Open(target.path) || !file.ReadAll(now)) return ReplaceMethod::Failed;
    if (now != read.bytes) return ReplaceMethod::Changed;
    const std::string& old = read.bytes;
    const size_t from = FirstDifference(old, bytes);
    if (from == old.size() && from == bytes.size()) {
        return file.Version(written) ? ReplaceMethod::InPlace : ReplaceMethod::Failed;
    }
    // Only the bytes that change are written, after a copy of the old ones is safe.
    const bool journaled = !options.journalFolder.empty();
    if (journaled &&
        !WriteJournal(options.journalFolder, Journal{path, from, old, bytes.substr(from)})) {
        return ReplaceMethod::Failed;
    }
    const auto dropJournal = [&] {
        if (journaled) RemoveFileAt(JournalPath(options.journalFolder, path));
    };
    const std::string_view tail = std::string_view(bytes).substr(from);
    if (file.Reserve(bytes.size()) && file.WriteAt(from, tail) && file.Resize(bytes.size()) &&
        file.Flush() && file.Version(written)) {
        dropJournal();
        return ReplaceMethod::InPlace;
    }
    // Whatever part was written goes back to the old bytes.
    if (file.WriteAt(from, std::string_view(old).substr(from)) && file.Resize(old.size()) &&
        file.Flush()) {
        dropJournal();
    }
    return ReplaceMethod::Failed;
}

}  // namespace

bool FileSnapshot::TimeTellsChanges() const {
    constexpr int64_t COARSEST_FILE_TIME_NS = 3'000'000'000;
    return version.exists && readNs - version.modifiedNs > COARSEST_FILE_TIME_NS;
}

int64_t WallClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

ReplaceMethod ReplaceIfUnchanged(const std::string& path, const FileSnapshot& read,
                                 const std::string& bytes, const ReplaceOptions& options,
                                 FileVersion* written) {
    FileVersion ignored;
    FileVersion& version = written ? *written : ignored;
    ReplaceTarget target;
    if (path.empty() || !InspectReplaceTarget(path, target)) return ReplaceMethod::Failed;
    if (target.version.exists) {
        // A file made read-only stays as it is, whatever its folder allows.
        if (!target.regular || !target.writable) return ReplaceMethod::Failed;
        if (!(target.version == read.version)) return ReplaceMethod::Changed;
    } else if (read.version.exists) {
        return ReplaceMethod::Changed;
    }
    // A rename would leave the other links naming the old bytes.
    if (!target.otherLinks) {
        switch (WriteBesideAndSwap(target, read, bytes, version)) {
            case SwapOutcome::Done:
                return ReplaceMethod::Atomic;
            case SwapOutcome::Changed:
                return ReplaceMethod::Changed;
            case SwapOutcome::WriteFailed:
                // Most likely a full disk: rewriting in place could leave half a file.
                return ReplaceMethod::Failed;
            case SwapOutcome::NoTemporary:
            case SwapOutcome::OwnerNotKept:
            case SwapOutcome::NotRenamed:
                break;
        }
        if (!target.version.exists) return ReplaceMethod::Failed;
    }
    return RewriteInPlace(target, path, read, bytes, options, version);
}

std::string JournalPath(const std::string& folder, const std::string& path) {
    // FNV-1a: a short, stable name; the journal holds the path it belongs to.
    uint64_t h = 14695981039346656037ull;
    for (const char c : path) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char hex[17];
    const auto r = std::to_chars(hex, hex + 16, h, 16);
    return CombinePath(folder, std::string(hex, r.ptr) + ".journal");
}

Recovery RecoverInPlaceWrite(const std::string& folder, const std::string& path) {
    if (folder.empty()) return Recovery::None;
    const std::string journalPath = JournalPath(folder, path);
    FileSnapshot journalFile;
    if (ReadSnapshot(journalPath, journalFile) != SnapshotRead::Done ||
        !journalFile.version.exists) {
        return Recovery::None;
    }
    Journal j;
    if (!ParseJournal(journalFile.bytes, j) || j.path != path) {
        // Not one this palette can use (cut short itself, or another file's by chance).
        if (j.path.empty() || j.path == path) RemoveFileAt(journalPath);
        return Recovery::None;
    }
    FileSnapshot file;
    if (ReadSnapshot(path, file) != SnapshotRead::Done) return Recovery::Failed;
    Recovery result = Recovery::Dropped;
    if (file.bytes == j.NewBytes() || file.bytes == j.oldBytes) {
        result = Recovery::Completed;
    } else if (file.version.exists && IsUnfinishedRewrite(file.bytes, j)) {
        const ReplaceMethod m = ReplaceIfUnchanged(path, file, j.oldBytes, ReplaceOptions());
        if (m != ReplaceMethod::Atomic && m != ReplaceMethod::InPlace) return Recovery::Failed;
        result = Recovery::Restored;
    }
    RemoveFileAt(journalPath);
    return result;
}

int RemoveAbandonedTemporaries(const std::string& path) {
    const std::string folder = FolderOfPath(path);
    const std::string prefix = path.substr(folder.size()) + ".qurix-";
    int removed = 0;
    for (const std::string& name : FolderEntries(folder)) {
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        uint32_t writer = 0;
        const char* digits = name.data() + prefix.size();
        const char* end = name.data() + name.size();
        const auto r = std::from_chars(digits, end, writer);
        if (r.ec != std::errc() || r.ptr == end || *r.ptr != '-') continue;
        if (writer == CurrentProcessId() || ProcessMayBeRunning(writer)) continue;
        if (RemoveFileAt(folder + name)) ++removed;
    }
    return removed;
}

}  // namespace qurix
