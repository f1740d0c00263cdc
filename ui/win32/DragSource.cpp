#include "ui/win32/WinApi.h"

#include "ui/win32/DragSource.h"

#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <memory>
#include <vector>

#include "palette/DragBlock.h"
#include "ui/win32/Bitmaps.h"

namespace qurix::win32 {

namespace {

// A click-to-place drag's image, drawn beside the pointer by a layered window of its own
// that follows it (the shell's drag image shows only over targets that draw it, and not
// under Wine). Beside, never under the pointer: the window under it is the drop's target.
class CFollowImage {
public:
    CFollowImage(const ArgbImage& image) {
        HBITMAP bitmap = ArgbBitmap(image);
        if (bitmap == nullptr) return;
        const HINSTANCE inst = GetModuleHandleW(nullptr);
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = inst;
        c.lpszClassName = CLASS;
        RegisterClassExW(&c);  // fails harmlessly once it is there
        window_ = CreateWindowExW(
            WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
            CLASS, L"", WS_POPUP, 0, 0, image.width, image.height, nullptr, nullptr, inst, nullptr);
        if (window_ != nullptr) {
            HDC screen = GetDC(nullptr);
            HDC memory = CreateCompatibleDC(screen);
            HGDIOBJ old = SelectObject(memory, bitmap);
            SIZE size{image.width, image.height};
            POINT origin{0, 0};
            POINT at = Place();
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 192, AC_SRC_ALPHA};
            UpdateLayeredWindow(window_, screen, &at, &size, memory, &origin, 0, &blend, ULW_ALPHA);
            SelectObject(memory, old);
            DeleteDC(memory);
            ReleaseDC(nullptr, screen);
            ShowWindow(window_, SW_SHOWNOACTIVATE);
        }
        DeleteObject(bitmap);
    }
    ~CFollowImage() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    CFollowImage(const CFollowImage&) = delete;
    CFollowImage& operator=(const CFollowImage&) = delete;

    void Follow() const {
        if (window_ == nullptr) return;
        const POINT at = Place();
        SetWindowPos(window_, HWND_TOPMOST, at.x, at.y, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }

private:
    static constexpr const wchar_t* CLASS = L"QurixPlacedPart";
    static POINT Place() {
        POINT p{};
        GetCursorPos(&p);
        return POINT{p.x + OFFSET, p.y + OFFSET};
    }
    static constexpr int OFFSET = 12;
    HWND window_ = nullptr;
};

// The drop source lives on RunPartDrag's stack for the whole drag; the count only answers COM.
// A held drag drops when the button goes up. A click-to-place drag starts with no button
// held (or with the double-click's still down): it drops at the next press, once every
// button was up.
class CDropSource : public CStackComObject<IDropSource, IID_IDropSource> {
public:
    CDropSource(bool click, const CFollowImage* image) : click_(click), image_(image) {}
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        if (image_ != nullptr) image_->Follow();
        constexpr DWORD BUTTONS = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
        if (!click_) return (keys & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
        // The press may land in another program's window, whose thread alone hears of it
        // (Wine routes it there): the button's state as the whole desktop has it counts too.
        if ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0) keys |= MK_LBUTTON;
        if ((GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0) keys |= MK_RBUTTON;
        if ((keys & BUTTONS) == 0) {
            released_ = true;
            return S_OK;
        }
        if (!released_) return S_OK;
        // Another button than the left one cancels, as Esc does.
        return (keys & MK_LBUTTON) != 0 ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
        if (image_ != nullptr) image_->Follow();
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    bool click_;
    const CFollowImage* image_;
    bool released_ = false;
};

}  // namespace

CLIPFORMAT PartsInfoFormat() {
    static const CLIPFORMAT format =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatA(PARTS_INFO_FORMAT));
    return format;
}

HGLOBAL CopyToGlobal(const void* bytes, SIZE_T size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) return nullptr;
    void* p = GlobalLock(memory);
    if (p == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(p, bytes, size);
    GlobalUnlock(memory);
    return memory;
}

namespace {

// A copy of another global block; null when either cannot be had.
HGLOBAL CopyGlobal(HGLOBAL from) {
    const void* bytes = GlobalLock(from);
    if (bytes == nullptr) return nullptr;
    HGLOBAL copy = CopyToGlobal(bytes, GlobalSize(from));
    GlobalUnlock(from);
    return copy;
}

}  // namespace

CPartsDataObject::~CPartsDataObject() {
    for (auto& e : extras_) GlobalFree(e.second.hGlobal);
}

HRESULT CPartsDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    const int i = Find(*format);
    if (i < 0) return DV_E_FORMATETC;
    medium->pUnkForRelease = nullptr;
    if (i == 0) {
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = CopyToGlobal(block_.data(), block_.size());
        return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    // What the shell's drag image helper stored.
    medium->tymed = extras_[i - 1].second.tymed;
    if (medium->tymed != TYMED_HGLOBAL) return DV_E_TYMED;
    medium->hGlobal = CopyGlobal(extras_[i - 1].second.hGlobal);
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CPartsDataObject::QueryGetData(FORMATETC* format) {
    return format != nullptr && Find(*format) >= 0 ? S_OK : DV_E_FORMATETC;
}

HRESULT CPartsDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT CPartsDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    // The drag image helper keeps its data here.
    if (format == nullptr || medium == nullptr || medium->tymed != TYMED_HGLOBAL) {
        return E_NOTIMPL;
    }
    STGMEDIUM kept{};
    kept.tymed = TYMED_HGLOBAL;
    kept.hGlobal = release ? medium->hGlobal : CopyGlobal(medium->hGlobal);
    if (kept.hGlobal == nullptr) return E_OUTOFMEMORY;
    // Set again (a drop description as the pointer moves): the newest takes the old one's
    // place, so that a reader gets it and the list does not grow through the drag.
    for (auto& extra : extras_) {
        if (extra.first.cfFormat == format->cfFormat) {
            GlobalFree(extra.second.hGlobal);
            extra = {*format, kept};
            return S_OK;
        }
    }
    extras_.push_back({*format, kept});
    return S_OK;
}

HRESULT CPartsDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (direction != DATADIR_GET || out == nullptr) return E_NOTIMPL;
    std::vector<FORMATETC> formats{
        FORMATETC{PartsInfoFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
    for (const auto& e : extras_) formats.push_back(e.first);
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
}

int CPartsDataObject::Find(const FORMATETC& f) const {
    if (f.cfFormat == PartsInfoFormat() && (f.tymed & TYMED_HGLOBAL) != 0) return 0;
    for (size_t i = 0; i < extras_.size(); ++i) {
        if (extras_[i].first.cfFormat == f.cfFormat && (f.tymed & TYMED_HGLOBAL) != 0) {
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

HRESULT RunPartDrag(const std::string& block, const ArgbImage& image, POINT hotSpot, bool click,
                    DWORD* effect) {
    CPartsDataObject data(block);
    std::unique_ptr<CFollowImage> follow;
    if (click && !image.IsNull()) follow = std::make_unique<CFollowImage>(image);
    CDropSource source(click, follow.get());
    IDragSourceHelper* helper = nullptr;
    // A held drag's image is the shell's; a placing one draws its own (no two images).
    if (!click && !image.IsNull() &&
        SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IDragSourceHelper, reinterpret_cast<void**>(&helper)))) {
        SHDRAGIMAGE drag{};
        drag.sizeDragImage = SIZE{image.width, image.height};
        drag.ptOffset = hotSpot;
        drag.hbmpDragImage = ArgbBitmap(image);
        drag.crColorKey = CLR_NONE;
        // The helper owns the bitmap once it took it.
        if (drag.hbmpDragImage != nullptr && FAILED(helper->InitializeFromBitmap(&drag, &data))) {
            DeleteObject(drag.hbmpDragImage);
        }
    }
    DWORD done = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(&data, &source, DROPEFFECT_COPY, &done);
    if (helper != nullptr) helper->Release();
    if (effect != nullptr) *effect = done;
    return result;
}

}  // namespace qurix::win32
