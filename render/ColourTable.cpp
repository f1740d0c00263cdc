#include "render/ColourTable.h"

namespace qurix {

namespace {

struct ColourEntry {
    const char* key;
    Colour defaultValue;
};

constexpr std::array<ColourEntry, COLOUR_COUNT> COLOUR_ENTRIES = {{
    {"BG", 16777215},
    {"Junction", 32768},
    {"Wire", 32768},
    {"Bus", 12615680},
    {"Dash", 12582912},
    {"Tag", 192},
    {"TagName", 0},
    {"Comment", 0},
    {"Label", 0},
    {"Select", 255},
    {"Component", 192},
    {"ComponentPin", 192},
    {"PinName", 0},
    {"PinNum", 0},
    {"ComponentName", 0},
    {"ComponentNum", 0},
    {"ComponentFrame", 16744576},
    {"SheetFrame", 2105472},
    {"Grid", 4210943},
    {"InactiveLayer", 12632319},
    {"NcMark", 2105599},
}};

}  // namespace

CColourTable::CColourTable() {
    for (size_t i = 0; i < COLOUR_ENTRIES.size(); ++i) values_[i] = COLOUR_ENTRIES[i].defaultValue;
}

const char* CColourTable::KeyName(ColourKey key) {
    return COLOUR_ENTRIES[Index(key)].key;
}

Colour CColourTable::DefaultValue(ColourKey key) {
    return COLOUR_ENTRIES[Index(key)].defaultValue;
}

void ReadColours(const CProfile& profile, CColourTable& table) {
    for (int32_t i = 0; i < COLOUR_COUNT; ++i) {
        const auto key = static_cast<ColourKey>(i);
        const int32_t value = profile.GetInt("DefaultColor", CColourTable::KeyName(key),
                                             static_cast<int32_t>(CColourTable::DefaultValue(key)));
        table.Set(key, static_cast<Colour>(value) & COLOUR_RGB_MASK);
    }
}

}  // namespace qurix
