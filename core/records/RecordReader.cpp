#include "core/records/RecordReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <immintrin.h>
#endif

namespace qurix {

namespace {

bool IsSeparator(int c) {
    return c == ',' || c == '\n' || c == '\r';
}

// The value of a hexadecimal digit, or -1.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One hexadecimal pair read the way strtoul(base 16) reads a two-character string:
// leading blanks and a sign are accepted, reading stops at the first non-digit.
int DecodeEscape(char a, char b) {
    const char s[2] = {a, b};
    size_t i = 0;
    while (i < 2 && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < 2 && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    unsigned long v = 0;
    for (; i < 2; ++i) {
        const int d = HexDigit(s[i]);
        if (d < 0) break;
        v = v * 16 + static_cast<unsigned long>(d);
    }
    if (negative) v = 0ul - v;
    return static_cast<int>(v & 0xFF);
}

}  // namespace

#if (defined(__SSE2__) || defined(_M_X64)) && defined(__GNUC__)
#define QURIX_SCAN_AVX2 1
#endif

namespace {

ByteMasks MasksOfEachByte(const char* p) {
    ByteMasks m;
    for (size_t i = 0; i < ByteMasks::WIDTH; ++i) {
        const uint64_t bit = uint64_t{1} << i;
        const char c = p[i];
        if (TOKEN_STOPS[static_cast<unsigned char>(c)] || c == '\0') m.stops |= bit;
        if (c == ':') m.colons |= bit;
    }
    return m;
}

#if defined(__SSE2__) || defined(_M_X64)
ByteMasks MasksBySse2(const char* p) {
    ByteMasks m;
    const auto bits = [](__m128i where) {
        return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(where)));
    };
    for (size_t i = 0; i < ByteMasks::WIDTH; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i stops =
            _mm_or_si128(TokenStopsIn(bytes), _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
        m.stops |= bits(stops) << i;
        m.colons |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(':'))) << i;
    }
    return m;
}
#endif

#ifdef QURIX_SCAN_AVX2
// Without lambdas: they would not take on the function's target.
__attribute__((target("avx2"))) ByteMasks MasksByAvx2(const char* p) {
    ByteMasks m;
    for (size_t i = 0; i < ByteMasks::WIDTH; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i stops = _mm256_or_si256(
            _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(',')),
                                            _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\n'))),
                            _mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\r')),
                                            _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('%')))),
            _mm256_cmpeq_epi8(bytes, _mm256_setzero_si256()));
        const __m256i colons = _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(':'));
        m.stops |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(stops))} << i;
        m.colons |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(colons))} << i;
    }
    return m;
}

// Made ready first: this may run before the runtime's own start-up code has.
const bool HAS_AVX2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

}  // namespace

bool ByteMasks::Has(Scan scan) {
    switch (scan) {
        case Scan::EachByte:
            return true;
        case Scan::Sse2:
#if defined(__SSE2__) || defined(_M_X64)
            return true;
#else
            return false;
#endif
        case Scan::Avx2:
#ifdef QURIX_SCAN_AVX2
            return HAS_AVX2;
#else
            return false;
#endif
    }
    return false;
}

ByteMasks ByteMasks::By(Scan scan, const char* p) {
    switch (scan) {
        case Scan::EachByte:
            break;
        case Scan::Sse2:
#if defined(__SSE2__) || defined(_M_X64)
            return MasksBySse2(p);
#else
            break;
#endif
        case Scan::Avx2:
#ifdef QURIX_SCAN_AVX2
            return MasksByAvx2(p);
#else
            break;
#endif
    }
    return MasksOfEachByte(p);
}

ByteMasks ByteMasks::Of(const char* p) {
#ifdef QURIX_SCAN_AVX2
    if (HAS_AVX2) return MasksByAvx2(p);
#endif
#if defined(__SSE2__) || defined(_M_X64)
    return MasksBySse2(p);
#else
    return MasksOfEachByte(p);
#endif
}

const char* CRecordReader::FindStop(const char* p, const char* limit) {
#if defined(__SSE2__) || defined(_M_X64)
    for (; limit - p >= SCAN_WIDTH; p += SCAN_WIDTH) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(TokenStopsIn(bytes)));
        if (stops != 0) return p + std::countr_zero(stops);
    }
#endif
    while (p != limit && !TOKEN_STOPS[static_cast<unsigned char>(*p)]) ++p;
    return p;
}

void CRecordReader::Attach(FILE* file, int64_t firstLine, size_t blockSize) {
    file_ = file;
    block_.resize(blockSize < 1 ? 1 : blockSize);
    pos_ = end_ = block_.data();
    window_ = nullptr;
    line_ = firstLine < 1 ? 1 : firstLine;
    tokenLine_ = line_;
}

void CRecordReader::AttachBytes(std::string_view bytes, int64_t firstLine) {
    file_ = nullptr;
    block_.clear();
    pos_ = bytes.data();
    end_ = bytes.data() + bytes.size();
    window_ = nullptr;
    line_ = firstLine < 1 ? 1 : firstLine;
    tokenLine_ = line_;
}

bool CRecordReader::Refill() {
    if (!file_ || block_.empty()) return false;
    const size_t n = std::fread(block_.data(), 1, block_.size(), file_);
    pos_ = block_.data();
    end_ = pos_ + n;
    window_ = nullptr;
    return n > 0;
}

int32_t CRecordReader::ReadToken(std::string& token) {
    std::string_view view;
    const int32_t line = ReadToken(view);
    token.assign(view.data(), view.size());
    return line;
}

int32_t CRecordReader::ReadTokenAnyway(std::string_view& token) {
    token = {};
    for (;;) {
        if (pos_ == end_ && !Refill()) return -1;
        if (!IsBlank(*pos_)) break;
        if (*pos_ == '\n') ++line_;
        ++pos_;
    }
    const int32_t start = Reported(line_);
    tokenLine_ = line_;
    if (TakePlainToken(token) || TakeEscapedToken(token)) return start;
    return ReadTokenSlowly(token, start);
}

bool CRecordReader::TakeEscapedToken(std::string_view& token) {
    const char* const limit =
        pos_ + std::min(static_cast<size_t>(end_ - pos_), MAX_TOKEN_LENGTH + 1);
    // Decoded into a buffer that holds the longest token, without a check per byte: the
    // decoded bytes are never more than the bytes read, at most MAX_TOKEN_LENGTH + 1.
    if (!decoded_) decoded_ = std::make_unique_for_overwrite<char[]>(MAX_TOKEN_LENGTH + 1);
    char* out = decoded_.get();
    const char* p = pos_;
    for (;;) {
        const char* run = FindStop(p, limit);
        std::memcpy(out, p, static_cast<size_t>(run - p));
        out += run - p;
        if (run == limit) return false;
        if (*run != '%') {
            token = std::string_view(decoded_.get(), static_cast<size_t>(out - decoded_.get()));
            if (*run == '\n') ++line_;
            pos_ = run + 1;
            return true;
        }
        if (limit - run < 3) return false;
        const int high = HexDigit(run[1]);
        const int low = HexDigit(run[2]);
        if (high < 0 || low < 0) return false;
        *out++ = static_cast<char>(high * 16 + low);
        p = run + 3;
    }
}

int32_t CRecordReader::ReadTokenSlowly(std::string_view& token, int32_t start) {
    scratch_.clear();
    int c = Next();
    for (;;) {
        if (IsSeparator(c)) {
            if (c == '\n') ++line_;
            break;
        }
        if (c == EOF) break;
        if (scratch_.size() >= MAX_TOKEN_LENGTH) break;  // the byte just read is lost
        if (c == '%') {
            const int h = Next();
            if (IsSeparator(h)) {
                if (h == '\n') ++line_;
                scratch_.clear();
                return -1;
            }
            // An escape cut by the end of input keeps the digits that arrived.
            if (h == EOF) break;
            const int l = Next();
            if (IsSeparator(l)) {
                if (l == '\n') ++line_;
                scratch_.clear();
                return -1;
            }
            if (l == EOF) {
                scratch_.push_back(static_cast<char>(DecodeEscape(static_cast<char>(h), '\0')));
                break;
            }
            scratch_.push_back(
                static_cast<char>(DecodeEscape(static_cast<char>(h), static_cast<char>(l))));
        } else {
            scratch_.push_back(static_cast<char>(c));
        }
        c = Next();
    }
    token = scratch_;
    return start;
}

bool CRecordReader::SkipToToken(std::string_view text) {
    std::string_view token;
    while (ReadToken(token) != -1) {
        if (token == text) return true;
    }
    return false;
}

bool SplitDataToken(const std::string& token, std::string& key, std::string& value) {
    const size_t colon = token.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    key.assign(token, 0, colon);
    value.assign(token, colon + 1, std::string::npos);
    return true;
}

bool SplitDataToken(std::string_view token, std::string_view& key, std::string_view& value) {
    const size_t colon = token.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    key = token.substr(0, colon);
    value = token.substr(colon + 1);
    return true;
}

bool SkipNestedRecord(CRecordReader& reader, std::string_view startTag) {
    std::string end(startTag);
    if (!end.empty()) end[0] = '-';
    return reader.SkipToToken(end);
}

}  // namespace qurix
