// Reading and writing a 1 MB formatted lesson. Goals: reading at 20 MB/s or
// more, writing at 40 MB/s or more (bytes of RTF per second).
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"

#include <QColor>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

// A lesson as teachers write them: Slovak paragraphs with a bold or coloured
// word here and there, a numbered exercise with a tab, and a foreign word
// outside Windows-1250 now and then. Grown until its RTF reaches `bytes`.
void buildLesson(QTextDocument& doc, qsizetype bytes) {
    QTextCharFormat normal;
    normal.setFontFamilies({QStringLiteral("Arial")});
    normal.setFontPointSize(10);
    QTextCharFormat bold = normal;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red = normal;
    red.setForeground(QColor(200, 0, 0));
    QTextCharFormat title = bold;
    title.setFontPointSize(14);
    title.setFontUnderline(true);

    QTextCursor c(&doc);
    int paragraph = 0;
    qsizetype estimate = 0;
    while (estimate < bytes) {
        if (paragraph > 0)
            c.insertBlock();
        if (paragraph % 10 == 0) {
            c.insertText(QStringLiteral("Kapitola %1: Úprava dokumentu").arg(paragraph / 10),
                         title);
        } else {
            c.insertText(QStringLiteral("Žiak si otvorí súbor a v ponuke Formát vyberie "), normal);
            c.insertText(QStringLiteral("Písmo"), bold);
            c.insertText(QStringLiteral("; potom zmení veľkosť, farbu a štýl textu podľa "
                                        "vzoru. "),
                         normal);
            c.insertText(QStringLiteral("Pozor:"), red);
            c.insertText(QStringLiteral(" zmeny sa uložia až tlačidlom Uložiť (Ελληνικά). "
                                        "%1. úloha\t2 body")
                             .arg(paragraph % 9 + 1),
                         normal);
        }
        estimate = doc.characterCount() * 7 / 4; // about what the RTF of these paragraphs takes
        ++paragraph;
    }
}

const QTextDocument& lesson() {
    static QTextDocument* doc = [] {
        auto* d = new QTextDocument;
        buildLesson(*d, 1 << 20);
        return d;
    }();
    return *doc;
}

void BM_ReadRtf(benchmark::State& state) {
    const QByteArray data = orbino::writeRtf(lesson());
    for (auto _ : state) {
        QTextDocument doc;
        orbino::readRtf(data, doc);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * data.size());
    state.counters["rtf_bytes"] = static_cast<double>(data.size());
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);

// The same lesson read for its plain text alone, as the full-text index
// reads it.
void BM_ReadRtfPlain(benchmark::State& state) {
    const QByteArray data = orbino::writeRtf(lesson());
    for (auto _ : state)
        benchmark::DoNotOptimize(orbino::readRtfPlainText(data));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_ReadRtfPlain)->Unit(benchmark::kMillisecond);

void BM_WriteRtf(benchmark::State& state) {
    const QTextDocument& doc = lesson();
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray out = orbino::writeRtf(doc);
        size = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["rtf_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
