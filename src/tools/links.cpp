#include "tools/links.h"

#include "app/app_state.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "tools/notes.h"

namespace orbino {

QString htmName(const QString& base) {
    const qsizetype dot = base.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return base + QStringLiteral(".htm");
    return base.left(dot + 1) + QStringLiteral("htm");
}

QString linksFileNameFor(const AppState& st, int level) {
    return htmName(ownFilesBaseFor(st, level));
}

QStringList readLinks(const QString& path) {
    // Anything else in its place (a folder) is reported, not taken as no links.
    if (!pathExists(path))
        return {};
    return readLines(path);
}

QStringList nonEmptyLinks(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        if (!l.isEmpty())
            out << l;
    return out;
}

std::optional<QStringList> ownLinksOf(const AppState& st, int level) {
    const QString path = st.tempFolder + linksFileNameFor(st, level);
    if (!isFile(path))
        return std::nullopt;
    return nonEmptyLinks(readLines(path));
}

void writeLinks(const QString& path, const QStringList& entries) {
    QStringList lines;
    for (QString e : nonEmptyLinks(entries)) {
        // A line break would split the address in two on reading, and byte 26
        // would end the file there: neither belongs in an address.
        for (QChar& c : e)
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 26)
                c = QLatin1Char(' ');
        lines << e;
    }
    writeLines(path, lines);
}

} // namespace orbino
