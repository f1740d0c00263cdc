#include "core/memory/Arena.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define QURIX_ARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QURIX_ARENA_ASAN 1
#endif
#endif
#ifdef QURIX_ARENA_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace qurix {

#ifdef QURIX_ARENA_ASAN
void CArena::Poison(const void* p, size_t bytes) {
    ASAN_POISON_MEMORY_REGION(p, bytes);
}

void CArena::Unpoison(const void* p, size_t bytes) {
    ASAN_UNPOISON_MEMORY_REGION(p, bytes);
}
#else
void CArena::Poison(const void* /*p*/, size_t /*bytes*/) {}

void CArena::Unpoison(const void* /*p*/, size_t /*bytes*/) {}
#endif

void CArena::FreeBytes::operator()(std::byte* p) const {
    std::free(p);
}

namespace {

// The full blocks kept for the next arenas. Arenas end on any thread; never destroyed, so
// that an arena that ends while the program exits still finds it.
struct SpareBlocks {
    std::mutex mutex;
    std::vector<std::byte*> blocks;
};

SpareBlocks& Spares() {
    alignas(SpareBlocks) static std::byte storage[sizeof(SpareBlocks)];
    static SpareBlocks* const spares = ::new (storage) SpareBlocks;
    return *spares;
}

std::byte* TakeSpareBlock() {
    SpareBlocks& spares = Spares();
    const std::lock_guard lock(spares.mutex);
    if (spares.blocks.empty()) return nullptr;
    std::byte* p = spares.blocks.back();
    spares.blocks.pop_back();
    return p;
}

// False when enough are kept (the caller frees the block).
bool KeepSpareBlock(std::byte* p) {
    SpareBlocks& spares = Spares();
    const std::lock_guard lock(spares.mutex);
    if (spares.blocks.size() >= static_cast<size_t>(CArena::MAX_SPARE_BLOCKS)) return false;
    spares.blocks.push_back(p);
    return true;
}

}  // namespace

void CArena::ReleaseSpareBlocks() {
    SpareBlocks& spares = Spares();
    std::vector<std::byte*> blocks;
    {
        const std::lock_guard lock(spares.mutex);
        blocks.swap(spares.blocks);
    }
    for (std::byte* p : blocks) FreeBytes{}(p);
}

int32_t CArena::SpareBlockCount() {
    SpareBlocks& spares = Spares();
    const std::lock_guard lock(spares.mutex);
    return static_cast<int32_t>(spares.blocks.size());
}

CArena::Block CArena::NewBlock(size_t size) {
    if (size == MAX_BLOCK) {
        if (std::byte* spare = TakeSpareBlock()) {
            Poison(spare, size);
            return Block{std::unique_ptr<std::byte[], FreeBytes>(spare), size};
        }
    }
#if defined(__linux__)
    // Full blocks are aligned to a huge page and ask for them (only advice).
    const bool huge = size % MAX_BLOCK == 0;
    void* p = huge ? std::aligned_alloc(MAX_BLOCK, size) : std::malloc(size);
    if (p && huge) madvise(p, size, MADV_HUGEPAGE);
#else
    void* p = std::malloc(size);
#endif
    // Like a failed new: there is no way on without the memory.
    if (!p) std::abort();
    Poison(p, size);
    return Block{std::unique_ptr<std::byte[], FreeBytes>(static_cast<std::byte*>(p)), size};
}

CArena::~CArena() {
    for (Block& block : blocks_) {
        Unpoison(block.bytes.get(), block.size);
        if (block.size == MAX_BLOCK && KeepSpareBlock(block.bytes.get())) {
            static_cast<void>(block.bytes.release());  // kept for the next arena
        }
    }
}

void* CArena::AllocateInNewBlock(size_t bytes, size_t align) {
    const size_t need = bytes + align + GAP;
    // Blocks grow with the library, up to a size whose waste at the end hardly counts; a
    // larger object gets a block of its own and the newest block stays in use.
    if (need > MAX_BLOCK / 4) {
        Block block = NewBlock(need);
        std::byte* base = block.bytes.get();
        bytes_ += static_cast<int64_t>(need);
        blocks_.insert(blocks_.end() - (blocks_.empty() ? 0 : 1), std::move(block));
        const uintptr_t at = (reinterpret_cast<uintptr_t>(base) + align - 1) & ~(align - 1);
        std::byte* p = base + (at - reinterpret_cast<uintptr_t>(base));
        Unpoison(p, bytes);
        return p;
    }
    const size_t size = std::max(nextBlock_, need);
    nextBlock_ = std::min(nextBlock_ * 2, MAX_BLOCK);
    Block block = NewBlock(size);
    at_ = block.bytes.get();
    end_ = at_ + size;
    bytes_ += static_cast<int64_t>(size);
    blocks_.push_back(std::move(block));
    return Allocate(bytes, align);
}

}  // namespace qurix
