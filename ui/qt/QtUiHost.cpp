#include "ui/qt/QtUiHost.h"

#include <QCursor>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <utility>

namespace qurix {

CQtUiHost::CQtUiHost(QObject* context, std::function<void(const std::string& text)> status)
    : context_(context), status_(std::move(status)) {}

void CQtUiHost::BeginWait() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CQtUiHost::EndWait() {
    QGuiApplication::restoreOverrideCursor();
}

void CQtUiHost::ShowStatus(const std::string& text) {
    if (status_) status_(text);
}

void CQtUiHost::Post(std::function<void()> task) {
    if (context_ != nullptr) QTimer::singleShot(0, context_, std::move(task));
}

}  // namespace qurix
