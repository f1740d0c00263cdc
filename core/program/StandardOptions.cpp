#include "core/program/StandardOptions.h"

#include <cstdio>
#include <cstring>

#include "QurixVersion.h"

namespace qurix {

StandardOption FindStandardOption(int argc, const char* const* argv) {
    if (argc != 2 || argv == nullptr || argv[1] == nullptr) return StandardOption::None;
    if (std::strcmp(argv[1], "--help") == 0) return StandardOption::Help;
    if (std::strcmp(argv[1], "--version") == 0) return StandardOption::Version;
    return StandardOption::None;
}

int AnswerStandardOption(StandardOption option, const char* program, const char* usage,
                         const char* help) {
    if (option == StandardOption::Version) {
        std::printf("%s %s\n", program, VERSION);
    } else if (option == StandardOption::Help) {
        const size_t length = std::strlen(usage);
        const bool ended = length > 0 && usage[length - 1] == '\n';
        std::printf("%s%s\n%s", usage, ended ? "" : "\n", help);
    }
    // A help text lost in a full pipe must not look like success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "%s: cannot write to standard output\n", program);
        return 1;
    }
    return 0;
}

}  // namespace qurix
