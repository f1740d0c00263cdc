#include "ui/qt/PinTableView.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "palette/Texts.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

namespace {

// The overline marks of a name ("-" under each overlined letter), on the name's cell.
constexpr int OVERLINE_ROLE = Qt::UserRole + 1;

// Draws the name column as usual, then a line over each run of overlined letters.
class COverlineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString marks = index.data(OVERLINE_ROLE).toString();
        if (!marks.contains(QLatin1Char('-'))) return;
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* widget = opt.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        // The same margin the style leaves before the text.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QFontMetrics metrics(opt.font);
        const int baseline = text.top() + (text.height() - metrics.height()) / 2 + metrics.ascent();
        // Within the cell: a row as tall as the font leaves no room above the capitals.
        const int y = std::max(baseline - metrics.capHeight() - 2, option.rect.top() + 1);
        painter->save();
        painter->setClipRect(option.rect);
        painter->setPen(opt.palette.color(
            opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        for (qsizetype i = 0; i < marks.size() && i < opt.text.size(); ++i) {
            if (marks[i] != QLatin1Char('-')) continue;
            const int from = text.left() + margin + metrics.horizontalAdvance(opt.text.left(i));
            const int to = from + metrics.horizontalAdvance(opt.text.at(i));
            painter->drawLine(from, y, to - 1, y);
        }
        painter->restore();
    }
};

}  // namespace

CPinTableView::CPinTableView(QWidget* parent) : QTreeWidget(parent) {
    setItemDelegateForColumn(1, new COverlineDelegate(this));
    setColumnCount(3);
    setHeaderLabels({UiText(texts::PIN_NUMBER), UiText(texts::PIN_NAME), UiText(texts::PIN_SIDE)});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Sorted here, by the palette's order (pin "10" after "9"), not by Qt's text order.
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    // The narrow pane shows every column: the name takes what the number and side leave.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(1, QHeaderView::Stretch);
    header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        const auto column = static_cast<PinColumn>(section);
        SortBy(column, sorted_ && column == column_ ? !ascending_ : true);
    });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (filling_) return;
        emit pinChosen(item != nullptr ? RowPin(indexOfTopLevelItem(item)) : -1);
    });
}

void CPinTableView::ShowPart(const CLibEntry* entry, int block) {
    const int chosen = RowPin(indexOfTopLevelItem(currentItem()));
    const bool samePart = entry == entry_;
    entry_ = entry;
    rows_ = entry != nullptr ? PinRows(*entry, block) : std::vector<PinRow>();
    if (sorted_) SortPinRows(rows_, column_, ascending_);
    Fill();
    // Another block of the same part keeps the pin chosen; another part starts with none.
    if (samePart) SelectPin(chosen, false);
    if (!samePart) emit pinChosen(-1);
}

int CPinTableView::RowPin(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)].pin
                                                            : -1;
}

void CPinTableView::SortBy(PinColumn column, bool ascending) {
    const int chosen = RowPin(indexOfTopLevelItem(currentItem()));
    column_ = column;
    ascending_ = ascending;
    sorted_ = true;
    SortPinRows(rows_, column_, ascending_);
    Fill();
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(static_cast<int>(column),
                               ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    SelectPin(chosen, true);
}

void CPinTableView::SelectPin(int pin, bool quiet) {
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        if (rows_[static_cast<size_t>(row)].pin != pin) continue;
        filling_ = quiet;
        setCurrentItem(topLevelItem(row));
        filling_ = false;
        return;
    }
}

void CPinTableView::Fill() {
    filling_ = true;
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows_.size()));
    for (const PinRow& row : rows_) {
        items.push_back(new QTreeWidgetItem({DisplayText(row.number), QString::fromLatin1(row.name),
                                             UiText(PinSideText(row.side))}));
        items.back()->setData(1, OVERLINE_ROLE, QString::fromLatin1(row.overline));
    }
    addTopLevelItems(items);
    filling_ = false;
    // A row removed under the current one is otherwise left drawn until something else
    // repaints the list.
    viewport()->update();
}

}  // namespace qurix
