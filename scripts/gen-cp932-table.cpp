// Writes core/text/Cp932Table.inc from the C library's CP932 converter, so that every
// build (Windows has no iconv) decodes as the Linux palette always did:
//   g++ -O2 -o /tmp/cp932-table scripts/gen-cp932-table.cpp && /tmp/cp932-table > core/text/Cp932Table.inc
// Not part of the build.
#include <iconv.h>

#include <cstdio>
#include <cstring>

namespace {

// The one UTF-16 unit the bytes decode to, or 0 (CP932 has no pair that means U+0000).
unsigned Decode(const unsigned char* bytes, size_t length) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    size_t inLeft = length;
    char out[16];
    char* outPtr = out;
    size_t outLeft = sizeof out;
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 2) return 0;
    return static_cast<unsigned char>(out[0]) |
           static_cast<unsigned>(static_cast<unsigned char>(out[1])) << 8;
}

bool IsLead(unsigned c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

int main() {
    std::printf("// Made by scripts/gen-cp932-table.cpp; do not edit.\n");
    std::printf("// Bytes 0x80 to 0xFF alone (0: does not decode).\n");
    std::printf("constexpr char16_t CP932_SINGLE[128] = {");
    for (unsigned c = 0x80; c <= 0xFF; ++c) {
        const unsigned char b = static_cast<unsigned char>(c);
        std::printf("%s0x%04X", c == 0x80 ? "" : ",", Decode(&b, 1));
    }
    std::printf("};\n");
    std::printf(
        "// A lead byte (0x81-0x9F, 0xE0-0xFC) by trail byte 0x40-0xFC (0: does not decode).\n");
    std::printf("constexpr char16_t CP932_PAIR[60][189] = {\n");
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLead(lead)) continue;
        std::printf("{");
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const unsigned char b[2] = {static_cast<unsigned char>(lead),
                                        static_cast<unsigned char>(trail)};
            std::printf("%s0x%04X", trail == 0x40 ? "" : ",", Decode(b, 2));
        }
        std::printf("},\n");
    }
    std::printf("};\n");
    return 0;
}
