// The exercise parser on rich text (through the RTF reader) or on plain
// lines. The first byte picks which. Every non-empty line belongs to exactly
// one exercise, in order, and a run of answers scores within bounds.
#include "content/exercises.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"

#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

using namespace orbino;

namespace {

void checkSplit(const QStringList& lines, const QList<Exercise>& exercises) {
    int last = 0;
    int number = 0;
    for (const Exercise& ex : exercises) {
        if (ex.number != ++number || ex.lines.isEmpty())
            std::abort();
        for (const int n : ex.lines) {
            if (n <= last || n > lines.size())
                std::abort();
            for (int skipped = last + 1; skipped < n; ++skipped)
                if (!lines.at(skipped - 1).trimmed().isEmpty())
                    std::abort();
            if (lines.at(n - 1).trimmed().isEmpty())
                std::abort();
            last = n;
        }
        if (ex.endLine != ex.lines.last())
            std::abort();
        if (ex.pointsLine != 0 && ex.pointsLine != ex.endLine)
            std::abort();
        if (ex.points < 0 || ex.points > 9 || (!ex.hasPoints && ex.points != 0))
            std::abort();
    }
    for (int n = last + 1; n <= lines.size(); ++n)
        if (!lines.at(n - 1).trimmed().isEmpty())
            std::abort();
}

void runTest(const QList<Exercise>& exercises) {
    ExerciseTest test(exercises);
    bool solved = true;
    while (!test.finished()) {
        test.answer(solved);
        solved = !solved;
    }
    if (test.score() < 0 || test.score() > 9 * exercises.size())
        std::abort();
    (void)pointsColumn(exercises, test.pointsTexts());
    (void)verdictFor(test.score());
    (void)scoreLineFor(test.score());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    if (data[0] & 1) {
        const QStringList lines = splitLines1250(input);
        const QList<Exercise> exercises = splitExercises(lines);
        checkSplit(lines, exercises);
        for (const Exercise& ex : exercises)
            (void)pointsLineParts(lines.at(ex.endLine - 1));
        runTest(exercises);
        return 0;
    }
    // Reused from input to input, as the exercise window reuses its own: the
    // reader and the rendering start each time afresh.
    static QTextDocument doc;
    static QTextDocument shown;
    readRtf(input, doc);
    const QList<TextLine> textLines = documentLines(doc);
    QStringList lines;
    for (const TextLine& l : textLines) {
        if (l.start > l.end || l.end > doc.characterCount())
            std::abort();
        lines << l.text;
    }
    const QList<Exercise> exercises = splitExercises(lines);
    checkSplit(lines, exercises);
    for (const Exercise& ex : exercises.mid(0, 8)) // each is rendered alike: a few suffice
        renderExercise(doc, textLines, ex, shown);
    runTest(exercises);
    return 0;
}
