// Forty configuration lookups (what one screen costs) against a 2,000-line
// CONFIG.TXT, beside simply reading that file forty times.
#include "app/app_state.h"
#include "course_generator.h"
#include "platform/textfile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace orbino;

namespace {
const char* kKeys[] = {
    "NAME",         "EDUCATION",           "BUTTON NOTES",       "HTTP",           "MY HTTP",
    "MENU OWNSELF", "MENU NOTES",          "MENU HTTP",          "MENU COPY",      "MENU HELP",
    "MENU EDIT",    "MENU HELPS",          "MENU TREE",          "MENU EDIT MEMO", "MEMO INFO",
    "MENU END",     "BACK BUTTON CAPTION", "END BUTTON CAPTION", "WINDOW CAPTION", "COLOR TITLE"};

struct Fixture {
    QTemporaryDir dir;
    Fixture() { bench::writeLargeConfig(dir.path() + "/CONFIG.TXT", 2000); }
};
Fixture& fixture() {
    static Fixture f;
    return f;
}
} // namespace

static void BM_Lookup40(benchmark::State& state) {
    AppState st;
    st.programFolder = fixture().dir.path() + "/";
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i)
            benchmark::DoNotOptimize(
                st.CitajKonfig(QString::fromLatin1(kKeys[i % 20]), QStringLiteral("x")));
    }
}
BENCHMARK(BM_Lookup40)->Unit(benchmark::kMicrosecond);

static void BM_ReadFile40(benchmark::State& state) {
    const QString path = fixture().dir.path() + "/CONFIG.TXT";
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i)
            benchmark::DoNotOptimize(readFileBytes(path));
    }
}
BENCHMARK(BM_ReadFile40)->Unit(benchmark::kMicrosecond);

// One lookup in a CONFIG.TXT of "x*" and the key text repeated: every
// occurrence is a candidate on one long line. Per byte the cost must stay
// the same from 128 KB to 4 MB (it grew with the size: 1 MB took 10 s).
static void BM_HostileLookup(benchmark::State& state) {
    const QByteArray key = "MENU END";
    QByteArray data = "x*";
    while (data.size() < state.range(0))
        data += "*" + key;
    for (auto _ : state)
        benchmark::DoNotOptimize(findConfigLine(data, key));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_HostileLookup)->Arg(128 << 10)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
