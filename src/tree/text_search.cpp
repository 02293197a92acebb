#include "tree/text_search.h"

#include "app/app_state.h"
#include "content/lesson_text.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "screens/screen_rules.h"
#include "tree/folder_index.h"
#include "tree/lesson_tree.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QThread>
#include <QVarLengthArray>
#include <QtEndian>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace orbino {

namespace {

// Bumped whenever the tables or what goes into them change: an index made by
// another version is rebuilt rather than misread.
constexpr int kSchemaVersion = 5;

// How much of a matching text the snippet is looked for in.
constexpr int kSnippetScan = 65536;

QString stripControls(const QString& s) {
    // Most texts hold nothing to take out: those are kept as they are.
    const bool clean = std::all_of(s.cbegin(), s.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x20 && u != 0x7f && u != 0xad && u != 0x2028 && u != 0x2029) || u == u'\n' ||
               u == u'\t';
    });
    if (clean)
        return s;
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\t')
            out += c;
        else if (u == 0xad)
            continue; // an optional hyphen splits no word
        else if (u == 0x2029 || u == 0x2028)
            out += QLatin1Char('\n');
        else if (u >= 0x20 && u != 0x7f)
            out += c;
        else if (u == u'\r')
            out += QLatin1Char('\n');
    }
    return out;
}

struct Stamp {
    qint64 size = -1; // -1: not there
    qint64 mtime = -1;
};

Stamp stampOf(const struct stat& s) {
    return {S_ISDIR(s.st_mode) ? 0 : qint64(s.st_size),
            qint64(s.st_mtim.tv_sec) * 1000000000LL + s.st_mtim.tv_nsec};
}

// One stat() call: checking a course of a thousand lessons must stay cheap.
Stamp stampOf(const QByteArray& nativePath) {
    struct stat s {};
    if (::stat(nativePath.constData(), &s) != 0)
        return {};
    return stampOf(s);
}

// The same stamps, a folder's files asked about relative to the folder,
// which is looked up once for all of them rather than once for each file.
class FolderStamps {
public:
    FolderStamps() = default;
    FolderStamps(const FolderStamps&) = delete;
    FolderStamps& operator=(const FolderStamps&) = delete;
    ~FolderStamps() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Stamp of(const QByteArray& path) {
        const qsizetype slash = path.lastIndexOf('/');
        // A folder itself ("…/"), or a name without a folder.
        if (slash <= 0 || slash + 1 == path.size())
            return stampOf(path);
        const QByteArrayView dir(path.constData(), slash);
        if (dir != m_dir) {
            if (m_fd >= 0)
                ::close(m_fd);
            m_dir = dir.toByteArray();
            m_fd = ::open(m_dir.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        // A folder that cannot be opened so: stat() tells what it tells.
        if (m_fd < 0)
            return stampOf(path);
        struct stat s {};
        if (::fstatat(m_fd, path.constData() + slash + 1, &s, 0) != 0)
            return {};
        return stampOf(s);
    }

private:
    QByteArray m_dir;
    int m_fd = -1;
};

// A connection opened in the constructor and removed in the destructor, for
// the thread that made it.
class Connection {
public:
    Connection(const QString& name, const QString& database, const QString& options)
        : m_name(name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(database);
        db.setConnectOptions(options);
        m_ok = db.open();
        if (!m_ok)
            m_error = db.lastError().text();
    }
    ~Connection() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }

private:
    QString m_name;
    bool m_ok = false;
    QString m_error;
};

class SqlFailure {
public:
    QString text;
};

void exec(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql))
        throw SqlFailure{q.lastError().text()};
}

// True when the index in `db` was made from the files as they are now. Any
// error (a damaged or foreign file) counts as out of date.
bool isCurrent(const QSqlDatabase& db, const QString& course, const QString& rootList,
               QString* notes) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT key, value FROM meta")))
        return false;
    QHash<QString, QString> meta;
    while (q.next())
        meta.insert(q.value(0).toString(), q.value(1).toString());
    if (meta.value(QStringLiteral("version")) != QString::number(kSchemaVersion) ||
        meta.value(QStringLiteral("course")) != course ||
        meta.value(QStringLiteral("rootList")) != rootList ||
        meta.value(QStringLiteral("complete")) != QLatin1String("1"))
        return false;
    *notes = meta.value(QStringLiteral("notes"));
    if (!q.exec(QStringLiteral("SELECT data FROM watched")) || !q.next())
        return false;
    // One value rather than a row per file: a thousand rows through Qt SQL
    // cost more than the stat() calls themselves. Read straight from its
    // bytes, in the layout QDataStream wrote (big-endian numbers, a path as
    // its 32-bit length and its bytes): through QDataStream each value was a
    // call to a device, as costly again as the stat() calls.
    const QByteArray data = q.value(0).toByteArray();
    qsizetype at = 0;
    const auto take = [&](auto* value) {
        using T = std::remove_pointer_t<decltype(value)>;
        if (data.size() - at < qsizetype(sizeof(T)))
            return false;
        *value = qFromBigEndian<T>(data.constData() + at);
        at += qsizetype(sizeof(T));
        return true;
    };
    qint32 count = 0;
    if (!take(&count) || count <= 0)
        return false;
    FolderStamps stamps;
    QByteArray path;
    for (qint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        qint64 size = 0, mtime = 0;
        if (!take(&length) || length > quint64(data.size() - at))
            return false;
        path.resize(qsizetype(length));
        std::memcpy(path.data(), data.constData() + at, length);
        at += qsizetype(length);
        if (!take(&size) || !take(&mtime))
            return false;
        const Stamp now = stamps.of(path);
        if (now.size != size || now.mtime != mtime)
            return false;
    }
    if (at != data.size())
        return false;
    // The table of texts must be there and answer.
    return q.exec(QStringLiteral("SELECT count(*) FROM texts WHERE texts MATCH '\"x\"'"));
}

// The way to a node as hits show it: like the title path a second copy gets,
// but with at most kPathHead levels from the root and kPathTail levels above
// the node, each caption cut at kPathCaption characters. A chain of thousands
// of lists, or captions a thousand characters long, would otherwise store a
// path longer than the course itself for every lesson.
constexpr int kPathHead = 4;
constexpr int kPathTail = 4;
constexpr qsizetype kPathCaption = 80;

class ShortPaths {
public:
    explicit ShortPaths(const LessonTree& tree) : m_tree(tree) {
        // Nodes follow their parents, so one pass finds each node's ancestor
        // at the last level of the head.
        m_headEnd.resize(size_t(tree.size()));
        for (int i = 0; i < tree.size(); ++i) {
            const TreeNode& n = tree.nodes[size_t(i)];
            m_headEnd[size_t(i)] = n.depth < kPathHead ? i : m_headEnd[size_t(n.parent)];
        }
    }
    QString of(int index) const {
        QStringList parts;
        const int depth = m_tree.nodes[size_t(index)].depth;
        int i = index;
        if (depth >= kPathHead + kPathTail) {
            for (int k = 0; k < kPathTail; ++k, i = m_tree.nodes[size_t(i)].parent)
                parts.prepend(cut(m_tree.nodes[size_t(i)].caption));
            parts.prepend(QStringLiteral("…"));
            i = m_headEnd[size_t(index)];
        }
        for (; i >= 0; i = m_tree.nodes[size_t(i)].parent)
            parts.prepend(cut(m_tree.nodes[size_t(i)].caption));
        QString t =
            NahradZnak(parts.join(QStringLiteral(" - ")), QStringLiteral("_"), QStringLiteral(" "));
        if (t.startsWith(QLatin1Char('0')))
            t.remove(0, 1);
        return t;
    }

private:
    static QString cut(const QString& caption) {
        return caption.size() <= kPathCaption
                   ? caption
                   : caption.left(kPathCaption - 1) + QStringLiteral("…");
    }
    const LessonTree& m_tree;
    std::vector<int> m_headEnd;
};

// Cache files of builds that were killed: "<index>.part<pid>" whose process
// is gone. A build in progress (its process alive) is never touched.
void removeDeadParts(const QString& cacheDir) {
    const QDir dir(cacheDir);
    const QStringList names =
        dir.entryList({QStringLiteral("*.fts.sqlite.part*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const qsizetype at = name.lastIndexOf(QLatin1String(".part"));
        bool ok = false;
        const qint64 pid = name.mid(at + 5).toLongLong(&ok);
        if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max() || pid == ::getpid())
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue; // alive, or not ours to ask about
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat s {};
        if (::lstat(path.constData(), &s) == 0 && S_ISREG(s.st_mode))
            ::unlink(path.constData());
    }
}

// The description blocks of a content list, as descriptionText() gives them,
// from a list that may hold millions of item lines: only the lines of blocks
// are decoded, the rest are passed over as bytes.
QString descriptionOf(const QString& path) {
    const QByteArray bytes = readFileBytes(path);
    QStringList kept;
    enum { Outside, ToExactEnd, ToLineEndingWithGt } state = Outside;
    forEachRawLine(bytes, [&](QByteArrayView line) {
        switch (state) {
        case Outside:
            if (!line.startsWith('<'))
                return true;
            if (line == "<")
                state = ToExactEnd;
            else if (!line.endsWith('>'))
                state = ToLineEndingWithGt;
            break;
        case ToExactEnd:
            if (line == ">")
                state = Outside;
            break;
        case ToLineEndingWithGt:
            if (line.endsWith('>'))
                state = Outside;
            break;
        }
        kept << decode1250(line);
        return true;
    });
    return descriptionText(kept).join(QLatin1Char('\n'));
}

struct Row {
    QString body, captionPath, file, day, caption, target;
    int node = 0;
    bool isCaption = false;
};

void createTables(QSqlDatabase& db) {
    QSqlQuery q(db);
    exec(q, QStringLiteral("PRAGMA journal_mode=OFF"));
    exec(q, QStringLiteral("PRAGMA synchronous=OFF"));
    exec(q, QStringLiteral("DROP TABLE IF EXISTS meta"));
    exec(q, QStringLiteral("DROP TABLE IF EXISTS watched"));
    exec(q, QStringLiteral("DROP TABLE IF EXISTS texts"));
    exec(q, QStringLiteral("CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT)"));
    exec(q, QStringLiteral("CREATE TABLE watched(data BLOB)"));
    // Case and diacritics are folded away on both sides, so "subor" finds
    // "súbor" and "KLAV" finds "Klávesnica".
    exec(q,
         QStringLiteral(
             "CREATE VIRTUAL TABLE texts USING fts5(body, captionPath UNINDEXED, file UNINDEXED, "
             "day UNINDEXED, node UNINDEXED, caption UNINDEXED, target UNINDEXED, kind UNINDEXED, "
             "tokenize = 'unicode61 remove_diacritics 2')"));
}

// The files and folders the index is made from, with their size and time,
// as one value.
class Watched {
public:
    Watched() : m_out(&m_data, QIODevice::WriteOnly) {
        m_out << m_count; // rewritten at the end
    }
    Stamp add(const QString& path) {
        const QByteArray native = QFile::encodeName(path);
        const Stamp s = stampOf(native);
        m_out << native << s.size << s.mtime;
        ++m_count;
        return s;
    }
    QByteArray data() {
        QDataStream head(&m_data, QIODevice::ReadWrite);
        head << m_count;
        return m_data;
    }

private:
    QByteArray m_data;
    QDataStream m_out;
    qint32 m_count = 0;
};

// Rows go in through one prepared statement, inside the build's transaction,
// bound through SQLite's own calls on the connection Qt SQL opened: binding
// through QSqlQuery names and hashes the place of every value, which for
// thousands of rows of eight values costs a tenth of the build. A null text
// is bound as NULL, as Qt SQL binds it; texts go in as UTF-8 (below), which
// the database keeps them as either way.
class RowWriter {
public:
    explicit RowWriter(QSqlDatabase& db) {
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_db = *static_cast<sqlite3* const*>(handle.constData());
        if (!m_db)
            throw SqlFailure{QStringLiteral("SQLite connection not available")};
        if (sqlite3_prepare_v2(m_db,
                               "INSERT INTO texts(body, captionPath, file, day, node, caption, "
                               "target, kind) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                               -1, &m_insert, nullptr) != SQLITE_OK)
            fail();
    }
    ~RowWriter() { sqlite3_finalize(m_insert); }
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    void add(const Row& r) {
        const QString body = stripControls(r.body);
        // Blank through and through (without a trimmed copy of the text).
        if (std::all_of(body.cbegin(), body.cend(), [](QChar c) { return c.isSpace(); }))
            return;
        bind(1, body);
        bind(2, r.captionPath);
        bind(3, r.file);
        bind(4, r.day);
        check(sqlite3_bind_int(m_insert, 5, r.node));
        bind(6, r.caption);
        bind(7, r.target);
        check(sqlite3_bind_int(m_insert, 8, r.isCaption ? 0 : 1));
        const int stepped = sqlite3_step(m_insert);
        sqlite3_reset(m_insert);
        // The texts bound are this call's: none is left to the next.
        sqlite3_clear_bindings(m_insert);
        if (stepped != SQLITE_DONE)
            fail();
    }

private:
    [[noreturn]] void fail() const { throw SqlFailure{QString::fromUtf8(sqlite3_errmsg(m_db))}; }
    void check(int result) const {
        if (result != SQLITE_OK)
            fail();
    }
    // The database keeps its text as UTF-8: handed over as UTF-8, a value
    // is not converted again inside SQLite, which for the lesson texts was a
    // twentieth of the build. Half a surrogate pair (which RTF's "u" control word
    // can make) becomes U+FFFD: SQLite's own conversion took the character
    // after it into a made-up one, and a word starting there was never found.
    void bind(int at, const QString& text) {
        if (text.isNull())
            return check(sqlite3_bind_null(m_insert, at));
        std::vector<char>& buffer = m_utf8[size_t(at)];
        buffer.resize(size_t(std::max<qsizetype>(m_encoder.requiredSpace(text.size()), 1)));
        const qsizetype bytes = m_encoder.appendToBuffer(buffer.data(), text) - buffer.data();
        // SQLite counts a text's bytes in an int.
        if (bytes > std::numeric_limits<int>::max())
            throw SqlFailure{QStringLiteral("text too long")};
        check(sqlite3_bind_text(m_insert, at, buffer.data(), int(bytes), SQLITE_STATIC));
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    std::array<std::vector<char>, 9> m_utf8; // by place; kept until the row is stepped
};

struct Day {
    QString folder, dir;
    FolderIndex files; // listed once, for the tree and for the rows
    LessonTree tree;
};

// Every day's tree; nothing when cancelled. `notes` gets the days whose tree
// was cut short, `total` the nodes of them all.
std::optional<std::vector<Day>> readDays(const QString& course, const QString& rootList,
                                         const std::atomic<bool>& cancel, Watched& watched,
                                         QStringList& notes, int& total) {
    std::vector<Day> days;
    for (const DayFolder& d : listDayFolders(course).days) {
        if (cancel.load())
            return std::nullopt;
        const QString dir = course + d.folder + QLatin1Char('/');
        watched.add(dir);
        Day day{d.folder, dir, FolderIndex(dir), {}};
        day.tree = buildLessonTree(day.files, day.dir, rootList, d.folder);
        if (day.tree.truncated)
            notes << QStringLiteral("%1: strom je príliš veľký, v indexe je len prvých %2 "
                                    "položiek")
                         .arg(QDir::toNativeSeparators(day.dir + rootList))
                         .arg(kMaxTreeNodes);
        total += day.tree.size();
        days.push_back(std::move(day));
    }
    return days;
}

// A lesson reached from several places is indexed once, under the shortest
// way to it (the first of those in the tree's order): identity -> node.
QHash<QString, int> textOwners(const LessonTree& tree, const FolderIndex& folder) {
    QHash<QString, int> owner;
    for (int i = 0; i < tree.size(); ++i) {
        const TreeNode& n = tree.nodes[size_t(i)];
        if (planOpen(n.target).kind != OpenPlan::ContentList || !folder.hasFile(n.target))
            continue;
        const QString identity = folder.identity(n.target);
        const auto it = owner.constFind(identity);
        if (it == owner.cend() || tree.nodes[size_t(*it)].depth > n.depth)
            owner.insert(identity, i);
    }
    return owner;
}

// The items of a list named from several places are indexed once too, under
// the same shortest way to the list: a course whose lists name each other
// over and over holds each caption once, not once for each of the thousands
// of ways to it. By node: whether its children's captions are indexed.
std::vector<char> itemHolders(const LessonTree& tree, const FolderIndex& folder) {
    std::vector<char> holdsItems(size_t(tree.size()), 0);
    QHash<QString, int> itemsOwner; // identity -> node whose children are indexed
    for (int i = 1; i < tree.size(); ++i) {
        const int p = tree.nodes[size_t(i)].parent;
        if (holdsItems[size_t(p)])
            continue;
        holdsItems[size_t(p)] = 1; // seen; decided below
        const QString identity = folder.identity(tree.nodes[size_t(p)].target);
        const auto it = itemsOwner.constFind(identity);
        if (it == itemsOwner.cend() || tree.nodes[size_t(*it)].depth > tree.nodes[size_t(p)].depth)
            itemsOwner.insert(identity, p);
    }
    std::fill(holdsItems.begin(), holdsItems.end(), 0);
    for (const int p : std::as_const(itemsOwner))
        holdsItems[size_t(p)] = 1;
    return holdsItems;
}

// twinPath() for a list that is a file of `folder`, told by the folder's
// listing instead of three lookups on disk for each lesson.
QString twinOf(const FolderIndex& folder, const QString& dir, const QString& list) {
    const QString named = lessonBase(list) + QStringLiteral(".rtf");
    if (!FolderIndex::isPlain(list) || !FolderIndex::isPlain(named))
        return twinPath(dir, list);
    // What stat() reaches under that name, as it is on disk.
    if (const QString onDisk = folder.entryName(named); !onDisk.isEmpty())
        return dir + onDisk;
    // Else named after the list as it is on disk.
    const QString onDisk = folder.fileName(list);
    return onDisk.isEmpty() ? twinPath(dir, list)
                            : dir + lessonBase(onDisk) + QStringLiteral(".rtf");
}

// The rows of one day: captions of items, description blocks of lists and
// the texts of their twins. Returns false when cancelled.
bool indexDay(const Day& day, const QString& course, const std::atomic<bool>& cancel,
              Watched& watched, RowWriter& rows, const std::function<void()>& nodeDone) {
    const FolderIndex& folder = day.files;
    const LessonTree& tree = day.tree;
    const QHash<QString, int> owner = textOwners(tree, folder);
    const std::vector<char> holdsItems = itemHolders(tree, folder);
    const ShortPaths shortPath(tree);
    auto relative = [&](const QString& name) {
        const QString onDisk = folder.fileName(name);
        return day.folder + QLatin1Char('/') + (onDisk.isEmpty() ? name : onDisk);
    };
    for (int i = 0; i < tree.size(); ++i) {
        if (cancel.load())
            return false;
        const TreeNode& n = tree.nodes[size_t(i)];
        const bool ownsText = planOpen(n.target).kind == OpenPlan::ContentList &&
                              folder.hasFile(n.target) &&
                              owner.value(folder.identity(n.target), -1) == i;
        const bool indexCaption = i > 0 && holdsItems[size_t(n.parent)];
        if (!ownsText && !indexCaption) {
            nodeDone();
            continue;
        }
        Row row;
        row.captionPath = shortPath.of(i);
        row.day = day.folder;
        row.node = i;
        row.caption = n.caption;
        row.target = n.target;
        if (indexCaption) {
            // The caption is written in the list that names the item.
            row.body = n.caption;
            row.file = relative(tree.nodes[size_t(n.parent)].target);
            row.isCaption = true;
            rows.add(row);
            row.isCaption = false;
        }
        if (ownsText) {
            const QString path = day.dir + folder.fileName(n.target);
            watched.add(path);
            try {
                row.body = descriptionOf(path);
                row.file = relative(n.target);
                rows.add(row);
            } catch (const FileError&) {
                // Unreadable or gone since the tree was read: its stamp
                // is stored, so the index is made again once it is back.
            }
            const QString twin = twinOf(folder, day.dir, n.target);
            if (watched.add(twin).size >= 0) {
                if (std::optional<QString> text = loadRtfPlainText(twin)) {
                    row.body = std::move(*text);
                    row.file = twin.mid(course.size());
                    rows.add(row);
                }
            }
        }
        nodeDone();
    }
    return true;
}

void writeMeta(QSqlDatabase& db, const QByteArray& watched,
               const QList<std::pair<QString, QString>>& meta) {
    QSqlQuery w(db);
    w.prepare(QStringLiteral("INSERT INTO watched(data) VALUES (?)"));
    w.addBindValue(watched);
    if (!w.exec())
        throw SqlFailure{w.lastError().text()};
    QSqlQuery m(db);
    m.prepare(QStringLiteral("INSERT INTO meta(key, value) VALUES (?, ?)"));
    for (const auto& [k, v] : meta) {
        m.addBindValue(k);
        m.addBindValue(v);
        if (!m.exec())
            throw SqlFailure{m.lastError().text()};
    }
}

// Reads the course and fills the tables of `db`, which are made anew, in one
// transaction. Returns false when cancelled.
bool build(QSqlDatabase& db, const QString& course, const QString& rootList,
           const std::atomic<bool>& cancel, const std::function<void(int, int)>& progress,
           QString* notes) {
    createTables(db);
    if (!db.transaction())
        throw SqlFailure{db.lastError().text()};
    Watched watched;
    // The course folder and every day folder are watched too: a new day, or a
    // twin written beside a lesson, changes their modification time.
    watched.add(course);
    watched.add(course + QStringLiteral("CONFIG.TXT"));
    QStringList dayNotes; // said at every search, not only when built
    int total = 0;
    const std::optional<std::vector<Day>> days =
        readDays(course, rootList, cancel, watched, dayNotes, total);
    if (!days)
        return false;
    RowWriter rows(db);
    int done = 0;
    const auto nodeDone = [&] {
        ++done;
        if (progress && (done % 32 == 0 || done == total))
            progress(done, total);
    };
    for (const Day& day : *days)
        if (!indexDay(day, course, cancel, watched, rows, nodeDone))
            return false;
    writeMeta(db, watched.data(),
              {{QStringLiteral("version"), QString::number(kSchemaVersion)},
               {QStringLiteral("course"), course},
               {QStringLiteral("rootList"), rootList},
               {QStringLiteral("complete"), QStringLiteral("1")},
               {QStringLiteral("notes"), dayNotes.join(QLatin1Char('\n'))}});
    if (!db.commit())
        throw SqlFailure{db.lastError().text()};
    *notes = dayNotes.join(QLatin1Char('\n'));
    return true;
}

QString uniqueName(const void* owner, const char* role) {
    static std::atomic<int> counter{0};
    return QStringLiteral("orbino-text-%1-%2-%3")
        .arg(QString::number(quintptr(owner), 16), QLatin1String(role))
        .arg(counter.fetch_add(1));
}

} // namespace

QString plainSnippet(const QString& snippet) {
    QString out;
    out.reserve(snippet.size());
    for (const QChar c : snippet) {
        if (c == kMatchStart || c == kMatchEnd)
            continue;
        out += (c == QLatin1Char('\n') || c == QLatin1Char('\t')) ? QLatin1Char(' ') : c;
    }
    return out;
}

QString htmlSnippet(const QString& snippet) {
    QString out;
    QString run;
    auto flush = [&] {
        out += run.toHtmlEscaped();
        run.clear();
    };
    for (const QChar c : snippet) {
        if (c == kMatchStart || c == kMatchEnd) {
            flush();
            out += c == kMatchStart ? QLatin1String("<b>") : QLatin1String("</b>");
        } else {
            run += (c == QLatin1Char('\n') || c == QLatin1Char('\t')) ? QLatin1Char(' ') : c;
        }
    }
    flush();
    return out;
}

namespace {

bool isWordChar(char32_t c) {
    // From U+00C0 to U+024F every character is a letter but "×" and "÷":
    // the letters of Central European texts need no look-up. No mark comes
    // before the combining diacritics (U+0300): most other characters are
    // decided without asking for their category either.
    if (c >= 0xC0 && c < 0x250)
        return c != 0xD7 && c != 0xF7;
    return QChar::isLetterOrNumber(c) || (c >= 0x300 && QChar::isMark(c));
}

// isWordChar() of the characters below U+0250, most of a course's text,
// looked up rather than decided for each character of every snippet's text.
constexpr char16_t kWordTableSize = 0x250;
const std::array<bool, kWordTableSize>& wordTable() {
    static const std::array<bool, kWordTableSize> table = [] {
        std::array<bool, kWordTableSize> t{};
        for (char16_t c = 0; c < kWordTableSize; ++c)
            t[c] = isWordChar(c);
        return t;
    }();
    return table;
}

// The words of the user's text; `prefix` when the text ends inside the last.
struct QueryWords {
    QStringList words;
    bool prefix = false;
};
QueryWords queryWords(const QString& text) {
    QueryWords q;
    QList<char32_t> word;
    auto flush = [&] {
        if (!word.isEmpty())
            q.words << QString::fromUcs4(word.constData(), word.size());
        word.clear();
    };
    for (const char32_t c : text.toUcs4()) {
        q.prefix = isWordChar(c);
        if (q.prefix)
            word.append(c);
        else
            flush();
    }
    flush();
    return q;
}

// A word as the index compares it: without case and diacritics.
QString foldWord(const QString& w) {
    bool ascii = true;
    for (const QChar c : w)
        ascii = ascii && c.unicode() < 128;
    if (ascii)
        return w.toLower();
    QString out;
    for (const QChar c : w.normalized(QString::NormalizationForm_KD))
        if (!c.isMark())
            out += c;
    return out.toCaseFolded();
}

} // namespace

// Snippets are made here rather than by FTS5: its snippet() looks every
// matching term up again for each row, which for a short prefix costs far
// more than the search itself.
// The letters of Central and Western European texts (U+00C0 to U+017F) as
// foldWord() folds them, where that is one character; 0 where it is not.
// Made with foldWord itself, so the two never differ.
static const std::array<char16_t, 0xC0>& latinFolds() {
    static const std::array<char16_t, 0xC0> table = [] {
        std::array<char16_t, 0xC0> t{};
        for (char16_t c = 0xC0; c < 0x180; ++c) {
            const QString f = foldWord(QString(QChar(c)));
            t[c - 0xC0] = f.size() == 1 ? f.at(0).unicode() : 0;
        }
        return t;
    }();
    return table;
}

SnippetMaker::SnippetMaker(const QString& text) : m_folds(latinFolds().data()) {
    const QueryWords q = queryWords(text);
    for (const QString& w : q.words)
        m_words << foldWord(w);
    m_prefix = q.prefix;
    // A word folded to nothing (marks alone) matches what its first letter
    // cannot tell.
    for (const QString& w : std::as_const(m_words)) {
        if (w.isEmpty()) {
            m_firsts.clear();
            break;
        }
        m_firsts += w.front();
    }
}

int SnippetMaker::matches(QStringView token) const {
    if (m_words.isEmpty())
        return -1;
    // A letter folds alike alone and within its word: a word whose first
    // letter starts no query word is told apart by that letter alone, as
    // most words of a text are.
    if (!m_firsts.isEmpty() && !token.isEmpty()) {
        const char16_t u = token.front().unicode();
        const char16_t first = u < 128 ? (u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u)
                               : u >= 0xC0 && u < 0x180 ? m_folds[u - 0xC0]
                                                        : 0;
        // A few letters, looked through here rather than by a call for
        // each of the thousands of words.
        if (first != 0 &&
            std::none_of(m_firsts.cbegin(), m_firsts.cend(), [&](QChar f) { return f == first; }))
            return -1;
    }
    // Most words are folded here, a character at a time, without a string
    // made of them: a snippet looks at thousands of words.
    QVarLengthArray<char16_t, 64> folded;
    bool quick = true;
    for (const QChar c : token) {
        const char16_t u = c.unicode();
        if (u < 128) {
            folded.append(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
        } else if (u >= 0xC0 && u < 0x180 && m_folds[u - 0xC0]) {
            folded.append(m_folds[u - 0xC0]);
        } else {
            quick = false;
            break;
        }
    }
    if (quick) {
        const QStringView f(folded.constData(), folded.size());
        for (qsizetype i = 0; i < m_words.size(); ++i) {
            const QString& w = m_words.at(i);
            const bool prefix = i + 1 == m_words.size() && m_prefix;
            if (prefix ? f.startsWith(w) : f == w)
                return int(i);
        }
        return -1;
    }
    // Each other word is folded once.
    const QString key = token.toString();
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.cend())
        return *cached;
    const QString f = foldWord(key);
    int found = -1;
    for (qsizetype i = 0; i < m_words.size() && found < 0; ++i) {
        const bool last = i + 1 == m_words.size();
        if (f == m_words.at(i) || (last && m_prefix && f.startsWith(m_words.at(i))))
            found = int(i);
    }
    m_cache.insert(key, found);
    return found;
}

QString SnippetMaker::make(const QString& body, int tokens) const {
    struct Token {
        qsizetype begin, end;
        int term; // index of the query word it matches, -1 for none
    };
    std::vector<Token> all;
    const qsizetype n = body.size();
    const char16_t* const d = reinterpret_cast<const char16_t*>(body.utf16());
    const std::array<bool, kWordTableSize>& table = wordTable();
    // How many UTF-16 units of a word character stand at `at`: 0 when none
    // does (the low half of a pair whose character is none is none either).
    const auto wordAt = [&](qsizetype at) -> int {
        const char16_t u = d[at];
        if (u < kWordTableSize)
            return table[u];
        if (QChar::isHighSurrogate(u) && at + 1 < n && QChar::isLowSurrogate(d[at + 1]))
            return isWordChar(QChar::surrogateToUcs4(u, d[at + 1])) ? 2 : 0;
        return isWordChar(u);
    };
    for (qsizetype i = 0; i < n;) {
        int len = wordAt(i);
        if (len == 0) {
            ++i;
            continue;
        }
        const qsizetype begin = i;
        do
            i += len;
        while (i < n && (len = wordAt(i)) != 0);
        all.push_back({begin, i, matches(QStringView(body).sliced(begin, i - begin))});
    }
    if (all.empty())
        return body.trimmed();
    // The window of `tokens` words holding the most different query words,
    // then the most matches, with a few words before the first match.
    const size_t width = size_t(std::max(tokens, 1));
    size_t best = 0;
    long bestScore = -1;
    const size_t lastStart = all.size() > width ? all.size() - width : 0;
    // The window slides one word at a time: the counts of each query word in
    // it are kept up to date rather than counted again.
    std::vector<long> inWindow(size_t(m_words.size()), 0);
    long distinct = 0, count = 0;
    auto take = [&](size_t k, int d) {
        const int t = all[k].term;
        if (t < 0)
            return;
        long& c = inWindow[size_t(t)];
        if ((d > 0 && c == 0) || (d < 0 && c == 1))
            distinct += d;
        c += d;
        count += d;
    };
    for (size_t k = 0; k < std::min(all.size(), width); ++k)
        take(k, +1);
    size_t nextMatch = 0; // the first matching word at or after the window's start
    for (size_t start = 0; start <= lastStart; ++start) {
        if (start > 0) {
            take(start - 1, -1);
            if (start - 1 + width < all.size())
                take(start - 1 + width, +1);
        }
        while (nextMatch < all.size() && (nextMatch < start || all[nextMatch].term < 0))
            ++nextMatch;
        const long first =
            nextMatch < std::min(all.size(), start + width) ? long(nextMatch - start) : -1;
        const long score =
            distinct * 100000L + count * 100L - (first < 0 ? 0 : std::abs(first - 3));
        if (score > bestScore) {
            bestScore = score;
            best = start;
        }
    }
    const size_t last = std::min(all.size(), best + width) - 1;
    QString out;
    if (best > 0)
        out += QStringLiteral("…");
    qsizetype pos = best == 0 ? 0 : all[best].begin;
    for (size_t k = best; k <= last; ++k) {
        out += body.mid(pos, all[k].begin - pos);
        const QString word = body.mid(all[k].begin, all[k].end - all[k].begin);
        if (all[k].term >= 0)
            out += kMatchStart + word + kMatchEnd;
        else
            out += word;
        pos = all[k].end;
    }
    if (last + 1 < all.size()) {
        out += body.mid(pos, all[last + 1].begin - pos).trimmed();
        out += QStringLiteral("…");
    } else {
        out += body.mid(pos);
    }
    return out.trimmed();
}

QString ftsQuery(const QString& text) {
    const QueryWords q = queryWords(text);
    if (q.words.isEmpty())
        return {};
    QStringList terms;
    for (QString w : q.words)
        terms << QLatin1Char('"') + w.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                     QLatin1Char('"');
    if (q.prefix)
        terms.last() += QLatin1Char('*');
    return terms.join(QLatin1Char(' '));
}

QString indexFileName(const QString& cacheDir, const QString& courseDir) {
    QString abs = QFileInfo(courseDir).canonicalFilePath();
    if (abs.isEmpty())
        abs = QFileInfo(courseDir).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(abs.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    QString dir = cacheDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QString::fromLatin1(hash) + QStringLiteral(".fts.sqlite");
}

QString courseRootList(const QString& programFolder) {
    AppState st;
    st.programFolder = programFolder;
    if (!st.programFolder.endsWith(QLatin1Char('/')))
        st.programFolder += QLatin1Char('/');
    st.levelConfigActive = false;
    return st.CitajKonfig(keys::DefaultContent);
}

QString defaultIndexCacheDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/orbino");
}

// The state one build works with. The thread holds its own reference, so the
// object that started it may go while it runs.
struct IndexBuild {
    QString course, rootList, cacheDir;
    QString file; // empty: in memory
    QString memoryUri;
    QString name; // connection names start with it
    std::atomic<bool> ready{false};
    std::atomic<bool> cancel{false};
    QString problem; // read only once the build has ended
    QString notes;   // what the user should know about the course, likewise

    void run(const std::function<void(int, int)>& progress);
};

namespace {

enum class IndexPlace { Missing, Regular, Unreadable, Directory, Other };

// What is at the index path now, without opening it: opening a FIFO would
// wait for a writer that never comes.
IndexPlace indexPlace(const QString& file) {
    const QByteArray native = QFile::encodeName(file);
    struct stat s {};
    if (::stat(native.constData(), &s) != 0) {
        struct stat l {};
        // A dangling link is simply replaced.
        return ::lstat(native.constData(), &l) == 0 ? IndexPlace::Other : IndexPlace::Missing;
    }
    if (S_ISDIR(s.st_mode))
        return IndexPlace::Directory;
    if (!S_ISREG(s.st_mode))
        return IndexPlace::Other;
    return ::access(native.constData(), R_OK) == 0 ? IndexPlace::Regular : IndexPlace::Unreadable;
}

} // namespace

void IndexBuild::run(const std::function<void(int, int)>& progress) {
    try {
        if (file.isEmpty()) {
            Connection c(name, memoryUri, QStringLiteral("QSQLITE_OPEN_URI"));
            if (!c.ok())
                throw SqlFailure{c.error()};
            QSqlDatabase db = c.db();
            if (build(db, course, rootList, cancel, progress, &notes))
                ready = true;
            return;
        }
        // Only a regular file is opened: anything else in its place is
        // replaced below.
        if (indexPlace(file) == IndexPlace::Regular) {
            Connection c(name, file, QStringLiteral("QSQLITE_OPEN_READONLY"));
            if (c.ok() && isCurrent(c.db(), course, rootList, &notes)) {
                ready = true;
                return;
            }
        }
        removeDeadParts(cacheDir);
        // Built beside the old file and renamed over it: a reader (another
        // copy of the program) never sees half an index, and a damaged file
        // is simply replaced.
        const QString part = file + QStringLiteral(".part%1").arg(::getpid());
        QFile::remove(part);
        bool built = false;
        {
            Connection c(name + QStringLiteral("-new"), part, QString());
            if (!c.ok())
                throw SqlFailure{c.error()};
            QSqlDatabase db = c.db();
            built = build(db, course, rootList, cancel, progress, &notes);
        }
        if (!built) {
            QFile::remove(part);
            return;
        }
        if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) !=
            0) {
            const int err = errno;
            QFile::remove(part);
            throw SqlFailure{QStringLiteral("%1 sa nedá premenovať na %2: %3")
                                 .arg(part, file, QString::fromLocal8Bit(std::strerror(err)))};
        }
        ready = true;
    } catch (const SqlFailure& f) {
        problem = QStringLiteral("Index na hľadanie v texte sa nedá vytvoriť (%1): %2")
                      .arg(file.isEmpty() ? QStringLiteral("v pamäti") : file, f.text);
    }
}

TextSearch::TextSearch(const QString& courseDir, const QString& rootList, const QString& cacheDir,
                       QObject* parent)
    : QObject(parent), m_rootList(rootList), m_cacheDir(cacheDir) {
    m_course = QFileInfo(courseDir).absoluteFilePath();
    if (!m_course.endsWith(QLatin1Char('/')))
        m_course += QLatin1Char('/');
    m_readerName = uniqueName(this, "reader");
}

TextSearch::~TextSearch() {
    if (m_build)
        m_build->cancel = true;
    if (m_thread) {
        // Cancelled, a build ends at its next lesson, which is a moment; one
        // stuck in a file it reads is left to end on its own, never waited
        // for: nothing of this object is used by then. At the program's end
        // it gets a moment more to finish.
        if (m_thread->wait(QDeadlineTimer(250))) {
            delete m_thread;
        } else {
            QThread* t = m_thread;
            disconnect(t, nullptr, this, nullptr);
            connect(t, &QThread::finished, t, &QObject::deleteLater);
            if (t->isFinished()) // ended just now, before the connection
                t->deleteLater();
            if (QCoreApplication* app = QCoreApplication::instance())
                connect(app, &QCoreApplication::aboutToQuit, t,
                        [t] { t->wait(QDeadlineTimer(3000)); });
        }
    }
    if (m_readerOpen) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_readerName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_readerName);
    }
}

bool TextSearch::ready() const {
    return m_build && m_build->ready.load();
}

void TextSearch::setProblem(const QString& p) {
    if (!p.isEmpty() && m_problem.isEmpty())
        m_problem = p;
}

void TextSearch::addNote(const QString& note) {
    if (!note.isEmpty())
        m_problem += (m_problem.isEmpty() ? QString() : QStringLiteral("\n")) + note;
}

void TextSearch::chooseIndexFile(const QString& rebuiltWhen) {
    m_file = indexFileName(m_cacheDir, m_course);
    const QString inMemory =
        QStringLiteral("index na hľadanie v texte sa vytvára len v pamäti%1.").arg(rebuiltWhen);
    const bool writable = QDir().mkpath(m_cacheDir) &&
                          ::access(QFile::encodeName(m_cacheDir).constData(), W_OK | X_OK) == 0;
    const IndexPlace place = indexPlace(m_file);
    if (!writable) {
        setProblem(QStringLiteral("Do priečinka %1 sa nedá zapisovať: %2")
                       .arg(QDir::toNativeSeparators(m_cacheDir), inMemory));
    } else if (place == IndexPlace::Directory) {
        // A folder is never removed for the index: it may hold anything.
        setProblem(QStringLiteral("Na mieste indexu %1 je priečinok: %2")
                       .arg(QDir::toNativeSeparators(m_file), inMemory));
    } else {
        if (place == IndexPlace::Unreadable)
            setProblem(QStringLiteral("Index %1 sa nedá čítať: vytvára sa nanovo.")
                           .arg(QDir::toNativeSeparators(m_file)));
        else if (place == IndexPlace::Other)
            setProblem(QStringLiteral("Na mieste indexu %1 nie je obyčajný súbor: index sa "
                                      "vytvára nanovo.")
                           .arg(QDir::toNativeSeparators(m_file)));
        return;
    }
    m_file.clear();
    m_memoryUri =
        QStringLiteral("file:%1?mode=memory&cache=shared").arg(uniqueName(this, "memory"));
    // The reader keeps the memory database alive after the builder is done.
    openReader();
}

void TextSearch::newBuild() {
    m_build = std::make_shared<IndexBuild>();
    m_build->course = m_course;
    m_build->rootList = m_rootList;
    m_build->cacheDir = m_cacheDir;
    m_build->file = m_file;
    m_build->memoryUri = m_memoryUri;
    m_build->name = uniqueName(this, "builder");
    m_building = true;
}

void TextSearch::start() {
    if (m_thread || m_build)
        return;
    chooseIndexFile(QStringLiteral(", pri každom spustení znova"));
    newBuild();
    std::shared_ptr<IndexBuild> build = m_build;
    const QPointer<TextSearch> self(this);
    m_thread = QThread::create([build, self] {
        QThread* thread = QThread::currentThread();
        build->run([thread, self](int done, int total) {
            // Delivered in the thread that owns `thread`, and dropped once
            // the window is gone.
            QMetaObject::invokeMethod(
                thread,
                [self, done, total] {
                    if (self)
                        emit self->progress(done, total);
                },
                Qt::QueuedConnection);
        });
    });
    connect(m_thread, &QThread::finished, this, [this] {
        m_building = false;
        setProblem(m_build->problem);
        addNote(m_build->notes);
        emit finished();
    });
    m_thread->start(QThread::LowPriority);
}

bool TextSearch::prepare() {
    if (m_thread) {
        m_thread->wait();
        QCoreApplication::sendPostedEvents(this);
        return ready();
    }
    if (m_build)
        return ready();
    chooseIndexFile(QString());
    newBuild();
    m_build->run([this](int done, int total) { emit progress(done, total); });
    m_building = false;
    setProblem(m_build->problem);
    addNote(m_build->notes);
    return ready();
}

bool TextSearch::openReader() {
    if (m_readerOpen)
        return QSqlDatabase::database(m_readerName, false).isOpen();
    // The file is checked again: something else may have taken its place
    // since it was built.
    if (!m_file.isEmpty() && indexPlace(m_file) != IndexPlace::Regular)
        return false;
    m_readerOpen = true;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_readerName);
    if (m_file.isEmpty()) {
        db.setDatabaseName(m_memoryUri);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    } else {
        db.setDatabaseName(m_file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    return db.open();
}

QList<TextHit> TextSearch::search(const QString& text, int limit) {
    QList<TextHit> hits;
    if (!ready() || limit <= 0)
        return hits;
    const QString match = ftsQuery(text);
    if (match.isEmpty() || !openReader())
        return hits;
    QSqlDatabase db = QSqlDatabase::database(m_readerName, false);
    // Both statements read in one transaction: the same state of the index,
    // and its pages read once.
    const bool inTransaction = db.transaction();
    const auto endTransaction = qScopeGuard([&] {
        if (inTransaction)
            db.commit();
    });
    // First the ranking alone, which is cheap; snippets, which are not, only
    // for the rows shown.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT rowid, day, node, kind FROM texts WHERE texts MATCH ? ORDER BY rank LIMIT ?"));
    q.addBindValue(match);
    // Several rows of one node (its caption, its text, its twin) give one hit.
    q.addBindValue(limit * 3 + 8);
    if (!q.exec())
        return hits;
    struct Pick {
        qint64 rowid;
        bool caption;
    };
    std::vector<Pick> picks;
    QHash<QString, size_t> seen; // node -> its pick
    while (q.next()) {
        const bool caption = q.value(3).toInt() == 0;
        const QString key = q.value(1).toString() + QLatin1Char('/') + q.value(2).toString();
        if (const auto it = seen.constFind(key); it != seen.cend()) {
            // The caption is shown as the path anyway: a match in the text
            // itself makes the better snippet.
            if (!caption && picks[*it].caption)
                picks[*it] = {q.value(0).toLongLong(), false};
            continue;
        }
        if (picks.size() >= size_t(limit))
            continue;
        seen.insert(key, picks.size());
        picks.push_back({q.value(0).toLongLong(), caption});
    }
    q.finish();
    if (picks.empty())
        return hits;

    // The rows' own columns by rowid, all in one statement, without MATCH:
    // FTS5 would expand a short prefix again for every row. A snippet is a
    // dozen words: a text of megabytes is looked at only as far as its first
    // kSnippetScan characters, so each hit costs about the same whatever the
    // size of its text. A text of no more bytes than that holds no more
    // characters either: it is taken whole, without substr() counting them.
    QStringList ids;
    ids.reserve(qsizetype(picks.size()));
    for (const Pick& p : picks)
        ids << QString::number(p.rowid);
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.exec(QStringLiteral("SELECT rowid, captionPath, file, CASE WHEN "
                                  "length(CAST(body AS BLOB)) <= %1 THEN body ELSE "
                                  "substr(body, 1, %1) END, day, node, caption, target "
                                  "FROM texts WHERE rowid IN (%2)")
                       .arg(kSnippetScan)
                       .arg(ids.join(QLatin1Char(',')))))
        return hits;
    QHash<qint64, TextHit> byRow;
    const SnippetMaker snippet(text);
    while (rows.next()) {
        TextHit h;
        h.captionPath = rows.value(1).toString();
        h.file = rows.value(2).toString();
        h.snippet = snippet.make(rows.value(3).toString());
        h.dayFolder = rows.value(4).toString();
        h.node = rows.value(5).toInt();
        h.caption = rows.value(6).toString();
        h.target = rows.value(7).toString();
        byRow.insert(rows.value(0).toLongLong(), h);
    }
    rows.finish();
    // In the order of the ranking.
    for (const Pick& p : picks)
        if (const auto it = byRow.constFind(p.rowid); it != byRow.cend())
            hits << *it;
    return hits;
}

} // namespace orbino
