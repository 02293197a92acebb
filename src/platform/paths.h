#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orbino {

// Every path built from course data goes through here. "\" and "/" both
// separate; a leading drive ("C:") stands for the root "/". Each component is
// matched exactly first, then without regard to case (Unicode case folding on
// NFC forms, so "Ň" matches "ň" and NFD names match NFC ones). Names on disk
// that are not valid UTF-8 are taken as Windows-1250. Among several case
// variants the exact one wins, else the first in byte order. Components that
// do not exist are kept as written, so a new file keeps the given name.
//
// Folder listings are cached per folder and re-read when the folder changes,
// so resolving many names in one folder costs one scan.
QString resolvePath(const QString& path);
QByteArray resolveNative(const QString& path);

// Opens a file by the rules above: the name as written is tried first (one
// system call when it matches, as it does for most names), the resolver only
// when it is not found. The descriptor, or -1 with errno set.
int openResolved(const QString& path, int flags);

// A path as Windows writes it, made one for this system: "\" -> "/", a drive
// letter -> the root. No disk access (the opposite of QDir::toNativeSeparators).
QString fromWindowsPath(const QString& path);

bool pathExists(const QString& path); // file or folder
bool isFile(const QString& path);
bool isDir(const QString& path);
// What stands at `path` when it is neither a regular file nor a folder, in
// words for a message ("pomenovaná rúra (FIFO)"); empty otherwise or when
// nothing is there.
QString specialFileKind(const QString& path);

// Entries of a folder as shown to the user (decoded names), unsorted;
// empty when the folder cannot be read.
struct DirEntry {
    QString name;
    bool isDir = false;
    bool hidden = false; // name begins with "."
    // A link that leads nowhere (its target is missing, or links loop): it
    // names no file and no folder.
    bool dangling = false;
};
QList<DirEntry> listFolder(const QString& dir);

// Drop the cached listing of a folder (after we wrote into it).
void invalidateListing(const QString& dir);

// Decodes a raw file name: UTF-8 when valid, else Windows-1250.
QString decodeFileName(const QByteArray& raw);

// The last component of a path written with "\" or "/".
QString lastComponent(const QString& path);

} // namespace orbino
