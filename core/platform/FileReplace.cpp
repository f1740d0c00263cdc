#include "core/platform/FileReplace.h"

#include "core/platform/FileReplaceSteps.h"

namespace qurix {

ReplaceMethod ReplaceFileContents(const std::string& path, const std::string& bytes) {
    ReplaceTarget target;
    if (path.empty() || !InspectReplaceTarget(path, target)) return ReplaceMethod::Failed;
    // A file made read-only stays as it is, whatever its folder allows.
    if (target.exists && (!target.regular || !target.writable)) return ReplaceMethod::Failed;
    // A rename would leave the other links naming the old bytes.
    if (!target.otherLinks) {
        switch (WriteBesideAndRename(target, bytes)) {
            case RenameOutcome::Done:
                return ReplaceMethod::Atomic;
            case RenameOutcome::WriteFailed:
                // Most likely a full disk: rewriting in place could leave half a file.
                return ReplaceMethod::Failed;
            case RenameOutcome::NoTemporary:
            case RenameOutcome::NotRenamed:
                break;
        }
        if (!target.exists) return ReplaceMethod::Failed;
    }
    return WriteInPlace(target, bytes) ? ReplaceMethod::InPlace : ReplaceMethod::Failed;
}

}  // namespace qurix
