#include "ui/win32/WinApi.h"

#include "ui/win32/UiHost.h"

#include <utility>

#include "ui/win32/WinText.h"

namespace qurix::win32 {

CWin32UiHost::CWin32UiHost(HWND window, std::function<void(const std::string&)> status)
    : window_(window), status_(std::move(status)) {}

std::string CWin32UiHost::PathText(const std::string& path) const {
    return win32::PathText(path);
}

void CWin32UiHost::BeginWait() {
    if (waits_++ == 0) before_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void CWin32UiHost::EndWait() {
    if (waits_ > 0 && --waits_ == 0)
        SetCursor(before_ != nullptr ? before_ : LoadCursorW(nullptr, IDC_ARROW));
}

void CWin32UiHost::ShowStatus(const std::string& text) {
    if (status_) status_(text);
}

void CWin32UiHost::Post(std::function<void()> task) {
    bool first;
    {
        const std::lock_guard lock(mutex_);
        first = tasks_.empty();
        tasks_.push_back(std::move(task));
    }
    if (first) PostMessageW(window_, WM_APP_TASKS, 0, 0);
}

void CWin32UiHost::RunTasks() {
    std::deque<std::function<void()>> now;
    {
        const std::lock_guard lock(mutex_);
        now.swap(tasks_);
    }
    for (auto& task : now) task();
}

}  // namespace qurix::win32
