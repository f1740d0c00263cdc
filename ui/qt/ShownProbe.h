#pragma once
#include <QObject>
#include <chrono>
#include <cstdio>

namespace qurix {

class CMainFrame;

// For measuring a start as a whole process ("qurix --exit-when-shown"): at the first
// paint of a parts list that shows items it takes how long the start took, how long until
// its first window (the build's progress or the palette) was shown, and how much memory
// the process holds. Once the start has loaded everything it prints these, how long that
// took and when (wall clock) it closes the window as the user would (settings and cache
// are saved), which ends the program: a caller times the close to the process's end.
// Resident set size now, in KiB; -1 where it cannot be had.
long ResidentKiB();

class CShownProbe : public QObject {
public:
    using Clock = std::chrono::steady_clock;
    // started: taken first thing in main. Made before the window, so that it sees the first
    // window shown, whichever it is.
    CShownProbe(Clock::time_point started, std::FILE* out);
    // Watches frame's parts list; frame outlives the probe's reporting.
    void Watch(CMainFrame& frame) { frame_ = &frame; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Report();
    void Print();

    CMainFrame* frame_ = nullptr;
    Clock::time_point started_;
    std::FILE* out_;
    bool fired_ = false;
    double firstWindowMs_ = -1;
    // At the first paint.
    double shownMs_ = 0;
    long long shownAtNs_ = 0;
    long residentKiB_ = -1;
    long peakKiB_ = -1;
};

}  // namespace qurix
