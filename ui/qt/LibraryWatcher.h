#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "palette/FileStamp.h"

namespace qurix {

// Watches files (the configured libraries and the configuration file) and reports those
// whose content changed once the changes have settled. Editors save by writing a new
// file and renaming it over the old one, which ends a watch on the file itself, so each
// file's folder is watched too and the file is watched again when it reappears.
class CLibraryWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int SETTLE_MS = 500;

    explicit CLibraryWatcher(QObject* parent = nullptr);

    // Replaces the watched files and takes their state now as the unchanged one.
    void Watch(const std::vector<std::string>& paths);
    // Takes the files' state now as unchanged (after the program wrote one of them).
    void Rearm();
    // While false, changes are taken in silently.
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }
    // Asked before reporting; while it says false the report is held and asked again.
    std::function<bool()> canReport;

    bool Settling() const { return timer_.isActive(); }

signals:
    // The watched files that were created, changed or removed since the last report.
    void changed(const std::vector<std::string>& paths);

private:
    void OnEvent();
    void OnSettled();
    void Arm();

    QFileSystemWatcher watcher_;
    QTimer timer_;
    std::map<std::string, FileStamp> stamps_;
    bool enabled_ = true;
};

}  // namespace qurix
