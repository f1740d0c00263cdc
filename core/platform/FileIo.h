#pragma once
#include <cstdint>
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
// byte never opens (it would name another file). For reading, only a regular file opens
// (a symbolic link to one too), and the open never blocks: a FIFO, socket, device or
// folder would hang the reader or never end, so it is refused at once, with notRegular
// (when given) set.
std::FILE* OpenFile(const std::string& path, const char* mode, bool* notRegular = nullptr);

// Whether nothing exists at the path (false also when that cannot be told).
bool IsMissingFile(const std::string& path);

// The size of an open file; false when it cannot be had.
bool OpenFileSize(std::FILE* f, uintmax_t& size);

// A regular file's size and modification time (as finely as the file system keeps it, in
// its own units); false for anything else or when it cannot be asked.
bool RegularFileInfo(const std::string& path, int64_t& size, int64_t& time);

// Whether the path names a folder.
bool IsFolder(const std::string& path);

// Makes one folder; true when it exists afterwards.
bool MakeFolder(const std::string& path);

// Removes a file; false when it could not (also when there was none).
bool RemoveFile(const std::string& path);

// Renames a file, replacing the file at to when there is one.
bool RenameOver(const std::string& from, const std::string& to);

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace qurix
