#pragma once
// The one temporary folder for every test program that reads and writes files.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/platform/TempFiles.h"

namespace qurix::test {

// A fresh, uniquely named folder under the temporary directory, removed with everything
// in it. Unique names let test programs run side by side (ctest -j).
class ScratchFolder {
public:
    ScratchFolder() : path_(MakeTemporaryFolder("qurix-test-")) {}
    ~ScratchFolder() {
        if (path_.empty()) return;
        std::error_code ec;
        // A test may have taken the write permission away to provoke failures.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Without a trailing '/'; empty when the folder could not be made.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    // Writes bytes to name (which may lead through existing sub-folders) and returns its
    // full path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string full = File(name);
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }
    // The bytes of name; empty when it cannot be read.
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

private:
    std::string path_;
};

}  // namespace qurix::test
