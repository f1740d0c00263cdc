// Libraries that failed to load, shown in the window; the files watched and reloaded.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QStatusBar>
#include <string>
#include <vector>

#include "app/InfoView.h"
#include "app/MainFrame.h"
#include "app/PartsView.h"
#include "app/PlibView.h"
#include "app/QurixApp.h"
#include "app/QurixDoc.h"
#include "tests/app/PaletteTestBase.h"

namespace qurix {
namespace {

std::string Library(const std::vector<std::string>& names) {
    std::string s = "+KIVOX_LIB_V.1.0\n";
    for (const std::string& n : names) s += "+COMP,N:" + n + "\nX:2,Y:1,B:1\nR:U\n-COMP\n";
    return s + "-KIVOX_LIB_V.1.0\n";
}

// Opens a part and ends a pin that was never begun, on line 3.
const std::string BROKEN = "+KIVOX_LIB_V.1.0\n+COMP,N:X\n-PIN\n";

class LibraryWatchTest : public PaletteTestBase {
protected:
    LibraryWatchTest() : PaletteTestBase("qurix-watch-") {}

    void Start() {
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        QApplication::processEvents();
    }
    CPlibView& Plib() const { return *Frame().LibraryList(); }
    QString RowText(int row, int role = Qt::DisplayRole) const {
        return Plib().model()->index(row, 0).data(role).toString();
    }
    QString Status() const { return Frame().statusBar()->currentMessage(); }
};

TEST_F(LibraryWatchTest, FailedLibrariesFollowTheLoadedOnesGreyedAndUnselectable) {
    Write("work/a.lib", Library({"A1"}));
    Write("work/bad.lib", BROKEN);
    Write("work/c.lib", Library({"C1"}));
    Write("work/KIVOX.INI",
          "[Library]\nLIB0=a.lib\nLIB1=gone.lib\nLIB2=bad.lib\nLIB3=c.lib\n"
          "[qurix]\nplib_last=1\n");
    Start();
    // The loaded ones keep their indices: "plib_last" 1 is still c.lib.
    ASSERT_EQ(Plib().RowCount(), 4);
    EXPECT_EQ(Doc().currentLibrary, Plib().RowLibrary(1));
    EXPECT_EQ(RowText(1), "c");
    struct Row {
        int row;
        const char* key;
        const char* file;
        const char* reason;  // the start of the tool tip's last line
    };
    const Row rows[] = {
        {2, "LIB1", "gone.lib", "file not found"},  // missing
        {3, "LIB2", "bad.lib", "line 3: "},         // broken, with its line
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.key);
        const QModelIndex index = Plib().model()->index(r.row, 0);
        EXPECT_EQ(Plib().RowLibrary(r.row), nullptr);
        ASSERT_NE(Plib().RowProblem(r.row), nullptr);
        EXPECT_EQ(index.flags() & (Qt::ItemIsEnabled | Qt::ItemIsSelectable), Qt::NoItemFlags);
        EXPECT_FALSE(index.data(Qt::DecorationRole).isNull());
        const QStringList tip = RowText(r.row, Qt::ToolTipRole).split('\n');
        ASSERT_EQ(tip.size(), 3);
        EXPECT_EQ(tip[0], r.key);
        EXPECT_EQ(tip[1].toStdString(), (root_ / "work" / r.file).string());
        EXPECT_TRUE(tip[2].startsWith(r.reason)) << tip[2].toStdString();
        // A click tells the note pane and leaves the current library alone.
        const QPointF at = Plib().visualRect(index).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, Plib().viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Plib().viewport(), &press);
        EXPECT_EQ(Doc().currentLibrary, Plib().RowLibrary(1));
        EXPECT_TRUE(Frame().Info()->toPlainText().endsWith(RowText(r.row, Qt::ToolTipRole)));
    }
    EXPECT_EQ(Status(), "2 個のライブラリを読み込めませんでした");
    Close();
    EXPECT_NE(Read("work/KIVOX.INI").find("plib_last=1"), std::string::npos);
}

TEST_F(LibraryWatchTest, ALibraryBrokenSinceTheLastLoadBecomesAProblemRowOnReload) {
    Write("work/a.lib", Library({"A1"}));
    Write("work/b.lib", Library({"B1"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\n");
    Start();
    ASSERT_EQ(Plib().RowCount(), 2);
    EXPECT_TRUE(Doc().Problems().empty());
    Write("work/a.lib", BROKEN);
    Frame().Action(ID_FILE_RELOAD)->trigger();
    ASSERT_EQ(Plib().RowCount(), 2);
    EXPECT_EQ(RowText(0), "b");
    ASSERT_NE(Plib().RowProblem(1), nullptr);
    EXPECT_EQ(Plib().RowProblem(1)->key, "LIB0");
    EXPECT_EQ(Plib().RowProblem(1)->line, 3);
    EXPECT_EQ(Status(), "1 個のライブラリを読み込めませんでした");
    // Fixed again: the problem row goes.
    Write("work/a.lib", Library({"A1"}));
    Frame().Action(ID_FILE_RELOAD)->trigger();
    EXPECT_EQ(Plib().RowCount(), 2);
    EXPECT_EQ(Plib().RowProblem(1), nullptr);
    EXPECT_TRUE(Doc().Problems().empty());
}

}  // namespace
}  // namespace qurix
