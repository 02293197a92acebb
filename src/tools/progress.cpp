#include "tools/progress.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QLockFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbino {

namespace {

constexpr char kTab = '\t';

QString fileName(int n) {
    return n <= 1 ? QStringLiteral("%1.txt").arg(QLatin1String(kProgressBaseName))
                  : QStringLiteral("%1-%2.txt").arg(QLatin1String(kProgressBaseName)).arg(n);
}

// Lines end at CR LF, CR or LF; nothing else ends the file, so a stray byte
// never hides the lines after it. `f` gets each line's bytes in place.
template <typename F> void forEachAnyLine(const QByteArray& data, F&& f) {
    const qsizetype n = data.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data.at(i);
        if (c != '\r' && c != '\n')
            continue;
        f(QByteArrayView(data).sliced(start, i - start));
        if (c == '\r' && i + 1 < n && data.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        f(QByteArrayView(data).sliced(start));
}

std::optional<int> wholeNumber(const QString& s) {
    if (s.isEmpty() || s.size() > 9)
        return std::nullopt;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return s.toInt();
}

// Times are kept as the lines write them, local wall-clock time, as one
// number yyyyMMddHHmmss that compares as the times do: reading a long file
// then asks nothing of the time zone (making a local QDateTime looks the zone
// up again for every line). They become QDateTime only when shown.
qint64 stampOfFields(int y, int mo, int d, int h, int mi, int se) {
    return ((qint64(y) * 100 + mo) * 100 + d) * 1000000 + (h * 100 + mi) * 100 + se;
}

qint64 stampOf(const QDateTime& when) {
    const QDateTime t = when.toLocalTime();
    const QDate d = t.date();
    const QTime c = t.time();
    return stampOfFields(d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second());
}

QDateTime dateTimeOf(qint64 stamp) {
    const qint64 date = stamp / 1000000, time = stamp % 1000000;
    return QDateTime(QDate(int(date / 10000), int(date / 100 % 100), int(date % 100)),
                     QTime(int(time / 10000), int(time / 100 % 100), int(time % 100)));
}

QString stampText(qint64 stamp) {
    const qint64 date = stamp / 1000000, time = stamp % 1000000;
    return QStringLiteral("%1-%2-%3T%4:%5:%6")
        .arg(date / 10000, 4, 10, QLatin1Char('0'))
        .arg(date / 100 % 100, 2, 10, QLatin1Char('0'))
        .arg(date % 100, 2, 10, QLatin1Char('0'))
        .arg(time / 10000, 2, 10, QLatin1Char('0'))
        .arg(time / 100 % 100, 2, 10, QLatin1Char('0'))
        .arg(time % 100, 2, 10, QLatin1Char('0'));
}

// The form the lines are written in ("2026-03-09T10:15:30") is read directly;
// any other ISO form goes through Qt, and is taken in local time. 0 when it
// is no time at all.
qint64 parseStamp(const QString& s) {
    auto digits = [&](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = s.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            v = v * 10 + (c - u'0');
        }
        return v;
    };
    if (s.size() == 19 && s.at(4) == u'-' && s.at(7) == u'-' && s.at(10) == u'T' &&
        s.at(13) == u':' && s.at(16) == u':') {
        const int y = digits(0, 4), mo = digits(5, 2), d = digits(8, 2);
        const int h = digits(11, 2), mi = digits(14, 2), se = digits(17, 2);
        if (QDate::isValid(y, mo, d) && QTime::isValid(h, mi, se))
            return stampOfFields(y, mo, d, h, mi, se);
        return 0;
    }
    const QDateTime d = QDateTime::fromString(s, Qt::ISODate);
    return d.isValid() ? stampOf(d) : 0;
}

// A line's fields; `stamp` for the time, which the callers turn into a
// QDateTime only when they need one.
struct Fields {
    char kind = 0;
    QString course, day, list;
    int score = 0, maximum = 0;
    qint64 stamp = 0;
};

Fields parseFields(QByteArrayView raw) {
    Fields l;
    if (raw.startsWith("C\t")) {
        l.kind = 'C';
        l.course = decode1250(raw.sliced(2)).trimmed();
        return l;
    }
    if (raw.size() < 2 || raw.at(1) != kTab || (raw.at(0) != 'V' && raw.at(0) != 'T'))
        return l;
    const QStringList f = decode1250(raw).split(QLatin1Char(kTab));
    const QString kind = f.value(0);
    if (kind == QLatin1String("V") && f.size() == 4 && !f.at(1).isEmpty() && !f.at(2).isEmpty()) {
        if (const qint64 stamp = parseStamp(f.at(3))) {
            l.kind = 'V';
            l.day = f.at(1);
            l.list = f.at(2);
            l.stamp = stamp;
        }
    } else if (kind == QLatin1String("T") && f.size() == 6 && !f.at(1).isEmpty() &&
               !f.at(2).isEmpty()) {
        const auto score = wholeNumber(f.at(3));
        const auto max = wholeNumber(f.at(4));
        const qint64 stamp = parseStamp(f.at(5));
        if (score && max && *score <= *max && stamp) {
            l.kind = 'T';
            l.day = f.at(1);
            l.list = f.at(2);
            l.score = *score;
            l.maximum = *max;
            l.stamp = stamp;
        }
    }
    return l;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProgressLine parseProgressLine(QByteArrayView raw) {
    const Fields f = parseFields(raw);
    ProgressLine l;
    l.kind = f.kind;
    l.course = f.course;
    if (f.kind == 'V')
        l.visit = {f.day, f.list, dateTimeOf(f.stamp)};
    else if (f.kind == 'T')
        l.test = {f.day, f.list, f.score, f.maximum, dateTimeOf(f.stamp)};
    return l;
}

void forEachProgressLine(const QString& path, qsizetype longest,
                         const std::function<bool(QByteArrayView, bool)>& f) {
    const int fd = openCourseFile(path);
    if (fd < 0)
        throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        throw FileError(path, QStringLiteral("nie je obyčajný súbor"));
    QByteArray line;
    bool whole = true;
    bool afterCr = false; // an LF right after a CR ends no second line
    constexpr size_t kChunk = size_t(64) * 1024;
    const std::unique_ptr<char[]> buf(new char[kChunk]); // not cleared: read() fills it
    // The next CR and the next LF of the piece, each looked for again only
    // once passed: two memchr() passes over the piece, however its lines end.
    struct LineEnds {
        const char* end;
        const char* cr;
        const char* lf;
        static const char* next(const char* p, const char* end, char c) {
            const void* at = std::memchr(p, c, size_t(end - p));
            return at ? static_cast<const char*>(at) : end;
        }
        const char* from(const char* p) {
            if (cr < p)
                cr = next(p, end, '\r');
            if (lf < p)
                lf = next(p, end, '\n');
            return std::min(cr, lf);
        }
    };
    for (;;) {
        const ssize_t got = ::read(fd, buf.get(), kChunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (got == 0)
            break;
        const char* p = buf.get();
        const char* end = p + got;
        LineEnds ends{end, LineEnds::next(p, end, '\r'), LineEnds::next(p, end, '\n')};
        while (p < end) {
            if (afterCr && *p == '\n') {
                ++p;
                afterCr = false;
                continue;
            }
            afterCr = false;
            const char* stop = ends.from(p);
            if (line.isEmpty() && stop < end) {
                // A line whole in this piece is passed where it lies.
                const qsizetype n = stop - p;
                afterCr = *stop == '\r';
                if (n > 0 && !f(QByteArrayView(p, std::min(n, longest)), n <= longest))
                    return;
                p = stop + 1;
                continue;
            }
            const qsizetype room = longest - line.size();
            if (stop - p > room) {
                line.append(p, room);
                whole = false;
            } else {
                line.append(p, stop - p);
            }
            p = stop;
            if (p == end)
                break;
            afterCr = *p == '\r';
            ++p;
            if (!line.isEmpty() && !f(line, whole))
                return;
            line.clear();
            whole = true;
        }
    }
    if (!line.isEmpty())
        f(line, whole);
}

ProgressFile ProgressFile::parse(const QByteArray& bytes) {
    ProgressFile p;
    // Day folders and lists recur on many lines: one string for each name.
    QSet<QString> names;
    auto shared = [&](const QString& s) {
        if (names.size() > 4096)
            names.clear(); // a file of endless names: share only some
        return *names.insert(s);
    };
    // Sized once: a long file's lines are not copied again and again as
    // the list grows.
    p.m_lines.reserve(std::max(bytes.count('\n'), bytes.count('\r')) + 1);
    forEachAnyLine(bytes, [&](QByteArrayView raw) {
        if (raw.isEmpty())
            return;
        const Fields parsed = parseFields(raw);
        if (parsed.kind == 'C' && !p.m_hasCourse) {
            p.m_hasCourse = true;
            p.m_course = parsed.course;
            return;
        }
        Line l;
        if (parsed.kind == 'V' || parsed.kind == 'T') {
            l.kind = parsed.kind;
            l.day = shared(parsed.day);
            l.list = shared(parsed.list);
            l.when = parsed.stamp;
            l.score = parsed.score;
            l.maximum = parsed.maximum;
        } else {
            l.raw = raw.toByteArray(); // a second C line too: kept as it is
        }
        p.m_lines << l;
    });
    return p;
}

QByteArray ProgressFile::encode(const QString& path) const {
    QByteArray out;
    out += "C\t" + encode1250(m_course, path) + "\r\n";
    for (const Line& l : m_lines) {
        if (l.kind == 'V')
            out += encode1250(QStringLiteral("V\t%1\t%2\t%3").arg(l.day, l.list, stampText(l.when)),
                              path);
        else if (l.kind == 'T')
            out += encode1250(QStringLiteral("T\t%1\t%2\t%3\t%4\t%5")
                                  .arg(l.day, l.list)
                                  .arg(l.score)
                                  .arg(l.maximum)
                                  .arg(stampText(l.when)),
                              path);
        else
            out += l.raw; // kept byte for byte
        out += "\r\n";
    }
    return out;
}

void ProgressFile::setCourse(const QString& course) {
    m_course = course.trimmed();
    m_hasCourse = true;
}

void ProgressFile::recordVisit(const QString& day, const QString& list, const QDateTime& when) {
    for (Line& l : m_lines) {
        if (l.kind == 'V' && sameName(l.day, day) && sameName(l.list, list)) {
            l.when = std::max(l.when, stampOf(when));
            return;
        }
    }
    Line l;
    l.kind = 'V';
    l.day = day;
    l.list = list;
    l.when = stampOf(when);
    m_lines << l;
}

void ProgressFile::recordTest(const QString& day, const QString& list, int score, int maximum,
                              const QDateTime& when) {
    Line l;
    l.kind = 'T';
    l.day = day;
    l.list = list;
    l.score = std::max(0, score);
    l.maximum = std::max({0, score, maximum});
    l.when = stampOf(when);
    m_lines << l;
}

QList<Visit> ProgressFile::visits() const {
    QList<Visit> out;
    for (const Line& l : m_lines)
        if (l.kind == 'V')
            out << Visit{l.day, l.list, dateTimeOf(l.when)};
    return out;
}

QList<TestAttempt> ProgressFile::tests() const {
    QList<TestAttempt> out;
    for (const Line& l : m_lines)
        if (l.kind == 'T')
            out << TestAttempt{l.day, l.list, l.score, l.maximum, dateTimeOf(l.when)};
    return out;
}

int ProgressFile::damagedLines() const {
    return int(
        std::count_if(m_lines.begin(), m_lines.end(), [](const Line& l) { return l.kind == 0; }));
}

bool ProgressFile::wasRead(const QString& day, const QString& list) const {
    return std::any_of(m_lines.begin(), m_lines.end(), [&](const Line& l) {
        return l.kind == 'V' && sameName(l.day, day) && sameName(l.list, list);
    });
}

std::optional<TestAttempt> ProgressFile::lastTest(const QString& day, const QString& list) const {
    const Line* last = nullptr;
    for (const Line& l : m_lines)
        if (l.kind == 'T' && sameName(l.day, day) && sameName(l.list, list) &&
            (!last || l.when >= last->when))
            last = &l;
    if (!last)
        return std::nullopt;
    return TestAttempt{last->day, last->list, last->score, last->maximum, dateTimeOf(last->when)};
}

std::optional<QString> progressCourseOf(const QString& path) {
    std::optional<QString> course;
    // Only the C line is wanted: whatever else the file holds, and however
    // large it has grown, costs no memory.
    forEachProgressLine(path, 4096, [&](QByteArrayView raw, bool whole) {
        if (!whole || !raw.startsWith("C\t"))
            return true;
        course = parseProgressLine(raw).course;
        return false;
    });
    return course;
}

bool progressNameUsable(const QString& name) {
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('\t')) &&
           !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n'));
}

QStringList progressFilesIn(const QString& folder) {
    static const QRegularExpression re(QStringLiteral("^#postup(-[0-9]{1,3})?\\.txt$"),
                                       QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    // The folder as written, listed directly: a class overview lists
    // hundreds of learners' folders, each once, and needs of each only the
    // names starting with "#". A folder not there as written goes to the
    // path resolver.
    const QByteArray direct = fromWindowsPath(folder).toUtf8();
    if (DIR* d = direct.isEmpty() ? nullptr : ::opendir(direct.constData())) {
        const auto closeDir = qScopeGuard([d] { ::closedir(d); });
        while (const struct dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '#')
                continue;
            // A link is followed, as the listing of a folder follows it.
            bool isDir = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
                struct stat s {};
                isDir = ::fstatat(::dirfd(d), e->d_name, &s, 0) == 0 && S_ISDIR(s.st_mode);
            }
            const QString name = decodeFileName(QByteArray(e->d_name));
            if (!isDir && re.match(name).hasMatch())
                out << name;
        }
    } else {
        for (const DirEntry& e : listFolder(folder))
            if (!e.isDir && re.match(e.name).hasMatch())
                out << e.name;
    }
    std::sort(out.begin(), out.end());
    return out;
}

QString progressPathFor(const QString& folder, const QString& course, bool* taken) {
    if (taken)
        *taken = false;
    const QStringList existing = progressFilesIn(folder);
    QString firstFree;
    for (int n = 1; n <= kMaxProgressFiles; ++n) {
        const QString name = fileName(n);
        const auto it = std::find_if(existing.begin(), existing.end(),
                                     [&](const QString& e) { return sameName(e, name); });
        if (it == existing.end()) {
            if (firstFree.isEmpty())
                firstFree = name;
            continue;
        }
        try {
            // A file without its C line is claimed by the first course to write.
            const std::optional<QString> owner = progressCourseOf(folder + *it);
            if (!owner || *owner == course.trimmed())
                return folder + *it;
        } catch (const FileError&) {
        }
    }
    if (firstFree.isEmpty()) {
        if (taken)
            *taken = true;
        return folder + fileName(1);
    }
    return folder + firstFree;
}

QString courseIdentity(const QString& programFolder) {
    QString name;
    if (const auto data = readFileIfExists(programFolder + QStringLiteral("CONFIG.TXT"))) {
        const ConfigLine l = findConfigLine(*data, QByteArrayLiteral("NAME"));
        if (l.found)
            name = trimControl(l.value);
    }
    if (name.isEmpty()) {
        QString f = programFolder;
        while (f.endsWith(QLatin1Char('/')) && f.size() > 1)
            f.chop(1);
        name = lastComponent(f);
    }
    // Kept on one line of the file.
    name.replace(QLatin1Char('\t'), QLatin1Char(' '));
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return name.trimmed();
}

ProgressFile readProgress(const QString& folder, const QString& course) {
    const QString path = progressPathFor(folder, course);
    try {
        if (const auto data = readFileIfExists(path, kMaxProgressFileBytes)) {
            ProgressFile p = ProgressFile::parse(*data);
            if (!p.hasCourseLine() || p.course() == course.trimmed())
                return p;
        }
    } catch (const FileError&) {
    }
    ProgressFile empty;
    empty.setCourse(course);
    return empty;
}

void updateProgress(const QString& folder, const QString& course,
                    const std::function<void(ProgressFile&)>& change) {
    // One lock for the folder: it also keeps two courses from taking the same
    // free name at once. A lock left by a copy that died is taken over.
    const QString lockPath = folder + QLatin1String(kProgressBaseName) + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        throw FileError(lockPath, lock.error() == QLockFile::LockFailedError
                                      ? QStringLiteral("postup zapisuje iná kópia programu")
                                      : QStringLiteral("zámok sa nedá vytvoriť"));
    bool taken = false;
    const QString path = progressPathFor(folder, course, &taken);
    if (taken)
        throw FileError(path, QStringLiteral("v priečinku je už %1 súborov postupu iných kurzov")
                                  .arg(kMaxProgressFiles));
    ProgressFile p;
    try {
        if (const auto data = readFileIfExists(path, kMaxProgressFileBytes))
            p = ProgressFile::parse(*data);
    } catch (const FileError& e) {
        // Starting another file would split the learner's record in two, and
        // rewriting this one could lose what could not be read: it stays.
        throw FileError(path, QStringLiteral("%1; nový postup sa doň nezapíše, súbor zostáva "
                                             "nezmenený")
                                  .arg(e.reason()));
    }
    if (!p.hasCourseLine())
        p.setCourse(course);
    change(p);
    writeFileAtomic(path, p.encode(path));
}

QString progressTimestamp(const QDateTime& when) {
    return when.toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString progressDateText(const QDateTime& when) {
    return when.toLocalTime().toString(QStringLiteral("d. M. yyyy H:mm"));
}

QString lastScoreText(const TestAttempt& t) {
    // After "z" the unit is in the genitive: "z 1 bodu", "z 5 bodov".
    const QString unit = t.maximum == 1 ? QStringLiteral("bodu") : QStringLiteral("bodov");
    return QStringLiteral("Naposledy: %1 z %2 %3 (%4)")
        .arg(t.score)
        .arg(t.maximum)
        .arg(unit, progressDateText(t.when));
}

} // namespace orbino
