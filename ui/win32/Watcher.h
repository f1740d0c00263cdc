#pragma once
#include "ui/win32/WinApi.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace qurix::win32 {

// Posted to the window when something changed in a watched folder.
inline constexpr UINT WM_APP_FOLDER_EVENT = WM_APP + 2;

// Watches folders for changes of names, sizes and write times on a thread of its own
// (FindFirstChangeNotification) and posts WM_APP_FOLDER_EVENT to the window for each
// event; what changed is decided by the palette's change detector.
class CFolderWatch {
public:
    CFolderWatch() = default;
    ~CFolderWatch() { Stop(); }
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;

    // The window the events go to; set before the first Watch.
    void SetWindow(HWND window) { window_ = window; }
    // Replaces the watched folders (paths in the ANSI code page); none stops watching.
    void Watch(const std::vector<std::string>& folders);
    void Stop();

private:
    void Run(std::vector<HANDLE> handles);

    HWND window_ = nullptr;
    HANDLE stop_ = nullptr;
    std::thread thread_;
    // False once the thread has ended on its own (a wait that failed): Watch starts again.
    std::atomic<bool> running_{false};
    std::vector<std::string> folders_;
};

}  // namespace qurix::win32
