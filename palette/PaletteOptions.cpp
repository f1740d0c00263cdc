#include "palette/PaletteOptions.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "core/program/StandardOptions.h"

namespace qurix {

namespace {

constexpr std::string_view INI_OPTION = "--ini";
constexpr std::string_view EXIT_WHEN_SHOWN = "--exit-when-shown";

constexpr const char* OPTIONS_HELP =
    "\n"
    "  --ini PATH use this KIVOX.INI, now and at later starts\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "  --exit-when-shown\n"
    "             for measuring a start: print the time to the first shown parts list\n"
    "             and the memory held then, and close the window\n"
    "\n"
    "Exit status: 0 when the window is closed, 1 when start-up fails, 2 on any other\n"
    "argument.\n";

}  // namespace

PaletteOptions ReadPaletteOptions(int argc, const char* const* argv, const char* places) {
    PaletteOptions options;
    if (argc == 2 && argv[1] == EXIT_WHEN_SHOWN) {
        options.exitWhenShown = true;
    } else if (argc == 3 && argv[1] == INI_OPTION) {
        options.ini = argv[2];
    } else if (argc > 1) {
        const StandardOption asked = FindStandardOption(argc, argv);
        if (asked == StandardOption::None) {
            std::fprintf(stderr, "%s\n", PALETTE_USAGE);
            options.answered = 2;
        } else {
            const std::string help = std::string(places) + OPTIONS_HELP;
            options.answered = AnswerStandardOption(asked, "qurix", PALETTE_USAGE, help.c_str());
        }
    }
    return options;
}

}  // namespace qurix
