// QURIX_BENCH_NEEDS_QT
// The floor a palette start is measured against: a bare Qt program that shows one main
// window with an empty list, prints the same line as "qurix --exit-when-shown" at its
// first paint (time since main, resident and peak memory) and closes.
#include <sys/resource.h>

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QMainWindow>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "ui/qt/ShownProbe.h"

namespace {

class CFirstPaint : public QObject {
public:
    CFirstPaint(QMainWindow& window, std::chrono::steady_clock::time_point started)
        : window_(window), started_(started) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !fired_) {
            fired_ = true;
            QTimer::singleShot(0, &window_, [this] { Report(); });
        }
        return false;
    }

private:
    void Report() {
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_)
                .count();
        timespec wall{};
        clock_gettime(CLOCK_REALTIME, &wall);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("shown_ms=%.1f shown_at_ns=%lld%09ld rss_kib=%ld peak_rss_kib=%ld\n", ms,
                    static_cast<long long>(wall.tv_sec), wall.tv_nsec, qurix::ResidentKiB(),
                    usage.ru_maxrss);
        std::fflush(stdout);
        window_.close();
    }

    QMainWindow& window_;
    std::chrono::steady_clock::time_point started_;
    bool fired_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QMainWindow window;
    auto* list = new QListWidget(&window);
    list->addItem(QStringLiteral("R"));
    window.setCentralWidget(list);
    window.resize(320, 600);
    CFirstPaint probe(window, started);
    list->viewport()->installEventFilter(&probe);
    window.show();
    return app.exec();
}
