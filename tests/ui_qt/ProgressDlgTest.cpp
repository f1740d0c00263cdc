#include "ui/qt/ProgressDlg.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "tests/ui_qt/TestApp.h"

namespace qurix {
namespace {

TEST(ProgressDlg, ShowsTheTextsAndIsModeless) {
    TestApp();
    CProgressDlg dlg;
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isModal());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("パーツ・ライブラリの読み込み"));
    EXPECT_EQ(dlg.MessageText(), QStringLiteral("パーツ・ライブラリを読み込み中です・・・"));
    EXPECT_EQ(dlg.CancelButton()->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(dlg.CountText().isEmpty());
    EXPECT_FALSE(dlg.Bar()->isTextVisible());
}

TEST(ProgressDlg, CountsAndMovesTheBar) {
    TestApp();
    CProgressDlg dlg;
    dlg.SetTotal(340);
    EXPECT_EQ(dlg.Bar()->minimum(), 0);
    EXPECT_EQ(dlg.Bar()->maximum(), 340);
    dlg.SetPos(12);
    EXPECT_EQ(dlg.CountText(), QStringLiteral("12 / 340"));
    EXPECT_EQ(dlg.Bar()->value(), 12);
    dlg.SetPos(340);
    EXPECT_EQ(dlg.CountText(), QStringLiteral("340 / 340"));
    EXPECT_EQ(dlg.Bar()->value(), 340);

    // Beyond 16 bits the bar keeps the full range.
    dlg.SetTotal(70000);
    EXPECT_EQ(dlg.Bar()->maximum(), 70000);
    dlg.SetPos(65537);
    EXPECT_EQ(dlg.Bar()->value(), 65537);
    EXPECT_EQ(dlg.CountText(), QStringLiteral("65537 / 70000"));
}

TEST(ProgressDlg, NothingToDoIsNotABusyBar) {
    TestApp();
    CProgressDlg dlg;
    dlg.SetTotal(0);
    EXPECT_GT(dlg.Bar()->maximum(), dlg.Bar()->minimum());
    EXPECT_EQ(dlg.Bar()->value(), 0);
    dlg.SetTotal(-5);
    EXPECT_EQ(dlg.Total(), 0);
    EXPECT_GT(dlg.Bar()->maximum(), dlg.Bar()->minimum());
    EXPECT_TRUE(dlg.CheckCancel());
    dlg.DestroyWindow();
    EXPECT_FALSE(dlg.isVisible());
}

TEST(ProgressDlg, CheckCancelRunsQueuedEvents) {
    TestApp();
    CProgressDlg dlg;
    int ran = 0;
    QTimer::singleShot(0, &dlg, [&] { ++ran; });
    QMetaObject::invokeMethod(
        &dlg, [&] { ++ran; }, Qt::QueuedConnection);
    EXPECT_TRUE(dlg.CheckCancel());
    EXPECT_EQ(ran, 2);
}

TEST(ProgressDlg, CancelAfterSomeSteps) {
    TestApp();
    CProgressDlg dlg;
    dlg.SetTotal(340);
    int done = 0;
    for (int i = 1; i <= 340; ++i) {
        done = i;
        dlg.SetPos(i);
        // The user presses Cancel while the fifth part is built.
        if (i == 5) QMetaObject::invokeMethod(dlg.CancelButton(), "click", Qt::QueuedConnection);
        if (!dlg.CheckCancel()) break;
    }
    EXPECT_EQ(done, 5);
    EXPECT_EQ(dlg.CountText(), QStringLiteral("5 / 340"));
    EXPECT_TRUE(dlg.CancelRequested());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.CheckCancel());
}

TEST(ProgressDlg, EscapeAndTheCloseBoxCancelToo) {
    TestApp();
    {
        CProgressDlg dlg;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&dlg, &escape);
        EXPECT_TRUE(dlg.CancelRequested());
        EXPECT_FALSE(dlg.CheckCancel());
    }
    {
        CProgressDlg dlg;
        dlg.close();
        EXPECT_TRUE(dlg.CancelRequested());
        EXPECT_FALSE(dlg.CheckCancel());
    }
}

TEST(ProgressDlg, AfterTheWindowIsGoneSettersDoNothing) {
    TestApp();
    CProgressDlg dlg;
    dlg.SetTotal(10);
    dlg.SetPos(3);
    dlg.DestroyWindow();
    dlg.SetTotal(99);
    dlg.SetPos(7);
    EXPECT_EQ(dlg.Total(), 10);
    EXPECT_EQ(dlg.CountText(), QStringLiteral("3 / 10"));
    EXPECT_EQ(dlg.Bar()->value(), 3);
}

TEST(ProgressDlg, CentredOnItsParent) {
    TestApp();
    QWidget parent;
    parent.setGeometry(100, 80, 900, 700);
    parent.show();
    CProgressDlg dlg(&parent);
    const QPoint dialogCentre = dlg.frameGeometry().center();
    const QPoint parentCentre = parent.frameGeometry().center();
    EXPECT_LE(std::abs(dialogCentre.x() - parentCentre.x()), 2);
    EXPECT_LE(std::abs(dialogCentre.y() - parentCentre.y()), 2);
}

// The first start builds before the main window is shown: centring on that window
// would put the dialog near the screen's top-left corner.
TEST(ProgressDlg, CentredOnTheScreenWhenItsParentIsNotShown) {
    TestApp();
    QWidget parent;
    parent.resize(320, 600);
    CProgressDlg dlg(&parent);
    ASSERT_NE(parent.screen(), nullptr);
    const QPoint dialogCentre = dlg.frameGeometry().center();
    const QPoint screenCentre = parent.screen()->availableGeometry().center();
    EXPECT_LE(std::abs(dialogCentre.x() - screenCentre.x()), 2);
    EXPECT_LE(std::abs(dialogCentre.y() - screenCentre.y()), 2);
}

TEST(ProgressDlg, AQuitDuringTheBuildEndsIt) {
    QApplication& app = TestApp();
    int steps = -1;
    bool quitSeen = false;
    QTimer::singleShot(0, &app, [&] {
        CProgressDlg dlg;
        dlg.SetTotal(1000);
        // The main window closes while parts are being built.
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
        for (steps = 0; steps < 1000; ++steps) {
            dlg.SetPos(steps);
            if (!dlg.CheckCancel()) break;
        }
        quitSeen = dlg.QuitRequested();
    });
    // Returns only because the quit reached the application's own loop as well.
    QTimer guard;  // local, so it cannot fire into a later test's loop
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &app, [&] { app.exit(7); });
    guard.start(10000);
    EXPECT_EQ(app.exec(), 0);
    EXPECT_TRUE(quitSeen);
    EXPECT_LT(steps, 1000);
    EXPECT_FALSE(CProgressDlg().QuitRequested());
}

}  // namespace
}  // namespace qurix
