#include "ui/qt/LibraryWatcher.h"

#include <QString>
#include <QStringList>

namespace qurix {

namespace {

QString ToQ(const std::string& path) {
    return QString::fromStdString(path);
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
    detector_.Watch(paths);
    Arm();
}

void CLibraryWatcher::Rearm() {
    detector_.Rearm();
    Arm();
}

void CLibraryWatcher::Arm() {
    // A file renamed over, or removed and made again, is a new file to the system's
    // watch: add it again whenever it exists and is not watched.
    const QStringList files = watcher_.files();
    QStringList folders = watcher_.directories();
    for (const std::string& folder : detector_.Folders()) {
        if (folders.contains(ToQ(folder))) continue;
        watcher_.addPath(ToQ(folder));
        folders << ToQ(folder);
    }
    for (const std::string& file : detector_.Files()) {
        if (!files.contains(ToQ(file))) watcher_.addPath(ToQ(file));
    }
}

void CLibraryWatcher::OnEvent() {
    // Every event starts the wait again: a save comes as several.
    timer_.start();
}

void CLibraryWatcher::OnSettled() {
    const CChangeDetector::Decision d = detector_.Settle(!canReport || canReport());
    if (d.hold) {
        timer_.start();
        return;
    }
    Arm();
    if (!d.changed.empty()) emit changed(d.changed);
}

}  // namespace qurix
