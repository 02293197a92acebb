#include "tools/class_report.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "screens/screen_rules.h"

#include <QCollator>
#include <QHash>

#include <algorithm>

namespace orbino {

namespace {

QString key(const QString& day, const QString& list) {
    return day.toLower() + QLatin1Char('\t') + list.toLower();
}

QString csvField(QString s) {
    if (!s.isEmpty() && QStringLiteral("=+-@\t\r").contains(s.front()))
        s.prepend(QLatin1Char('\''));
    if (s.contains(QLatin1Char(';')) || s.contains(QLatin1Char('"')) ||
        s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s != s.trimmed()) {
        s.replace(QLatin1String("\""), QLatin1String("\"\""));
        s = QLatin1Char('"') + s + QLatin1Char('"');
    }
    return s;
}

// What the table needs of one test in one learner's file.
struct Summary {
    QString day, list;
    int last = 0, best = 0, lastMaximum = 0;
    qint64 lastWhen = 0; // yyyyMMddHHmmss, local time: compares as the times do
};

qint64 whenNumber(const QDateTime& when) {
    const QDateTime t = when.toLocalTime();
    const QDate d = t.date();
    const QTime c = t.time();
    return ((qint64(d.year()) * 100 + d.month()) * 100 + d.day()) * 1000000 +
           (c.hour() * 100 + c.minute()) * 100 + c.second();
}

// Digits only, at most nine of them; -1 otherwise.
qint64 digitsValue(QByteArrayView s) {
    if (s.isEmpty() || s.size() > 9)
        return -1;
    qint64 v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// A T line in the form the program writes it, read without making strings
// of it: a class overview reads millions of them. Anything else goes the
// general way.
struct FastTest {
    QByteArrayView day, list;
    int score = 0, maximum = 0;
    qint64 when = 0;
};
std::optional<FastTest> fastTestLine(QByteArrayView raw) {
    QByteArrayView f[6];
    qsizetype start = 0;
    for (int i = 0; i < 6; ++i) {
        const qsizetype tab = raw.indexOf('\t', start);
        if ((tab < 0) != (i == 5))
            return std::nullopt;
        f[i] = raw.sliced(start, (tab < 0 ? raw.size() : tab) - start);
        start = tab + 1;
    }
    const qint64 score = digitsValue(f[3]), maximum = digitsValue(f[4]);
    const QByteArrayView w = f[5];
    if (f[0] != "T" || f[1].isEmpty() || f[2].isEmpty() || score < 0 || maximum < 0 ||
        score > maximum || w.size() != 19 || w[4] != '-' || w[7] != '-' || w[10] != 'T' ||
        w[13] != ':' || w[16] != ':')
        return std::nullopt;
    const qint64 y = digitsValue(w.sliced(0, 4)), mo = digitsValue(w.sliced(5, 2)),
                 d = digitsValue(w.sliced(8, 2)), h = digitsValue(w.sliced(11, 2)),
                 mi = digitsValue(w.sliced(14, 2)), se = digitsValue(w.sliced(17, 2));
    if (!QDate(int(y), int(mo), int(d)).isValid() || !QTime(int(h), int(mi), int(se)).isValid())
        return std::nullopt;
    return FastTest{f[1], f[2], int(score), int(maximum),
                    ((y * 100 + mo) * 100 + d) * 1000000 + (h * 100 + mi) * 100 + se};
}

// One learner's file read line by line: only each test's last and best
// score are kept, however long the file.
QHash<QString, Summary> summarize(const QString& path, const QHash<QString, int>& courseTests) {
    QHash<QString, Summary> out;
    QHash<QByteArray, QString> keyOf; // "day<TAB>list" as written -> key()
    int outside = 0;
    // `names` gives the day and the list, made only for a test's first line.
    auto add = [&](const QString& k, auto&& names, int score, int maximum, qint64 when) {
        auto it = out.find(k);
        if (it == out.end()) {
            if (!courseTests.contains(k) && ++outside > kMaxTestsOutsideCourse)
                return;
            const auto [day, list] = names();
            out.insert(k, Summary{day, list, score, score, maximum, when});
            return;
        }
        if (when >= it->lastWhen) {
            it->last = score;
            it->lastMaximum = maximum;
            it->lastWhen = when;
        }
        it->best = std::max(it->best, score);
    };
    forEachProgressLine(path, 4096, [&](QByteArrayView raw, bool whole) {
        if (!whole || !raw.startsWith("T\t"))
            return true;
        if (const auto t = fastTestLine(raw)) {
            const QByteArrayView both = raw.sliced(2, t->day.size() + 1 + t->list.size());
            auto k = keyOf.constFind(both.toByteArray());
            if (k == keyOf.cend()) {
                if (keyOf.size() > 4 * kMaxTestsOutsideCourse + courseTests.size())
                    keyOf.clear(); // a file of endless names: remember only some
                k = keyOf.insert(both.toByteArray(), key(decode1250(t->day), decode1250(t->list)));
            }
            add(
                *k,
                [&] {
                    return std::pair{decode1250(t->day), decode1250(t->list)};
                },
                t->score, t->maximum, t->when);
            return true;
        }
        const ProgressLine l = parseProgressLine(raw);
        if (l.kind == 'T')
            add(
                key(l.test.day, l.test.list),
                [&] {
                    return std::pair{l.test.day, l.test.list};
                },
                l.test.score, l.test.maximum, whenNumber(l.test.when));
        return true;
    });
    return out;
}

// The learners' folders of the class, in the order a Slovak reader expects.
QStringList learnerFolders(const QString& root, const QCollator& collator) {
    QStringList folders;
    for (const DirEntry& e : listFolder(root))
        if (e.isDir && !e.hidden)
            folders << e.name;
    std::sort(folders.begin(), folders.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return folders;
}

// What one learner's folder gave.
struct Taken {
    QString name;
    QString note; // empty when the learner has this course's progress
    QHash<QString, Summary> tests;
};

// The learner's file of this course, summarized; or the note saying why
// there is none, with the report's lists told of it.
Taken readLearner(const QString& root, const QString& name, const QHash<QString, int>& orderOf,
                  ClassReport& r) {
    const QString dir = root + name + QLatin1Char('/');
    const QStringList files = progressFilesIn(dir);
    if (files.isEmpty()) {
        r.withoutProgress << name;
        return Taken{name, QStringLiteral("ešte nezačal"), {}};
    }
    QStringList others, failed;
    for (const QString& f : files) {
        try {
            const std::optional<QString> owner = progressCourseOf(dir + f);
            if (owner && *owner != r.course) {
                others << *owner;
                continue;
            }
            return Taken{name, {}, summarize(dir + f, orderOf)};
        } catch (const FileError& e) {
            r.unreadable << e.message();
            failed << f;
        }
    }
    if (!others.isEmpty()) {
        r.otherCourse << QStringLiteral("%1 (%2)").arg(name, others.join(QStringLiteral(", ")));
        return Taken{
            name, QStringLiteral("iný kurz: %1").arg(others.join(QStringLiteral(", "))), {}};
    }
    return Taken{
        name,
        QStringLiteral("postup sa nedá prečítať: %1").arg(failed.join(QStringLiteral(", "))),
        {}};
}

// Columns: the course's tests in course order, then any others found. Gives
// each test's column by its key.
QHash<QString, int> makeColumns(const QList<Taken>& taken, const QList<OutlineLesson>& outline,
                                const QHash<QString, int>& orderOf, const QCollator& collator,
                                ClassReport& r) {
    QHash<QString, QString> captionOf;
    for (const OutlineLesson& l : outline) {
        const QString k = key(l.day, l.list);
        if (!captionOf.contains(k))
            captionOf.insert(k, l.path());
    }
    struct Found {
        QString day, list;
        qint64 latest = 0;
        int maximum = 0;
    };
    QHash<QString, Found> found;
    for (const Taken& t : taken)
        for (auto a = t.tests.cbegin(); a != t.tests.cend(); ++a) {
            Found& f = found[a.key()];
            if (f.day.isEmpty() || a->lastWhen >= f.latest) {
                f.day = a->day;
                f.list = a->list;
                f.latest = a->lastWhen;
                f.maximum = a->lastMaximum;
            }
        }
    QStringList keys = found.keys();
    std::sort(keys.begin(), keys.end(), [&](const QString& a, const QString& b) {
        const int oa = orderOf.value(a, INT_MAX), ob = orderOf.value(b, INT_MAX);
        if (oa != ob)
            return oa < ob;
        return collator.compare(a, b) < 0;
    });
    QHash<QString, int> column;
    for (const QString& k : keys) {
        const Found& f = found.value(k);
        column.insert(k, int(r.tests.size()));
        r.tests << ClassTest{
            f.day, f.list,
            captionOf.value(k, dayCaption(f.day).trimmed() + QStringLiteral(" › ") + f.list),
            f.maximum};
    }
    return column;
}

QString number(const std::optional<int>& v) {
    return v ? QString::number(*v) : QString();
}

} // namespace

int ClassReport::started() const {
    return int(std::count_if(learners.begin(), learners.end(),
                             [](const LearnerScores& l) { return l.started(); }));
}

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
    QCollator collator(QLocale(QLocale::Slovak, QLocale::Slovakia));
    collator.setNumericMode(true);
    const QStringList folders = learnerFolders(root, collator);

    // Course tests first: their columns are known before any file is read.
    QHash<QString, int> orderOf;
    for (int i = 0; i < outline.size(); ++i)
        if (const QString k = key(outline.at(i).day, outline.at(i).list); !orderOf.contains(k))
            orderOf.insert(k, i);

    QList<Taken> taken;
    const int total = int(folders.size());
    for (int i = 0; i < total; ++i) {
        if (report && (i % 16 == 0) && !report(i, total)) {
            r.cancelled = true;
            return r;
        }
        taken << readLearner(root, folders.at(i), orderOf, r);
    }
    if (report)
        report(total, total);

    const QHash<QString, int> column = makeColumns(taken, outline, orderOf, collator, r);
    for (const Taken& t : taken) {
        LearnerScores s;
        s.name = t.name;
        s.note = t.note;
        s.last.resize(r.tests.size());
        s.best.resize(r.tests.size());
        for (auto a = t.tests.cbegin(); a != t.tests.cend(); ++a) {
            const int c = column.value(a.key());
            s.last[c] = a->last;
            s.best[c] = a->best;
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
    head << QStringLiteral("Poznámka");
    lines << head.join(QLatin1Char(';'));
    for (const LearnerScores& l : r.learners) {
        QStringList row{csvField(l.name)};
        for (int c = 0; c < r.tests.size(); ++c)
            row << number(l.last.value(c)) << number(l.best.value(c));
        row << csvField(l.note);
        lines << row.join(QLatin1Char(';'));
    }
    QByteArray out("\xEF\xBB\xBF");
    for (const QString& line : lines)
        out += line.toUtf8() + "\r\n";
    return out;
}

QString classReportText(const ClassReport& r) {
    QString out;
    for (int c = 0; c < r.tests.size(); ++c)
        out += QStringLiteral("T%1 = %2 (najviac %3)\n")
                   .arg(c + 1)
                   .arg(r.tests.at(c).caption)
                   .arg(r.tests.at(c).maximum);
    QList<QStringList> rows;
    QStringList head{QStringLiteral("Žiak")};
    for (int c = 0; c < r.tests.size(); ++c)
        head << QStringLiteral("T%1 posl.").arg(c + 1) << QStringLiteral("T%1 najl.").arg(c + 1);
    head << QStringLiteral("Poznámka");
    rows << head;
    for (const LearnerScores& l : r.learners) {
        QStringList row{l.name};
        for (int c = 0; c < r.tests.size(); ++c)
            row << number(l.last.value(c)) << number(l.best.value(c));
        row << l.note;
        rows << row;
    }
    QList<qsizetype> width(head.size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], row.at(c).size());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row.at(c).leftJustified(width[c] + 2) : row.at(c);
        out += line.trimmed() + QLatin1Char('\n');
    }
    return out;
}

} // namespace orbino
