#pragma once
#include "ui/win32/WinApi.h"

#include <ole2.h>

namespace qurix::win32 {

// The IUnknown of a COM object that lives on its maker's stack for as long as COM may use
// it: QueryInterface answers for Interface (InterfaceId) alone, and the count only
// satisfies COM; nothing is ever deleted.
template <class Interface, const IID& InterfaceId>
class CStackComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == InterfaceId) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

private:
    ULONG references_ = 1;
};

}  // namespace qurix::win32
