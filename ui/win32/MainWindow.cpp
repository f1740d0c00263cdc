#include "ui/win32/WinApi.h"

#include "ui/win32/MainWindow.h"

#include <commctrl.h>
#include <commdlg.h>
#include <wincodec.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "QurixVersion.h"
#include "palette/CommandIds.h"
#include "palette/ConfigLocation.h"
#include "palette/ImageCache.h"
#include "palette/StatusFields.h"
#include "palette/Texts.h"
#include "render/gdi/GdiCanvas.h"
#include "ui/win32/Bitmaps.h"
#include "ui/win32/Commands.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/PaneLayout.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

namespace {

constexpr const char* SECTION = "qurix";
constexpr const char* AUTO_RELOAD_KEY = "auto_reload";
constexpr UINT_PTR SETTLE_TIMER = 1;
constexpr UINT_PTR EARLY_LOAD_TIMER = 2;
// The toolbar's icons in resources/ (qurix.rc): 1x at 10 + i, 2x at 20 + i.
constexpr int TOOL_IMAGES = 5;
constexpr int APP_ICON = 1;

// A PNG resource decoded by WIC as premultiplied BGRA; null when it cannot be.
ArgbImage LoadPng(int id) {
    ArgbImage image;
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(inst, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) return image;
    const DWORD size = SizeofResource(inst, found);
    auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(inst, found)));
    IWICImagingFactory* factory = nullptr;
    if (bytes == nullptr ||
        FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))) {
        return image;
    }
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT w = 0;
    UINT h = 0;
    if (SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(bytes, size)) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                   &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&w, &h)) && w > 0 && h > 0) {
        image.width = static_cast<int32_t>(w);
        image.height = static_cast<int32_t>(h);
        image.pixels.resize(static_cast<size_t>(w) * h);
        if (FAILED(converter->CopyPixels(nullptr, w * 4, w * h * 4,
                                         reinterpret_cast<BYTE*>(image.pixels.data())))) {
            image = ArgbImage{};
        }
    }
    IUnknown* const all[] = {converter, frame, decoder, stream, factory};
    for (IUnknown* u : all) {
        if (u != nullptr) u->Release();
    }
    return image;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "Name (*.a *.b);;All (*)" as the open dialog's filter: each name, its patterns
// ("*.a;*.b"), each ending with a NUL, and a NUL after the last.
std::wstring OpenFilter(std::string_view filters) {
    std::wstring out;
    while (!filters.empty()) {
        const size_t end = filters.find(";;");
        const std::string_view name = filters.substr(0, end);
        filters = end == std::string_view::npos ? std::string_view() : filters.substr(end + 2);
        const size_t open = name.rfind('(');
        const size_t close = name.rfind(')');
        std::string patterns = open != std::string_view::npos && close > open
                                   ? std::string(name.substr(open + 1, close - open - 1))
                                   : std::string("*");
        std::replace(patterns.begin(), patterns.end(), ' ', ';');
        if (patterns == "*") patterns = "*.*";
        out += Widen(name) + L'\0' + Widen(patterns) + L'\0';
    }
    return out + L'\0';
}

}  // namespace

CMainWindow::CMainWindow(CQurixDoc& doc, bool configFound)
    : doc_(doc),
      profile_(doc.Profile()),
      layout_(ReadWindowLayout(profile_)),
      configFound_(configFound) {}

CMainWindow::~CMainWindow() {
    watch_.Stop();
    doc_.RemoveListener(this);
    doc_.SetHost(nullptr);
    // The panes' windows go with the main window; the views leave the document first.
    commands_.reset();
    pins_.reset();
    parts_.reset();
    libraries_.reset();
    preview_.reset();
    note_.reset();
    if (toolImages_ != nullptr) ImageList_Destroy(toolImages_);
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

int CMainWindow::Unscaled(int pixels) const {
    return MulDiv(pixels, static_cast<int>(BASE_DPI), static_cast<int>(WindowDpi(Hwnd())));
}

bool CMainWindow::Create() {
    if (!CWindow::Create(L"QurixMain", 0, TitleFor(profile_.Path(), configFound_).c_str(),
                         WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                         480, nullptr, nullptr, GetSysColorBrush(COLOR_BTNFACE))) {
        return false;
    }
    watch_.SetWindow(Hwnd());
    // The product icon (resource 1, made from resources/qurix.svg at several sizes) at the
    // window's scale; the system keeps the icons for the window's lifetime.
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    const UINT dpi = WindowDpi(Hwnd());
    for (const auto& [which, side] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
        const int pixels = ScaleToDpi(side, dpi);
        HANDLE icon = LoadImageW(inst, MAKEINTRESOURCEW(APP_ICON), IMAGE_ICON, pixels, pixels, 0);
        if (icon != nullptr)
            SendMessageW(Hwnd(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
    host_ = std::make_unique<CWin32UiHost>(Hwnd(), [this](const std::string& t) { ShowStatus(t); });
    CreateMenuBar();
    CreateToolBar();
    statusBar_ = std::make_unique<CStatusBar>(Hwnd());
    status_ = statusBar_->Hwnd();
    // The views in the document's order: parts list, library list, preview, note.
    parts_ = std::make_unique<CPartsPane>(doc_, Hwnd(), MakeGdiCanvasFactory());
    libraries_ = std::make_unique<CLibraryPane>(doc_, Hwnd());
    preview_ = std::make_unique<CPreviewPane>(doc_, Hwnd());
    note_ = std::make_unique<CNotePane>(doc_, Hwnd());
    parts_->countChanged = [this] { UpdateStatusFields(); };
    preview_->zoomChanged = [this] { UpdateStatusFields(); };
    pins_ = std::make_unique<CPinPage>(doc_, Hwnd(), note_->Hwnd(), *preview_);
    commands_ = std::make_unique<CPartCommands>(doc_, *parts_, Hwnd());
    libraries_->rowChosen = [this](LibraryRowKind kind) { commands_->ShowKeptParts(kind); };
    ApplyFonts();

    std::vector<ACCEL> keys;
    for (const Accelerator& a : win32::Accelerators()) {
        BYTE flags = FVIRTKEY;
        if (a.ctrl) flags |= FCONTROL;
        if (a.shift) flags |= FSHIFT;
        if (a.alt) flags |= FALT;
        keys.push_back(ACCEL{flags, a.key, static_cast<WORD>(a.id)});
    }
    accelerators_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));

    detector_.SetEnabled(profile_.GetInt(SECTION, AUTO_RELOAD_KEY, 1) != 0);
    doc_.SetHost(host_.get());
    doc_.AddListener(this);
    return true;
}

void CMainWindow::Show(int show) {
    // The remembered size is the client area's at 96 DPI; the frame is added for the
    // window's DPI, and a remembered place is kept on a screen.
    const UINT dpi = WindowDpi(Hwnd());
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0, dpi);
    const int width = ScaleToDpi(std::max(1, layout_.winWidth), dpi);
    const int height = ScaleToDpi(std::max(1, layout_.winHeight), dpi);
    std::vector<Rect> screens;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                const RECT& w = info.rcWork;
                reinterpret_cast<std::vector<Rect>*>(data)->push_back(
                    Rect{w.left, w.top, w.right, w.bottom});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&screens));
    RECT now{};
    GetWindowRect(Hwnd(), &now);
    const Point origin = layout_.hasPosition
                             ? Point{layout_.winX + frame.left, layout_.winY + frame.top}
                             : Point{now.left, now.top};
    const Rect wanted =
        PlaceOnScreens(Rect::FromOriginSize(origin, width + frame.right - frame.left,
                                            height + frame.bottom - frame.top),
                       screens);
    SetWindowPos(Hwnd(), nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                 wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // SW_HIDE: placed, not shown.
    if (show != SW_HIDE) ShowWindow(Hwnd(), layout_.maximized ? SW_SHOWMAXIMIZED : show);
    Layout();
    UpdateWindow(Hwnd());
}

void CMainWindow::ApplyFonts() {
    HFONT font = MessageFont(WindowDpi(Hwnd()));
    EnumChildWindows(
        Hwnd(),
        [](HWND child, LPARAM f) -> BOOL {
            SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(f), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(font));
    font_.reset(font);
}

void CMainWindow::CreateMenuBar() {
    HMENU bar = CreateMenu();
    HMENU popup = nullptr;
    for (const MenuItem& item : MenuItems()) {
        // The part commands before Help, the last menu; filled as each opening finds them.
        if (item.popup && std::string_view(item.text) == texts::MENU_HELP) {
            partMenu_ = CreatePopupMenu();
            AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(partMenu_),
                        Widen(texts::MENU_PART).c_str());
        }
        if (item.popup) {
            popup = CreatePopupMenu();
            AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                        Widen(item.text).c_str());
        } else if (item.id == 0) {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        } else {
            std::wstring text = Widen(item.text);
            // The item names its key, so the key does what it says.
            if (const wchar_t* key = KeyText(item.id)) text += std::wstring(L"\t") + key;
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.id), text.c_str());
        }
    }
    SetMenu(Hwnd(), bar);
}

void CMainWindow::CreateToolBar() {
    toolBar_ = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | TBSTYLE_LIST, 0, 0, 0,
        0, Hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Texts only as tool tips.
    SendMessageW(toolBar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    LoadToolBarImages();
    std::vector<TBBUTTON> buttons;
    static std::vector<std::wstring> tips;
    tips.clear();
    for (const ToolButton& b : ToolButtons()) tips.push_back(b.tip != nullptr ? Widen(b.tip) : L"");
    size_t i = 0;
    for (const ToolButton& b : ToolButtons()) {
        TBBUTTON t{};
        if (b.id == 0) {
            t.fsStyle = BTNS_SEP;
        } else {
            t.iBitmap = b.image;
            t.idCommand = b.id;
            t.fsState = TBSTATE_ENABLED;
            t.fsStyle =
                static_cast<BYTE>(BTNS_BUTTON | (ModeOfCommand(b.id) >= 0 ? BTNS_CHECKGROUP : 0));
            t.iString = reinterpret_cast<INT_PTR>(tips[i].c_str());
        }
        buttons.push_back(t);
        ++i;
    }
    SendMessageW(toolBar_, TB_ADDBUTTONSW, buttons.size(),
                 reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);
}

void CMainWindow::LoadToolBarImages() {
    // The 2x icons from 144 DPI on, the 1x ones below.
    const bool twice = WindowDpi(Hwnd()) >= 144;
    const int w = twice ? 32 : 16;
    const int h = twice ? 30 : 15;
    HIMAGELIST images = ImageList_Create(w, h, ILC_COLOR32, TOOL_IMAGES, 0);
    for (int i = 0; i < TOOL_IMAGES; ++i)
        AddToImageList(images, LoadPng((twice ? 20 : 10) + i), w, h);
    SendMessageW(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (toolImages_ != nullptr) ImageList_Destroy(toolImages_);
    toolImages_ = images;
}

void CMainWindow::UpdateToolBar() {
    for (const ToolButton& b : ToolButtons()) {
        if (ModeOfCommand(b.id) < 0) continue;
        SendMessageW(toolBar_, TB_CHECKBUTTON, b.id, ModeOfCommand(b.id) == parts_->Mode());
    }
}

void CMainWindow::OnLoaded() {
    detector_.Watch(doc_.WatchedFiles());
    ArmWatch();
    UpdateStatusFields();
}

void CMainWindow::ArmWatch() {
    std::vector<std::string> folders = detector_.Folders();
    std::sort(folders.begin(), folders.end());
    watch_.Watch(folders);
}

void CMainWindow::OnCloseAfterBusy() {
    host_->Post([this] { PostMessageW(Hwnd(), WM_CLOSE, 0, 0); });
}

void CMainWindow::ShowStatus(const std::string& utf8) {
    if (statusBar_ != nullptr) statusBar_->ShowMessage(utf8);
}

void CMainWindow::UpdateStatusFields() {
    if (statusBar_ == nullptr || parts_ == nullptr || preview_ == nullptr) return;
    StatusFacts facts;
    facts.searching = parts_->Searching();
    facts.preparing = facts.searching && parts_->Preparing();
    facts.shown = parts_->ItemCount();
    facts.problems = static_cast<int32_t>(doc_.Problems().size());
    facts.zoom = preview_->Zoom();
    facts.fitted = preview_->Fitted();
    statusBar_->SetFields(MakeStatusFields(facts));
}

std::wstring CMainWindow::TitleFor(const std::string& configPath, bool found) {
    std::wstring title = TITLE;
    if (found) title += L" - " + FromCodePage(configPath, CP_ACP);
    return title;
}

void CMainWindow::ShowFirstStart(const std::vector<std::string>& places) {
    firstStart_ = std::make_unique<CFirstStartPage>(Hwnd(), places);
    ShowWindow(parts_->Search(), SW_HIDE);
    ShowWindow(parts_->List(), SW_HIDE);
    ShowWindow(firstStart_->Hwnd(), SW_SHOWNA);
    ApplyFonts();
    Layout();
    SetFocus(firstStart_->OpenButton());
}

void CMainWindow::OnOpenConfig() {
    // A build walks the libraries the switch would release.
    if (doc_.IsBusy()) return;
    std::wstring file(MAX_PATH * 4, L'\0');
    const std::wstring filter = OpenFilter(texts::OPEN_CONFIG_FILTER);
    const std::wstring title = Widen(texts::CMD_OPEN_CONFIG);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Hwnd();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn)) return;
    file.resize(wcslen(file.c_str()));
    // The files layer opens paths by the ANSI code page's bytes.
    std::string path;
    if (!ToCodePage(file, CP_ACP, path) || !CanOpenForReading(path)) {
        ShowStatus(Narrow(Format(texts::CONFIG_NOT_READABLE, Narrow(file))));
        return;
    }
    if (onOpenConfig) onOpenConfig(path);
}

void CMainWindow::LoadWhenPainted(std::function<void()> load) {
    earlyLoad_ = std::move(load);
    // Timers come after paints: the early list is on screen before the load takes the
    // thread, and a window that is not painted (minimised) loads all the same.
    SetTimer(Hwnd(), EARLY_LOAD_TIMER, USER_TIMER_MINIMUM, nullptr);
}

void CMainWindow::Retire() {
    watch_.Stop();
    // Closed before the start's load, nothing has changed that the settings keep.
    if (configFound_ && doc_.IsLoaded()) SaveSettings();
    doc_.OnCloseDocument();
    quitOnDestroy_ = false;
    DestroyWindow(Hwnd());
}

bool CMainWindow::CheckSettingsWritable() {
    const bool written = WritePartsStyle(profile_, parts_->Mode());
    // The palette's own write is no change to reload for.
    detector_.Rearm();
    UpdateToolBar();
    if (written) return true;
    // The message is UTF-8, the path the ANSI code page's bytes.
    ShowStatus(SettingsProblemText(profile_, PathText(profile_.Path())));
    return false;
}

WindowLayout CMainWindow::CurrentLayout() const {
    WindowLayout l = layout_;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(Hwnd(), &placement)) {
        RECT frame{0, 0, 0, 0};
        AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0, WindowDpi(Hwnd()));
        const RECT& n = placement.rcNormalPosition;
        l.winX = n.left - frame.left;
        l.winY = n.top - frame.top;
        l.winWidth = Unscaled((n.right - n.left) - (frame.right - frame.left));
        l.winHeight = Unscaled((n.bottom - n.top) - (frame.bottom - frame.top));
        l.hasPosition = true;
        l.maximized = placement.showCmd == SW_SHOWMAXIMIZED || IsZoomed(Hwnd());
    }
    return l;
}

void CMainWindow::SaveSettings() {
    SaveWindowSettings(profile_, CurrentLayout(), [this] {
        parts_->SaveSettings();
        preview_->SaveSettings();
        libraries_->SaveSettings();
    });
}

void CMainWindow::Layout() {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    int top = 0;
    if (toolBarShown_) {
        SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);
        RECT r{};
        GetWindowRect(toolBar_, &r);
        top = r.bottom - r.top;
    }
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT s{};
    GetWindowRect(status_, &s);
    panes_ = ComputePanes(client.right, top, client.bottom - (s.bottom - s.top), layout_,
                          WindowDpi(Hwnd()));
    HDWP defer = BeginDeferWindowPos(6);
    auto place = [&defer](HWND w, const Rect& r) {
        defer = DeferWindowPos(defer, w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(libraries_->Hwnd(), panes_.library);
    place(preview_->Hwnd(), panes_.preview);
    place(pins_->Hwnd(), panes_.note);
    place(parts_->Search(), panes_.search);
    place(parts_->List(), panes_.parts);
    if (firstStart_ != nullptr)
        place(firstStart_->Hwnd(),
              Rect{panes_.search.left, panes_.search.top, panes_.parts.right, panes_.parts.bottom});
    EndDeferWindowPos(defer);
    statusBar_->Relayout();
    pins_->Layout();
    ListView_SetColumnWidth(libraries_->Hwnd(), 0, LVSCW_AUTOSIZE_USEHEADER);
}

void CMainWindow::OnInitMenu(HMENU menu) {
    if (menu == partMenu_) {
        commands_->FillMenu(menu);
        return;
    }
    // Before the start's own load (the early list on screen) there is nothing to reload.
    const bool reloadable = !doc_.IsBusy() && doc_.IsLoaded();
    EnableMenuItem(menu, ID_FILE_RELOAD, MF_BYCOMMAND | (reloadable ? MF_ENABLED : MF_GRAYED));
    const int current = CommandOfMode(parts_->Mode());
    for (const int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_XLARGEICON}) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        info.fType = MFT_STRING | MFT_RADIOCHECK;
        info.fState = id == current ? MFS_CHECKED : MFS_UNCHECKED;
        SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &info);
    }
    CheckMenuItem(menu, ID_VIEW_TOOLBAR,
                  MF_BYCOMMAND | (toolBarShown_ ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_VIEW_AUTO_RELOAD,
                  MF_BYCOMMAND | (detector_.Enabled() ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_VIEW_FIT,
                  MF_BYCOMMAND | (preview_->Fitted() ? MF_CHECKED : MF_UNCHECKED));
}

void CMainWindow::FocusPane(bool previous) {
    const HWND parts = firstStart_ != nullptr ? firstStart_->OpenButton() : parts_->List();
    const HWND panes[] = {libraries_->Hwnd(), preview_->Hwnd(), note_->Hwnd(), parts};
    const HWND focus = GetFocus();
    int current = -1;
    for (int i = 0; i < 4; ++i) {
        if (focus == panes[i] || IsChild(panes[i], focus)) current = i;
    }
    const int next = current < 0 ? (previous ? 3 : 0) : (current + (previous ? 3 : 1)) % 4;
    SetFocus(panes[next]);
}

void CMainWindow::OnCommand(int id, int code, HWND /*from*/) {
    if (id == ID_SEARCH_EDIT) {
        if (code == EN_CHANGE) parts_->OnSearchChanged();
        return;
    }
    if (commands_->OnCommand(id)) return;
    if (const int mode = ModeOfCommand(id); mode >= 0) {
        parts_->SetMode(mode);
        // Kept parts name their library under the thumbnail or beside the name.
        commands_->RefreshKept();
        UpdateToolBar();
        return;
    }
    switch (id) {
        case ID_FILE_RELOAD:
            // As the automatic reload: the library, the part and the scroll position stay.
            if (!doc_.IsBusy() && doc_.IsLoaded()) doc_.Reload(true);
            return;
        case ID_APP_EXIT:
            PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
            return;
        case ID_VIEW_TOOLBAR:
            toolBarShown_ = !toolBarShown_;
            ShowWindow(toolBar_, toolBarShown_ ? SW_SHOW : SW_HIDE);
            Layout();
            return;
        case ID_VIEW_AUTO_RELOAD: {
            const bool on = !detector_.Enabled();
            detector_.SetEnabled(on);
            profile_.WriteInt(SECTION, AUTO_RELOAD_KEY, on ? 1 : 0);
            detector_.Rearm();
            return;
        }
        case ID_VIEW_FIT:
            preview_->SetFitted(!preview_->Fitted());
            return;
        case ID_FILE_OPEN_CONFIG:
            OnOpenConfig();
            return;
        case ID_VIEW_ZOOM_IN:
        case ID_VIEW_ZOOM_OUT:
            preview_->StepZoom(id == ID_VIEW_ZOOM_IN ? 1 : -1);
            return;
        case ID_VIEW_ZOOM_RESET:
            preview_->ResetZoom();
            return;
        case ID_APP_ABOUT: {
            const std::string text =
                FormatText(texts::ABOUT_VERSION, "Qurix", VERSION) + "\n" + texts::ABOUT_PRODUCT +
                "\n\n" +
                FormatText(texts::ABOUT_CONFIG, configFound_ ? PathText(profile_.Path()) : "") +
                "\n" + FormatText(texts::ABOUT_CACHE, PathText(parts_->Store().CacheFolder()));
            MessageBoxW(Hwnd(), Widen(text).c_str(), Widen(texts::ABOUT_TITLE).c_str(),
                        MB_OK | MB_ICONINFORMATION);
            return;
        }
        case ID_EDIT_FIND:
            parts_->FocusSearch();
            return;
        case ID_NEXT_PANE:
        case ID_PREV_PANE:
            FocusPane(id == ID_PREV_PANE);
            return;
        default:
            return;
    }
}

void CMainWindow::OnClose() {
    if (doc_.IsBusy()) {
        // A thumbnail build is walking the libraries: it stops at its next check, and the
        // window closes when it has.
        doc_.RequestClose();
        return;
    }
    watch_.Stop();
    // Where no KIVOX.INI was found, a write would make one that hides the first start;
    // closed before the start's load, nothing has changed that the settings keep.
    if (configFound_ && doc_.IsLoaded()) SaveSettings();
    doc_.OnCloseDocument();
    DestroyWindow(Hwnd());
}

void CMainWindow::OnSettled() {
    const CChangeDetector::Decision d = detector_.Settle(!doc_.IsBusy() && !doc_.CloseRequested());
    if (d.hold) {
        SetTimer(Hwnd(), SETTLE_TIMER, CChangeDetector::SETTLE_MS, nullptr);
        return;
    }
    ArmWatch();
    if (!d.changed.empty()) OnFilesChanged(d.changed);
}

void CMainWindow::OnFilesChanged(const std::vector<std::string>& paths) {
    // After the close (whose own settings write is such a change) nothing loads again.
    if (!doc_.IsLoaded() || !doc_.Reload(true)) return;
    std::string names;
    for (const std::string& p : paths) {
        if (!names.empty()) names += texts::LIST_SEPARATOR;
        names += PathText(FileNameOf(p));
    }
    std::string text = FormatText(texts::RELOADED, names);
    if (!doc_.Problems().empty()) {
        text += FormatText(texts::RELOADED_WITH_FAILURES, std::to_string(doc_.Problems().size()));
    }
    ShowStatus(text);
}

LRESULT CMainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (parts_ != nullptr) Layout();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            bool handled = false;
            LRESULT result = 0;
            if (parts_ != nullptr && header->hwndFrom == parts_->List()) {
                result = parts_->OnNotify(header, handled);
            } else if (libraries_ != nullptr && header->hwndFrom == libraries_->Hwnd()) {
                result = libraries_->OnNotify(header, handled);
            } else if (pins_ != nullptr) {
                result = pins_->OnNotify(header, handled);
            }
            if (handled) return result;
            break;
        }
        case WM_CONTEXTMENU:
            if (parts_ != nullptr && reinterpret_cast<HWND>(wParam) == parts_->List()) {
                commands_->ShowContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return 0;
            }
            break;
        case WM_INITMENUPOPUP:
            OnInitMenu(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SETCURSOR: {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(Hwnd(), &p);
            const int bar =
                reinterpret_cast<HWND>(wParam) == Hwnd() ? SplitterAt(panes_, Point{p.x, p.y}) : -1;
            if (bar >= 0) {
                SetCursor(LoadCursorW(nullptr, bar == 0 ? IDC_SIZEWE : IDC_SIZENS));
                return TRUE;
            }
            if (host_ != nullptr && host_->Waiting()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONDOWN: {
            const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            dragging_ = SplitterAt(panes_, Point{p.x, p.y});
            if (dragging_ >= 0) {
                dragFrom_ = p;
                dragStart_ = layout_;
                SetCapture(Hwnd());
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if (dragging_ >= 0) {
                const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (dragging_ == 0) {
                    layout_.plvWidth =
                        std::max(0, dragStart_.plvWidth + Unscaled(p.x - dragFrom_.x));
                } else if (dragging_ == 1) {
                    layout_.plvHeight =
                        std::max(0, dragStart_.plvHeight + Unscaled(p.y - dragFrom_.y));
                } else {
                    layout_.prtHeight =
                        std::max(0, dragStart_.prtHeight + Unscaled(p.y - dragFrom_.y));
                }
                Layout();
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (dragging_ >= 0) {
                dragging_ = -1;
                if (message == WM_LBUTTONUP) ReleaseCapture();
            }
            return 0;
        case WM_DPICHANGED: {
            const auto* r = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(Hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyFonts();
            LoadToolBarImages();
            libraries_->OnDpiChanged();
            parts_->OnDpiChanged();
            preview_->OnUpdate(nullptr);
            Layout();
            return 0;
        }
        case WM_APP_TASKS:
            host_->RunTasks();
            return 0;
        case WM_APP_FOLDER_EVENT:
            // Every event starts the wait again: a save comes as several.
            SetTimer(Hwnd(), SETTLE_TIMER, CChangeDetector::SETTLE_MS, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam == SETTLE_TIMER) {
                KillTimer(Hwnd(), SETTLE_TIMER);
                OnSettled();
                return 0;
            }
            if (wParam == EARLY_LOAD_TIMER) {
                KillTimer(Hwnd(), EARLY_LOAD_TIMER);
                if (const std::function<void()> load = std::exchange(earlyLoad_, nullptr)) load();
                return 0;
            }
            break;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            if (quitOnDestroy_) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return CWindow::Handle(message, wParam, lParam);
}

}  // namespace qurix::win32
