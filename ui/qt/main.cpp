#include <QApplication>
#include <QFile>
#include <cstdio>
#include <memory>

#include "palette/ConfigLocation.h"
#include "palette/PaletteOptions.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/QurixApp.h"
#include "ui/qt/ShownProbe.h"

int main(int argc, char** argv) {
    using qurix::CQurixApp;
    const auto started = qurix::CShownProbe::Clock::now();
    // Answered before Qt sees the arguments: Qt would take some as its own options, and
    // neither the usage nor the version may need a display.
    const qurix::PaletteOptions options = qurix::ReadPaletteOptions(argc, argv, CQurixApp::PLACES);
    if (options.answered >= 0) return options.answered;
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(CQurixApp::PRODUCT_NAME));
    QApplication::setApplicationVersion(QString::fromLatin1(CQurixApp::PRODUCT_VERSION));
    // Ties the window to the installed desktop entry (its icon and name on Wayland).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(qurix::APP_ID));

    std::unique_ptr<qurix::CShownProbe> probe;
    if (options.exitWhenShown) probe = std::make_unique<qurix::CShownProbe>(started, stdout);
    CQurixApp app;
    app.AllowEarlyList();
    // As bytes: the path is used as the system gave it.
    if (options.ini != nullptr) app.SetGivenConfigFile(options.ini);
    const std::string modulePath =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    if (!app.InitInstance(qurix::RealConfigLocationInputs(modulePath))) return 1;
    if (probe) probe->Watch(*app.MainFrame());
    return QApplication::exec();
}
