#pragma once
#include <algorithm>
#include <array>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/FileIo.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace qurix {

// What the pass that finds a token's end also learns of it, so that a data token is split
// without reading its bytes again: where its first ':' stands (npos: none) and whether it
// holds a NUL (then keys and values end early, and the careful split is needed).
struct TokenShape {
    size_t colon = std::string_view::npos;
    bool hasNul = false;

    static TokenShape Of(std::string_view token) {
        return TokenShape{token.find(':'), token.find('\0') != std::string_view::npos};
    }
};

// Bytes that end a plain run of token bytes: the separators and the escape mark. The
// token scan and the window masks both go by these.
inline constexpr std::array<bool, 256> TOKEN_STOPS = [] {
    std::array<bool, 256> t{};
    t[','] = t['\n'] = t['\r'] = t['%'] = true;
    return t;
}();
#if defined(__SSE2__) || defined(_M_X64)
// Where in bytes the stops of TOKEN_STOPS stand.
inline __m128i TokenStopsIn(__m128i bytes) {
    const auto where = [&bytes](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
    return _mm_or_si128(_mm_or_si128(where(','), where('\n')),
                        _mm_or_si128(where('\r'), where('%')));
}
#endif

// Where in a window of WIDTH bytes the bytes stand that the token scan looks for (bit i:
// the byte at i). Found for a whole window at once, so that the end of each short token in
// it is a count of zero bits and no longer waits on a load of the bytes after the token
// before.
struct ByteMasks {
    static constexpr size_t WIDTH = 64;
    // ',', LF, CR, and the bytes after which a token needs a careful look: '%' and NUL.
    uint64_t stops = 0;
    uint64_t colons = 0;

    // The ways of finding them: byte by byte anywhere, 16 bytes at a time with SSE2, 32
    // with AVX2.
    enum class Scan { EachByte, Sse2, Avx2 };
    // Whether this build and processor have that way.
    static bool Has(Scan scan);

    // The masks of the WIDTH bytes at p, which must all be there to read, found the
    // fastest way there is.
    static ByteMasks Of(const char* p);
    // The same found by scan, which must be one the processor has (Has).
    static ByteMasks By(Scan scan, const char* p);
    bool operator==(const ByteMasks&) const = default;
};

// Splits a byte stream into tokens: a token ends at a comma, LF or CR; blanks and
// line ends before a token are skipped; "%XX" escapes are resolved.
//
// A file is read ahead in blocks and tokenised from memory, so its position after a read
// is past the tokens read so far.
class CRecordReader {
public:
    static constexpr size_t MAX_TOKEN_LENGTH = 32768;
    static constexpr size_t DEFAULT_BLOCK_SIZE = 1 << 16;

    CRecordReader() = default;
    explicit CRecordReader(FILE* file) { Attach(file); }

    // Takes an open file (not owned) and starts counting lines at firstLine, at least 1
    // (a text that stands at a known line of a larger file counts from there). blockSize
    // (at least 1) is how much is read at a time; small only in tests of block edges.
    void Attach(FILE* file, int64_t firstLine = 1, size_t blockSize = DEFAULT_BLOCK_SIZE);
    // The same over bytes in memory, which must outlive the reads (not copied).
    void AttachBytes(std::string_view bytes, int64_t firstLine = 1);

    // The line on which the token began, or -1 when there is no further token
    // (end of input, or an escape cut by a separator). Lines are counted in 64 bits and
    // reported up to INT32_MAX: a longer input says INT32_MAX from there on.
    int32_t ReadToken(std::string& token);
    // The same, with the token as a view that stays valid only until the next read: into
    // the input where it holds no escape, else into a buffer of the reader.
    int32_t ReadToken(std::string_view& token) {
        // Most tokens are a plain run of bytes within the block, right after the last
        // separator: they are handed out where they stand.
        if (pos_ != end_ && !MayStartWithBlank(*pos_) && TakePlainToken(token)) {
            return Reported(tokenLine_);
        }
        return ReadTokenAnyway(token);
    }
    // The same with the token's shape, found from the masks of the bytes around it where
    // the token is short.
    int32_t ReadToken(std::string_view& token, TokenShape& shape) {
        if (TakeWindowToken(token, shape)) return Reported(tokenLine_);
        const int32_t line = ReadToken(token);
        if (line != -1) shape = TokenShape::Of(token);
        return line;
    }

    // The same telling only whether there was a token (false: none); its line is
    // TokenLine(). The record loop asks for the line only of the few tokens it reports or
    // hands on.
    bool NextToken(std::string_view& token, TokenShape& shape) {
        if (TakeWindowToken(token, shape)) return true;
        // A token the window refused is refused again: straight to the other paths.
        if (ReadToken(token) == -1) return false;
        shape = TokenShape::Of(token);
        return true;
    }
    // The line on which the last token read began.
    int32_t TokenLine() const { return Reported(tokenLine_); }

    // Reads tokens until one equals text exactly: true with it consumed, false at the end
    // of input.
    bool SkipToToken(std::string_view text);

    int32_t Line() const { return Reported(line_); }

    // Optional listener for why a read failed. Record readers call Fail() where they
    // give up; only the first failure is passed on (the innermost, most precise one).
    // With no listener this costs a pointer test.
    using Listener = std::function<void(int32_t line, const std::string& reason)>;
    void SetListener(const Listener* listener) { listener_ = listener; }
    bool Listening() const { return listener_ != nullptr && !reported_; }
    // Reports reason with the line of the last token read (the one a reader gives up
    // on), when listened to and nothing was reported yet; returns false so that a
    // reader can write `return reader.Fail("...");`.
    bool Fail(const std::string& reason) {
        if (Listening()) {
            reported_ = true;
            (*listener_)(Reported(tokenLine_), reason);
        }
        return false;
    }
    // The same with the reason built by why() only when someone listens, for reasons that
    // cost a string to make.
    template <std::invocable Why>
    bool Fail(Why&& why) {
        return Listening() ? Fail(std::string(why())) : false;
    }

private:
    int Next() {
        if (pos_ == end_ && !Refill()) return EOF;
        return static_cast<unsigned char>(*pos_++);
    }
    // Reads the next block of the file; false at its end (or with no file).
    bool Refill();
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    // One compare that lets every blank through (and a few bytes that are none, which the
    // careful path then takes as they are).
    static bool MayStartWithBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
    // Hands out the token at pos_ when it is a plain run of bytes ending within the block
    // and the length limit; false, with nothing consumed, otherwise.
    bool TakePlainToken(std::string_view& token) {
        const char* const limit =
            pos_ + std::min(static_cast<size_t>(end_ - pos_), MAX_TOKEN_LENGTH + 1);
        const char* const p = FindStop(pos_, limit);
        if (p == limit || *p == '%') return false;
        tokenLine_ = line_;
        token = std::string_view(pos_, static_cast<size_t>(p - pos_));
        if (*p == '\n') ++line_;
        pos_ = p + 1;
        return true;
    }
#if defined(__SSE2__) || defined(_M_X64)
    static constexpr std::ptrdiff_t SCAN_WIDTH = 16;
#endif
    // Hands out a plain token at pos_ that ends within the window of masks (found anew at
    // pos_ when the token runs past the old one), with its shape; false, with nothing
    // consumed, for any other token or with less than a window left in the block.
    bool TakeWindowToken(std::string_view& token, TokenShape& shape) {
        // Unsigned: a position before the window, or none, is far past it.
        size_t at = static_cast<size_t>(reinterpret_cast<uintptr_t>(pos_) -
                                        reinterpret_cast<uintptr_t>(window_));
        if (at >= ByteMasks::WIDTH || (masks_.stops >> at) == 0) {
            if (end_ - pos_ < static_cast<std::ptrdiff_t>(ByteMasks::WIDTH)) return false;
            window_ = pos_;
            masks_ = ByteMasks::Of(pos_);
            at = 0;
            if (masks_.stops == 0) return false;
        }
        if (MayStartWithBlank(*pos_)) return false;
        const uint64_t stops = masks_.stops >> at;
        const unsigned n = static_cast<unsigned>(std::countr_zero(stops));
        // Every stop is below 64: one bit test tells the two that need the careful path.
        const unsigned stop = static_cast<unsigned char>(pos_[n]);
        if ((CAREFUL_STOPS >> stop) & 1) return false;
        // A count of 64 (no colon left in the window) is past the stop as well.
        const unsigned colon = static_cast<unsigned>(std::countr_zero(masks_.colons >> at));
        shape.colon = colon < n ? colon : std::string_view::npos;
        shape.hasNul = false;
        tokenLine_ = line_;
        token = std::string_view(pos_, n);
        if (stop == '\n') ++line_;
        pos_ += n + 1;
        return true;
    }
    static constexpr uint64_t CAREFUL_STOPS = uint64_t{1} << '%' | uint64_t{1} << '\0';
    // The first stop in [p, limit), or limit.
    static const char* FindStop(const char* p, const char* limit);
    // Every other token: after blanks or at a block's end.
    int32_t ReadTokenAnyway(std::string_view& token);
    // Hands out the token at pos_ with its escapes resolved when it ends within the block
    // and the length limit and every escape is two hexadecimal digits; false, with nothing
    // consumed, otherwise.
    bool TakeEscapedToken(std::string_view& token);
    // The byte-by-byte path for tokens with an odd escape, over a block edge or at the limit.
    int32_t ReadTokenSlowly(std::string_view& token, int32_t start);
    static int32_t Reported(int64_t line) {
        return line < INT32_MAX ? static_cast<int32_t>(line) : INT32_MAX;
    }

    FILE* file_ = nullptr;
    std::vector<char> block_;
    const char* pos_ = nullptr;  // the unread bytes: [pos_, end_)
    const char* end_ = nullptr;
    // The window whose masks are known; null when none is (the block's bytes changed).
    const char* window_ = nullptr;
    ByteMasks masks_;
    std::string scratch_;              // tokens read byte by byte
    std::unique_ptr<char[]> decoded_;  // tokens with escapes, read at once
    int64_t line_ = 0;
    int64_t tokenLine_ = 0;  // start line of the last token returned
    const Listener* listener_ = nullptr;
    bool reported_ = false;
};

// True for the tokens that open ("+X") and close ("-X") records.
inline bool IsStartTag(std::string_view t) {
    return !t.empty() && t[0] == '+';
}
inline bool IsEndTag(std::string_view t) {
    return !t.empty() && t[0] == '-';
}

// Splits a data token at its first ':'. False for a token with no ':' or one that
// starts with ':'; such tokens are ignored by every record reader.
bool SplitDataToken(const std::string& token, std::string& key, std::string& value);
// The same as views into token.
bool SplitDataToken(std::string_view token, std::string_view& key, std::string_view& value);

// Skips a nested record whose start tag was just read: everything up to the first token
// equal to the tag with its '+' turned into '-' (nesting is not counted). False when the
// input ends first.
bool SkipNestedRecord(CRecordReader& reader, std::string_view startTag);

// atoi: optional blanks, optional sign, decimal digits; no digits give 0; wraps to 32 bits.
// The view's end stands for the NUL. Inline: a library has millions of numbers.
inline int32_t ParseInt(std::string_view text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* const end = p + text.size();
    // Most numbers are plain digits: no blanks or sign to look for.
    if (p != end && *p >= '0' && *p <= '9') {
        uint32_t v = 0;
        for (; p != end && *p >= '0' && *p <= '9'; ++p)
            v = v * 10u + static_cast<uint32_t>(*p - '0');
        return static_cast<int32_t>(v);
    }
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    uint32_t v = 0;
    while (p != end && *p >= '0' && *p <= '9') {
        v = v * 10u + static_cast<uint32_t>(*p - '0');
        ++p;
    }
    if (negative) v = 0u - v;
    return static_cast<int32_t>(v);
}
inline int32_t ParseInt(const char* text) {
    return ParseInt(std::string_view(text));
}
inline int32_t ParseInt(const std::string& text) {
    return ParseInt(std::string_view(text));
}

}  // namespace qurix
