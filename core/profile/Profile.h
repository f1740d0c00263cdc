#pragma once
#include <cstdint>
#include <string>

namespace qurix {

// The editor's INI file, read and written the way the editor's platform does it.
// Every call opens the file again, since the editor may change it while we run.
// Reading: a line ends at CR LF, LF or CR; section and key names trimmed and matched
// ignoring ASCII case (never a Shift-JIS trail byte); the first matching section and key
// win; ';' starts a comment line; values are trimmed and lose one pair of surrounding '"'
// or '\''. Writing changes only the key's own line (or adds it at the end of its section,
// or adds the section at the end of the file) with the file's own line end and keeps every
// other byte; the new file replaces the old one atomically, or is rewritten in place where
// the folder or other hard links forbid that (ReplaceFileContents).
class CProfile {
public:
    CProfile() = default;
    explicit CProfile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

    // The caller's default when the file, section or key is missing. Integers are
    // read as atoi does (sign, decimal digits, wrapping to 32 bits).
    int32_t GetInt(const std::string& section, const std::string& key, int32_t def) const;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = std::string()) const;

    // False, with the file untouched, when the write fails.
    bool WriteInt(const std::string& section, const std::string& key, int32_t value) const;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;

    // The same rules on text held in memory (for callers and tests that have the bytes).
    static bool Lookup(const std::string& text, const std::string& section, const std::string& key,
                       std::string& value);
    static std::string Update(const std::string& text, const std::string& section,
                              const std::string& key, const std::string& value);

private:
    std::string path_;
};

}  // namespace qurix
