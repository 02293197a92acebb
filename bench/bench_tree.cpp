// Lesson tree, integrity check and caption search on a large generated
// course: one day folder with 5,000 content lists and 50,000 items, every
// file on disk named in another case than the lists write it.
#include "platform/paths.h"
#include "tree/integrity.h"
#include "tree/lesson_tree.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace orbino;

namespace {

constexpr int kLists = 5000;
constexpr int kItemsPerList = 9; // plus one root item per list: 50,000 items

void writeRaw(const QByteArray& path, const QByteArray& data) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, data.constData(), size_t(data.size())) != data.size()) {
        std::perror(path.constData());
        std::abort();
    }
    ::close(fd);
}

struct Course {
    QTemporaryDir tmp;
    QString dir;
    Course() {
        dir = tmp.path() + QStringLiteral("/01._den/");
        QDir().mkpath(dir);
        const QByteArray d = QFile::encodeName(dir);
        QByteArray root;
        for (int i = 0; i < kLists; ++i) {
            root += "[Zoznam " + QByteArray::number(i) + "] zoznam" + QByteArray::number(i) + ".txt\r\n";
            QByteArray list = "<Popis zoznamu.>\r\n";
            for (int j = 0; j < kItemsPerList; ++j) {
                const QByteArray n = QByteArray::number(i) + "_" + QByteArray::number(j);
                list += "[Ukazka " + n + "] ukazka" + n + ".scm\r\n";
                writeRaw(d + "UKAZKA" + n + ".SCM", "x");
            }
            writeRaw(d + "Zoznam" + QByteArray::number(i) + ".txt", list);
        }
        writeRaw(d + "Obsah.txt", root);
    }
};

Course& course() {
    static std::unique_ptr<Course> c = std::make_unique<Course>();
    return *c;
}

LessonTree& builtTree() {
    static LessonTree t = buildLessonTree(course().dir, QStringLiteral("Obsah.txt"), QStringLiteral("1. den"));
    return t;
}

void BM_TreeBuild(benchmark::State& state) {
    const QString dir = course().dir;
    for (auto _ : state) {
        LessonTree t = buildLessonTree(dir, QStringLiteral("Obsah.txt"), QStringLiteral("1. den"));
        benchmark::DoNotOptimize(t.nodes.data());
        if (t.size() != kLists * (kItemsPerList + 1) + 1)
            state.SkipWithError("wrong tree size");
    }
}
BENCHMARK(BM_TreeBuild)->Unit(benchmark::kMillisecond);

// The first build after the folder listing was dropped: one directory scan
// included.
void BM_TreeBuildColdListing(benchmark::State& state) {
    const QString dir = course().dir;
    for (auto _ : state) {
        invalidateListing(dir);
        LessonTree t = buildLessonTree(dir, QStringLiteral("Obsah.txt"), QStringLiteral("1. den"));
        benchmark::DoNotOptimize(t.nodes.data());
    }
}
BENCHMARK(BM_TreeBuildColdListing)->Unit(benchmark::kMillisecond);

void BM_IntegrityCheck(benchmark::State& state) {
    const LessonTree& t = builtTree();
    for (auto _ : state) {
        IntegrityReport r = checkIntegrity(t, course().dir, QStringLiteral("01._den"), QStringLiteral("zacykleny"));
        if (r.missing != 0)
            state.SkipWithError("files reported missing");
        benchmark::DoNotOptimize(r.lines.data());
    }
}
BENCHMARK(BM_IntegrityCheck)->Unit(benchmark::kMillisecond);

void BM_CaptionSearch(benchmark::State& state) {
    const LessonTree& t = builtTree();
    for (auto _ : state) {
        // A text found nowhere: every node is examined.
        int found = findCaption(t, QStringLiteral("nenájde sa"), 0);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_CaptionSearch)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
