#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qurix {

// The numbers of the palette's own cache files: little-endian, whatever the machine.

inline void PutU16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
inline void PutU32(std::string& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}
inline void PutU64(std::string& out, uint64_t v) {
    PutU32(out, static_cast<uint32_t>(v));
    PutU32(out, static_cast<uint32_t>(v >> 32));
}

// Little-endian reads that refuse to run past end (the whole string by default). The
// position never passes end, so Remaining() cannot wrap.
class CByteReader {
public:
    explicit CByteReader(const std::string& bytes, size_t pos = 0, size_t end = SIZE_MAX)
        : bytes_(bytes), end_(std::min(end, bytes.size())), pos_(std::min(pos, end_)) {}
    size_t Remaining() const { return end_ - pos_; }
    size_t Pos() const { return pos_; }
    const char* Here() const { return bytes_.data() + pos_; }
    bool Skip(size_t n) {
        if (n > Remaining()) return false;
        pos_ += n;
        return true;
    }
    bool U8(uint32_t& v) { return Take(1, v); }
    bool U16(uint32_t& v) { return Take(2, v); }
    bool U32(uint32_t& v) { return Take(4, v); }
    bool U64(uint64_t& v) {
        uint32_t lo = 0;
        uint32_t hi = 0;
        if (!U32(lo) || !U32(hi)) return false;
        v = (uint64_t{hi} << 32) | lo;
        return true;
    }

private:
    bool Take(size_t n, uint32_t& v) {
        if (n > Remaining()) return false;
        v = 0;
        for (size_t i = 0; i < n; ++i) {
            v |= uint32_t{static_cast<unsigned char>(bytes_[pos_ + i])} << (8 * i);
        }
        pos_ += n;
        return true;
    }
    const std::string& bytes_;
    size_t end_;
    size_t pos_;
};

}  // namespace qurix
