#include "ui/qt/LibraryWatcher.h"

#include <QString>
#include <QStringList>
#include <filesystem>
#include <system_error>

namespace qurix {

namespace {

QString ToQ(const std::string& path) {
    return QString::fromStdString(path);
}

std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

}  // namespace

CLibraryWatcher::CLibraryWatcher(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(SETTLE_MS);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &CLibraryWatcher::OnEvent);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &CLibraryWatcher::OnEvent);
    connect(&timer_, &QTimer::timeout, this, &CLibraryWatcher::OnSettled);
}

void CLibraryWatcher::Watch(const std::vector<std::string>& paths) {
    const QStringList old = watcher_.files() + watcher_.directories();
    if (!old.isEmpty()) watcher_.removePaths(old);
    stamps_.clear();
    for (const std::string& p : paths) {
        if (!p.empty()) stamps_[p] = StampOf(p);
    }
    Arm();
}

void CLibraryWatcher::Rearm() {
    for (auto& [path, stamp] : stamps_) stamp = StampOf(path);
    Arm();
}

void CLibraryWatcher::Arm() {
    // A file renamed over, or removed and made again, is a new file to the system's
    // watch: add it again whenever it exists and is not watched.
    const QStringList files = watcher_.files();
    QStringList folders = watcher_.directories();
    for (const auto& [path, stamp] : stamps_) {
        const QString folder = ToQ(FolderOf(path));
        std::error_code ec;
        if (!folders.contains(folder) && std::filesystem::is_directory(FolderOf(path), ec)) {
            watcher_.addPath(folder);
            folders << folder;
        }
        if (stamp.valid && !files.contains(ToQ(path))) watcher_.addPath(ToQ(path));
    }
}

void CLibraryWatcher::OnEvent() {
    // Every event starts the wait again: a save comes as several.
    timer_.start();
}

void CLibraryWatcher::OnSettled() {
    if (canReport && !canReport()) {
        timer_.start();
        return;
    }
    std::vector<std::string> changedPaths;
    for (auto& [path, stamp] : stamps_) {
        const FileStamp now = StampOf(path);
        if (now == stamp) continue;
        stamp = now;
        changedPaths.push_back(path);
    }
    Arm();
    if (enabled_ && !changedPaths.empty()) emit changed(changedPaths);
}

}  // namespace qurix
