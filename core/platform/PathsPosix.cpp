#ifndef _WIN32
#include "core/platform/Paths.h"

namespace qurix {

PathStyle NativePathStyle() {
    return POSIX_PATHS;
}

}  // namespace qurix
#endif
