#pragma once
// A temporary folder for tests that read and write files.
#include <filesystem>
#include <fstream>
#include <string>

#include "core/platform/TempFiles.h"

namespace qurix {

// A fresh folder, removed with its contents.
class ScratchFolder {
public:
    ScratchFolder() {
        const std::string folder = MakeTemporaryFolder("qurix-render-");
        if (!folder.empty()) path_ = folder + "/";
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + name, std::ios::binary) << bytes;
        return path_ + name;
    }

private:
    std::string path_;
};

}  // namespace qurix
