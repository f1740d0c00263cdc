#pragma once
#include <QPlainTextEdit>

#include "palette/LoadProblem.h"
#include "palette/QurixView.h"

namespace qurix {

// The bottom-left pane: the note of the selected part, read-only, so that it can be
// selected and copied but not changed.
class CInfoView : public QPlainTextEdit, public CQurixView {
    Q_OBJECT
public:
    CInfoView(CQurixDoc& doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    // The current entry's note, the current problem's reason, or nothing.
    void OnUpdate(CQurixView* sender) override;

private:
    // Says which library did not load, where and why.
    void ShowProblem(const LoadProblem& problem);
};

}  // namespace qurix
