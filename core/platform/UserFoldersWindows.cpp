#ifdef _WIN32
#include "core/platform/UserFolders.h"
#include "core/platform/WindowsText.h"

#include <shlobj.h>

namespace qurix {

std::string PerUserDataFolder() {
    wchar_t folder[MAX_PATH];
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return std::string();
    }
    // Paths travel as ANSI code page bytes, as the editor's SHGetSpecialFolderPathA gives
    // them.
    return WideToAnsi(folder);
}

}  // namespace qurix
#endif
