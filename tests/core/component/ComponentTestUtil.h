#pragma once
// Definitions, library sets and readers held in memory for the placed-component tests.
#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/library/ComponentDef.h"
#include "core/library/LibrarySet.h"
#include "core/platform/TempFiles.h"
#include "core/profile/Profile.h"
#include "core/records/RecordReader.h"

namespace qurix::component_test {

// A CRecordReader over a copy of text.
class TextReader {
public:
    explicit TextReader(const std::string& text) : text_(text) {
        file_ = OpenBytesAsFile(text_);
        reader.Attach(file_);
    }
    ~TextReader() {
        if (file_) std::fclose(file_);
    }
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    CRecordReader reader;

private:
    std::string text_;
    FILE* file_ = nullptr;
};

// A definition from the tokens that follow "+COMP" (up to and including "-COMP").
inline std::unique_ptr<CComponentDef> MakeDef(const std::string& afterTag) {
    TextReader in(afterTag);
    auto def = std::make_unique<CComponentDef>();
    std::string name, pattern;
    EXPECT_TRUE(def->ReadComponent(in.reader, name, pattern)) << afterTag;
    return def;
}

// A library set loaded from library texts written into a temporary folder.
class TempLibrarySet {
public:
    explicit TempLibrarySet(const std::initializer_list<std::string>& libraries) {
        folder_ = MakeTemporaryFolder("qurix-comp-");
        if (folder_.empty()) {
            ADD_FAILURE() << "no temporary folder";
            return;
        }
        std::string ini = "[Library]\n";
        int i = 0;
        for (const std::string& text : libraries) {
            const std::string file = "lib" + std::to_string(i) + ".lib";
            std::ofstream(folder_ + "/" + file, std::ios::binary) << text;
            ini += "LIB" + std::to_string(i++) + "=" + file + "\n";
        }
        std::ofstream(folder_ + "/KIVOX.INI", std::ios::binary) << ini;
        set.LoadLibrarySet(CProfile(folder_ + "/KIVOX.INI"), folder_ + "/");
    }
    ~TempLibrarySet() {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }
    TempLibrarySet(const TempLibrarySet&) = delete;
    TempLibrarySet& operator=(const TempLibrarySet&) = delete;

    CLibrarySet set;

private:
    std::string folder_;
};

}  // namespace qurix::component_test
