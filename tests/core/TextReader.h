#pragma once
// Token readers over text held in memory and text written by records, for the record
// tests of every core folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "core/platform/TempFiles.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix::test {

// A CRecordReader over a copy of text.
class TextReader {
public:
    explicit TextReader(std::string text) : text_(std::move(text)) {
        file_ = OpenBytesAsFile(text_);
        reader.Attach(file_);
    }
    ~TextReader() {
        if (file_) std::fclose(file_);
    }
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // The next token, or "<end>" when there is none.
    std::string Next() {
        std::string token;
        return reader.ReadToken(token) == -1 ? "<end>" : token;
    }

    CRecordReader reader;

private:
    std::string text_;
    FILE* file_ = nullptr;
};

// The text write(CRecordWriter&) puts out; the write must succeed.
template <class Write>
std::string WrittenText(const Write& write) {
    std::string out;
    CRecordWriter writer(&out);
    EXPECT_TRUE(write(writer));
    return out;
}

}  // namespace qurix::test
