#include "tree/search_cli.h"

#include "tree/text_search.h"

#include <QDir>
#include <QTextStream>

namespace orbino {

namespace {

// Tabs and line ends would break the columns of a line.
QString oneLine(const QString& s) {
    QString out = s;
    for (QChar& c : out)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return out;
}

} // namespace

int runTextSearchCli(const QStringList& args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    auto usage = [&](const QString& problem) {
        err << "orbino --search-text: " << problem << "\n"
            << "Použitie: orbino --search-text SLOVÁ... [--course PRIEČINOK]\n"
               "Vypíše miesta kurzu, kde sa v texte nachádzajú všetky slová (veľkosť písmen a "
               "diakritika\n"
               "sa nerozlišujú, posledné slovo môže byť začiatkom slova), a skončí kódom 0, ak "
               "niečo\n"
               "našlo, 1, ak nie.\n";
        return 2;
    };
    QStringList words;
    QString courseDir;
    bool options = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a == QLatin1String("--course")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("za --course chýba priečinok kurzu"));
            courseDir = args.at(++i);
        } else if (options && a.startsWith(QLatin1String("--"))) {
            return usage(QStringLiteral("neznáma voľba %1").arg(a));
        } else {
            words << a;
        }
    }
    if (words.isEmpty())
        return usage(QStringLiteral("chýbajú slová, ktoré treba hľadať"));
    if (!courseDir.isEmpty() && !QDir::setCurrent(courseDir)) {
        err << "orbino --search-text: priečinok kurzu " << courseDir
            << " neexistuje alebo sa nedá otvoriť\n";
        return 2;
    }

    const QString course = QDir::currentPath();
    TextSearch search(course, courseRootList(course));
    const bool ready = search.prepare();
    if (!search.problem().isEmpty())
        err << "orbino --search-text: " << search.problem() << '\n';
    if (!ready)
        return 2;
    const QList<TextHit> hits = search.search(words.join(QLatin1Char(' ')), 100000);
    for (const TextHit& h : hits)
        out << oneLine(h.captionPath) << '\t' << oneLine(h.file) << '\t'
            << oneLine(plainSnippet(h.snippet)) << '\n';
    out.flush();
    return hits.isEmpty() ? 1 : 0;
}

} // namespace orbino
