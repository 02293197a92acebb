// Lesson text blocks: reading a content list's description block and
// rewriting it. The input is a file and, after the first NUL byte, the new
// block text. Rewriting and reading again must give back the text and keep
// every line outside the block, also through the bytes written to disk.
#include "content/lesson_text.h"
#include "platform/errors.h"
#include "platform/textfile.h"

#include <cstdint>
#include <cstdlib>

using namespace orbino;

namespace {

// How the text reads back: a line that is exactly ">" is written as "> ".
QStringList asWritten(const QStringList& text) {
    QStringList out;
    for (const QString& l : text)
        out << (l == QLatin1String(">") ? QStringLiteral("> ") : l);
    return out;
}

void checkRewrite(const QStringList& lines, const QStringList& text, const QStringList& rewritten) {
    const BlockSpan before = findBlock(lines);
    const qsizetype keptHead = before.found() ? before.first : lines.size();
    const QStringList tail = before.found() ? lines.mid(before.last + 1) : QStringList();
    if (rewritten.mid(0, keptHead) != lines.mid(0, keptHead))
        std::abort();
    if (text.isEmpty()) {
        if (rewritten != lines.mid(0, keptHead) + tail)
            std::abort();
        return;
    }
    const BlockSpan after = findBlock(rewritten);
    if (after.first != keptHead)
        std::abort();
    if (blockText(rewritten, after) != asWritten(text))
        std::abort();
    if (rewritten.mid(after.last + 1) != tail)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray all(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype nul = all.indexOf('\0');
    const QStringList lines = splitLines1250(nul < 0 ? all : all.left(nul));
    const QStringList text = nul < 0 ? descriptionText(lines) : splitLines1250(all.mid(nul + 1));

    (void)linesOutsideBlocks(lines);
    qsizetype from = 0;
    for (;;) {
        const BlockSpan b = findBlock(lines, from);
        if (!b.found())
            break;
        if (b.first < from || b.last < b.first || b.last >= lines.size())
            std::abort();
        (void)blockText(lines, b);
        from = b.last + 1;
    }

    const QStringList rewritten = replaceFirstBlock(lines, text);
    checkRewrite(lines, text, rewritten);

    // The same through the bytes that go to disk.
    try {
        const QByteArray bytes = encodeLines(rewritten, QStringLiteral("fuzz.txt"));
        if (splitLines1250(bytes) != rewritten)
            std::abort();
    } catch (const FileError&) {
        // A character Windows-1250 lacks is refused, never written as "?".
    }
    return 0;
}
