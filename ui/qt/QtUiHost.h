#pragma once
#include <QPointer>
#include <functional>
#include <string>

#include "palette/UiHost.h"

class QObject;

namespace qurix {

// The palette's window-system seams on Qt: the application's override cursor, a status
// line handed to the window, and tasks queued on the UI thread's event loop.
class CQtUiHost : public CUiHost {
public:
    // context: tasks posted die with it; status: shows a status line (may be empty).
    CQtUiHost(QObject* context, std::function<void(const std::string& text)> status);

    void BeginWait() override;
    void EndWait() override;
    void ShowStatus(const std::string& text) override;
    void Post(std::function<void()> task) override;

private:
    QPointer<QObject> context_;
    std::function<void(const std::string& text)> status_;
};

}  // namespace qurix
