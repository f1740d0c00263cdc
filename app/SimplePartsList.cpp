#include "app/SimplePartsList.h"

#include "app/QurixDoc.h"
#include "app/TextDisplay.h"
#include "core/library/PartLibrary.h"

namespace qurix {

namespace {

constexpr int ID_VIEW_SMALLICON = 0xE810;
constexpr int ID_VIEW_LARGEICON = 0xE811;
constexpr int ID_VIEW_LIST = 0xE812;
constexpr int ENTRY_ROLE = Qt::UserRole + 1;

}  // namespace

CSimplePartsList::CSimplePartsList(CQurixDoc& doc, QWidget* parent)
    : QListWidget(parent), CQurixView(doc) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSpacing(3);
    ApplyMode();
    // Selections only: the focus alone marks an item current without choosing it.
    connect(this, &QListWidget::itemSelectionChanged, this, &CSimplePartsList::OnSelectionChanged);
}

void CSimplePartsList::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    doc.TakePending(this);
    const CPartLibrary* lib = doc.currentLibrary;
    if (!lib || lib == shown_) return;
    filling_ = true;
    clear();
    for (int32_t i = 0; i < lib->EntryCount(); ++i) {
        const CLibEntry* entry = lib->Entry(i);
        if (!entry) continue;
        auto* item = new QListWidgetItem(DisplayText(entry->Name()), this);
        item->setData(ENTRY_ROLE, QVariant::fromValue(static_cast<const void*>(entry)));
    }
    filling_ = false;
    shown_ = lib;
}

void CSimplePartsList::DeleteAllItems() {
    filling_ = true;
    clear();
    filling_ = false;
    shown_ = nullptr;
}

void CSimplePartsList::SetViewStyle(int command) {
    switch (command) {
        case ID_VIEW_SMALLICON:
            mode_ = MODE_SMALL;
            break;
        case ID_VIEW_LARGEICON:
            mode_ = MODE_LARGE;
            break;
        case ID_VIEW_LIST:
            mode_ = MODE_LIST;
            break;
        default:
            return;
    }
    ApplyMode();
}

void CSimplePartsList::ApplyMode() {
    if (mode_ == MODE_LIST) {
        setViewMode(QListView::ListMode);
        setFlow(QListView::TopToBottom);
        setWrapping(true);
        setIconSize(QSize(32, 32));
    } else {
        setViewMode(mode_ == MODE_LARGE ? QListView::IconMode : QListView::ListMode);
        setFlow(QListView::LeftToRight);
        setWrapping(true);
        setIconSize(mode_ == MODE_LARGE ? QSize(64, 64) : QSize(32, 32));
    }
    setMovement(QListView::Static);
}

void CSimplePartsList::OnSelectionChanged() {
    if (filling_) return;
    const QList<QListWidgetItem*> items = selectedItems();
    // Letting go of the selection keeps the part current.
    if (items.isEmpty()) return;
    CQurixDoc& doc = GetDocument();
    doc.currentEntry =
        static_cast<const CLibEntry*>(items.first()->data(ENTRY_ROLE).value<const void*>());
    doc.UpdateAllViews(this);
}

}  // namespace qurix
