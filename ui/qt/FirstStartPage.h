#pragma once
#include <QWidget>
#include <string>
#include <vector>

class QPushButton;

namespace qurix {

// Shown in the parts pane when no KIVOX.INI was found: where the palette looked, and a
// button to choose the editor's file.
class CFirstStartPage : public QWidget {
    Q_OBJECT
public:
    CFirstStartPage(const std::vector<std::string>& looked, QWidget* parent = nullptr);
    QPushButton* OpenButton() const { return open_; }

signals:
    void openClicked();

private:
    QPushButton* open_;
};

}  // namespace qurix
