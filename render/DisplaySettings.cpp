#include "render/DisplaySettings.h"

namespace qurix {

namespace {
constexpr const char* DEFAULT_FACE = "Tahoma";
constexpr int32_t DEFAULT_HEIGHT = 9;
}  // namespace

bool LoadDisplaySettings(CDisplaySettings& settings, const CProfile& profile,
                         const std::string& configFolder,
                         const CLibrarySet::LoadListener* listener) {
    FreeDisplaySettings(settings);
    ReadDrawingSettings(settings, profile);
    settings.libraries.LoadLibrarySet(profile, configFolder, listener);
    settings.labelRenderer = std::make_unique<CTextRenderer>(settings.labelFont);
    settings.compNameRenderer = std::make_unique<CTextRenderer>(settings.compNameFont);
    return true;
}

void ReadDrawingSettings(CDisplaySettings& settings, const CProfile& profile) {
    ReadColours(profile, settings.colours);
    settings.labelFont = ReadFontSetting(profile, "LabelFont", DEFAULT_FACE, DEFAULT_HEIGHT);
    settings.compNameFont = ReadFontSetting(profile, "CompNameFont", DEFAULT_FACE, DEFAULT_HEIGHT);
}

void FreeDisplaySettings(CDisplaySettings& settings) {
    settings.libraries.FreeLibrarySet();
    settings.labelRenderer.reset();
    settings.compNameRenderer.reset();
}

void CopyDrawingSettings(const CDisplaySettings& from, CDisplaySettings& to) {
    FreeDisplaySettings(to);
    to.colours = from.colours;
    to.labelFont = from.labelFont;
    to.compNameFont = from.compNameFont;
    if (from.labelRenderer) {
        to.labelRenderer = std::make_unique<CTextRenderer>(from.labelRenderer->Font());
    }
    if (from.compNameRenderer) {
        to.compNameRenderer = std::make_unique<CTextRenderer>(from.compNameRenderer->Font());
    }
}

}  // namespace qurix
