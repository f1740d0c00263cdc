#ifdef _WIN32
#include <windows.h>

#include "core/platform/Paths.h"

namespace qurix {

namespace {

bool IsAnsiLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != 0;
}

}  // namespace

PathStyle NativePathStyle() {
    return PathStyle{true, IsAnsiLeadByte};
}

}  // namespace qurix
#endif
