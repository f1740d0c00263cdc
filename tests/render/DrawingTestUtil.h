#pragma once
// Patterns and component definitions made from library text, for the drawing tests.
#include <memory>
#include <string>

#include "core/library/ComponentDef.h"
#include "core/library/LibEntry.h"
#include "core/library/Pattern.h"
#include "tests/core/TextReader.h"

namespace qurix::drawtest {

// The body of a "+PTN" record (what follows the "+PTN" token, up to and with "-PTN").
inline std::unique_ptr<CPattern> PatternFrom(const std::string& body) {
    auto pattern = std::make_unique<CPattern>();
    test::TextReader in(body);
    if (!pattern->ReadPattern(in.reader)) return nullptr;
    return pattern;
}

// The body of a "+COMP" record, and optionally a pattern body for it.
inline std::unique_ptr<CComponentDef> DefinitionFrom(const std::string& body,
                                                     const std::string& patternBody = "") {
    auto def = std::make_unique<CComponentDef>();
    std::string name, patternName;
    test::TextReader in(body);
    if (!def->ReadComponent(in.reader, name, patternName)) return nullptr;
    if (!patternBody.empty()) {
        auto pattern = PatternFrom(patternBody);
        if (!pattern) return nullptr;
        def->SetPattern(std::move(pattern));
    }
    return def;
}

// A library entry with its definition, kept together.
struct OwnedEntry {
    std::unique_ptr<CComponentDef> def;
    CLibEntry entry;
};
inline std::unique_ptr<OwnedEntry> EntryFrom(const std::string& name, const std::string& body,
                                             const std::string& patternBody = "") {
    auto owned = std::make_unique<OwnedEntry>();
    owned->def = DefinitionFrom(body, patternBody);
    if (!owned->def) return nullptr;
    owned->entry = CLibEntry(name, owned->def.get());
    return owned;
}

}  // namespace qurix::drawtest
