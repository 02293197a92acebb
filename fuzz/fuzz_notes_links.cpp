// The learner's notes and own links, read back from the learner's folder:
// any bytes in their place read as lines without line ends; what is saved
// again reads back as saved (the non-empty links; the note's lines).
#include "platform/errors.h"
#include "platform/textfile.h"
#include "tools/links.h"
#include "tools/notes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace orbino;

namespace {

// Memory-backed when the system has it: the saves flush to disk each time.
QString scratchFolder() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/orbino-fuzz-XXXXXX")
                                 : QDir::tempPath() + "/orbino-fuzz-XXXXXX");
    if (!dir.isValid())
        std::abort();
    return dir.path() + QLatin1Char('/');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString folder = scratchFolder();
    static const QString stored = folder + QStringLiteral("02._deň.txt");
    static const QString links = folder + QStringLiteral("02.htm");
    static const QString note = folder + QStringLiteral("subory.txt");
    {
        QFile f(stored);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    const QStringList lines = readNote(stored);
    if (readLinks(stored) != lines)
        std::abort();
    for (const QString& l : lines)
        if (l.contains(QLatin1Char('\r')) || l.contains(QChar(26)))
            std::abort();

    const QStringList offered = nonEmptyLinks(lines);
    try {
        writeLinks(links, lines);
        QStringList expected;
        for (QString l : offered)
            expected << l.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (readLinks(links) != expected)
            std::abort();
    } catch (const FileError&) {
        // A character Windows-1250 lacks: refused, the file left as it was.
    }

    const QString text = lines.join(QLatin1Char('\n'));
    try {
        if (saveNote(note, text)) {
            if (readNote(note) != textLines(text))
                std::abort();
        }
    } catch (const FileError&) {
    }
    return 0;
}
