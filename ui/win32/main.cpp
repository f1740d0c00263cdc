// The palette's Win32 front end: finds KIVOX.INI, loads the libraries and runs the window.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/program/StandardOptions.h"
#include "palette/CommandIds.h"
#include "palette/ConfigLocation.h"
#include "palette/KeptParts.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "render/DisplaySettings.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/Panes.h"
#include "ui/win32/ShownProbe.h"
#include "ui/win32/WinText.h"

namespace {

constexpr const char* USAGE = "usage: qurix [--help | --version]";
constexpr const char* HELP =
    "Opens the parts palette of the Kivox schematic editor on the libraries named in\n"
    "KIVOX.INI. That file is taken from the working folder when it is not the\n"
    "program's folder, else from %LOCALAPPDATA%\\Tolmera\\, else from the program's\n"
    "folder. The palette writes only its own section [qurix] of that file and keeps its\n"
    "thumbnails in .\\cache.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "  --exit-when-shown\n"
    "             for measuring a start: print the time to the first shown parts list\n"
    "             and the memory held then, and close the window\n"
    "\n"
    "Exit status: 0 when the window is closed, 1 when start-up fails, 2 on any other\n"
    "argument.\n";

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

// For measuring a start; not in USAGE.
constexpr const char* EXIT_WHEN_SHOWN = "--exit-when-shown";

using Clock = std::chrono::steady_clock;

// probe: the start to report at the first paint of a parts list with items, else null.
int Run(int show, const Clock::time_point* probe) {
    using namespace qurix;
    CProfile profile;
    const bool restored = OpenPaletteProfile(profile, RealConfigLocationInputs(ModulePath()));
    const std::string folder = ConfigFolder(profile.Path());

    CDisplaySettings settings;
    CQurixDoc doc(settings, profile, folder);
    win32::CMainWindow frame(doc);
    {
        // The whole start is served from one read of the file.
        const CProfile::CReadHold hold(profile);
        if (!frame.Create()) return 1;
        if (restored) {
            doc.ShowStatus(FormatText(texts::SETTINGS_RESTORED, profile.Path()));
        }
        doc.historyPath = PartHistoryPath();
        LoadKeptParts(doc);
        if (!doc.OnNewDocument()) return 1;
        doc.SendInitialUpdate();
        frame.CheckSettingsWritable();
        frame.Show(show);
    }
    const HWND parts = GetDlgItem(frame.Hwnd(), win32::ID_PARTS_LIST);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (frame.Hwnd() != nullptr &&
            TranslateAcceleratorW(frame.Hwnd(), frame.Accelerators(), &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        // Checked from the loop once a message is done, as the Linux palette reports from
        // its event loop: a list without anything left to paint is on screen.
        if (probe != nullptr && ListView_GetItemCount(parts) > 0 &&
            win32::IsPaintedOnScreen(parts)) {
            win32::PrintShownLine(stdout, *probe);
            probe = nullptr;
            // Closed as the user would, so settings and cache are saved as after a use.
            PostMessageW(frame.Hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
        }
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command*/, int show) {
    const Clock::time_point started = Clock::now();
    const std::vector<std::string> args = Arguments();
    const bool exitWhenShown = args.size() == 2 && args[1] == EXIT_WHEN_SHOWN;
    if (args.size() > 1 && !exitWhenShown) {
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        const qurix::StandardOption asked =
            qurix::FindStandardOption(static_cast<int>(argv.size()), argv.data());
        if (asked == qurix::StandardOption::None) {
            std::fprintf(stderr, "%s\n", USAGE);
            return 2;
        }
        return qurix::AnswerStandardOption(asked, "qurix", USAGE, HELP);
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The drag and the drag image helper need OLE on this thread.
    if (FAILED(OleInitialize(nullptr))) return 1;
    const int status = Run(show, exitWhenShown ? &started : nullptr);
    OleUninitialize();
    return status;
}
