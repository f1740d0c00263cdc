#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace qurix {

// The one QApplication of the app tests, made on first use. Without a display it uses
// the offscreen platform; a caller that set QT_QPA_PLATFORM (e.g. xcb under Xvfb) keeps
// its choice. It is destroyed when the test run ends, while Qt's own globals still
// exist (a static QApplication would be destroyed after them and crash at exit).
inline QApplication& TestApp() {
    struct CHolder : testing::Environment {
        std::unique_ptr<QApplication> app;
        void TearDown() override { app.reset(); }
    };
    static CHolder* holder = nullptr;  // owned by gtest
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    if (holder == nullptr) {
        holder = static_cast<CHolder*>(testing::AddGlobalTestEnvironment(new CHolder));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qurix_app_tests";
    static char* argv[] = {name, nullptr};
    holder->app = std::make_unique<QApplication>(argc, argv);
    return *holder->app;
}

}  // namespace qurix
