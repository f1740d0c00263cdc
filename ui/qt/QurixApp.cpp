#include "ui/qt/QurixApp.h"
#include "palette/Texts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <utility>

#include "core/platform/Paths.h"
#include "palette/CacheLocation.h"
#include "palette/ConfigLocation.h"
#include "palette/EarlyList.h"
#include "palette/ImageCache.h"
#include "palette/KeptParts.h"
#include "palette/QurixDoc.h"
#include "render/DisplaySettings.h"
#include "render/qt/QtBridge.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

namespace {

// Where the early list's window is not painted at once, the load waits no longer.
constexpr int EARLY_LOAD_AT_LATEST_MS = 200;

}  // namespace

CQurixApp::CQurixApp() : settings_(std::make_unique<CDisplaySettings>()) {}

CQurixApp::~CQurixApp() {
    earlyRead_.reset();
    frame_.reset();
    doc_.reset();
}

void CQurixApp::Close() {
    if (frame_) frame_->close();
    frame_.reset();
    doc_.reset();
}

void CQurixApp::OpenConfigFile(const std::string& path) {
    // The window asking goes: not from inside its own handler.
    QTimer::singleShot(0, qApp, [this, path] {
        RememberConfigFile(PaletteDataFolder(where_.perUserFolder), path);
        given_ = path;
        // The old window's close is no end of the program.
        const bool quits = QGuiApplication::quitOnLastWindowClosed();
        QGuiApplication::setQuitOnLastWindowClosed(false);
        // No stray KIVOX.INI where the rule looked in vain.
        if (FirstStart() && frame_) frame_->DiscardSettingsAtClose();
        Close();
        profile_ = CProfile();
        InitInstance(where_, shown_);
        QGuiApplication::setQuitOnLastWindowClosed(quits);
    });
}

bool CQurixApp::InitInstance(const ConfigLocationInputs& where, bool show) {
    where_ = where;
    shown_ = show;
    choice_ = ChooseStartConfigFile(where, given_);
    const bool restored = OpenPaletteProfile(profile_, choice_.path);
    configFolder_ = qurix::ConfigFolder(profile_.Path());
    // The whole start is served from one read of the file.
    const CProfile::CReadHold hold(profile_);
    doc_ = std::make_unique<CQurixDoc>(*settings_, profile_, configFolder_);
    // The extra-large and details modes never show the early list: no read for them.
    const int mode = ReadPartsStyle(profile_);
    const bool early =
        show && earlyList_ && choice_.found && mode != MODE_XLARGE && mode != MODE_DETAILS;
    if (early) {
        doc_->ReadDrawingSettings();
        earlyRead_ = std::make_unique<CEarlyListReader>(
            ChooseCacheFolder(RealCacheLocationInputs(profile_.Path())),
            // The settings stay as they are until the list is taken.
            [settings = settings_.get()] { return DrawingDigest(*settings, QtCanvasMaker); });
    }

    frame_ = std::make_unique<CMainFrame>(*doc_, choice_.found);
    frame_->onOpenConfig = [this](const std::string& path) { OpenConfigFile(path); };
    if (!choice_.found) frame_->ShowFirstStart(FirstStartPlaces(choice_));
    if (restored) {
        doc_->ShowStatus(FormatText(texts::SETTINGS_RESTORED, profile_.Path()));
    }
    LoadKeptParts(*doc_, PartHistoryPath());
    if (early && ShowEarly()) return true;
    earlyRead_.reset();
    return FinishStart(show);
}

bool CQurixApp::ShowEarly() {
    const bool shown = frame_->PartsList()->ShowEarlyList(earlyRead_.get());
    earlyRead_.reset();
    if (!shown) return false;
    loadPending_ = true;
    const auto load = [this] {
        // Once, and not for a window closed meanwhile.
        if (!std::exchange(loadPending_, false) || !frame_->isVisible()) return;
        FinishStart(true);
    };
    // Queued: the paint is on screen before the load takes the thread. A window that is
    // not painted (started minimised) loads all the same a moment later.
    QObject::connect(
        frame_->PartsList(), &CPartsView::painted, frame_.get(), load,
        static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
    QTimer::singleShot(EARLY_LOAD_AT_LATEST_MS, frame_.get(), load);
    frame_->UpdateCommandStates();
    frame_->show();
    return true;
}

bool CQurixApp::FinishStart(bool show) {
    // The whole load is served from one read of the file.
    const CProfile::CReadHold hold(profile_);
    if (!doc_->OnNewDocument()) return false;
    doc_->SendInitialUpdate();
    // No library took the early items' place (the remembered one no longer loads).
    frame_->PartsList()->DropEarlyList();
    // Without the file the first-start page says what is wrong; a failed write would only
    // repeat it in other words.
    if (choice_.found) frame_->CheckSettingsWritable();
    frame_->UpdateCommandStates();
    if (show) frame_->show();
    frame_->MarkStartFinished();
    return true;
}

std::unique_ptr<QDialog> CQurixApp::MakeAboutBox(QWidget* parent, const AboutFacts& about) {
    auto box = std::make_unique<QDialog>(parent);
    box->setWindowTitle(UiText(texts::ABOUT_TITLE));
    box->setModal(true);
    auto* grid = new QGridLayout(box.get());
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(16);

    auto* icon = new QLabel(box.get());
    icon->setPixmap(QIcon(QStringLiteral(":/qurix/qurix.png")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(icon, 0, 0, 3, 1);

    auto* title = new QLabel(
        UiText(texts::ABOUT_VERSION)
            .arg(QString::fromLatin1(PRODUCT_NAME), QString::fromLatin1(PRODUCT_VERSION)),
        box.get());
    title->setObjectName(QStringLiteral("titleLine"));
    grid->addWidget(title, 0, 1);
    auto* second = new QLabel(UiText(texts::ABOUT_PRODUCT), box.get());
    second->setObjectName(QStringLiteral("secondLine"));
    grid->addWidget(second, 1, 1);
    // Paths as the system's bytes, as the rest of the window shows them.
    auto* facts =
        new QLabel(UiText(texts::ABOUT_CONFIG).arg(QFile::decodeName(about.configPath.c_str())) +
                       QLatin1Char('\n') +
                       UiText(texts::ABOUT_CACHE).arg(QFile::decodeName(about.cacheFolder.c_str())),
                   box.get());
    facts->setObjectName(QStringLiteral("factsLine"));
    facts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(facts, 2, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box.get());
    QObject::connect(buttons, &QDialogButtonBox::accepted, box.get(), &QDialog::accept);
    grid->addWidget(buttons, 0, 2, 3, 1, Qt::AlignTop);
    return box;
}

void CQurixApp::OnAppAbout(QWidget* parent, const AboutFacts& facts) {
    const std::unique_ptr<QDialog> box = MakeAboutBox(parent, facts);
    box->exec();
}

}  // namespace qurix
