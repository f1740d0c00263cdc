#pragma once
// Two small libraries for the part search: one in UTF-8, one in CP932, named by a
// KIVOX.INI in a scratch folder.
#include <string>

#include "tests/ScratchFolder.h"

namespace qurix::test {

inline std::string SearchPart(const std::string& name, const std::string& note = "") {
    return "+COMP,N:" + name + ",X:2,Y:1,B:1,NOTE:" + note + ",-COMP\n";
}

// Writes both libraries and KIVOX.INI into dir; returns the INI's path.
inline std::string WriteSearchSamples(const ScratchFolder& dir) {
    const std::string utf8 =
        "+KIVOX_LIB_V.1.0\n" + SearchPart("NE555", "タイマー") +
        SearchPart("74HC00", "Quad%20NAND") + SearchPart("コンデンサ", "セラミック") +
        "+ALIAS,N:コンデンサ,A:CAP,-ALIAS\n" + SearchPart("\\R\\S\\T") + SearchPart("R_ARRAY-8") +
        SearchPart("NE555A") + SearchPart("XNE555") + SearchPart("LM358%20DUAL") +
        SearchPart("AC/DC") + "-KIVOX_LIB_V.1.0\n";
    // NE555 with "タイマ", half-width "ｺﾝﾃﾞﾝｻ", "テイコウ", and a name ending in a byte
    // that decodes to nothing.
    const std::string cp932 = "+KIVOX_LIB_V.1.0\n" + SearchPart("NE555", "\x83^\x83\x43\x83}") +
                              SearchPart("\xBA\xDD\xC3\xDE\xDD\xBB") +
                              SearchPart("\x83\x65\x83\x43\x83R\x83\x45") + SearchPart("AB\xFF") +
                              "-KIVOX_LIB_V.1.0\n";
    dir.Write("utf8.lib", utf8);
    dir.Write("cp932.lib", cp932);
    return dir.Write("KIVOX.INI", "[Library]\nLIB0=utf8.lib\nLIB1=cp932.lib\n");
}

}  // namespace qurix::test
