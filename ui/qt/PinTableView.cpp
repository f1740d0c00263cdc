#include "ui/qt/PinTableView.h"

#include <QHeaderView>
#include <QSignalBlocker>

#include "palette/Texts.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

CPinTableView::CPinTableView(QWidget* parent) : QTreeWidget(parent) {
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
    for (int row = 0; samePart && row < static_cast<int>(rows_.size()); ++row) {
        if (rows_[static_cast<size_t>(row)].pin == chosen) setCurrentItem(topLevelItem(row));
    }
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
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        if (rows_[static_cast<size_t>(row)].pin != chosen) continue;
        const QSignalBlocker quiet(this);
        setCurrentItem(topLevelItem(row));
    }
}

void CPinTableView::Fill() {
    const QSignalBlocker quiet(this);
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows_.size()));
    for (const PinRow& row : rows_) {
        items.push_back(new QTreeWidgetItem(
            {DisplayText(row.number), QString::fromUtf8(row.name), UiText(PinSideText(row.side))}));
    }
    addTopLevelItems(items);
}

}  // namespace qurix
