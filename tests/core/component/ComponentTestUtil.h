#pragma once
// Definitions, library sets and readers held in memory for the placed-component tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/library/ComponentDef.h"
#include "core/library/LibrarySet.h"
#include "core/profile/Profile.h"
#include "tests/ScratchFolder.h"
#include "tests/core/TextReader.h"

namespace qurix::component_test {

using test::TextReader;

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
        if (folder_.Path().empty()) {
            ADD_FAILURE() << "no temporary folder";
            return;
        }
        std::string ini = "[Library]\n";
        int i = 0;
        for (const std::string& text : libraries) {
            const std::string file = "lib" + std::to_string(i) + ".lib";
            folder_.Write(file, text);
            ini += "LIB" + std::to_string(i++) + "=" + file + "\n";
        }
        set.LoadLibrarySet(CProfile(folder_.Write("KIVOX.INI", ini)), folder_.Path() + "/");
    }
    TempLibrarySet(const TempLibrarySet&) = delete;
    TempLibrarySet& operator=(const TempLibrarySet&) = delete;

    CLibrarySet set;

private:
    test::ScratchFolder folder_;  // made before the set loads from it
};

}  // namespace qurix::component_test
