#pragma once
#include <QTreeView>
#include <string>

#include "core/profile/Profile.h"
#include "palette/LibraryList.h"
#include "palette/LoadProblem.h"
#include "palette/QurixView.h"

namespace qurix {

class CPartLibrary;
class CLibraryListModel;

// The top-left pane: one row per loaded library; the selected row is the document's
// current library. The row selected last is remembered as "plib_last" in "qurix".
// Libraries that failed to load follow, greyed with a warning icon; selecting one shows
// its reason in the note. Above the libraries are the recent parts and the favourites
// (LibraryList.h); the rows this class numbers are the libraries' (row 0 is the first library).
class CPlibView : public QTreeView, public CQurixView {
    Q_OBJECT
public:
    CPlibView(CQurixDoc& doc, QWidget* parent = nullptr);

    // Writes "plib_last".
    void SaveSettings();

    void OnInitialUpdate() override;
    // After a load: lists the libraries and selects the remembered one. Otherwise
    // selects the document's current library when another view changed it.
    void OnUpdate(CQurixView* sender) override;
    void DeleteAllItems() override;

    int LastIndex() const { return lastIndex_; }
    int RowCount() const;
    // The library of a row; null when out of range or a problem row.
    const CPartLibrary* RowLibrary(int row) const;
    // The failed library of a row; null for a loaded library's row.
    const LoadProblem* RowProblem(int row) const;
    // The model index of a library row (the list's row below the two part lists).
    QModelIndex LibraryIndex(int row) const;
    // The selected library row, or -1 (also while a part list is chosen).
    int SelectedRow() const;
    // The part list chosen (RecentParts, Favourites), else None.
    LibraryRowKind SelectedPartList() const;
    void SelectPartList(LibraryRowKind kind);

signals:
    // The user chose the recent parts or the favourites.
    void partListChosen(qurix::LibraryRowKind kind);
    // The user chose a library or a library that did not load (before the views hear of it).
    void libraryChosen();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void SelectCurrentLibrary();

    CLibraryListModel* model_;
    CProfile profile_;
    int lastIndex_ = 0;
    // Rows removed by a reload are not a deselection by the user.
    bool clearing_ = false;
    // Following the document is no choice of the user's to pass on.
    bool following_ = false;
};

}  // namespace qurix
