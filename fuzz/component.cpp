// Reads every "+COMPONENT" record of arbitrary bytes with the sample libraries loaded,
// writes each record that reads, and checks that the written record reads back to the
// same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/component/PlacedComponent.h"
#include "core/library/LibrarySet.h"
#include "core/profile/Profile.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace {

struct SampleLibraries {
    qurix::CLibrarySet set;
    SampleLibraries() {
        const std::string folder = QURIX_SOURCE_DIR "/examples/";
        set.LoadLibrarySet(qurix::CProfile(folder + "KIVOX.INI"), folder);
    }
};

// The record written for the component the reader stands at (just after "+COMPONENT").
bool ReadAndWrite(qurix::CRecordReader& reader, std::string& written) {
    static const SampleLibraries samples;
    qurix::CPlacedComponent component;
    component.SetLibrarySet(&samples.set);
    if (!component.Read(reader)) return false;
    qurix::CRecordWriter writer(&written);
    return component.Write(writer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!f) return 0;
    qurix::CRecordReader reader(f);
    std::string token;
    while (reader.ReadToken(token) != -1) {
        std::string first;
        if (token != "+COMPONENT" || !ReadAndWrite(reader, first)) continue;
        FILE* again = fmemopen(first.data(), first.size(), "r");
        if (!again) continue;
        qurix::CRecordReader back(again);
        std::string second;
        const bool same = back.ReadToken(token) != -1 && token == "+COMPONENT" &&
                          ReadAndWrite(back, second) && second == first;
        std::fclose(again);
        if (!same) std::abort();
    }
    std::fclose(f);
    return 0;
}
