// Fonts need a QGuiApplication. gtest_main owns main(), so a global environment makes one
// (offscreen unless a platform is set) before the first test and destroys it after the
// last, while Qt is still whole.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace {

class GuiEnvironment : public testing::Environment {
public:
    void SetUp() override {
        if (QGuiApplication::instance()) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[32] = "qurix_render_qt_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

// gtest takes ownership of the environment.
[[maybe_unused]] testing::Environment* const gui =
    testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
