#include "platform/paths.h"

#include "platform/textfile.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unordered_map>

namespace orbino {

namespace {

QString fold(const QString& s) {
    // Plain ASCII names (most of them) need neither normalising nor full folding.
    bool ascii = true;
    for (const QChar c : s)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return s.toLower();
    return s.normalized(QString::NormalizationForm_C).toCaseFolded();
}

struct Listing {
    struct timespec mtime {};
    ino_t ino = 0;
    bool trusted = false; // false when the folder changed too close to our scan
    std::vector<DirEntry> entries;
    std::vector<QByteArray> raw;
    QHash<QByteArray, qsizetype> exact;
    QHash<QString, qsizetype> folded; // first in byte order wins
};

struct Cache {
    std::mutex mutex;
    std::unordered_map<std::string, std::shared_ptr<Listing>> map;
};

Cache& cache() {
    static Cache c;
    return c;
}

std::shared_ptr<Listing> scan(const QByteArray& dir, const struct stat& st) {
    auto l = std::make_shared<Listing>();
    l->mtime = st.st_mtim;
    l->ino = st.st_ino;
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    // A folder changed within the file system's timestamp granularity of our
    // scan could change again without a new mtime: scan it again next time.
    const double age =
        double(now.tv_sec - st.st_mtim.tv_sec) + (now.tv_nsec - st.st_mtim.tv_nsec) / 1e9;
    l->trusted = age > 0.05;
    DIR* d = ::opendir(dir.isEmpty() ? "." : dir.constData());
    if (!d)
        return l;
    struct Name {
        std::string raw;
        bool isDir;
        bool dangling;
    };
    std::vector<Name> names;
    while (struct dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (std::strcmp(n, ".") == 0 || std::strcmp(n, "..") == 0)
            continue;
        bool isdir = false;
        bool dangling = false;
        if (e->d_type == DT_DIR)
            isdir = true;
        else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat s {};
            const QByteArray full = (dir.isEmpty() ? QByteArray() : dir + '/') + n;
            const bool reached = ::stat(full.constData(), &s) == 0;
            isdir = reached && S_ISDIR(s.st_mode);
            dangling = !reached;
        }
        names.push_back({n, isdir, dangling});
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(),
              [](const Name& a, const Name& b) { return a.raw < b.raw; });
    l->entries.reserve(names.size());
    l->raw.reserve(names.size());
    l->exact.reserve(qsizetype(names.size()));
    l->folded.reserve(qsizetype(names.size()));
    for (const Name& n : names) {
        const qsizetype i = qsizetype(l->entries.size());
        const QByteArray raw(n.raw.data(), qsizetype(n.raw.size()));
        DirEntry de{decodeFileName(raw), n.isDir, raw.startsWith('.'), n.dangling};
        l->exact.insert(raw, i);
        // Names come in byte order, so the first variant of a folded name stays.
        const QString key = fold(de.name);
        if (!l->folded.contains(key))
            l->folded.insert(key, i);
        l->entries.push_back(std::move(de));
        l->raw.push_back(raw);
    }
    return l;
}

std::shared_ptr<Listing> listing(const QByteArray& dir) {
    struct stat st {};
    if (::stat(dir.isEmpty() ? "." : dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return nullptr;
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    const std::string key = dir.toStdString();
    auto it = c.map.find(key);
    if (it != c.map.end()) {
        const Listing& l = *it->second;
        if (l.trusted && l.ino == st.st_ino && l.mtime.tv_sec == st.st_mtim.tv_sec &&
            l.mtime.tv_nsec == st.st_mtim.tv_nsec)
            return it->second;
    }
    auto l = scan(dir, st);
    c.map[key] = l;
    return l;
}

QString stripDrive(const QString& p) {
    if (p.size() >= 2 && p.at(1) == QLatin1Char(':') && p.at(0).isLetter() &&
        p.at(0).unicode() < 128)
        return (p.size() > 2 && (p.at(2) == QLatin1Char('\\') || p.at(2) == QLatin1Char('/')))
                   ? p.mid(2)
                   : QStringLiteral("/") + p.mid(2);
    return p;
}

} // namespace

QString decodeFileName(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(raw);
    if (!utf8.hasError())
        return s;
    return decode1250(raw);
}

QString fromWindowsPath(const QString& path) {
    QString p = stripDrive(path);
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QByteArray resolveNative(const QString& path) {
    const QString p = fromWindowsPath(path);
    // Fast path: when the name exists exactly as written, every component
    // matched exactly and there is nothing to look up.
    {
        const QByteArray direct = p.toUtf8();
        struct stat st {};
        if (!direct.isEmpty() && ::lstat(direct.constData(), &st) == 0)
            return direct;
    }
    const bool absolute = p.startsWith(QLatin1Char('/'));
    QStringList parts;
    QByteArray cur;
    // A name missing from a folder that exists as written (a file about to
    // be made, an optional one looked for) needs only that folder's listing,
    // not a listing of every folder above it.
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    const QString last = slash > 0 ? p.mid(slash + 1) : QString();
    struct stat parentStat {};
    if (!last.isEmpty() && last != QLatin1String(".") && last != QLatin1String("..") &&
        ::stat(p.left(slash).toUtf8().constData(), &parentStat) == 0 &&
        S_ISDIR(parentStat.st_mode)) {
        cur = p.left(slash).toUtf8();
        parts = QStringList{last};
    } else {
        parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        cur = absolute ? QByteArray("/") : QByteArray();
    }
    bool missing = false; // once a component is missing, the rest are kept as written
    for (const QString& part : parts) {
        const QByteArray given = part.toUtf8();
        QByteArray chosen = given;
        if (!missing && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QByteArray dir =
                cur.isEmpty() ? QByteArray()
                              : (cur.endsWith('/') && cur.size() > 1 ? cur.chopped(1) : cur);
            auto l = listing(dir);
            if (!l) {
                missing = true;
            } else if (auto e = l->exact.constFind(given); e != l->exact.cend()) {
                chosen = given;
            } else {
                // Not in the cached listing: a file created since? Check directly.
                struct stat st {};
                const QByteArray full =
                    cur.isEmpty() || cur.endsWith('/') ? cur + given : cur + '/' + given;
                if (::lstat(full.constData(), &st) == 0) {
                    chosen = given;
                    invalidateListing(QString::fromUtf8(dir));
                } else if (auto f = l->folded.constFind(fold(part)); f != l->folded.cend()) {
                    chosen = l->raw[size_t(*f)];
                } else {
                    missing = true;
                }
            }
        }
        if (!cur.isEmpty() && !cur.endsWith('/'))
            cur += '/';
        cur += chosen;
    }
    if (p.endsWith(QLatin1Char('/')) && !cur.endsWith('/'))
        cur += '/';
    if (cur.isEmpty() && absolute)
        cur = "/";
    return cur;
}

int openResolved(const QString& path, int flags) {
    const QByteArray direct = fromWindowsPath(path).toUtf8();
    if (!direct.isEmpty()) {
        const int fd = ::open(direct.constData(), flags | O_CLOEXEC);
        if (fd >= 0 || (errno != ENOENT && errno != ENOTDIR))
            return fd;
    }
    return ::open(resolveNative(path).constData(), flags | O_CLOEXEC);
}

QString resolvePath(const QString& path) {
    const QByteArray n = resolveNative(path);
    // Decode per component so raw Windows-1250 names show correctly.
    QString out;
    const QList<QByteArray> parts = n.split('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i)
            out += QLatin1Char('/');
        out += decodeFileName(parts[i]);
    }
    return out;
}

bool pathExists(const QString& path) {
    struct stat st {};
    return ::stat(resolveNative(path).constData(), &st) == 0;
}

bool isFile(const QString& path) {
    struct stat st {};
    return ::stat(resolveNative(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDir(const QString& path) {
    struct stat st {};
    return ::stat(resolveNative(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString specialFileKind(const QString& path) {
    struct stat st {};
    if (::stat(resolveNative(path).constData(), &st) != 0 || S_ISREG(st.st_mode) ||
        S_ISDIR(st.st_mode))
        return {};
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("pomenovaná rúra (FIFO)");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("soket");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("zariadenie");
    return QStringLiteral("zvláštny súbor");
}

QList<DirEntry> listFolder(const QString& dir) {
    QByteArray n = resolveNative(dir);
    if (n.size() > 1 && n.endsWith('/'))
        n.chop(1);
    auto l = listing(n);
    if (!l)
        return {};
    return QList<DirEntry>(l->entries.begin(), l->entries.end());
}

void invalidateListing(const QString& dir) {
    QByteArray n = dir.toUtf8();
    while (n.size() > 1 && n.endsWith('/'))
        n.chop(1);
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    c.map.erase(n.toStdString());
}

QString lastComponent(const QString& path) {
    const qsizetype i =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return i >= 0 ? path.mid(i + 1) : path;
}

} // namespace orbino
