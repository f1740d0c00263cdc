#pragma once
#include <functional>
#include <string>

namespace qurix {

// What the palette asks of the window system it runs in; each front end implements it
// once (ui/qt: CQtUiHost).
class CUiHost {
public:
    virtual ~CUiHost() = default;

    // The program is busy (a wait cursor) until the matching EndWait; pairs nest.
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
    // A line for the user in the window's status bar (UTF-8).
    virtual void ShowStatus(const std::string& text) = 0;
    // Runs task on the UI thread once the event under way has been handled.
    virtual void Post(std::function<void()> task) = 0;
    // A path's bytes as text for a status line (UTF-8): where paths are another code
    // page's bytes (the ANSI one on Windows), the host decodes them.
    virtual std::string PathText(const std::string& path) const { return path; }
};

// Shows the wait cursor for its lifetime; nothing without a host.
class CWaitCursor {
public:
    explicit CWaitCursor(CUiHost* host) : host_(host) {
        if (host_ != nullptr) host_->BeginWait();
    }
    ~CWaitCursor() {
        if (host_ != nullptr) host_->EndWait();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CUiHost* host_;  // only referred to
};

}  // namespace qurix
