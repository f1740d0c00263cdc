#pragma once
// Library text of typical generated parts, shared by the benchmarks.
#include <array>
#include <string>

namespace qurix::bench {

// Pins of one side: names with an overbar now and then, numbers counting up.
inline std::string Pins(char side, int count, int& number, const char* flags) {
    std::string s;
    for (int i = 0; i < count; ++i) {
        s += "+PIN,N:" + std::string(i % 5 == 4 ? "\\" : "") + "P" + std::to_string(number) +
             ",L:" + side + std::to_string(i + 1) + ",T:" + (i == 0 ? flags : "") +
             ",M:" + std::to_string(number) + ",-PIN\n";
        ++number;
    }
    return s;
}

// The kinds of part a library holds: two-pin passives with a small pattern, gates with
// an arc, op-amps with a polygon and texts, and ICs of 8 to 40 pins drawn as a frame.
inline std::string PartText(const std::string& name, int k) {
    struct PinRun {
        char side;
        int count;
        const char* flags;
    };
    struct Kind {
        const char* size;
        const char* elements;
        const char* head;
        std::array<PinRun, 4> pins;
    };
    static const Kind kinds[] = {
        {",X:40,Y:20\n",
         "+L,X:0,Y:10,X:8,Y:10,-L\n+L,X:32,Y:10,X:40,Y:10,-L\n"
         "+PG,N:4,X:8,Y:6,X:32,Y:6,X:32,Y:14,X:8,Y:14,-PG\n",
         "\nX:4,Y:2,B:1\nR:R\nP:",
         {{{'L', 1, "m"}, {'R', 1, "m"}}}},
        {",X:40,Y:40\n",
         "+L,X:0,Y:0,X:20,Y:0,-L\n+L,X:0,Y:0,X:0,Y:40,-L\n+L,X:0,Y:40,X:20,Y:40,-L\n"
         "+AR,X:20,Y:20,R:20,B:4320,E:1440,-AR\n",
         "\nX:4,Y:4,B:4\nR:U\nP:",
         {{{'L', 2, ""}, {'R', 1, "N"}}}},
        {",X:40,Y:40\n",
         "+PG,N:3,X:0,Y:0,X:40,Y:20,X:0,Y:40,-PG\n"
         "+TX,X:4,Y:14,A:8,S:-,-TX\n+TX,X:4,Y:28,A:8,S:+,-TX\n",
         "\nX:4,Y:4,B:2\nR:U\nP:",
         {{{'L', 2, ""}, {'R', 1, ""}, {'T', 1, ""}, {'B', 1, ""}}}},
    };
    int number = 1;
    if (k % 4 == 3) {
        const int perSide = 4 + (k / 4) % 17;
        // One statement per side: the order of a single expression's calls is unspecified.
        std::string text =
            "+COMP,N:" + name + "\nX:8,Y:" + std::to_string(perSide + 1) + ",B:1\nR:U\n";
        text += Pins('L', perSide, number, "C");
        text += Pins('R', perSide, number, "N");
        return text + "-COMP\n";
    }
    const Kind& kind = kinds[k % 4];
    std::string text = "+PTN,N:" + name + kind.size + kind.elements + "-PTN\n+COMP,N:" + name +
                       kind.head + name + "\n";
    for (const PinRun& run : kind.pins) {
        if (run.count > 0) text += Pins(run.side, run.count, number, run.flags);
    }
    return text + "-COMP\n";
}

// A library of typical parts named "L<lib>P<k>", as the start-up measurements use.
inline std::string StartupLibraryText(int lib, int parts) {
    std::string text = "+KIVOX_LIB_V.1.0\n";
    for (int k = 0; k < parts; ++k) {
        // Appended, not "L" + string: g++ 12 -O3 warns falsely on the latter.
        std::string name = "L";
        name.append(std::to_string(lib)).append("P").append(std::to_string(k));
        text += PartText(name, k);
    }
    return text + "-KIVOX_LIB_V.1.0\n";
}

// The KIVOX.INI beside libraries lib0.lib … lib<libraries - 1>.lib: an 800 x 600 window
// on the first library in large icons.
inline std::string StartupIniText(int libraries) {
    std::string ini = "[Library]\n";
    for (int lib = 0; lib < libraries; ++lib) {
        ini += "LIB" + std::to_string(lib) + "=lib" + std::to_string(lib) + ".lib\n";
    }
    return ini + "[qurix]\nwin_width=800\nwin_height=600\nplib_last=0\nparts_style=0\n";
}

// 79 patterns of 267 000 x 501 pixels (a 16 MiB bitmap at the declared width's stride),
// every row written out 500 characters long, and two parts naming each pattern.
inline std::string WideBitmapLibraryText() {
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

// 187 244 parts of one pin-less block without a pattern, named in four letters and
// digits: 31 bytes each.
inline std::string TinyPartsLibraryText() {
    std::string text = "+KIVOX_LIB_V.1.0\n";
    for (int k = 0; k < 187244; ++k) {
        char name[5] = {};
        for (int i = 3, n = k; i >= 0; --i, n /= 36)
            name[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
        text += std::string("+COMP,N:") + name + ",X:1,Y:1,B:1,-COMP\n";
    }
    return text + "-KIVOX_LIB_V.1.0\n";
}

inline constexpr std::array<const char*, 8> SEARCH_NAME_PREFIXES = {
    "R", "C", "74HC", "NE", "LM", "抵抗_", "コネクタ-", "TL0"};
inline constexpr std::array<const char*, 4> SEARCH_NOTES = {
    "汎用オペアンプ。%0D%0A1=出力、2=−入力、3=＋入力。",
    "Quad%202-input%20NAND%20gate%2C%2014%20pins.",
    "チップ抵抗%201/8W%20（誤差1%25）",
    "General%20purpose%20connector%2C%20straight.",
};

// A library of parts named as people name them (Latin, Japanese, digits), each with a
// note in Japanese or English, one in ten with an alias.
inline std::string SearchLibraryText(int lib, int parts) {
    std::string text = "+KIVOX_LIB_V.1.0\nPROP:bench\n";
    for (int i = 0; i < parts; ++i) {
        const std::string name = SEARCH_NAME_PREFIXES[static_cast<size_t>((i + lib) % 8)] +
                                 std::to_string(lib * parts + i);
        std::string part = PartText(name, i);
        // The note goes in as the last key of the record.
        part.insert(part.size() - 6,
                    std::string("NOTE:") + SEARCH_NOTES[i % SEARCH_NOTES.size()] + "\n");
        text += part;
        if (i % 10 == 0) text += "+ALIAS,N:" + name + ",A:ALT" + name + ",-ALIAS\n";
    }
    return text + "-KIVOX_LIB_V.1.0\n";
}

}  // namespace qurix::bench
