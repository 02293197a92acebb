#include "tools/copy.h"

#include "platform/paths.h"

#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbino {

namespace {

void sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

QString systemError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// Closes a descriptor on every way out.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

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
    const QByteArray srcNative = resolveNative(src);
    const QByteArray dstNative = resolveNative(target);

    Fd in;
    in.fd = ::open(srcNative.constData(), O_RDONLY | O_CLOEXEC);
    struct stat srcStat {};
    if (in.fd < 0 || ::fstat(in.fd, &srcStat) != 0 || !S_ISREG(srcStat.st_mode))
        throw CopyError(src, QStringLiteral("Cannot open file %1").arg(src));

    struct stat dstStat {};
    const bool dstExists = ::stat(dstNative.constData(), &dstStat) == 0;
    if (dstExists && dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino)
        return false;

    const qsizetype slash = dstNative.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? dstNative.left(slash + 1) : QByteArray("./");
    QByteArray tmp = dir + ".orbino-XXXXXX";
    Fd out;
    out.fd = ::mkstemp(tmp.data());
    if (out.fd < 0 || (dstExists && S_ISDIR(dstStat.st_mode))) {
        if (out.fd >= 0)
            ::unlink(tmp.constData());
        throw CopyError(target, QStringLiteral("Cannot create file %1").arg(target));
    }
    auto fail = [&](const QString& path, int err) {
        ::unlink(tmp.constData());
        throw FileError(path, systemError(err));
    };

    mode_t mode = 0644;
    if (dstExists) {
        mode = dstStat.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(out.fd, mode);

    char buf[8192];
    for (;;) {
        const ssize_t got = ::read(in.fd, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(src, errno);
        }
        if (got == 0)
            break;
        const char* p = buf;
        ssize_t left = got;
        while (left > 0) {
            const ssize_t w = ::write(out.fd, p, size_t(left));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                fail(target, errno);
            }
            p += w;
            left -= w;
        }
    }
    if (::fsync(out.fd) != 0)
        fail(target, errno);
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0)
        fail(target, errno);
    if (::rename(tmp.constData(), dstNative.constData()) != 0)
        fail(target, errno);
    invalidateListing(QString::fromUtf8(dir));
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

} // namespace orbino
