#include "screens/content_list.h"

#include "platform/errors.h"
#include "platform/textfile.h"

namespace orbino {

namespace {

bool isItemOrLink(const QString& line) {
    return line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1String("//"));
}

bool touchesGt(const QString& line) {
    return line.startsWith(QLatin1Char('>')) || line.endsWith(QLatin1Char('>'));
}

} // namespace

ContentList parseContentList(const QStringList& lines) {
    ContentList c;
    int i = 1;
    qsizetype n = 0;
    const qsizetype total = lines.size();
    auto store = [&c](int slot, const QString& text) {
        if (slot <= kContentSlots)
            c.lines[size_t(slot)] = text;
        else
            ++c.droppedLines;
    };

    while (n < total) {
        const QString line = lines.at(n++);
        if (line.startsWith(QLatin1Char('<')) || isItemOrLink(line))
            c.hasMarkup = true;
        if (line.toUpper().contains(QLatin1String(".BMP")))
            c.backgroundLine = line;
        if (isItemOrLink(line)) {
            store(i++, line);
            continue;
        }
        if (!line.startsWith(QLatin1Char('<')))
            continue;

        // A description block.
        const bool loneOpen = line == QLatin1String("<");
        bool loneMode = false;
        if (loneOpen)
            loneMode = lines.indexOf(QStringLiteral(">"), n) >= 0;
        QString raw = line;
        QString first = line;
        if (loneOpen && n < total) {
            raw = lines.at(n++);
            first = QStringLiteral("<") + raw;
        }
        store(i++, first);
        auto blockOver = [&] {
            if (loneMode)
                return raw == QLatin1String(">");
            return touchesGt(raw);
        };
        bool closedByLoneGt = false;
        while (!blockOver() && n < total) {
            raw = lines.at(n++);
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

ContentList readContentList(const QString& path) {
    const QStringList lines = readLines(path);
    for (qsizetype n = 0; n < lines.size(); ++n)
        if (lines.at(n).size() > kMaxContentLineLength)
            throw FileError(path, QStringLiteral("riadok %1 má %2 znakov, najviac sa dá %3")
                                      .arg(n + 1)
                                      .arg(lines.at(n).size())
                                      .arg(kMaxContentLineLength));
    return parseContentList(lines);
}

ContentItem splitItemLine(const QString& line) {
    ContentItem item;
    const qsizetype close = line.lastIndexOf(QLatin1Char(']'));
    if (close < 0) {
        item.caption = line.mid(1);
        return item;
    }
    item.caption = line.mid(1, close - 1);
    item.reference = line.mid(close + 1).trimmed();
    return item;
}

QString referenceExt(const QString& reference) {
    const qsizetype dot = reference.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : reference.mid(dot + 1, 3);
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

QStringList linkLinesOf(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("//")))
            out << l.mid(2);
    return out;
}

} // namespace orbino
