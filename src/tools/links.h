#pragma once
// The learner's own web links of a screen: a Windows-1250 text file in the
// temp folder, one address per line, named like the screen's note but ending
// in ".htm" (it holds no markup).
#include <QString>
#include <QStringList>

#include <optional>

namespace orbino {

class AppState;

// The extension rule: everything after the first "." becomes "htm", or
// ".htm" is appended ("lekcia.txt" -> "lekcia.htm", "01._deň" -> "01.htm").
QString htmName(const QString& base);

// The links file of the screen at `level` (see ownFilesBaseFor).
QString linksFileNameFor(const AppState& st, int level);

// Every line, empty ones included; empty when nothing of that name exists.
// Throws FileError when it cannot be read (a folder of that name included).
QStringList readLinks(const QString& path);

// The lines worth offering in a list: the non-empty ones.
QStringList nonEmptyLinks(const QStringList& lines);

// The learner's own links of the screen at `level` in the temp folder, as its
// list offers them; nothing when the screen has no links file, so the list
// keeps what it shows.
std::optional<QStringList> ownLinksOf(const AppState& st, int level);

// Replaces the file atomically with the non-empty entries, however many.
// Throws FileError (the file untouched) when an entry has a character with no
// Windows-1250 byte or the file cannot be written.
void writeLinks(const QString& path, const QStringList& entries);

// What a link list entry opens. Only web, file-transfer and mail addresses
// go to the desktop's handler: a course or a learner's list is not trusted to
// start local files or scripts. A bare "www." address is a web address, as
// courses written for a Windows shell have them.
struct LinkTarget {
    QString address; // what to open; empty when refused
    QString refusal; // why not, naming the entry; empty when it opens
};
LinkTarget linkTarget(const QString& entry);

} // namespace orbino
