// Level screens on real windows (offscreen): building one level with 20
// items from the temp form file, and the memory of a stack of 20 levels.
// Goals: one level in under 10 ms; 20 levels open in under 120 MB of peak
// resident memory (reported as the counter "peak_MB").
//
// The course is realistic rather than tiny: a 2,000-line CONFIG.TXT (every
// lookup reads it anew), a full-screen background picture and a rich-text
// lesson on every level.
#include "app/app_state.h"
#include "app/app_window.h"
#include "app/main_window.h"
#include "course_generator.h"
#include "measure.h"
#include "platform/dialogs.h"
#include "platform/dialogs_window.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/textfile.h"
#include "platform_doubles.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace orbino;
using namespace orbino::bench;

namespace {

// Stands in for the nested modal loops: whatever the benchmark wants done
// while a level window is up.
class HookRunner : public ModalRunner {
public:
    std::function<void(TForm1*)> onExec;
    int exec(QWidget* w) override {
        if (onExec)
            onExec(qobject_cast<TForm1*>(w));
        return 0;
    }
};

constexpr int kItems = 20;

// One day folder whose list has 20 items, each naming that same list, so a
// press on any item opens one more level.
struct Course {
    QTemporaryDir dir;
    QString prog, temp, day;
    FailingPrompter prompter;
    NoShell shell;
    FixedScreen screen;
    HookRunner runner;
    AppState st;
    TForm1* main = nullptr;

    Course() {
        prog = dir.path() + QStringLiteral("/kurz/");
        temp = dir.path() + QStringLiteral("/temp/");
        day = prog + QStringLiteral("01._deň/");
        QDir().mkpath(temp);
        QDir().mkpath(day);
        bench::writeLargeConfig(prog + QStringLiteral("CONFIG.TXT"), 2000);
        QFile cfg(prog + QStringLiteral("CONFIG.TXT"));
        if (!cfg.open(QIODevice::Append))
            std::abort();
        cfg.write("*PATH TEMP*" + QFile::encodeName(temp) + "\r\n0*IP NONE*offline\r\n");
        cfg.close();

        QStringList list{QStringLiteral("pozadie.bmp")};
        for (int i = 1; i < kItems; ++i)
            list << QStringLiteral("[Lekcia %1 o práci s počítačom] zoznam.txt").arg(i);
        list << QStringLiteral("[Ďalšia úroveň] zoznam.txt");
        writeLines(day + QStringLiteral("Obsah.txt"), list);
        writeLines(day + QStringLiteral("zoznam.txt"), list);

        QImage bg(640, 480, QImage::Format_RGB888);
        bg.fill(QColor(230, 240, 250));
        bg.save(day + QStringLiteral("POZADIE.BMP"), "BMP");
        // The glyph every item naming a text gets.
        QImage glyph(32, 32, QImage::Format_RGB888);
        glyph.fill(Qt::white);
        glyph.setPixelColor(8, 8, Qt::blue);
        glyph.save(prog + QStringLiteral("Text.BMP"), "BMP");
        // The rich-text twins of the lists: a few paragraphs of lesson text.
        QByteArray rtf =
            "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
            "\\viewkind4\\uc1\\pard\\lang1051\\f0\\fs20 ";
        for (int i = 0; i < 30; ++i)
            rtf +=
                "\\b Kapitola\\b0  \\'9eiak si otvor\\'ed s\\'fabor a zmen\\'ed p\\'edsmo.\\par ";
        rtf += "}";
        for (const char* name : {"Obsah.rtf", "zoznam.rtf"}) {
            QFile f(day + QString::fromLatin1(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(rtf) != rtf.size())
                std::abort();
        }

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

    QPushButton* dayButton() const {
        for (auto* b : main->findChildren<QPushButton*>())
            if (b->objectName().startsWith(QLatin1String("Buttonx")))
                return b;
        return nullptr;
    }
    static QPushButton* lastItem(TForm1* w) {
        QPushButton* last = nullptr;
        for (auto* b : w->findChild<QWidget*>("centralwidget")
                           ->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            if (b->property("runtime").toBool())
                last = b;
        return last;
    }
    static int itemCount(TForm1* w) {
        int n = 0;
        for (auto* b : w->findChild<QWidget*>("centralwidget")
                           ->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            n += b->property("runtime").toBool() ? 1 : 0;
        return n;
    }
};

Course& course() {
    static Course* c = new Course; // lives until the process ends, with the application
    return *c;
}

// Runs first, so no other benchmark's windows raise the peak. Each
// iteration presses the day button and then the last item on every level
// until level 20 is open; every window is shown and painted on the way.
void BM_TwentyLevelsPeakMemory(benchmark::State& state) {
    Course& c = course();
    QPushButton* day = c.dayButton();
    if (!day) {
        state.SkipWithError("no day button on the main screen");
        return;
    }
    int deepest = 0;
    c.runner.onExec = [&](TForm1* w) {
        w->show();
        QApplication::processEvents();
        if (Course::itemCount(w) != kItems)
            c.prompter.message(MsgKind::Error, QStringLiteral("level without its 20 items"));
        deepest = std::max(deepest, w->level);
        if (w->level < kMaxLevel)
            w->guard([w] { w->openSubLevel(Course::lastItem(w)); });
    };
    for (auto _ : state) {
        deepest = 0;
        day->click();
        if (deepest != kMaxLevel) {
            state.SkipWithError("20 levels were not opened");
            break;
        }
    }
    c.runner.onExec = nullptr;
    if (!c.prompter.first.isEmpty())
        state.SkipWithError(qPrintable(c.prompter.first));
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_TwentyLevelsPeakMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

// ZobrazOkno up to the moment the window would be shown: a fresh TForm1,
// the temp form file applied, captions, and the screen built by
// FormActivate. Closing it again is not timed.
void BM_BuildLevelScreen20(benchmark::State& state) {
    Course& c = course();
    AppState& st = c.st;
    bool built = false;
    bool paused = false;
    c.runner.onExec = [&](TForm1* w) {
        state.PauseTiming();
        paused = true;
        built = Course::itemCount(w) == kItems;
        // What the window's own event loop would deliver. Left queued, the
        // events posted to the main window pile up over the iterations, and
        // every later post scans the pile for one to merge with.
        QApplication::processEvents();
    };
    c.main->takeLevel(1);
    st.levels.restorePlace(1, QStringLiteral("01._deň"), st.levels.listFile(1));
    st.levels.restorePlace(2, QStringLiteral("01._deň"), QStringLiteral("zoznam.txt"));
    for (auto _ : state) {
        st.levels.restore(2);
        built = paused = false;
        c.main->guard([&] { c.main->ZobrazOkno(); });
        if (paused)
            state.ResumeTiming();
        if (!built) {
            state.SkipWithError("the level screen was not built with 20 items");
            break;
        }
    }
    c.runner.onExec = nullptr;
    c.main->show();
    if (!c.prompter.first.isEmpty())
        state.SkipWithError(qPrintable(c.prompter.first));
}
BENCHMARK(BM_BuildLevelScreen20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The program's own style and fonts, as every level window is built under.
    prepareApplication();
    return runBenchmarks(argc, argv);
}
