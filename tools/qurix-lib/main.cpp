// qurix-lib: looks at part libraries from the command line.
//   dump FILE       writes the loaded library back out in the library format
//   check FILE...   says for each file whether it loads and, if not, where and why
//   list INI        shows the library set that a configuration file yields
//   find INI QUERY...  searches every library of the set, best match first
#include <cstdio>
#include <string>
#include <vector>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/FileIo.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "core/program/StandardOptions.h"
#include "core/records/RecordWriter.h"
#include "core/search/PartIndex.h"

namespace {

using qurix::CLibrarySet;
using qurix::CPartLibrary;
using qurix::CProfile;
using qurix::CRecordWriter;

constexpr const char* USAGE =
    "usage: qurix-lib dump FILE\n"
    "       qurix-lib check FILE...\n"
    "       qurix-lib list INI\n"
    "       qurix-lib find INI QUERY...\n"
    "       qurix-lib --help | --version\n";

constexpr const char* HELP =
    "Looks at the part libraries of the Kivox schematic editor.\n"
    "\n"
    "  dump FILE       write the loaded library back out in the library format\n"
    "  check FILE...   say for each file whether it loads and, if not, at which line and why\n"
    "  list INI        list the libraries the configuration file INI yields: slot, parts,\n"
    "                  path (relative paths are taken from the INI's folder)\n"
    "  find INI QUERY...  search the parts of those libraries: slot, path, name and rank\n"
    "                  (exact, prefix, word, inside, alias, note) per line, best first\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read, loaded or written (find: no\n"
    "part found), 2 on a usage error (find: also an unreadable INI).\n";

int Usage() {
    std::fputs(USAGE, stderr);
    return 2;
}

// Flushes standard output; a failed write there is a failure of the command.
int Finish(int code) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("qurix-lib: cannot write to standard output\n", stderr);
        return 1;
    }
    return code;
}

int Dump(const std::string& path) {
    CPartLibrary library;
    if (!library.LoadFile(path)) {
        std::fprintf(stderr, "qurix-lib: cannot load %s\n", path.c_str());
        return 1;
    }
    CRecordWriter writer(stdout);
    if (!library.WriteLibrary(writer)) {
        // Only a write error or a part left without a name by a cut file gets here.
        std::fprintf(stderr, "qurix-lib: cannot write all of %s\n", path.c_str());
        Finish(1);
        return 1;
    }
    return Finish(0);
}

int Check(int count, char** paths) {
    int code = 0;
    for (int i = 0; i < count; ++i) {
        const std::string path = paths[i];
        int32_t line = 0;
        std::string reason = "no reason given";
        const CPartLibrary::Listener listener = [&](int32_t l, const std::string& why) {
            line = l;
            reason = why;
        };
        CPartLibrary library;
        if (library.LoadFile(path, &listener)) {
            std::printf("%s: ok, %d parts\n", path.c_str(), library.EntryCount());
        } else {
            std::printf("%s: fails at line %d: %s\n", path.c_str(), line, reason.c_str());
            code = 1;
        }
    }
    return Finish(code);
}

// The profile reads a missing file as empty; say so rather than answer for no libraries.
bool IniReadable(const std::string& iniPath) {
    bool notRegular = false;
    FILE* probe = qurix::OpenFile(iniPath, "r", &notRegular);
    if (!probe) {
        std::fprintf(stderr, "qurix-lib: cannot read %s%s\n", iniPath.c_str(),
                     notRegular ? ": not a regular file" : "");
        return false;
    }
    std::fclose(probe);
    return true;
}

int List(const std::string& iniPath) {
    if (!IniReadable(iniPath)) return 1;

    const CProfile profile(iniPath);
    CLibrarySet set;
    const CLibrarySet::LoadListener listener = [](const std::string& key, const std::string& path,
                                                  int32_t line, const std::string& why) {
        std::fprintf(stderr, "qurix-lib: %s %s: fails at line %d: %s\n", key.c_str(), path.c_str(),
                     line, why.c_str());
    };
    set.LoadLibrarySet(profile, qurix::ConfigFolder(iniPath), &listener);
    for (int32_t i = 0; i < set.Count(); ++i) {
        const CPartLibrary* library = set.GetLibrary(i);
        std::printf("%d\t%d\t%s\n", i, library->EntryCount(), library->Path().c_str());
    }
    return Finish(0);
}

// The query's words joined by spaces, as one search field would hold them.
int Find(const std::string& iniPath, int count, char** words) {
    if (!IniReadable(iniPath)) return 2;
    std::string query;
    for (int i = 0; i < count; ++i) {
        if (i > 0) query += ' ';
        query += words[i];
    }

    const CProfile profile(iniPath);
    CLibrarySet set;
    set.LoadLibrarySet(profile, qurix::ConfigFolder(iniPath));
    qurix::CPartIndex index;
    index.Build(set);
    const std::vector<qurix::SearchHit> hits = index.Find(query);
    for (const qurix::SearchHit& hit : hits) {
        // Names and paths as raw bytes: a CP932 name stays CP932.
        std::printf("%d\t%s\t%s\t%s\n", hit.slot, hit.library->Path().c_str(),
                    hit.part->Name().c_str(), qurix::SearchRankName(hit.rank));
    }
    return Finish(hits.empty() ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
    const qurix::StandardOption asked = qurix::FindStandardOption(argc, argv);
    if (asked != qurix::StandardOption::None) {
        return qurix::AnswerStandardOption(asked, "qurix-lib", USAGE, HELP);
    }
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    if (command == "dump" && argc == 3) return Dump(argv[2]);
    if (command == "check") return Check(argc - 2, argv + 2);
    if (command == "list" && argc == 3) return List(argv[2]);
    if (command == "find" && argc >= 4) return Find(argv[2], argc - 3, argv + 3);
    return Usage();
}
