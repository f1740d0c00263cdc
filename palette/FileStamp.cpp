#include "palette/FileStamp.h"

#include "core/platform/FileIo.h"

namespace qurix {

FileStamp StampOf(const std::string& path) {
    FileStamp s;
    s.valid = RegularFileInfo(path, s.size, s.time);
    if (!s.valid) s = FileStamp();
    return s;
}

}  // namespace qurix
