#include "ui/qt/PartsView.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/PartSummary.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "render/DisplaySettings.h"
#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"
#include "ui/qt/DragData.h"
#include "ui/qt/IconCache.h"
#include "ui/qt/ProgressDlg.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

namespace {

// More than a large screen shows at once in the densest mode, so scrolling back and
// forth decodes each thumbnail once; 16 MB at most for large icons.
constexpr size_t ICON_CACHE_CAPACITY = 1024;

}  // namespace

// The items of the list: the shown library's entries that have images. Icons are made
// from the view's thumbnails when the list asks for them.
class CPartsModel : public QAbstractListModel {
public:
    struct Item : PartsListItem {
        QString text;
        // Why a kept part is not there (greyed, not dragged); empty for one that is.
        QString gone;
        int tag = -1;
        // Shown before the load: image is in the early list's images, there is no entry.
        bool early = false;
    };

    // Another image than the specified one of the kind (extra-large, or drawn for a
    // device pixel ratio above 1); null to take the specified one.
    using Pixmap = std::function<QPixmap(const Item& item, CExtraThumbnails::Kind kind)>;

    CPartsModel(const ThumbnailSet& images, Pixmap pixmap, QObject* parent)
        : QAbstractListModel(parent), images_(images), pixmap_(std::move(pixmap)) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(items_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const Item* item = At(index.row());
        if (!index.isValid() || item == nullptr) return QVariant();
        if (!item->gone.isEmpty()) return GoneData(*item, role);
        switch (role) {
            case Qt::DisplayRole:
                return item->text;
            case Qt::ToolTipRole:
                if (item->entry == nullptr) return item->text;
                // The part's own name: the text may carry its library too.
                return QString::fromStdString(
                    PartToolTip(DisplayText(item->entry->Name()).toStdString(), *item->entry,
                                item->library != nullptr ? item->library : item->shown));
            case Qt::DecorationRole:
                return Icon(index.row());
            default:
                return QVariant();
        }
    }

    QVariant GoneData(const Item& item, int role) const {
        switch (role) {
            case Qt::DisplayRole:
                return item.text;
            case Qt::ToolTipRole:
                return item.gone;
            case Qt::DecorationRole:
                return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
            case Qt::ForegroundRole:
                return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
            default:
                return QVariant();
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        if (const Item* item = At(index.row()); item != nullptr && !item->gone.isEmpty()) {
            return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        }
        // Nothing to choose or drag before the part is loaded.
        if (const Item* item = At(index.row()); item != nullptr && item->early) {
            return Qt::ItemIsEnabled;
        }
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    }

    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::IgnoreAction; }

    const Item* At(int row) const {
        return row >= 0 && row < static_cast<int>(items_.size()) ? &items_[row] : nullptr;
    }

    void Reset(std::vector<Item> items) {
        beginResetModel();
        items_ = std::move(items);
        icons_.Clear();
        endResetModel();
    }

    // Which thumbnails; the icons made so far are dropped.
    void SetKind(CExtraThumbnails::Kind kind) {
        if (kind == kind_) return;
        kind_ = kind;
        DropIcons();
    }
    void DropIcons() {
        icons_.Clear();
        if (!items_.empty()) {
            emit dataChanged(index(0), index(static_cast<int>(items_.size()) - 1),
                             {Qt::DecorationRole});
        }
    }

    CIconCache& Icons() const { return icons_; }
    // The images of early items; null when there are none.
    void SetEarly(const EarlyList* early) { early_ = early; }

private:
    QIcon Icon(int row) const {
        if (const QIcon* kept = icons_.Find(row)) return *kept;
        if (pixmap_) {
            const QPixmap other = pixmap_(items_[row], kind_);
            if (!other.isNull()) return icons_.Put(row, QIcon(other));
        }
        if (kind_ == CExtraThumbnails::Kind::ExtraLarge) return QIcon();
        const bool large = kind_ == CExtraThumbnails::Kind::Large;
        const int32_t image = items_[row].image;
        if (image < 0) return QIcon();
        const auto index = static_cast<size_t>(image);
        ArgbImage pixels;
        if (items_[row].early) {
            if (early_ != nullptr) {
                pixels = large ? early_->LargeImage(index) : early_->SmallImage(index);
            }
        } else if (const CPackedImages& list = large ? images_.large : images_.smallImage;
                   index < list.Count()) {
            pixels = list.Image(index);
        }
        if (pixels.IsNull()) return QIcon();
        return icons_.Put(row, QIcon(QPixmap::fromImage(ToQImage(pixels))));
    }

    const ThumbnailSet& images_;
    const EarlyList* early_ = nullptr;  // the view's, while early items are listed
    std::vector<Item> items_;
    Pixmap pixmap_;
    // Thumbnails decoded for the items on screen and a few screens more.
    mutable CIconCache icons_{ICON_CACHE_CAPACITY};
    CExtraThumbnails::Kind kind_ = CExtraThumbnails::Kind::Large;
};

// Every item takes the same cell: names are elided or wrapped within it instead of
// widening items one by one, and the list need not measure every item to lay them out.
class CPartsDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void SetItemSize(QSize size) { itemSize_ = size; }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return itemSize_.isValid() ? itemSize_ : QStyledItemDelegate::sizeHint(option, index);
    }

private:
    QSize itemSize_;
};

CPartsView::CPartsView(CQurixDoc& doc, QWidget* parent)
    : QListView(parent),
      CQurixView(doc),
      store_(doc, QtCanvasMaker),
      model_(new CPartsModel(
          store_.Images(),
          [this](const CPartsModel::Item& item, CExtraThumbnails::Kind kind) {
              if (item.entry == nullptr) return QPixmap();
              return ExtraPixmap(item.image, item.entry, kind);
          },
          this)),
      delegate_(new CPartsDelegate(this)),
      profile_(doc.Profile()) {
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    ApplyMode();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CPartsView::OnSelectionChanged);
}

void CPartsView::SaveSettings() {
    WritePartsStyle(profile_, mode_);
    store_.Save();
    // The next start shows the library current now before it parses anything, in a mode
    // that can show it.
    if (EarlyListFits()) store_.SaveCurrentEarlyList(EarlyImagesOfMode(mode_));
}

int32_t CPartsView::DeviceRatio() const {
    if (deviceRatio_ > 0) return deviceRatio_;
    return std::clamp(static_cast<int32_t>(std::lround(devicePixelRatioF())), 1, MAX_DEVICE_RATIO);
}

size_t CPartsView::KeptIcons() const {
    return model_->Icons().Size();
}

void CPartsView::SetIconCapacity(size_t capacity) {
    model_->Icons().SetCapacity(capacity);
}

void CPartsView::SetDeviceRatio(int32_t ratio) {
    deviceRatio_ = ratio;
    model_->DropIcons();
    viewport()->update();
}

QPixmap CPartsView::ExtraPixmap(int32_t image, const CLibEntry* entry,
                                CExtraThumbnails::Kind kind) {
    const int32_t ratio = DeviceRatio();
    const ArgbImage drawn = store_.ExtraImage(kind, ratio, image, entry);
    if (drawn.IsNull()) return QPixmap();
    QPixmap pixmap = QPixmap::fromImage(ToQImage(drawn));
    // Drawn at the device's size, shown at the logical one.
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

bool CPartsView::ShowEarlyList(CEarlyListReader* read) {
    mode_ = ReadPartsStyle(profile_);
    if (!EarlyListFits()) return false;
    auto early = std::make_unique<EarlyList>();
    if (!store_.ReadEarlyList(*early, read) || !Holds(early->kept, EarlyImagesOfMode(mode_)))
        return false;
    ApplyMode();
    ApplyColours();
    std::vector<CPartsModel::Item> items(early->Count());
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].image = static_cast<int32_t>(i);
        items[i].text = DisplayText(early->names[i]);
        items[i].early = true;
    }
    early_ = std::move(early);
    model_->SetEarly(early_.get());
    Refill([&] { model_->Reset(std::move(items)); }, true);
    emit updated();
    return true;
}

bool CPartsView::EarlyListFits() const {
    // The list keeps large and small images at one device pixel per pixel only.
    return mode_ != MODE_XLARGE && mode_ != MODE_DETAILS && DeviceRatio() == 1;
}

void CPartsView::DropEarlyList() {
    if (early_ != nullptr) Refill([&] { model_->Reset({}); });
}

void CPartsView::OnInitialUpdate() {
    mode_ = ReadPartsStyle(profile_);
    store_.Open();
    ApplyMode();
    CQurixView::OnInitialUpdate();
}

void CPartsView::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    if (doc.TakePending(this)) store_.OnLoad();
    if (!store_.Built()) BuildImages();
    if (doc.CurrentLibrary() != nullptr && !showingEntries_) {
        ShowLibrary(doc.CurrentLibrary());
        if (CQurixDoc::Place wanted; doc.TakePlaceFor(doc.CurrentLibrary(), wanted)) {
            PutBackPlace(wanted);
        }
    } else if (doc.CurrentProblem() != nullptr && !showingEntries_ && shown_ != nullptr) {
        // A library that did not load has no parts to show.
        list_.Remember(shown_, TopItem());
        Refill([&] { model_->Reset({}); });
        shown_ = nullptr;
    }
    emit updated();
}

void CPartsView::PutBackPlace(const CQurixDoc::Place& wanted) {
    for (int row = 0; row < ItemCount() && !wanted.entryName.empty(); ++row) {
        if (ItemEntry(row)->Name() != wanted.entryName) continue;
        SelectItem(row);
        break;
    }
    ScrollItemToTopLeft(wanted.topItem);
}

void CPartsView::DeleteAllItems() {
    // A reload that keeps the place needs the top item of the library shown now.
    if (!GetDocument().place.libraryPath.empty() && shown_ != nullptr) {
        GetDocument().place.topItem = TopItem();
    }
    filling_ = true;
    model_->Reset({});
    filling_ = false;
    model_->SetEarly(nullptr);
    early_.reset();
    shown_ = nullptr;
    showingEntries_ = false;
    emit librariesReleased();
    // Keyed by libraries that are about to be released.
    list_.Forget();
    store_.Release();
}

namespace {

// The thumbnail build's progress in the progress dialog, made when the build begins.
class CDialogProgress : public CBuildProgress {
public:
    using Step = std::function<void(CProgressDlg& dialog, int32_t done)>;
    CDialogProgress(QWidget* parent, const Step& step) : parent_(parent), step_(step) {}

    void Begin(int32_t total) override {
        dialog_ = std::make_unique<CProgressDlg>(parent_);
        dialog_->SetTotal(total);
    }
    void SetPos(int32_t done) override {
        dialog_->SetPos(done);
        if (step_) step_(*dialog_, done);
    }
    bool Pump() override { return dialog_->CheckCancel(); }
    bool CancelRequested() const override { return dialog_->CancelRequested(); }
    void End(bool stopped) override {
        if (!stopped) dialog_->DestroyWindow();
        dialog_.reset();
    }

private:
    QWidget* parent_;
    const Step& step_;
    std::unique_ptr<CProgressDlg> dialog_;
};

}  // namespace

void CPartsView::BuildImages() {
    ApplyColours();
    // The items refer to images by index; none may outlive the old images. Early items
    // show their own images and stay on screen until the library replaces them.
    if (model_->rowCount(QModelIndex()) > 0 && early_ == nullptr) {
        filling_ = true;
        model_->Reset({});
        filling_ = false;
    }
    CDialogProgress progress(window(), onBuildStep);
    store_.Build(progress);
}

void CPartsView::ShowLibrary(const CPartLibrary* library) {
    if (shown_ != nullptr) list_.Remember(shown_, TopItem());
    std::vector<CPartsModel::Item> items;
    for (const PartsListItem& item : CPartsList::LibraryItems(library, store_)) {
        items.push_back({item, DisplayText(item.entry->Name()), QString(), -1});
    }
    Refill([&] { model_->Reset(std::move(items)); });

    const int32_t remembered = list_.Recall(library);
    if (remembered >= 0) ScrollItemToTopLeft(remembered);
    shown_ = library;
    showingEntries_ = false;
}

int CPartsView::ShowEntries(std::vector<ListedPart> parts, const char* emptyText) {
    emptyText_ = emptyText;
    // The library left keeps its place for the return to it.
    if (shown_ != nullptr) list_.Remember(shown_, TopItem());
    shown_ = nullptr;
    std::vector<qurix::ListedPart> listed;
    listed.reserve(parts.size());
    for (const ListedPart& part : parts) listed.push_back({part.library, part.entry});
    const std::vector<PartsListItem> kept = CPartsList::ListedItems(listed, store_);
    std::vector<CPartsModel::Item> items;
    items.reserve(kept.size());
    // The kept parts come in the given order, each with its text.
    size_t next = 0;
    for (ListedPart& part : parts) {
        if (!part.gone.isEmpty()) {
            items.push_back(
                {PartsListItem{}, std::move(part.text), std::move(part.gone), part.tag});
        } else if (next < kept.size() && kept[next].entry == part.entry &&
                   kept[next].library == part.library) {
            items.push_back({kept[next++], std::move(part.text), QString(), part.tag});
        }
    }
    ++entriesShown_;
    const int count = static_cast<int>(items.size());
    Refill([&] { model_->Reset(std::move(items)); });
    showingEntries_ = true;
    viewport()->update();
    return count;
}

QString CPartsView::EmptyMessage() const {
    return showingEntries_ && ItemCount() == 0 ? UiText(emptyText_) : QString();
}

const CPartLibrary* CPartsView::ItemLibrary(int row) const {
    const CPartsModel::Item* item = model_->At(row);
    if (item == nullptr) return nullptr;
    return item->library != nullptr ? item->library : GetDocument().CurrentLibrary();
}

void CPartsView::Refill(const std::function<void()>& reset, bool keepEarly) {
    setUpdatesEnabled(false);
    filling_ = true;
    reset();
    filling_ = false;
    if (!keepEarly) {
        model_->SetEarly(nullptr);
        early_.reset();
    }
    if (mode_ == MODE_LIST || mode_ == MODE_SMALL) SetGrid(GridFor(mode_));
    HideRowsForMode();
    executeDelayedItemsLayout();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    setUpdatesEnabled(true);
}

int CPartsView::TopItem() const {
    const int n = ItemCount();
    const QRect client = viewport()->rect();
    // Items come in their flow order, so the first one in view is the top-left one.
    for (int row = 0; row < n; ++row) {
        if (isRowHidden(row)) continue;
        if (visualRect(model_->index(row)).intersects(client)) return row;
    }
    return 0;
}

void CPartsView::SetViewStyle(int command) {
    const int mode = ModeOfCommand(command);
    if (mode < 0) return;
    const int top = TopItem();
    setUpdatesEnabled(false);
    mode_ = mode;
    ApplyMode();
    setUpdatesEnabled(true);
    ScrollItemToTopLeft(top);
}

void CPartsView::ScrollItemToTopLeft(int row) {
    if (row < 0 || row >= ItemCount() || isRowHidden(row)) return;
    executeDelayedItemsLayout();
    const QRect r = visualRect(model_->index(row));
    if (r.isEmpty()) return;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + r.left());
    if (mode_ != MODE_LIST) verticalScrollBar()->setValue(verticalScrollBar()->value() + r.top());
}

int CPartsView::ItemCount() const {
    return model_->rowCount(QModelIndex());
}

QString CPartsView::ItemText(int row) const {
    const CPartsModel::Item* item = model_->At(row);
    return item != nullptr ? item->text : QString();
}

const CLibEntry* CPartsView::ItemEntry(int row) const {
    const CPartsModel::Item* item = model_->At(row);
    return item != nullptr ? item->entry : nullptr;
}

int CPartsView::ItemTag(int row) const {
    const CPartsModel::Item* item = model_->At(row);
    return item != nullptr ? item->tag : -1;
}

int32_t CPartsView::ItemImage(int row) const {
    const CPartsModel::Item* item = model_->At(row);
    return item != nullptr ? item->image : -1;
}

QRect CPartsView::ItemRect(int row) const {
    if (row < 0 || row >= ItemCount() || isRowHidden(row)) return QRect();
    return visualRect(model_->index(row));
}

void CPartsView::SelectItem(int row) {
    if (row < 0 || row >= ItemCount()) return;
    const QModelIndex index = model_->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

int32_t CPartsView::ImageIndex(const CLibEntry* entry) const {
    return store_.ImageIndex(entry);
}

void CPartsView::ApplyMode() {
    // Each mode sets what the others may have changed.
    if (mode_ == MODE_LARGE || mode_ == MODE_XLARGE) {
        const int side = mode_ == MODE_XLARGE ? EXTRA_LARGE_THUMBNAIL_SIDE : LARGE_THUMB_SIZE;
        setViewMode(QListView::IconMode);
        setFlow(QListView::LeftToRight);
        setIconSize(QSize(side, side));
        setWordWrap(true);
    } else {
        setViewMode(QListView::ListMode);
        setFlow(mode_ == MODE_SMALL ? QListView::LeftToRight : QListView::TopToBottom);
        setIconSize(QSize(SMALL_THUMB_SIZE, SMALL_THUMB_SIZE));
        setWordWrap(false);
    }
    setWrapping(true);
    SetGrid(GridFor(mode_));
    setTextElideMode(Qt::ElideRight);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    // Items can be dragged out; nothing is taken in.
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setAcceptDrops(false);
    setDefaultDropAction(Qt::CopyAction);
    model_->SetKind(mode_ == MODE_XLARGE  ? CExtraThumbnails::Kind::ExtraLarge
                    : mode_ == MODE_LARGE ? CExtraThumbnails::Kind::Large
                                          : CExtraThumbnails::Kind::Small);
    HideRowsForMode();
}

void CPartsView::HideRowsForMode() {
    const bool hide = mode_ == MODE_DETAILS;
    const int n = ItemCount();
    for (int row = 0; row < n; ++row) {
        if (isRowHidden(row) != hide) setRowHidden(row, hide);
    }
}

void CPartsView::SetGrid(QSize grid) {
    // A small gap between neighbours.
    delegate_->SetItemSize(grid - QSize(GRID_GAP, GRID_GAP));
    setGridSize(grid);
}

void CPartsView::initViewItemOption(QStyleOptionViewItem* option) const {
    QListView::initViewItemOption(option);
    // Names start right under the image, one line or two.
    if (mode_ == MODE_LARGE || mode_ == MODE_XLARGE)
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
}

QSize CPartsView::GridFor(int mode) const {
    const QFontMetrics fm = fontMetrics();
    const int pad = 6;
    switch (mode) {
        case MODE_LARGE: {
            // Two lines of name under the image.
            const int width = std::max(LARGE_THUMB_SIZE + 2 * pad, fm.averageCharWidth() * 13);
            return QSize(width, LARGE_THUMB_SIZE + 2 * fm.lineSpacing() + 2 * pad);
        }
        case MODE_XLARGE: {
            const int side = EXTRA_LARGE_THUMBNAIL_SIDE;
            const int width = std::max(side + 2 * pad, fm.averageCharWidth() * 20);
            return QSize(width, side + 2 * fm.lineSpacing() + 2 * pad);
        }
        case MODE_SMALL: {
            // As wide as the widest name within reason: a fixed cut made names that differ
            // only at the end ("C_POL_IE…") look the same.
            const int width = SMALL_THUMB_SIZE + 4 * pad + WidestName(14, 40);
            return QSize(width, SMALL_THUMB_SIZE + pad);
        }
        default: {
            // List columns are as wide as the widest name, within reason.
            return QSize(SMALL_THUMB_SIZE + 4 * pad + WidestName(8, 40), SMALL_THUMB_SIZE + pad);
        }
    }
}

int CPartsView::WidestName(int leastChars, int mostChars) const {
    const QFontMetrics fm = fontMetrics();
    int widest = fm.averageCharWidth() * leastChars;
    const int n = ItemCount();
    for (int row = 0; row < n; ++row)
        widest = std::max(widest, fm.horizontalAdvance(ItemText(row)));
    return std::min(widest, fm.averageCharWidth() * mostChars);
}

void CPartsView::ApplyColours() {
    const CColourTable& colours = GetDocument().Settings().colours;
    QPalette p = palette();
    const QColor background = ToQColor(colours.Get(ColourKey::BG));
    const QColor text = ToQColor(colours.Get(ColourKey::ComponentName));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, background);
        p.setColor(group, QPalette::Window, background);
        p.setColor(group, QPalette::Text, text);
    }
    setPalette(p);
}

void CPartsView::OnSelectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected) {
    if (filling_) return;
    // The item whose state changed last: the newly selected one, or the one let go of
    // (which keeps its part current when a click lands in empty space).
    const QItemSelection& changed = selected.isEmpty() ? deselected : selected;
    if (changed.isEmpty() || changed.indexes().isEmpty()) return;
    CQurixDoc& doc = GetDocument();
    const CPartsModel::Item* item = model_->At(changed.indexes().first().row());
    doc.SetCurrentEntry(item != nullptr ? item->entry : nullptr);
    // A listed part brings its library with it.
    if (item != nullptr && item->library != nullptr) doc.SetCurrentLibrary(item->library);
    doc.UpdateAllViews(this);
}

QPixmap CPartsView::DragPixmap(int row, QRect& itemRect) const {
    itemRect = ItemRect(row);
    if (itemRect.isEmpty()) return QPixmap();
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(itemRect.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = QRect(QPoint(0, 0), itemRect.size());
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    option.state |= QStyle::State_Enabled;
    const QModelIndex index = model_->index(row);
    itemDelegateForIndex(index)->paint(&painter, option, index);
    return pixmap;
}

void CPartsView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    // Moved to a screen of another density: icons are made again for it.
    if (const int32_t ratio = DeviceRatio(); ratio != paintedRatio_) {
        paintedRatio_ = ratio;
        model_->DropIcons();
    }
    QListView::paintEvent(event);
    const QString empty = EmptyMessage();
    if (!empty.isEmpty()) {
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(viewport()->rect().adjusted(0, GRID_GAP * 2, 0, 0),
                         Qt::AlignHCenter | Qt::AlignTop, empty);
    }
    emit painted();
}

void CPartsView::mousePressEvent(QMouseEvent* event) {
    pressPos_ = event->position().toPoint();
    QListView::mousePressEvent(event);
}

bool CPartsView::PrepareDrag(QPoint pressPos, DragRequest& request) const {
    request = DragRequest();
    const QModelIndex pressed = indexAt(pressPos);
    if (!pressed.isValid()) return false;
    const CLibEntry* entry = ItemEntry(pressed.row());
    const CPartLibrary* library = ItemLibrary(pressed.row());
    // Copies: the drag loop runs events, and nothing may refer into the libraries then.
    const std::string path = library != nullptr && entry != nullptr ? library->Path() : "";
    const std::string name = entry != nullptr ? std::string(entry->Name()) : std::string();
    std::string block;
    // The editor opens the library by the block's path: under Wine, its Windows form.
    const CWinePaths editorPaths =
        ConfiguredPaths(GetDocument().Profile(), GetDocument().ConfigFolder());
    const DragRefusal refusal = MakePartDragBlock(path, name, block, &editorPaths);
    if (refusal != DragRefusal::None) {
        request.refusal = QString::fromUtf8(DragRefusalText(refusal));
        return false;
    }
    // The path as the block holds it, for the data the drag offers.
    std::string sameName;
    DecodeDragBlock(block, request.libraryPath, sameName);
    request.partName = name;
    QRect itemRect;
    request.pixmap = DragPixmap(pressed.row(), itemRect);
    request.hotSpot = pressPos - itemRect.topLeft();
    return true;
}

void CPartsView::startDrag(Qt::DropActions /*supportedActions*/) {
    DragRequest request;
    if (!PrepareDrag(pressPos_, request)) {
        if (!request.refusal.isEmpty()) GetDocument().ShowStatus(request.refusal.toStdString());
        return;
    }
    const int row = indexAt(pressPos_).row();
    bool dropped = false;
    StartPartDrag(this, request.libraryPath, request.partName, request.pixmap, request.hotSpot,
                  &dropped);
    if (dropped) emit partDropped(row);
}

}  // namespace qurix
