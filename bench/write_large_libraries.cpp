// Writes the two large inputs that the memory budget and the start-up time are measured
// with, into a folder with its KIVOX.INI (never commit what it writes):
//     bench_write_large_libraries bitmaps FOLDER   16 x 20 MB: 79 patterns each declaring
//                                                  a 16 MiB bitmap, each named by two parts
//     bench_write_large_libraries tiny FOLDER      one 5.8 MB library of 187 244 tiny parts
// Then `qurix-lib list FOLDER/KIVOX.INI` or `qurix --exit-when-shown` under
// `/usr/bin/time -v`.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/GeneratedParts.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "bitmaps" && kind != "tiny") {
        std::fprintf(stderr, "usage: bench_write_large_libraries bitmaps|tiny FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const int libraries = kind == "bitmaps" ? 16 : 1;
    const std::string text = kind == "bitmaps" ? qurix::bench::WideBitmapLibraryText()
                                               : qurix::bench::TinyPartsLibraryText();
    for (int lib = 0; lib < libraries; ++lib) {
        if (!WriteFile(folder / ("lib" + std::to_string(lib) + ".lib"), text)) return 1;
    }
    return WriteFile(folder / "KIVOX.INI", qurix::bench::StartupIniText(libraries)) ? 0 : 1;
}
