#include "core/platform/FileIo.h"

namespace qurix {

bool ReadWholeFile(const std::string& path, std::string& out) {
    std::FILE* f = OpenFile(path, "rb");
    if (!f) return false;
    out.clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace qurix
