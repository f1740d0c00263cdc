#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/profile/Profile.h"

namespace qurix {

// A logical-font description with the fields of the editor's platform, in its order.
struct LogFont {
    static constexpr size_t FACE_SIZE = 32;  // bytes, the last one always NUL
    static constexpr uint8_t OUT_TT_ONLY_PRECIS = 7;
    static constexpr uint8_t DEFAULT_CHARSET = 1;
    static constexpr int32_t WEIGHT_NORMAL = 400;
    static constexpr int32_t WEIGHT_BOLD = 700;
    // Escapement and orientation of text that runs upward, in tenths of a degree.
    static constexpr int32_t VERTICAL_ESCAPEMENT = 900;

    // Negative: character (em) height; positive: cell height; 0: the default size.
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::array<char, FACE_SIZE> faceName{};

    // Keeps at most 31 bytes, stopping at a NUL; the rest is cleared.
    void SetFaceName(std::string_view face) {
        faceName.fill('\0');
        for (size_t i = 0; i < face.size() && i + 1 < FACE_SIZE && face[i] != '\0'; ++i) {
            faceName[i] = face[i];
        }
    }
    std::string FaceName() const {
        size_t n = 0;
        while (n < FACE_SIZE && faceName[n] != '\0') ++n;
        return std::string(faceName.data(), n);
    }

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// A font section ("LabelFont", "CompNameFont"): "Height", "IsBold" (the weight itself),
// "IsItalic" (low byte) and "FaceName" (31 bytes at most); every other field is 0.
LogFont ReadFontSetting(const CProfile& profile, const std::string& section,
                        const std::string& defaultFace, int32_t defaultHeight);

}  // namespace qurix
