#include "palette/PixelRuns.h"

#include <algorithm>

namespace qurix {

namespace {

void PutPixel(std::string& out, uint32_t pixel) {
    const char bytes[4] = {static_cast<char>(pixel), static_cast<char>(pixel >> 8),
                           static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 24)};
    out.append(bytes, 4);
}

}  // namespace

void PackPixels(const uint32_t* px, size_t n, std::string& out) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < RUN_MAX_REPEAT && px[i + run] == px[i]) ++run;
        if (run >= 2) {
            out += static_cast<char>(RUN_REPEAT_BASE + (run - 2));
            PutPixel(out, px[i]);
            i += run;
            continue;
        }
        // Literal pixels up to the next pair of equal ones.
        size_t count = 1;
        while (i + count < n && count < RUN_MAX_LITERAL &&
               !(i + count + 1 < n && px[i + count] == px[i + count + 1])) {
            ++count;
        }
        out += static_cast<char>(count - 1);
        for (size_t k = 0; k < count; ++k) PutPixel(out, px[i + k]);
        i += count;
    }
}

bool UnpackPixels(const unsigned char* in, size_t size, uint32_t* px, size_t n) {
    size_t pos = 0;
    size_t filled = 0;
    while (pos < size) {
        const uint32_t control = in[pos++];
        if (control < RUN_REPEAT_BASE) {
            const size_t count = control + 1;
            if (count > n - filled || count * 4 > size - pos) return false;
            for (size_t k = 0; k < count; ++k, pos += 4) px[filled++] = GetLE32(in + pos);
        } else {
            const size_t count = control - (RUN_REPEAT_BASE - 2);
            if (count > n - filled || 4 > size - pos) return false;
            const uint32_t pixel = GetLE32(in + pos);
            pos += 4;
            std::fill(px + filled, px + filled + count, pixel);
            filled += count;
        }
    }
    return filled == n;
}

uintmax_t MaxPackedSize(int32_t side) {
    const uintmax_t pixels = static_cast<uintmax_t>(side) * static_cast<uintmax_t>(side);
    return pixels * 4 + (pixels + RUN_MAX_LITERAL - 1) / RUN_MAX_LITERAL;
}

}  // namespace qurix
