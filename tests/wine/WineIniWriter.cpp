// The editor's side of its settings under Wine: writes [Library] keys into the per-user
// Tolmera\KIVOX.INI through the platform's profile functions, in the ANSI code page, the way
// the editor saves them. Built with the MinGW cross-compiler for
// tests/app/palette_wine_ini_test.sh.
//
// usage: WineIniWriter.exe KEY=VALUE...   (values arrive in the ANSI code page)
// Prints "written PATH" and exits 0, or exits 1 when a write fails, 2 on a usage error.
#include <shlobj.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: WineIniWriter.exe KEY=VALUE...\n", stderr);
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    char local[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local) != S_OK) return 1;
    const std::string folder = std::string(local) + "\\Tolmera";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string ini = folder + "\\KIVOX.INI";
    for (int i = 1; i < argc; ++i) {
        const std::string pair = argv[i];
        const size_t eq = pair.find('=');
        if (eq == std::string::npos) return 2;
        if (!WritePrivateProfileStringA("Library", pair.substr(0, eq).c_str(),
                                        pair.substr(eq + 1).c_str(), ini.c_str())) {
            return 1;
        }
    }
    std::printf("written %s\n", ini.c_str());
    return 0;
}
