#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace qurix {

// Writes tokens with their separators and "%XX" escapes, to a file or to memory.
class CRecordWriter {
public:
    // With neither a file nor a memory target every write fails.
    CRecordWriter() = default;
    explicit CRecordWriter(FILE* file) : file_(file) {}
    explicit CRecordWriter(std::string* memory) : memory_(memory) {}

    // Texts are written up to their first NUL.
    int32_t WriteToken(std::string_view text);
    int32_t WriteKeyInt(std::string_view key, int32_t n);
    // "key:value" as one token: nothing of it after a NUL in the key.
    int32_t WriteKeyValue(std::string_view key, std::string_view value);
    // Sets the at-line-start flag and writes a line feed.
    int32_t EndLine();

    bool AtLineStart() const { return atLineStart_; }

private:
    class TokenBuffer;

    bool PutRaw(const char* bytes, size_t n);
    // Puts the separator before a token; false when there is no target.
    bool StartToken(TokenBuffer& buffer);

    FILE* file_ = nullptr;
    std::string* memory_ = nullptr;
    // A new writer starts at the start of a line, so its first token has no comma.
    bool atLineStart_ = true;
};

}  // namespace qurix
