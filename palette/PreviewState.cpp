#include "palette/PreviewState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numeric>

#include "core/library/LibEntry.h"

namespace qurix {

namespace {

constexpr const char* SECTION = "qurix";

}  // namespace

namespace {

Scale LowestTerms(Scale s) {
    const int32_t d = std::gcd(s.num, s.den);
    return d > 0 ? Scale{s.num / d, s.den / d} : s;
}

}  // namespace

Scale DevicePreviewZoom(Scale zoom, Scale ratio) {
    return LowestTerms(Scale{zoom.num * ratio.num, zoom.den * ratio.den});
}

Scale PreviewDeviceRatio(double screenRatio) {
    const double quarters = screenRatio * 4.0;
    if (!(quarters > 4.0 && quarters <= 4.0 * MAX_DEVICE_RATIO)) return Scale{};
    const auto whole = static_cast<int32_t>(std::lround(quarters));
    if (std::abs(quarters - whole) > 1e-6) return Scale{};
    return LowestTerms(Scale{whole, 4});
}

bool IsPreviewZoomStep(Scale zoom) {
    return std::find(std::begin(PREVIEW_ZOOMS), std::end(PREVIEW_ZOOMS), zoom) !=
           std::end(PREVIEW_ZOOMS);
}

bool ParsePreviewZoom(const std::string& text, Scale& zoom) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size() || colon > 2 ||
        text.size() - colon - 1 > 2) {
        return false;
    }
    Scale parsed{0, 0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == colon) continue;
        if (text[i] < '0' || text[i] > '9') return false;
        int32_t& part = i < colon ? parsed.num : parsed.den;
        part = part * 10 + (text[i] - '0');
    }
    if (!IsPreviewZoomStep(parsed)) return false;
    zoom = parsed;
    return true;
}

std::string FormatPreviewZoom(Scale zoom) {
    return std::to_string(zoom.num) + ":" + std::to_string(zoom.den);
}

Point ZoomedScrollOffset(Point offset, Point pointer, Scale from, Scale to) {
    if (from.num <= 0 || from.den <= 0 || to.num <= 0 || to.den <= 0) return offset;
    // The point under the pointer, in extent pixels, at the old scale and at the new.
    const int64_t oldX = int64_t{offset.x} + pointer.x;
    const int64_t oldY = int64_t{offset.y} + pointer.y;
    const int64_t num = int64_t{to.num} * from.den;
    const int64_t den = int64_t{to.den} * from.num;
    const auto rounded = [](int64_t a, int64_t b) { return (2 * a + b) / (2 * b); };
    const int64_t newX = rounded(oldX * num, den);
    const int64_t newY = rounded(oldY * num, den);
    const auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, 0, INT32_MAX));
    };
    return Point{clamp(newX - pointer.x), clamp(newY - pointer.y)};
}

void CPreviewState::Read(const CProfile& profile) {
    Scale zoom;
    if (ParsePreviewZoom(profile.GetString(SECTION, "preview_zoom", "1:1"), zoom)) {
        view.zoom = zoom;
    }
    fit = profile.GetInt(SECTION, "preview_fit", 0) == 1;
}

void CPreviewState::Save(const CProfile& profile) const {
    if (view.zoom != Scale{} || !profile.GetString(SECTION, "preview_zoom").empty()) {
        profile.WriteString(SECTION, "preview_zoom", FormatPreviewZoom(view.zoom));
    }
    if (fit || !profile.GetString(SECTION, "preview_fit").empty()) {
        profile.WriteInt(SECTION, "preview_fit", fit ? 1 : 0);
    }
}

int32_t CPreviewState::TakeEntry(const CLibEntry* entry) {
    const int32_t count = entry != nullptr ? std::clamp(entry->BlockCount(), 1, MAX_BLOCKS) : 1;
    if (entry != blockEntry_ || view.block >= count) view.block = 0;
    blockEntry_ = entry;
    return count;
}

std::string CPreviewState::BlockLabel(int32_t block) {
    std::string label;
    if (block >= 26) label += static_cast<char>('A' + block / 26 - 1);
    label += static_cast<char>('A' + block % 26);
    return label;
}

}  // namespace qurix
