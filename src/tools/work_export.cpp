#include "tools/work_export.h"

#include "content/launcher.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "screens/screen_rules.h"
#include "tools/links.h"
#include "tools/notes.h"
#include "tree/lesson_tree.h"

#include <QHash>

#include <algorithm>

namespace orbino {

namespace {

QString esc(const QString& s) {
    return s.toHtmlEscaped();
}

// Only addresses a browser opens safely become links; anything else (a
// "javascript:" line included) stays text.
QString linkTarget(const QString& line) {
    const QString t = line.trimmed();
    for (const char* scheme : {"http://", "https://", "ftp://", "mailto:"})
        if (t.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return t;
    if (t.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QStringLiteral("http://") + t;
    return {};
}

constexpr char kStyle[] =
    R"(body{font-family:Arial,"Liberation Sans",sans-serif;font-size:11pt;margin:2em;color:#111}
h1{font-size:18pt;margin-bottom:.2em}
h2{font-size:14pt;border-bottom:1px solid #888;margin-top:1.5em;page-break-after:avoid}
.lesson{margin:.6em 0 .6em 1em;page-break-inside:avoid}
.path{font-weight:bold}
.read{color:#1a6b1a}.unread{color:#777}
.note{white-space:pre-wrap;font-family:inherit;background:#f4f4f0;border-left:3px solid #aaa;padding:.4em .6em;margin:.3em 0}
ul{margin:.2em 0}
.meta{color:#555;font-size:9pt}
@media print{body{margin:0;font-size:10pt}.note{background:none}a{color:#000}}
)";

struct OwnWork {
    QStringList note;
    QString noteError;
    QStringList links;
    QString linksError;
};

OwnWork ownWork(const QString& folder, const QString& day, const QString& list,
                const QString& root) {
    OwnWork w;
    try {
        w.note = readNote(folder + notesFileNameOf(day, list, root));
    } catch (const FileError& e) {
        w.noteError = e.message();
    }
    try {
        w.links = nonEmptyLinks(readLinks(folder + htmName(ownFilesBaseOf(day, list, root))));
    } catch (const FileError& e) {
        w.linksError = e.message();
    }
    while (!w.note.isEmpty() && w.note.last().trimmed().isEmpty())
        w.note.removeLast();
    return w;
}

void writeOwnWork(QString& h, const OwnWork& w) {
    if (!w.note.isEmpty())
        h += QStringLiteral("<div class=\"note\">%1</div>\n")
                 .arg(esc(w.note.join(QLatin1Char('\n'))));
    if (!w.noteError.isEmpty())
        h += QStringLiteral("<p class=\"meta\">Poznámka sa nedá prečítať: %1</p>\n")
                 .arg(esc(w.noteError));
    if (!w.links.isEmpty()) {
        h += QStringLiteral("<p>Vlastné odkazy:</p>\n<ul>\n");
        for (const QString& l : w.links) {
            const QString target = linkTarget(l);
            if (target.isEmpty())
                h += QStringLiteral("<li>%1</li>\n").arg(esc(l));
            else
                h += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n").arg(esc(target), esc(l));
        }
        h += QStringLiteral("</ul>\n");
    }
    if (!w.linksError.isEmpty())
        h += QStringLiteral("<p class=\"meta\">Odkazy sa nedajú prečítať: %1</p>\n")
                 .arg(esc(w.linksError));
}

QString scoreText(const TestAttempt& t) {
    return QStringLiteral("%1 z %2 %3 – %4")
        .arg(t.score)
        .arg(t.maximum)
        .arg(t.maximum == 1 ? QStringLiteral("bodu") : QStringLiteral("bodov"),
             progressDateText(t.when));
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QList<OutlineLesson> dayOutline(const QString& programFolder, const QString& dayFolder,
                                const QString& rootList) {
    QList<OutlineLesson> out;
    const QString dir = programFolder + dayFolder + QLatin1Char('/');
    if (!isFile(dir + rootList))
        return out;
    const QString caption = dayCaption(dayFolder).trimmed();
    const LessonTree tree = buildLessonTree(dir, rootList, caption);
    // A list named from several places is taken where it is nearest the
    // day's first screen (the first such place when there are several), and
    // stands where that place comes in the course.
    QHash<QString, int> chosen; // list, lower case -> node
    int skipBelow = -1;         // depth of a teacher's item whose subtree is left out
    for (int i = 0; i < tree.size(); ++i) {
        const TreeNode& n = tree.nodes[size_t(i)];
        if (skipBelow >= 0 && n.depth > skipBelow)
            continue;
        skipBelow = -1;
        if (i > 0 && gateFor(n.caption, false, false) == Gate::Teacher) {
            skipBelow = n.depth;
            continue;
        }
        const QString list = i == 0 ? rootList : n.target.section(QLatin1Char(' '), 0, 0);
        if (!list.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) || !isFile(dir + list))
            continue;
        const QString key = list.toLower();
        const auto it = chosen.constFind(key);
        if (it == chosen.cend() || tree.nodes[size_t(*it)].depth > n.depth)
            chosen.insert(key, i);
    }
    QList<int> nodes = chosen.values();
    std::sort(nodes.begin(), nodes.end());
    for (int i : nodes) {
        const TreeNode& n = tree.nodes[size_t(i)];
        OutlineLesson l;
        l.day = dayFolder;
        l.dayCaption = caption;
        l.list = i == 0 ? rootList : n.target.section(QLatin1Char(' '), 0, 0);
        if (i > 0)
            l.captions = tree.captionsTo(i);
        l.test = i > 0 && isTestYourself(n.caption);
        out << l;
    }
    return out;
}

QList<OutlineLesson> courseOutline(const QString& programFolder, const QString& rootList) {
    QList<OutlineLesson> out;
    for (const DayFolder& d : listDayFolders(programFolder).days)
        out += dayOutline(programFolder, d.folder, rootList);
    return out;
}

int readCount(const QList<OutlineLesson>& lessons, const ProgressFile& progress) {
    int n = 0;
    for (const OutlineLesson& l : lessons)
        if (progress.wasRead(l.day, l.list))
            ++n;
    return n;
}

QByteArray exportWorkHtml(const QString& programFolder, const QString& learnerFolder,
                          const QString& rootList, const QDateTime& now) {
    const QString course = courseIdentity(programFolder);
    const ProgressFile progress = readProgress(learnerFolder, course);
    const QList<OutlineLesson> outline = courseOutline(programFolder, rootList);
    const QList<TestAttempt> tests = progress.tests();

    QString h;
    h += QStringLiteral("<!DOCTYPE html>\n<html lang=\"sk\">\n<head>\n<meta charset=\"utf-8\">\n");
    h += QStringLiteral("<title>Moja práca – %1</title>\n<style>\n%2</style>\n</head>\n<body>\n")
             .arg(esc(course), QLatin1String(kStyle));
    h += QStringLiteral("<h1>%1</h1>\n<p class=\"meta\">Moja práca, stav k %2. Prečítané lekcie: "
                        "%3 z %4.</p>\n")
             .arg(esc(course), esc(progressDateText(now)))
             .arg(readCount(outline, progress))
             .arg(outline.size());

    const OwnWork main = ownWork(learnerFolder, QString(), QString(), rootList);
    if (!main.note.isEmpty() || !main.links.isEmpty() || !main.noteError.isEmpty() ||
        !main.linksError.isEmpty()) {
        h += QStringLiteral("<h2>Hlavná obrazovka</h2>\n<div class=\"lesson\">\n");
        writeOwnWork(h, main);
        h += QStringLiteral("</div>\n");
    }

    QString day;
    for (const OutlineLesson& l : outline) {
        if (l.day != day) {
            day = l.day;
            h += QStringLiteral("<h2>%1</h2>\n").arg(esc(l.dayCaption));
        }
        QStringList path{l.dayCaption};
        path += l.captions;
        h += QStringLiteral("<div class=\"lesson\">\n<div class=\"path\">%1</div>\n")
                 .arg(esc(path.join(QStringLiteral(" › "))));
        bool read = false;
        for (const Visit& v : progress.visits())
            if (same(v.day, l.day) && same(v.list, l.list)) {
                h += QStringLiteral("<div class=\"read\">✓ Prečítané (naposledy %1)</div>\n")
                         .arg(esc(progressDateText(v.when)));
                read = true;
                break;
            }
        if (!read)
            h += QStringLiteral("<div class=\"unread\">Neprečítané</div>\n");
        QStringList scores;
        for (const TestAttempt& t : tests)
            if (same(t.day, l.day) && same(t.list, l.list))
                scores << QStringLiteral("<li>%1</li>").arg(esc(scoreText(t)));
        if (!scores.isEmpty())
            h += QStringLiteral("<p>Test:</p>\n<ul>\n%1\n</ul>\n")
                     .arg(scores.join(QLatin1Char('\n')));
        writeOwnWork(h, ownWork(learnerFolder, l.day, l.list, rootList));
        h += QStringLiteral("</div>\n");
    }

    // Records of screens the course no longer has (or reached another way).
    QStringList other;
    auto inOutline = [&](const QString& d, const QString& list) {
        return std::any_of(outline.begin(), outline.end(), [&](const OutlineLesson& l) {
            return same(l.day, d) && same(l.list, list);
        });
    };
    for (const Visit& v : progress.visits())
        if (!inOutline(v.day, v.list))
            other << QStringLiteral("<li>%1 › %2: prečítané %3</li>")
                         .arg(esc(v.day), esc(v.list), esc(progressDateText(v.when)));
    for (const TestAttempt& t : tests)
        if (!inOutline(t.day, t.list))
            other << QStringLiteral("<li>%1 › %2: test %3</li>")
                         .arg(esc(t.day), esc(t.list), esc(scoreText(t)));
    if (!other.isEmpty())
        h += QStringLiteral("<h2>Ďalšie záznamy</h2>\n<ul>\n%1\n</ul>\n")
                 .arg(other.join(QLatin1Char('\n')));
    h += QStringLiteral("</body>\n</html>\n");
    return h.toUtf8();
}

void exportWork(const QString& programFolder, const QString& learnerFolder, const QString& rootList,
                const QString& target) {
    writeFileAtomic(target, exportWorkHtml(programFolder, learnerFolder, rootList,
                                           QDateTime::currentDateTime()));
}

} // namespace orbino
