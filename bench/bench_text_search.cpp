// Full-text search on a generated course of 1,000 lessons with 5 MB of Slovak
// text (half in the lessons' description blocks, half in their .rtf twins).
// Goals: the index built from nothing in at most 1.5 s of CPU, a query in at
// most 10 ms (median, counter "median_ms"), the build's peak resident memory
// at most 100 MiB (counter "peak_MB", the whole process, measured first).
#include "course_generator.h"
#include "measure.h"
#include "tree/text_search.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

using namespace orbino;
using namespace orbino::bench;

namespace {

struct Course {
    QTemporaryDir tmp;
    QString dir, cache;
    Course() {
        dir = tmp.path() + QStringLiteral("/kurz");
        cache = tmp.path() + QStringLiteral("/cache");
        bench::writeTextCourse(dir, 10, 1000, 5'000'000);
    }
};

Course& course() {
    static std::unique_ptr<Course> c = std::make_unique<Course>();
    return *c;
}

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// From nothing every time: the index file is removed first (not timed).
void BM_TextIndexBuild(benchmark::State& state) {
    Course& c = course();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(c.cache).removeRecursively();
        state.ResumeTiming();
        TextSearch s(c.dir, QStringLiteral("Obsah.txt"), c.cache);
        if (!s.prepare() || !s.problem().isEmpty()) {
            state.SkipWithError(qPrintable(QStringLiteral("no index: ") + s.problem()));
            break;
        }
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_TextIndexBuild)->Iterations(3)->Unit(benchmark::kMillisecond);

// What learners type: whole words and beginnings of words, without and with
// diacritics, one to three words, common and rare.
void BM_TextQuery(benchmark::State& state) {
    Course& c = course();
    TextSearch s(c.dir, QStringLiteral("Obsah.txt"), c.cache);
    if (!s.prepare()) {
        state.SkipWithError("no index");
        return;
    }
    const QStringList queries{
        QStringLiteral("subor"),
        QStringLiteral("klaves"),
        QStringLiteral("kôň"),
        QStringLiteral("priecinok kos"),
        QStringLiteral("lekcia 517"),
        QStringLiteral("ucitel heslo"),
        QStringLiteral("s"),
        QStringLiteral("obrazovka sip"),
        QStringLiteral("STĹPEC tabuľka"),
        QStringLiteral("prehliadac"),
        QStringLiteral("dolezity odsek"),
        QStringLiteral("lekcia"),
        QStringLiteral("zebra"),
        QStringLiteral("myš \"kliknut"),
        QStringLiteral("premenovat subor disk"),
    };
    std::vector<double> times;
    qsizetype i = 0;
    qsizetype found = 0;
    for (auto _ : state) {
        const double t0 = threadCpuSeconds();
        const QList<TextHit> hits = s.search(queries.at(i++ % queries.size()));
        times.push_back(threadCpuSeconds() - t0);
        found += hits.size();
        benchmark::DoNotOptimize(hits.constData());
    }
    if (found == 0)
        state.SkipWithError("no query found anything");
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? -1 : times[times.size() / 2] * 1e3;
    state.counters["max_ms"] = times.empty() ? -1 : times.back() * 1e3;
}
BENCHMARK(BM_TextQuery)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
