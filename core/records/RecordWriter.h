#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace qurix {

// Writes tokens with their separators and "%XX" escapes, to a file or to memory.
class CRecordWriter {
public:
    // With neither a file nor a memory target every write fails.
    CRecordWriter() = default;
    explicit CRecordWriter(FILE* file) : file_(file) {}
    explicit CRecordWriter(std::string* memory) : memory_(memory) {}

    int32_t WriteToken(const std::string& text);
    int32_t WriteToken(const char* text);
    int32_t WriteKeyInt(const std::string& key, int32_t n);
    int32_t WriteKeyValue(const std::string& key, const std::string& value);
    // Sets the at-line-start flag and writes a line feed.
    int32_t EndLine();

    bool AtLineStart() const { return atLineStart_; }

private:
    bool Put(char c);
    bool PutRaw(const char* bytes, size_t n);
    int32_t WriteEscaped(const char* text);

    FILE* file_ = nullptr;
    std::string* memory_ = nullptr;
    // A new writer starts at the start of a line, so its first token has no comma.
    bool atLineStart_ = true;
};

}  // namespace qurix
