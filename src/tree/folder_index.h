#pragma once
// One folder's file names, read once, for answering many "is this file
// there?" questions about course references. The tree and the integrity check
// look every file up in one folder; asking the path resolver each time costs
// several system calls per name, this costs one listing.
#include <QHash>
#include <QString>

namespace orbino {

class FolderIndex {
public:
    // Lists `dir` (which may be written with "\" and in another case).
    explicit FolderIndex(const QString& dir);

    // The file's name on disk when `name` is a file of the folder, matched as
    // the path resolver matches (exactly first, else without regard to case,
    // the first variant in byte order); empty when it is not there or is a
    // folder. Names with "\" or "/" or "." components go to the resolver.
    QString fileName(const QString& name) const;
    bool hasFile(const QString& name) const { return !fileName(name).isEmpty(); }

    // Likewise the name on disk of a file or a folder (anything stat()
    // reaches, a link leading nowhere not); for names without "\" and "/"
    // only (isPlain()), empty for others.
    QString entryName(const QString& name) const;

    // A path that is the same for every spelling of one file, for telling
    // whether two references name the same file.
    QString identity(const QString& name) const;

    // Why the folder could not be listed (it exists but cannot be read, or is
    // no folder); empty when it was listed or does not exist at all.
    const QString& error() const { return m_error; }

    // A name of the folder itself: no "\" or "/", not "." or "..", no drive.
    static bool isPlain(const QString& name);

private:
    enum class Kind : quint8 { None, File, Folder, Dangling };
    // One table for both questions: under a name as it is on disk what it
    // is, and under a folded name the first name in byte order that folds
    // to it (a name already folded is both).
    struct Entry {
        Kind exact = Kind::None;
        Kind firstKind = Kind::None;
        QString first;
    };
    // What a plain name reaches, as the resolver resolves it, and its name
    // on disk.
    Kind kindOf(const QString& name, QString* onDisk) const;

    QString m_error;
    QString m_dir;       // as given, ending with "/"
    QString m_canonical; // the folder's canonical path, ending with "/"
    QHash<QString, Entry> m_names;
};

} // namespace orbino
