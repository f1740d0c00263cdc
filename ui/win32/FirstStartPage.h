#pragma once
#include "ui/win32/WinApi.h"

#include <string>
#include <vector>

#include "ui/win32/OwnedGdi.h"
#include "ui/win32/Window.h"

namespace qurix::win32 {

// Child ids on the page.
inline constexpr int ID_FIRST_START_PLACES = 110;
inline constexpr int ID_FIRST_START_OPEN = 111;

// Shown in the parts pane's place when no KIVOX.INI was found: a bold title, where the
// palette looked, a hint and the button "KIVOX.INI を開く…", whose click reaches the
// parent as ID_FILE_OPEN_CONFIG.
class CFirstStartPage : public CWindow {
public:
    // looked: ANSI code page bytes, as the files layer has the paths.
    CFirstStartPage(HWND parent, const std::vector<std::string>& looked);
    HWND OpenButton() const { return open_; }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Relayout();
    void Paint();
    int TitleHeight(HDC dc, int width) const;

    std::wstring title_;
    HWND places_ = nullptr;
    HWND open_ = nullptr;
    HFONT font_ = nullptr;  // the parent's, only referred to
    OwnedGdi<HFONT> bold_;
};

}  // namespace qurix::win32
