#pragma once
#include <string>

namespace qurix {

// How ReplaceFileContents gave the file its new bytes.
enum class ReplaceMethod {
    Failed,   // nothing changed
    Atomic,   // a temporary file beside it was renamed over it
    InPlace,  // the file itself was rewritten and flushed
};

// Gives the file at path exactly these bytes, creating it when missing. The atomic
// replace is used where it works, so a crash leaves the old or the new file whole. A
// file whose folder refuses new files, that another hard link shares or that cannot be
// renamed over is rewritten in place instead, so every link keeps seeing it. The file's
// own permission decides, as it does for the editor: a read-only file is not replaced.
// A symbolic link is followed (on POSIX).
ReplaceMethod ReplaceFileContents(const std::string& path, const std::string& bytes);

}  // namespace qurix
