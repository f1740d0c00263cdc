#include "ui/qt/FirstStartPage.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "palette/Texts.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

CFirstStartPage::CFirstStartPage(const std::vector<std::string>& looked, QWidget* parent)
    : QWidget(parent), open_(new QPushButton(UiText(texts::CMD_OPEN_CONFIG), this)) {
    setObjectName(QStringLiteral("firstStartPage"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    auto* title = new QLabel(UiText(texts::FIRST_START_TITLE), this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);
    title->setWordWrap(true);
    layout->addWidget(title);
    QStringList places;
    for (const std::string& path : looked) places << QFile::decodeName(path.c_str());
    auto* where = new QLabel(UiText(texts::FIRST_START_LOOKED) + QStringLiteral("\n  ") +
                                 places.join(QStringLiteral("\n  ")),
                             this);
    where->setObjectName(QStringLiteral("lookedPlaces"));
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where->setWordWrap(true);
    layout->addWidget(where);
    auto* hint = new QLabel(UiText(texts::FIRST_START_HINT), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addWidget(open_, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(open_, &QPushButton::clicked, this, &CFirstStartPage::openClicked);
    // The page's one thing to do has the focus when the page has it (F6 too).
    setFocusProxy(open_);
}

}  // namespace qurix
