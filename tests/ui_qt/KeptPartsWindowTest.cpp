// The recent parts and favourites above the libraries, the part commands and the pin
// table of the palette window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <memory>
#include <string>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "palette/CommandIds.h"
#include "palette/KeptParts.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "ui/qt/PartCommands.h"
#include "ui/qt/PartView.h"
#include "ui/qt/PartsPane.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/PinTableView.h"
#include "ui/qt/PlibView.h"

namespace qurix {
namespace {

class KeptPartsWindowTest : public PaletteTestBase {
protected:
    void Start() {
        Write("work/a.lib",
              "+KIVOX_LIB_V.1.0\n+COMP,N:U1\nX:3,Y:3,B:2\nR:U\n"
              "+PIN,N:IN,L:L1,T:,M:3,M:5,-PIN\n+PIN,N:OUT,L:R1,T:,M:12,M:4,-PIN\n"
              "+PIN,N:\\CS,L:T1,T:,M:1,M:1,-PIN\nNOTE:,-COMP\n"
              "+COMP,N:R1\nX:3,Y:1,B:1\nR:R\nNOTE:,-COMP\n-KIVOX_LIB_V.1.0\n");
        Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\n");
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        Frame().resize(640, 480);
        QApplication::processEvents();
    }
    CPartsView& Parts() const { return *Frame().PartsList(); }
    CPlibView& Plib() const { return *Frame().LibraryList(); }
    CPartCommands& Commands() const { return *Frame().PartCommands(); }
    QAction* Command(int id) const {
        for (QAction* action : Commands().Actions()) {
            if (action->data().toInt() == id) return action;
        }
        return nullptr;
    }
    int Row(const char* name) const {
        for (int row = 0; row < Parts().ItemCount(); ++row) {
            if (Parts().ItemText(row).startsWith(QString::fromUtf8(name))) return row;
        }
        return -1;
    }
};

TEST_F(KeptPartsWindowTest, RecentAndFavouriteRowsListTheirPartsAndKeepThem) {
    Start();
    // The libraries keep their numbers: the two rows above take none.
    EXPECT_EQ(Plib().RowCount(), 1);
    EXPECT_EQ(Plib().SelectedRow(), 0);
    EXPECT_EQ(Plib().model()->rowCount(), 3);
    EXPECT_EQ(Plib().model()->index(0, 0).data().toString(), QStringLiteral("最近使ったパーツ"));

    // Two accepted drops of R1, one of U1: U1 newest, R1 used twice.
    for (const char* name : {"R1", "R1", "U1"}) emit Parts().partDropped(Row(name));
    Parts().SelectItem(Row("R1"));
    Command(ID_PART_FAVOURITE)->trigger();
    Doc().history.AddFavourite({Doc().Libraries().GetLibrary(0)->Path(), "gone"});

    Plib().SelectPartList(LibraryRowKind::RecentParts);
    ASSERT_EQ(Parts().ItemCount(), 2);
    EXPECT_EQ(Parts().ItemText(0), QStringLiteral("U1\u2028×1\u00A0a"));
    EXPECT_EQ(Parts().ItemText(1), QStringLiteral("R1\u2028×2\u00A0a"));
    EXPECT_EQ(Plib().SelectedRow(), -1);
    // Picking a listed part keeps the row chosen; plib_last keeps the library.
    Parts().SelectItem(0);
    EXPECT_EQ(Plib().SelectedPartList(), LibraryRowKind::RecentParts);
    EXPECT_EQ(Plib().LastIndex(), 0);
    // A search started from the list returns to it.
    Frame().PartsPane()->Search(QStringLiteral("R1"));
    EXPECT_EQ(Parts().ItemText(0), QStringLiteral("R1"));
    Frame().PartsPane()->Search(QString());
    EXPECT_EQ(Parts().ItemText(0), QStringLiteral("U1\u2028×1\u00A0a"));

    Plib().SelectPartList(LibraryRowKind::Favourites);
    ASSERT_EQ(Parts().ItemCount(), 2);
    EXPECT_NE(Parts().ItemEntry(0), nullptr);
    // A favourite whose part is gone is listed greyed, can be removed, not placed.
    EXPECT_EQ(Parts().ItemEntry(1), nullptr);
    EXPECT_FALSE(Parts().model()->flags(Parts().model()->index(1, 0)) & Qt::ItemIsDragEnabled);
    Parts().SelectItem(1);
    QMenu menu;
    Commands().FillMenu(menu);
    int enabled = 0;
    for (QAction* item : menu.actions()) enabled += item->isEnabled() && !item->isSeparator();
    EXPECT_EQ(enabled, 2);  // remove from favourites, move up
    Command(ID_PART_MOVE_UP)->trigger();
    EXPECT_EQ(Parts().ItemEntry(0), nullptr);
    Command(ID_PART_FAVOURITE)->trigger();
    EXPECT_EQ(Parts().ItemCount(), 1);

    // Copy: the block under the editor's format and the name as text.
    Parts().SelectItem(0);
    Command(ID_PART_COPY)->trigger();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->data(QStringLiteral("KivoxPartsInfo")).size(), 520);
    EXPECT_EQ(copied->text(), QStringLiteral("R1"));

    // Choosing the library lists it again.
    const QModelIndex library = Plib().model()->index(2, 0);
    Plib().selectionModel()->setCurrentIndex(library, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(Parts().ItemText(0), QStringLiteral("U1"));

    // Kept across runs.
    Close();
    Start();
    ASSERT_EQ(Doc().history.Recent().size(), 2u);
    EXPECT_EQ(Doc().history.Recent()[1].uses, 2);
    EXPECT_EQ(Doc().history.Favourites().size(), 1u);
}

TEST_F(KeptPartsWindowTest, PinTableListsTheBlocksNumbersAndMarksThePin) {
    Start();
    Parts().SelectItem(Row("U1"));
    CPinTableView& pins = *Frame().PinTable();
    ASSERT_EQ(pins.topLevelItemCount(), 3);
    EXPECT_EQ(pins.topLevelItem(1)->text(0), QStringLiteral("12"));
    EXPECT_EQ(pins.topLevelItem(2)->text(1), QStringLiteral("CS"));
    EXPECT_EQ(pins.topLevelItem(2)->data(1, Qt::UserRole + 1).toString(), QStringLiteral("- "));
    EXPECT_EQ(pins.topLevelItem(2)->text(2), QStringLiteral("上"));
    pins.SortBy(PinColumn::Number, true);
    EXPECT_EQ(pins.topLevelItem(2)->text(0), QStringLiteral("12"));  // 12 after 3
    pins.setCurrentItem(pins.topLevelItem(2));
    EXPECT_EQ(Frame().Preview()->MarkedPin(), 1);
    // The second block: its numbers, the same pin still chosen and marked.
    Frame().Preview()->SetBlock(1);
    EXPECT_EQ(pins.topLevelItem(0)->text(0), QStringLiteral("1"));
    EXPECT_EQ(pins.topLevelItem(2)->text(0), QStringLiteral("5"));
    EXPECT_EQ(Frame().Preview()->MarkedPin(), 1);
    // Another part: no pin marked.
    Parts().SelectItem(Row("R1"));
    EXPECT_EQ(pins.topLevelItemCount(), 0);
    EXPECT_EQ(Frame().Preview()->MarkedPin(), -1);
}

}  // namespace
}  // namespace qurix
