#pragma once

namespace qurix {

// The palette program's command line, the same in every front end.
inline constexpr const char* PALETTE_USAGE = "usage: qurix [--ini PATH | --help | --version]";

struct PaletteOptions {
    // --exit-when-shown, for measuring a start (not in the usage): print the time to the
    // first shown parts list and the memory held then, and close the window.
    bool exitWhenShown = false;
    // --ini PATH: the path as given, else null.
    const char* ini = nullptr;
    // -1 when the window is to start; else the exit status of an answer already given
    // (the usage, the help, the version).
    int answered = -1;
};

// Reads the arguments and answers --help, --version and anything unknown on the standard
// streams. places: the help's first paragraph, where this platform's palette looks for
// KIVOX.INI and keeps its thumbnails.
PaletteOptions ReadPaletteOptions(int argc, const char* const* argv, const char* places);

}  // namespace qurix
