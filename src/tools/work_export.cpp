#include "tools/work_export.h"

#include "app/course_finder.h"
#include "content/launcher.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "screens/screen_rules.h"
#include "tools/links.h"
#include "tools/notes.h"
#include "tree/lesson_tree.h"

#include <QHash>
#include <QSet>
#include <QSettings>

#include <algorithm>
#include <vector>

#include <pwd.h>
#include <unistd.h>

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
.who{float:right;text-align:right;margin:0}.name{font-size:14pt;font-weight:bold}
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

QString lessonKey(const QString& day, const QString& list) {
    return day.toLower() + QLatin1Char('\t') + list.toLower();
}

const QString kLearnerNameKey = QStringLiteral("export/learnerName");

// Records of screens outside the learner's lessons shown on the page.
constexpr qsizetype kMaxOtherRecords = 1000;

} // namespace

QString OutlineLesson::path() const {
    QStringList all{dayCaption};
    all += captions;
    return all.join(QStringLiteral(" › "));
}

QList<OutlineLesson> dayOutline(const QString& programFolder, const QString& dayFolder,
                                const QString& rootList) {
    QList<OutlineLesson> out;
    const QString dir = programFolder + dayFolder + QLatin1Char('/');
    if (!isFile(dir + rootList))
        return out;
    const QString caption = dayCaption(dayFolder).trimmed();
    const LessonTree tree = buildLessonTree(dir, rootList, caption);
    const int size = tree.size();
    // Per node, kept as plain numbers so a long chain of lists costs no more
    // than the tree itself: whether a learner can get there, and the first
    // item on the way (the start of the printed way).
    std::vector<char> blocked(size_t(size), 0);
    std::vector<int> first(size_t(size), 0);
    // A list named from several places is taken where it is nearest the
    // day's first screen (the first such place when there are several), and
    // stands where that place comes in the course; a place the learner can
    // open goes before any other.
    QHash<QString, int> chosen;  // list, lower case -> node
    QHash<QString, bool> exists; // list, lower case -> is a file in the day
    for (int i = 0; i < size; ++i) {
        const TreeNode& n = tree.nodes[size_t(i)];
        if (i > 0) {
            const int parent = n.parent;
            first[size_t(i)] = n.depth == 1 ? i : first[size_t(parent)];
            // No button is made for an item without a caption; the teacher's
            // items open only behind the teacher's password.
            blocked[size_t(i)] = blocked[size_t(parent)] || n.caption.isEmpty() ||
                                 gateFor(n.caption, false, false) == Gate::Teacher;
        }
        const QString list = i == 0 ? rootList : n.target.section(QLatin1Char(' '), 0, 0);
        if (!list.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            continue;
        const QString key = list.toLower();
        auto known = exists.constFind(key);
        if (known == exists.cend())
            known = exists.insert(key, isFile(dir + list));
        if (!*known)
            continue;
        const auto it = chosen.constFind(key);
        if (it == chosen.cend()) {
            chosen.insert(key, i);
            continue;
        }
        const TreeNode& was = tree.nodes[size_t(*it)];
        const bool open = !blocked[size_t(i)], wasOpen = !blocked[size_t(*it)];
        if ((open && !wasOpen) || (open == wasOpen && n.depth < was.depth))
            chosen.insert(key, i);
    }
    QList<int> nodes = chosen.values();
    std::sort(nodes.begin(), nodes.end());
    auto shortCaption = [](const QString& c) {
        const QString t = c.trimmed();
        return t.size() <= kMaxPathCaptionChars ? t
                                                : t.left(kMaxPathCaptionChars - 1) + QChar(0x2026);
    };
    for (int i : nodes) {
        const TreeNode& n = tree.nodes[size_t(i)];
        OutlineLesson l;
        l.day = dayFolder;
        l.dayCaption = caption;
        l.list = i == 0 ? rootList : n.target.section(QLatin1Char(' '), 0, 0);
        if (i > 0) {
            // The last captions up the parent links; the first item of the
            // way, then "…", when the way is longer.
            const int tail = n.depth <= kMaxPathCaptions ? n.depth : kMaxPathCaptions - 2;
            int k = i;
            for (int step = 0; step < tail; ++step, k = tree.nodes[size_t(k)].parent)
                l.captions.prepend(shortCaption(tree.nodes[size_t(k)].caption));
            if (tail < n.depth)
                l.captions = QStringList{shortCaption(tree.nodes[size_t(first[size_t(i)])].caption),
                                         QString(QChar(0x2026))} +
                             l.captions;
        }
        l.test = i > 0 && isTestYourself(n.caption);
        l.openable = !blocked[size_t(i)];
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

int openableCount(const QList<OutlineLesson>& lessons) {
    return int(std::count_if(lessons.begin(), lessons.end(),
                             [](const OutlineLesson& l) { return l.openable; }));
}

int readCount(const QList<OutlineLesson>& lessons, const ProgressFile& progress) {
    return readCount(lessons, progress.visits());
}

int readCount(const QList<OutlineLesson>& lessons, const QList<Visit>& visits) {
    // Keyed by the lessons, not the record: a long record costs no memory.
    QSet<QString> open;
    for (const OutlineLesson& l : lessons)
        if (l.openable)
            open.insert(lessonKey(l.day, l.list));
    QSet<QString> read;
    for (const Visit& v : visits)
        if (const QString k = lessonKey(v.day, v.list); open.contains(k))
            read.insert(k);
    return int(read.size());
}

QString accountName() {
    QString name;
    if (const passwd* pw = ::getpwuid(::getuid())) {
        if (pw->pw_gecos)
            name = QString::fromLocal8Bit(pw->pw_gecos).section(QLatin1Char(','), 0, 0).trimmed();
        if (name.isEmpty() && pw->pw_name)
            name = QString::fromLocal8Bit(pw->pw_name);
    }
    if (name.isEmpty())
        name = qEnvironmentVariable("USER");
    return name;
}

QString learnerName() {
    const QSettings settings(courseSettingsFile(), QSettings::IniFormat);
    const QString kept = settings.value(kLearnerNameKey).toString().trimmed();
    return kept.isEmpty() ? accountName() : kept;
}

void rememberLearnerName(const QString& name) {
    QSettings settings(courseSettingsFile(), QSettings::IniFormat);
    settings.setValue(kLearnerNameKey, name.trimmed());
    settings.sync(); // a settings file that cannot be written only costs the memory
}

namespace {

// What the page is made from, looked up by lesson, so a long course or a
// long record costs no more than reading each once.
struct ExportRecords {
    QList<OutlineLesson> outline;
    QList<Visit> visits;
    QList<TestAttempt> tests;
    QHash<QString, const OutlineLesson*> lessonOf;
    QHash<QString, QDateTime> lastVisit;
    QHash<QString, QStringList> scoresOf;
};

void collectRecords(ExportRecords& r, const ProgressFile& progress) {
    r.visits = progress.visits();
    r.tests = progress.tests();
    for (const OutlineLesson& l : r.outline)
        r.lessonOf.insert(lessonKey(l.day, l.list), &l);
    // Only for the course's lessons: a damaged record of endless other names
    // costs nothing here.
    for (const Visit& v : r.visits)
        if (const QString k = lessonKey(v.day, v.list); r.lessonOf.contains(k)) {
            QDateTime& when = r.lastVisit[k];
            when = std::max(when, v.when);
        }
    for (const TestAttempt& t : r.tests)
        if (const QString k = lessonKey(t.day, t.list); r.lessonOf.contains(k))
            r.scoresOf[k] << scoreText(t);
}

void writeHead(QString& h, const ExportRecords& r, const QString& course, const QString& name,
               const QDateTime& now) {
    h += QStringLiteral("<!DOCTYPE html>\n<html lang=\"sk\">\n<head>\n<meta charset=\"utf-8\">\n");
    h += QStringLiteral("<title>%1</title>\n<style>\n%2</style>\n</head>\n<body>\n")
             .arg(esc(name.isEmpty() ? QStringLiteral("Moja práca – %1").arg(course)
                                     : QStringLiteral("%1 – %2").arg(name, course)),
                  QLatin1String(kStyle));
    const QString date = esc(now.toString(QStringLiteral("d. M. yyyy")));
    if (name.isEmpty())
        h += QStringLiteral("<p class=\"who\">Dátum: %1</p>\n").arg(date);
    else
        h += QStringLiteral("<p class=\"who\"><span class=\"name\">%1</span><br>Dátum: %2</p>\n")
                 .arg(esc(name), date);
    h += QStringLiteral("<h1>%1</h1>\n<p class=\"meta\">Moja práca, stav k %2. Prečítané lekcie: "
                        "%3 z %4.</p>\n")
             .arg(esc(course), esc(progressDateText(now)))
             .arg(readCount(r.outline, r.visits))
             .arg(openableCount(r.outline));
}

// The main screen's own work, then every lesson a learner can open, by day.
void writeLessons(QString& h, const ExportRecords& r, const QString& learnerFolder,
                  const QString& rootList) {
    const OwnWork main = ownWork(learnerFolder, QString(), QString(), rootList);
    if (!main.note.isEmpty() || !main.links.isEmpty() || !main.noteError.isEmpty() ||
        !main.linksError.isEmpty()) {
        h += QStringLiteral("<h2>Hlavná obrazovka</h2>\n<div class=\"lesson\">\n");
        writeOwnWork(h, main);
        h += QStringLiteral("</div>\n");
    }

    QString day;
    for (const OutlineLesson& l : r.outline) {
        if (!l.openable)
            continue;
        if (l.day != day) {
            day = l.day;
            h += QStringLiteral("<h2>%1</h2>\n").arg(esc(l.dayCaption));
        }
        const QString key = lessonKey(l.day, l.list);
        h += QStringLiteral("<div class=\"lesson\">\n<div class=\"path\">%1</div>\n")
                 .arg(esc(l.path()));
        if (const auto v = r.lastVisit.constFind(key); v != r.lastVisit.cend())
            h += QStringLiteral("<div class=\"read\">✓ Prečítané (naposledy %1)</div>\n")
                     .arg(esc(progressDateText(*v)));
        else
            h += QStringLiteral("<div class=\"unread\">Neprečítané</div>\n");
        if (const auto t = r.scoresOf.constFind(key); t != r.scoresOf.cend()) {
            QStringList items;
            for (const QString& s : *t)
                items << QStringLiteral("<li>%1</li>").arg(esc(s));
            h += QStringLiteral("<p>Test:</p>\n<ul>\n%1\n</ul>\n")
                     .arg(items.join(QLatin1Char('\n')));
        }
        writeOwnWork(h, ownWork(learnerFolder, l.day, l.list, rootList));
        h += QStringLiteral("</div>\n");
    }
}

void writeOtherRecords(QString& h, const ExportRecords& r) {
    // Records of screens without a learner's button (the teacher's), of
    // screens the course no longer has, or reached another way: by caption
    // where the course still names them.
    auto placeOf = [&](const QString& d, const QString& list) {
        if (const OutlineLesson* l = r.lessonOf.value(lessonKey(d, list)))
            return l->path();
        return dayCaption(d).trimmed() + QStringLiteral(" › ") + list;
    };
    auto shownAbove = [&](const QString& d, const QString& list) {
        const OutlineLesson* l = r.lessonOf.value(lessonKey(d, list));
        return l && l->openable;
    };
    // A damaged file could hold millions: the page shows a bounded number.
    QStringList other;
    qsizetype more = 0;
    auto addOther = [&](const QString& item) {
        if (other.size() < kMaxOtherRecords)
            other << item;
        else
            ++more;
    };
    for (const Visit& v : r.visits)
        if (!shownAbove(v.day, v.list))
            addOther(QStringLiteral("<li>%1: prečítané %2</li>")
                         .arg(esc(placeOf(v.day, v.list)), esc(progressDateText(v.when))));
    for (const TestAttempt& t : r.tests)
        if (!shownAbove(t.day, t.list))
            addOther(QStringLiteral("<li>%1: test %2</li>")
                         .arg(esc(placeOf(t.day, t.list)), esc(scoreText(t))));
    if (more > 0)
        other << QStringLiteral("<li>… a ďalšie záznamy (%1)</li>").arg(more);
    if (!other.isEmpty())
        h += QStringLiteral("<h2>Ďalšie záznamy</h2>\n<ul>\n%1\n</ul>\n")
                 .arg(other.join(QLatin1Char('\n')));
}

} // namespace

QByteArray exportWorkHtml(const QString& programFolder, const QString& learnerFolder,
                          const QString& rootList, const QDateTime& now, const QString& learner) {
    const QString course = courseIdentity(programFolder);
    const ProgressFile progress = readProgress(learnerFolder, course);
    ExportRecords r;
    r.outline = courseOutline(programFolder, rootList);
    collectRecords(r, progress);
    QString h;
    writeHead(h, r, course, learner.trimmed(), now);
    writeLessons(h, r, learnerFolder, rootList);
    writeOtherRecords(h, r);
    h += QStringLiteral("</body>\n</html>\n");
    return h.toUtf8();
}

void exportWork(const QString& programFolder, const QString& learnerFolder, const QString& rootList,
                const QString& target, const QString& learner) {
    writeFileAtomic(target, exportWorkHtml(programFolder, learnerFolder, rootList,
                                           QDateTime::currentDateTime(), learner));
}

} // namespace orbino
