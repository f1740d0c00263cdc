#pragma once
#include <string>
#include <vector>

#include "core/profile/Profile.h"
#include "palette/LoadProblem.h"
#include "palette/LoadWarnings.h"
#include "palette/PartHistory.h"
#include "palette/UiHost.h"

namespace qurix {

class CDisplaySettings;
class CLibEntry;
class CLibrarySet;
class CPartLibrary;
class CQurixView;

// Hears what happens to the document besides the view updates (the main window, the
// file watching); any number of listeners, called in the order they were added.
class CDocListener {
public:
    virtual ~CDocListener() = default;
    // After every load of the settings and libraries.
    virtual void OnLoaded() {}
    // A close asked for while busy may now go ahead.
    virtual void OnCloseAfterBusy() {}
};

// The palette's one document: the loaded settings and libraries, the library and part
// the user selected, and the change notifications between the views. It has no file.
class CQurixDoc {
public:
    // settings is the application's process-wide settings object; profile is the
    // configuration file and configFolder its folder (for relative library paths).
    CQurixDoc(CDisplaySettings& settings, CProfile profile, std::string configFolder);
    ~CQurixDoc();
    CQurixDoc(const CQurixDoc&) = delete;
    CQurixDoc& operator=(const CQurixDoc&) = delete;

    // Before the first load: the colours and fonts alone, for what is shown before it.
    void ReadDrawingSettings();
    // Loads the colours, fonts and libraries; every view becomes pending.
    bool OnNewDocument();
    // Sends every view its initial update, in view order.
    void SendInitialUpdate();
    // Empties the lists, clears the selection, loads everything again from the
    // configuration file and updates every view. Refused (false) while busy, since a
    // thumbnail build may be walking the libraries that a reload would release.
    // With keepPlace the views put back the current library, the selected part and the
    // parts list's scroll position where these still exist (a reload the user did not ask
    // for should not move them).
    bool Reload(bool keepPlace = false);
    // Releases the settings and libraries; the views keep nothing that refers to them.
    void OnCloseDocument();

    // True, once, for a view that has not yet taken in the latest load.
    bool TakePending(CQurixView* view);
    // Calls OnUpdate of every view but sender, in the order the views were made.
    void UpdateAllViews(CQurixView* sender);

    void AddView(CQurixView* view);
    void RemoveView(CQurixView* view);
    const std::vector<CQurixView*>& Views() const { return views_; }

    void AddListener(CDocListener* listener);
    void RemoveListener(CDocListener* listener);
    // The window system's seams (wait cursor, status bar); null for none. The front end
    // sets it before the first load and clears it before it goes.
    void SetHost(CUiHost* host) { host_ = host; }
    CUiHost* Host() const { return host_; }

    // A long task that pumps events (the thumbnail build) brackets itself with these;
    // Reload is refused meanwhile. A close asked for during it is recorded, the task
    // should stop at its next cancel check, and the listeners hear OnCloseAfterBusy when
    // it ends.
    void BeginBusy() { ++busy_; }
    void EndBusy();
    bool IsBusy() const { return busy_ > 0; }
    void RequestClose() { closeRequested_ = true; }
    bool CloseRequested() const { return closeRequested_; }
    // A line for the user in the window's status bar (UTF-8).
    void ShowStatus(const std::string& text) const {
        if (host_ != nullptr) host_->ShowStatus(text);
    }

    const CDisplaySettings& Settings() const { return settings_; }
    const CLibrarySet& Libraries() const;
    const CProfile& Profile() const { return profile_; }
    const std::string& ConfigFolder() const { return configFolder_; }
    bool IsLoaded() const { return loaded_; }
    // The configured libraries the latest load could not load, in key order.
    const std::vector<LoadProblem>& Problems() const { return problems_; }
    // What the latest load read less of than there is (a file cut short, LIB keys after
    // a gap), though every library named here loaded.
    const std::vector<LoadWarning>& Warnings() const { return warnings_; }
    // The warning sentence of a loaded library; "" for none.
    std::string WarningFor(const CPartLibrary* library) const;

    // Chosen in the library list and the parts list, read by every view. Both refer
    // into the library set loaded now and are cleared before it is released.
    const CPartLibrary* CurrentLibrary() const { return currentLibrary_; }
    const CLibEntry* CurrentEntry() const { return currentEntry_; }
    // A part belongs to its library: making another library current leaves no part
    // current (the preview and note then show none); letting go of it (null) does not.
    void SetCurrentLibrary(const CPartLibrary* library);
    void SetCurrentEntry(const CLibEntry* entry) { currentEntry_ = entry; }
    // A library that did not load may be current too (its row selected, its reason in the
    // note): then no library and no part are. problem points into Problems(); null lets go.
    void SetCurrentProblem(const LoadProblem* problem);
    const LoadProblem* CurrentProblem() const;
    // The path of the current library, loaded or not; "" for none.
    std::string CurrentPath() const;

    // What Reload(true) puts back, by name since the old objects are gone; empty
    // otherwise. The parts list records its top item when its items are deleted. The
    // document makes the place's library (or its problem) current again after the load;
    // while that library does not load, its part and scroll are held for its return.
    struct Place {
        std::string libraryPath;
        std::string entryName;
        int topItem = -1;
    };
    Place place;
    // The place kept for library, taken once (later updates leave the user's own
    // scrolling alone); false when none is kept for it.
    bool TakePlaceFor(const CPartLibrary* library, Place& wanted);
    // The recent parts and favourites, kept in historyPath by the front end (empty: kept
    // nowhere, as in tests and tools). See palette/KeptParts.h.
    CPartHistory history;
    std::string historyPath;
    // The configuration file and every configured library, loaded or not.
    std::vector<std::string> WatchedFiles() const;

private:
    void Load();
    void Free();
    void MakeAllPending();
    // After a load: the place's library, or its problem, becomes current again.
    void PutBackCurrent(const Place& wanted);
    void Notify(void (CDocListener::*event)());

    CDisplaySettings& settings_;
    CProfile profile_;
    std::string configFolder_;
    CUiHost* host_ = nullptr;  // only referred to
    std::vector<CDocListener*> listeners_;
    const CPartLibrary* currentLibrary_ = nullptr;
    const CLibEntry* currentEntry_ = nullptr;
    int32_t currentProblem_ = -1;  // into problems_
    // The place of a current library that did not load, kept for when it loads again.
    Place held_;
    std::vector<CQurixView*> views_;
    std::vector<CQurixView*> pending_;
    bool loaded_ = false;
    std::vector<LoadProblem> problems_;
    std::vector<LoadWarning> warnings_;
    int busy_ = 0;
    bool closeRequested_ = false;
};

}  // namespace qurix
