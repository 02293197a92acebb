#pragma once
// The course's lessons in order, as a learner meets them, and the export of
// the learner's work (notes, own links, read lessons, test scores) as one
// HTML page. No windows here.
#include "tools/progress.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace orbino {

// The most captions a lesson's way keeps, and the most characters of each:
// a chain of thousands of lists nested in one another must not make a page
// (or a table heading) of its whole way for every lesson.
inline constexpr int kMaxPathCaptions = 6;
inline constexpr int kMaxPathCaptionChars = 80;

// One lesson screen: a content list reachable from a day's first list.
struct OutlineLesson {
    QString day;        // day folder, as progress lines name it
    QString dayCaption; // as the day's button shows it, trimmed
    QString list;       // list file as the item names it
    // Item captions from the day's first screen down; empty for it. A deep
    // way keeps its first captions and its last ones with "…" between.
    QStringList captions;
    bool test = false; // a test-yourself screen ("Vyskúšaj sa")
    // False for a screen the learner has no button for: behind the teacher
    // password, or named only by items without a caption. Such screens are
    // listed only so that their records are shown by caption.
    bool openable = true;

    // "1. deň › Príbeh › Koniec".
    QString path() const;
};

// The lesson screens of one day in depth-first course order, each list once:
// the day's first list, then every list an item names that exists. A list
// a learner can open is counted where it is nearest the day's first screen
// by a way the learner can take.
QList<OutlineLesson> dayOutline(const QString& programFolder, const QString& dayFolder,
                                const QString& rootList);
// Every day in the order of the main screen.
QList<OutlineLesson> courseOutline(const QString& programFolder, const QString& rootList);

// Openable lessons of `lessons`, and how many of them were read.
int openableCount(const QList<OutlineLesson>& lessons);
int readCount(const QList<OutlineLesson>& lessons, const ProgressFile& progress);
int readCount(const QList<OutlineLesson>& lessons, const QList<Visit>& visits);

// The name the export is signed with: the one the learner gave last time
// (kept in the program's settings), else the account's full name, else the
// login name.
QString learnerName();
void rememberLearnerName(const QString& name);
// The account's full name (the passwd entry's comment up to its first ","),
// else the login name.
QString accountName();

// The whole page, UTF-8, headed by the learner's name and the date. Notes
// and links are read from `learnerFolder`. Every text taken from files is
// HTML-escaped; only web and mail addresses become links.
QByteArray exportWorkHtml(const QString& programFolder, const QString& learnerFolder,
                          const QString& rootList, const QDateTime& now,
                          const QString& learner = QString());

// Writes the page atomically. Throws FileError.
void exportWork(const QString& programFolder, const QString& learnerFolder, const QString& rootList,
                const QString& target, const QString& learner = QString());

} // namespace orbino
