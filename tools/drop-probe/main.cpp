// drop-probe: a window that stands in for the schematic editor as drop target. It accepts
// a dragged part and prints what arrived, one fact per line, for people and test drivers.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPaintEvent>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The block is read here on its own, the way the editor reads it, rather than with the
// palette's code, so that a fault in the palette's layout cannot cancel itself out.
constexpr size_t FIELD = 260;
const char* const FORMATS[] = {"KivoxPartsInfo",
                               "application/x-qt-windows-mime;value=\"KivoxPartsInfo\""};

constexpr int EXIT_MALFORMED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_TIMEOUT = 3;

const char* const USAGE =
    "usage: drop-probe [--once] [--timeout SECONDS] [--geometry WxH+X+Y]\n"
    "\n"
    "Opens a window that accepts a dragged part in the format \"KivoxPartsInfo\" (or its\n"
    "Qt Windows spelling application/x-qt-windows-mime;value=\"KivoxPartsInfo\") and\n"
    "prints, one line each, flushed at once:\n"
    "  ready window=ID geometry=WxH+X+Y   the window is mapped (X11 id, client area on screen)\n"
    "  enter formats=F1,F2,...            a drag entered; its formats; accepted when it\n"
    "                                     offers one of the two names and the copy action\n"
    "  leave                              the drag left without dropping\n"
    "  drop format=F bytes=N              a drop arrived; the name read and the block size\n"
    "  library=PATH                       bytes 0..259 up to the first NUL\n"
    "  part=NAME                          bytes 260..519 up to the first NUL\n"
    "  padding=zero|nonzero               whether all bytes after the two NULs are zero\n"
    "  error REASON                       instead of library/part/padding for a bad block\n"
    "                                     (short, or a field without NUL)\n"
    "  end                                closes the report of one drop\n"
    "  timeout                            --timeout ran out\n"
    "PATH and NAME are the bytes as received, except that bytes below 0x20, 0x7F and '%'\n"
    "are written as %XX (two upper-case hex digits).\n"
    "\n"
    "  --once              exit after the first drop: 0 when the block was well-formed,\n"
    "                      1 when not\n"
    "  --timeout SECONDS   stop after SECONDS: prints \"timeout\" and exits 3\n"
    "  --geometry WxH+X+Y  size and position of the window (default 320x240+0+0)\n"
    "Exit 2 on a usage error.\n";

void Emit(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Escape(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F || c == '%') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

class CProbeWindow : public QWidget {
public:
    explicit CProbeWindow(bool once) : once_(once) {
        setWindowTitle(QStringLiteral("drop-probe"));
        setAcceptDrops(true);
        auto* label = new QLabel(QStringLiteral("Drop a part here"), this);
        label->setAlignment(Qt::AlignCenter);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (reportedReady_) return;
        reportedReady_ = true;
        const QPoint origin = mapToGlobal(QPoint(0, 0));
        Emit("ready window=" + std::to_string(static_cast<unsigned long long>(winId())) +
             " geometry=" + std::to_string(width()) + "x" + std::to_string(height()) + "+" +
             std::to_string(origin.x()) + "+" + std::to_string(origin.y()));
    }

    // A copy of what the palette offers is taken; anything else is refused.
    static void AcceptCopy(QDragMoveEvent* event) {
        if (!Offers(*event->mimeData()) || !(event->possibleActions() & Qt::CopyAction)) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }

    void dragEnterEvent(QDragEnterEvent* event) override {
        const QStringList offered = event->mimeData()->formats();
        Emit("enter formats=" + offered.join(QLatin1Char(',')).toStdString());
        AcceptCopy(event);
    }

    void dragMoveEvent(QDragMoveEvent* event) override { AcceptCopy(event); }

    void dragLeaveEvent(QDragLeaveEvent* event) override {
        Emit("leave");
        event->accept();
    }

    void dropEvent(QDropEvent* event) override {
        const QMimeData& data = *event->mimeData();
        const char* format = nullptr;
        for (const char* f : FORMATS) {
            if (data.hasFormat(QString::fromLatin1(f))) {
                format = f;
                break;
            }
        }
        if (format == nullptr) {
            event->ignore();
            return;
        }
        const QByteArray bytes = data.data(QString::fromLatin1(format));
        event->setDropAction(Qt::CopyAction);
        event->accept();
        Emit(std::string("drop format=") + format + " bytes=" + std::to_string(bytes.size()));
        const bool good = Report(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
        Emit("end");
        if (once_) {
            // Leave the drop handler first, so the source sees the drop finish.
            const int code = good ? 0 : EXIT_MALFORMED;
            QTimer::singleShot(0, qApp, [code] { QCoreApplication::exit(code); });
        }
    }

private:
    static bool Offers(const QMimeData& data) {
        for (const char* f : FORMATS) {
            if (data.hasFormat(QString::fromLatin1(f))) return true;
        }
        return false;
    }

    // Prints the two fields; false for a block the editor could not read.
    static bool Report(const std::string& block) {
        if (block.size() < 2 * FIELD) {
            Emit("error short block");
            return false;
        }
        const char* path = block.data();
        const char* name = block.data() + FIELD;
        const void* pathEnd = std::memchr(path, 0, FIELD);
        const void* nameEnd = std::memchr(name, 0, FIELD);
        if (pathEnd == nullptr || nameEnd == nullptr) {
            Emit(pathEnd == nullptr ? "error library field without NUL"
                                    : "error part field without NUL");
            return false;
        }
        const size_t pathLength = static_cast<const char*>(pathEnd) - path;
        const size_t nameLength = static_cast<const char*>(nameEnd) - name;
        bool zero = true;
        for (size_t i = pathLength; i < FIELD; ++i) zero = zero && path[i] == 0;
        for (size_t i = nameLength; i < FIELD; ++i) zero = zero && name[i] == 0;
        Emit("library=" + Escape(std::string(path, pathLength)));
        Emit("part=" + Escape(std::string(name, nameLength)));
        Emit(std::string("padding=") + (zero ? "zero" : "nonzero"));
        return true;
    }

    bool once_;
    bool reportedReady_ = false;
};

bool ParseGeometry(const QString& text, QRect& rect) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) return false;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w <= 0 || h <= 0 || w > 10000 || h > 10000) return false;
    rect = QRect(m.captured(3).toInt(), m.captured(4).toInt(), w, h);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool once = false;
    int timeoutSeconds = 0;
    QRect geometry(0, 0, 320, 240);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (arg == "--once") {
            once = true;
        } else if (arg == "--timeout" && i + 1 < argc) {
            bool ok = false;
            timeoutSeconds = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            if (!ok || timeoutSeconds <= 0 || timeoutSeconds > 86400) {
                std::fputs("drop-probe: --timeout wants a number of seconds (1..86400)\n", stderr);
                return EXIT_USAGE;
            }
        } else if (arg == "--geometry" && i + 1 < argc) {
            if (!ParseGeometry(QString::fromLocal8Bit(argv[++i]), geometry)) {
                std::fputs("drop-probe: --geometry wants WxH+X+Y\n", stderr);
                return EXIT_USAGE;
            }
        } else {
            std::fprintf(stderr, "drop-probe: unknown argument '%s'\n%s", arg.c_str(), USAGE);
            return EXIT_USAGE;
        }
    }

    QApplication app(argc, argv);
    CProbeWindow window(once);
    window.setGeometry(geometry);
    window.show();
    if (timeoutSeconds > 0) {
        QTimer::singleShot(timeoutSeconds * 1000, &app, [] {
            Emit("timeout");
            QCoreApplication::exit(EXIT_TIMEOUT);
        });
    }
    return app.exec();
}
