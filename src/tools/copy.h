#pragma once
// What the copy window lists and copies: the learner's note and link files
// carried between the temp folder and any other folder.
#include "platform/errors.h"
#include "platform/system.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

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

// --- Where the learner's files may go ---

// A place the drive selector offers: the name the learner knows it by and
// its folder (ending with "/").
struct CopyPlace {
    QString name;
    QString folder;
};

// The name the home folder is offered under.
QString homePlaceName();

// The removable media mounted for `user` (under /media/USER/ or
// /run/media/USER/), in the order given, then the home folder. A place
// inside `course` is left out: the course is never a target.
QList<CopyPlace> copyPlaces(const QList<MountedVolume>& mounts, const QString& user,
                            const QString& home, const QString& course);

// Where the right-hand side starts: the first place whose folder exists;
// empty when none does.
QString copyStartFolder(const QList<CopyPlace>& places);

// Whether `path` is `folder` or lies inside it, links followed where the
// paths exist (so a link into the course counts as the course).
bool insideFolder(const QString& path, const QString& folder);

// --- Copying with the overwrite question ---

enum class Overwrite { Yes, No, YesToAll };

// Whether copying `src` to `target` would replace a file whose content
// differs (a file onto itself, or onto an equal copy, does not).
bool replacesOtherContent(const QString& src, const QString& target);

struct CopyResult {
    QString toFolder;
    int copied = 0;
    QStringList kept;   // files at the destination the learner chose to keep
    QString failedName; // the file that failed; empty when none did
    QString failure;    // why, in words
};

// Copies the named files of `fromFolder` into `toFolder` in the given order.
// Before replacing a file of other content it asks `ask` (the file's name);
// "YesToAll" answers for the rest of the batch. Stops at the first failure
// and records it; the files copied before it stay.
CopyResult copyAsking(const QString& fromFolder, const QStringList& names, const QString& toFolder,
                      const std::function<Overwrite(const QString&)>& ask);

// "1 súbor", "3 súbory", "5 súborov".
QString filesCount(int n);

// The line the copy window shows after a copy: what went where, what was
// kept, and which file failed and why.
QString copySummary(const CopyResult& r);

// The question asked before `name` in `folder` is replaced.
QString overwriteQuestion(const QString& name, const QString& folder);

} // namespace orbino
