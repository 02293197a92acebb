// A 20-item level screen built, shown and painted on a monitor of the size
// given in ORBINO_BENCH_MONITOR (WIDTHxHEIGHT, 1024x768 when not given),
// zoomed as the program zooms it there. Run once per monitor size by
// bench/zoom_ratios, which compares the figures of one run.
//
// The monitor is the offscreen platform's screen, so the figures do not
// depend on an X server; the zoom and the layout's virtual screen are
// chosen by the program's own functions.
#include "app/app_state.h"
#include "app/app_window.h"
#include "app/main_window.h"
#include "app/screen_fit.h"
#include "course_generator.h"
#include "measure.h"
#include "platform/dialogs_window.h"
#include "platform/textfile.h"
#include "platform_doubles.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>

using namespace orbino;
using namespace orbino::bench;

namespace {

class HookRunner : public ModalRunner {
public:
    std::function<void(TForm1*)> onExec;
    int exec(QWidget* w) override {
        if (onExec)
            onExec(qobject_cast<TForm1*>(w));
        return 0;
    }
};

// The screen as the program sees it: the virtual screen for the layout,
// the free area in logical pixels.
class ZoomedScreen : public SystemInfo {
public:
    ScreenMetrics screen() const override {
        const QSize s =
            designedScreenSize(QGuiApplication::primaryScreen()->size(), screenZoomed());
        return {s.width(), s.height(), 96};
    }
    QRect availableArea() const override {
        return QGuiApplication::primaryScreen()->availableGeometry();
    }
    QString hostName() const override { return QStringLiteral("ucebna-07"); }
    QString hostAddress() const override { return {}; }
};

constexpr int kItems = 20;

struct Course {
    QTemporaryDir dir;
    QString prog, temp, day;
    FailingPrompter prompter;
    NoShell shell;
    ZoomedScreen screen;
    HookRunner runner;
    AppState st;
    TForm1* main = nullptr;

    Course() {
        prog = dir.path() + QStringLiteral("/kurz/");
        temp = dir.path() + QStringLiteral("/temp/");
        day = prog + QStringLiteral("01._deň/");
        QDir().mkpath(temp);
        QDir().mkpath(day);
        writeLargeConfig(prog + QStringLiteral("CONFIG.TXT"), 200);
        QFile cfg(prog + QStringLiteral("CONFIG.TXT"));
        if (!cfg.open(QIODevice::Append))
            std::abort();
        cfg.write("*PATH TEMP*" + QFile::encodeName(temp) + "\r\n0*IP NONE*offline\r\n");
        cfg.close();
        QStringList list{QStringLiteral("pozadie.bmp")};
        for (int i = 1; i <= kItems; ++i)
            list << QStringLiteral("[Lekcia %1 o práci s počítačom] zoznam.txt").arg(i);
        writeLines(day + QStringLiteral("Obsah.txt"), list);
        writeLines(day + QStringLiteral("zoznam.txt"), list);
        // A background picture scaled smoothly to its place, and the glyph
        // every item naming a list gets.
        QImage bg(640, 480, QImage::Format_RGB888);
        bg.fill(QColor(230, 240, 250));
        bg.save(day + QStringLiteral("POZADIE.BMP"), "BMP");
        QImage glyph(32, 32, QImage::Format_RGB888);
        glyph.fill(Qt::white);
        glyph.save(prog + QStringLiteral("Text.BMP"), "BMP");

        st.prompter = &prompter;
        st.shell = &shell;
        st.system = &screen;
        QDir::setCurrent(prog);
        main = new TForm1(st, runner, true);
        main->guard([&] { main->FormCreate({}); });
        main->guard([&] { main->FormActivate(); });
        main->show();
        QApplication::processEvents();
    }
    static int itemCount(TForm1* w) {
        int n = 0;
        for (auto* b : w->findChild<QWidget*>("centralwidget")
                           ->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            n += b->property("runtime").toBool() && b->isVisible() ? 1 : 0;
        return n;
    }
};

// ZobrazOkno with the window shown and painted at the zoom, as the learner
// sees it; closing it again is not timed.
void BM_ShowLevelScreen20(benchmark::State& state) {
    static Course* c = new Course; // lives as long as the application
    AppState& st = c->st;
    bool built = false;
    c->runner.onExec = [&](TForm1* w) {
        w->show();
        w->repaint();
        QApplication::processEvents();
        built = Course::itemCount(w) == kItems;
        state.PauseTiming();
    };
    c->main->takeLevel(1);
    st.levels.restorePlace(1, QStringLiteral("01._deň"), st.levels.listFile(1));
    st.levels.restorePlace(2, QStringLiteral("01._deň"), QStringLiteral("zoznam.txt"));
    for (auto _ : state) {
        st.levels.restore(2);
        built = false;
        c->main->guard([&] { c->main->ZobrazOkno(); });
        state.ResumeTiming();
        if (!built) {
            state.SkipWithError("the level screen was not shown with 20 items");
            break;
        }
    }
    c->runner.onExec = nullptr;
    if (!c->prompter.first.isEmpty())
        state.SkipWithError(qPrintable(c->prompter.first));
    state.counters["zoom"] = QGuiApplication::primaryScreen()->devicePixelRatio();
}
BENCHMARK(BM_ShowLevelScreen20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QSize monitor(1024, 768);
    const QByteArray asked = qgetenv("ORBINO_BENCH_MONITOR");
    if (const auto parts = asked.split('x'); parts.size() == 2)
        monitor = QSize(parts[0].toInt(), parts[1].toInt());
    // The offscreen platform's one screen, of the monitor's size.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(QStringLiteral("{\"screens\": [{\"name\": \"monitor\", \"x\": 0, \"y\": 0, "
                               "\"width\": %1, \"height\": %2, \"logicalDpi\": 96, \"dpr\": 1}]}")
                    .arg(monitor.width())
                    .arg(monitor.height())
                    .toUtf8()) < 0)
        return 2;
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    applyScreenZoom(monitor);
    QApplication app(argc, argv);
    prepareApplication();
    return runBenchmarks(argc, argv);
}
