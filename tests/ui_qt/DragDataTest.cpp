#include "ui/qt/DragData.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QMimeData>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <string>

#include "tests/ui_qt/TestApp.h"

namespace qurix {
namespace {

// What every drop target relies on: "KivoxPartsInfo" among the names, the block under at
// most two of them (Wine 8.0 crashes on three), every other name empty, no two names
// equal ignoring case (Wine merges those).
TEST(DragMime, OfferRule) {
    struct Case {
        DragPlatform platform;
        qsizetype fewestNames;
        qsizetype mostNames;
    };
    const Case cases[] = {
        // Wine drops an XdndEnter whose third type slot is empty: three names at least.
        {DragPlatform::X11, 3, 100},
        // Elsewhere the bare and the wrapped name, as always.
        {DragPlatform::Other, 2, 2},
    };
    std::string expected;
    ASSERT_TRUE(MakeDragBlock("/lib/std.lib", "NAND2", expected));
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.platform));
        std::unique_ptr<QMimeData> data = MakeDragMimeData("/lib/std.lib", "NAND2", c.platform);
        ASSERT_TRUE(data);
        const QStringList names = data->formats();
        EXPECT_GE(names.size(), c.fewestNames);
        EXPECT_LE(names.size(), c.mostNames);
        EXPECT_TRUE(names.contains(QStringLiteral("KivoxPartsInfo")));
        int carrying = 0;
        QStringList folded;
        for (const QString& name : names) {
            const QByteArray bytes = data->data(name);
            if (std::string(bytes.constData(), bytes.size()) == expected) {
                ++carrying;
            } else {
                EXPECT_TRUE(bytes.isEmpty()) << name.toStdString();
            }
            folded.append(name.toLower());
        }
        EXPECT_GE(carrying, 1);
        EXPECT_LE(carrying, 2);
        EXPECT_EQ(folded.removeDuplicates(), 0);

        std::string block;
        std::string format;
        ASSERT_TRUE(TakeDragBlock(*data, block, &format));
        EXPECT_EQ(format, PARTS_INFO_FORMAT);
        EXPECT_EQ(block, expected);
    }
}

TEST(DragMime, TakesTheWrappedNameAloneAndNothingElse) {
    std::string expected;
    ASSERT_TRUE(MakeDragBlock("a.lib", "R", expected));
    QMimeData wrappedOnly;
    wrappedOnly.setData(QString::fromLatin1(PARTS_INFO_WINDOWS_FORMAT),
                        QByteArray(expected.data(), static_cast<qsizetype>(expected.size())));
    std::string block;
    std::string format;
    ASSERT_TRUE(TakeDragBlock(wrappedOnly, block, &format));
    EXPECT_EQ(format, PARTS_INFO_WINDOWS_FORMAT);
    EXPECT_EQ(block, expected);

    QMimeData foreign;
    foreign.setText(QStringLiteral("KivoxPartsInfo"));
    EXPECT_FALSE(TakeDragBlock(foreign, block));
    EXPECT_TRUE(block.empty());
}

TEST(DragMime, NoDataForARefusedDrag) {
    for (DragPlatform platform : {DragPlatform::X11, DragPlatform::Other}) {
        EXPECT_FALSE(MakeDragMimeData("", "NAND2", platform));
        EXPECT_FALSE(MakeDragMimeData(std::string(260, 'p'), "NAND2", platform));
        EXPECT_FALSE(MakeDragMimeData("a.lib", std::string(260, 'n'), platform));
    }
}

TEST(DragStart, RefusedDragsStartNothing) {
    TestApp();
    QWidget source;
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::white);
    EXPECT_FALSE(StartPartDrag(nullptr, "a.lib", "R", pixmap, QPoint(3, 4)));
    EXPECT_FALSE(StartPartDrag(&source, "", "R", pixmap, QPoint(3, 4)));
    EXPECT_FALSE(StartPartDrag(&source, std::string(300, 'p'), "R", pixmap, QPoint(3, 4)));
    EXPECT_TRUE(source.findChildren<QObject*>().isEmpty());
}

}  // namespace
}  // namespace qurix
