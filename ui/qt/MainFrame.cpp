#include "ui/qt/MainFrame.h"
#include "palette/Texts.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cstdio>

#include "palette/ConfigLocation.h"
#include "palette/QurixDoc.h"
#include "palette/StatusFields.h"
#include "ui/qt/FirstStartPage.h"
#include "ui/qt/InfoView.h"
#include "ui/qt/LibraryWatcher.h"
#include "ui/qt/PartCommands.h"
#include "ui/qt/PartView.h"
#include "ui/qt/PartsPane.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/PinTableView.h"
#include "ui/qt/PlibView.h"
#include "ui/qt/QtUiHost.h"
#include "ui/qt/QurixApp.h"
#include "ui/qt/SearchBar.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

namespace {

constexpr const char* SECTION = "qurix";
constexpr const char* AUTO_RELOAD_KEY = "auto_reload";
constexpr int MAX_PANE = WindowLayout::MAX_PANE;

QRect ToQRect(const Rect& r) {
    return QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top));
}

Rect ToRect(const QRect& r) {
    return Rect::FromOriginSize(Point{r.x(), r.y()}, r.width(), r.height());
}

}  // namespace

CMainFrame::Layout CMainFrame::ReadLayout(const CProfile& profile) {
    return ReadWindowLayout(profile);
}

QRect CMainFrame::PlaceOnScreens(QRect wanted, const QList<QRect>& screens) {
    std::vector<Rect> rects;
    for (const QRect& s : screens) rects.push_back(ToRect(s));
    return ToQRect(qurix::PlaceOnScreens(ToRect(wanted), rects));
}

CMainFrame::CMainFrame(CQurixDoc& doc, bool configFound, QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      profile_(doc.Profile()),
      startLayout_(ReadLayout(profile_)),
      configFound_(configFound) {
    const Layout& layout = startLayout_;
    setWindowTitle(TitleFor(profile_.Path(), configFound));
    setWindowIcon(QIcon(QStringLiteral(":/qurix/qurix.png")));
    watcher_ = new CLibraryWatcher(this);
    // A change during a thumbnail build waits for its end: the build walks the libraries.
    watcher_->canReport = [this] { return !doc_.IsBusy() && !doc_.CloseRequested(); };
    connect(watcher_, &CLibraryWatcher::changed, this, &CMainFrame::OnFilesChanged);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateClient(layout);
    CreateStatusBar();
    connect(partsList_, &CPartsView::updated, this, &CMainFrame::UpdateStatusFields);
    connect(partsPane_, &CPartsPane::countChanged, this, &CMainFrame::UpdateStatusFields);
    connect(partView_, &CPartView::zoomChanged, this, &CMainFrame::UpdateStatusFields);

    // The size of the window without the frame the window manager adds: that is what
    // can be restored exactly. A size larger than the screen, or below nothing, is
    // brought within it; a remembered position is kept on a screen.
    const QSize size(std::max(1, layout.winWidth), std::max(1, layout.winHeight));
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens()) {
        if (!s->availableGeometry().isEmpty()) screens.push_back(s->availableGeometry());
    }
    if (layout.hasPosition) {
        setGeometry(PlaceOnScreens(QRect(QPoint(layout.winX, layout.winY), size), screens));
    } else {
        QList<QRect> own;
        if (const QScreen* s = screen(); s != nullptr && !s->availableGeometry().isEmpty()) {
            own.push_back(QRect(QPoint(0, 0), s->availableGeometry().size()));
        }
        resize(PlaceOnScreens(QRect(QPoint(0, 0), size), own).size());
    }
    // Shown maximised, over the normal geometry set above.
    if (layout.maximized) setWindowState(windowState() | Qt::WindowMaximized);

    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(next, &QShortcut::activated, this, [this] { ActivateNextPane(false); });
    auto* prev = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(prev, &QShortcut::activated, this, [this] { ActivateNextPane(true); });

    host_ = std::make_unique<CQtUiHost>(
        this, [this](const std::string& text) { ShowStatus(QString::fromStdString(text)); });
    doc_.SetHost(host_.get());
    doc_.AddListener(this);
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    doc_.RemoveListener(this);
    doc_.SetHost(nullptr);
}

QString CMainFrame::TitleFor(const std::string& configPath, bool found) {
    QString title = QString::fromLatin1(TITLE);
    if (found) title += QStringLiteral(" - ") + QFile::decodeName(configPath.c_str());
    return title;
}

void CMainFrame::ShowFirstStart(const std::vector<std::string>& places) {
    auto* page = new CFirstStartPage(places);
    connect(page, &CFirstStartPage::openClicked, this, &CMainFrame::OnOpenConfig);
    partsPane_->ShowPage(page);
    firstStartPage_ = page;
    page->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::OnOpenConfig() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, UiText(texts::CMD_OPEN_CONFIG), QString(), UiText(texts::OPEN_CONFIG_FILTER));
    if (chosen.isEmpty()) return;
    const std::string path = QFile::encodeName(chosen).toStdString();
    if (!CanOpenForReading(path)) {
        ShowStatus(UiText(texts::CONFIG_NOT_READABLE).arg(chosen));
        return;
    }
    if (onOpenConfig) onOpenConfig(path);
}

void CMainFrame::OnLoaded() {
    watcher_->Watch(doc_.WatchedFiles());
    UpdateStatusFields();
}

void CMainFrame::MarkStartFinished() {
    startFinished_ = true;
    emit startFinished();
}

void CMainFrame::OnCloseAfterBusy() {
    host_->Post([this] { close(); });
}

void CMainFrame::ShowStatus(const QString& text) {
    QStatusBar* bar = statusBar();
    bar->showMessage(text);
    // A message cut at the bar's width is there whole in the tool tip.
    const int room = bar->width() - (fields_[FIELD_ZOOM] ? fields_[FIELD_ZOOM]->width() * 3 : 0);
    bar->setToolTip(bar->fontMetrics().horizontalAdvance(text) > room ? text : QString());
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < FIELD_COUNT; ++i) {
        fields_[i] = new QLabel(bar);
        fields_[i]->setObjectName(QStringLiteral("statusField%1").arg(i));
        fields_[i]->setContentsMargins(6, 0, 6, 0);
        bar->addPermanentWidget(fields_[i]);
    }
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
        if (text.isEmpty()) bar->setToolTip(QString());
    });
    bar->show();
}

void CMainFrame::UpdateStatusFields() {
    if (fields_[FIELD_PARTS] == nullptr || partsList_ == nullptr) return;
    StatusFacts facts;
    facts.searching = partsPane_->IsSearching();
    facts.preparing = facts.searching && partsPane_->Preparing();
    facts.shown = facts.searching ? partsPane_->ResultCount() : partsList_->ItemCount();
    facts.problems = static_cast<int32_t>(doc_.Problems().size());
    facts.zoom = partView_->Zoom();
    facts.fitted = partView_->Fitted();
    const StatusFields texts = MakeStatusFields(facts);
    fields_[FIELD_PARTS]->setText(QString::fromStdString(texts.parts));
    fields_[FIELD_PROBLEMS]->setText(QString::fromStdString(texts.problems));
    fields_[FIELD_PROBLEMS]->setVisible(!texts.problems.empty());
    fields_[FIELD_ZOOM]->setText(QString::fromStdString(texts.zoom));
}

bool CMainFrame::CheckSettingsWritable() {
    const bool written = WritePartsStyle(profile_, partsList_->DisplayMode());
    // The palette's own write is no change to reload for.
    watcher_->Rearm();
    if (written) return true;
    // The path as bytes of the system's encoding, as the rest of the window shows paths.
    ShowStatus(QString::fromStdString(SettingsProblemText(profile_)));
    return false;
}

void CMainFrame::SaveSettings() {
    SaveWindowSettings(profile_, CurrentLayout(), [this] {
        partsList_->SaveSettings();
        partView_->SaveSettings();
        plibView_->SaveSettings();
    });
}

CMainFrame::Layout CMainFrame::CurrentLayout() const {
    Layout l;
    // Maximised (or minimised), the window's own geometry is not the one to restore.
    const bool normal =
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    QRect geometry = normal ? this->geometry() : normalGeometry();
    if (geometry.isEmpty()) {
        geometry = QRect(startLayout_.winX, startLayout_.winY, startLayout_.winWidth,
                         startLayout_.winHeight);
    }
    l.winWidth = geometry.width();
    l.winHeight = geometry.height();
    l.winX = geometry.x();
    l.winY = geometry.y();
    l.hasPosition = true;
    l.maximized = (windowState() & Qt::WindowMaximized) != 0;
    const QList<int> columns = outer_->sizes();
    const QList<int> rows = inner_->sizes();
    l.plvWidth = columns.value(0);
    l.plvHeight = rows.value(0);
    l.prtHeight = rows.value(1);
    return l;
}

QAction* CMainFrame::AddAction(int id, const QString& text, const QString& tip) {
    auto* a = new QAction(text, this);
    a->setData(id);
    if (!tip.isEmpty()) a->setToolTip(tip);
    a->setStatusTip(tip);
    actions_[id] = a;
    return a;
}

QAction* CMainFrame::Action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions() {
    QAction* reload = AddAction(ID_FILE_RELOAD, UiText(texts::CMD_RELOAD));
    // The menu item names Ctrl+R, so the key does what it says.
    reload->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(reload, &QAction::triggered, this, &CMainFrame::OnFileReload);
    QAction* autoReload = AddAction(ID_VIEW_AUTO_RELOAD, UiText(texts::CMD_AUTO_RELOAD));
    autoReload->setCheckable(true);
    autoReload->setChecked(profile_.GetInt(SECTION, AUTO_RELOAD_KEY, 1) != 0);
    watcher_->SetEnabled(autoReload->isChecked());
    connect(autoReload, &QAction::toggled, this, &CMainFrame::OnAutoReloadToggled);
    QAction* open = AddAction(ID_FILE_OPEN_CONFIG, UiText(texts::CMD_OPEN_CONFIG_MENU));
    connect(open, &QAction::triggered, this, &CMainFrame::OnOpenConfig);
    QAction* exit = AddAction(ID_APP_EXIT, UiText(texts::CMD_EXIT));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    viewModes_ = new QActionGroup(this);
    viewModes_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    struct Mode {
        int id;
        const char* text;
        const char* tip;
        const char* icon;
    };
    // In toolbar order.
    const Mode modes[] = {
        {ID_VIEW_LARGEICON, texts::CMD_LARGE, texts::TIP_LARGE, ":/qurix/view_large.png"},
        {ID_VIEW_SMALLICON, texts::CMD_SMALL, texts::TIP_SMALL, ":/qurix/view_small.png"},
        {ID_VIEW_LIST, texts::CMD_LIST, texts::TIP_LIST, ":/qurix/view_list.png"},
        // The palette's own, after the usual three.
        {ID_VIEW_XLARGEICON, texts::CMD_XLARGE, texts::TIP_XLARGE, ":/qurix/view_xlarge.png"},
    };
    for (const Mode& m : modes) {
        QAction* a = AddAction(m.id, QString::fromUtf8(m.text), QString::fromUtf8(m.tip));
        a->setIcon(QIcon(QString::fromLatin1(m.icon)));
        a->setCheckable(true);
        // The menu shows the radio mark; the icon belongs to the toolbar.
        a->setIconVisibleInMenu(false);
        connect(a, &QAction::triggered, this, [this, id = m.id] { OnViewStyle(id); });
        viewModes_->addAction(a);
    }
    QAction* about = AddAction(ID_APP_ABOUT, UiText(texts::CMD_ABOUT), UiText(texts::ABOUT_TITLE));
    about->setIcon(QIcon(QStringLiteral(":/qurix/about.png")));
    about->setIconVisibleInMenu(false);
    connect(about, &QAction::triggered, this, [this] {
        CQurixApp::OnAppAbout(
            this, {configFound_ ? profile_.Path() : std::string(), partsList_->CacheFolder()});
    });
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(UiText(texts::MENU_FILE));
    file->addAction(Action(ID_FILE_OPEN_CONFIG));
    file->addAction(Action(ID_FILE_RELOAD));
    file->addSeparator();
    file->addAction(Action(ID_APP_EXIT));

    QMenu* view = menuBar()->addMenu(UiText(texts::MENU_VIEW));
    // The toolbar's own show/hide action goes in once the toolbar exists.
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addSeparator();
    // The view modes in toolbar order.
    view->addActions(viewModes_->actions());
    view->addSeparator();
    view->addAction(Action(ID_VIEW_AUTO_RELOAD));

    QMenu* help = menuBar()->addMenu(UiText(texts::MENU_HELP));
    help->addAction(Action(ID_APP_ABOUT));

    for (QMenu* m : {file, view, help}) {
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    }
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(UiText(texts::TOOLBAR), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setMovable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->addActions(viewModes_->actions());
    toolBar_->addSeparator();
    toolBar_->addAction(Action(ID_APP_ABOUT));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    QAction* toggle = toolBar_->toggleViewAction();
    toggle->setText(UiText(texts::CMD_TOOLBAR));
    toggle->setData(ID_VIEW_TOOLBAR);
    actions_[ID_VIEW_TOOLBAR] = toggle;
    if (QMenu* view = menuBar()->findChild<QMenu*>(QStringLiteral("viewMenu"))) {
        view->insertAction(view->actions().value(0), toggle);
    }
}

void CMainFrame::CreateClient(const Layout& layout) {
    outer_ = new QSplitter(Qt::Horizontal, this);
    outer_->setChildrenCollapsible(false);
    // The views in the document's order: parts list, library list, preview, info.
    partsPane_ = new CPartsPane(doc_, outer_);
    partsList_ = partsPane_->PartsView();
    inner_ = new QSplitter(Qt::Vertical, outer_);
    inner_->setChildrenCollapsible(false);
    plibView_ = new CPlibView(doc_, inner_);
    partView_ = new CPartView(doc_, inner_);
    if (QMenu* view = menuBar()->findChild<QMenu*>(QStringLiteral("viewMenu"))) {
        view->addSeparator();
        // Window-wide keys: the zoom works whichever pane has the focus.
        const struct {
            int id;
            const char* text;
            QList<QKeySequence> keys;
            std::function<void()> run;
        } zooms[] = {
            {ID_VIEW_ZOOM_IN,
             texts::CMD_ZOOM_IN,
             {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             [this] { partView_->StepZoom(1); }},
            {ID_VIEW_ZOOM_OUT,
             texts::CMD_ZOOM_OUT,
             {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
             [this] { partView_->StepZoom(-1); }},
            {ID_VIEW_ZOOM_RESET,
             texts::CMD_ZOOM_RESET,
             {QKeySequence(Qt::CTRL | Qt::Key_0)},
             [this] { partView_->ResetZoom(); }},
        };
        for (const auto& z : zooms) {
            QAction* a = AddAction(z.id, UiText(z.text));
            a->setShortcuts(z.keys);
            a->setShortcutContext(Qt::WindowShortcut);
            connect(a, &QAction::triggered, this, z.run);
            view->addAction(a);
        }
        view->addAction(partView_->FitAction());
    }
    notes_ = new QTabWidget(inner_);
    notes_->setDocumentMode(true);
    infoView_ = new CInfoView(doc_, notes_);
    CreatePartTools();

    outer_->insertWidget(0, inner_);
    outer_->insertWidget(1, partsPane_);
    // The left column and the two upper panes keep their sizes when the window is
    // resized; the parts list and the info view take the difference.
    outer_->setStretchFactor(0, 0);
    outer_->setStretchFactor(1, 1);
    inner_->setStretchFactor(0, 0);
    inner_->setStretchFactor(1, 0);
    inner_->setStretchFactor(2, 1);
    // The pane with the focus shows it, whichever it is.
    for (QWidget* pane : {static_cast<QWidget*>(plibView_), static_cast<QWidget*>(partView_),
                          static_cast<QWidget*>(infoView_), static_cast<QWidget*>(partsList_)}) {
        pane->setStyleSheet(
            QStringLiteral("QAbstractScrollArea:focus { border: 2px solid palette(highlight); }"));
    }
    outer_->setSizes({PaneSize(layout.plvWidth), MAX_PANE});
    inner_->setSizes({PaneSize(layout.plvHeight), PaneSize(layout.prtHeight), MAX_PANE});
    setCentralWidget(outer_);
}

void CMainFrame::CreatePartTools() {
    pinTable_ = new CPinTableView(notes_);
    notes_->addTab(infoView_, UiText(texts::NOTE_TAB));
    notes_->addTab(pinTable_, UiText(texts::PINS_TAB));
    // A library that did not load tells why on the note's page.
    connect(plibView_, &CPlibView::libraryChosen, notes_, [this] {
        if (doc_.CurrentProblem() != nullptr) notes_->setCurrentIndex(0);
    });
    connect(partView_, &CPartView::partShown, pinTable_, &CPinTableView::ShowPart);
    connect(pinTable_, &CPinTableView::pinChosen, partView_, &CPartView::MarkPin);

    partCommands_ = new CPartCommands(doc_, partsList_, this);
    connect(plibView_, &CPlibView::partListChosen, partCommands_, &CPartCommands::ShowKeptParts);
    connect(plibView_, &CPlibView::libraryChosen, partCommands_, &CPartCommands::LeaveKeptParts);
    // A search started from a part list returns to that list.
    connect(partsPane_, &CPartsPane::searchLeft, partCommands_, [this] {
        const LibraryRowKind kind = plibView_->SelectedPartList();
        if (kind != LibraryRowKind::None) partCommands_->ShowKeptParts(kind);
    });
    auto* part = new QMenu(UiText(texts::MENU_PART), this);
    part->addActions(partCommands_->Actions());
    connect(part, &QMenu::aboutToShow, partCommands_, &CPartCommands::UpdateActions);
    // Before Help, the last menu.
    const QList<QAction*> menus = menuBar()->actions();
    menuBar()->insertMenu(menus.isEmpty() ? nullptr : menus.last(), part);
}

QWidget* CMainFrame::Pane(int i) const {
    switch (i) {
        case 0:
            return plibView_;
        case 1:
            return partView_;
        case 2:
            return infoView_;
        case 3:
            // The first-start page stands where the parts list is.
            return firstStartPage_ != nullptr ? firstStartPage_ : static_cast<QWidget*>(partsList_);
        default:
            return nullptr;
    }
}

int CMainFrame::ActivePane() const {
    const QWidget* focus = focusWidget();
    for (int i = 0; i < 4; ++i) {
        const QWidget* p = Pane(i);
        if (p && focus && (p == focus || p->isAncestorOf(focus))) return i;
    }
    return -1;
}

void CMainFrame::ActivateNextPane(bool previous) {
    const int current = ActivePane();
    int next;
    if (current < 0) {
        next = previous ? 3 : 0;
    } else {
        next = (current + (previous ? 3 : 1)) % 4;
    }
    if (QWidget* p = Pane(next))
        p->setFocus(previous ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

void CMainFrame::OnFileReload() {
    // As the automatic reload: the library, the part and the scroll position stay.
    doc_.Reload(true);
    UpdateCommandStates();
}

void CMainFrame::OnAutoReloadToggled(bool on) {
    watcher_->SetEnabled(on);
    profile_.WriteInt(SECTION, AUTO_RELOAD_KEY, on ? 1 : 0);
    watcher_->Rearm();
}

void CMainFrame::OnFilesChanged(const std::vector<std::string>& paths) {
    // After the close (whose own settings write is such a change) nothing loads again.
    if (!doc_.IsLoaded() || !doc_.Reload(true)) return;
    UpdateCommandStates();
    QStringList names;
    for (const std::string& p : paths) {
        names << QFileInfo(QFile::decodeName(p.c_str())).fileName();
    }
    QString text = UiText(texts::RELOADED).arg(names.join(UiText(texts::LIST_SEPARATOR)));
    if (!doc_.Problems().empty()) {
        text += UiText(texts::RELOADED_WITH_FAILURES).arg(doc_.Problems().size());
    }
    ShowStatus(text);
}

void CMainFrame::OnViewStyle(int id) {
    partsList_->SetViewStyle(id);
    // The results' library names go on a second line or after the name, by mode.
    if (partsPane_->IsSearching()) partsPane_->Search(partsPane_->SearchBar()->text());
    // Kept parts name their library under the thumbnail or beside the name.
    partCommands_->RefreshShown();
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
    // Before the start's own load (the early list on screen) there is nothing to reload.
    if (QAction* reload = Action(ID_FILE_RELOAD))
        reload->setEnabled(!doc_.IsBusy() && doc_.IsLoaded());
    const int mode = partsList_->DisplayMode();
    for (const ModeCommand& m : MODE_COMMANDS) Action(m.command)->setChecked(m.mode == mode);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (doc_.IsBusy()) {
        // A thumbnail build is walking the libraries: it stops at its next check, and
        // the window closes when it has.
        doc_.RequestClose();
        event->ignore();
        return;
    }
    // Closed before the start's load, nothing has changed that the settings keep.
    if (saveOnClose_ && doc_.IsLoaded()) SaveSettings();
    doc_.OnCloseDocument();
    event->accept();
}

}  // namespace qurix
