#pragma once
#include <cstdio>
#include <string>

// Opening, reading and writing files by the byte paths of KIVOX.INI and the command line.
namespace qurix {

// The line end a new text file gets on this platform.
#ifdef _WIN32
inline constexpr const char* NATIVE_LINE_END = "\r\n";
#else
inline constexpr const char* NATIVE_LINE_END = "\n";
#endif

// fopen by a path in the system's byte encoding: on Windows the ANSI code page, as the
// editor's own file functions take it (CP932 on Japanese systems), whatever the C
// library is set to. Null, with errno set, when it cannot be opened; a path holding a NUL
// byte never opens (it would name another file).
std::FILE* OpenFile(const std::string& path, const char* mode);

// Whether nothing exists at the path (false also when that cannot be told).
bool IsMissingFile(const std::string& path);

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace qurix
