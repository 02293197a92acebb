#include "tools/copy.h"

#include "content/fmx_utils.h"
#include "platform/paths.h"

#include <QStorageInfo>

#include <algorithm>
#include <sys/stat.h>

namespace orbino {

namespace {

void sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
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

} // namespace orbino
