#include "screens/content_list.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QFile>

namespace orbino {

namespace {

bool isItemOrLink(const QString& line) {
    return line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1String("//"));
}

bool touchesGt(const QString& line) {
    return line.startsWith(QLatin1Char('>')) || line.endsWith(QLatin1Char('>'));
}

} // namespace

namespace {

// The parse reads its lines one at a time from a source (`next` leaves its
// argument alone at the end), so a list read from a file never holds more
// than the lines it keeps. `lastLoneGt` is the index of the last line that
// is exactly ">", or -1.
template <typename Source> ContentList parseFrom(Source& src, qsizetype lastLoneGt) {
    ContentList c;
    int i = 1;
    auto store = [&c](int slot, const QString& text) {
        if (slot <= kContentSlots)
            c.lines[size_t(slot)] = text;
        else
            ++c.droppedLines;
    };

    QString line;
    while (src.next(line)) {
        if (line.startsWith(QLatin1Char('<')) || isItemOrLink(line))
            c.hasMarkup = true;
        if (line.contains(QLatin1String(".BMP"), Qt::CaseInsensitive))
            c.backgroundLine = line;
        if (isItemOrLink(line)) {
            store(i++, line);
            continue;
        }
        if (!line.startsWith(QLatin1Char('<')))
            continue;

        // A description block.
        const bool loneOpen = line == QLatin1String("<");
        // A lone ">" further on (the line after this one has index consumed()).
        const bool loneMode = loneOpen && lastLoneGt >= src.consumed();
        QString raw = line;
        QString first = line;
        if (loneOpen && src.next(raw))
            first = QStringLiteral("<") + raw;
        store(i++, first);
        auto blockOver = [&] {
            if (loneMode)
                return raw == QLatin1String(">");
            return touchesGt(raw);
        };
        bool closedByLoneGt = false;
        while (!blockOver() && src.next(raw)) {
            if (raw == QLatin1String(">"))
                closedByLoneGt = true;
            else
                store(i++, raw);
        }
        if (closedByLoneGt && i - 1 <= kContentSlots)
            c.lines[size_t(i - 1)] += QLatin1Char('>');
        if (i - 1 <= kContentSlots)
            c.blockEnd[size_t(i - 1)] = true;
    }
    c.lineCount = i == 1 ? 1 : std::min(i - 1, kContentSlots);
    return c;
}

struct ListSource {
    const QStringList& lines;
    qsizetype n = 0;
    bool next(QString& out) {
        if (n >= lines.size())
            return false;
        out = lines.at(n++);
        return true;
    }
    qsizetype consumed() const { return n; }
};

// Lines straight from a file's bytes, decoded one at a time.
struct ByteSource {
    QByteArrayView data; // the part not read yet
    qsizetype n = 0;
    const QString& path;
    bool next(QString& out) {
        if (data.isEmpty())
            return false;
        const qsizetype cr = data.indexOf('\r');
        const QByteArrayView line = cr < 0 ? data : data.first(cr);
        if (line.size() > kMaxContentLineLength)
            throw FileError(path, QStringLiteral("riadok %1 má %2 znakov, najviac sa dá %3")
                                      .arg(n + 1)
                                      .arg(line.size())
                                      .arg(kMaxContentLineLength));
        out = line.isEmpty() ? QString() : decode1250(line);
        ++n;
        if (cr < 0) {
            data = {};
        } else {
            data = data.sliced(cr + 1);
            if (!data.isEmpty() && data.front() == '\n')
                data = data.sliced(1);
        }
        return true;
    }
    qsizetype consumed() const { return n; }
};

} // namespace

ContentList parseContentList(const QStringList& lines) {
    ListSource src{lines};
    return parseFrom(src, lines.lastIndexOf(QStringLiteral(">")));
}

ContentList readContentList(const QString& path) {
    const QByteArray bytes = readFileBytes(path);
    QByteArrayView data(bytes);
    if (const qsizetype eof = data.indexOf('\x1a'); eof >= 0)
        data = data.first(eof);
    qsizetype lastLoneGt = -1, n = 0;
    forEachRawLine(data, [&](QByteArrayView line) {
        if (line == ">")
            lastLoneGt = n;
        ++n;
        return true;
    });
    ByteSource src{data, 0, path};
    return parseFrom(src, lastLoneGt);
}

ContentItem parseItemLine(const QString& line) {
    ContentItem item;
    if (!line.startsWith(QLatin1Char('[')))
        return item;
    const qsizetype close = line.lastIndexOf(QLatin1Char(']'));
    if (close < 0) {
        item.caption = line.mid(1);
        return item;
    }
    item.valid = true;
    item.caption = line.mid(1, close - 1);
    item.reference = line.mid(close + 1).trimmed();
    return item;
}

QString referenceExt(const QString& reference) {
    const qsizetype dot = reference.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : reference.mid(dot + 1, 3);
}

ItemKind itemKind(const QString& reference) {
    const QString ext = referenceExt(reference).toUpper();
    if (ext == QLatin1String("SCM"))
        return ItemKind::Demonstration;
    if (ext == QLatin1String("TXT"))
        return ItemKind::LessonText;
    if (ext == QLatin1String("BMP"))
        return ItemKind::Picture;
    return ItemKind::ProgramOrDocument;
}

QString twinName(const QString& name, const QString& ext) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return (dot < 0 ? QString() : name.left(dot + 1)) + ext;
}

ScreenContent walkContentList(const ContentList& list) {
    ScreenContent out;
    if (!list.hasMarkup)
        return out;
    int j = 1;
    while (j <= list.lineCount) {
        const QString& s = list.lines[size_t(j)];
        if (s.startsWith(QLatin1Char('<'))) {
            for (;;) {
                const QString& part = list.lines[size_t(j)];
                out.description << (part.startsWith(QLatin1Char('<')) ? part.mid(1) : part);
                const bool end = list.blockEnd[size_t(j)];
                ++j;
                if (end || j > list.lineCount)
                    break;
            }
            // The closing mark goes; a block cut off by the end of the file
            // keeps its last character.
            QString& last = out.description.last();
            if (last.endsWith(QLatin1Char('>')))
                last.chop(1);
        } else if (s.startsWith(QLatin1Char('['))) {
            out.itemSlots << j++;
        } else if (s.startsWith(QLatin1String("//"))) {
            out.links << s.mid(2);
            ++j;
        } else {
            ++j;
        }
    }
    return out;
}

ListOnDisk findList(const QString& folder, const QString& root) {
    if (isFile(folder + root))
        return ListOnDisk::Present;
    if (isFile(folder + twinName(root, QStringLiteral("bak"))))
        return ListOnDisk::OnlyBackup;
    return ListOnDisk::Missing;
}

bool restoreFromBackup(const QString& folder, const QString& root) {
    const QString from = resolvePath(folder + twinName(root, QStringLiteral("bak")));
    const QString to = resolvePath(folder + root);
    const bool moved = QFile::rename(from, to);
    invalidateListing(resolvePath(folder));
    return moved;
}

QStringList linkLinesOf(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("//")))
            out << l.mid(2);
    return out;
}

} // namespace orbino
