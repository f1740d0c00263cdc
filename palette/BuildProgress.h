#pragma once
#include <cstdint>

namespace qurix {

// How a thumbnail build shows its progress and learns that it is to stop; the front end
// implements it (a progress dialog) and runs its window's events in Pump. The build calls
// Begin once, then SetPos and Pump or CancelRequested between parts, then End once.
class CBuildProgress {
public:
    virtual ~CBuildProgress() = default;

    // The build starts: total steps (shown at once).
    virtual void Begin(int32_t total) = 0;
    // Steps done.
    virtual void SetPos(int32_t done) = 0;
    // Runs the window's queued events; false once the user cancelled.
    virtual bool Pump() = 0;
    // Whether the user cancelled, without running events.
    virtual bool CancelRequested() const = 0;
    // The build is over; stopped tells whether it ended early.
    virtual void End(bool stopped) = 0;
};

}  // namespace qurix
