#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

namespace qurix {

// Memory for the many small objects of one library, which all end together: handed out
// from a few large blocks and returned whole when the arena ends, so that neither making
// nor freeing them costs a call per object. What is made here is never destroyed: it must
// hold nothing of its own beside what lives in the same arena.
//
// Made by std::make_shared, so that an object in it can be shared with a pointer that
// aliases the arena's own (SharedFrom) and keeps the whole arena alive.
class CArena : public std::enable_shared_from_this<CArena> {
public:
    static constexpr size_t FIRST_BLOCK = 16 * 1024;
    // The size of a huge page where the system has them: a full block is aligned to it
    // and asks for them, so that a large library faults its memory in a few hundred
    // times instead of tens of thousands.
    static constexpr size_t MAX_BLOCK = 2 * 1024 * 1024;

    CArena() = default;
    CArena(const CArena&) = delete;
    CArena& operator=(const CArena&) = delete;
    ~CArena();

    // bytes with the given alignment (a power of two, at most that of std::max_align_t).
    void* Allocate(size_t bytes, size_t align) {
        const uintptr_t at = (reinterpret_cast<uintptr_t>(at_) + align - 1) & ~(align - 1);
        if (at_ != nullptr && at + bytes + GAP <= reinterpret_cast<uintptr_t>(end_)) {
            std::byte* p = at_ + (at - reinterpret_cast<uintptr_t>(at_));
            at_ = p + bytes + GAP;
            Unpoison(p, bytes);
            return p;
        }
        return AllocateInNewBlock(bytes, align);
    }
    template <typename T, typename... Args>
    T* Make(Args&&... args) {
        return ::new (Allocate(sizeof(T), alignof(T))) T(std::forward<Args>(args)...);
    }
    // A NUL-terminated copy of text. Inline, with short texts (most of a library's)
    // copied in two overlapping moves instead of a call.
    const char* CopyText(std::string_view text) {
        const size_t n = text.size();
        char* p = static_cast<char*>(Allocate(n + 1, 1));
        const char* from = text.data();
        if (n >= 8 && n <= 16) {
            std::memcpy(p, from, 8);
            std::memcpy(p + n - 8, from + n - 8, 8);
        } else if (n >= 4 && n < 8) {
            std::memcpy(p, from, 4);
            std::memcpy(p + n - 4, from + n - 4, 4);
        } else if (n < 4) {
            for (size_t i = 0; i < n; ++i) p[i] = from[i];
        } else {
            std::memcpy(p, from, n);
        }
        p[n] = '\0';
        return p;
    }

    // Full blocks of arenas that ended are kept for the next arenas (up to
    // MAX_SPARE_BLOCKS): memory new from the system costs the clearing of its pages, about
    // a tenth of loading a large library, and a library read again takes about the blocks
    // it gave back. Giving them all back to the system, and how many are kept:
    static constexpr int32_t MAX_SPARE_BLOCKS = 32;
    static void ReleaseSpareBlocks();
    static int32_t SpareBlockCount();

    // What the arena took from the system so far, in bytes.
    int64_t Bytes() const { return bytes_; }
    int32_t BlockCount() const { return static_cast<int32_t>(blocks_.size()); }

    // A pointer to an object in this arena that keeps the arena alive; empty when the
    // arena was not made by std::make_shared.
    template <typename T>
    std::shared_ptr<const T> SharedFrom(const T* object) const {
        std::shared_ptr<const CArena> self = weak_from_this().lock();
        if (!self) return nullptr;
        return std::shared_ptr<const T>(std::move(self), object);
    }

    // Under AddressSanitizer every allocation is followed by a poisoned gap of this many
    // bytes, and what is not handed out yet stays poisoned, so that reading past an
    // object is still caught.
#if defined(__SANITIZE_ADDRESS__)
    static constexpr size_t GAP = 16;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr size_t GAP = 16;
#else
    static constexpr size_t GAP = 0;
#endif
#else
    static constexpr size_t GAP = 0;
#endif

private:
    static void Poison(const void* p, size_t bytes);
    static void Unpoison(const void* p, size_t bytes);

    void* AllocateInNewBlock(size_t bytes, size_t align);

    struct FreeBytes {
        void operator()(std::byte* p) const;
    };
    struct Block {
        std::unique_ptr<std::byte[], FreeBytes> bytes;
        size_t size = 0;
    };
    static Block NewBlock(size_t size);
    std::vector<Block> blocks_;
    std::byte* at_ = nullptr;  // the free rest of the newest block: [at_, end_)
    std::byte* end_ = nullptr;
    size_t nextBlock_ = FIRST_BLOCK;
    int64_t bytes_ = 0;
};

}  // namespace qurix
