#pragma once
#include <array>
#include <cstdint>

#include "core/profile/Profile.h"
#include "render/Colour.h"

namespace qurix {

// The colours of section "DefaultColor", in the order they are read.
enum class ColourKey : int32_t {
    BG,
    Junction,
    Wire,
    Bus,
    Dash,
    Tag,
    TagName,
    Comment,
    Label,
    Select,
    Component,
    ComponentPin,
    PinName,
    PinNum,
    ComponentName,
    ComponentNum,
    ComponentFrame,
    SheetFrame,
    Grid,
    InactiveLayer,
    NcMark,
};

inline constexpr int32_t COLOUR_COUNT = 21;

// The marker of a zero-length pin in the normal mode; fixed, not read from the file.
inline constexpr Colour ZeroLengthPinColor = 12632319;

// The editor's 21 named colours. A new table holds the defaults.
class CColourTable {
public:
    CColourTable();

    Colour Get(ColourKey key) const { return values_[Index(key)]; }
    void Set(ColourKey key, Colour value) { values_[Index(key)] = value; }

    // The key in section "DefaultColor" ("BG", "Junction", ...).
    static const char* KeyName(ColourKey key);
    static Colour DefaultValue(ColourKey key);

    friend bool operator==(const CColourTable&, const CColourTable&) = default;

private:
    static size_t Index(ColourKey key) {
        const auto i = static_cast<size_t>(key);
        return i < COLOUR_COUNT ? i : 0;
    }

    std::array<Colour, COLOUR_COUNT> values_{};
};

// Reads all 21 colours of section "DefaultColor" in table order, each with its default.
// A value keeps only its red, green and blue bytes, so every drawing and every
// comparison with a drawn pixel sees the same colour.
void ReadColours(const CProfile& profile, CColourTable& table);

}  // namespace qurix
