#ifndef _WIN32
#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "core/platform/Paths.h"
#include "core/platform/WinePaths.h"

namespace qurix {

namespace {

constexpr size_t WINDOWS_MAX_PATH = 260;

std::string IconvName(int codePage) {
    return codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
}

// The bytes converted between two encodings; false where one does not convert.
bool Convert(const std::string& in, const std::string& to, const std::string& from,
             std::string& out) {
    out.clear();
    if (in.empty()) return true;
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::vector<char> buffer(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (ok) out.assign(buffer.data(), buffer.size() - dstLeft);
    return ok;
}

// Windows matches names ignoring case; ASCII letters are the ones library paths use.
std::string Folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return std::string();
    std::string out = resolved;
    std::free(resolved);
    return out;
}

std::string WithoutSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// The Wine prefix a folder lies in: the nearest folder above it with dosdevices/ and
// drive_c/.
std::string PrefixAbove(const std::string& folder) {
    std::string at = WithoutSlash(folder);
    while (!at.empty() && at != "/") {
        if (IsFolder(at + "/dosdevices") && IsFolder(at + "/drive_c")) return at;
        const size_t slash = at.find_last_of('/');
        if (slash == std::string::npos) break;
        at = slash == 0 ? "/" : at.substr(0, slash);
    }
    return std::string();
}

}  // namespace

CWinePaths::CWinePaths(std::string configFolder, int codePage, const std::string& winePrefix,
                       const std::string& home)
    : configFolder_(std::move(configFolder)), codePage_(codePage) {
    prefix_ = PrefixAbove(configFolder_.empty() ? "." : configFolder_);
    if (prefix_.empty()) {
        prefix_ = !winePrefix.empty()
                      ? WithoutSlash(winePrefix)
                      : (home.empty() ? std::string() : WithoutSlash(home) + "/.wine");
    }
}

std::string CWinePaths::MatchName(const std::string& folder, const std::string& name) {
    if (Exists(folder + "/" + name)) return name;
    auto listing = listings_.find(folder);
    if (listing == listings_.end()) {
        listing = listings_.emplace(folder, std::map<std::string, std::string>()).first;
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* e = ::readdir(dir))
                listing->second.emplace(Folded(e->d_name), e->d_name);
            ::closedir(dir);
        }
    }
    const auto found = listing->second.find(Folded(name));
    return found == listing->second.end() ? name : found->second;
}

std::string CWinePaths::Resolve(const std::string& value) {
    if (!IsWindowsPath(value)) {
        return IsRelativePath(value) ? CombinePath(configFolder_, value) : value;
    }
    std::string text;
    if (!Convert(value, "UTF-8", IconvName(codePage_), text)) text = value;
    std::string base;
    bool fromDriveRoot = true;
    std::string_view rest = text;
    if (text.size() >= 2 && text[1] == ':') {
        base = prefix_ + "/dosdevices/" + Folded(text.substr(0, 1)) + ":";
        rest.remove_prefix(2);
    } else if (!text.empty() && (text[0] == '\\' || text[0] == '/')) {
        // The root of the drive the INI lies on; Z: is the Linux root.
        std::string windows;
        base = ToWindows(configFolder_.empty() ? "." : configFolder_, windows) ==
                           ToWindowsResult::Done &&
                       windows.size() >= 2 && windows[1] == ':'
                   ? prefix_ + "/dosdevices/" + Folded(windows.substr(0, 1)) + ":"
                   : std::string();
    } else {
        base = WithoutSlash(configFolder_.empty() ? "." : configFolder_);
        fromDriveRoot = false;
    }
    // ".." stops at a drive's root, as on Windows; from the INI's folder it climbs above.
    std::vector<std::string> names;
    size_t from = 0;
    while (from <= rest.size()) {
        size_t end = rest.find_first_of("\\/", from);
        if (end == std::string_view::npos) end = rest.size();
        const std::string name(rest.substr(from, end - from));
        from = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            } else if (!fromDriveRoot) {
                base = base == "." ? std::string("..") : FolderOfPath(base);
                base = WithoutSlash(base.empty() ? std::string(".") : base);
            }
            continue;
        }
        std::string folder = base;
        for (const std::string& n : names) folder += "/" + n;
        names.push_back(MatchName(folder.empty() ? "/" : folder, name));
    }
    std::string path = base;
    for (const std::string& n : names) path += "/" + n;
    return path.empty() ? "/" : path;
}

CWinePaths::ToWindowsResult CWinePaths::ToWindows(const std::string& path,
                                                  std::string& windows) const {
    std::string real = RealPath(path);
    if (real.empty()) real = path;
    // The drive whose folder holds the file most closely.
    char drive = 'z';
    std::string driveRoot = "/";
    if (DIR* dir = ::opendir((prefix_ + "/dosdevices").c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() != 2 || name[1] != ':' || name[0] < 'a' || name[0] > 'z') continue;
            const std::string root = RealPath(prefix_ + "/dosdevices/" + name);
            if (root.empty() || !IsFolder(root)) continue;
            const bool under = real == root || real.compare(0, root.size() + 1, root + "/") == 0;
            if (under && root.size() > driveRoot.size()) {
                drive = name[0];
                driveRoot = root;
            }
        }
        ::closedir(dir);
    }
    std::string text(1, static_cast<char>(drive - 'a' + 'A'));
    text += ':';
    std::string rest = driveRoot == "/" ? real : real.substr(driveRoot.size());
    if (rest.empty() || rest[0] != '/') rest.insert(rest.begin(), '/');
    for (char& c : rest) {
        if (c == '/') c = '\\';
    }
    text += rest;
    if (!Convert(text, IconvName(codePage_), "UTF-8", windows))
        return ToWindowsResult::NotInCodePage;
    return windows.size() >= WINDOWS_MAX_PATH ? ToWindowsResult::TooLong : ToWindowsResult::Done;
}

}  // namespace qurix
#endif
