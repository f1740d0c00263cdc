#pragma once
#include "ui/win32/WinApi.h"

#include <ole2.h>

#include <string>
#include <utility>
#include <vector>

#include "render/ArgbImage.h"
#include "ui/win32/StackComObject.h"

namespace qurix::win32 {

// The data object of a part's drag: offers the registered format "KivoxPartsInfo" as an
// HGLOBAL copy of block (the 520 bytes), and keeps what the shell's drag image helper
// stores in it. It lives on its maker's stack for the whole drag; the count only answers
// COM, and the one external holder (the helper) lets go before the drag ends.
class CPartsDataObject : public CStackComObject<IDataObject, IID_IDataObject> {
public:
    explicit CPartsDataObject(const std::string& block) : block_(block) {}
    ~CPartsDataObject();
    CPartsDataObject(const CPartsDataObject&) = delete;
    CPartsDataObject& operator=(const CPartsDataObject&) = delete;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    // 0: the block; 1 …: a stored format; -1: none.
    int Find(const FORMATETC& f) const;

    const std::string& block_;
    std::vector<std::pair<FORMATETC, STGMEDIUM>> extras_;
};

// Runs an OLE drag of one part: the data object offers the registered format
// "KivoxPartsInfo" as an HGLOBAL of block (the 520 bytes), with image (premultiplied
// into a drag bitmap; none when null) held at hotSpot under the pointer. Returns the
// DoDragDrop result (DRAGDROP_S_DROP, DRAGDROP_S_CANCEL or an error) and, in effect, what
// the target did. click: started with no button held (click-to-place), dropped at the next
// left click, cancelled by Esc or another button.
HRESULT RunPartDrag(const std::string& block, const ArgbImage& image, POINT hotSpot,
                    bool click = false, DWORD* effect = nullptr);
// Whether a drag's result is a drop the target took.
inline bool DropAccepted(HRESULT result, DWORD effect) {
    return result == DRAGDROP_S_DROP && (effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) != 0;
}

// The registered clipboard format of the block.
CLIPFORMAT PartsInfoFormat();
// A movable global copy of size bytes, as data objects and the clipboard hand data over;
// null when one cannot be had.
HGLOBAL CopyToGlobal(const void* bytes, SIZE_T size);

}  // namespace qurix::win32
