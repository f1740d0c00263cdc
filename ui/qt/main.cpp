#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/program/StandardOptions.h"
#include "palette/ConfigLocation.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/QurixApp.h"
#include "ui/qt/ShownProbe.h"

int main(int argc, char** argv) {
    using qurix::CQurixApp;
    const auto started = qurix::CShownProbe::Clock::now();
    const bool exitWhenShown = argc == 2 && std::strcmp(argv[1], CQurixApp::EXIT_WHEN_SHOWN) == 0;
    const bool givenIni = argc == 3 && std::strcmp(argv[1], CQurixApp::INI_OPTION) == 0;
    // Answered before Qt sees the arguments: Qt would take some as its own options, and
    // neither the usage nor the version may need a display.
    if (argc > 1 && !exitWhenShown && !givenIni) {
        const qurix::StandardOption asked = qurix::FindStandardOption(argc, argv);
        if (asked == qurix::StandardOption::None) {
            std::fprintf(stderr, "%s\n", CQurixApp::USAGE);
            return 2;
        }
        return qurix::AnswerStandardOption(asked, "qurix", CQurixApp::USAGE, CQurixApp::HELP);
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(CQurixApp::PRODUCT_NAME));
    QApplication::setApplicationVersion(QString::fromLatin1(CQurixApp::PRODUCT_VERSION));
    // Ties the window to the installed desktop entry (its icon and name on Wayland).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(qurix::APP_ID));

    std::unique_ptr<qurix::CShownProbe> probe;
    if (exitWhenShown) probe = std::make_unique<qurix::CShownProbe>(started, stdout);
    CQurixApp app;
    app.AllowEarlyList();
    // As bytes: the path is used as the system gave it.
    if (givenIni) app.SetGivenConfigFile(argv[2]);
    const std::string modulePath =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    if (!app.InitInstance(qurix::RealConfigLocationInputs(modulePath))) return 1;
    if (probe) probe->Watch(*app.MainFrame());
    return QApplication::exec();
}
