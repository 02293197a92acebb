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
#include <QSqlDatabase>
#include <QSqlQuery>
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

// A warm query of 50 hits with their snippets, against SQLite's own
// snippet() on the same index through the same driver: the two take turns,
// query after query, and each side's median CPU time per query is reported
// (counters "orbino_ms" and "peer_ms").
void BM_TextQueryVsPeer(benchmark::State& state) {
    Course& c = course();
    TextSearch s(c.dir, QStringLiteral("Obsah.txt"), c.cache);
    if (!s.prepare()) {
        state.SkipWithError("no index");
        return;
    }
    const QStringList queries{QStringLiteral("subor"), QStringLiteral("klaves"),
                              QStringLiteral("priecinok kos"), QStringLiteral("obrazovka sip"),
                              QStringLiteral("lekcia")};
    std::vector<double> ours, peer;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peer"));
        db.setDatabaseName(s.indexFile());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            state.SkipWithError("the peer cannot open the index");
            return;
        }
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT captionPath, file, snippet(texts, 0, char(1), char(2), "
                                 "'…', 12) FROM texts WHERE texts MATCH ? ORDER BY rank LIMIT 50"));
        qsizetype i = 0, found = 0;
        for (auto _ : state) {
            const QString text = queries.at(i++ % queries.size());
            double t0 = threadCpuSeconds();
            const QList<TextHit> hits = s.search(text, 50);
            ours.push_back(threadCpuSeconds() - t0);
            found += hits.size();
            t0 = threadCpuSeconds();
            q.addBindValue(ftsQuery(text));
            int rows = 0;
            if (q.exec())
                while (q.next())
                    rows += q.value(2).toString().isEmpty() ? 0 : 1;
            q.finish();
            peer.push_back(threadCpuSeconds() - t0);
            benchmark::DoNotOptimize(rows);
        }
        if (found == 0)
            state.SkipWithError("no query found anything");
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peer"));
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? -1 : v[v.size() / 2] * 1e3;
    };
    state.counters["orbino_ms"] = median(ours);
    state.counters["peer_ms"] = median(peer);
}
BENCHMARK(BM_TextQueryVsPeer)->Iterations(60)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
