#pragma once
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "core/platform/FileIo.h"

namespace qurix {

// Splits a byte stream into tokens: a token ends at a comma, LF or CR; blanks and
// line ends before a token are skipped; "%XX" escapes are resolved.
class CRecordReader {
public:
    static constexpr size_t MAX_TOKEN_LENGTH = 32768;

    CRecordReader() = default;
    explicit CRecordReader(FILE* file) { Attach(file); }

    // Takes an open file (not owned) and starts counting lines at firstLine, at least 1
    // (a text that stands at a known line of a larger file counts from there).
    void Attach(FILE* file, int64_t firstLine = 1) {
        file_ = file;
        line_ = firstLine < 1 ? 1 : firstLine;
        tokenLine_ = line_;
    }

    // The line on which the token began, or -1 when there is no further token
    // (end of input, or an escape cut by a separator). Lines are counted in 64 bits and
    // reported up to INT32_MAX: a longer input says INT32_MAX from there on.
    int32_t ReadToken(std::string& token);

    // Reads tokens until one equals text exactly: true with it consumed, false at the end
    // of input.
    bool SkipToToken(const std::string& text);

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
    int Next() { return file_ ? ReadByte(file_) : EOF; }
    static int32_t Reported(int64_t line) {
        return line < INT32_MAX ? static_cast<int32_t>(line) : INT32_MAX;
    }

    FILE* file_ = nullptr;
    int64_t line_ = 0;
    int64_t tokenLine_ = 0;  // start line of the last token returned
    const Listener* listener_ = nullptr;
    bool reported_ = false;
};

// True for the tokens that open ("+X") and close ("-X") records.
inline bool IsStartTag(const std::string& t) {
    return !t.empty() && t[0] == '+';
}
inline bool IsEndTag(const std::string& t) {
    return !t.empty() && t[0] == '-';
}

// Splits a data token at its first ':'. False for a token with no ':' or one that
// starts with ':'; such tokens are ignored by every record reader.
bool SplitDataToken(const std::string& token, std::string& key, std::string& value);

// Skips a nested record whose start tag was just read: everything up to the first token
// equal to the tag with its '+' turned into '-' (nesting is not counted). False when the
// input ends first.
bool SkipNestedRecord(CRecordReader& reader, const std::string& startTag);

// atoi: optional blanks, optional sign, decimal digits; no digits give 0; wraps to 32 bits.
int32_t ParseInt(const char* text);
inline int32_t ParseInt(const std::string& text) {
    return ParseInt(text.c_str());
}

}  // namespace qurix
