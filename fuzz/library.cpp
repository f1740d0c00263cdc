// Loads arbitrary bytes as a library file and, when they load, writes the library back.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/library/PartLibrary.h"
#include "core/records/RecordWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!f) return 0;
    qurix::CPartLibrary library;
    if (library.LoadStream(f, "fuzz.lib")) {
        std::string out;
        qurix::CRecordWriter writer(&out);
        library.WriteLibrary(writer);
    }
    std::fclose(f);
    return 0;
}
