#pragma once
// Writes large synthetic courses for the benchmarks (Windows-1250, CR LF).
#include "tools/work_export.h"

#include <QList>
#include <QString>

namespace orbino::bench {

// A CONFIG.TXT of `lines` keyed lines; the keys the main window asks for
// are spread through it, so lookups scan realistic distances.
void writeLargeConfig(const QString& path, int lines);

// A content list with `items` item lines naming lesson texts beside it,
// a description block and a few link lines.
void writeContentList(const QString& path, int items);

// A course of `days` day folders with `lessons` lessons spread over them:
// each day's Obsah.txt names its lessons, each lesson is a .txt with a
// description block and an .rtf twin with other text, Slovak words with
// diacritics throughout, about `textChars` characters of text in all (half in
// the blocks, half in the twins). Every lesson text also holds the word
// "lekcia" and its own number; the vocabulary is vocabulary().
void writeTextCourse(const QString& courseDir, int days, int lessons, qint64 textChars);
const QStringList& vocabulary();

// A class folder (ending with "/") of `learners` learners' folders, each
// with a progress file of course "Kurz": `tests` tests taken twice and 200
// lesson visits. Gives the course's outline of those tests.
QList<OutlineLesson> writeClassFolder(const QString& dir, int learners, int tests);

} // namespace orbino::bench
