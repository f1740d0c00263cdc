#pragma once
#include <map>
#include <string>
#include <vector>

#include "palette/FileStamp.h"

namespace qurix {

// Decides when watched files (the configured libraries and the configuration file) have
// changed, as decisions a front end carries out with its own file watch and timer: every
// event starts the settle delay again (a save comes as several events); when it has
// passed, the files whose size or time differ are reported, unless the document is busy,
// when the report is held and the delay starts again.
class CChangeDetector {
public:
    static constexpr int SETTLE_MS = 500;

    // Replaces the watched files and takes their state now as the unchanged one.
    void Watch(const std::vector<std::string>& paths);
    // Takes the files' state now as unchanged (after the program wrote one of them).
    void Rearm();
    // While false, changes are taken in silently.
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }

    // What the watch must cover now: each file's folder (editors save by writing a new
    // file and renaming it over the old one, which ends a watch on the file itself), or the
    // nearest folder above it that exists while it is gone, and every file that exists.
    std::vector<std::string> Folders() const;
    std::vector<std::string> Files() const;

    struct Decision {
        bool hold = false;                 // busy: wait SETTLE_MS more, then ask again
        std::vector<std::string> changed;  // report these (empty: nothing to report)
    };
    // The settle delay has passed; canReport is false while the document is busy.
    Decision Settle(bool canReport);

private:
    std::map<std::string, FileStamp> stamps_;
    bool enabled_ = true;
};

}  // namespace qurix
