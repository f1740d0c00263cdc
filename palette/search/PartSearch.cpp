#include "palette/search/PartSearch.h"

#include "core/library/LibrarySet.h"

namespace qurix {

namespace {

int64_t PartCount(const CLibrarySet& libraries) {
    int64_t parts = 0;
    for (int32_t i = 0; i < libraries.Count(); ++i) parts += libraries.GetLibrary(i)->EntryCount();
    return parts;
}

}  // namespace

CPartSearch::~CPartSearch() {
    Release();
}

bool CPartSearch::Find(const CLibrarySet& libraries, std::string_view query,
                       std::vector<SearchHit>& hits, const std::function<void()>& ready) {
    hits.clear();
    if (query.find_first_not_of(" \t\r\n") == std::string_view::npos) return true;
    if (!Ready()) {
        if (worker_.joinable()) return false;  // being made
        if (PartCount(libraries) <= atOnceParts_) {
            index_.Build(libraries);
            built_ = true;
        } else {
            stop_ = false;
            worker_ = std::thread([this, &libraries, ready] {
                index_.Build(libraries, &stop_);
                if (stop_) return;
                built_.store(true, std::memory_order_release);
                if (ready) ready();
            });
            return false;
        }
    }
    if (worker_.joinable()) worker_.join();  // done: Ready() said so
    hits = index_.Find(query);
    return true;
}

void CPartSearch::Release() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    index_.Clear();
    built_ = false;
}

}  // namespace qurix
