#pragma once
#include <cstdint>
#include <string>

namespace qurix {

// When a file was last written, in whole seconds since 1970-01-01 UTC (earlier times are
// negative); false when the path names nothing that can be asked.
bool LastWriteSeconds(const std::string& path, int64_t& seconds);

}  // namespace qurix
