#include "core/profile/Profile.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/platform/FileIo.h"
#include "core/platform/FileReplace.h"
#include "core/records/RecordReader.h"
#include "core/text/ByteText.h"
#include "core/text/TextFile.h"

namespace qurix {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// No blank is ever the trail byte of a two-byte character, so trimming is byte-wise.
std::string_view Trim(std::string_view s) {
    size_t from = 0;
    size_t to = s.size();
    while (from < to && IsBlank(s[from])) ++from;
    while (to > from && IsBlank(s[to - 1])) --to;
    return s.substr(from, to - from);
}

unsigned char Upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// ASCII letters match in either case, but a Shift-JIS trail byte is compared exactly:
// "ア" (83 41) and "ヂ" (83 61) differ only in a trail byte that looks like 'A' / 'a'.
bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const bool cp932 = IsCp932Text(a) || IsCp932Text(b);
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (Upper(x) != Upper(y)) return false;
        if (cp932 && StartsCp932Pair(a, i)) {
            ++i;
            if (a[i] != b[i]) return false;
        }
    }
    return true;
}

// The first ']' that is a character of its own (not the trail byte of "ゾ", 83 5D).
size_t FindSectionClose(std::string_view line, size_t from) {
    const bool cp932 = IsCp932Text(line);
    for (size_t i = from; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c == ']') return i;
        if (cp932 && StartsCp932Pair(line, i)) ++i;
    }
    return std::string_view::npos;
}

// One line of the file: [begin, end) holds its text, its line end follows up to next.
struct Line {
    size_t begin = 0;
    size_t end = 0;
    size_t next = 0;
};

// Walks the lines of a text. A line ends at CR LF, LF or a CR alone, as the platform's
// profile functions take it. The next CR and LF are each found once by a fast search and
// remembered, so a walk costs time linear in the text even when one kind never occurs.
class CLineScanner {
public:
    explicit CLineScanner(const std::string& text)
        : text_(text), nextCr_(text.find('\r')), nextLf_(text.find('\n')) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    Line Next() {
        Line l;
        l.begin = pos_;
        if (nextCr_ < pos_) nextCr_ = text_.find('\r', pos_);
        if (nextLf_ < pos_) nextLf_ = text_.find('\n', pos_);
        l.end = std::min(std::min(nextCr_, nextLf_), text_.size());
        l.next = l.end == text_.size() ? l.end : l.end + 1;
        if (l.end == nextCr_ && l.next == nextLf_) ++l.next;
        pos_ = l.next;
        return l;
    }

private:
    const std::string& text_;
    size_t pos_ = 0;
    size_t nextCr_;  // npos when there is none after pos_
    size_t nextLf_;
};

// The line end new lines get: the file's own (CR LF, else LF, else CR), else the
// platform's.
std::string_view LineEndOf(const std::string& text) {
    if (text.find("\r\n") != std::string::npos) return "\r\n";
    if (text.find('\n') != std::string::npos) return "\n";
    if (text.find('\r') != std::string::npos) return "\r";
    return NATIVE_LINE_END;
}

enum class Kind { Other, Section, Key };

// A line split into its parts; every search stays inside the line, so reading a file
// costs time linear in its size.
struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;  // keys only
};

Parsed Classify(std::string_view line) {
    Parsed p;
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start == line.size() || line[start] == ';') return p;
    if (line[start] == '[') {
        const size_t close = FindSectionClose(line, start + 1);
        p.kind = Kind::Section;
        p.name =
            Trim(line.substr(start + 1, close == std::string_view::npos ? std::string_view::npos
                                                                        : close - start - 1));
        return p;
    }
    const size_t eq = line.find('=', start);
    if (eq == std::string_view::npos) return p;
    p.kind = Kind::Key;
    p.name = Trim(line.substr(start, eq - start));
    std::string_view v = Trim(line.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    p.value = v;
    return p;
}

std::string_view TextOf(const std::string& text, const Line& l) {
    return std::string_view(text).substr(l.begin, l.end - l.begin);
}

// Where a section's lines lie and where its key is, if present.
struct Found {
    bool section = false;
    Line lastContent;  // the section's last non-blank line (its header at least)
    bool key = false;
    Line keyLine;
};

Found Find(const std::string& text, std::string_view section, std::string_view key,
           bool stopAtKey) {
    Found f;
    const std::string_view wantSection = Trim(section);
    const std::string_view wantKey = Trim(key);
    bool inside = false;
    for (CLineScanner lines(text); !lines.AtEnd();) {
        const Line line = lines.Next();
        const Parsed p = Classify(TextOf(text, line));
        if (p.kind == Kind::Section) {
            if (inside) break;  // only the first matching section counts
            if (EqualsNoCase(p.name, wantSection)) {
                inside = true;
                f.section = true;
                f.lastContent = line;
            }
            continue;
        }
        if (!inside) continue;
        if (!Trim(TextOf(text, line)).empty()) f.lastContent = line;
        if (p.kind == Kind::Key && !f.key && EqualsNoCase(p.name, wantKey)) {
            f.key = true;
            f.keyLine = line;
            if (stopAtKey) break;
        }
    }
    return f;
}

// Names folded as far as every match of EqualsNoCase agrees: ASCII letters upper-cased.
// A hit is then confirmed with EqualsNoCase, which also compares Shift-JIS trail bytes.
std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
    return out;
}

// Every section and key of one text, so that the many reads of a start cost one pass over
// a large file instead of one each. Finds what Find finds: the first matching section,
// and the first matching key in it.
class CKeyIndex {
public:
    explicit CKeyIndex(const std::string& text) {
        Section* current = nullptr;
        for (CLineScanner lines(text); !lines.AtEnd();) {
            const Parsed p = Classify(TextOf(text, lines.Next()));
            if (p.kind == Kind::Section) {
                sections_.push_back(Section{p.name, {}});
                current = &sections_.back();
            } else if (p.kind == Kind::Key && current) {
                current->keys[Folded(p.name)].push_back(Entry{p.name, p.value});
            }
        }
        for (const Section& s : sections_) byName_[Folded(s.name)].push_back(&s);
    }

    bool Lookup(std::string_view section, std::string_view key, std::string& value) const {
        section = Trim(section);
        key = Trim(key);
        const auto sections = byName_.find(Folded(section));
        if (sections == byName_.end()) return false;
        // Each list keeps the text's order, so the first match is the text's first.
        const Section* found = nullptr;
        for (const Section* s : sections->second) {
            if (EqualsNoCase(s->name, section)) {
                found = s;
                break;
            }
        }
        if (!found) return false;
        const auto keys = found->keys.find(Folded(key));
        if (keys == found->keys.end()) return false;
        for (const Entry& e : keys->second) {
            if (EqualsNoCase(e.name, key)) {
                value = e.value;
                return true;
            }
        }
        return false;
    }

private:
    struct Entry {
        std::string_view name;
        std::string_view value;
    };
    struct Section {
        std::string_view name;
        std::unordered_map<std::string, std::vector<Entry>> keys;
    };
    std::deque<Section> sections_;
    std::unordered_map<std::string, std::vector<const Section*>> byName_;
};

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

// Whether the section's header and the key's line, once written, read back as that
// section and key. Anything else would change the file's structure instead of one value:
// a line break, '=' in the key, ']' in the section, a key that reads as a comment or a
// header, a section ending in a Shift-JIS lead byte that would swallow its ']'.
bool WritesOneValue(const std::string& section, const std::string& key, const std::string& value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || Trim(key).empty()) {
        return false;
    }
    // Spelt as Update writes them.
    std::string header(1, '[');
    header += Trim(section);
    header += ']';
    std::string entry(Trim(key));
    entry += '=';
    entry += value;
    const Parsed h = Classify(header);
    const Parsed e = Classify(entry);
    return h.kind == Kind::Section && h.name == Trim(section) && e.kind == Kind::Key &&
           e.name == Trim(key);
}

// A value written inside a batch, waiting for its commit.
struct PendingValue {
    std::string section;
    std::string key;
    std::string value;
};

template <typename Values>
auto FindPending(Values& values, const std::string& section, const std::string& key)
    -> decltype(&values.front()) {
    for (auto& v : values) {
        if (EqualsNoCase(Trim(v.section), Trim(section)) && EqualsNoCase(Trim(v.key), Trim(key))) {
            return &v;
        }
    }
    return nullptr;
}

// How often a write reads the file again when it changed under us, and how long a file
// written a moment ago is given to settle: the editor saves a section at a time, and a read
// between two of those writes would see half a file.
constexpr int WRITE_ATTEMPTS = 20;
constexpr int SETTLE_TRIES = 100;
constexpr auto SETTLE_TIME = std::chrono::milliseconds(50);
constexpr auto SETTLE_STEP = std::chrono::milliseconds(10);

bool JustWritten(const FileVersion& v) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto age = std::chrono::nanoseconds(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - v.modifiedNs);
    return age < SETTLE_TIME && age > -SETTLE_TIME;
}

// A whole read of the file, tried again while a writer is at work; for a write, also while
// it was written a moment ago by someone else (ours is known by its version).
SnapshotRead ReadSettled(const std::string& path, FileSnapshot& snapshot, bool forWrite,
                         const FileVersion* ours = nullptr) {
    SnapshotRead read = SnapshotRead::Busy;
    for (int i = 0; i < SETTLE_TRIES; ++i) {
        read = ReadSnapshot(path, snapshot);
        if (read == SnapshotRead::Done && forWrite && snapshot.version.exists &&
            JustWritten(snapshot.version) && !(ours && *ours == snapshot.version)) {
            read = SnapshotRead::Busy;
        }
        if (read != SnapshotRead::Busy) return read;
        std::this_thread::sleep_for(SETTLE_STEP);
    }
    return read;
}

}  // namespace

bool CProfile::Lookup(const std::string& text, const std::string& section, const std::string& key,
                      std::string& value) {
    const Found f = Find(text, section, key, true);
    if (!f.key) return false;
    value = Classify(TextOf(text, f.keyLine)).value;
    return true;
}

std::string CProfile::Update(const std::string& text, const std::string& section,
                             const std::string& key, const std::string& value) {
    const Found f = Find(text, section, key, false);
    const std::string_view eol = LineEndOf(text);
    std::string out;
    out.reserve(text.size() + key.size() + value.size() + section.size() + 8);
    if (f.key) {
        // The file's own spelling of the key stays; only the value changes.
        const Line& l = f.keyLine;
        out.append(text, 0, l.begin);
        out += Classify(TextOf(text, l)).name;
        out += '=';
        out += value;
        out.append(text, l.end, std::string::npos);
        return out;
    }
    if (f.section) {
        const Line& l = f.lastContent;
        out.append(text, 0, l.next);
        if (l.next == l.end) out += eol;  // the section's last line had no line end
    } else {
        out = text;
        if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
        out += '[';
        out += Trim(section);
        out += ']';
        out += eol;
    }
    out += Trim(key);
    out += '=';
    out += value;
    out += eol;
    if (f.section) out.append(text, f.lastContent.next, std::string::npos);
    return out;
}

// What copies of one profile share: the held read, the batch, and what the last write did.
struct CProfile::Shared {
    std::mutex mutex;
    std::string journalFolder;
    int holds = 0;
    std::string heldPath;
    std::shared_ptr<const std::string> heldText;   // null until the first read in a hold
    std::shared_ptr<const FileSnapshot> heldFile;  // the bytes heldText was decoded from
    std::unique_ptr<const CKeyIndex> heldIndex;    // into heldText
    int batches = 0;
    std::vector<PendingValue> pending;
    FileVersion lastWritten;  // the version our last write left
    WriteProblem lastProblem = WriteProblem::None;

    // The file's text, decoded; empty when it cannot be read.
    std::shared_ptr<const std::string> Text(const std::string& path);
    bool Lookup(const std::string& path, const std::string& section, const std::string& key,
                std::string& value);
    // What a write starts from: the held read while the file is still that version, else a
    // new read.
    SnapshotRead Base(const std::string& path, FileSnapshot& snapshot);
    void Hold(const std::string& path, std::shared_ptr<const FileSnapshot> file, std::string text);
    WriteProblem Write(const std::string& path, const std::vector<PendingValue>& values);
};

std::shared_ptr<const std::string> CProfile::Shared::Text(const std::string& path) {
    if (holds > 0 && heldText && heldPath == path) return heldText;
    auto snapshot = std::make_shared<FileSnapshot>();
    std::string text;
    if (ReadSettled(path, *snapshot, false) == SnapshotRead::Done) {
        DecodeTextFile(snapshot->bytes, DetectTextEncoding(snapshot->bytes), text, false);
    }
    if (holds == 0) return std::make_shared<const std::string>(std::move(text));
    Hold(path, std::move(snapshot), std::move(text));
    return heldText;
}

void CProfile::Shared::Hold(const std::string& path, std::shared_ptr<const FileSnapshot> file,
                            std::string text) {
    heldPath = path;
    heldFile = std::move(file);
    heldText = std::make_shared<const std::string>(std::move(text));
    heldIndex = std::make_unique<const CKeyIndex>(*heldText);
}

bool CProfile::Shared::Lookup(const std::string& path, const std::string& section,
                              const std::string& key, std::string& value) {
    const std::shared_ptr<const std::string> text = Text(path);
    if (holds > 0 && heldIndex && text == heldText) return heldIndex->Lookup(section, key, value);
    return CProfile::Lookup(*text, section, key, value);
}

SnapshotRead CProfile::Shared::Base(const std::string& path, FileSnapshot& snapshot) {
    FileVersion now;
    if (holds > 0 && heldFile && heldPath == path && heldFile->version.exists &&
        ReadVersion(path, now) && now == heldFile->version &&
        (heldFile->TimeTellsChanges() || now == lastWritten)) {
        snapshot = *heldFile;
        return SnapshotRead::Done;
    }
    return ReadSettled(path, snapshot, true, &lastWritten);
}

CProfile::WriteProblem CProfile::Shared::Write(const std::string& path,
                                               const std::vector<PendingValue>& values) {
    ReplaceOptions options;
    options.journalFolder = journalFolder;
    for (int attempt = 0; attempt < WRITE_ATTEMPTS; ++attempt) {
        FileSnapshot snapshot;
        const SnapshotRead read =
            attempt == 0 ? Base(path, snapshot) : ReadSettled(path, snapshot, true, &lastWritten);
        if (read == SnapshotRead::Failed) return WriteProblem::Refused;
        if (read == SnapshotRead::Busy) return WriteProblem::Busy;
        const TextEncoding encoding = DetectTextEncoding(snapshot.bytes);
        std::string text;
        if (!DecodeTextFile(snapshot.bytes, encoding, text)) return WriteProblem::Encoding;
        std::string updated = text;
        for (const PendingValue& v : values) updated = Update(updated, v.section, v.key, v.value);
        if (updated == text && snapshot.version.exists) return WriteProblem::None;
        std::string bytes;
        if (!EncodeTextFile(updated, encoding, bytes)) return WriteProblem::Encoding;
        FileVersion written;
        switch (ReplaceIfUnchanged(path, snapshot, bytes, options, &written)) {
            case ReplaceMethod::Atomic:
            case ReplaceMethod::InPlace:
                lastWritten = written;
                if (holds > 0 && heldPath == path) {
                    auto file = std::make_shared<FileSnapshot>();
                    file->version = written;
                    file->bytes = std::move(bytes);
                    Hold(path, std::move(file), std::move(updated));
                }
                return WriteProblem::None;
            case ReplaceMethod::Changed:
                continue;  // read again and change that
            case ReplaceMethod::Failed:
                return WriteProblem::Refused;
        }
    }
    return WriteProblem::Busy;
}

CProfile::CProfile() : shared_(std::make_shared<Shared>()) {}

CProfile::CProfile(std::string path)
    : path_(std::move(path)), shared_(std::make_shared<Shared>()) {}

void CProfile::SetJournalFolder(std::string folder) {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->journalFolder = std::move(folder);
}

CProfile::WriteProblem CProfile::LastWriteProblem() const {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->lastProblem;
}

std::string CProfile::GetString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    if (const PendingValue* v = FindPending(shared_->pending, section, key)) return v->value;
    std::string value;
    if (path_.empty() || !shared_->Lookup(path_, section, key, value)) return def;
    return value;
}

int32_t CProfile::GetInt(const std::string& section, const std::string& key, int32_t def) const {
    const std::string value = GetString(section, key);
    if (value.empty()) return def;
    return ParseInt(value);
}

bool CProfile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) const {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    if (path_.empty() || !WritesOneValue(section, key, value)) {
        shared_->lastProblem = WriteProblem::Refused;
        return false;
    }
    if (shared_->batches > 0) {
        if (PendingValue* v = FindPending(shared_->pending, section, key)) {
            v->value = value;
        } else {
            shared_->pending.push_back(PendingValue{section, key, value});
        }
        return true;
    }
    shared_->lastProblem = shared_->Write(path_, {PendingValue{section, key, value}});
    return shared_->lastProblem == WriteProblem::None;
}

bool CProfile::WriteInt(const std::string& section, const std::string& key, int32_t value) const {
    return WriteString(section, key, std::to_string(value));
}

CProfile::CReadHold::CReadHold(const CProfile& profile) : profile_(profile) {
    const std::lock_guard<std::mutex> lock(profile_.shared_->mutex);
    ++profile_.shared_->holds;
}

CProfile::CReadHold::~CReadHold() {
    const std::lock_guard<std::mutex> lock(profile_.shared_->mutex);
    if (--profile_.shared_->holds == 0) {
        profile_.shared_->heldIndex.reset();
        profile_.shared_->heldText.reset();
        profile_.shared_->heldFile.reset();
    }
}

CProfile::CWriteBatch::CWriteBatch(const CProfile& profile) : profile_(profile) {
    const std::lock_guard<std::mutex> lock(profile_.shared_->mutex);
    ++profile_.shared_->batches;
}

CProfile::CWriteBatch::~CWriteBatch() {
    Commit();
}

bool CProfile::CWriteBatch::Commit() {
    if (!open_) return true;
    open_ = false;
    Shared& shared = *profile_.shared_;
    const std::lock_guard<std::mutex> lock(shared.mutex);
    if (--shared.batches > 0) return true;
    std::vector<PendingValue> values;
    values.swap(shared.pending);
    if (values.empty()) return true;
    shared.lastProblem = shared.Write(profile_.path_, values);
    return shared.lastProblem == WriteProblem::None;
}

}  // namespace qurix
