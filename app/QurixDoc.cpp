#include "app/QurixDoc.h"

#include <QCursor>
#include <QGuiApplication>
#include <algorithm>

#include "app/QurixView.h"
#include "core/library/LibrarySet.h"
#include "render/DisplaySettings.h"

namespace qurix {

namespace {

// The wait cursor while settings and libraries load.
class CWaitCursor {
public:
    CWaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~CWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

}  // namespace

CQurixDoc::CQurixDoc(CDisplaySettings& settings, CProfile profile, std::string configFolder)
    : settings_(settings), profile_(std::move(profile)), configFolder_(std::move(configFolder)) {}

CQurixDoc::~CQurixDoc() {
    if (loaded_) Free();
}

const CLibrarySet& CQurixDoc::Libraries() const {
    return settings_.libraries;
}

void CQurixDoc::Load() {
    CWaitCursor wait;
    LoadDisplaySettings(settings_, profile_, configFolder_);
    loaded_ = true;
}

void CQurixDoc::Free() {
    currentEntry = nullptr;
    currentLibrary = nullptr;
    FreeDisplaySettings(settings_);
    loaded_ = false;
}

void CQurixDoc::MakeAllPending() {
    for (CQurixView* v : views_) {
        if (std::find(pending_.begin(), pending_.end(), v) == pending_.end()) {
            pending_.push_back(v);
        }
    }
}

bool CQurixDoc::OnNewDocument() {
    MakeAllPending();
    if (loaded_) Free();
    Load();
    return true;
}

void CQurixDoc::SendInitialUpdate() {
    // A view may leave the document while another updates, so walk a copy.
    const std::vector<CQurixView*> views = views_;
    for (CQurixView* v : views) {
        if (std::find(views_.begin(), views_.end(), v) != views_.end()) v->OnInitialUpdate();
    }
}

bool CQurixDoc::Reload() {
    if (IsBusy() || closeRequested_) return false;
    {
        CWaitCursor wait;
        for (CQurixView* v : views_) v->DeleteAllItems();
        MakeAllPending();
        currentLibrary = nullptr;
        currentEntry = nullptr;
        if (loaded_) Free();
        Load();
    }
    UpdateAllViews(nullptr);
    return true;
}

void CQurixDoc::OnCloseDocument() {
    for (CQurixView* v : views_) v->DeleteAllItems();
    if (loaded_) Free();
}

bool CQurixDoc::TakePending(CQurixView* view) {
    const auto it = std::find(pending_.begin(), pending_.end(), view);
    if (it == pending_.end()) return false;
    pending_.erase(it);
    return true;
}

void CQurixDoc::UpdateAllViews(CQurixView* sender) {
    const std::vector<CQurixView*> views = views_;
    for (CQurixView* v : views) {
        if (v == sender) continue;
        if (std::find(views_.begin(), views_.end(), v) != views_.end()) v->OnUpdate(sender);
    }
}

void CQurixDoc::AddView(CQurixView* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void CQurixDoc::RemoveView(CQurixView* view) {
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
    pending_.erase(std::remove(pending_.begin(), pending_.end(), view), pending_.end());
}

void CQurixDoc::EndBusy() {
    if (busy_ == 0) return;
    if (--busy_ == 0 && closeRequested_ && onCloseAfterBusy) onCloseAfterBusy();
}

}  // namespace qurix
