#pragma once
// Library files written by the tests that load, break and mend them.
#include <string>
#include <vector>

namespace qurix::test {

// A library of parts of those names, each 2 x 1 with one block.
inline std::string LibraryText(const std::vector<std::string>& names) {
    std::string s = "+KIVOX_LIB_V.1.0\n";
    for (const std::string& n : names) s += "+COMP,N:" + n + "\nX:2,Y:1,B:1\nR:U\n-COMP\n";
    return s + "-KIVOX_LIB_V.1.0\n";
}

// Opens a part X and ends a pin that was never begun, on line 3, as a half-edited file.
inline const std::string BROKEN_LIBRARY = "+KIVOX_LIB_V.1.0\n+COMP,N:X\n-PIN\n";

}  // namespace qurix::test
