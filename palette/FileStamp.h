#pragma once
#include <cstdint>
#include <string>

namespace qurix {

// What tells a file's versions apart without reading it: its size and modification time
// (as finely as the file system keeps it). Invalid for a missing or unreadable file.
struct FileStamp {
    bool valid = false;
    int64_t size = 0;
    int64_t time = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path);

}  // namespace qurix
