#include "palette/FileStamp.h"

#include <filesystem>
#include <system_error>

namespace qurix {

FileStamp StampOf(const std::string& path) {
    FileStamp s;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || ec) return s;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return s;
    const auto time = std::filesystem::last_write_time(path, ec);
    if (ec) return s;
    s.valid = true;
    s.size = static_cast<int64_t>(size);
    s.time = static_cast<int64_t>(time.time_since_epoch().count());
    return s;
}

}  // namespace qurix
