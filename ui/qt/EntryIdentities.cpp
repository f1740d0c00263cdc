#include "ui/qt/EntryIdentities.h"

#include <utility>

#include "core/library/PartLibrary.h"
#include "ui/qt/ImageCache.h"

namespace qurix {

CEntryIdentities::CEntryIdentities() {
    // One worker: the thread that started it reads the cache meanwhile.
    pool_.setMaxThreadCount(1);
}

CEntryIdentities::~CEntryIdentities() {
    pool_.waitForDone();
}

void CEntryIdentities::Start(std::vector<const CPartLibrary*> libraries) {
    Wait();
    libraries_ = std::move(libraries);
    size_t count = 0;
    for (const CPartLibrary* lib : libraries_) count += static_cast<size_t>(lib->EntryCount());
    identities_.assign(count, 0);
    pool_.start([libraries = libraries_, out = identities_.data()] {
        size_t i = 0;
        for (const CPartLibrary* lib : libraries) {
            for (int32_t e = 0; e < lib->EntryCount(); ++e, ++i) {
                const CLibEntry* entry = lib->Entry(e);
                out[i] = entry != nullptr ? ImageIdentity(lib->Path(), *entry) : 0;
            }
        }
    });
}

std::vector<uint64_t> CEntryIdentities::Take(const std::vector<const CPartLibrary*>& libraries) {
    if (libraries != libraries_) Start(libraries);
    pool_.waitForDone();
    libraries_.clear();
    return std::exchange(identities_, {});
}

void CEntryIdentities::Wait() {
    pool_.waitForDone();
    libraries_.clear();
    identities_.clear();
}

}  // namespace qurix
