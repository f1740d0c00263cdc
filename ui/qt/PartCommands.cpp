#include "ui/qt/PartCommands.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "core/platform/Paths.h"
#include "palette/CommandIds.h"
#include "palette/KeptParts.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "ui/qt/DragData.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

CPartCommands::CPartCommands(CQurixDoc& doc, CPartsView* view, QObject* parent)
    : QObject(parent), doc_(doc), view_(view) {
    place_ = AddAction(ID_PART_PLACE, texts::CMD_PLACE);
    // Enter places only from the list: in the search field it moves into the results.
    place_->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    place_->setShortcutContext(Qt::WidgetShortcut);
    favourite_ = AddAction(ID_PART_FAVOURITE, texts::CMD_ADD_FAVOURITE, Qt::CTRL | Qt::Key_D);
    copy_ = AddAction(ID_PART_COPY, texts::CMD_COPY, QKeySequence::Copy);
    // Ctrl+C elsewhere (the note) copies what is selected there.
    copy_->setShortcutContext(Qt::WidgetShortcut);
    folder_ = AddAction(ID_PART_SHOW_LIBRARY, texts::CMD_SHOW_LIBRARY);
    actions_.push_back(new QAction(this));
    actions_.back()->setSeparator(true);
    up_ = AddAction(ID_PART_MOVE_UP, texts::CMD_MOVE_UP, Qt::ALT | Qt::Key_Up);
    down_ = AddAction(ID_PART_MOVE_DOWN, texts::CMD_MOVE_DOWN, Qt::ALT | Qt::Key_Down);
    remove_ = AddAction(ID_PART_REMOVE_RECENT, texts::CMD_REMOVE_RECENT, QKeySequence::Delete);
    for (QAction* action : {place_, copy_, up_, down_, remove_}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        view->addAction(action);
    }
    connect(place_, &QAction::triggered, this, [this] { Place(SelectedRow()); });
    connect(favourite_, &QAction::triggered, this, &CPartCommands::ToggleFavourite);
    connect(copy_, &QAction::triggered, this, &CPartCommands::Copy);
    connect(folder_, &QAction::triggered, this, &CPartCommands::ShowLibraryFolder);
    connect(up_, &QAction::triggered, this, [this] { MoveFavourite(-1); });
    connect(down_, &QAction::triggered, this, [this] { MoveFavourite(1); });
    connect(remove_, &QAction::triggered, this, &CPartCommands::RemoveRecent);
    connect(view, &CPartsView::partDropped, this, &CPartCommands::Dropped);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (view_ == nullptr) return;
        const QModelIndex index = view_->indexAt(pos);
        if (!index.isValid()) return;
        view_->SelectItem(index.row());
        QMenu menu(view_);
        FillMenu(menu);
        menu.exec(view_->viewport()->mapToGlobal(pos));
        UpdateActions();
    });
    view->viewport()->installEventFilter(this);
    UpdateActions();
}

QAction* CPartCommands::AddAction(int id, const char* text, QKeySequence shortcut) {
    auto* action = new QAction(UiText(text), this);
    action->setData(id);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    actions_.push_back(action);
    return action;
}

int CPartCommands::SelectedRow() const {
    if (view_ == nullptr) return -1;
    const QModelIndexList rows = view_->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

PartKey CPartCommands::SelectedKey() const {
    const int row = SelectedRow();
    if (row < 0) return {};
    const int tag = view_->ItemTag(row);
    if (tag >= 0 && listing_ == view_->EntriesShown() && tag < static_cast<int>(parts_.size())) {
        return parts_[static_cast<size_t>(tag)].key;
    }
    return KeyOfPart(view_->ItemLibrary(row), view_->ItemEntry(row));
}

void CPartCommands::UpdateActions() {
    const PartCommandStates states = PartCommandsFor(doc_.history, SelectedKey(), false, shown_);
    favourite_->setText(
        UiText(states.isFavourite ? texts::CMD_REMOVE_FAVOURITE : texts::CMD_ADD_FAVOURITE));
    // The list's own commands show only with their list; every command stays enabled, so
    // that its shortcut works, and does nothing where it does not apply.
    up_->setVisible(states.showMoves);
    down_->setVisible(states.showMoves);
    remove_->setVisible(states.showRemove);
}

void CPartCommands::FillMenu(QMenu& menu) {
    UpdateActions();
    const int row = SelectedRow();
    const bool there = view_ != nullptr && view_->ItemEntry(row) != nullptr;
    const PartCommandStates states = PartCommandsFor(doc_.history, SelectedKey(), there, shown_);
    for (QAction* action : actions_) {
        if (!action->isVisible()) continue;
        QAction* item = menu.addAction(action->icon(), action->text());
        item->setSeparator(action->isSeparator());
        item->setShortcut(action->shortcut());
        bool enabled = states.place;
        if (action == favourite_) enabled = states.favourite;
        if (action == remove_) enabled = states.removeRecent;
        if (action == up_) enabled = states.moveUp;
        if (action == down_) enabled = states.moveDown;
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, action, &QAction::trigger);
    }
}

void CPartCommands::ShowKeptParts(LibraryRowKind kind) {
    shown_ = kind;
    Refresh();
}

void CPartCommands::LeaveKeptParts() {
    if (shown_ == LibraryRowKind::None) return;
    shown_ = LibraryRowKind::None;
    parts_.clear();
    if (view_ != nullptr && view_->EntriesShown() == listing_) {
        view_->ShowLibrary(doc_.CurrentLibrary());
    }
    UpdateActions();
}

void CPartCommands::RefreshShown() {
    if (view_ != nullptr && view_->EntriesShown() == listing_) Refresh();
}

void CPartCommands::Refresh() {
    if (view_ == nullptr || shown_ == LibraryRowKind::None || !doc_.IsLoaded()) return;
    const PartKey selected = SelectedKey();
    const bool recent = shown_ == LibraryRowKind::RecentParts;
    parts_ = recent ? ResolveRecent(doc_.history, doc_.Libraries())
                    : ResolveFavourites(doc_.history, doc_.Libraries());
    const bool icons = view_->DisplayMode() == CPartsView::MODE_LARGE ||
                       view_->DisplayMode() == CPartsView::MODE_XLARGE;
    std::vector<CPartsView::ListedPart> listed;
    listed.reserve(parts_.size());
    for (size_t i = 0; i < parts_.size(); ++i) {
        const ResolvedPart& part = parts_[i];
        // Under a thumbnail the use count and library go on a line of their own, the count
        // first and held to the library so that a long library name cannot hide it.
        const QString library = DisplayText(LibraryDisplayName(part.key.libraryPath));
        QString text = DisplayText(part.key.partName);
        text += icons ? QChar(QChar::LineSeparator) : QLatin1Char(' ');
        if (recent)
            text += UiText("×%1").arg(part.uses) + (icons ? QChar(QChar::Nbsp) : QLatin1Char(' '));
        text += icons ? library : UiText("(%1)").arg(library);
        const char* gone = GoneReasonText(part);
        listed.push_back(
            {part.library, part.entry, text,
             gone != nullptr ? UiText(gone).arg(DisplayText(part.key.libraryPath)) : QString(),
             static_cast<int>(i)});
    }
    view_->ShowEntries(std::move(listed),
                       recent ? texts::NO_RECENT_PARTS : texts::NO_FAVOURITE_PARTS);
    listing_ = view_->EntriesShown();
    // The part chosen before stays chosen where it still is.
    for (int row = 0; row < view_->ItemCount() && !selected.libraryPath.empty(); ++row) {
        const int tag = view_->ItemTag(row);
        if (tag >= 0 && parts_[static_cast<size_t>(tag)].key == selected) {
            view_->SelectItem(row);
            break;
        }
    }
    UpdateActions();
}

bool CPartCommands::Place(int row) {
    if (view_ == nullptr || row < 0 || view_->ItemEntry(row) == nullptr) return false;
    view_->scrollTo(view_->model()->index(row, 0));
    const QRect rect = view_->ItemRect(row);
    CPartsView::DragRequest request;
    if (!view_->PrepareDrag(rect.center(), request)) {
        if (!request.refusal.isEmpty()) doc_.ShowStatus(request.refusal.toStdString());
        return false;
    }
    doc_.ShowStatus(texts::PLACING);
    bool dropped = false;
    StartPartDrag(view_, request.libraryPath, request.partName, request.pixmap, request.hotSpot,
                  &dropped);
    doc_.ShowStatus("");
    if (dropped) Dropped(row);
    return dropped;
}

void CPartCommands::Dropped(int row) {
    if (view_ == nullptr) return;
    RecordDroppedPart(doc_, KeyOfPart(view_->ItemLibrary(row), view_->ItemEntry(row)));
    if (shown_ == LibraryRowKind::RecentParts) RefreshShown();
}

void CPartCommands::ToggleFavourite() {
    const PartKey key = SelectedKey();
    if (key.libraryPath.empty()) return;
    qurix::ToggleFavourite(doc_, key);
    if (shown_ == LibraryRowKind::Favourites) RefreshShown();
    UpdateActions();
}

void CPartCommands::Copy() {
    const int row = SelectedRow();
    if (view_ == nullptr || view_->ItemEntry(row) == nullptr) return;
    const CopiedPart copied = CopyPart(doc_, view_->ItemLibrary(row), view_->ItemEntry(row));
    if (copied.refusal != DragRefusal::None) {
        doc_.ShowStatus(DragRefusalText(copied.refusal));
        return;
    }
    std::string path;
    std::string name;
    DecodeDragBlock(copied.block, path, name);
    std::unique_ptr<QMimeData> data = MakeDragMimeData(path, name, DragPlatform::Other);
    if (!data) return;
    data->setText(DisplayText(copied.name));
    QGuiApplication::clipboard()->setMimeData(data.release());
}

void CPartCommands::ShowLibraryFolder() {
    const int row = SelectedRow();
    const CPartLibrary* library = view_ != nullptr ? view_->ItemLibrary(row) : nullptr;
    if (library == nullptr || view_->ItemEntry(row) == nullptr) return;
    const std::string folder = FolderOfPath(library->Path());
    if (folder.empty()) return;
    const QByteArray bytes(folder.data(), static_cast<qsizetype>(folder.size()));
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(bytes)));
}

void CPartCommands::MoveFavourite(int delta) {
    if (view_ == nullptr || shown_ != LibraryRowKind::Favourites) return;
    if (view_->EntriesShown() != listing_) return;
    if (MoveFavouriteBy(doc_, SelectedKey(), delta)) Refresh();
}

void CPartCommands::RemoveRecent() {
    if (view_ == nullptr || shown_ != LibraryRowKind::RecentParts) return;
    if (view_->EntriesShown() != listing_) return;
    if (RemoveRecentPart(doc_, SelectedKey())) Refresh();
}

bool CPartCommands::eventFilter(QObject* watched, QEvent* event) {
    // Only the two mouse events matter; the others pass without touching the view, which
    // may be half destroyed when its viewport hears of it.
    const QEvent::Type type = event->type();
    if ((type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease) ||
        view_ == nullptr || watched != view_->viewport()) {
        return QObject::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonDblClick) {
        if (mouse->button() == Qt::LeftButton) {
            placeOnRelease_ = view_->indexAt(mouse->position().toPoint()).row();
        }
    } else if (placeOnRelease_ >= 0) {
        // After the release: a drag started with the button down would drop at once.
        const int row = std::exchange(placeOnRelease_, -1);
        QTimer::singleShot(0, this, [this, row] { Place(row); });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qurix
