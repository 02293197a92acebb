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

// One lesson screen: a content list reachable from a day's first list.
struct OutlineLesson {
    QString day;          // day folder, as progress lines name it
    QString dayCaption;   // as the day's button shows it, trimmed
    QString list;         // list file as the item names it
    QStringList captions; // item captions from the day's first screen down; empty for it
    bool test = false;    // a test-yourself screen ("Vyskúšaj sa")
};

// The lesson screens of one day in depth-first course order, each list once:
// the day's first list, then every list an item names that exists. Screens
// behind the teacher password are left out (a learner never reads them).
QList<OutlineLesson> dayOutline(const QString& programFolder, const QString& dayFolder,
                                const QString& rootList);
// Every day in the order of the main screen.
QList<OutlineLesson> courseOutline(const QString& programFolder, const QString& rootList);

// Lessons of `lessons` read, counted once each.
int readCount(const QList<OutlineLesson>& lessons, const ProgressFile& progress);

// The whole page, UTF-8. Notes and links are read from `learnerFolder`.
// Every text taken from files is HTML-escaped; only web and mail addresses
// become links.
QByteArray exportWorkHtml(const QString& programFolder, const QString& learnerFolder,
                          const QString& rootList, const QDateTime& now);

// Writes the page atomically. Throws FileError.
void exportWork(const QString& programFolder, const QString& learnerFolder, const QString& rootList,
                const QString& target);

} // namespace orbino
