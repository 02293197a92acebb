#include "tools/class_report.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "screens/screen_rules.h"

#include <QCollator>
#include <QHash>

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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
    int slot = -1;     // the test among TestCatalog
    QString day, list; // as the learner's first line of it writes them
    int last = 0, best = 0, lastMaximum = 0;
    qint64 lastWhen = 0; // yyyyMMddHHmmss, local time: compares as the times do
};

// The tests met anywhere in the class, one slot for each (day, list) without
// regard to case. The names as the lines write them are remembered too, so
// the thousands of lines naming the same test are matched by their bytes,
// without decoding or folding them again.
class TestCatalog {
public:
    explicit TestCatalog(const QHash<QString, int>& orderOf) : m_orderOf(orderOf) {}

    // A test as one spelling of it writes it: its slot and its names.
    struct Spelling {
        int slot = -1;
        QString day, list;
    };
    // The spelling written as `both` ("day<TAB>list"), or nullptr.
    const Spelling* ofBytes(QByteArrayView both) const {
        const auto it = m_byBytes.find(std::string_view(both.data(), size_t(both.size())));
        return it == m_byBytes.cend() ? nullptr : &it->second;
    }
    int ofKey(const QString& k) const { return m_byKey.value(k, -1); }
    int add(const QString& k) {
        m_byKey.insert(k, int(m_keys.size()));
        m_keys << k;
        m_inCourse.push_back(m_orderOf.contains(k));
        return int(m_keys.size() - 1);
    }
    // Remembered up to a bound: a class of endless names is only slower.
    void rememberBytes(QByteArrayView both, const Spelling& s) {
        if (m_byBytes.size() < kMaxSpellings)
            m_byBytes.emplace(std::string(both.data(), size_t(both.size())), s);
    }
    bool inCourse(int slot, const QString& k) const {
        return slot >= 0 ? m_inCourse[size_t(slot)] : m_orderOf.contains(k);
    }
    const QString& key(int slot) const { return m_keys.at(slot); }
    int size() const { return int(m_keys.size()); }

private:
    static constexpr size_t kMaxSpellings = 65536;
    // Looked up once for every test line, by the line's own bytes.
    struct BytesHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    const QHash<QString, int>& m_orderOf;
    QHash<QString, int> m_byKey;
    QStringList m_keys;
    std::vector<char> m_inCourse; // by slot
    std::unordered_map<std::string, Spelling, BytesHash, std::equal_to<>> m_byBytes;
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
    if (!QDate::isValid(int(y), int(mo), int(d)) || !QTime::isValid(int(h), int(mi), int(se)))
        return std::nullopt;
    return FastTest{f[1], f[2], int(score), int(maximum),
                    ((y * 100 + mo) * 100 + d) * 1000000 + (h * 100 + mi) * 100 + se};
}

// One learner's file read once, line by line: only each test's last and
// best score are kept, however long the file. Nothing, with `other` set,
// when its C line names another course.
std::vector<Summary> summarize(const QString& path, const QString& course, TestCatalog& catalog,
                               std::optional<QString>& other) {
    std::vector<Summary> out;
    std::vector<int> where; // slot -> index in `out`, or -1
    int outside = 0;
    bool courseSeen = false;
    // The test's entry of this learner; made (and the test's slot with it)
    // only for a test that is kept. `names` gives the day and the list.
    auto entry = [&](int slot, const QString& k, auto&& names) -> Summary* {
        if (slot >= 0 && slot < int(where.size()) && where[size_t(slot)] >= 0)
            return &out[size_t(where[size_t(slot)])];
        if (!catalog.inCourse(slot, k) && ++outside > kMaxTestsOutsideCourse)
            return nullptr;
        if (slot < 0)
            slot = catalog.add(k);
        if (slot >= int(where.size()))
            where.resize(size_t(catalog.size()), -1);
        where[size_t(slot)] = int(out.size());
        const auto [day, list] = names();
        out.push_back(Summary{slot, day, list, -1, -1, 0, -1});
        return &out.back();
    };
    auto add = [](Summary* s, int score, int maximum, qint64 when) {
        if (!s)
            return;
        if (when >= s->lastWhen) {
            s->last = score;
            s->lastMaximum = maximum;
            s->lastWhen = when;
        }
        s->best = std::max(s->best, score);
    };
    // Most lines are neither: their first two bytes are all that is looked at.
    auto kind = [](QByteArrayView raw, char k) {
        return raw.size() >= 2 && raw[0] == k && raw[1] == '\t';
    };
    forEachProgressLine(path, 4096, [&](QByteArrayView raw, bool whole) {
        if (kind(raw, 'C')) {
            if (!whole || courseSeen)
                return true;
            courseSeen = true;
            const QString owner = parseProgressLine(raw).course;
            if (owner == course)
                return true;
            other = owner;
            return false;
        }
        if (!whole || !kind(raw, 'T'))
            return true;
        if (const auto t = fastTestLine(raw)) {
            const QByteArrayView both = raw.sliced(2, t->day.size() + 1 + t->list.size());
            Summary* s = nullptr;
            if (const TestCatalog::Spelling* known = catalog.ofBytes(both)) {
                s = entry(known->slot, catalog.key(known->slot), [&] {
                    return std::pair{known->day, known->list};
                });
            } else {
                TestCatalog::Spelling spelling{-1, decode1250(t->day), decode1250(t->list)};
                const QString k = key(spelling.day, spelling.list);
                s = entry(catalog.ofKey(k), k, [&] {
                    return std::pair{spelling.day, spelling.list};
                });
                if (s) {
                    spelling.slot = s->slot;
                    catalog.rememberBytes(both, spelling);
                }
            }
            add(s, t->score, t->maximum, t->when);
            return true;
        }
        const ProgressLine l = parseProgressLine(raw);
        if (l.kind == 'T') {
            const QString k = key(l.test.day, l.test.list);
            add(entry(catalog.ofKey(k), k,
                      [&] {
                          return std::pair{l.test.day, l.test.list};
                      }),
                l.test.score, l.test.maximum, whenNumber(l.test.when));
        }
        return true;
    });
    if (other)
        return {};
    return out;
}

QString number(const std::optional<int>& v) {
    return v ? QString::number(*v) : QString();
}

// The learners' folders of the class, in the order a Slovak reader expects.
QStringList learnerFolders(const QString& root, const QCollator& collator) {
    std::vector<std::pair<QCollatorSortKey, QString>> folders;
    for (const DirEntry& e : listFolder(root))
        if (e.isDir && !e.hidden)
            folders.emplace_back(collator.sortKey(e.name), e.name);
    // By sort keys, made once: the collator's own comparison is far slower
    // than comparing its keys, and a class has hundreds of folders.
    std::sort(folders.begin(), folders.end(),
              [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList out;
    out.reserve(qsizetype(folders.size()));
    for (auto& f : folders)
        out << std::move(f.second);
    return out;
}

// What one learner's folder gave.
struct Taken {
    QString name;
    QString note; // empty when the learner has this course's progress
    std::vector<Summary> tests;
};

// The learner's file of this course, summarized; or the note saying why
// there is none, with the report's lists told of it.
Taken readLearner(const QString& root, const QString& name, TestCatalog& catalog, ClassReport& r) {
    const QString dir = root + name + QLatin1Char('/');
    const QStringList files = progressFilesIn(dir);
    if (files.isEmpty()) {
        r.withoutProgress << name;
        return Taken{name, QStringLiteral("ešte nezačal"), {}};
    }
    QStringList others, failed;
    for (const QString& f : files) {
        try {
            std::optional<QString> other;
            std::vector<Summary> tests = summarize(dir + f, r.course, catalog, other);
            if (other) {
                others << *other;
                continue;
            }
            return Taken{name, {}, std::move(tests)};
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
// each slot's column (-1 for a slot no learner kept).
std::vector<int> makeColumns(const QList<Taken>& taken, const QList<OutlineLesson>& outline,
                             const QHash<QString, int>& orderOf, const QCollator& collator,
                             const TestCatalog& catalog, ClassReport& r) {
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
        bool any = false;
    };
    std::vector<Found> found(size_t(catalog.size()));
    for (const Taken& t : taken)
        for (const Summary& a : t.tests) {
            Found& f = found[size_t(a.slot)];
            if (!f.any || a.lastWhen >= f.latest)
                f = Found{a.day, a.list, a.lastWhen, a.lastMaximum, true};
        }
    std::vector<int> order;
    for (int i = 0; i < catalog.size(); ++i)
        if (found[size_t(i)].any)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int oa = orderOf.value(catalog.key(a), INT_MAX),
                  ob = orderOf.value(catalog.key(b), INT_MAX);
        if (oa != ob)
            return oa < ob;
        return collator.compare(catalog.key(a), catalog.key(b)) < 0;
    });
    std::vector<int> column(size_t(catalog.size()), -1);
    for (const int i : order) {
        const Found& f = found[size_t(i)];
        column[size_t(i)] = int(r.tests.size());
        r.tests << ClassTest{f.day, f.list,
                             captionOf.value(catalog.key(i), dayCaption(f.day).trimmed() +
                                                                 QStringLiteral(" › ") + f.list),
                             f.maximum};
    }
    return column;
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

    TestCatalog catalog(orderOf);
    QList<Taken> taken;
    const int total = int(folders.size());
    for (int i = 0; i < total; ++i) {
        if (report && (i % 16 == 0) && !report(i, total)) {
            r.cancelled = true;
            return r;
        }
        taken << readLearner(root, folders.at(i), catalog, r);
    }
    if (report)
        report(total, total);

    const std::vector<int> column = makeColumns(taken, outline, orderOf, collator, catalog, r);
    for (const Taken& t : taken) {
        LearnerScores s;
        s.name = t.name;
        s.note = t.note;
        s.last.resize(r.tests.size());
        s.best.resize(r.tests.size());
        for (const Summary& a : t.tests) {
            const int c = column[size_t(a.slot)];
            s.last[c] = a.last;
            s.best[c] = a.best;
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
