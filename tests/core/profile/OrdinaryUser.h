#pragma once
// Writes as a user without root's right to write anywhere, where the system has users
// and permission bits; on Windows the tests that need them are skipped.
#include <functional>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qurix::test {

#ifdef _WIN32
inline constexpr const char* NO_POSIX_FILES =
    "Windows has no POSIX permission bits or user switch: a folder refuses new files only "
    "through its access list, and symbolic links need a privilege";
#else
inline constexpr const char* NO_POSIX_FILES = nullptr;
#endif

// Runs write as uid 65534 when running as root (owning ownedFile, if one is given), else
// as the current user. False when the user could not be switched.
inline bool AsOrdinaryUser(const std::function<void()>& write, const std::string& ownedFile = "") {
#ifdef _WIN32
    (void)ownedFile;
    write();
    return false;
#else
    const bool root = geteuid() == 0;
    if (root) {
        if (!ownedFile.empty() && chown(ownedFile.c_str(), 65534, 65534) != 0) return false;
        if (seteuid(65534) != 0) return false;
    }
    write();
    return !root || seteuid(0) == 0;
#endif
}

}  // namespace qurix::test
