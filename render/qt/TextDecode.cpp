#include "render/qt/TextDecode.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace qurix {

namespace {

constexpr char16_t REPLACEMENT = 0xFFFD;

bool IsCp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
bool IsCp932Trail(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Closes the converter however the decoding ends.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (Valid()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

QString DecodeCp932(std::string_view bytes) {
    IconvHandle cd("UTF-8", "CP932");
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    if (!cd.Valid()) {
        // No converter: keep what ASCII there is.
        for (const char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            out.append(c < 0x80 ? QChar(c) : QChar(REPLACEMENT));
        }
        return out;
    }
    std::vector<char> buffer(bytes.size() * 4 + 16);  // at most 3 bytes out per byte in
    size_t pos = 0;
    while (pos < bytes.size()) {
        char* in = const_cast<char*>(bytes.data() + pos);
        size_t inLeft = bytes.size() - pos;
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t result = iconv(cd.Get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = result == static_cast<size_t>(-1) ? errno : 0;
        const size_t produced = buffer.size() - outLeft;
        out.append(QString::fromUtf8(buffer.data(), static_cast<qsizetype>(produced)));
        pos = bytes.size() - inLeft;
        if (error == 0) break;
        if (error == E2BIG) continue;
        // An undecodable byte, or a sequence cut by the end: one U+FFFD, and go on after
        // it. A lead byte with a proper trail byte is taken as one unknown character.
        const auto c = static_cast<unsigned char>(bytes[pos]);
        const bool pair = IsCp932Lead(c) && pos + 1 < bytes.size() &&
                          IsCp932Trail(static_cast<unsigned char>(bytes[pos + 1]));
        out.append(QChar(REPLACEMENT));
        pos += pair ? 2 : 1;
        iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int32_t extra = 0;
        uint32_t cp = 0;
        uint32_t min = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
            min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
            min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (n - i <= static_cast<size_t>(extra)) return false;
        for (int32_t k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

QString DecodeText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return DecodeCp932(bytes);
}

}  // namespace qurix
