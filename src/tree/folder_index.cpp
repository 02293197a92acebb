#include "tree/folder_index.h"

#include "platform/paths.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <utility>
#include <vector>

namespace orbino {

namespace {
QString fold(const QString& s) {
    // NFC changes nothing in plain ASCII, the usual case for course files.
    const bool ascii = std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 128; });
    return (ascii ? s : s.normalized(QString::NormalizationForm_C)).toCaseFolded();
}
} // namespace

FolderIndex::FolderIndex(const QString& dir) : m_dir(dir) {
    if (!m_dir.endsWith(QLatin1Char('/')) && !m_dir.endsWith(QLatin1Char('\\')))
        m_dir += QLatin1Char('/');
    const QString resolved = resolvePath(m_dir);
    m_canonical = QFileInfo(resolved).canonicalFilePath();
    if (m_canonical.isEmpty())
        m_canonical = resolved;
    if (!m_canonical.endsWith(QLatin1Char('/')))
        m_canonical += QLatin1Char('/');
    const QList<DirEntry> entries = listFolder(m_dir);
    if (entries.isEmpty()) {
        // Empty, or not listed at all: ask once why, so an unreadable folder
        // is not taken for one whose files are all missing.
        const QByteArray native = resolveNative(m_dir);
        if (DIR* d = ::opendir(native.constData())) {
            ::closedir(d);
        } else if (errno != ENOENT) {
            m_error = QString::fromLocal8Bit(std::strerror(errno));
        }
    }
    // Byte order of the names, as the resolver picks among case variants.
    std::vector<std::pair<QByteArray, qsizetype>> order;
    order.reserve(size_t(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i)
        order.emplace_back(entries[i].name.toUtf8(), i);
    std::sort(order.begin(), order.end());
    m_names.reserve(entries.size() * 2);
    for (const auto& [raw, i] : order) {
        const DirEntry& e = entries[i];
        const Kind kind = e.dangling ? Kind::Dangling : e.isDir ? Kind::Folder : Kind::File;
        m_names[e.name].exact = kind;
        Entry& folded = m_names[fold(e.name)];
        if (folded.firstKind == Kind::None) {
            folded.firstKind = kind;
            folded.first = e.name;
        }
    }
}

bool FolderIndex::isPlain(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && name != QLatin1String(".") &&
           name != QLatin1String("..") && !(name.size() >= 2 && name.at(1) == QLatin1Char(':'));
}

FolderIndex::Kind FolderIndex::kindOf(const QString& name, QString* onDisk) const {
    const auto exact = m_names.constFind(name);
    if (exact != m_names.cend() && exact->exact != Kind::None) {
        *onDisk = name;
        return exact->exact;
    }
    const QString f = fold(name);
    const auto folded = f == name ? exact : m_names.constFind(f);
    if (folded == m_names.cend() || folded->firstKind == Kind::None)
        return Kind::None;
    *onDisk = folded->first;
    return folded->firstKind;
}

QString FolderIndex::fileName(const QString& name) const {
    if (!isPlain(name))
        return isFile(m_dir + name) ? lastComponent(resolvePath(m_dir + name)) : QString();
    QString onDisk;
    return kindOf(name, &onDisk) == Kind::File ? onDisk : QString();
}

QString FolderIndex::entryName(const QString& name) const {
    QString onDisk;
    if (!isPlain(name))
        return {};
    const Kind kind = kindOf(name, &onDisk);
    return kind == Kind::File || kind == Kind::Folder ? onDisk : QString();
}

QString FolderIndex::identity(const QString& name) const {
    if (isPlain(name)) {
        const QString onDisk = fileName(name);
        return m_canonical + (onDisk.isEmpty() ? name : onDisk);
    }
    const QString resolved = resolvePath(m_dir + name);
    const QString canonical = QFileInfo(resolved).canonicalFilePath();
    return canonical.isEmpty() ? resolved : canonical;
}

} // namespace orbino
