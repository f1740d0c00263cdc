#include "ui/qt/ProgressDlg.h"
#include "palette/Texts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include "ui/qt/TextDisplay.h"

namespace qurix {

CProgressDlg::CProgressDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setModal(false);
    setWindowTitle(UiText(texts::PROGRESS_TITLE));

    message_ = new QLabel(UiText(texts::PROGRESS_MESSAGE), this);
    count_ = new QLabel(this);
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for large counts, so the text does not jump as it grows.
    count_->setMinimumWidth(
        count_->fontMetrics().horizontalAdvance(QStringLiteral("00000 / 00000")));
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    cancel_ = new QPushButton(UiText(texts::CANCEL), this);
    connect(cancel_, &QPushButton::clicked, this, &CProgressDlg::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(message_);
    top->addStretch(1);
    top->addSpacing(12);
    top->addWidget(count_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cancel_);
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(bar_);
    layout->addLayout(bottom);

    // About the width the dialog has on the editor's platform (277 dialog units).
    const int width = std::max(sizeHint().width(), fontMetrics().averageCharWidth() * 277 / 4);
    setFixedSize(width, sizeHint().height());

    // A quit asked for by a handler that runs inside CheckCancel (the main window
    // closing) must end the build too.
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    // A close of the main window needs no watch here: the window refuses it while the
    // document is busy and closes once the build has ended.
    if (parent != nullptr) parentWindow_ = parent->window();
    // A window not shown yet (the first start builds before the main window appears) has
    // no place to centre on: the screen's middle, not its top-left corner.
    if (parentWindow_ == nullptr || !parentWindow_->isVisible()) {
        const QScreen* screen =
            parentWindow_ != nullptr ? parentWindow_->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            move(screen->availableGeometry().center() - rect().center());
        }
    }

    show();
}

// Closing (not just hiding) lets the application quit when this was its last window.
CProgressDlg::~CProgressDlg() {
    DestroyWindow();
}

void CProgressDlg::SetTotal(int32_t n) {
    if (windowGone_) return;
    total_ = std::max(n, 0);
    // A 0 … 0 range would make the bar a busy indicator.
    bar_->setRange(0, std::max(total_, 1));
    bar_->setValue(0);
}

void CProgressDlg::SetPos(int32_t n) {
    if (windowGone_) return;
    bar_->setValue(std::clamp(n, 0, bar_->maximum()));
    count_->setText(QStringLiteral("%1 / %2").arg(n).arg(total_));
}

bool CProgressDlg::CheckCancel() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !cancelRequested_ && !quitRequested_;
}

void CProgressDlg::DestroyWindow() {
    if (windowGone_) return;
    windowGone_ = true;
    close();
}

QString CProgressDlg::CountText() const {
    return count_->text();
}

QString CProgressDlg::MessageText() const {
    return message_->text();
}

void CProgressDlg::reject() {
    if (!quitRequested_ && !windowGone_) cancelRequested_ = true;
    QDialog::reject();
}

bool CProgressDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        quitRequested_ = true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qurix
