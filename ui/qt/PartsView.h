#pragma once
#include <QListView>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/profile/Profile.h"
#include "palette/CommandIds.h"
#include "palette/EntryIdentities.h"
#include "palette/ExtraThumbnails.h"
#include "palette/FileStamp.h"
#include "palette/ImageCache.h"
#include "palette/QurixDoc.h"
#include "palette/QurixView.h"

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
    static constexpr int MODE_LARGE = 0;
    static constexpr int MODE_DETAILS = 1;  // no columns, so nothing shows
    static constexpr int MODE_SMALL = 2;
    static constexpr int MODE_LIST = 3;
    // 128 x 128 thumbnails, kept in their own cache file.
    static constexpr int MODE_XLARGE = 4;

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
    };
    // Lists the parts that have images, in the given order, instead of a library, until
    // ShowLibrary; document updates leave the list alone meanwhile. An item's tool tip
    // names its library. Returns how many are listed.
    int ShowEntries(std::vector<ListedPart> parts);
    bool ShowingEntries() const { return showingEntries_; }
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
    const ThumbnailSet& Images() const { return images_; }
    bool CacheValid() const { return cacheValid_; }
    bool CacheDirty() const { return cacheDirty_; }
    const std::string& CacheFolder() const { return cacheFolder_; }
    // Scrolls so that the item's rectangle starts at the top left (only left in list mode).
    void ScrollItemToTopLeft(int row);
    // Device pixels per logical pixel the thumbnails are drawn for: the screen's, rounded,
    // unless set (tests; 0 follows the screen again).
    int32_t DeviceRatio() const;
    void SetDeviceRatio(int32_t ratio);
    // The extra-large thumbnails and those for a device pixel ratio above 1.
    const CExtraThumbnails& Extras() const { return extras_; }
    // How often the list was painted.
    int PaintCount() const { return paintCount_; }
    // The icons kept for the items (at most IconCapacity, tests may lower it).
    size_t KeptIcons() const;
    void SetIconCapacity(size_t capacity);

    struct BuildStats {
        int32_t total = 0;     // entries of all libraries
        int32_t done = 0;      // entries walked before the build ended
        int32_t rendered = 0;  // images drawn
        int32_t reused = 0;    // images taken from the cache
        bool stopped = false;  // cancelled, or the window was closed
        int32_t workers = 0;   // threads that drew in the background (0: the window's own)
    };
    const BuildStats& LastBuild() const { return lastBuild_; }
    // How many threads draw thumbnails: 0 (the default) takes "render_threads" of section
    // "qurix", and where that is missing or 0 one per core; 1 draws on the window's own
    // thread.
    void SetRenderThreads(int32_t threads) { renderThreads_ = threads; }
    // Called after each entry of a build, before the cancel check (tests cancel from here).
    std::function<void(CProgressDlg& dialog, int32_t done)> onBuildStep;

signals:
    // At the end of every update, and when the libraries are about to go.
    void updated();
    void librariesReleased();

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
    // The steps of BuildImages.
    struct Build;
    struct BuildStep;
    std::vector<const CPartLibrary*> CollectLibraries() const;
    // The entries of all loaded libraries: no cache file may hold more images.
    size_t EntryTotal() const;
    int32_t AppendImage(const ArgbImage& large, const ArgbImage& small, int32_t ordinal,
                        uint64_t identity);
    // Appends image index of from (a cached or previous set) for the entry at ordinal.
    int32_t TakeImage(const ThumbnailSet& from, size_t index, int32_t ordinal);
    // Lists every entry with where its image comes from, and starts drawing those that
    // neither the cache nor the previous load has.
    // identities holds every entry's ImageIdentity, in entry order.
    void PlanImages(Build& build, const std::vector<const CPartLibrary*>& libraries,
                    const std::vector<uint64_t>& identities,
                    std::map<std::string, FileStamp>& stamps);
    // Finds the cached image of the entry at ordinal, or the previous load's one when its
    // library did not change; false when neither shows it.
    bool FindCachedImage(Build& build, BuildStep& step, int32_t ordinal) const;
    // Takes the cached, or the previous load's, image of a planned entry.
    void ReuseImage(Build& build, BuildStep& step);
    // Takes the entry's drawn images, in entry order, running events while they are drawn;
    // false when the build was stopped meanwhile.
    bool RenderImage(Build& build, CProgressDlg& dialog, BuildStep& step);
    // Shows progress and runs events; stops the build on a cancel or a close.
    void Pump(Build& build, CProgressDlg& dialog, bool drawn);
    // Runs queued events; false on a cancel or a close.
    bool RunEvents(CProgressDlg& dialog);
    void KeepUnreachedImages(Build& build);
    // After a reload that keeps the place: selects the part and scrolls back.
    void PutBackPlace(CQurixDoc::Place& place);

    // The item's image when it is not one of images_; null for those.
    QPixmap ExtraPixmap(int32_t image, const CLibEntry* entry, CExtraThumbnails::Kind kind);
    void ApplyMode();
    // Replaces the items through reset (no selection change reaches the document), lays
    // them out for the mode and scrolls to the top.
    void Refill(const std::function<void()>& reset);
    void ApplyColours();
    void HideRowsForMode();
    // The list's cell sizes for the mode, from the font and (list mode) the widest name.
    QSize GridFor(int mode) const;
    // The widest item name in pixels, kept between the widths of so many average characters.
    int WidestName(int leastChars, int mostChars) const;
    void SetGrid(QSize grid);
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    static constexpr int GRID_GAP = 4;

    CPartsModel* model_;
    CPartsDelegate* delegate_;
    CProfile profile_;
    int mode_ = MODE_LARGE;
    const CPartLibrary* shown_ = nullptr;
    // The thumbnails of all entries in image-index order, and which entry has which.
    ThumbnailSet images_;
    std::unordered_map<const CLibEntry*, int32_t> imageIndex_;
    // The identities of the loaded libraries' entries, for the next build.
    CEntryIdentities identities_;
    // False from a load until the images of that load have been built (even when the
    // build was cancelled before any image, so a cancelled build is not started again by
    // every later notification).
    bool imagesBuilt_ = false;
    std::map<const CPartLibrary*, int> scrollMemory_;
    std::string cacheFolder_;
    bool cacheValid_ = false;
    bool cacheDirty_ = false;
    // The libraries' lines as they were when the images were built: what the cache files
    // say the images were made from.
    std::vector<std::string> libraryLines_;
    // The DrawingDigest of the settings the images were built with.
    uint64_t drawing_ = 0;
    BuildStats lastBuild_;
    // Between a reload and its build: the images of the load before. The file of each
    // library as it was when the last build began.
    ThumbnailSet previous_;
    std::map<std::string, FileStamp> builtStamps_;
    CExtraThumbnails extras_;
    int32_t deviceRatio_ = 0;
    int32_t renderThreads_ = 0;
    int32_t paintedRatio_ = 1;
    bool filling_ = false;
    bool showingEntries_ = false;
    QPoint pressPos_;
    int paintCount_ = 0;
};

}  // namespace qurix
