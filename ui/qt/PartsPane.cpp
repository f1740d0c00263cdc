#include "ui/qt/PartsPane.h"
#include "palette/Texts.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>
#include <string_view>
#include <vector>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "palette/LibraryList.h"
#include "palette/QurixDoc.h"
#include "palette/search/PreferredParts.h"
#include "palette/search/ResultLabels.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/SearchBar.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

CPartsPane::CPartsPane(CQurixDoc& doc, QWidget* parent)
    : QWidget(parent), doc_(doc), bar_(new CSearchBar(this)), view_(new CPartsView(doc, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(bar_);
    layout->addWidget(view_, 1);

    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        bar_->setFocus(Qt::ShortcutFocusReason);
        bar_->selectAll();
    });
    connect(bar_, &QLineEdit::textChanged, this, &CPartsPane::Search);
    connect(bar_, &CSearchBar::escapePressed, this, &CPartsPane::ClearSearch);
    connect(bar_, &CSearchBar::downPressed, this, &CPartsPane::EnterResults);
    // Enter takes the first result, as Down does.
    connect(bar_, &QLineEdit::returnPressed, this, &CPartsPane::EnterResults);
    // The index refers into the libraries: it goes with them and is made again on the
    // first search after the next load.
    connect(view_, &CPartsView::librariesReleased, this, [this] {
        search_.Release();
        names_.clear();
    });
    connect(view_, &CPartsView::updated, this, [this] {
        if (!search_.Ready() && !bar_->text().trimmed().isEmpty()) Search(bar_->text());
    });
    view_->installEventFilter(this);
}

CPartsPane::~CPartsPane() = default;

void CPartsPane::ShowPage(QWidget* page) {
    bar_->hide();
    if (view_ != nullptr) view_->hide();
    page->setParent(this);
    static_cast<QVBoxLayout*>(layout())->addWidget(page, 1);
    page->show();
}

bool CPartsPane::IsSearching() const {
    return view_ != nullptr && view_->ShowingEntries();
}

QString CPartsPane::CountText() const {
    if (!IsSearching()) return QString();
    return preparing_ ? UiText(texts::SEARCH_PREPARING)
                      : UiText(texts::SEARCH_COUNT).arg(resultCount_);
}

void CPartsPane::Search(const QString& text) {
    if (view_ == nullptr) return;
    if (text.trimmed().isEmpty()) {
        resultCount_ = 0;
        preparing_ = false;
        if (IsSearching()) {
            ReturnToLibrary();
            emit searchLeft();
        }
        ShowCount();
        return;
    }
    if (!doc_.IsLoaded()) return;
    const QByteArray query = text.toUtf8();
    std::vector<SearchHit> hits;
    preparing_ = !search_.Find(
        doc_.Libraries(), std::string_view(query.constData(), static_cast<size_t>(query.size())),
        hits, [this] {
            // On the worker: the search runs again on the window's thread, with what is
            // typed by then.
            QMetaObject::invokeMethod(
                this, [this] { Search(bar_->text()); }, Qt::QueuedConnection);
        });
    if (preparing_) {
        resultCount_ = view_->ShowEntries({}, texts::SEARCH_PREPARING);
        ShowCount();
        return;
    }
    PreferKeptParts(hits, doc_.history);
    std::vector<ListedPart> listed;
    listed.reserve(hits.size());
    for (const SearchHit& hit : hits) listed.push_back({hit.library, hit.part});
    const std::vector<bool> naming = ResultsNamingLibrary(listed);
    // A second line under the icon; after the name in the one-line list.
    const bool oneLine = view_->DisplayMode() == CPartsView::MODE_LIST;
    std::vector<CPartsView::ListedPart> parts;
    parts.reserve(hits.size());
    for (size_t i = 0; i < hits.size(); ++i) {
        QString text = NameText(hits[i].part);
        if (naming[i] && hits[i].library != nullptr)
            text += QString::fromStdString(LibrarySuffix(*hits[i].library, oneLine));
        parts.push_back({hits[i].library, hits[i].part, text, QString(), -1});
    }
    resultCount_ = view_->ShowEntries(std::move(parts));
    ShowCount();
}

void CPartsPane::ReturnToLibrary() {
    view_->ShowLibrary(doc_.CurrentLibrary());
    // The part picked among the results stays picked in its library.
    for (int row = 0; row < view_->ItemCount(); ++row) {
        if (view_->ItemEntry(row) != doc_.CurrentEntry()) continue;
        view_->SelectItem(row);
        view_->scrollTo(view_->model()->index(row, 0));
        break;
    }
}

void CPartsPane::ClearSearch() {
    if (!bar_->text().isEmpty()) bar_->clear();
}

void CPartsPane::EnterResults() {
    if (view_ == nullptr || view_->ItemCount() == 0) return;
    view_->setFocus(Qt::OtherFocusReason);
    if (!view_->selectionModel()->hasSelection()) view_->SelectItem(0);
}

void CPartsPane::ShowCount() {
    // The window shows the count in a field of its own, where no tool tip covers it.
    shownCount_ = CountText();
    emit countChanged();
}

bool CPartsPane::eventFilter(QObject* watched, QEvent* event) {
    // The type first: the list's last events come while it is half destroyed, when even
    // comparing it through the guarded pointer is a bad cast.
    if (event->type() == QEvent::KeyPress && watched == view_ && IsSearching()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            ClearSearch();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

const QString& CPartsPane::NameText(const CLibEntry* entry) {
    auto [it, added] = names_.try_emplace(entry);
    if (added) it->second = DisplayText(entry->Name());
    return it->second;
}

}  // namespace qurix
