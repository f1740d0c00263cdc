#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qurix {

// On Linux the editor runs under Wine and writes Windows paths into its KIVOX.INI
// ("C:\Kivox\lib\a.lib", "Z:\home\you\a.lib", ".\a.lib"), in its ANSI code page. This maps
// them to the Linux files Wine opens for them, and a Linux path back to the Windows form
// the editor can open. On Windows paths are the system's own and pass unchanged.
class CWinePaths {
public:
    // configFolder: the INI's folder; codePage: the editor's ANSI code page (932, 1252,
    // 65001 …); winePrefix and home: $WINEPREFIX and $HOME ("" when unset), for an INI
    // that lies in no prefix.
    CWinePaths(std::string configFolder, int codePage, const std::string& winePrefix,
               const std::string& home);

    // A value with a drive letter ("C:") or a backslash.
    static bool IsWindowsPath(std::string_view value);

    // The file a configured library path names: a Windows path through the prefix's
    // drives, its bytes taken in the code page and each name matched ignoring case, as
    // Windows does; any other path as always (a relative one from the INI's folder).
    std::string Resolve(const std::string& value);

    // The prefix the INI lies in, else $WINEPREFIX, else ~/.wine; no trailing '/'.
    const std::string& Prefix() const { return prefix_; }

    // Where Wine keeps a user's local application data in a prefix (today's layout, then
    // the older one); empty without a prefix or user.
    static std::vector<std::string> UserDataFolders(const std::string& prefix,
                                                    const std::string& user);

    enum class ToWindowsResult { Done, NotInCodePage, TooLong };
    // The Windows form of a Linux path in the code page: through the prefix's drive the
    // file lies on (the longest match), else Z:. Too long at MAX_PATH (260) bytes or more.
    ToWindowsResult ToWindows(const std::string& path, std::string& windows) const;

private:
    std::string MatchName(const std::string& folder, const std::string& name);

    std::string configFolder_;
    int codePage_;
    std::string prefix_;
    // Per folder: its names by their case-folded form (filled once per folder).
    std::map<std::string, std::map<std::string, std::string>> listings_;
};

}  // namespace qurix
