#include "core/records/RecordWriter.h"

#include <array>
#include <charconv>

namespace qurix {

namespace {

// Every byte 1..32, '%' and ',' is escaped (a key's ':' is never among them); a NUL
// ends the text.
constexpr std::array<bool, 256> STOPS = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c <= 32; ++c) t[static_cast<size_t>(c)] = true;
    t['%'] = t[','] = true;
    return t;
}();

}  // namespace

bool CRecordWriter::PutRaw(const char* bytes, size_t n) {
    if (file_) return std::fwrite(bytes, 1, n, file_) == n;
    if (memory_) {
        memory_->append(bytes, n);
        return true;
    }
    return false;
}

// A token is put together here and handed to the target in one piece, since most are a
// few bytes and a call per piece would cost more than the bytes.
class CRecordWriter::TokenBuffer {
public:
    explicit TokenBuffer(CRecordWriter& writer) : writer_(writer) {}

    void Put(char c) {
        if (n_ == sizeof data_ && !Flush()) return;
        data_[n_++] = c;
    }
    // Writes text up to its first NUL, escaped; true when a NUL ended it.
    bool PutEscaped(std::string_view text) {
        static const char HEX[] = "0123456789ABCDEF";
        for (const char ch : text) {
            const unsigned char c = static_cast<unsigned char>(ch);
            if (!STOPS[c]) {
                Put(ch);
            } else if (c == 0) {
                return true;
            } else {
                Put('%');
                Put(HEX[c >> 4]);
                Put(HEX[c & 15]);
            }
        }
        return false;
    }
    // False when any part of the token could not be written.
    bool Flush() {
        if (n_ > 0 && !writer_.PutRaw(data_, n_)) failed_ = true;
        n_ = 0;
        return !failed_;
    }

private:
    CRecordWriter& writer_;
    char data_[256];
    size_t n_ = 0;
    bool failed_ = false;
};

bool CRecordWriter::StartToken(TokenBuffer& buffer) {
    if (!file_ && !memory_) return false;
    if (atLineStart_) {
        atLineStart_ = false;
    } else {
        buffer.Put(',');
    }
    return true;
}

int32_t CRecordWriter::WriteToken(std::string_view text) {
    TokenBuffer buffer(*this);
    if (!StartToken(buffer)) return -1;
    buffer.PutEscaped(text);
    return buffer.Flush() ? 0 : -1;
}

int32_t CRecordWriter::WriteKeyInt(std::string_view key, int32_t n) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    return WriteKeyValue(key, std::string_view(digits, static_cast<size_t>(end - digits)));
}

int32_t CRecordWriter::WriteKeyValue(std::string_view key, std::string_view value) {
    TokenBuffer buffer(*this);
    if (!StartToken(buffer)) return -1;
    if (!buffer.PutEscaped(key)) {
        buffer.Put(':');
        buffer.PutEscaped(value);
    }
    return buffer.Flush() ? 0 : -1;
}

int32_t CRecordWriter::EndLine() {
    atLineStart_ = true;
    return PutRaw("\n", 1) ? 0 : -1;
}

}  // namespace qurix
