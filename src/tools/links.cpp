#include "tools/links.h"

#include "app/app_state.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "tools/notes.h"

#include <QUrl>

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

LinkTarget linkTarget(const QString& entry) {
    const QString text = entry.trimmed();
    if (text.isEmpty())
        return {};
    QString address = text;
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address = QStringLiteral("http://") + text;
    const qsizetype colon = address.indexOf(QLatin1Char(':'));
    const QString scheme = colon > 0 ? address.left(colon).toLower() : QString();
    const QString rest = colon > 0 ? address.mid(colon + 1) : QString();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                     scheme == QLatin1String("ftp");
    // A web address needs a host after "//"; a mail address someone to write to.
    bool ok = false;
    if (web && rest.startsWith(QLatin1String("//"))) {
        const QUrl url(scheme + QLatin1Char(':') + rest, QUrl::StrictMode);
        ok = url.isValid() && !url.host().isEmpty();
    } else if (scheme == QLatin1String("mailto")) {
        ok = !rest.isEmpty() && !rest.startsWith(QLatin1Char('/'));
    }
    // Control characters never belong in an address handed to another program.
    for (const QChar c : address)
        if (c.unicode() < 32 || c.unicode() == 127)
            ok = false;
    if (!ok) {
        // A line of any length may stand in a list; the message shows its start.
        const QString shown = text.size() > 200 ? text.left(200) + QChar(0x2026) : text;
        return {QString(), QStringLiteral("Odkaz „%1“ sa neotvorí: otvárajú sa iba "
                                          "adresy http, https, ftp a mailto.")
                               .arg(shown)};
    }
    return {scheme + QLatin1Char(':') + rest, QString()};
}

} // namespace orbino
