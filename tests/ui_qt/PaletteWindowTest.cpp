#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/library/LibrarySet.h"
#include "palette/ConfigLocation.h"
#include "palette/QurixDoc.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "tests/ui_qt/TestApp.h"
#include "ui/qt/InfoView.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartView.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/PlibView.h"
#include "ui/qt/QurixApp.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

struct Part {
    std::string name;
    int width;  // grid units
    int height;
    std::string note;  // bytes
};

std::string Escape(const std::string& bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '%' || c == ',' || c == '\r' || c == '\n' || c == ':') {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out;
}

std::string Library(const std::vector<Part>& parts) {
    std::string s = "+KIVOX_LIB_V.1.0\n";
    for (const Part& p : parts) {
        s += "+COMP,N:" + p.name + "\nX:" + std::to_string(p.width) +
             ",Y:" + std::to_string(p.height) + ",B:1\nR:U\n";
        if (!p.note.empty()) s += "NOTE:" + Escape(p.note) + ",";
        s += "-COMP\n";
    }
    return s + "-KIVOX_LIB_V.1.0\n";
}

// "抵抗" and "コンデンサ" in Shift-JIS, as the editor writes them.
const std::string SJIS_RESISTOR = "\x92\xEF\x8D\x52";
const std::string SJIS_CAPACITOR = "\x83\x52\x83\x93\x83\x66\x83\x93\x83\x54";

class PaletteWindowTest : public PaletteTestBase {
protected:
    // Five libraries a.lib .. e.lib, the third holding two parts with Japanese notes.
    void WriteLibraries() {
        Write("work/a.lib", Library({{"A1", 2, 1, "first"}}));
        Write("work/b.lib", Library({{"B1", 2, 1, ""}, {"B2", 3, 3, ""}}));
        Write("work/c.lib", Library({{"R", 4, 2, SJIS_RESISTOR + "\r\nline 2"},
                                     {"C", 2, 4, SJIS_CAPACITOR},
                                     {"EMPTY", 1, 1, ""}}));
        Write("work/d.lib", Library({{"D1", 1, 1, ""}}));
        Write("work/e.lib", Library({{"E1", 1, 1, ""}}));
    }
    static std::string LibraryKeys(int n) {
        std::string s = "[Library]\n";
        for (int i = 0; i < n; ++i) {
            s += "LIB" + std::to_string(i) + "=" + std::string(1, char('a' + i)) + ".lib\n";
        }
        return s;
    }

    void Start() {
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        QApplication::processEvents();
    }
    CPlibView& Plib() const { return *Frame().LibraryList(); }
    CPartsListPane& Parts() const { return *Frame().PartsList(); }

    QStringList LibraryRows() const {
        QStringList rows;
        for (int i = 0; i < Plib().RowCount(); ++i) {
            rows << Plib().LibraryIndex(i).data().toString();
        }
        return rows;
    }
    QStringList PartRows() const {
        QStringList rows;
        for (int i = 0; i < Parts().ItemCount(); ++i) rows << Parts().ItemText(i);
        return rows;
    }
    void SelectPart(const QString& name) {
        const QStringList rows = PartRows();
        ASSERT_EQ(rows.count(name), 1) << name.toStdString();
        Parts().SelectItem(static_cast<int>(rows.indexOf(name)));
    }
    QColor PreviewPixel(int x, int y) const {
        return Frame().Preview()->viewport()->grab().toImage().pixelColor(x, y);
    }
};

TEST_F(PaletteWindowTest, FirstStartWithNoConfigurationAnywhere) {
    Start();
    // The program folder's file, which does not exist yet.
    EXPECT_EQ(app_->ProfilePath(), (root_ / "bin" / "KIVOX.INI").string());
    EXPECT_EQ(app_->ConfigFolder(), (root_ / "bin").string() + "/");
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Qurix"));
    // The parts pane says where it looked and offers to open the editor's file.
    const QWidget* page = Frame().findChild<QWidget*>(QStringLiteral("firstStartPage"));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->isVisibleTo(&Frame()));
    const QLabel* looked = page->findChild<QLabel*>(QStringLiteral("lookedPlaces"));
    ASSERT_NE(looked, nullptr);
    EXPECT_TRUE(
        looked->text().contains(QString::fromStdString((root_ / "bin" / "KIVOX.INI").string())));
    EXPECT_NE(page->findChild<QPushButton*>(), nullptr);
    EXPECT_EQ(Frame().size(), QSize(320, 600));
    EXPECT_EQ(Frame().OuterSplitter()->sizes().value(0), 160);
    EXPECT_EQ(Frame().InnerSplitter()->sizes().value(0), 200);
    EXPECT_EQ(Frame().InnerSplitter()->sizes().value(1), 200);
    EXPECT_GT(Frame().InnerSplitter()->sizes().value(2), 0);
    EXPECT_EQ(Plib().RowCount(), 0);
    EXPECT_EQ(Plib().SelectedRow(), -1);
    EXPECT_EQ(Parts().ItemCount(), 0);
    EXPECT_EQ(Doc().CurrentLibrary(), nullptr);
    EXPECT_EQ(Frame().Preview()->Extent(), QSize(50, 50));
    EXPECT_EQ(PreviewPixel(3, 3), QColor(255, 255, 255));
    EXPECT_TRUE(Frame().Info()->toPlainText().isEmpty());
    EXPECT_TRUE(Frame().Info()->isReadOnly());
    EXPECT_EQ(Plib().model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("ライブラリ"));

    const QPoint where = Frame().geometry().topLeft();
    Close();
    // The first write creates the file, with this program's section only.
    EXPECT_EQ(Read("bin/KIVOX.INI"),
              "[qurix]\nparts_style=0\nplib_last=0\nwin_width=320\nwin_height=600\nplv_width=160\n"
              "plv_height=200\nprt_height=200\nwin_maximized=0\nwin_x=" +
                  std::to_string(where.x()) + "\nwin_y=" + std::to_string(where.y()) + "\n");
}

TEST_F(PaletteWindowTest, RemembersTheThirdLibrary) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(5) + "[qurix]\nplib_last=2\n");
    Start();
    EXPECT_EQ(app_->ProfilePath(), (root_ / "work" / "KIVOX.INI").string());
    EXPECT_EQ(LibraryRows(), (QStringList{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(Plib().SelectedRow(), 2);
    ASSERT_NE(Doc().CurrentLibrary(), nullptr);
    EXPECT_EQ(Doc().CurrentLibrary(), Doc().Libraries().GetLibrary(2));
    EXPECT_EQ(PartRows(), (QStringList{"R", "C", "EMPTY"}));
    EXPECT_EQ(Doc().CurrentEntry(), nullptr);
    EXPECT_TRUE(Frame().Info()->toPlainText().isEmpty());
}

TEST_F(PaletteWindowTest, ARememberedRowThatIsGoneSelectsTheFirst) {
    WriteLibraries();
    for (const char* last : {"5", "3", "-1", "junk"}) {
        Write("work/KIVOX.INI", LibraryKeys(3) + "[qurix]\nplib_last=" + last + "\n");
        Start();
        EXPECT_EQ(Plib().SelectedRow(), 0) << last;
        EXPECT_EQ(Doc().CurrentLibrary(), Doc().Libraries().GetLibrary(0)) << last;
        EXPECT_EQ(PartRows(), (QStringList{"A1"})) << last;
        Close();
        EXPECT_NE(Read("work/KIVOX.INI").find("plib_last=0\n"), std::string::npos) << last;
    }
}

TEST_F(PaletteWindowTest, SelectingAPartFillsThePreviewAndTheNote) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(5) + "[qurix]\nplib_last=2\n");
    Start();
    SelectPart("R");
    ASSERT_NE(Doc().CurrentEntry(), nullptr);
    EXPECT_EQ(Doc().CurrentEntry()->Name(), "R");
    // A 40 x 20 body with 40 pixels all round.
    EXPECT_EQ(Frame().Preview()->Extent(), QSize(120, 100));
    EXPECT_EQ(Frame().Info()->toPlainText(), QStringLiteral("抵抗\nline 2"));
    // A part without a pattern shows its body frame in "Component" at (40, 40)-(80, 60).
    EXPECT_EQ(PreviewPixel(40, 50), QColor(192, 0, 0));
    EXPECT_EQ(PreviewPixel(60, 40), QColor(192, 0, 0));
    EXPECT_EQ(PreviewPixel(60, 50), QColor(255, 255, 255));
    EXPECT_EQ(PreviewPixel(39, 50), QColor(255, 255, 255));

    SelectPart("C");
    EXPECT_EQ(Frame().Preview()->Extent(), QSize(100, 120));
    EXPECT_EQ(Frame().Info()->toPlainText(), QStringLiteral("コンデンサ"));

    // A part without a note empties the pane.
    SelectPart("EMPTY");
    EXPECT_TRUE(Frame().Info()->toPlainText().isEmpty());
    EXPECT_EQ(Frame().Preview()->Extent(), QSize(90, 90));
}

TEST_F(PaletteWindowTest, PreviewScrollsOverTheExtent) {
    Write("work/big.lib", Library({{"BIG", 60, 50, ""}}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=big.lib\n");
    Start();
    SelectPart("BIG");
    const CPartView& preview = *Frame().Preview();
    EXPECT_EQ(preview.Extent(), QSize(680, 580));
    const QSize page = preview.viewport()->size();
    EXPECT_EQ(preview.horizontalScrollBar()->maximum(), 680 - page.width());
    EXPECT_EQ(preview.verticalScrollBar()->maximum(), 580 - page.height());
    EXPECT_EQ(preview.horizontalScrollBar()->pageStep(), page.width());
}

TEST_F(PaletteWindowTest, ReloadShowsANewLibraryAndTheNewColour) {
    WriteLibraries();
    const std::string keys = LibraryKeys(3);
    Write("work/KIVOX.INI", keys + "[qurix]\nplib_last=2\n");
    Start();
    SelectPart("R");
    EXPECT_EQ(PreviewPixel(2, 2), QColor(255, 255, 255));
    const QString note = Frame().Info()->toPlainText();

    // The editor adds a library and changes the background and part colours.
    Write("work/KIVOX.INI",
          LibraryKeys(4) + "[DefaultColor]\nBG=65280\nComponent=16711680\n[qurix]\nplib_last=2\n");
    Frame().Action(ID_FILE_RELOAD)->trigger();

    EXPECT_EQ(LibraryRows(), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(Plib().SelectedRow(), 2);
    EXPECT_EQ(Doc().CurrentLibrary(), Doc().Libraries().GetLibrary(2));
    EXPECT_EQ(PartRows(), (QStringList{"R", "C", "EMPTY"}));
    // Reloaded by hand as by itself: the part stays current, drawn in the new colours.
    ASSERT_NE(Doc().CurrentEntry(), nullptr);
    EXPECT_EQ(std::string(Doc().CurrentEntry()->Name()), "R");
    EXPECT_EQ(Frame().Info()->toPlainText(), note);
    EXPECT_EQ(PreviewPixel(2, 2), QColor(0, 255, 0));
    EXPECT_EQ(PreviewPixel(40, 50), QColor(0, 0, 255));
    EXPECT_EQ(PreviewPixel(60, 50), QColor(0, 255, 0));
}

// Another library chosen: no part is current, and the note of the last one goes.
TEST_F(PaletteWindowTest, SwitchingLibrariesLeavesNoStaleNote) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(3) + "[qurix]\nplib_last=2\n");
    Start();
    SelectPart("R");
    EXPECT_FALSE(Frame().Info()->toPlainText().isEmpty());
    Plib().selectionModel()->select(
        Plib().LibraryIndex(0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(Doc().CurrentEntry(), nullptr);
    EXPECT_TRUE(Frame().Info()->toPlainText().isEmpty());
}

TEST_F(PaletteWindowTest, ReloadWithFewerLibrariesSelectsTheFirst) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(5) + "[qurix]\nplib_last=4\n");
    Start();
    EXPECT_EQ(Plib().SelectedRow(), 4);
    Write("work/KIVOX.INI", LibraryKeys(2));
    EXPECT_TRUE(Doc().Reload());
    EXPECT_EQ(LibraryRows(), (QStringList{"a", "b"}));
    EXPECT_EQ(Plib().SelectedRow(), 0);
    EXPECT_EQ(PartRows(), (QStringList{"A1"}));
}

TEST_F(PaletteWindowTest, ClosingWritesOnlyTheLayoutAndTheLastLibrary) {
    WriteLibraries();
    // CR LF line ends, comments, a foreign key in our section and sections after it:
    // all of it must survive byte for byte.
    const std::string ini =
        "; editor settings\r\n[Library]\r\nLIB0=a.lib\r\nLIB1=b.lib\r\nLIB2=c.lib\r\n"
        "[qurix]\r\nwin_width=330\r\nother=keep me\r\nplib_last=1\r\n"
        "[DefaultColor]\r\nBG=16777215\r\n; end\r\n";
    Write("work/KIVOX.INI", ini);
    Start();
    EXPECT_EQ(Frame().width(), 330);
    const CMainFrame::Layout layout = Frame().CurrentLayout();
    Close();

    std::string expected = ini;
    expected = CProfile::Update(expected, "qurix", "parts_style", "0");
    expected = CProfile::Update(expected, "qurix", "plib_last", "1");
    expected = CProfile::Update(expected, "qurix", "win_width", std::to_string(layout.winWidth));
    expected = CProfile::Update(expected, "qurix", "win_height", std::to_string(layout.winHeight));
    expected = CProfile::Update(expected, "qurix", "plv_width", std::to_string(layout.plvWidth));
    expected = CProfile::Update(expected, "qurix", "plv_height", std::to_string(layout.plvHeight));
    expected = CProfile::Update(expected, "qurix", "prt_height", std::to_string(layout.prtHeight));
    expected = CProfile::Update(expected, "qurix", "win_maximized", "0");
    expected = CProfile::Update(expected, "qurix", "win_x", std::to_string(layout.winX));
    expected = CProfile::Update(expected, "qurix", "win_y", std::to_string(layout.winY));
    EXPECT_EQ(Read("work/KIVOX.INI"), expected);
    // Spelled out: the keys already there changed in place, the new ones at the end of
    // the section, nothing else moved.
    EXPECT_EQ(
        Read("work/KIVOX.INI"),
        "; editor settings\r\n[Library]\r\nLIB0=a.lib\r\nLIB1=b.lib\r\nLIB2=c.lib\r\n"
        "[qurix]\r\nwin_width=330\r\nother=keep me\r\nplib_last=1\r\n"
        "parts_style=0\r\nwin_height=600\r\nplv_width=160\r\nplv_height=200\r\nprt_height=200\r\n"
        "win_maximized=0\r\nwin_x=" +
            std::to_string(layout.winX) + "\r\nwin_y=" + std::to_string(layout.winY) +
            "\r\n[DefaultColor]\r\nBG=16777215\r\n; end\r\n");
}

TEST_F(PaletteWindowTest, ClosingDuringABuildWaitsForTheBuildToStop) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(2));
    Start();
    ASSERT_TRUE(Frame().isVisible());
    // As the parts list does while it renders thumbnails and pumps events.
    Doc().BeginBusy();
    Frame().close();
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Doc().CloseRequested());
    EXPECT_TRUE(Doc().IsLoaded());
    EXPECT_FALSE(Doc().Reload());
    Doc().EndBusy();
    QApplication::processEvents();
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_FALSE(Doc().IsLoaded());
    EXPECT_EQ(Plib().RowCount(), 0);
}

TEST_F(PaletteWindowTest, LayoutSurvivesARestart) {
    Write("work/KIVOX.INI",
          "[qurix]\nwin_width=500\nwin_height=450\nplv_width=210\nplv_height=120\n"
          "prt_height=150\n");
    Start();
    EXPECT_EQ(Frame().size(), QSize(500, 450));
    EXPECT_EQ(Frame().OuterSplitter()->sizes().value(0), 210);
    EXPECT_EQ(Frame().InnerSplitter()->sizes().value(0), 120);
    EXPECT_EQ(Frame().InnerSplitter()->sizes().value(1), 150);

    // The user drags the bars and resizes the window (tall enough for the panes, the
    // note's page tabs and the status bar).
    Frame().OuterSplitter()->setSizes({180, 300});
    Frame().InnerSplitter()->setSizes({100, 170, 100});
    Frame().resize(480, 520);
    QApplication::processEvents();
    const CMainFrame::Layout before = Frame().CurrentLayout();
    Close();

    Start();
    const CMainFrame::Layout after = Frame().CurrentLayout();
    EXPECT_EQ(after.winWidth, before.winWidth);
    EXPECT_EQ(after.winHeight, before.winHeight);
    EXPECT_EQ(after.plvWidth, before.plvWidth);
    EXPECT_EQ(after.plvHeight, before.plvHeight);
    EXPECT_EQ(after.prtHeight, before.prtHeight);
    EXPECT_EQ(after.winWidth, 480);
    EXPECT_EQ(after.plvWidth, 180);
    EXPECT_EQ(after.plvHeight, 100);
    EXPECT_EQ(after.prtHeight, 170);
}

// Closing while maximised keeps the normal size and position under "maximised", so the
// next start neither loses the frame's room nor the state.
TEST_F(PaletteWindowTest, MaximisedIsRememberedBesideTheNormalGeometry) {
    Write("work/KIVOX.INI", "[qurix]\nwin_width=500\nwin_height=400\nwin_x=30\nwin_y=40\n");
    Start();
    EXPECT_EQ(Frame().geometry(), QRect(30, 40, 500, 400));
    Frame().showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(Frame().isMaximized());
    Close();
    std::string ini = Read("work/KIVOX.INI");
    for (const char* line :
         {"win_width=500\n", "win_height=400\n", "win_x=30\n", "win_y=40\n", "win_maximized=1\n"}) {
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    }

    Start();
    EXPECT_TRUE(Frame().isMaximized());
    Frame().showNormal();
    QApplication::processEvents();
    EXPECT_EQ(Frame().size(), QSize(500, 400));
    Close();
    ini = Read("work/KIVOX.INI");
    EXPECT_NE(ini.find("win_maximized=0\n"), std::string::npos);
}

// The settings are written at close, where a failure cannot be shown: the palette tries
// once at start and says so. As root every folder is writable, so a file-size limit of
// one byte makes the write fail instead.
TEST_F(PaletteWindowTest, ASettingsFileThatCannotBeWrittenIsToldAtStart) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(2));
    const std::string before = Read("work/KIVOX.INI");
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tiny = old;
    tiny.rlim_cur = 1;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    Start();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    const QString path = QString::fromStdString((root_ / "work" / "KIVOX.INI").string());
    EXPECT_EQ(Frame().statusBar()->currentMessage(),
              QStringLiteral("設定を保存できません: ") + path);
    EXPECT_EQ(Read("work/KIVOX.INI"), before);
    Close();

    // Writable again: nothing to tell.
    Start();
    EXPECT_TRUE(Frame().statusBar()->currentMessage().isEmpty());
    Close();
}

// The rule itself is tested in tests/palette/WindowLayoutTest.cpp; this is its wiring.
TEST(WindowPlacement, TheWindowTakesQtRectanglesToTheRule) {
    const QList<QRect> one = {QRect(0, 0, 1920, 1080)};
    EXPECT_EQ(CMainFrame::PlaceOnScreens(QRect(100, 3000, 320, 600), one),
              QRect(100, 480, 320, 600));
    EXPECT_EQ(CMainFrame::PlaceOnScreens(QRect(-5, -5, 10, 10), {}), QRect(-5, -5, 10, 10));
}

TEST_F(PaletteWindowTest, AStrangeLayoutStaysOnTheScreen) {
    Write("work/KIVOX.INI",
          "[qurix]\nwin_width=-5\nwin_height=2000000000\nplv_width=-1\nplv_height=99999999\n"
          "prt_height=abc\n");
    Start();
    const QSize screen = Frame().screen()->availableGeometry().size();
    EXPECT_GT(Frame().width(), 0);
    EXPECT_LE(Frame().height(), screen.height());
    Close();
    const std::string ini = Read("work/KIVOX.INI");
    EXPECT_EQ(ini.find("-5"), std::string::npos);
    EXPECT_EQ(ini.find("2000000000"), std::string::npos);
}

TEST_F(PaletteWindowTest, ViewModeCommandsMoveTheRadioMark) {
    Start();
    QAction* large = Frame().Action(ID_VIEW_LARGEICON);
    QAction* smallImage = Frame().Action(ID_VIEW_SMALLICON);
    QAction* list = Frame().Action(ID_VIEW_LIST);
    QAction* xlarge = Frame().Action(ID_VIEW_XLARGEICON);
    ASSERT_TRUE(large && smallImage && list && xlarge);
    auto marks = [&] {
        return std::vector<bool>{large->isChecked(), smallImage->isChecked(), list->isChecked(),
                                 xlarge->isChecked()};
    };
    EXPECT_EQ(Parts().DisplayMode(), 0);
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false, false}));

    const struct {
        QAction* action;
        int mode;
        std::vector<bool> marks;
    } steps[] = {
        {smallImage, 2, {false, true, false, false}}, {list, 3, {false, false, true, false}},
        {list, 3, {false, false, true, false}},  // the marked mode again keeps its mark
        {xlarge, 4, {false, false, false, true}},     {large, 0, {true, false, false, false}},
    };
    for (const auto& step : steps) {
        step.action->trigger();
        EXPECT_EQ(Parts().DisplayMode(), step.mode) << step.action->text().toStdString();
        EXPECT_EQ(marks(), step.marks) << step.action->text().toStdString();
    }
}

TEST_F(PaletteWindowTest, MenusAndToolbarCarryTheirTexts) {
    Start();
    QStringList menus;
    for (QAction* a : Frame().menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"ファイル(&F)", "表示(&V)", "パーツ(&P)", "ヘルプ(&H)"}));
    auto items = [&](int i) {
        QStringList texts;
        for (QAction* a : Frame().menuBar()->actions().at(i)->menu()->actions()) {
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return texts;
    };
    EXPECT_EQ(items(0), (QStringList{"KIVOX.INI を開く(&O)…", "再読み込み(&R)", "-",
                                     "アプリケーションの終了(&X)"}));
    EXPECT_EQ(items(1), (QStringList{"ツール バー(&T)", "-", "大きいイメージ(&N)",
                                     "小さいイメージ(&S)", "一覧(&L)", "特大イメージ(&X)", "-",
                                     "ライブラリの変更を自動で読み込む(&A)", "-", "拡大(&I)",
                                     "縮小(&O)", "等倍(&Z)", "ウィンドウに合わせる(&W)"}));
    EXPECT_EQ(items(2), (QStringList{"配置(&P)", "お気に入りに追加(&F)", "コピー(&C)",
                                     "ライブラリのフォルダを開く(&L)", "-", "上へ(&U)", "下へ(&W)",
                                     "一覧から削除(&R)"}));
    EXPECT_EQ(items(3), (QStringList{"バージョン情報 (&A)..."}));
    EXPECT_EQ(Frame().Action(ID_FILE_RELOAD)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));

    QStringList tips;
    for (QAction* a : Frame().ToolBar()->actions()) {
        tips << (a->isSeparator() ? QStringLiteral("-") : a->toolTip());
    }
    EXPECT_EQ(tips, (QStringList{"大きいイメージ", "小さいイメージ", "一覧", "特大イメージ", "-",
                                 "バージョン情報"}));

    QAction* toolbar = Frame().Action(ID_VIEW_TOOLBAR);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->isChecked());
    toolbar->trigger();
    EXPECT_FALSE(Frame().ToolBar()->isVisible());
    toolbar->trigger();
    EXPECT_TRUE(Frame().ToolBar()->isVisible());
}

TEST_F(PaletteWindowTest, F6MovesThroughThePanes) {
    Start();
    Frame().activateWindow();
    QApplication::setActiveWindow(&Frame());
    QShortcut* next = nullptr;
    QShortcut* prev = nullptr;
    for (QShortcut* s : Frame().findChildren<QShortcut*>()) {
        if (s->key() == QKeySequence(Qt::Key_F6)) next = s;
        if (s->key() == QKeySequence(Qt::SHIFT | Qt::Key_F6)) prev = s;
    }
    ASSERT_TRUE(next && prev);
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        emit next->activated();
        seen.push_back(Frame().ActivePane());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 0}));
    seen.clear();
    for (int i = 0; i < 3; ++i) {
        emit prev->activated();
        seen.push_back(Frame().ActivePane());
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 2, 1}));
}

TEST_F(PaletteWindowTest, CopyKeysCopyTheSelectedNote) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(5) + "[qurix]\nplib_last=2\n");
    Start();
    SelectPart("C");
    CInfoView& info = *Frame().Info();
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}) {
        QGuiApplication::clipboard()->clear();
        info.selectAll();
        QKeyEvent press(QEvent::KeyPress, keys.key(), keys.keyboardModifiers());
        QCoreApplication::sendEvent(&info, &press);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("コンデンサ"));
    }
    // Typing changes nothing.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(&info, &typed);
    EXPECT_EQ(info.toPlainText(), QStringLiteral("コンデンサ"));
}

TEST_F(PaletteWindowTest, AClickBelowTheRowsLetsGoOfTheLibrary) {
    WriteLibraries();
    Write("work/KIVOX.INI", LibraryKeys(3) + "[qurix]\nplib_last=1\n");
    Start();
    ASSERT_EQ(Plib().SelectedRow(), 1);
    SelectPart("B2");
    QWidget* vp = Plib().viewport();
    const QPoint below(5, vp->height() - 3);
    ASSERT_FALSE(Plib().indexAt(below).isValid());
    QMouseEvent press(QEvent::MouseButtonPress, below, vp->mapToGlobal(below), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, below, vp->mapToGlobal(below), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &release);
    EXPECT_EQ(Plib().SelectedRow(), -1);
    EXPECT_EQ(Doc().CurrentLibrary(), nullptr);
    EXPECT_EQ(Plib().LastIndex(), 0);
    // The parts list keeps what it showed, and the part stays current.
    EXPECT_EQ(PartRows(), (QStringList{"B1", "B2"}));
    EXPECT_NE(Doc().CurrentEntry(), nullptr);

    // Clicking a row selects it again.
    const QRect row0 = Plib().visualRect(Plib().LibraryIndex(0));
    QMouseEvent press0(QEvent::MouseButtonPress, row0.center(), vp->mapToGlobal(row0.center()),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &press0);
    EXPECT_EQ(Plib().SelectedRow(), 0);
    EXPECT_EQ(Doc().CurrentLibrary(), Doc().Libraries().GetLibrary(0));
    EXPECT_EQ(PartRows(), (QStringList{"A1"}));
    Close();
    EXPECT_NE(Read("work/KIVOX.INI").find("plib_last=0\n"), std::string::npos);
}

TEST_F(PaletteWindowTest, LibraryRowsShowTheFileNameOnly) {
    fs::create_directories(root_ / "work" / "sub.d");
    Write("work/sub.d/std.lib", Library({{"X", 1, 1, ""}}));
    Write("work/noext", Library({{"Y", 1, 1, ""}}));
    Write("work/" + SJIS_RESISTOR + ".lib", Library({{"Z", 1, 1, ""}}));
    Write("work/KIVOX.INI",
          "[Library]\nLIB0=sub.d/std.lib\nLIB1=" + (root_ / "work" / "noext").string() +
              "\nLIB2=" + SJIS_RESISTOR + ".lib\n");
    Start();
    EXPECT_EQ(LibraryRows(), (QStringList{"std", "noext", "抵抗"}));
    EXPECT_EQ(Plib().LibraryIndex(0).data(Qt::ToolTipRole).toString(),
              QString::fromStdString((root_ / "work" / "sub.d" / "std.lib").string()));
}

TEST_F(PaletteWindowTest, AChosenConfigurationReplacesTheFirstStartPage) {
    Start();
    ASSERT_TRUE(app_->FirstStart());
    WriteLibraries();
    std::filesystem::create_directories(root_ / "editor");
    Write("editor/KIVOX.INI", "[Library]\nLIB0=" + (root_ / "work" / "a.lib").string() + "\n");
    app_->OpenConfigFile((root_ / "editor" / "KIVOX.INI").string());
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_NE(app_->MainFrame(), nullptr);
    EXPECT_FALSE(app_->FirstStart());
    EXPECT_EQ(Frame().windowTitle().toStdString(),
              "Qurix - " + (root_ / "editor" / "KIVOX.INI").string());
    EXPECT_EQ(Frame().findChild<QWidget*>(QStringLiteral("firstStartPage")), nullptr);
    EXPECT_EQ(Plib().RowCount(), 1);
    // Nothing was written where the rule looked in vain.
    EXPECT_FALSE(std::filesystem::exists(root_ / "bin" / "KIVOX.INI"));
}

TEST(AboutBox, HasItsTitleTwoLinesAndOk) {
    TestApp();
    const std::unique_ptr<QDialog> box =
        CQurixApp::MakeAboutBox(nullptr, {"/e/KIVOX.INI", "/home/u/.cache/qurix/0123abcd"});
    const QLabel* facts = box->findChild<QLabel*>(QStringLiteral("factsLine"));
    ASSERT_NE(facts, nullptr);
    EXPECT_TRUE(facts->text().contains(QStringLiteral("/e/KIVOX.INI")));
    EXPECT_TRUE(facts->text().contains(QStringLiteral("/home/u/.cache/qurix/0123abcd")));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("バージョン情報"));
    const QLabel* title = box->findChild<QLabel*>(QStringLiteral("titleLine"));
    const QLabel* second = box->findChild<QLabel*>(QStringLiteral("secondLine"));
    ASSERT_TRUE(title && second);
    EXPECT_TRUE(title->text().startsWith(QStringLiteral("Qurix")));
    EXPECT_TRUE(title->text().contains(QString::fromLatin1(CQurixApp::PRODUCT_VERSION)));
    EXPECT_FALSE(second->text().isEmpty());
    const QDialogButtonBox* buttons = box->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    ASSERT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
    buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(box->result(), QDialog::Accepted);
}

}  // namespace
}  // namespace qurix
