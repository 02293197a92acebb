#include "content/lesson_text.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbino {

namespace {

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QByteArray folderOf(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    return slash >= 0 ? target.left(slash + 1) : QByteArray("./");
}

QByteArray uniqueName(const QByteArray& dir, const char* tag) {
    return dir + ".orbino-" + tag + "-" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();
}

} // namespace

QString lessonBase(const QString& fileRef) {
    const qsizetype dot = fileRef.indexOf(QLatin1Char('.'));
    return dot < 0 ? fileRef : fileRef.left(dot);
}

QString twinPath(const QString& folder, const QString& fileRef) {
    const QString named = folder + lessonBase(fileRef) + QStringLiteral(".rtf");
    if (pathExists(named))
        return resolvePath(named);
    if (!isFile(folder + fileRef))
        return named;
    return folder + lessonBase(lastComponent(resolvePath(folder + fileRef))) +
           QStringLiteral(".rtf");
}

BlockSpan findBlock(const QStringList& lines, qsizetype from) {
    BlockSpan b;
    qsizetype i = std::max<qsizetype>(from, 0);
    while (i < lines.size() && !lines.at(i).startsWith(QLatin1Char('<')))
        ++i;
    if (i >= lines.size())
        return b;
    b.first = i;
    b.last = lines.size() - 1;
    if (lines.at(i) == QLatin1String("<")) {
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            if (lines.at(j) == QLatin1String(">")) {
                b.last = j;
                break;
            }
        }
    } else {
        for (qsizetype j = i; j < lines.size(); ++j) {
            if (lines.at(j).endsWith(QLatin1Char('>'))) {
                b.last = j;
                break;
            }
        }
    }
    return b;
}

QStringList blockText(const QStringList& lines, const BlockSpan& block) {
    QStringList out;
    if (!block.found())
        return out;
    const bool exact = lines.at(block.first) == QLatin1String("<");
    const bool closed = exact
                            ? lines.at(block.last) == QLatin1String(">") && block.last > block.first
                            : lines.at(block.last).endsWith(QLatin1Char('>'));
    for (qsizetype j = block.first; j <= block.last; ++j) {
        QString line = lines.at(j);
        if (j == block.first) {
            if (exact)
                continue;
            line.remove(0, 1);
        }
        if (j == block.last && closed) {
            if (exact || (line == QLatin1String(">") && j > block.first))
                break;
            line.chop(1);
        }
        out << line;
    }
    return out;
}

QStringList descriptionText(const QStringList& lines) {
    QStringList out;
    qsizetype from = 0;
    for (;;) {
        const BlockSpan b = findBlock(lines, from);
        if (!b.found())
            break;
        out << blockText(lines, b);
        from = b.last + 1;
    }
    return out;
}

QStringList linesOutsideBlocks(const QStringList& lines) {
    QStringList out;
    qsizetype from = 0;
    for (;;) {
        const BlockSpan b = findBlock(lines, from);
        const qsizetype end = b.found() ? b.first : lines.size();
        for (qsizetype i = from; i < end; ++i)
            out << lines.at(i);
        if (!b.found())
            break;
        from = b.last + 1;
    }
    return out;
}

QStringList blockLines(const QStringList& text) {
    QStringList out;
    if (text.isEmpty())
        return out;
    out << QStringLiteral("<");
    for (const QString& line : text)
        out << (line == QLatin1String(">") ? QStringLiteral("> ") : line);
    out << QStringLiteral(">");
    return out;
}

QStringList replaceFirstBlock(const QStringList& lines, const QStringList& text) {
    const BlockSpan b = findBlock(lines);
    if (!b.found())
        return lines + blockLines(text);
    QStringList out = lines.mid(0, b.first);
    out << blockLines(text);
    out << lines.mid(b.last + 1);
    return out;
}

FileSet::~FileSet() {
    for (const Entry& e : m_entries) {
        if (!e.temp.isEmpty())
            ::unlink(e.temp.constData());
        if (!e.old.isEmpty())
            ::unlink(e.old.constData());
    }
}

void FileSet::stage(const QString& path, const QByteArray& data) {
    Entry e;
    e.path = path;
    e.target = resolveNative(path);
    e.temp = writeTempBeside(path, data);
    m_entries.push_back(e); // from here on the destructor removes the temporary
}

void FileSet::commit() {
    // Keep the files being replaced reachable under a second name, so a
    // failure halfway can put them back.
    for (Entry& e : m_entries) {
        struct stat st {};
        if (::lstat(e.target.constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const QByteArray old = uniqueName(folderOf(e.target), "old");
        if (::link(e.target.constData(), old.constData()) != 0)
            throw ReplaceError(e.path, errnoText(errno));
        e.old = old;
    }
    for (size_t k = 0; k < m_entries.size(); ++k) {
        Entry& e = m_entries[k];
        if (::rename(e.temp.constData(), e.target.constData()) == 0) {
            e.temp.clear();
            continue;
        }
        const int err = errno;
        for (size_t j = 0; j < k; ++j) {
            Entry& done = m_entries[j];
            if (!done.old.isEmpty()) {
                if (::rename(done.old.constData(), done.target.constData()) == 0)
                    done.old.clear();
            } else {
                ::unlink(done.target.constData());
            }
        }
        for (const Entry& x : m_entries)
            invalidateListing(QString::fromLocal8Bit(folderOf(x.target)));
        throw ReplaceError(e.path, errnoText(err));
    }
    for (Entry& e : m_entries) {
        if (!e.old.isEmpty())
            ::unlink(e.old.constData());
        e.old.clear();
        invalidateListing(QString::fromLocal8Bit(folderOf(e.target)));
    }
    m_entries.clear();
}

void saveLessonText(const QString& textPath, const QString& rtfPath, const QStringList& text,
                    const QByteArray& rtf) {
    const QStringList lines = readLines(textPath);
    FileSet files;
    files.stage(textPath, encodeLines(replaceFirstBlock(lines, text), textPath));
    files.stage(rtfPath, rtf);
    files.commit();
}

ConfigText uneditableText(AppState& st) {
    return st.configText(keys::Uneditable);
}

QString menuEditMemoText(AppState& st) {
    return st.CitajKonfig(keys::MenuEditMemo);
}

QString menuSaveMemoText(AppState& st) {
    return st.CitajKonfig(keys::MenuSaveMemo);
}

} // namespace orbino
