#pragma once
#include <QTreeWidget>
#include <vector>

#include "palette/PinTable.h"

namespace qurix {

class CLibEntry;

// The note pane's second page "ピン": the pins of the selected part (number for the
// preview's block, name, side), sorted by a click on a column's header; choosing a row
// asks the preview to mark that pin.
class CPinTableView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CPinTableView(QWidget* parent = nullptr);

    // The part's pins, numbered for block; none for null.
    void ShowPart(const CLibEntry* entry, int block);
    // The pin (index in its part) of a row as shown now; -1 when out of range.
    int RowPin(int row) const;
    void SortBy(PinColumn column, bool ascending);

signals:
    // A row was chosen (-1: none).
    void pinChosen(int pin);

private:
    void Fill();
    // Makes pin's row current; quiet: no pinChosen for it.
    void SelectPin(int pin, bool quiet);

    std::vector<PinRow> rows_;
    const CLibEntry* entry_ = nullptr;  // compared, never followed
    PinColumn column_ = PinColumn::Number;
    bool ascending_ = true;
    bool sorted_ = false;  // pin order until a header is clicked
    // Rows made again are no choice of the user's.
    bool filling_ = false;
};

}  // namespace qurix
