#include "palette/PinTable.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "core/library/LibEntry.h"
#include "core/library/PinDef.h"
#include "palette/Texts.h"

namespace qurix {

namespace {

// A pin name's byte with bit 7 set is its low seven bits drawn overlined.
void PinNameText(const CPinDef& pin, std::string& name, std::string& overline) {
    for (const char ch : pin.NameBytes()) {
        const auto c = static_cast<unsigned char>(ch);
        name += static_cast<char>(c & 0x7F);
        overline += c < 0x80 ? ' ' : '-';
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// <0, 0, >0 as a reader orders labels: runs of digits by their value.
int CompareNatural(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            while (i < a.size() && a[i] == '0') ++i;
            while (j < b.size() && b[j] == '0') ++j;
            size_t endA = i;
            size_t endB = j;
            while (endA < a.size() && IsDigit(a[endA])) ++endA;
            while (endB < b.size() && IsDigit(b[endB])) ++endB;
            // More significant digits is the larger number; equal lengths compare as text.
            if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
            const int digits = a.substr(i, endA - i).compare(b.substr(j, endB - j));
            if (digits != 0) return digits;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    return (a.size() - i > 0 ? 1 : 0) - (b.size() - j > 0 ? 1 : 0);
}

}  // namespace

std::vector<PinRow> PinRows(const CLibEntry& entry, int32_t block) {
    std::vector<PinRow> rows;
    const CComponentDef* def = entry.ComponentDef();
    if (def == nullptr) return rows;
    rows.reserve(static_cast<size_t>(def->PinCount()));
    for (int32_t i = 0; i < def->PinCount(); ++i) {
        const CPinDef* pin = def->Pin(i);
        const char* number = pin->Number(block);
        PinRow row{i, number != nullptr ? number : "", {}, {}, pin->Side()};
        PinNameText(*pin, row.name, row.overline);
        rows.push_back(std::move(row));
    }
    return rows;
}

void SortPinRows(std::vector<PinRow>& rows, PinColumn column, bool ascending) {
    const auto compare = [column](const PinRow& a, const PinRow& b) {
        switch (column) {
            case PinColumn::Number:
                return CompareNatural(a.number, b.number);
            case PinColumn::Name:
                return CompareNatural(a.name, b.name);
            case PinColumn::Side:
                return a.side - b.side;
        }
        return 0;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const PinRow& a, const PinRow& b) {
        const int order = compare(a, b);
        if (order != 0) return ascending ? order < 0 : order > 0;
        return a.pin < b.pin;
    });
}

const char* PinSideText(int32_t side) {
    static constexpr std::array<const char*, 4> SIDES = {
        texts::PIN_SIDE_LEFT, texts::PIN_SIDE_TOP, texts::PIN_SIDE_RIGHT, texts::PIN_SIDE_BOTTOM};
    return side >= 0 && side < static_cast<int32_t>(SIDES.size()) ? SIDES[static_cast<size_t>(side)]
                                                                  : "";
}

}  // namespace qurix
