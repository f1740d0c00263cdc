#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace qurix {

// The editor's INI file, read and written the way the editor's platform does it.
// Reading: a line ends at CR LF, LF or CR; section and key names trimmed and matched
// ignoring ASCII case (never a Shift-JIS trail byte); the first matching section and key
// win; ';' starts a comment line; values are trimmed and lose one pair of surrounding '"'
// or '\''. A file with a UTF-16 byte-order mark is read as UTF-8 text and written back in
// UTF-16; a UTF-8 mark is kept. Writing changes only the key's own line (or adds it at the
// end of its section, or adds the section at the end of the file) with the file's own line
// end and keeps every other byte.
//
// The editor saves this file while we run, so every write reads the file again right
// before it, changes only its own keys in what it read, and replaces the file only while
// it is still what was read (ReplaceIfUnchanged); a file that is being saved, or that
// changes under us, is read again, and after a while left alone rather than overwritten.
// Outside a hold every read opens the file again. Copies of a profile share their holds
// and batches: the palette's views each keep a copy of one profile.
class CProfile {
public:
    CProfile();
    explicit CProfile(std::string path);

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

    // Where an in-place rewrite keeps a copy of the old bytes until it is done (the
    // palette's per-user folder); "" keeps none.
    void SetJournalFolder(std::string folder);

    // The caller's default when the file, section or key is missing. Integers are
    // read as atoi does (sign, decimal digits, wrapping to 32 bits).
    int32_t GetInt(const std::string& section, const std::string& key, int32_t def) const;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = std::string()) const;

    // False, with the file untouched, when the write fails (see LastWriteProblem). Inside a
    // batch the value is only noted, and true.
    bool WriteInt(const std::string& section, const std::string& key, int32_t value) const;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;

    enum class WriteProblem {
        None,
        Refused,   // no right to write it, a read-only file, not a file, a value that would
                   // change the file's structure
        Busy,      // the file kept changing under us: another program is saving it
        Encoding,  // UTF-16 that is not well formed
    };
    WriteProblem LastWriteProblem() const;

    // While one lives, reads of this profile and its copies are served from one read of the
    // file (a start reads a large file once); the palette's own writes update it.
    class CReadHold {
    public:
        explicit CReadHold(const CProfile& profile);
        ~CReadHold();
        CReadHold(const CReadHold&) = delete;

    private:
        const CProfile& profile_;
    };

    // While one lives, writes of this profile and its copies are collected, and Commit (or
    // the end of the outermost batch) writes them in one replace. Reads see them at once.
    class CWriteBatch {
    public:
        explicit CWriteBatch(const CProfile& profile);
        ~CWriteBatch();
        CWriteBatch(const CWriteBatch&) = delete;
        // False when the write failed (the values are dropped); true in an inner batch.
        bool Commit();

    private:
        const CProfile& profile_;
        bool open_ = true;
    };

    // The same rules on text held in memory (for callers and tests that have the bytes).
    static bool Lookup(const std::string& text, const std::string& section, const std::string& key,
                       std::string& value);
    static std::string Update(const std::string& text, const std::string& section,
                              const std::string& key, const std::string& value);

private:
    struct Shared;
    std::string path_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace qurix
