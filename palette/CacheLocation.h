#pragma once
#include <string>

#include "core/platform/Paths.h"

namespace qurix {

// What the thumbnail cache's folder depends on, so the rule can be tested without the
// real folders and environment.
struct CacheLocationInputs {
    std::string currentFolder;      // the working folder; "" when it cannot be had
    std::string configPath;         // the KIVOX.INI in use
    bool localCacheExists = false;  // ./cache is a folder already
    // Linux: $XDG_CACHE_HOME and $HOME; Windows: %LOCALAPPDATA%. Empty when unset.
    std::string xdgCacheHome;
    std::string home;
    std::string localAppData;
    PathStyle style = NativePathStyle();
};

// ./cache when it is there already or the working folder is the INI's own (the editor's
// setup, where palettes of several users share it); otherwise a per-user folder of the
// INI's own: $XDG_CACHE_HOME/qurix/<digest>/ (~/.cache when unset) or
// %LOCALAPPDATA%\Tolmera\qurix\<digest>\. Falls back to ./cache when there is no
// per-user folder.
std::string ChooseCacheFolder(const CacheLocationInputs& in);

// Eight hex digits naming the INI's per-user cache folder.
std::string ConfigPathDigest(const std::string& configPath);

// Whether the cache could be saved in folder: files can be made in it, or, where it is not
// there yet, in the nearest folder above it (the save makes the rest). Makes nothing.
bool CanWriteInFolder(const std::string& folder);

CacheLocationInputs RealCacheLocationInputs(const std::string& configPath);

}  // namespace qurix
