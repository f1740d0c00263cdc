#include "ui/win32/WinApi.h"

#include "ui/win32/WinText.h"

#include <climits>

#include "palette/PartSummary.h"
#include "palette/Texts.h"

namespace qurix::win32 {

std::wstring FromCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), n);
    return wide;
}

std::string PathText(std::string_view bytes) {
    return Narrow(FromCodePage(bytes, CP_ACP));
}

bool ToCodePage(std::wstring_view wide, unsigned codePage, std::string& bytes) {
    bytes.clear();
    if (wide.size() > INT_MAX) return false;
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    BOOL lost = FALSE;
    // UTF-8 takes neither flags nor a default-character flag (and loses nothing).
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr,
                                      utf8 ? nullptr : &lost);
    if (n <= 0 || lost) return false;
    bytes.resize(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), n, nullptr, nullptr);
    return true;
}

std::wstring Widen(std::string_view utf8) {
    return FromCodePage(utf8, CP_UTF8);
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::wstring DisplayText(std::string_view bytes) {
    return Widen(ReadableText(bytes));
}

std::wstring EditText(std::string_view utf8) {
    std::wstring out;
    for (const wchar_t c : Widen(utf8)) {
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

std::wstring Format(const char* text, const std::string& arg) {
    return Widen(FormatText(text, arg));
}

}  // namespace qurix::win32
