#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <utility>

#include "core/memory/Arena.h"

namespace qurix {

// A fixed number of items in one allocation: its own, or borrowed from an arena that
// outlives it (items there are never destroyed, so they must hold nothing of their own).
// A copy always owns its items.
template <typename T>
class CHeldArray {
public:
    CHeldArray() = default;
    // Moves items in: into arena when one is given, else into an allocation of its own.
    CHeldArray(std::span<T> items, CArena* arena) {
        if (items.empty()) return;
        if (arena) {
            data_ = static_cast<T*>(arena->Allocate(sizeof(T) * items.size(), alignof(T)));
            for (size_t i = 0; i < items.size(); ++i) ::new (data_ + i) T(std::move(items[i]));
        } else {
            auto own = std::make_unique<T[]>(items.size());
            for (size_t i = 0; i < items.size(); ++i) own[i] = std::move(items[i]);
            data_ = own.release();  // given back in Release
            owned_ = true;
        }
        count_ = static_cast<uint32_t>(items.size());
    }
    CHeldArray(const CHeldArray& other) {
        if (other.count_ == 0) return;
        auto own = std::make_unique<T[]>(other.count_);
        for (uint32_t i = 0; i < other.count_; ++i) own[i] = other.data_[i];
        data_ = own.release();
        count_ = other.count_;
        owned_ = true;
    }
    CHeldArray& operator=(const CHeldArray& other) {
        if (this != &other) *this = CHeldArray(other);
        return *this;
    }
    CHeldArray(CHeldArray&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          count_(std::exchange(other.count_, 0)),
          owned_(std::exchange(other.owned_, false)) {}
    CHeldArray& operator=(CHeldArray&& other) noexcept {
        if (this != &other) {
            Release();
            data_ = std::exchange(other.data_, nullptr);
            count_ = std::exchange(other.count_, 0);
            owned_ = std::exchange(other.owned_, false);
        }
        return *this;
    }
    ~CHeldArray() { Release(); }

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T& front() { return data_[0]; }
    T& back() { return data_[count_ - 1]; }
    const T& front() const { return data_[0]; }
    const T& back() const { return data_[count_ - 1]; }
    T* begin() { return data_; }
    T* end() { return data_ + count_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + count_; }
    // Drops the items from n on (they stay where they are until the array ends).
    void Shorten(size_t n) {
        if (n < count_) count_ = static_cast<uint32_t>(n);
    }
    bool IsOwn() const { return owned_; }

private:
    void Release() {
        if (owned_) std::unique_ptr<T[]>{data_};
        data_ = nullptr;
        count_ = 0;
        owned_ = false;
    }

    T* data_ = nullptr;
    uint32_t count_ = 0;
    bool owned_ = false;
};

}  // namespace qurix
