#pragma once
#include <QMainWindow>
#include <map>

#include "core/profile/Profile.h"

class QAction;
class QActionGroup;
class QSplitter;
class QToolBar;

namespace qurix {

class CQurixDoc;
class CPlibView;
class CPartView;
class CInfoView;
class CPartsView;
class CPartsPane;

// The right-hand pane's class.
using CPartsListPane = CPartsView;

// The palette's only window: a toolbar, and two splitters holding the parts list on
// the right and the library list, preview and info view on the left. Its size and the
// pane sizes persist in section "qurix".
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int ID_FILE_RELOAD = 0x8003;
    static constexpr int ID_APP_ABOUT = 0xE140;
    static constexpr int ID_APP_EXIT = 0xE141;
    static constexpr int ID_VIEW_TOOLBAR = 0xE800;
    static constexpr int ID_VIEW_SMALLICON = 0xE810;
    static constexpr int ID_VIEW_LARGEICON = 0xE811;
    static constexpr int ID_VIEW_LIST = 0xE812;
    static constexpr int ID_VIEW_DETAILS = 0xE813;
    static constexpr int ID_VIEW_BYNAME = 0xE814;
    static constexpr int ID_VIEW_AUTOARRANGE = 0xE815;

    // The layout when the configuration file has none.
    static constexpr int DEFAULT_WIN_WIDTH = 320;
    static constexpr int DEFAULT_WIN_HEIGHT = 600;
    static constexpr int DEFAULT_PLV_WIDTH = 160;
    static constexpr int DEFAULT_PLV_HEIGHT = 200;
    static constexpr int DEFAULT_PRT_HEIGHT = 200;

    static constexpr const char* TITLE = "Qurix";

    struct Layout {
        int winWidth = DEFAULT_WIN_WIDTH;
        int winHeight = DEFAULT_WIN_HEIGHT;
        int plvWidth = DEFAULT_PLV_WIDTH;
        int plvHeight = DEFAULT_PLV_HEIGHT;
        int prtHeight = DEFAULT_PRT_HEIGHT;
    };

    // Reads the layout, makes the toolbar, the menu and the four views (parts list,
    // library list, preview, info: the document's view order) and sizes the window.
    CMainFrame(CQurixDoc& doc, QWidget* parent = nullptr);
    // The views save their own settings as they go, then the five layout keys are
    // written, in that order.
    ~CMainFrame() override;

    static Layout ReadLayout(const CProfile& profile);
    // The layout as the window and splitters have it now.
    Layout CurrentLayout() const;

    // Runs a command as its menu item or toolbar button would.
    void OnCommand(int id);
    // Enables the commands and sets the view-mode radio marks from the parts list.
    void UpdateCommandStates();
    // F6 and Shift+F6: the focus to the next or previous pane.
    void ActivateNextPane(bool previous);
    // The pane holding the focus (0 library list, 1 preview, 2 info, 3 parts list), -1.
    int ActivePane() const;

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateClient(const Layout& layout);
    QAction* AddAction(int id, const QString& text, const QString& tip = QString());
    QWidget* Pane(int i) const;

    CQurixDoc& doc_;
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
};

}  // namespace qurix
