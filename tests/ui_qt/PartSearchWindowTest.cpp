// The search field of the palette window: typing lists the parts of every library, the
// results are entered with the Down arrow, picked and dragged like any item, and Esc
// returns to the library.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <memory>
#include <string>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/CommandIds.h"
#include "palette/QurixDoc.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "ui/qt/DragData.h"
#include "ui/qt/InfoView.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsPane.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/PlibView.h"
#include "ui/qt/QurixApp.h"
#include "ui/qt/SearchBar.h"

namespace qurix {
namespace {

std::string Part(const std::string& name, const std::string& note = "") {
    return "+COMP,N:" + name + "\nX:3,Y:2,B:1\nR:U\nNOTE:" + note + ",-COMP\n";
}

class PartSearchWindowTest : public PaletteTestBase {
protected:
    // a.lib and b.lib both have an NE555; the first library is the one shown.
    void Start() {
        Write("work/a.lib", "+KIVOX_LIB_V.1.0\n" + Part("R1", "抵抗") + Part("NE555") + Part("C1") +
                                "-KIVOX_LIB_V.1.0\n");
        Write("work/b.lib", "+KIVOX_LIB_V.1.0\n" + Part("LM358") + Part("NE555", "タイマ") +
                                "-KIVOX_LIB_V.1.0\n");
        Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\n");
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        Frame().resize(600, 500);
        Frame().activateWindow();
        QApplication::setActiveWindow(&Frame());
        QApplication::processEvents();
    }
    CPartsPane& Pane() const { return *Frame().PartsPane(); }
    CPartsView& Parts() const { return *Frame().PartsList(); }
    CSearchBar& Bar() const { return *Pane().SearchBar(); }
    const CPartLibrary* Lib(int i) const { return Doc().Libraries().GetLibrary(i); }

    static void Key(QWidget& target, int key, const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&target, &press);
    }
    void Type(const QString& text) {
        for (const QChar c : text) Key(Bar(), 0, QString(c));
    }
    bool StatusBarShown() const {
        const auto* status = Frame().findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        return status != nullptr && !status->isHidden();
    }
};

TEST_F(PartSearchWindowTest, TypeEnterPickAndReturn) {
    Start();
    ASSERT_EQ(Parts().ShownLibrary(), Lib(0));
    EXPECT_EQ(Bar().placeholderText(), QStringLiteral("パーツを検索 (Ctrl+F)"));
    QShortcut* find = nullptr;
    for (QShortcut* s : Frame().findChildren<QShortcut*>()) {
        if (s->key() == QKeySequence(Qt::CTRL | Qt::Key_F)) find = s;
    }
    ASSERT_NE(find, nullptr);
    Parts().setFocus();
    emit find->activated();
    EXPECT_TRUE(Bar().hasFocus());
    EXPECT_TRUE(StatusBarShown());  // always there: the panes never jump

    // Each keystroke searches again: "5" starts a word in both NE555s and is inside
    // LM358; "ne" starts only the NE555s.
    Type("5");
    ASSERT_EQ(Parts().ItemCount(), 3);
    EXPECT_EQ(Parts().ItemText(2), "LM358");
    Key(Bar(), Qt::Key_Backspace);
    EXPECT_FALSE(Parts().ShowingEntries());
    Type("ne");
    ASSERT_EQ(Parts().ItemCount(), 2);
    EXPECT_TRUE(Parts().ShowingEntries());
    // Alike but for their library: a second line names it.
    EXPECT_EQ(Parts().ItemText(0), "NE555\na");
    EXPECT_EQ(Parts().ItemLibrary(0), Lib(0));
    EXPECT_EQ(Parts().ItemLibrary(1), Lib(1));
    EXPECT_GE(Parts().ItemImage(1), 0);
    const QString tip = Parts().model()->index(1, 0).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.startsWith("NE555\n")) << tip.toStdString();
    EXPECT_TRUE(tip.section('\n', 1, 1).startsWith(QStringLiteral("ライブラリ: ")));
    EXPECT_TRUE(tip.section('\n', 1, 1).endsWith("b.lib")) << tip.toStdString();
    EXPECT_EQ(Pane().CountText(), QStringLiteral("2 件"));
    EXPECT_EQ(Frame().StatusField(CMainFrame::FIELD_PARTS)->text(), QStringLiteral("2 件"));
    // Another view mode shows the same results, the library after the name.
    Frame().Action(ID_VIEW_LIST)->trigger();
    EXPECT_EQ(Parts().DisplayMode(), CPartsView::MODE_LIST);
    EXPECT_TRUE(Parts().ShowingEntries());
    EXPECT_EQ(Parts().ItemCount(), 2);
    EXPECT_EQ(Parts().ItemText(1), "NE555 (b)");

    // Down enters the results on the first one; picking the second makes its library
    // and part current, and the library list follows.
    Key(Bar(), Qt::Key_Down);
    EXPECT_TRUE(Parts().hasFocus());
    EXPECT_EQ(Doc().CurrentEntry(), Lib(0)->Entry(1));
    Parts().SelectItem(1);
    EXPECT_EQ(Doc().CurrentLibrary(), Lib(1));
    EXPECT_EQ(Doc().CurrentEntry(), Lib(1)->Entry(1));
    EXPECT_EQ(Frame().LibraryList()->SelectedRow(), 1);
    EXPECT_EQ(Frame().Info()->toPlainText(), QStringLiteral("タイマ"));
    EXPECT_TRUE(Parts().ShowingEntries());
    EXPECT_EQ(Parts().ItemCount(), 2);

    // Esc in the list empties the field and shows that library with the part picked.
    Key(Parts(), Qt::Key_Escape);
    EXPECT_TRUE(Bar().text().isEmpty());
    EXPECT_FALSE(Parts().ShowingEntries());
    EXPECT_EQ(Parts().ShownLibrary(), Lib(1));
    EXPECT_EQ(Parts().ItemCount(), 2);
    EXPECT_TRUE(Parts().selectionModel()->isRowSelected(1, QModelIndex()));
    EXPECT_EQ(Doc().CurrentEntry(), Lib(1)->Entry(1));
    EXPECT_EQ(Frame().StatusField(CMainFrame::FIELD_PARTS)->text(), QStringLiteral("2 個のパーツ"));
}

TEST_F(PartSearchWindowTest, StatusFieldsOutlastToolTipsAndZoomWorksFromAnyPane) {
    Start();
    const auto field = [&](int i) { return Frame().StatusField(i)->text(); };
    EXPECT_EQ(field(CMainFrame::FIELD_PARTS), QStringLiteral("3 個のパーツ"));
    EXPECT_TRUE(Frame().StatusField(CMainFrame::FIELD_PROBLEMS)->isHidden());
    EXPECT_EQ(field(CMainFrame::FIELD_ZOOM), QStringLiteral("倍率 1:1"));
    Type("ne");
    // A toolbar button's tip comes and goes; the count stays.
    QStatusTipEvent tip(QStringLiteral("大きいアイコン"));
    QApplication::sendEvent(&Frame(), &tip);
    QStatusTipEvent gone{QString()};
    QApplication::sendEvent(&Frame(), &gone);
    EXPECT_EQ(field(CMainFrame::FIELD_PARTS), QStringLiteral("2 件"));
    // The zoom keys reach the preview from the library list; Enter in the field takes the
    // first result.
    Frame().LibraryList()->setFocus();
    Frame().Action(ID_VIEW_ZOOM_IN)->trigger();
    EXPECT_EQ(field(CMainFrame::FIELD_ZOOM), QStringLiteral("倍率 3:2"));
    Frame().Action(ID_VIEW_ZOOM_RESET)->trigger();
    EXPECT_EQ(field(CMainFrame::FIELD_ZOOM), QStringLiteral("倍率 1:1"));
    Key(Bar(), Qt::Key_Return);
    EXPECT_EQ(Doc().CurrentEntry(), Lib(0)->Entry(1));
    // A long message is whole in the tool tip.
    const QString longText(400, QChar(u'あ'));
    Frame().ShowStatus(longText);
    EXPECT_EQ(Frame().statusBar()->toolTip(), longText);
}

TEST_F(PartSearchWindowTest, NothingFoundSaysSoAndEscReturns) {
    Start();
    Type("zz");
    EXPECT_EQ(Parts().ItemCount(), 0);
    EXPECT_EQ(Parts().EmptyMessage(), QStringLiteral("見つかりません"));
    EXPECT_EQ(Pane().CountText(), QStringLiteral("0 件"));
    // Nothing to enter.
    Key(Bar(), Qt::Key_Down);
    EXPECT_TRUE(Bar().hasFocus());
    Key(Bar(), Qt::Key_Escape);
    EXPECT_TRUE(Parts().EmptyMessage().isEmpty());
    EXPECT_EQ(Parts().ShownLibrary(), Lib(0));
    EXPECT_EQ(Parts().ItemCount(), 3);
    // Blanks alone are no search.
    Type("  ");
    EXPECT_FALSE(Parts().ShowingEntries());
}

TEST_F(PartSearchWindowTest, AResultDragsAsTheItemInItsOwnLibrary) {
    Start();
    Type("lm");
    ASSERT_EQ(Parts().ItemCount(), 1);
    ASSERT_EQ(Doc().CurrentLibrary(), Lib(0));
    CPartsView::DragRequest fromResult;
    ASSERT_TRUE(Parts().PrepareDrag(Parts().ItemRect(0).center(), fromResult));
    Key(Bar(), Qt::Key_Escape);

    Frame().LibraryList()->selectionModel()->setCurrentIndex(
        Frame().LibraryList()->LibraryIndex(1),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(Parts().ShownLibrary(), Lib(1));
    CPartsView::DragRequest fromLibrary;
    ASSERT_TRUE(Parts().PrepareDrag(Parts().ItemRect(0).center(), fromLibrary));

    std::string resultBlock;
    std::string libraryBlock;
    ASSERT_TRUE(MakeDragBlock(fromResult.libraryPath, fromResult.partName, resultBlock));
    ASSERT_TRUE(MakeDragBlock(fromLibrary.libraryPath, fromLibrary.partName, libraryBlock));
    EXPECT_EQ(resultBlock.size(), DRAG_BLOCK_SIZE);
    EXPECT_EQ(resultBlock, libraryBlock);
    EXPECT_EQ(fromResult.libraryPath, EditorPath(root_ / "work" / "b.lib"));
    EXPECT_EQ(fromResult.partName, "LM358");
}

TEST_F(PartSearchWindowTest, AReloadSearchesTheNewLibraries) {
    Start();
    Type("ne");
    ASSERT_EQ(Parts().ItemCount(), 2);
    Write("work/b.lib", "+KIVOX_LIB_V.1.0\n" + Part("NE556") + "-KIVOX_LIB_V.1.0\n");
    ASSERT_TRUE(Doc().Reload());
    // The results are those of the libraries loaded now, not of the ones released.
    ASSERT_TRUE(Parts().ShowingEntries());
    ASSERT_EQ(Parts().ItemCount(), 2);
    EXPECT_EQ(Parts().ItemText(1), "NE556");
    EXPECT_EQ(Parts().ItemEntry(1), Lib(1)->Entry(0));
    EXPECT_EQ(Pane().CountText(), QStringLiteral("2 件"));
}

}  // namespace
}  // namespace qurix
