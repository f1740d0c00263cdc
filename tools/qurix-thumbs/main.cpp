// qurix-thumbs: renders the thumbnails and previews of the libraries a configuration file
// names, as PNG files, without a display.
//   thumbs --ini INI --out DIR [--threads T]        DIR/<n>-64.png, DIR/<n>-32.png, index.tsv
//   preview --ini INI --lib SLOT --part NAME --out FILE [--zoom N:D] [--block B]
//   sheet --ini INI --out FILE [--zoom N] [--threads T]   a contact sheet of every library
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/FileIo.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "core/program/StandardOptions.h"
#include "render/DisplaySettings.h"
#include "render/ThumbnailPool.h"
#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtCanvas.h"
#include "render/qt/TextDecode.h"

namespace {

using namespace qurix;

constexpr const char* PROGRAM = "qurix-thumbs";

constexpr const char* USAGE =
    "usage: qurix-thumbs thumbs --ini INI --out DIR [--threads T]\n"
    "       qurix-thumbs preview --ini INI --lib SLOT --part NAME --out FILE"
    " [--zoom N:D] [--block B]\n"
    "       qurix-thumbs sheet --ini INI --out FILE [--zoom N] [--threads T]\n"
    "       qurix-thumbs --help | --version\n";

constexpr const char* HELP =
    "Draws the parts of the libraries that the configuration file INI names, in its\n"
    "colours and fonts, as PNG images, without a display.\n"
    "\n"
    "  thumbs    the 64 and 32 pixel thumbnails: DIR/<n>-64.png, DIR/<n>-32.png and\n"
    "            DIR/index.tsv (number, slot, entry, part name); DIR is made if missing\n"
    "  preview   the full-size preview of part NAME in library slot SLOT (0 to 15), at\n"
    "            ZOOM N:D (1:2 to 8:1, default 1:1) with the pin numbers of block B\n"
    "            (default 0)\n"
    "  sheet     every part of every library on one sheet, ZOOM (1 to 8, default 1)\n"
    "            times the thumbnail size\n"
    "\n"
    "thumbs and sheet draw on T threads (0 to 64; 0, the default, is one per core);\n"
    "the images are the same for every T.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or the part is\n"
    "not found, 2 on a usage error.\n";

int Usage() {
    std::fputs(USAGE, stderr);
    return 2;
}

// "--key value" pairs after the command; false on anything else or a repeated key.
bool ParseOptions(int argc, char** argv, int first, std::map<std::string, std::string>& out) {
    for (int i = first; i < argc; i += 2) {
        const std::string key = argv[i];
        if (key.size() < 3 || key.compare(0, 2, "--") != 0 || i + 1 >= argc) return false;
        if (!out.emplace(key.substr(2), argv[i + 1]).second) return false;
    }
    return true;
}

// Only the keys allowed, and all the keys required.
bool HasExactly(const std::map<std::string, std::string>& options,
                const std::vector<std::string>& required,
                const std::vector<std::string>& optional = {}) {
    size_t found = 0;
    for (const std::string& k : required) {
        if (!options.count(k)) return false;
        ++found;
    }
    for (const std::string& k : optional) found += options.count(k);
    return found == options.size();
}

// A whole decimal number in range, nothing else.
bool ParseNumber(const std::string& text, long min, long max, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != nullptr && *end == '\0' && value >= min && value <= max;
}

// The settings and the library set, as the palette loads them.
bool LoadSettings(const std::string& iniPath, CDisplaySettings& settings) {
    bool notRegular = false;
    std::FILE* probe = OpenFile(iniPath, "rb", &notRegular);
    if (probe == nullptr) {
        std::fprintf(stderr, "%s: cannot read %s%s\n", PROGRAM, iniPath.c_str(),
                     notRegular ? ": not a regular file" : "");
        return false;
    }
    std::fclose(probe);
    const CProfile profile(iniPath);
    LoadDisplaySettings(settings, profile, ConfigFolder(iniPath));
    return true;
}

bool SavePng(const QImage& image, const std::string& path) {
    if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", PROGRAM, path.c_str());
        return false;
    }
    return true;
}

// A name in a tab-separated line: a tab or a line end inside it would break the line.
std::string TsvField(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

// The parts of every library in slot order, each with its slot and entry number.
struct Part {
    const CLibEntry* entry;
    int32_t slot;
    int32_t index;
};

std::vector<Part> ListParts(const CDisplaySettings& settings) {
    std::vector<Part> parts;
    for (int32_t slot = 0; slot < settings.libraries.Count(); ++slot) {
        const CPartLibrary* library = settings.libraries.GetLibrary(slot);
        if (library == nullptr) break;
        for (int32_t e = 0; e < library->EntryCount(); ++e) {
            const CLibEntry* entry = library->Entry(e);
            if (entry != nullptr) parts.push_back(Part{entry, slot, e});
        }
    }
    return parts;
}

// Starts drawing the thumbnails of parts, in their order.
std::unique_ptr<CThumbnailPool> StartDrawing(const CDisplaySettings& settings,
                                             const std::vector<Part>& parts, int32_t threads) {
    std::vector<const CLibEntry*> entries;
    entries.reserve(parts.size());
    for (const Part& part : parts) entries.push_back(part.entry);
    return std::make_unique<CThumbnailPool>(settings, std::move(entries), threads, QtCanvasMaker);
}

int Thumbs(const std::string& iniPath, const std::string& outDir, int32_t threads) {
    CDisplaySettings settings;
    if (!LoadSettings(iniPath, settings)) return 1;
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (!std::filesystem::is_directory(outDir, ec)) {
        std::fprintf(stderr, "%s: cannot make the folder %s\n", PROGRAM, outDir.c_str());
        return 1;
    }
    const std::string dir = (std::filesystem::path(outDir) / "").string();

    std::string index;
    const std::vector<Part> parts = ListParts(settings);
    const std::unique_ptr<CThumbnailPool> pool = StartDrawing(settings, parts, threads);
    // Numbered as they are written: a part that cannot be drawn takes no number.
    int32_t n = 0;
    for (const Part& part : parts) {
        const CThumbnailPool::Images images = pool->Next();
        if (!images.IsValid()) {
            std::fprintf(stderr, "%s: no thumbnail for %s in slot %d\n", PROGRAM,
                         part.entry->Name().c_str(), part.slot);
            continue;
        }
        const std::string stem = dir + std::to_string(n);
        if (!SavePng(ToQImage(images.large), stem + "-64.png") ||
            !SavePng(ToQImage(images.smallImage), stem + "-32.png")) {
            return 1;
        }
        index += std::to_string(n) + '\t' + std::to_string(part.slot) + '\t' +
                 std::to_string(part.index) + '\t' + TsvField(part.entry->Name().str()) + '\n';
        ++n;
    }
    const std::string indexPath = dir + "index.tsv";
    std::FILE* f = std::fopen(indexPath.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(index.data(), 1, index.size(), f) == index.size();
    if (f != nullptr && std::fclose(f) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write %s\n", PROGRAM, indexPath.c_str());
        return 1;
    }
    return 0;
}

const CLibEntry* FindEntry(const CPartLibrary& library, const std::string& name) {
    for (int32_t e = 0; e < library.EntryCount(); ++e) {
        const CLibEntry* entry = library.Entry(e);
        if (entry != nullptr && entry->Name() == name) return entry;
    }
    return nullptr;
}

// Previews beyond this many pixels are refused: the image would not fit in memory.
constexpr int64_t MAX_PREVIEW_PIXELS = int64_t{1} << 26;

// "N:D", a zoom of the preview (1:2 to 8:1).
bool ParseZoom(const std::string& text, Scale& zoom) {
    const size_t colon = text.find(':');
    long num = 0;
    long den = 0;
    if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 1, 8, num) ||
        !ParseNumber(text.substr(colon + 1), 1, 8, den)) {
        return false;
    }
    zoom = Scale{static_cast<int32_t>(num), static_cast<int32_t>(den)};
    return ValidPreviewZoom(zoom) == zoom;
}

int Preview(const std::string& iniPath, const std::string& slotText, const std::string& part,
            const std::string& outPath, const PreviewView& view) {
    CDisplaySettings settings;
    if (!LoadSettings(iniPath, settings)) return 1;
    long slot = -1;
    const CPartLibrary* library = nullptr;
    if (ParseNumber(slotText, 0, CLibrarySet::MAX_LIBRARIES - 1, slot)) {
        library = settings.libraries.GetLibrary(static_cast<int32_t>(slot));
    }
    if (library == nullptr) {
        std::fprintf(stderr, "%s: no library in slot %s\n", PROGRAM, slotText.c_str());
        return 1;
    }
    const CLibEntry* entry = FindEntry(*library, part);
    if (entry == nullptr) {
        std::fprintf(stderr, "%s: no part %s in slot %ld\n", PROGRAM, part.c_str(), slot);
        return 1;
    }
    // The name's measured width can widen the preview.
    CQtCanvas measure(1, 1, settings.colours.Get(ColourKey::BG));
    const Point extent = PreviewExtent(settings, entry, view, &measure);
    if (int64_t{extent.x} * extent.y > MAX_PREVIEW_PIXELS) {
        std::fprintf(stderr, "%s: the preview of %s is too large (%d x %d)\n", PROGRAM,
                     part.c_str(), extent.x, extent.y);
        return 1;
    }
    CQtCanvas canvas(extent.x, extent.y, settings.colours.Get(ColourKey::BG));
    if (!canvas.IsValid()) {
        std::fprintf(stderr, "%s: cannot make a %d x %d image\n", PROGRAM, extent.x, extent.y);
        return 1;
    }
    canvas.FillRect(Rect{0, 0, extent.x, extent.y}, settings.colours.Get(ColourKey::BG));
    DrawPartPreview(canvas, settings, entry, view);
    return SavePng(canvas.TakeImage(), outPath) ? 0 : 1;
}

// The library's file name without folder and extension, as the library list shows it.
QString LibraryTitle(const CPartLibrary& library) {
    const std::string& path = library.Path();
    size_t start = path.find_last_of("/\\");
    start = start == std::string::npos ? 0 : start + 1;
    std::string name = path.substr(start);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return DecodeText(name);
}

int Sheet(const std::string& iniPath, const std::string& outPath, int zoom, int32_t threads) {
    CDisplaySettings settings;
    if (!LoadSettings(iniPath, settings)) return 1;

    const int columns = 8;
    const int thumb = LARGE_THUMBNAIL_SIDE * zoom;
    const int cellW = std::max(thumb, 112) + 12;
    const int margin = 16;
    QFont nameFont("DejaVu Sans");
    nameFont.setPixelSize(11);
    QFont titleFont("DejaVu Sans");
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    const QFontMetrics nameMetrics(nameFont);
    const QFontMetrics titleMetrics(titleFont);
    const int nameH = nameMetrics.height() + 2;
    const int cellH = thumb + 4 + nameH + 10;
    const int titleH = titleMetrics.height() + 10;

    struct Row {
        const CPartLibrary* library;
        int32_t slot;
    };
    std::vector<Row> libraries;
    int height = margin;
    for (int32_t slot = 0; slot < settings.libraries.Count(); ++slot) {
        const CPartLibrary* library = settings.libraries.GetLibrary(slot);
        if (library == nullptr) break;
        libraries.push_back(Row{library, slot});
        const int rows = std::max(1, (library->EntryCount() + columns - 1) / columns);
        height += titleH + rows * cellH + margin;
    }
    const int width = 2 * margin + columns * cellW;
    if (int64_t{width} * height > MAX_PREVIEW_PIXELS) {
        std::fprintf(stderr, "%s: the sheet would be too large (%d x %d)\n", PROGRAM, width,
                     height);
        return 1;
    }
    QImage sheet(width, std::max(height, 2 * margin), QImage::Format_RGB32);
    if (sheet.isNull()) {
        std::fprintf(stderr, "%s: cannot make a %d x %d image\n", PROGRAM, width, height);
        return 1;
    }
    sheet.fill(Qt::white);
    const std::unique_ptr<CThumbnailPool> pool =
        StartDrawing(settings, ListParts(settings), threads);
    QPainter painter(&sheet);
    const QColor background = ToQColor(settings.colours.Get(ColourKey::BG));
    int y = margin;
    for (const Row& row : libraries) {
        painter.setFont(titleFont);
        painter.setPen(Qt::black);
        const QString title = QString("%1  (slot %2, %3 parts)")
                                  .arg(LibraryTitle(*row.library))
                                  .arg(row.slot)
                                  .arg(row.library->EntryCount());
        painter.drawText(margin, y + titleMetrics.ascent(), title);
        y += titleH;
        painter.setFont(nameFont);
        for (int32_t e = 0; e < row.library->EntryCount(); ++e) {
            const CLibEntry* entry = row.library->Entry(e);
            const int x = margin + (e % columns) * cellW;
            const int top = y + (e / columns) * cellH;
            const QRect box(x + (cellW - thumb) / 2, top, thumb, thumb);
            painter.fillRect(box, background);
            painter.setPen(QColor(200, 200, 200));
            painter.drawRect(box.adjusted(-1, -1, 0, 0));
            if (entry == nullptr) continue;
            const CThumbnailPool::Images images = pool->Next();
            if (images.IsValid()) painter.drawImage(box, ToQImage(images.large));
            painter.setPen(Qt::black);
            const QString name =
                nameMetrics.elidedText(DecodeText(entry->Name()), Qt::ElideRight, cellW - 4);
            painter.drawText(QRect(x, top + thumb + 4, cellW, nameH), Qt::AlignHCenter, name);
        }
        const int rows = std::max(1, (row.library->EntryCount() + columns - 1) / columns);
        y += rows * cellH + margin;
    }
    painter.end();
    return SavePng(sheet, outPath) ? 0 : 1;
}

// Qt's own chatter (a missing runtime folder, font fallbacks) is not ours to print: a
// failing command says one line on standard error and nothing else.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, message.toLocal8Bit().constData());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const StandardOption asked = FindStandardOption(argc, argv);
    if (asked != StandardOption::None) return AnswerStandardOption(asked, PROGRAM, USAGE, HELP);
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    std::map<std::string, std::string> options;
    if (!ParseOptions(argc, argv, 2, options)) return Usage();
    // The command is checked in full before Qt starts: a usage error needs no display.
    long zoom = 1;
    long threads = 0;
    const bool threadsOk = !options.count("threads") ||
                           ParseNumber(options["threads"], 0, CThumbnailPool::MAX_THREADS, threads);
    const bool thumbs =
        command == "thumbs" && HasExactly(options, {"ini", "out"}, {"threads"}) && threadsOk;
    PreviewView view;
    long block = 0;
    const bool preview = command == "preview" &&
                         HasExactly(options, {"ini", "lib", "part", "out"}, {"zoom", "block"}) &&
                         (!options.count("zoom") || ParseZoom(options["zoom"], view.zoom)) &&
                         (!options.count("block") || ParseNumber(options["block"], 0, 255, block));
    view.block = static_cast<int32_t>(block);
    const bool sheet = command == "sheet" &&
                       HasExactly(options, {"ini", "out"}, {"zoom", "threads"}) && threadsOk &&
                       (!options.count("zoom") || ParseNumber(options["zoom"], 1, 8, zoom));
    if (!thumbs && !preview && !sheet) return Usage();

    // Drawing needs a GUI application, but never a display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietQtMessages);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    if (thumbs) return Thumbs(options["ini"], options["out"], static_cast<int32_t>(threads));
    if (preview) {
        return Preview(options["ini"], options["lib"], options["part"], options["out"], view);
    }
    return Sheet(options["ini"], options["out"], static_cast<int>(zoom),
                 static_cast<int32_t>(threads));
}
