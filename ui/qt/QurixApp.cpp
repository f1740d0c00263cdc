#include "ui/qt/QurixApp.h"
#include "palette/Texts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "core/platform/FileReplace.h"
#include "palette/ConfigLocation.h"
#include "palette/KeptParts.h"
#include "palette/QurixDoc.h"
#include "render/DisplaySettings.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

CQurixApp::CQurixApp() : settings_(std::make_unique<CDisplaySettings>()) {}

CQurixApp::~CQurixApp() {
    frame_.reset();
    doc_.reset();
}

bool CQurixApp::InitInstance(const ConfigLocationInputs& where, bool show) {
    profile_.SetPath(LocateConfigFile(where));
    configFolder_ = qurix::ConfigFolder(profile_.Path());
    // A write of ours that a kill cut short is undone before anything reads the file.
    const std::string journalFolder = PaletteDataFolder();
    profile_.SetJournalFolder(journalFolder);
    const Recovery recovery = RecoverInPlaceWrite(journalFolder, profile_.Path());
    RemoveAbandonedTemporaries(profile_.Path());
    // The whole start is served from one read of the file.
    const CProfile::CReadHold hold(profile_);

    doc_ = std::make_unique<CQurixDoc>(*settings_, profile_, configFolder_);
    frame_ = std::make_unique<CMainFrame>(*doc_);
    if (recovery == Recovery::Restored) {
        doc_->ShowStatus(FormatText(texts::SETTINGS_RESTORED, profile_.Path()));
    }
    doc_->historyPath = PartHistoryPath();
    LoadKeptParts(*doc_);
    if (!doc_->OnNewDocument()) return false;
    doc_->SendInitialUpdate();
    frame_->CheckSettingsWritable();
    frame_->UpdateCommandStates();
    if (show) frame_->show();
    return true;
}

std::unique_ptr<QDialog> CQurixApp::MakeAboutBox(QWidget* parent) {
    auto box = std::make_unique<QDialog>(parent);
    box->setWindowTitle(UiText(texts::ABOUT_TITLE));
    box->setModal(true);
    auto* grid = new QGridLayout(box.get());
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(16);

    auto* icon = new QLabel(box.get());
    icon->setPixmap(QIcon(QStringLiteral(":/qurix/qurix.png")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(icon, 0, 0, 2, 1);

    auto* title = new QLabel(
        UiText(texts::ABOUT_VERSION)
            .arg(QString::fromLatin1(PRODUCT_NAME), QString::fromLatin1(PRODUCT_VERSION)),
        box.get());
    title->setObjectName(QStringLiteral("titleLine"));
    grid->addWidget(title, 0, 1);
    auto* second = new QLabel(UiText(texts::ABOUT_PRODUCT), box.get());
    second->setObjectName(QStringLiteral("secondLine"));
    grid->addWidget(second, 1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box.get());
    QObject::connect(buttons, &QDialogButtonBox::accepted, box.get(), &QDialog::accept);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    return box;
}

void CQurixApp::OnAppAbout(QWidget* parent) {
    const std::unique_ptr<QDialog> box = MakeAboutBox(parent);
    box->exec();
}

}  // namespace qurix
