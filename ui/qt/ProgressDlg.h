#pragma once
#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qurix {

// What the user sees while the parts' thumbnails are built: a message, the count
// "n / total", a bar and "キャンセル". Modeless: the main window stays usable, and every
// queued event is handled inside CheckCancel, between two parts.
class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    // Shows itself at once, centred on parent's window when that is shown, else on the
    // screen.
    explicit CProgressDlg(QWidget* parent = nullptr);
    ~CProgressDlg() override;

    // The number of steps. Negative counts as 0.
    void SetTotal(int32_t n);
    // Steps done: moves the bar and sets the count text to "n / total".
    void SetPos(int32_t n);
    // Lets every queued event run, then tells whether to go on: false once Cancel was
    // pressed (button, Esc, close box) or the application was asked to quit. A close of
    // the main window stops the build through the document (CQurixDoc::RequestClose).
    bool CheckCancel();
    // After the last step: closes the window; SetTotal and SetPos then do nothing.
    void DestroyWindow();

    bool CancelRequested() const { return cancelRequested_; }
    bool QuitRequested() const { return quitRequested_; }
    int32_t Total() const { return total_; }
    QString CountText() const;
    QString MessageText() const;
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }

public slots:
    // Cancel button, Esc and the close box: the build stops at its next check.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* message_ = nullptr;
    QLabel* count_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int32_t total_ = 0;
    QWidget* parentWindow_ = nullptr;
    bool cancelRequested_ = false;
    bool quitRequested_ = false;
    bool windowGone_ = false;
};

}  // namespace qurix
