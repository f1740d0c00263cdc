// Writes the two large inputs that the memory budget and the start-up time are measured
// with, into a folder with its KIVOX.INI (never commit what it writes):
//     bench_write_large_libraries bitmaps FOLDER   16 x 20 MB: 79 patterns each declaring
//                                                  a 16 MiB bitmap, each named by two parts
//     bench_write_large_libraries tiny FOLDER      one 5 MB library of 187 244 tiny parts
// Then `qurix-lib list FOLDER/KIVOX.INI` or `qurix --exit-when-shown` under
// `/usr/bin/time -v`.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/GeneratedParts.h"

namespace {

// 79 patterns of 267 000 x 501 pixels (a 16 MiB bitmap at the declared width's stride),
// every row written out 500 characters long, and two parts naming each pattern.
std::string BitmapLibraryText() {
    std::string text = "+KIVOX_LIB_V.1.0\n";
    const std::string row = std::string(500, 'O') + "\n";
    for (int p = 0; p < 79; ++p) {
        const std::string name = "BMP" + std::to_string(p);
        text += "+PTN,N:" + name + ",X:267000,Y:501\n+BMP\n";
        for (int r = 0; r < 501; ++r) text += row;
        text += "-BMP\n-PTN\n";
        for (int twice = 0; twice < 2; ++twice) {
            text += "+COMP,N:" + name + "_" + std::to_string(twice) + ",X:1,Y:1,B:1,P:" + name +
                    ",-COMP\n";
        }
    }
    return text + "-KIVOX_LIB_V.1.0\n";
}

// 187 244 parts of one pin-less block without a pattern: about 27 bytes each.
std::string TinyLibraryText() {
    std::string text = "+KIVOX_LIB_V.1.0\n";
    for (int k = 0; k < 187244; ++k) {
        text += "+COMP,N:T" + std::to_string(k) + ",X:1,Y:1,B:1,-COMP\n";
    }
    return text + "-KIVOX_LIB_V.1.0\n";
}

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
    const std::string text = kind == "bitmaps" ? BitmapLibraryText() : TinyLibraryText();
    for (int lib = 0; lib < libraries; ++lib) {
        if (!WriteFile(folder / ("lib" + std::to_string(lib) + ".lib"), text)) return 1;
    }
    return WriteFile(folder / "KIVOX.INI", qurix::bench::StartupIniText(libraries)) ? 0 : 1;
}
