// The class overview of a large class: 500 learners' folders, each with a
// progress file of 40 tests (two attempts each) and 200 lesson visits, read
// and turned into the table and its CSV.
#include "course_generator.h"
#include "measure.h"
#include "tools/class_report.h"
#include "tools/progress.h"
#include "tools/work_export.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace orbino;
using orbino::bench::peakMegabytes;

namespace {

constexpr int kLearners = 500;
constexpr int kTests = 40;

struct ClassFolder {
    QTemporaryDir tmp;
    QString dir;
    QList<OutlineLesson> outline;
    ClassFolder() {
        dir = tmp.path() + QStringLiteral("/trieda/");
        outline = bench::writeClassFolder(dir, kLearners, kTests);
    }
};

ClassFolder& classFolder() {
    static std::unique_ptr<ClassFolder> c = std::make_unique<ClassFolder>();
    return *c;
}

void BM_ClassReport500x40(benchmark::State& state) {
    ClassFolder& c = classFolder();
    for (auto _ : state) {
        const ClassReport r = buildClassReport(c.dir, QStringLiteral("Kurz"), c.outline);
        if (r.learners.size() != kLearners || r.tests.size() != kTests) {
            state.SkipWithError("wrong table");
            return;
        }
        benchmark::DoNotOptimize(classReportCsv(r));
    }
}
BENCHMARK(BM_ClassReport500x40)->Unit(benchmark::kMillisecond);

// The peak resident memory from here on: earlier benchmarks' peaks do not count.
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
        std::perror("bench file");
        std::abort();
    }
}

// A day of 20,000 content lists, each inside the one before: the export of
// the learner's work lists every one with its way from the day's start.
// This took 2 GB and ended in std::bad_alloc when every way was kept whole.
void BM_ExportChain20000(benchmark::State& state) {
    constexpr int kLists = 20000;
    QTemporaryDir tmp;
    const QString prog = tmp.path() + QStringLiteral("/kurz/");
    const QString day = prog + QStringLiteral("01._den/");
    const QString learner = tmp.path() + QStringLiteral("/ziak/");
    QDir().mkpath(day);
    QDir().mkpath(learner);
    writeBytes(prog + QStringLiteral("CONFIG.TXT"), "*NAME*Chain\r\n");
    writeBytes(day + QStringLiteral("Obsah.txt"), "[a] l1.txt\r\n");
    for (int n = 1; n <= kLists; ++n)
        writeBytes(
            day + QStringLiteral("l%1.txt").arg(n),
            QStringLiteral("[pic%1] m%1.bmp\r\n[next%1] l%2.txt\r\n").arg(n).arg(n + 1).toLatin1());
    resetPeak();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray page = exportWorkHtml(prog, learner, QStringLiteral("Obsah.txt"),
                                               QDateTime::currentDateTime(), QStringLiteral("Ema"));
        bytes = page.size();
        benchmark::DoNotOptimize(page);
    }
    state.counters["page_MB"] = double(bytes) / (1024 * 1024);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ExportChain20000)->Unit(benchmark::kMillisecond)->Iterations(2);

// 20 learners, each with a progress file of 16 MiB of test lines: read line
// by line, keeping only each test's last and best score. This took 1.39 GB
// when every file was read whole.
void BM_ClassReportLargeFiles(benchmark::State& state) {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/trieda/");
    QByteArray chunk;
    for (int n = 0; n < 10000; ++n)
        chunk += "T\t01._den\ttest" + QByteArray::number(n % 100) + ".txt\t" +
                 QByteArray::number(n % 6) + "\t5\t2026-03-09T10:15:30\r\n";
    for (int l = 0; l < 20; ++l) {
        const QString folder = dir + QStringLiteral("z%1/").arg(l);
        QDir().mkpath(folder);
        QFile f(folder + QStringLiteral("#postup.txt"));
        if (!f.open(QIODevice::WriteOnly) || f.write("C\tKurz\r\n") < 0) {
            std::perror("progress file");
            std::abort();
        }
        while (f.size() < 16 * 1024 * 1024)
            f.write(chunk);
    }
    resetPeak();
    for (auto _ : state) {
        const ClassReport r = buildClassReport(dir, QStringLiteral("Kurz"), {});
        if (r.started() != 20 || r.tests.size() != 100) {
            state.SkipWithError("wrong table");
            return;
        }
        benchmark::DoNotOptimize(classReportCsv(r));
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ClassReportLargeFiles)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
