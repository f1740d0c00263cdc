#include "app/TextDisplay.h"

#include <iconv.h>

#include <QByteArray>
#include <QStringDecoder>
#include <cerrno>

namespace qurix {

namespace {

constexpr char16_t REPLACEMENT = u'\uFFFD';

// Shift-JIS (CP932) to UTF-16; a byte sequence that does not decode becomes U+FFFD.
QString FromCp932(const std::string& bytes) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-16LE", "SHIFT_JIS");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        QString latin = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
        return latin;
    }
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char16_t buffer[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof(buffer);
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int err = errno;
        out.append(QStringView(buffer, (sizeof(buffer) - outLeft) / sizeof(char16_t)));
        if (r != static_cast<size_t>(-1)) break;
        if (err == E2BIG) continue;
        // A byte that starts no character, or a character cut off at the end.
        out.append(QChar(REPLACEMENT));
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

QString DisplayText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) text = FromCp932(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace qurix
