#pragma once
#include "ui/win32/WinApi.h"

#include <cstdint>

#include "palette/BuildProgress.h"
#include "ui/win32/OwnedGdi.h"
#include "ui/win32/Window.h"

namespace qurix::win32 {

// The thumbnail build's modal progress window: the message, "n / total", a progress bar
// and キャンセル. Made at Begin, gone at End; the owner is disabled meanwhile. Pump runs
// the thread's messages, so the rest of the program stays painted.
class CProgressWindow : public CWindow, public CBuildProgress {
public:
    explicit CProgressWindow(HWND owner) : owner_(owner) {}
    ~CProgressWindow() override;

    void Begin(int32_t total) override;
    void SetPos(int32_t done) override;
    bool Pump() override;
    bool CancelRequested() const override { return cancelled_ || quit_; }
    void End(bool stopped) override;

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();

    HWND owner_;
    HWND message_ = nullptr;
    HWND count_ = nullptr;
    HWND bar_ = nullptr;
    HWND cancel_ = nullptr;
    OwnedGdi<HFONT> font_;
    int32_t total_ = 0;
    bool cancelled_ = false;
    bool quit_ = false;
    bool ownerWasEnabled_ = false;
};

}  // namespace qurix::win32
