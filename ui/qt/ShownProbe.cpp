#include "ui/qt/ShownProbe.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <ctime>
#include <fstream>

#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsView.h"

namespace qurix {

namespace {

// The wall clock, for a caller that times the process from outside.
long long WallNs() {
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    return static_cast<long long>(wall.tv_sec) * 1000000000LL + wall.tv_nsec;
}

}  // namespace

// Resident set size now, in KiB (the second field of statm counts pages).
long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    if (!(statm >> size >> resident)) return -1;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

CShownProbe::CShownProbe(Clock::time_point started, std::FILE* out) : started_(started), out_(out) {
    // Every object's events: the first window shown may be the build's progress dialog.
    QCoreApplication::instance()->installEventFilter(this);
}

bool CShownProbe::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && firstWindowMs_ < 0 && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        firstWindowMs_ = std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
    }
    // Reported after the paint has run, from the event loop: the list is then on screen.
    if (event->type() == QEvent::Paint && frame_ && watched == frame_->PartsList()->viewport() &&
        !fired_ && frame_->PartsList()->ItemCount() > 0) {
        fired_ = true;
        QTimer::singleShot(0, this, [this] { Report(); });
    }
    return false;
}

void CShownProbe::Report() {
    shownMs_ = std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
    // The wall clock too, so that a caller can add the time before main (loading the
    // program and its libraries) from the moment it started the process.
    shownAtNs_ = WallNs();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    residentKiB_ = ResidentKiB();
    peakKiB_ = usage.ru_maxrss;
    if (frame_->StartFinished()) {
        Print();
        return;
    }
    connect(frame_, &CMainFrame::startFinished, this, &CShownProbe::Print,
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
}

void CShownProbe::Print() {
    const double readyMs =
        std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
    std::fprintf(out_,
                 "shown_ms=%.1f shown_at_ns=%lld rss_kib=%ld peak_rss_kib=%ld "
                 "first_window_ms=%.1f ready_ms=%.1f close_at_ns=%lld\n",
                 shownMs_, shownAtNs_, residentKiB_, peakKiB_, firstWindowMs_, readyMs, WallNs());
    std::fflush(out_);
    frame_->close();
}

}  // namespace qurix
