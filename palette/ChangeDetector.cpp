#include "palette/ChangeDetector.h"

#include "core/platform/FileIo.h"
#include "core/platform/Paths.h"

namespace qurix {

namespace {

// The folder a file is in, without its trailing separator; "." for a bare name.
std::string FolderOf(const std::string& path) {
    std::string folder = FolderOfPath(path);
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == PathSeparator())) {
        folder.pop_back();
    }
    return folder.empty() ? std::string(".") : folder;
}

}  // namespace

void CChangeDetector::Watch(const std::vector<std::string>& paths) {
    stamps_.clear();
    for (const std::string& p : paths) {
        if (!p.empty()) stamps_[p] = StampOf(p);
    }
}

void CChangeDetector::Rearm() {
    for (auto& [path, stamp] : stamps_) stamp = StampOf(path);
}

std::vector<std::string> CChangeDetector::Folders() const {
    std::vector<std::string> folders;
    for (const auto& [path, stamp] : stamps_) {
        // A folder that is gone is watched through the nearest one that is there, so that
        // its return is seen and it can be watched again.
        std::string folder = FolderOf(path);
        while (!IsFolder(folder)) {
            const std::string above = FolderOf(folder);
            if (above == folder) break;
            folder = above;
        }
        if (IsFolder(folder)) folders.push_back(folder);
    }
    return folders;
}

std::vector<std::string> CChangeDetector::Files() const {
    std::vector<std::string> files;
    for (const auto& [path, stamp] : stamps_) {
        if (stamp.valid) files.push_back(path);
    }
    return files;
}

CChangeDetector::Decision CChangeDetector::Settle(bool canReport) {
    Decision d;
    if (!canReport) {
        d.hold = true;
        return d;
    }
    for (auto& [path, stamp] : stamps_) {
        const FileStamp now = StampOf(path);
        if (now == stamp) continue;
        stamp = now;
        d.changed.push_back(path);
    }
    if (!enabled_) d.changed.clear();
    return d;
}

}  // namespace qurix
