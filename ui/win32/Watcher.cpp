#include "ui/win32/WinApi.h"

#include "ui/win32/Watcher.h"

namespace qurix::win32 {

void CFolderWatch::Watch(const std::vector<std::string>& folders) {
    if (folders == folders_ && running_) return;
    Stop();
    folders_ = folders;
    std::vector<HANDLE> handles;
    for (const std::string& folder : folders) {
        // One wait covers at most MAXIMUM_WAIT_OBJECTS handles, the stop event among them.
        if (handles.size() + 1 >= MAXIMUM_WAIT_OBJECTS) break;
        const HANDLE h = FindFirstChangeNotificationA(
            folder.c_str(), FALSE,
            FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
        if (h != INVALID_HANDLE_VALUE) handles.push_back(h);
    }
    if (handles.empty()) return;
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) {
        for (HANDLE h : handles) FindCloseChangeNotification(h);
        return;
    }
    running_ = true;
    thread_ = std::thread([this, handles] { Run(handles); });
}

void CFolderWatch::Stop() {
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
    }
    if (stop_ != nullptr) {
        CloseHandle(stop_);
        stop_ = nullptr;
    }
    folders_.clear();
}

void CFolderWatch::Run(std::vector<HANDLE> handles) {
    handles.insert(handles.begin(), stop_);
    for (;;) {
        const DWORD which = WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                   handles.data(), FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 || which == WAIT_FAILED) break;
        const DWORD i = which - WAIT_OBJECT_0;
        if (i >= handles.size()) break;
        PostMessageW(window_, WM_APP_FOLDER_EVENT, 0, 0);
        if (!FindNextChangeNotification(handles[i])) break;
    }
    for (size_t i = 1; i < handles.size(); ++i) FindCloseChangeNotification(handles[i]);
    running_ = false;
}

}  // namespace qurix::win32
