// The class overview of a large class: 500 learners' folders, each with a
// progress file of 40 tests (two attempts each) and 200 lesson visits, read
// and turned into the table and its CSV.
#include "tools/class_report.h"
#include "tools/progress.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace orbino;

namespace {

constexpr int kLearners = 500;
constexpr int kTests = 40;

struct ClassFolder {
    QTemporaryDir tmp;
    QString dir;
    QList<OutlineLesson> outline;
    ClassFolder() {
        dir = tmp.path() + QStringLiteral("/trieda/");
        const QDateTime when(QDate(2026, 3, 9), QTime(10, 0));
        for (int t = 0; t < kTests; ++t)
            outline << OutlineLesson{
                QStringLiteral("%1._deň").arg(t / 4 + 1, 2, 10, QLatin1Char('0')),
                QStringLiteral("Deň %1").arg(t / 4 + 1),
                QStringLiteral("test%1.txt").arg(t),
                {QStringLiteral("Vyskúšaj sa")},
                true};
        for (int l = 0; l < kLearners; ++l) {
            ProgressFile p;
            p.setCourse(QStringLiteral("Kurz"));
            for (int v = 0; v < 200; ++v)
                p.recordVisit(outline.at(v % kTests).day, QStringLiteral("lekcia%1.txt").arg(v),
                              when);
            for (int t = 0; t < kTests; ++t)
                for (int a = 0; a < 2; ++a)
                    p.recordTest(outline.at(t).day, outline.at(t).list, (l + t + a) % 6, 5,
                                 when.addSecs(a));
            const QString folder = dir + QStringLiteral("Žiak %1/").arg(l);
            QDir().mkpath(folder);
            QFile f(folder + QStringLiteral("#postup.txt"));
            if (!f.open(QIODevice::WriteOnly) || f.write(p.encode(f.fileName())) < 0) {
                std::perror("progress file");
                std::abort();
            }
        }
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

} // namespace

BENCHMARK_MAIN();
