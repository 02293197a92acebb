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

    // A path that is the same for every spelling of one file, for telling
    // whether two references name the same file.
    QString identity(const QString& name) const;

    // Why the folder could not be listed (it exists but cannot be read, or is
    // no folder); empty when it was listed or does not exist at all.
    const QString& error() const { return m_error; }

private:
    QString m_error;
    static bool isPlain(const QString& name);
    QString m_dir;                    // as given, ending with "/"
    QString m_canonical;              // the folder's canonical path, ending with "/"
    QHash<QString, bool> m_exact;     // name -> is a file (a link leading nowhere is none)
    QHash<QString, QString> m_folded; // folded name -> first name in byte order (files and folders)
    QHash<QString, bool> m_foldedIsFile;
};

} // namespace orbino
