#include "render/gdi/GdiFont.h"

#include <algorithm>

#include "core/text/TextDecode.h"
#include "render/FontSizes.h"
// Last: its macros (DEFAULT_CHARSET, ...) would rename our own constants.
#include <windows.h>

namespace qurix {

namespace {

int32_t ClampHeight(int64_t height) {
    const int64_t limit = MAX_FONT_PIXEL_SIZE;
    if (height == 0) return -DEFAULT_FONT_PIXEL_SIZE;
    return static_cast<int32_t>(std::clamp<int64_t>(height, -limit, limit));
}

std::string ToUtf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

// The face decoded as the palette decodes INI bytes, heights as the platform reads them
// (0: DEFAULT_FONT_PIXEL_SIZE).
LOGFONTW MakeLogFontW(const LogFont& description) {
    LOGFONTW lf{};
    lf.lfHeight = ClampHeight(description.height);
    lf.lfWidth = std::clamp<int32_t>(description.width, 0, MAX_FONT_PIXEL_SIZE);
    lf.lfEscapement = description.escapement % 3600;
    lf.lfOrientation = description.escapement % 3600;
    lf.lfWeight = std::clamp<int32_t>(description.weight, 0, 1000);
    lf.lfItalic = description.italic != 0;
    lf.lfUnderline = description.underline != 0;
    lf.lfStrikeOut = description.strikeOut != 0;
    // As the editor asks (the INI's fonts say ANSI): the face is found by its name, and
    // Japanese text comes from the face's linked fonts. Asking for the default character
    // set instead makes Wine under a Japanese locale trade the face for a Japanese one.
    lf.lfCharSet = description.charSet;
    lf.lfOutPrecision = description.outPrecision;
    lf.lfClipPrecision = description.clipPrecision;
    // Aliased like the Qt backend: the key colour of image lists must stay exact around
    // the glyphs, and shrinking to thumbnails averages edges anyway.
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = description.pitchAndFamily;
    const std::u16string face = DecodeToUtf16(description.FaceName());
    const size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.begin(), n, lf.lfFaceName);
    lf.lfFaceName[n] = L'\0';
    return lf;
}

// The face a font resolves to on dc, in UTF-8.
std::string FaceOf(HDC dc, HFONT font) {
    const HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    std::string resolved;
    if (GetTextFaceW(dc, LF_FACESIZE, face) > 0) resolved = ToUtf8(face);
    SelectObject(dc, old);
    return resolved;
}

}  // namespace

CGdiFont::CGdiFont(const LogFont& description) : CSurfaceFont(description) {
    LOGFONTW lf = MakeLogFontW(description);
    font_ = CreateFontIndirectW(&lf);
    // No face: the mapper takes one that has the Japanese character set.
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfFaceName[0] = L'\0';
    fallback_ = CreateFontIndirectW(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return;
    HGDIOBJ old = SelectObject(
        dc, font_ != nullptr ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc, &metrics)) {
        ascent_ = metrics.tmAscent;
        cellHeight_ = metrics.tmHeight;
    }
    SelectObject(dc, old);
    if (font_ != nullptr) resolvedFace_ = FaceOf(dc, font_);
    if (fallback_ != nullptr) fallbackFace_ = FaceOf(dc, fallback_);
    DeleteDC(dc);
}

CGdiFont::~CGdiFont() {
    if (font_ != nullptr) DeleteObject(font_);
    if (fallback_ != nullptr) DeleteObject(fallback_);
}

std::string CGdiFont::DrawnWith() const {
    return resolvedFace_ + "|" + fallbackFace_ + "|" + std::to_string(cellHeight_) + "|gdi|" +
           std::to_string(TEXT_BACKEND_VERSION);
}

}  // namespace qurix
