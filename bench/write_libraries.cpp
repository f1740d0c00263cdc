// Writes the start-up benchmark's configuration into a folder, for measuring the palette
// as a whole process (bench/startup-process): KIVOX.INI and lib0.lib … of typical parts.
//     bench_write_libraries FOLDER [LIBRARIES [PARTS]]     (default 16 x 1000)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/GeneratedParts.h"

int main(int argc, char** argv) {
    // An option where the folder goes (--help) would otherwise become a folder of that name.
    if (argc < 2 || argc > 4 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: bench_write_libraries FOLDER [LIBRARIES [PARTS]]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int libraries = argc > 2 ? std::atoi(argv[2]) : 16;
    const int parts = argc > 3 ? std::atoi(argv[3]) : 1000;
    if (libraries < 1 || libraries > 16 || parts < 1) {
        std::fprintf(stderr, "bench_write_libraries: 1 to 16 libraries of at least 1 part\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (int lib = 0; lib < libraries; ++lib) {
        std::ofstream out(folder / ("lib" + std::to_string(lib) + ".lib"), std::ios::binary);
        out << qurix::bench::StartupLibraryText(lib, parts);
        if (!out) return 1;
    }
    std::ofstream ini(folder / "KIVOX.INI", std::ios::binary);
    ini << qurix::bench::StartupIniText(libraries);
    return ini ? 0 : 1;
}
