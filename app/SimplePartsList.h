#pragma once
#include <QListWidget>

#include "app/QurixView.h"

namespace qurix {

class CPartLibrary;

// The right-hand pane until the thumbnail parts list takes its place: the names of
// the current library's parts; the selected one becomes the document's current
// entry. It follows the view-mode commands as the parts list will.
class CSimplePartsList : public QListWidget, public CQurixView {
    Q_OBJECT
public:
    // The display modes, as "parts_style" numbers them.
    static constexpr int MODE_LARGE = 0;
    static constexpr int MODE_DETAILS = 1;
    static constexpr int MODE_SMALL = 2;
    static constexpr int MODE_LIST = 3;

    CSimplePartsList(CQurixDoc& doc, QWidget* parent = nullptr);

    void OnUpdate(CQurixView* sender) override;
    void DeleteAllItems() override;

    // 0xE810 small icons, 0xE811 large icons, 0xE812 list; other commands do nothing.
    void SetViewStyle(int command);
    int DisplayMode() const { return mode_; }
    const CPartLibrary* ShownLibrary() const { return shown_; }

private:
    void ApplyMode();
    void OnSelectionChanged();

    int mode_ = MODE_LARGE;
    const CPartLibrary* shown_ = nullptr;
    bool filling_ = false;
};

}  // namespace qurix
