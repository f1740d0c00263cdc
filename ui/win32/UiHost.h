#pragma once
#include "ui/win32/WinApi.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "palette/UiHost.h"

namespace qurix::win32 {

// Posted to the main window when tasks wait in the host's queue.
inline constexpr UINT WM_APP_TASKS = WM_APP + 1;

// The palette's seams on Win32: the wait cursor, the status bar (through status), and
// tasks run on the window's thread (queued here, announced with a posted message).
class CWin32UiHost : public CUiHost {
public:
    CWin32UiHost(HWND window, std::function<void(const std::string&)> status);

    void BeginWait() override;
    void EndWait() override;
    bool Waiting() const { return waits_ > 0; }
    void ShowStatus(const std::string& text) override;
    // The ANSI code page's bytes, as the files layer has paths here.
    std::string PathText(const std::string& path) const override;
    // Any thread.
    void Post(std::function<void()> task) override;
    // On the window's thread, for WM_APP_TASKS: runs what is queued now.
    void RunTasks();

private:
    HWND window_;
    std::function<void(const std::string&)> status_;
    int waits_ = 0;
    HCURSOR before_ = nullptr;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace qurix::win32
