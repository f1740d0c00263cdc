#pragma once
#include <QListView>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/profile/Profile.h"
#include "palette/CommandIds.h"
#include "palette/EarlyList.h"
#include "palette/ExtraThumbnails.h"
#include "palette/ImageCache.h"
#include "palette/PartsList.h"
#include "palette/QurixDoc.h"
#include "palette/QurixView.h"
#include "palette/Texts.h"
#include "palette/ThumbnailStore.h"

namespace qurix {

class CLibEntry;
class CPartLibrary;
class CPartsDelegate;
class CPartsModel;
class CProgressDlg;

// The right-hand pane: the current library's parts as large or small thumbnails or as a
// list. It owns the thumbnails of every part of every loaded library (built after each
// load, taken from the cache in ./cache when that still matches the libraries), remembers
// per library where the list was scrolled, makes the selected part the document's current
// entry, and is the drag source that hands a part to the editor.
class CPartsView : public QListView, public CQurixView {
    Q_OBJECT
public:
    // The display modes, as "parts_style" numbers them.
    static constexpr int MODE_LARGE = qurix::MODE_LARGE;
    static constexpr int MODE_DETAILS = qurix::MODE_DETAILS;  // no columns, so nothing shows
    static constexpr int MODE_SMALL = qurix::MODE_SMALL;
    static constexpr int MODE_LIST = qurix::MODE_LIST;
    // 128 x 128 thumbnails, kept in their own cache file.
    static constexpr int MODE_XLARGE = qurix::MODE_XLARGE;

    CPartsView(CQurixDoc& doc, QWidget* parent = nullptr);

    // Writes "parts_style" and, when this run built images not taken from a valid cache,
    // the cache files.
    void SaveSettings();

    // Reads the display mode and the cache, then updates.
    void OnInitialUpdate() override;
    // After a load: builds the images. Then shows the current library, if any.
    void OnUpdate(CQurixView* sender) override;
    // The libraries are about to go: the items and every reference into them go first.
    void DeleteAllItems() override;

    // Before the first load: lists the parts of the library shown at the last close from
    // the early list, when it may be shown (palette/EarlyList.h) in this mode; its items
    // are neither selected nor dragged. The first library or entries listed replace them,
    // DropEarlyList lets them go when none is. False, listing nothing, otherwise. read: the
    // file as read while the window was built, if it was.
    bool ShowEarlyList(CEarlyListReader* read = nullptr);
    void DropEarlyList();
    bool ShowingEarlyList() const { return early_ != nullptr; }

    // Gives every entry of every loaded library its images, from the cache when it is
    // valid, else by drawing, under the progress dialog. Cancel (or closing the main
    // window) stops it at once; the entries not reached have no image and are not listed.
    void BuildImages();
    // Lists the library's entries that have images, after remembering where the library
    // shown so far was scrolled; scrolls back to where this one was left.
    void ShowLibrary(const CPartLibrary* library);
    // Parts of any libraries (search results), each with the library it drags from.
    struct ListedPart {
        const CPartLibrary* library;
        const CLibEntry* entry;
        QString text;
        // A kept part that is no longer there: listed greyed with this reason as its tool
        // tip, never dragged.
        QString gone = {};
        // The caller's own number of the part (ItemTag).
        int tag = -1;
    };
    // Lists the parts that have images, in the given order, instead of a library, until
    // ShowLibrary; document updates leave the list alone meanwhile. An item's tool tip
    // names its library. Returns how many are listed. emptyText (UTF-8) is what the list
    // says when none is listed.
    int ShowEntries(std::vector<ListedPart> parts,
                    const char* emptyText = texts::SEARCH_NOTHING_FOUND);
    bool ShowingEntries() const { return showingEntries_; }
    // How many times ShowEntries listed parts (who listed them last can tell it was them).
    int EntriesShown() const { return entriesShown_; }
    // The tag ShowEntries was given for the item; -1 for a library's own item.
    int ItemTag(int row) const;
    // What the list says when it shows no entries: empty unless ShowEntries listed none.
    QString EmptyMessage() const;
    // The library an item drags from: its own for listed parts, else the document's
    // current library.
    const CPartLibrary* ItemLibrary(int row) const;
    // The item at the top left of the list (in list mode the first item of the leftmost
    // visible column); 0 when nothing is visible.
    int TopItem() const;
    // ID_VIEW_SMALLICON, ID_VIEW_LARGEICON, ID_VIEW_LIST, ID_VIEW_XLARGEICON
    // (app/CommandIds.h); other commands
    // do nothing. The item at the top left stays there.
    void SetViewStyle(int command);
    int DisplayMode() const { return mode_; }

    // --- State, for the window and tests ---
    const CPartLibrary* ShownLibrary() const { return shown_; }
    int ItemCount() const;
    QString ItemText(int row) const;
    const CLibEntry* ItemEntry(int row) const;
    int32_t ItemImage(int row) const;
    // The item's rectangle in viewport coordinates (empty when out of range or hidden).
    QRect ItemRect(int row) const;
    // Selects the item as a click would (notifying the other views).
    void SelectItem(int row);
    // The image index of an entry, -1 when it has none.
    int32_t ImageIndex(const CLibEntry* entry) const;
    const ThumbnailSet& Images() const { return store_.Images(); }
    bool CacheValid() const { return store_.CacheValid(); }
    bool CacheDirty() const { return store_.CacheDirty(); }
    const std::string& CacheFolder() const { return store_.CacheFolder(); }
    // Scrolls so that the item's rectangle starts at the top left (only left in list mode).
    void ScrollItemToTopLeft(int row);
    // Device pixels per logical pixel the thumbnails are drawn for: the screen's, rounded,
    // unless set (tests; 0 follows the screen again).
    int32_t DeviceRatio() const;
    void SetDeviceRatio(int32_t ratio);
    // The extra-large thumbnails and those for a device pixel ratio above 1.
    const CExtraThumbnails& Extras() const { return store_.Extras(); }
    // How often the list was painted.
    int PaintCount() const { return paintCount_; }
    // The icons kept for the items (at most IconCapacity, tests may lower it).
    size_t KeptIcons() const;
    void SetIconCapacity(size_t capacity);

    using BuildStats = CThumbnailStore::BuildStats;
    const BuildStats& LastBuild() const { return store_.LastBuild(); }
    // How many threads draw thumbnails (CThumbnailStore::SetRenderThreads).
    void SetRenderThreads(int32_t threads) { store_.SetRenderThreads(threads); }
    // Called after each entry of a build, before the cancel check (tests cancel from here).
    std::function<void(CProgressDlg& dialog, int32_t done)> onBuildStep;

signals:
    // At the end of every update, and when the libraries are about to go.
    void updated();
    void librariesReleased();
    // After every paint of the list.
    void painted();
    // A drag of the item at row ended in a drop the target accepted.
    void partDropped(int row);

public:
    // What a drag from the item under pressPos (viewport coordinates) hands over: the
    // path of the item's library (ItemLibrary), the part's name, the item's image and the
    // pointer's offset inside it. False when nothing may be dragged: no item there, no
    // library, or a path or name that does not fit the block; refusal then says why (empty
    // when there was no item).
    struct DragRequest {
        std::string libraryPath;
        std::string partName;
        QPixmap pixmap;
        QPoint hotSpot;
        QString refusal;
    };
    bool PrepareDrag(QPoint pressPos, DragRequest& request) const;

    // The drag image of an item: its icon and label on a transparent ground, as the list
    // draws them, unselected. itemRect receives the item's rectangle in the viewport.
    QPixmap DragPixmap(int row, QRect& itemRect) const;

protected:
    void initViewItemOption(QStyleOptionViewItem* option) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    // After a reload that keeps the place: selects the part and scrolls back.
    void PutBackPlace(const CQurixDoc::Place& wanted);
    // Whether the mode and screen show the images the early list keeps.
    bool EarlyListFits() const;
    // The images the early list of this mode needs.

    // The item's image when it is not one of the store's own; null for those.
    QPixmap ExtraPixmap(int32_t image, const CLibEntry* entry, CExtraThumbnails::Kind kind);
    void ApplyMode();
    // Replaces the items through reset (no selection change reaches the document), lays
    // them out for the mode and scrolls to the top.
    void Refill(const std::function<void()>& reset, bool keepEarly = false);
    void ApplyColours();
    void HideRowsForMode();
    // The list's cell sizes for the mode, from the font and (list mode) the widest name.
    QSize GridFor(int mode) const;
    // The widest item name in pixels, kept between the widths of so many average characters.
    int WidestName(int leastChars, int mostChars) const;
    void SetGrid(QSize grid);
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    static constexpr int GRID_GAP = 4;

    // Declared before the model, which shows its images.
    CThumbnailStore store_;
    CPartsModel* model_;
    CPartsDelegate* delegate_;
    CProfile profile_;
    int mode_ = MODE_LARGE;
    const CPartLibrary* shown_ = nullptr;
    CPartsList list_;
    int32_t deviceRatio_ = 0;
    int32_t paintedRatio_ = 1;
    bool filling_ = false;
    bool showingEntries_ = false;
    const char* emptyText_ = texts::SEARCH_NOTHING_FOUND;
    QPoint pressPos_;
    int paintCount_ = 0;
    // The images of the items shown before the first load; null once they are replaced.
    std::unique_ptr<EarlyList> early_;
    int entriesShown_ = 0;
};

}  // namespace qurix
