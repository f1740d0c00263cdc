#pragma once
#include <QList>
#include <QMainWindow>
#include <QRect>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/profile/Profile.h"
#include "palette/CommandIds.h"
#include "palette/QurixDoc.h"
#include "palette/WindowLayout.h"

class QAction;
class QLabel;
class QActionGroup;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace qurix {

class CPlibView;
class CPartView;
class CInfoView;
class CPartsView;
class CPartsPane;
class CLibraryWatcher;
class CQtUiHost;
class CPartCommands;
class CPinTableView;

// The right-hand pane's class.
using CPartsListPane = CPartsView;

// The palette's only window: a toolbar, and two splitters holding the parts list on
// the right and the library list, preview and info view on the left. Its size and the
// pane sizes persist in section "qurix".
class CMainFrame : public QMainWindow, private CDocListener {
    Q_OBJECT
public:
    static constexpr const char* TITLE = "Qurix";

    // The window's size and position are those of its normal (not maximised) state,
    // without the frame.
    using Layout = WindowLayout;

    // Reads the layout, makes the toolbar, the menu and the four views (parts list,
    // library list, preview, info: the document's view order) and sizes the window.
    // configFound false: no KIVOX.INI is there (the title names none, the About box too).
    CMainFrame(CQurixDoc& doc, bool configFound = true, QWidget* parent = nullptr);
    ~CMainFrame() override;

    static Layout ReadLayout(const CProfile& profile);
    // wanted moved onto the screen it overlaps most (else the first) and made no larger
    // than that screen; unchanged when there are no screens.
    static QRect PlaceOnScreens(QRect wanted, const QList<QRect>& screens);
    // The layout as the window and splitters have it now.
    Layout CurrentLayout() const;

    // Writes what the views keep ("parts_style" and the cache, "plib_last"), then the five
    // layout keys. Called when the window closes.
    void SaveSettings();
    // Writes "parts_style" as it is, once after start: the settings are otherwise written
    // only at close, where a failure could not be shown. A failure is told in the status
    // bar ("設定を保存できません: <path>"); false then.
    bool CheckSettingsWritable();
    // Enables the commands and sets the view-mode radio marks from the parts list.
    void UpdateCommandStates();
    // A line in the status bar until the next one (why a drag or a settings write did not
    // happen). A line longer than the bar has room for is shown whole in its tool tip.
    void ShowStatus(const QString& text);
    // The permanent fields (parts shown or found, libraries with problems, zoom) from the
    // panes as they are now. No tool tip or message covers them.
    void UpdateStatusFields();
    QLabel* StatusField(int i) const { return fields_[i]; }
    enum { FIELD_PARTS, FIELD_PROBLEMS, FIELD_ZOOM, FIELD_COUNT };
    // F6 and Shift+F6: the focus to the next or previous pane.
    void ActivateNextPane(bool previous);
    // The pane holding the focus (0 library list, 1 preview, 2 info, 3 parts list), -1.
    int ActivePane() const;

    // The first-start page in the parts pane: where the palette looked (FirstStartPlaces).
    void ShowFirstStart(const std::vector<std::string>& places);
    // Asks the user for a KIVOX.INI and hands it to onOpenConfig.
    void OnOpenConfig();
    std::function<void(const std::string&)> onOpenConfig;
    // The close writes nothing: the window goes for another KIVOX.INI than the rule's.
    void DiscardSettingsAtClose() { saveOnClose_ = false; }
    // "Qurix - <the INI in use>", or "Qurix" when none was found.
    static QString TitleFor(const std::string& configPath, bool found);

    // Whether the start has loaded the libraries and built their images; startFinished is
    // sent when it has (a start that shows the early list first loads after showing it).
    bool StartFinished() const { return startFinished_; }
    void MarkStartFinished();

    // The action of a command (app/CommandIds.h), null for one the window does not have.
    QAction* Action(int id) const;
    QToolBar* ToolBar() const { return toolBar_; }
    QSplitter* OuterSplitter() const { return outer_; }
    QSplitter* InnerSplitter() const { return inner_; }
    CPartsListPane* PartsList() const { return partsList_; }
    // The search field with the parts list under it.
    CPartsPane* PartsPane() const { return partsPane_; }
    CPlibView* LibraryList() const { return plibView_; }
    CPartView* Preview() const { return partView_; }
    CInfoView* Info() const { return infoView_; }
    // The note pane's pages: the note and the pin table.
    QTabWidget* NotePages() const { return notes_; }
    CPinTableView* PinTable() const { return pinTable_; }
    CPartCommands* PartCommands() const { return partCommands_; }
    CLibraryWatcher* Watcher() const { return watcher_; }

signals:
    void startFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateClient(const Layout& layout);
    void CreateStatusBar();
    // The pin table beside the note, and the part commands with their menu.
    void CreatePartTools();
    QAction* AddAction(int id, const QString& text, const QString& tip = QString());
    void OnFileReload();
    void OnViewStyle(int id);
    // "auto_reload" in "qurix", 1 by default.
    void OnAutoReloadToggled(bool on);
    // Reloads keeping the place, and says which files it read again.
    void OnFilesChanged(const std::vector<std::string>& paths);
    QWidget* Pane(int i) const;
    // The files a load names are watched; a close held back by a build happens after it.
    void OnLoaded() override;
    void OnCloseAfterBusy() override;

    CQurixDoc& doc_;
    std::unique_ptr<CQtUiHost> host_;
    CProfile profile_;
    std::map<int, QAction*> actions_;
    QActionGroup* viewModes_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QSplitter* outer_ = nullptr;
    QSplitter* inner_ = nullptr;
    CPartsListPane* partsList_ = nullptr;
    CPartsPane* partsPane_ = nullptr;
    CPlibView* plibView_ = nullptr;
    CPartView* partView_ = nullptr;
    CInfoView* infoView_ = nullptr;
    QTabWidget* notes_ = nullptr;
    CPinTableView* pinTable_ = nullptr;
    CPartCommands* partCommands_ = nullptr;
    CLibraryWatcher* watcher_ = nullptr;
    // The layout read at start: the normal geometry until the window has had one.
    Layout startLayout_;
    bool configFound_;
    bool saveOnClose_ = true;
    bool startFinished_ = false;
    QWidget* firstStartPage_ = nullptr;  // a child of the parts pane, when shown
    QLabel* fields_[FIELD_COUNT] = {};
};

}  // namespace qurix
