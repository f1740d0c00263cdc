#pragma once
#include <memory>
#include <string>

#include "core/library/LibrarySet.h"
#include "core/profile/Profile.h"
#include "render/ColourTable.h"
#include "render/LogFont.h"
#include "render/TextRenderer.h"

namespace qurix {

// What every drawing reads, loaded from the editor's configuration file in one step and
// released in another. Owned by the application (the document) and passed by reference.
class CDisplaySettings {
public:
    CDisplaySettings() = default;
    CDisplaySettings(const CDisplaySettings&) = delete;
    CDisplaySettings& operator=(const CDisplaySettings&) = delete;

    // The defaults until the first load; kept as they are by a release.
    CColourTable colours;
    // Sections "LabelFont" and "CompNameFont" as last loaded.
    LogFont labelFont;
    LogFont compNameFont;
    CLibrarySet libraries;
    // Pin names and numbers, and text elements without a font of their own.
    std::unique_ptr<CTextRenderer> labelRenderer;
    // Component name and reference.
    std::unique_ptr<CTextRenderer> compNameRenderer;

    // Between a load and the next release.
    bool IsLoaded() const { return labelRenderer != nullptr && compNameRenderer != nullptr; }
};

// Reads the 21 colours, loads the library set ("LIB0".."LIB15" of section "Library",
// relative paths against configFolder) and makes the label and component-name text
// renderers from their font sections ("Tahoma", height 9 by default). Anything loaded
// before is released first. Always true: missing keys give defaults and libraries that
// fail to load are left out (and told to listener, when given).
bool LoadDisplaySettings(CDisplaySettings& settings, const CProfile& profile,
                         const std::string& configFolder,
                         const CLibrarySet::LoadListener* listener = nullptr);

// The colours and the two font descriptions alone: what a drawing digest needs before the
// libraries are loaded. The libraries and renderers stay as they are.
void ReadDrawingSettings(CDisplaySettings& settings, const CProfile& profile);

// Releases the libraries and both text renderers with their fonts; the colours stay.
void FreeDisplaySettings(CDisplaySettings& settings);

// What another drawing thread needs: the colours and fonts of from, with text renderers
// of its own (a renderer keeps the fonts it made, so one renderer cannot serve two
// threads) where from has them. The libraries are not copied: drawing does not read them.
void CopyDrawingSettings(const CDisplaySettings& from, CDisplaySettings& to);

}  // namespace qurix
