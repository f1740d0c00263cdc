#include "palette/CacheLocation.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "core/platform/FileIo.h"
#include "palette/ImageCache.h"

namespace qurix {

namespace {

std::string WithoutTrailingSeparators(std::string path, const PathStyle& style) {
    while (path.size() > 1 && (path.back() == '/' || (style.windows && path.back() == '\\'))) {
        path.pop_back();
    }
    return path;
}

bool SameFolder(const std::string& a, const std::string& b, const PathStyle& style) {
    const std::string x = WithoutTrailingSeparators(a, style);
    const std::string y = WithoutTrailingSeparators(b, style);
    if (!style.windows) return x == y;
    // Windows folders match ignoring ASCII case, either separator.
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
        const auto c = static_cast<unsigned char>(x[i]);
        const auto d = static_cast<unsigned char>(y[i]);
        const bool separators = (c == '/' || c == '\\') && (d == '/' || d == '\\');
        if (!separators && std::tolower(c) != std::tolower(d)) return false;
    }
    return true;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string ConfigPathDigest(const std::string& configPath) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", Crc32(configPath.data(), configPath.size()));
    return hex;
}

std::string ChooseCacheFolder(const CacheLocationInputs& in) {
    const std::string local = in.currentFolder.empty()
                                  ? std::string(CACHE_FOLDER_NAME)
                                  : CombinePath(in.currentFolder, CACHE_FOLDER_NAME, in.style);
    const std::string configFolder = FolderOfPath(in.configPath, in.style);
    if (in.localCacheExists || in.currentFolder.empty() || in.configPath.empty() ||
        SameFolder(in.currentFolder, configFolder, in.style)) {
        return local;
    }
    std::string base;
    if (in.style.windows) {
        if (!in.localAppData.empty()) base = CombinePath(in.localAppData, "Tolmera", in.style);
    } else if (!in.xdgCacheHome.empty() && !IsRelativePath(in.xdgCacheHome, in.style)) {
        base = in.xdgCacheHome;
    } else if (!in.home.empty()) {
        base = CombinePath(in.home, ".cache", in.style);
    }
    if (base.empty()) return local;
    return CombinePath(CombinePath(base, "qurix", in.style), ConfigPathDigest(in.configPath),
                       in.style);
}

bool CanWriteInFolder(const std::string& folder) {
    // The folder itself when it is there, else the nearest folder above it that is: the
    // save makes the rest. Nothing is made here.
    const PathStyle style = NativePathStyle();
    std::string existing = folder;
    while (!existing.empty() && !IsFolder(existing)) {
        const std::string up = WithoutTrailingSeparators(FolderOfPath(existing, style), style);
        if (up == existing) break;
        existing = up;
    }
    if (existing.empty()) existing = CurrentFolder();
    const std::string probe = CombinePath(existing, ".qurix-write-test.tmp");
    std::FILE* f = OpenFile(probe, "wb");
    if (f == nullptr) return false;
    const bool closed = std::fclose(f) == 0;
    RemoveFile(probe);
    return closed;
}

CacheLocationInputs RealCacheLocationInputs(const std::string& configPath) {
    CacheLocationInputs in;
    in.currentFolder = CurrentFolder();
    in.configPath = configPath;
    in.localCacheExists =
        !in.currentFolder.empty() && IsFolder(CombinePath(in.currentFolder, CACHE_FOLDER_NAME));
#ifdef _WIN32
    in.localAppData = Env("LOCALAPPDATA");
#else
    in.xdgCacheHome = Env("XDG_CACHE_HOME");
    in.home = Env("HOME");
#endif
    return in;
}

}  // namespace qurix
