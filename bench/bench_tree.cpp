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
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
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
            root += "[Zoznam " + QByteArray::number(i) + "] zoznam" + QByteArray::number(i) +
                    ".txt\r\n";
            QByteArray list = "<Popis zoznamu.>\r\n";
            for (int j = 0; j < kItemsPerList; ++j) {
                const QByteArray n = QByteArray::number(i) + "_" + QByteArray::number(j);
                list += "[Ukazka " + n + "] ukazka" + n + ".scm\r\n";
                writeRaw(d + "UKAZKA" + n + ".SCM", "x");
            }
            writeRaw(d + "Zoznam" + QByteArray::number(i) + ".txt", list);
        }
        writeRaw(d + "Obsah.txt", root);
        // Dated a minute back, as a course is written long before it is
        // read: a folder changed a moment ago is listed again at its next
        // use, in case it is still changing.
        struct timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 60, 0}};
        if (::utimensat(AT_FDCWD, d.constData(), times, 0) != 0) {
            std::perror(d.constData());
            std::abort();
        }
    }
};

Course& course() {
    static std::unique_ptr<Course> c = std::make_unique<Course>();
    return *c;
}

LessonTree& builtTree() {
    static LessonTree t =
        buildLessonTree(course().dir, QStringLiteral("Obsah.txt"), QStringLiteral("1. den"));
    return t;
}

// Timed with the folder's listing already cached, as every build after the
// first finds it (the first is BM_TreeBuildColdListing). Built once before:
// a build takes longer than the shortest run, so the one timed build would
// otherwise be the first.
void BM_TreeBuild(benchmark::State& state) {
    const QString dir = course().dir;
    buildLessonTree(dir, QStringLiteral("Obsah.txt"), QStringLiteral("1. den"));
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
        IntegrityReport r =
            checkIntegrity(t, course().dir, QStringLiteral("01._den"), QStringLiteral("zacykleny"));
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

namespace {

// A chain of 20,000 lists, each naming one missing picture and the next
// list, and (`back`) the first list again. Built and checked whole: this
// took 29 s and 4.8 GB, and with the links back ran out of memory.
struct Chain {
    QTemporaryDir tmp;
    QString dir;
    explicit Chain(bool back) {
        dir = tmp.path() + QStringLiteral("/");
        const QByteArray d = QFile::encodeName(dir);
        auto name = [](int i) {
            return i == 0 ? QByteArray("Obsah.txt") : "l" + QByteArray::number(i) + ".txt";
        };
        for (int i = 0; i < 20000; ++i) {
            QByteArray list = "[obr]p" + QByteArray::number(i) + ".bmp\r\n";
            if (i + 1 < 20000)
                list += "[k]" + name(i + 1) + "\r\n";
            if (back)
                list += "[spat]Obsah.txt\r\n";
            writeRaw(d + name(i), list);
        }
    }
};

void BM_ChainCheck(benchmark::State& state) {
    static Chain plain(false), back(true);
    const Chain& c = state.range(0) ? back : plain;
    qsizetype chars = 0;
    for (auto _ : state) {
        const LessonTree t =
            buildLessonTree(c.dir, QStringLiteral("Obsah.txt"), QStringLiteral("01"));
        const IntegrityReport r =
            checkIntegrity(t, c.dir, QStringLiteral("01"), QStringLiteral("x"));
        chars = 0;
        for (const QString& l : r.lines)
            chars += l.size();
        benchmark::DoNotOptimize(chars);
    }
    state.counters["report_chars"] = double(chars);
}
BENCHMARK(BM_ChainCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
