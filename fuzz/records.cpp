// Feeds arbitrary bytes to the token reader and writes every token back.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!f) return 0;
    qurix::CRecordReader reader(f);
    std::string out;
    qurix::CRecordWriter writer(&out);
    std::string token;
    while (reader.ReadToken(token) != -1) writer.WriteToken(token);
    std::fclose(f);
    return 0;
}
