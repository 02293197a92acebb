#include "tools/copy.h"

#include "content/fmx_utils.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace orbino {

namespace {

void sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

QString withSlash(const QString& p) {
    return p.endsWith(QLatin1Char('/')) ? p : p + QLatin1Char('/');
}

// The folder as the learner reads it: no trailing "/" but for the root.
QString shownFolder(const QString& folder) {
    return folder.size() > 1 && folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
}

// A system error in the learner's words where there are common ones.
QString errnoText(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("prístup zamietnutý");
    case EROFS:
        return QStringLiteral("médium je len na čítanie");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na médiu nie je dosť miesta");
    case ENOENT:
        return QStringLiteral("neexistuje");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

// Why copying `src` into `target` failed, found out after the fact: the
// copy itself only says which side it was.
QString failureReason(const QString& src, const QString& target) {
    const QByteArray from = resolveNative(src);
    struct stat st {};
    if (::stat(from.constData(), &st) != 0)
        return QStringLiteral("súbor ") + errnoText(errno);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("nie je to obyčajný súbor");
    const int fd = ::open(from.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("súbor sa nedá čítať: ") + errnoText(errno);
    ::close(fd);
    const QString folder = resolvePath(target).section(QLatin1Char('/'), 0, -2) + QLatin1Char('/');
    const QByteArray to = resolveNative(folder);
    if (!isDir(folder))
        return QStringLiteral("priečinok ") + shownFolder(folder) + QStringLiteral(" neexistuje");
    if (::faccessat(AT_FDCWD, to.constData(), W_OK, AT_EACCESS) != 0)
        return QStringLiteral("do priečinka sa nedá zapisovať: ") + errnoText(errno);
    struct statvfs fs {};
    if (::statvfs(to.constData(), &fs) == 0 &&
        quint64(fs.f_bavail) * quint64(fs.f_frsize) < quint64(st.st_size))
        return errnoText(ENOSPC);
    return QStringLiteral("zápis sa nepodaril");
}

bool sameFile(const QString& a, const QString& b) {
    struct stat x {
    }, y{};
    return ::stat(resolveNative(a).constData(), &x) == 0 &&
           ::stat(resolveNative(b).constData(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

} // namespace

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QStringList noteAndLinkFiles(const QString& folder) {
    QStringList out;
    for (const QString& name : filesIn(folder)) {
        if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) ||
            name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
            out << name;
    }
    return out;
}

QStringList filesIn(const QString& folder) {
    QStringList out;
    for (const DirEntry& e : listFolder(folder))
        if (!e.isDir && !e.hidden)
            out << e.name;
    sortNames(out);
    return out;
}

QStringList foldersIn(const QString& folder) {
    QStringList out;
    for (const DirEntry& e : listFolder(folder))
        if (e.isDir && !e.hidden)
            out << e.name;
    sortNames(out);
    return out;
}

bool copyFileInto(const QString& src, const QString& dest) {
    const QString target = isDir(dest) ? joinPath(dest, lastComponent(src)) : dest;
    // Both sides showing the same folder: nothing to do, and nothing to lose.
    struct stat a {
    }, b{};
    if (::stat(resolveNative(src).constData(), &a) == 0 &&
        ::stat(resolveNative(target).constData(), &b) == 0 && a.st_dev == b.st_dev &&
        a.st_ino == b.st_ino)
        return false;
    try {
        CopyFileTo(src, target);
    } catch (const CopyError&) {
        throw;
    } catch (const FileError& e) {
        // The copy window shows the utility's own wording alone.
        if (e.reason().startsWith(QLatin1String("Cannot ")))
            throw CopyError(e.path(), e.reason());
        throw;
    }
    return true;
}

int copyFiles(const QString& fromFolder, const QStringList& names, const QString& toFolder) {
    int copied = 0;
    for (const QString& name : names)
        if (copyFileInto(joinPath(fromFolder, name), joinPath(toFolder, name)))
            ++copied;
    return copied;
}

QStringList driveRoots() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady())
            continue;
        QString r = v.rootPath();
        if (!r.endsWith(QLatin1Char('/')))
            r += QLatin1Char('/');
        if (!roots.contains(r))
            roots << r;
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

QString driveOf(const QStringList& roots, const QString& folder) {
    QString f = folder;
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    QString best = QStringLiteral("/");
    for (const QString& r : roots)
        if (f.startsWith(r) && r.size() > best.size())
            best = r;
    return best;
}

QString homePlaceName() {
    return QStringLiteral("Domovský priečinok");
}

bool insideFolder(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    auto real = [](const QString& p) {
        const QString r = QFileInfo(resolvePath(p)).canonicalFilePath();
        return withSlash(r.isEmpty() ? QFileInfo(p).absoluteFilePath() : r);
    };
    return real(path).startsWith(real(folder));
}

QList<CopyPlace> copyPlaces(const QList<MountedVolume>& mounts, const QString& user,
                            const QString& home, const QString& course) {
    QList<CopyPlace> out;
    auto add = [&](const QString& name, const QString& folder) {
        const QString f = withSlash(folder);
        if (insideFolder(f, course))
            return;
        for (const CopyPlace& p : out)
            if (p.folder == f)
                return;
        out.push_back({name, f});
    };
    if (!user.isEmpty() && !user.contains(QLatin1Char('/'))) {
        const QStringList parents{QStringLiteral("/media/") + user + QLatin1Char('/'),
                                  QStringLiteral("/run/media/") + user + QLatin1Char('/')};
        for (const MountedVolume& m : mounts) {
            const QString root = withSlash(m.root);
            for (const QString& parent : parents)
                if (root.startsWith(parent) && root.size() > parent.size())
                    add(m.name.isEmpty() ? lastComponent(root.chopped(1)) : m.name, root);
        }
    }
    if (!home.isEmpty())
        add(homePlaceName(), home);
    return out;
}

QString copyStartFolder(const QList<CopyPlace>& places) {
    for (const CopyPlace& p : places)
        if (isDir(p.folder))
            return p.folder;
    return {};
}

bool replacesOtherContent(const QString& src, const QString& target) {
    if (!isFile(target) || sameFile(src, target))
        return false;
    QFile a(resolvePath(src)), b(resolvePath(target));
    // A source that cannot be read fails in the copy, with its reason.
    if (!QFileInfo(a).isFile() || !a.open(QIODevice::ReadOnly))
        return false;
    if (!b.open(QIODevice::ReadOnly))
        return true;
    if (a.size() != b.size())
        return true;
    constexpr qint64 block = 65536;
    for (;;) {
        const QByteArray x = a.read(block), y = b.read(block);
        if (x != y)
            return true;
        if (x.isEmpty())
            return false;
    }
}

CopyResult copyAsking(const QString& fromFolder, const QStringList& names, const QString& toFolder,
                      const std::function<Overwrite(const QString&)>& ask) {
    CopyResult r;
    r.toFolder = toFolder;
    bool yesToAll = false;
    for (const QString& name : names) {
        const QString src = joinPath(fromFolder, name), target = joinPath(toFolder, name);
        if (isDir(target)) {
            r.failedName = name;
            r.failure = QStringLiteral("v cieli je priečinok s tým istým menom");
            break;
        }
        if (!yesToAll && replacesOtherContent(src, target)) {
            const Overwrite a = ask ? ask(name) : Overwrite::No;
            if (a == Overwrite::No) {
                r.kept << name;
                continue;
            }
            yesToAll = a == Overwrite::YesToAll;
        }
        try {
            if (copyFileInto(src, target))
                ++r.copied;
        } catch (const FileError&) {
            r.failedName = name;
            r.failure = failureReason(src, target);
            break;
        }
    }
    return r;
}

QString filesCount(int n) {
    const QString word = n == 1               ? QStringLiteral("súbor")
                         : (n >= 2 && n <= 4) ? QStringLiteral("súbory")
                                              : QStringLiteral("súborov");
    return QString::number(n) + QLatin1Char(' ') + word;
}

QString copySummary(const CopyResult& r) {
    QString line;
    if (r.copied == 0) {
        line = QStringLiteral("Neskopíroval sa žiadny súbor.");
    } else {
        const QString done = r.copied == 1                      ? QStringLiteral("Skopírovaný ")
                             : (r.copied >= 2 && r.copied <= 4) ? QStringLiteral("Skopírované ")
                                                                : QStringLiteral("Skopírovaných ");
        line = done + filesCount(r.copied) + QStringLiteral(" do ") + shownFolder(r.toFolder) +
               QLatin1Char('.');
    }
    if (!r.kept.isEmpty())
        line += QStringLiteral(" Ponechané bez zmeny: ") + r.kept.join(QStringLiteral(", ")) +
                QLatin1Char('.');
    if (!r.failedName.isEmpty())
        line += QStringLiteral(" Súbor ") + r.failedName +
                QStringLiteral(" sa nepodarilo skopírovať: ") + r.failure + QLatin1Char('.');
    return line;
}

QString overwriteQuestion(const QString& name, const QString& folder) {
    return QStringLiteral("V priečinku ") + shownFolder(folder) + QStringLiteral(" už je súbor ") +
           name + QStringLiteral(" s iným obsahom. Nahradiť ho?");
}

} // namespace orbino
