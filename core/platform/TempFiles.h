#pragma once
#include <cstdio>
#include <string>

namespace qurix {

// A new, empty folder in the system's temporary folder whose name starts with prefix,
// without a trailing separator; "" when none can be made.
std::string MakeTemporaryFolder(const std::string& prefix);

// A file open for reading (binary) that holds exactly the bytes, removed when closed;
// null when none can be made. Stands in for fmemopen, which Windows lacks.
std::FILE* OpenBytesAsFile(const std::string& bytes);

}  // namespace qurix
