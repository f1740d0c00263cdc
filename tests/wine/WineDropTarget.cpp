// A stand-in for the schematic editor under Wine: a Win32 window registered as an OLE drop
// target that asks for "KivoxPartsInfo" as TYMED_HGLOBAL, the way a native editor does.
// Built with the MinGW cross-compiler and run by tests/app/palette_wine_drag_test.sh.
//
// usage: WineDropTarget.exe X Y WIDTH HEIGHT BLOCK_FILE
// Prints, one line each: "ready", "enter formats=A,B,... kivox=yes|no" (every offered
// format by name, and whether the block can be had), "leave", "drop bytes=N" with the
// HGLOBAL written to BLOCK_FILE, then "open ok" or "open failed N" (the block's path opened
// with CreateFileA in the ANSI code page, as the editor opens it; N is GetLastError), or
// "drop none". Exits after the first drop: 0 when the block arrived, 1 when not; 3 after
// 60 seconds without a drop; 2 on a usage error.
// First: it includes the Windows headers after what they would spoil.
#include "ui/win32/StackComObject.h"

#include <ole2.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR TIMEOUT_TIMER = 1;
constexpr UINT TIMEOUT_MS = 60000;

void Emit(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string FormatName(CLIPFORMAT format) {
    char name[256];
    const int length = GetClipboardFormatNameA(format, name, sizeof name);
    return length > 0 ? std::string(name, length) : "#" + std::to_string(format);
}

FORMATETC BlockFormat(CLIPFORMAT format) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Lives on main's stack until after RevokeDragDrop.
class CDropTarget : public qurix::win32::CStackComObject<IDropTarget, IID_IDropTarget> {
public:
    CDropTarget(CLIPFORMAT format, const char* blockFile)
        : format_(format), blockFile_(blockFile) {}

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        std::string names;
        IEnumFORMATETC* formats = nullptr;
        if (SUCCEEDED(data->EnumFormatEtc(DATADIR_GET, &formats)) && formats != nullptr) {
            FORMATETC format;
            while (formats->Next(1, &format, nullptr) == S_OK) {
                names += (names.empty() ? "" : ",") + FormatName(format.cfFormat);
            }
            formats->Release();
        }
        FORMATETC wanted = BlockFormat(format_);
        offered_ = data->QueryGetData(&wanted) == S_OK;
        Emit("enter formats=" + names + " kivox=" + (offered_ ? "yes" : "no"));
        return DragOver(0, POINTL{}, effect);
    }

    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = offered_ && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DragLeave() override {
        Emit("leave");
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        FORMATETC wanted = BlockFormat(format_);
        STGMEDIUM medium{};
        if (data->GetData(&wanted, &medium) == S_OK && medium.tymed == TYMED_HGLOBAL) {
            received_ = Save(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        if (received_) *effect = DROPEFFECT_COPY;
        if (!received_) Emit("drop none");
        PostQuitMessage(received_ ? 0 : 1);
        return S_OK;
    }

private:
    bool Save(HGLOBAL global) {
        const SIZE_T size = GlobalSize(global);
        const void* bytes = GlobalLock(global);
        if (bytes == nullptr) return false;
        FILE* out = std::fopen(blockFile_, "wb");
        const bool saved = out != nullptr && std::fwrite(bytes, 1, size, out) == size;
        if (out != nullptr) std::fclose(out);
        const std::string path(static_cast<const char*>(bytes),
                               strnlen(static_cast<const char*>(bytes), size));
        GlobalUnlock(global);
        if (!saved) return false;
        Emit("drop bytes=" + std::to_string(size));
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Emit("open failed " + std::to_string(GetLastError()));
        } else {
            Emit("open ok");
            CloseHandle(file);
        }
        return true;
    }

    CLIPFORMAT format_;
    const char* blockFile_;
    bool offered_ = false;
    bool received_ = false;
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == TIMEOUT_TIMER) {
        Emit("timeout");
        PostQuitMessage(3);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fputs("usage: WineDropTarget.exe X Y WIDTH HEIGHT BLOCK_FILE\n", stderr);
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const int width = std::atoi(argv[3]);
    const int height = std::atoi(argv[4]);
    // Unix line ends for the test script that reads the report.
    _setmode(_fileno(stdout), _O_BINARY);
    if (OleInitialize(nullptr) != S_OK) return 2;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "WineDropTarget";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("WineDropTarget", "wine-drop-target", WS_POPUP | WS_VISIBLE, x, y,
                                width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("KivoxPartsInfo"));
    CDropTarget target(format, argv[5]);
    if (window == nullptr || format == 0 || RegisterDragDrop(window, &target) != S_OK) return 2;
    UpdateWindow(window);
    SetTimer(window, TIMEOUT_TIMER, TIMEOUT_MS, nullptr);
    Emit("ready");

    MSG message;
    int status = 3;
    while (true) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            status = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) break;
        DispatchMessageA(&message);
    }
    RevokeDragDrop(window);
    DestroyWindow(window);
    OleUninitialize();
    return status;
}
