#include "tools/class_report.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QCollator>
#include <QHash>

#include <algorithm>

namespace orbino {

namespace {

QString key(const QString& day, const QString& list) {
    return day.toLower() + QLatin1Char('\t') + list.toLower();
}

QString csvField(QString s) {
    if (!s.isEmpty() && QStringLiteral("=+-@").contains(s.front()))
        s.prepend(QLatin1Char('\''));
    if (s.contains(QLatin1Char(';')) || s.contains(QLatin1Char('"')) ||
        s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s != s.trimmed()) {
        s.replace(QLatin1String("\""), QLatin1String("\"\""));
        s = QLatin1Char('"') + s + QLatin1Char('"');
    }
    return s;
}

QString number(const std::optional<int>& v) {
    return v ? QString::number(*v) : QString();
}

} // namespace

std::optional<double> ClassReport::average(int t) const {
    int n = 0;
    double sum = 0;
    for (const LearnerScores& l : learners)
        if (t < l.last.size() && l.last.at(t)) {
            sum += *l.last.at(t);
            ++n;
        }
    if (n == 0)
        return std::nullopt;
    return sum / n;
}

ClassReport buildClassReport(const QString& classFolder, const QString& course,
                             const QList<OutlineLesson>& outline,
                             const std::function<bool(int, int)>& report) {
    ClassReport r;
    r.course = course.trimmed();
    QString root = classFolder;
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    if (!isDir(root))
        throw FileError(classFolder, QStringLiteral("priečinok neexistuje"));

    QStringList folders;
    for (const DirEntry& e : listFolder(root))
        if (e.isDir && !e.hidden)
            folders << e.name;
    QCollator collator(QLocale(QLocale::Slovak, QLocale::Slovakia));
    collator.setNumericMode(true);
    std::sort(folders.begin(), folders.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });

    struct Taken {
        QString name;
        QList<TestAttempt> tests;
    };
    QList<Taken> taken;
    const int total = int(folders.size());
    for (int i = 0; i < total; ++i) {
        if (report && (i % 16 == 0) && !report(i, total)) {
            r.cancelled = true;
            return r;
        }
        const QString& name = folders.at(i);
        const QString dir = root + name + QLatin1Char('/');
        const QStringList files = progressFilesIn(dir);
        if (files.isEmpty()) {
            r.withoutProgress << name;
            continue;
        }
        bool found = false;
        QStringList others;
        for (const QString& f : files) {
            try {
                const ProgressFile p = ProgressFile::parse(readFileBytes(dir + f));
                if (p.hasCourseLine() && p.course() != r.course) {
                    others << p.course();
                    continue;
                }
                taken << Taken{name, p.tests()};
                found = true;
                break;
            } catch (const FileError& e) {
                r.unreadable << e.message();
            }
        }
        if (!found && !others.isEmpty())
            r.otherCourse << QStringLiteral("%1 (%2)").arg(name, others.join(QStringLiteral(", ")));
    }
    if (report)
        report(total, total);

    // Columns: the course's tests in course order, then any others found.
    QHash<QString, int> column;
    QHash<QString, QString> captionOf;
    QHash<QString, int> orderOf;
    for (int i = 0; i < outline.size(); ++i) {
        const OutlineLesson& l = outline.at(i);
        const QString k = key(l.day, l.list);
        if (orderOf.contains(k))
            continue;
        orderOf.insert(k, i);
        QStringList path{l.dayCaption};
        path += l.captions;
        captionOf.insert(k, path.join(QStringLiteral(" › ")));
    }
    struct Found {
        QString day, list;
        QDateTime latest;
        int maximum = 0;
    };
    QHash<QString, Found> found;
    for (const Taken& t : taken)
        for (const TestAttempt& a : t.tests) {
            Found& f = found[key(a.day, a.list)];
            if (f.day.isEmpty() || a.when >= f.latest) {
                f.day = a.day;
                f.list = a.list;
                f.latest = a.when;
                f.maximum = a.maximum;
            }
        }
    QStringList keys = found.keys();
    std::sort(keys.begin(), keys.end(), [&](const QString& a, const QString& b) {
        const int oa = orderOf.value(a, INT_MAX), ob = orderOf.value(b, INT_MAX);
        if (oa != ob)
            return oa < ob;
        return collator.compare(a, b) < 0;
    });
    for (const QString& k : keys) {
        const Found& f = found.value(k);
        column.insert(k, int(r.tests.size()));
        r.tests << ClassTest{f.day, f.list,
                             captionOf.value(k, f.day + QStringLiteral(" › ") + f.list), f.maximum};
    }

    for (const Taken& t : taken) {
        LearnerScores s;
        s.name = t.name;
        s.last.resize(r.tests.size());
        s.best.resize(r.tests.size());
        QList<QDateTime> lastWhen(r.tests.size());
        for (const TestAttempt& a : t.tests) {
            const int c = column.value(key(a.day, a.list));
            if (!s.last[c] || a.when >= lastWhen[c]) {
                s.last[c] = a.score;
                lastWhen[c] = a.when;
            }
            if (!s.best[c] || a.score > *s.best[c])
                s.best[c] = a.score;
        }
        r.learners << s;
    }
    return r;
}

QByteArray classReportCsv(const ClassReport& r) {
    QStringList lines;
    QStringList head{QStringLiteral("Žiak")};
    for (const ClassTest& t : r.tests) {
        head << csvField(QStringLiteral("%1 – posledný (z %2)").arg(t.caption).arg(t.maximum));
        head << csvField(QStringLiteral("%1 – najlepší").arg(t.caption));
    }
    lines << head.join(QLatin1Char(';'));
    for (const LearnerScores& l : r.learners) {
        QStringList row{csvField(l.name)};
        for (int c = 0; c < r.tests.size(); ++c)
            row << number(l.last.value(c)) << number(l.best.value(c));
        lines << row.join(QLatin1Char(';'));
    }
    QByteArray out("\xEF\xBB\xBF");
    for (const QString& line : lines)
        out += line.toUtf8() + "\r\n";
    return out;
}

} // namespace orbino
