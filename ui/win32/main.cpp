// The palette's Win32 front end: finds KIVOX.INI, loads the libraries and runs the window.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "palette/CommandIds.h"
#include "palette/ConfigLocation.h"
#include "palette/KeptParts.h"
#include "palette/PaletteOptions.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "render/DisplaySettings.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/PaletteApp.h"
#include "ui/win32/Panes.h"
#include "ui/win32/ShownProbe.h"
#include "ui/win32/StartTrace.h"
#include "ui/win32/WinText.h"

namespace {

// --help's first paragraph: where KIVOX.INI is looked for and the cache kept.
constexpr const char* PLACES =
    "Opens the parts palette of the Kivox schematic editor on the libraries named in\n"
    "KIVOX.INI. That file is the one given with --ini, else the one chosen before (kept\n"
    "in %LOCALAPPDATA%\\qurix\\qurix.ini), else taken from the working folder when it is\n"
    "not the program's folder, else from %LOCALAPPDATA%\\Tolmera\\, else from the\n"
    "program's folder. The palette writes only its own section [qurix] of that file. It\n"
    "keeps its thumbnails in .\\cache when that folder exists or the working folder is\n"
    "the INI's, else in %LOCALAPPDATA%\\Tolmera\\qurix\\.\n";

// The command line as UTF-8 arguments.
std::vector<std::string> Arguments() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(qurix::win32::Narrow(argv[i]));
    LocalFree(argv);
    return args;
}

// The program's own path as the ANSI code page's bytes, as the files layer takes paths.
std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The --ini argument (the command line's third word) as a full path in the ANSI code
// page's bytes, as the files layer opens paths; false when that code page cannot hold it.
bool GivenConfigFile(std::string& path) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring given = argc >= 3 ? argv[2] : L"";
    LocalFree(argv);
    // Remembered for later starts, which may begin in another folder.
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return false;
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n);
    }
    return qurix::win32::ToCodePage(full, CP_ACP, path);
}

using Clock = std::chrono::steady_clock;

// probe: the start to report at the first paint of a parts list with items, else null.
int Run(int show, const Clock::time_point* probe, const std::string& givenIni) {
    using namespace qurix;
    win32::CPaletteApp app;
    if (!givenIni.empty()) app.SetGivenConfigFile(givenIni);
    if (!app.InitInstance(RealConfigLocationInputs(ModulePath()), show)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        win32::CMainWindow* frame = app.Frame();
        if (frame != nullptr && frame->Hwnd() != nullptr &&
            TranslateAcceleratorW(frame->Hwnd(), frame->Accelerators(), &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        // Another KIVOX.INI chosen in the window: the window that asked is done with it.
        if (app.SwitchIfAsked()) continue;
        // Checked from the loop once a message is done, as the Linux palette reports from
        // its event loop: a list without anything left to paint is on screen.
        if (frame == nullptr || frame->Hwnd() == nullptr) continue;
        const HWND parts = GetDlgItem(frame->Hwnd(), win32::ID_PARTS_LIST);
        if (probe != nullptr && ListView_GetItemCount(parts) > 0 &&
            win32::IsPaintedOnScreen(parts)) {
            win32::StartTraceMark("parts list painted");
            win32::PrintShownLine(stdout, *probe);
            probe = nullptr;
            // Closed as the user would, so settings and cache are saved as after a use.
            PostMessageW(frame->Hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
        }
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command*/, int show) {
    const Clock::time_point started = Clock::now();
    qurix::win32::StartTraceMark("entry");
    const std::vector<std::string> args = Arguments();
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    const qurix::PaletteOptions options =
        qurix::ReadPaletteOptions(static_cast<int>(argv.size()), argv.data(), PLACES);
    if (options.answered >= 0) return options.answered;
    std::string ini;
    if (options.ini != nullptr && !GivenConfigFile(ini)) {
        std::fprintf(stderr, "qurix: cannot use %s as a path on this system\n", options.ini);
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The drag and the drag image helper need OLE on this thread.
    if (FAILED(OleInitialize(nullptr))) return 1;
    qurix::win32::StartTraceMark("controls and OLE ready");
    const int status = Run(show, options.exitWhenShown ? &started : nullptr, ini);
    OleUninitialize();
    return status;
}
