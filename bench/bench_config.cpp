// Forty configuration lookups (what one screen costs) against a 2,000-line
// CONFIG.TXT, beside simply reading that file forty times.
#include "app/app_state.h"
#include "course_generator.h"
#include "platform/textfile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace orbino;

namespace {
const char* kKeys[] = {"NAME", "EDUCATION", "BUTTON NOTES", "HTTP", "MY HTTP", "MENU OWNSELF", "MENU NOTES",
                       "MENU HTTP", "MENU COPY", "MENU HELP", "MENU EDIT", "MENU HELPS", "MENU TREE",
                       "MENU EDIT MEMO", "MEMO INFO", "MENU END", "BACK BUTTON CAPTION", "END BUTTON CAPTION",
                       "WINDOW CAPTION", "COLOR TITLE"};

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
            benchmark::DoNotOptimize(st.CitajKonfig(QString::fromLatin1(kKeys[i % 20]), QStringLiteral("x")));
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

BENCHMARK_MAIN();
