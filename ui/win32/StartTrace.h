#pragma once

namespace qurix::win32 {

// Where a start spends its time: with QURIX_TRACE_START set, prints what and the
// milliseconds since the process was created to standard error.
void StartTraceMark(const char* what);

}  // namespace qurix::win32
