#include "render/LogFont.h"

namespace qurix {

LogFont ReadFontSetting(const CProfile& profile, const std::string& section,
                        const std::string& defaultFace, int32_t defaultHeight) {
    LogFont font;
    font.height = profile.GetInt(section, "Height", defaultHeight);
    font.weight = profile.GetInt(section, "IsBold", LogFont::WEIGHT_NORMAL);
    font.italic = static_cast<uint8_t>(profile.GetInt(section, "IsItalic", 0) & 0xFF);
    font.SetFaceName(profile.GetString(section, "FaceName", defaultFace));
    return font;
}

}  // namespace qurix
