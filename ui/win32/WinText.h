#pragma once
#include "ui/win32/WinApi.h"

#include <string>
#include <string_view>

namespace qurix::win32 {

// The palette's texts are UTF-8; the window system takes UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// Bytes of a code page (the ANSI code page for paths: CP_ACP) as UTF-16.
std::wstring FromCodePage(std::string_view bytes, unsigned codePage);
// A path's bytes (the ANSI code page) as UTF-8, for the palette's messages.
std::string PathText(std::string_view bytes);
// UTF-16 as bytes of a code page; false (and nothing) when a character has no bytes there:
// a path the ANSI functions could not open must not become another path.
bool ToCodePage(std::wstring_view wide, unsigned codePage, std::string& bytes);
// Library or INI bytes as a person reads them (decoded, plain line breaks).
std::wstring DisplayText(std::string_view bytes);
// As DisplayText, with CR LF line breaks for an edit control.
std::wstring EditText(std::string_view utf8);
// "%1" (and "%2") of a text of the table replaced.
std::wstring Format(const char* text, const std::string& arg);

}  // namespace qurix::win32
