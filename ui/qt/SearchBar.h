#pragma once
#include <QLineEdit>
#include "palette/Texts.h"

namespace qurix {

// The search field above the parts list. Esc and the Down arrow are passed on as
// signals instead of being taken by the field.
class CSearchBar : public QLineEdit {
    Q_OBJECT
public:
    static constexpr const char* PLACEHOLDER = texts::SEARCH_PLACEHOLDER;

    explicit CSearchBar(QWidget* parent = nullptr);

signals:
    void escapePressed();
    void downPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qurix
