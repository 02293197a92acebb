// The tree window on a generated course of 1,000 lessons (10 days) whose
// full-text index is up to date. Goal: opening it costs at most 20 ms more
// CPU than the window without text search; the window must not build or
// check the index on the way to being shown.
//
// Counters, medians over the iterations, CPU of the whole process (the
// background check included): "open_ms" for the window as it was (tree built
// and shown), "text_extra_ms" for starting the text search and its check of
// the index until it is ready.
#include "app/app_state.h"
#include "app/main_window.h"
#include "course_generator.h"
#include "measure.h"
#include "platform/dialogs.h"
#include "platform/dialogs_window.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform_doubles.h"
#include "tree/text_search.h"
#include "tree/tree_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <sys/resource.h>
#include <vector>

using namespace orbino;
using namespace orbino::bench;

namespace {

class NoModal : public ModalRunner {
public:
    int exec(QWidget*) override { return 0; }
};

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

double median(std::vector<double> v) {
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_TreeWindowOpenWithTextSearch(benchmark::State& state) {
    QTemporaryDir tmp;
    const QString course = tmp.path() + QStringLiteral("/kurz");
    bench::writeTextCourse(course, 10, 1000, 5'000'000);
    FailingPrompter prompter;
    NoShell shell;
    FixedScreen screen;
    NoModal modal;
    AppState st;
    st.prompter = &prompter;
    st.shell = &shell;
    st.system = &screen;
    st.programFolder = course + QLatin1Char('/');
    st.tempFolder = tmp.path() + QLatin1Char('/');
    st.levels.restore(2);
    st.levels.restorePlace(1, QStringLiteral("__1._deň"), st.levels.listFile(1));
    st.levels.restorePlace(2, QStringLiteral("01._deň"), st.levels.listFile(2));
    st.levels.restorePlace(3, QStringLiteral("01._deň"), st.levels.listFile(3));
    st.rootListName = QStringLiteral("Obsah.txt");
    QDir::setCurrent(course);
    TForm1 form(st, modal, false);
    // The index as the learner's earlier runs left it: up to date.
    {
        TextSearch s(st.programFolder, courseRootList(st.programFolder));
        if (!s.prepare()) {
            state.SkipWithError(qPrintable(QStringLiteral("no index: ") + s.problem()));
            return;
        }
    }
    std::vector<double> open, extra;
    for (auto _ : state) {
        const double t0 = processCpuSeconds();
        auto* w = new TOknoHladaj(form);
        w->FormCreate();
        w->FormActivate();
        w->show();
        QApplication::processEvents();
        const double t1 = processCpuSeconds();
        w->startTextIndex();
        while (w->textSearch()->building())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();
        const double t2 = processCpuSeconds();
        open.push_back((t1 - t0) * 1e3);
        extra.push_back((t2 - t1) * 1e3);
        if (!w->textSearch()->ready() || w->tree().size() != 101)
            state.SkipWithError("the window did not get its tree and a ready index");
        state.PauseTiming();
        delete w;
        state.ResumeTiming();
    }
    QFile::remove(indexFileName(defaultIndexCacheDir(), st.programFolder));
    if (!prompter.first.isEmpty())
        state.SkipWithError(qPrintable(prompter.first));
    state.counters["open_ms"] = median(open);
    state.counters["text_extra_ms"] = median(extra);
}
BENCHMARK(BM_TreeWindowOpenWithTextSearch)->Iterations(15)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
