#include "render/qt/TextDecode.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace qurix {

namespace {

constexpr char16_t REPLACEMENT = 0xFFFD;

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
        const bool pair = StartsCp932Pair(bytes, pos);
        out.append(QChar(REPLACEMENT));
        pos += pair ? 2 : 1;
        iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

QString DecodeText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return DecodeCp932(bytes);
}

}  // namespace qurix
