#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/memory/Arena.h"

namespace qurix {

// Bytes of a text, NUL-terminated through c_str() (and may hold NULs before it): its own,
// or borrowed from an arena that outlives it. A library's texts are borrowed from its
// arena, so that they cost no allocation and no free each; a copy always owns its bytes.
class CText {
public:
    CText() = default;
    // Its own copy.
    explicit CText(std::string_view text) { Own(text); }
    // A copy in the arena, borrowed.
    static CText In(CArena& arena, std::string_view text) {
        CText t;
        if (!text.empty()) {
            t.data_ = arena.CopyText(text);
            t.size_ = static_cast<uint32_t>(text.size());
        }
        return t;
    }
    // In arena when one is given, else its own.
    static CText Make(CArena* arena, std::string_view text) {
        return arena ? In(*arena, text) : CText(text);
    }
    CText(const CText& other) { Own(other.View()); }
    CText& operator=(const CText& other) {
        if (this != &other) *this = CText(other.View());
        return *this;
    }
    CText(CText&& other) noexcept : data_(other.data_), size_(other.size_), owned_(other.owned_) {
        other.Forget();
    }
    CText& operator=(CText&& other) noexcept {
        if (this != &other) {
            Release();
            data_ = other.data_;
            size_ = other.size_;
            owned_ = other.owned_;
            other.Forget();
        }
        return *this;
    }
    ~CText() { Release(); }

    const char* c_str() const { return data_; }
    const char* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const char* begin() const { return data_; }
    const char* end() const { return data_ + size_; }
    char operator[](size_t i) const { return data_[i]; }
    std::string_view View() const { return {data_, size_}; }
    operator std::string_view() const { return View(); }
    std::string str() const { return std::string(data_, size_); }
    // Whether the bytes are its own (else borrowed from an arena).
    bool IsOwn() const { return owned_; }

    friend bool operator==(const CText& a, std::string_view b) { return a.View() == b; }
    friend bool operator==(const CText& a, const CText& b) { return a.View() == b.View(); }

private:
    void Own(std::string_view text) {
        if (text.empty()) return;
        auto bytes = std::make_unique_for_overwrite<char[]>(text.size() + 1);
        std::memcpy(bytes.get(), text.data(), text.size());
        bytes[text.size()] = '\0';
        data_ = bytes.release();  // given back in Release
        size_ = static_cast<uint32_t>(text.size());
        owned_ = true;
    }
    void Release() {
        if (owned_) std::unique_ptr<const char[]>{data_};
        Forget();
    }
    void Forget() {
        data_ = "";
        size_ = 0;
        owned_ = false;
    }

    const char* data_ = "";
    uint32_t size_ = 0;
    bool owned_ = false;
};

}  // namespace qurix
