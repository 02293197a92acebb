#pragma once
// What the copy window lists and copies: the learner's note and link files
// carried between the temp folder and any other folder.
#include "platform/errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orbino {

// A copy that failed; its text is exactly "Cannot open file <path>" or
// "Cannot create file <path>".
class CopyError : public FileError {
public:
    CopyError(const QString& path, const QString& text)
        : FileError(path, text), m_text(text.toUtf8()) {}
    const char* what() const noexcept override { return m_text.constData(); }

private:
    QByteArray m_text;
};

// `folder` and `name` joined by one "/" (a root already ends with one).
QString joinPath(const QString& folder, const QString& name);

// The note and link files of `folder`: names ending in ".txt" or ".htm"
// without regard to case. Hidden files (our own half-written temporaries among
// them) are left out; sorted without regard to case.
QStringList noteAndLinkFiles(const QString& folder);

// Every file (no folders, nothing hidden) and every subfolder of `folder`,
// each sorted without regard to case; empty when the folder cannot be read.
QStringList filesIn(const QString& folder);
QStringList foldersIn(const QString& folder);

// Copies one file in blocks of 8192 bytes. `dest` is the new file's path or
// an existing folder, in which the file keeps its name. The destination is
// replaced atomically, so a failed copy leaves the old file whole. Copying a
// file onto itself is skipped (it would truncate it) and returns false.
// Throws CopyError when the source cannot be opened or the destination not
// created, FileError for a read or write error during the copy.
bool copyFileInto(const QString& src, const QString& dest);

// Copies the named files of `fromFolder` into `toFolder`, in the given order.
// Stops at the first failure by throwing; the files copied before it stay.
// Returns how many were copied (files onto themselves do not count).
int copyFiles(const QString& fromFolder, const QStringList& names, const QString& toFolder);

// Where drive letters stood: "/" and the roots of the mounted file systems,
// sorted, without duplicates.
QStringList driveRoots();

// The root among `roots` that holds `folder` (the longest that matches),
// "/" when none does.
QString driveOf(const QStringList& roots, const QString& folder);

} // namespace orbino
