#include "palette/QurixDoc.h"

#include <algorithm>
#include <utility>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "palette/QurixView.h"
#include "palette/Texts.h"
#include "render/DisplaySettings.h"

namespace qurix {

CQurixDoc::CQurixDoc(CDisplaySettings& settings, CProfile profile, std::string configFolder)
    : settings_(settings), profile_(std::move(profile)), configFolder_(std::move(configFolder)) {}

CQurixDoc::~CQurixDoc() {
    if (loaded_) Free();
}

const CLibrarySet& CQurixDoc::Libraries() const {
    return settings_.libraries;
}

void CQurixDoc::Load() {
    const CWaitCursor wait(host_);
    problems_.clear();
    const CLibrarySet::LoadListener listener = [this](const std::string& key,
                                                      const std::string& path, int32_t line,
                                                      const std::string& reason) {
        problems_.push_back(LoadProblem{key, path, line, reason});
    };
    LoadDisplaySettings(settings_, profile_, configFolder_, &listener);
    warnings_ = CollectLoadWarnings(profile_, Libraries());
    loaded_ = true;
    if (!problems_.empty()) {
        ShowStatus(FormatText(texts::LIBRARIES_FAILED, std::to_string(problems_.size())));
    }
    Notify(&CDocListener::OnLoaded);
}

void CQurixDoc::ReadDrawingSettings() {
    qurix::ReadDrawingSettings(settings_, profile_);
}

void CQurixDoc::Free() {
    currentEntry_ = nullptr;
    currentLibrary_ = nullptr;
    currentProblem_ = -1;
    FreeDisplaySettings(settings_);
    problems_.clear();
    warnings_.clear();
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

void CQurixDoc::SetCurrentLibrary(const CPartLibrary* library) {
    // Letting go of the library (null) keeps the part: the list still shows it.
    if (library != nullptr && library != currentLibrary_ && currentEntry_ != nullptr) {
        bool ours = false;
        for (int32_t e = 0; e < library->EntryCount() && !ours; ++e) {
            ours = library->Entry(e) == currentEntry_;
        }
        if (!ours) currentEntry_ = nullptr;
    }
    currentProblem_ = -1;
    if (library != nullptr) {
        if (library->Path() != held_.libraryPath) held_ = Place();
    }
    currentLibrary_ = library;
}

void CQurixDoc::SetCurrentProblem(const LoadProblem* problem) {
    currentProblem_ = -1;
    for (size_t i = 0; i < problems_.size(); ++i) {
        if (&problems_[i] == problem) currentProblem_ = static_cast<int32_t>(i);
    }
    if (currentProblem_ < 0) return;
    currentLibrary_ = nullptr;
    currentEntry_ = nullptr;
    if (problem->path != held_.libraryPath) held_ = Place();
}

const LoadProblem* CQurixDoc::CurrentProblem() const {
    return currentProblem_ < 0 ? nullptr : &problems_[static_cast<size_t>(currentProblem_)];
}

std::string CQurixDoc::CurrentPath() const {
    if (currentLibrary_ != nullptr) return currentLibrary_->Path();
    const LoadProblem* problem = CurrentProblem();
    return problem != nullptr ? problem->path : std::string();
}

bool CQurixDoc::TakePlaceFor(const CPartLibrary* library, Place& wanted) {
    if (library == nullptr || place.libraryPath.empty() || place.libraryPath != library->Path()) {
        return false;
    }
    wanted = std::exchange(place, Place());
    return true;
}

void CQurixDoc::PutBackCurrent(const Place& wanted) {
    held_ = Place();
    if (wanted.libraryPath.empty()) return;
    for (int32_t i = 0; i < Libraries().Count(); ++i) {
        const CPartLibrary* library = Libraries().GetLibrary(i);
        if (library->Path() == wanted.libraryPath) {
            currentLibrary_ = library;
            return;
        }
    }
    for (size_t i = 0; i < problems_.size(); ++i) {
        if (problems_[i].path != wanted.libraryPath) continue;
        currentProblem_ = static_cast<int32_t>(i);
        held_ = wanted;
        return;
    }
}

bool CQurixDoc::Reload(bool keepPlace) {
    if (IsBusy() || closeRequested_) return false;
    // The reload, and the thumbnails' checks against the file, read it once.
    const CProfile::CReadHold hold(profile_);
    place = Place();
    if (keepPlace && CurrentProblem() != nullptr && held_.libraryPath == CurrentPath()) {
        // Still not loaded since it broke: the part and scroll from before.
        place = held_;
    } else if (keepPlace && currentLibrary_ != nullptr) {
        place.libraryPath = currentLibrary_->Path();
        if (currentEntry_ != nullptr) place.entryName = currentEntry_->Name();
    } else if (keepPlace) {
        place.libraryPath = CurrentPath();
    }
    {
        const CWaitCursor wait(host_);
        for (CQurixView* v : views_) v->DeleteAllItems();
        MakeAllPending();
        currentLibrary_ = nullptr;
        currentEntry_ = nullptr;
        if (loaded_) Free();
        Load();
        PutBackCurrent(place);
    }
    UpdateAllViews(nullptr);
    place = Place();
    return true;
}

std::string CQurixDoc::WarningFor(const CPartLibrary* library) const {
    std::string text;
    for (const LoadWarning& w : warnings_) {
        if (library == nullptr || w.path != library->Path()) continue;
        text += (text.empty() ? "" : "\n") + w.text;
    }
    return text;
}

std::vector<std::string> CQurixDoc::WatchedFiles() const {
    std::vector<std::string> files{profile_.Path()};
    for (int32_t i = 0; i < Libraries().Count(); ++i)
        files.push_back(Libraries().GetLibrary(i)->Path());
    for (const LoadProblem& p : problems_) files.push_back(p.path);
    return files;
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
    if (--busy_ == 0 && closeRequested_) Notify(&CDocListener::OnCloseAfterBusy);
}

void CQurixDoc::Notify(void (CDocListener::*event)()) {
    // A listener may leave while another hears the event, so walk a copy.
    const std::vector<CDocListener*> listeners = listeners_;
    for (CDocListener* l : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) (l->*event)();
    }
}

void CQurixDoc::AddListener(CDocListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void CQurixDoc::RemoveListener(CDocListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

}  // namespace qurix
