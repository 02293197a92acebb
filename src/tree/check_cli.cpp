#include "tree/check_cli.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "tree/integrity.h"
#include "tree/lesson_tree.h"

#include <QDir>
#include <QSet>
#include <QTextStream>

#include <algorithm>

namespace orbino {

namespace {

struct Target {
    QString levelFolder; // as shown in the first line
    QString searchDir;
    QString list;
};

// Checks one list; returns the number of problems found (missing files,
// lists or folders that cannot be read, a configuration that cannot be read).
int checkOne(AppState& st, const Target& t, QTextStream& out, QSet<QString>& reported) {
    QTextStream err(stderr);
    int problems = 0;
    // A day's own CONFIG.TXT may reword the texts, as in the window; one that
    // cannot be read is reported and the check goes on with the course's.
    st.levels.startAt(t.levelFolder, QString());
    st.levelConfigActive = !t.levelFolder.isEmpty() && !QDir::isAbsolutePath(t.levelFolder);
    QString allAround;
    try {
        allAround = st.CitajKonfig(keys::AllAround);
    } catch (const FileError& e) {
        if (!reported.contains(e.path())) {
            reported.insert(e.path());
            err << "orbino --check: " << e.message() << '\n';
            ++problems;
        }
        st.levelConfigActive = false;
        try {
            allAround = st.CitajKonfig(keys::AllAround);
        } catch (const FileError& e2) {
            if (!reported.contains(e2.path())) {
                reported.insert(e2.path());
                err << "orbino --check: " << e2.message() << '\n';
                ++problems;
            }
            allAround = keys::AllAround.def.toString();
        }
    }
    const LessonTree tree = buildLessonTree(t.searchDir, t.list, t.levelFolder);
    const IntegrityReport r = checkIntegrity(tree, t.searchDir, t.levelFolder, allAround);
    for (const QString& line : r.lines)
        out << line << '\n';
    out.flush();
    for (const QString& u : tree.unreadable)
        err << "orbino --check: " << u << '\n';
    if (tree.truncated)
        err << "orbino --check: " << t.list
            << ": strom je príliš veľký, skontrolovaných je len prvých " << kMaxTreeNodes
            << " položiek\n";
    err.flush();
    return problems + r.missing + int(tree.unreadable.size());
}

// Where Wine is not installed, the Windows programs the lists name and a
// Windows demonstration player cannot run: the teacher is told which they
// are, relative to the course folder. Only printed when there are some.
void listWindowsProgramsWithoutWine(AppState& st, const std::vector<Target>& targets,
                                    QTextStream& out) {
    if (!wineProgram().isEmpty())
        return;
    QStringList found;
    QSet<QString> seen;
    const auto note = [&](const QString& path) {
        if (seen.contains(path))
            return;
        seen.insert(path);
        if (isFile(path) && classifyFile(path) == FileKind::WindowsProgram)
            found << (path.startsWith(st.programFolder) ? path.mid(st.programFolder.size()) : path);
    };
    for (const Target& t : targets) {
        const LessonTree tree = buildLessonTree(t.searchDir, t.list, t.levelFolder);
        for (int i = 1; i < tree.size(); ++i) {
            const QString name = integrityTestName(tree.nodes[size_t(i)].target);
            if (!name.isEmpty())
                note(resolvePath(t.searchDir + name));
        }
    }
    try {
        st.levelConfigActive = false;
        resolvePlayerFolder(st);
        note(resolvePath(st.playerFolder + QStringLiteral("/SCPLAYER.EXE")));
    } catch (const FileError&) {
        // Already reported with the check's other lines.
    }
    if (found.isEmpty())
        return;
    out << "\nProgramy pre Windows (spustí ich balík wine, ktorý nie je nainštalovaný):\n";
    for (const QString& f : found)
        out << f << '\n';
    out.flush();
}

} // namespace

int runIntegrityCheckCli(const QStringList& args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() > 1 || (args.size() == 1 && args.first().startsWith(QLatin1String("--")))) {
        err << "Použitie: orbino --check [OBSAH]\n"
               "Spustite v priečinku kurzu. Vypíše chýbajúce súbory zadaného zoznamu,\n"
               "alebo prvého zoznamu každého dňa, a skončí kódom 1, ak niečo chýba.\n";
        return 2;
    }
    AppState st;
    st.programFolder = QDir::currentPath();
    if (!st.programFolder.endsWith(QLatin1Char('/')))
        st.programFolder += QLatin1Char('/');

    std::vector<Target> targets;
    QSet<QString> reported; // configuration files already reported as unreadable
    int problems = 0;
    try {
        if (args.size() == 1) {
            const QString given = fromWindowsPath(args.first());
            const qsizetype slash = given.lastIndexOf(QLatin1Char('/'));
            Target t;
            t.list = given.mid(slash + 1);
            QString folder = slash < 0 ? QString() : given.left(slash);
            if (QDir::isAbsolutePath(given)) {
                // Inside the course the first line names the folder as the
                // window does: relative to the program folder.
                if ((folder + QLatin1Char('/')).startsWith(st.programFolder))
                    t.levelFolder =
                        (folder + QLatin1Char('/')).mid(st.programFolder.size()).chopped(1);
                else
                    t.levelFolder = folder.isEmpty() ? QStringLiteral("/") : folder;
                t.searchDir = folder + QLatin1Char('/');
            } else {
                t.levelFolder = folder;
                t.searchDir =
                    st.programFolder + (folder.isEmpty() ? QString() : folder + QLatin1Char('/'));
            }
            targets.push_back(t);
        } else {
            st.levelConfigActive = false;
            QString root;
            try {
                root = st.CitajKonfig(keys::DefaultContent);
            } catch (const FileError& e) {
                // Reported, and the days are checked with the usual list name.
                err << "orbino --check: " << e.message() << '\n';
                reported.insert(e.path());
                ++problems;
                root = keys::DefaultContent.def.toString();
            }
            QList<DirEntry> entries = listFolder(st.programFolder);
            std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
                return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
            });
            for (const DirEntry& e : entries) {
                if (!e.isDir || e.hidden)
                    continue;
                targets.push_back({e.name, st.programFolder + e.name + QLatin1Char('/'), root});
            }
            if (targets.empty()) {
                err << "orbino --check: v priečinku " << st.programFolder
                    << " nie je žiadny deň kurzu\n";
                return 2;
            }
        }
        for (const Target& t : targets)
            problems += checkOne(st, t, out, reported);
        listWindowsProgramsWithoutWine(st, targets, out);
        return problems > 0 ? 1 : 0;
    } catch (const FileError& e) {
        err << "orbino --check: " << e.message() << '\n';
        return 2;
    }
}

} // namespace orbino
