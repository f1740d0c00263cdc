#include <QApplication>
#include <QFile>
#include <cstdio>

#include "app/ConfigLocation.h"
#include "app/QurixApp.h"

int main(int argc, char** argv) {
    // Refused before Qt sees them: Qt would take some as its own options, and a
    // usage message must not need a display.
    if (!qurix::CQurixApp::CheckArguments(argc, argv)) {
        std::fprintf(stderr, "%s\n", qurix::CQurixApp::USAGE);
        return 2;
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qurix::CQurixApp::PRODUCT_NAME));
    QApplication::setApplicationVersion(QString::fromLatin1(qurix::CQurixApp::PRODUCT_VERSION));

    qurix::CQurixApp app;
    const std::string modulePath =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    if (!app.InitInstance(qurix::RealConfigLocationInputs(modulePath))) return 1;
    return QApplication::exec();
}
