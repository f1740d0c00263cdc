#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "palette/ChangeDetector.h"

namespace qurix {

// Watches files (the configured libraries and the configuration file) with Qt's file
// watch and timer, and reports those whose content changed as CChangeDetector decides.
class CLibraryWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int SETTLE_MS = CChangeDetector::SETTLE_MS;

    explicit CLibraryWatcher(QObject* parent = nullptr);

    // Replaces the watched files and takes their state now as the unchanged one.
    void Watch(const std::vector<std::string>& paths);
    // Takes the files' state now as unchanged (after the program wrote one of them).
    void Rearm();
    // While false, changes are taken in silently.
    void SetEnabled(bool enabled) { detector_.SetEnabled(enabled); }
    bool Enabled() const { return detector_.Enabled(); }
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
    CChangeDetector detector_;
};

}  // namespace qurix
