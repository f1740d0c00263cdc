#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "core/elements/PatternElement.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix::test {

// A token reader over an in-memory text.
class MemoryReader {
public:
    explicit MemoryReader(std::string text) : text_(std::move(text)) {
        if (text_.empty()) text_.push_back('\n');  // fmemopen wants at least one byte
        file_ = fmemopen(text_.data(), text_.size(), "r");
        reader_.Attach(file_);
    }
    ~MemoryReader() {
        if (file_) fclose(file_);
    }
    MemoryReader(const MemoryReader&) = delete;
    MemoryReader& operator=(const MemoryReader&) = delete;

    CRecordReader& Reader() { return reader_; }
    // The next token, or "<end>" when there is none.
    std::string Next() {
        std::string t;
        return reader_.ReadToken(t) == -1 ? "<end>" : t;
    }

private:
    std::string text_;
    FILE* file_ = nullptr;
    CRecordReader reader_;
};

// Reads one element record (the text after its start tag) into e; returns Read's answer.
inline bool ReadInto(CPatternElement& e, const std::string& body, std::string* after = nullptr) {
    MemoryReader m(body);
    const bool ok = e.Read(m.Reader());
    if (after) *after = m.Next();
    return ok;
}

// What Write produces, with or without an origin.
inline std::string WriteOf(const CPatternElement& e, const Point* origin = nullptr) {
    std::string out;
    CRecordWriter w(&out);
    e.Write(w, origin);
    return out;
}

}  // namespace qurix::test
