#pragma once
#include "ui/win32/WinApi.h"

#include <string>

#include "palette/StatusFields.h"

namespace qurix::win32 {

// The status bar: a message in the first part, and after it the permanent fields (parts
// shown or found, libraries that did not load, the zoom), which no message covers. A
// message wider than its part is there whole in the part's tool tip.
class CStatusBar {
public:
    enum Part { PART_MESSAGE, PART_PARTS, PART_PROBLEMS, PART_ZOOM, PART_COUNT };

    explicit CStatusBar(HWND parent);
    HWND Hwnd() const { return bar_; }
    void ShowMessage(const std::string& utf8);
    void SetFields(const StatusFields& fields);
    // After the parent's size or the font changed: the parts' widths from their texts.
    void Relayout();
    // A part's text as the control shows it.
    std::wstring Text(Part part) const;
    // The message's tool tip: the whole message while it does not fit, else empty.
    const std::wstring& MessageTip() const { return tip_; }

private:
    int TextWidth(const std::wstring& text) const;
    void SetText(Part part, const std::wstring& text);

    HWND bar_;
    std::wstring texts_[PART_COUNT];
    std::wstring tip_;
};

}  // namespace qurix::win32
