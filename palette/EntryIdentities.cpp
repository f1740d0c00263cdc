#include "palette/EntryIdentities.h"

#include <utility>

#include "core/library/PartLibrary.h"
#include "palette/ImageCache.h"

namespace qurix {

CEntryIdentities::CEntryIdentities() = default;

CEntryIdentities::~CEntryIdentities() {
    Join();
}

void CEntryIdentities::Join() {
    if (worker_.joinable()) worker_.join();
}

void CEntryIdentities::Start(std::vector<const CPartLibrary*> libraries) {
    Wait();
    libraries_ = std::move(libraries);
    size_t count = 0;
    for (const CPartLibrary* lib : libraries_) count += static_cast<size_t>(lib->EntryCount());
    identities_.assign(count, 0);
    // One worker: the thread that started it reads the cache meanwhile.
    worker_ = std::thread([libraries = libraries_, out = identities_.data()] {
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
    Join();
    libraries_.clear();
    return std::exchange(identities_, {});
}

void CEntryIdentities::Wait() {
    Join();
    libraries_.clear();
    identities_.clear();
}

}  // namespace qurix
