#pragma once
// Readers over text held in memory, and temporary files for loader tests.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/platform/TempFiles.h"
#include "core/records/RecordReader.h"

namespace qurix::test {

// A CRecordReader over a copy of text.
class MemReader {
public:
    explicit MemReader(const std::string& text) : text_(text) {
        file_ = OpenBytesAsFile(text_);
        reader.Attach(file_);
    }
    ~MemReader() {
        if (file_) std::fclose(file_);
    }
    MemReader(const MemReader&) = delete;
    MemReader& operator=(const MemReader&) = delete;

    CRecordReader reader;

private:
    std::string text_;
    FILE* file_ = nullptr;
};

// A fresh folder under the temporary directory, removed with everything in it.
class TempFolder {
public:
    TempFolder() { path_ = MakeTemporaryFolder("qurix-lib-"); }
    ~TempFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Writes bytes to name inside the folder and returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string full = path_ + "/" + name;
        std::ofstream out(full, std::ios::binary);
        out << bytes;
        return full;
    }

private:
    std::string path_;
};

}  // namespace qurix::test
