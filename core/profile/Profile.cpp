#include "core/profile/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/records/RecordReader.h"

namespace qurix {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& s, size_t from, size_t to) {
    while (from < to && IsBlank(s[from])) ++from;
    while (to > from && IsBlank(s[to - 1])) --to;
    return s.substr(from, to - from);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// One line of the file: [begin, end) holds its text, the line end follows.
struct Line {
    size_t begin;
    size_t end;
    size_t next;  // start of the following line
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t next = nl == std::string::npos ? text.size() : nl + 1;
        size_t end = nl == std::string::npos ? text.size() : nl;
        if (end > pos && text[end - 1] == '\r') --end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

enum class Kind { Other, Section, Key };

// Classifies a line; for a section fills name, for a key fills name and value.
Kind Classify(const std::string& text, const Line& line, std::string& name, std::string* value) {
    size_t p = line.begin;
    while (p < line.end && IsBlank(text[p])) ++p;
    if (p == line.end || text[p] == ';') return Kind::Other;
    if (text[p] == '[') {
        size_t close = text.find(']', p + 1);
        if (close == std::string::npos || close > line.end) close = line.end;
        name = Trim(text, p + 1, close);
        return Kind::Section;
    }
    size_t eq = text.find('=', p);
    if (eq == std::string::npos || eq >= line.end) return Kind::Other;
    name = Trim(text, p, eq);
    if (value) {
        std::string v = Trim(text, eq + 1, line.end);
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
            v = v.substr(1, v.size() - 2);
        }
        *value = std::move(v);
    }
    return Kind::Key;
}

// Where a section's lines lie and where its key is, if present.
struct Found {
    bool section = false;
    size_t lastContent = 0;  // index of the section's last non-blank line (its header at least)
    bool key = false;
    size_t keyLine = 0;
};

Found Find(const std::string& text, const std::vector<Line>& lines, const std::string& section,
           const std::string& key) {
    Found f;
    const std::string wantSection = Trim(section, 0, section.size());
    const std::string wantKey = Trim(key, 0, key.size());
    bool inside = false;
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Kind kind = Classify(text, lines[i], name, nullptr);
        if (kind == Kind::Section) {
            if (inside) break;  // only the first matching section counts
            if (EqualsNoCase(name, wantSection)) {
                inside = true;
                f.section = true;
                f.lastContent = i;
            }
            continue;
        }
        if (!inside) continue;
        size_t p = lines[i].begin;
        while (p < lines[i].end && IsBlank(text[p])) ++p;
        if (p < lines[i].end) f.lastContent = i;
        if (kind == Kind::Key && !f.key && EqualsNoCase(name, wantKey)) {
            f.key = true;
            f.keyLine = i;
        }
    }
    return f;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Writes the bytes to a temporary file beside the target and renames it over the
// target, so a crash leaves either the old or the new file, never half of one.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    std::error_code ec;
    std::filesystem::path target(path);
    // Write through a link to the file it names, so the link survives.
    if (std::filesystem::is_symlink(target, ec)) {
        auto resolved = std::filesystem::canonical(target, ec);
        if (ec) return false;
        target = resolved;
    }
    std::string tmpl = target.string() + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
        (void)fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        (void)fchmod(fd, 0666 & ~mask);
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0)
            ok = false;
        else
            done += static_cast<size_t>(w);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(name.data(), target.c_str()) != 0) ok = false;
    if (!ok) std::remove(name.data());
    return ok;
}

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

bool CProfile::Lookup(const std::string& text, const std::string& section, const std::string& key,
                      std::string& value) {
    const std::vector<Line> lines = SplitLines(text);
    const Found f = Find(text, lines, section, key);
    if (!f.key) return false;
    std::string name;
    Classify(text, lines[f.keyLine], name, &value);
    return true;
}

std::string CProfile::Update(const std::string& text, const std::string& section,
                             const std::string& key, const std::string& value) {
    const std::vector<Line> lines = SplitLines(text);
    const Found f = Find(text, lines, section, key);
    const bool crlf = text.find("\r\n") != std::string::npos;
    const std::string eol = crlf ? "\r\n" : "\n";
    const std::string entry = Trim(key, 0, key.size()) + "=" + value;
    std::string out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    if (f.key) {
        // The file's own spelling of the key stays; only the value changes.
        const Line& l = lines[f.keyLine];
        std::string name;
        Classify(text, l, name, nullptr);
        out.append(text, 0, l.begin);
        out += name + "=" + value;
        out.append(text, l.end, std::string::npos);
    } else if (f.section) {
        const Line& l = lines[f.lastContent];
        out.append(text, 0, l.next);
        if (l.next == l.end) out += eol;  // the section's last line had no line end
        out += entry;
        out += eol;
        out.append(text, l.next, std::string::npos);
    } else {
        out = text;
        if (!out.empty() && out.back() != '\n') out += eol;
        // Appended piece by piece: "[" + std::string trips g++ 12's false -Wrestrict at -O3.
        out += '[';
        out += Trim(section, 0, section.size());
        out += ']';
        out += eol;
        out += entry + eol;
    }
    return out;
}

std::string CProfile::GetString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    std::string text;
    std::string value;
    if (!ReadWholeFile(path_, text) || !Lookup(text, section, key, value)) return def;
    return value;
}

int32_t CProfile::GetInt(const std::string& section, const std::string& key, int32_t def) const {
    const std::string value = GetString(section, key);
    if (value.empty()) return def;
    return ParseInt(value);
}

bool CProfile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) const {
    // A line break, a '=' in the key or a ']' in the section would change the file's
    // structure instead of one value.
    if (path_.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        key.find('=') != std::string::npos || section.find(']') != std::string::npos ||
        Trim(key, 0, key.size()).empty()) {
        return false;
    }
    std::string text;
    std::error_code ec;
    if (std::filesystem::exists(path_, ec)) {
        if (!ReadWholeFile(path_, text)) return false;
    } else if (ec) {
        return false;
    }
    return ReplaceFileAtomically(path_, Update(text, section, key, value));
}

bool CProfile::WriteInt(const std::string& section, const std::string& key, int32_t value) const {
    return WriteString(section, key, std::to_string(value));
}

}  // namespace qurix
