#pragma once
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <vector>

#include "palette/LibraryList.h"
#include "palette/PartHistory.h"

class QAction;
class QMenu;

namespace qurix {

class CPartsView;
class CQurixDoc;

// The part commands of the parts list, its context menu and the window's menu: place
// (click-to-place: Enter or a double-click), favourites, copy, the library's folder, and
// the recent parts and favourites shown in the list instead of a library. What they do is
// decided in palette/KeptParts; this shows it.
class CPartCommands : public QObject {
    Q_OBJECT
public:
    CPartCommands(CQurixDoc& doc, CPartsView* view, QObject* parent);

    // In menu order, with separators.
    QList<QAction*> Actions() const { return actions_; }
    // The context menu as it is for the selected item (the actions that apply enabled).
    void FillMenu(QMenu& menu);

    // Lists the recent parts or the favourites until a library is chosen.
    void ShowKeptParts(LibraryRowKind kind);
    void LeaveKeptParts();
    // Lists the kept parts again (after a change of the view mode) while they are listed.
    void RefreshShown();
    LibraryRowKind Shown() const { return shown_; }

    // Starts a drag of the item with no button held: its image follows the pointer, a
    // click drops it, Esc cancels. Returns when it ends; true when it was dropped.
    bool Place(int row);
    // The selected item's key (also for a kept part no longer there); empty for none.
    PartKey SelectedKey() const;
    // The favourite command's text for the selected part; the list's own commands shown
    // only with their list.
    void UpdateActions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(int id, const char* text, QKeySequence shortcut = {});
    void Refresh();
    void ToggleFavourite();
    void Copy();
    void ShowLibraryFolder();
    void MoveFavourite(int delta);
    void RemoveRecent();
    void Dropped(int row);
    int SelectedRow() const;

    CQurixDoc& doc_;
    QPointer<CPartsView> view_;
    QList<QAction*> actions_;
    QAction* place_ = nullptr;
    QAction* favourite_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* folder_ = nullptr;
    QAction* up_ = nullptr;
    QAction* down_ = nullptr;
    QAction* remove_ = nullptr;
    LibraryRowKind shown_ = LibraryRowKind::None;
    // The parts listed, by tag; and which ShowEntries listed them.
    std::vector<ResolvedPart> parts_;
    int listing_ = -1;
    // A double-click places once its button is up.
    int placeOnRelease_ = -1;
};

}  // namespace qurix
