#pragma once
// The learner's note of a screen: one plain Windows-1250 text file in the
// temp folder, named after the screen. These functions are the one place that
// decides the names of a screen's own files, for the notes and links windows
// and for the screen builder alike.
#include <QString>
#include <QStringList>

namespace orbino {

class AppState;

// Base name shared by the note and the own links of the screen at `level`:
//  - "multimed" for the main screen (level 1 of a normal copy) and for a level
//    whose list file is unknown;
//  - the level folder name, blanks trimmed, when the list file is the root
//    list name compared without regard to case, so every day's first screen
//    has its own files whatever case "Obsah.txt" is written in;
//  - otherwise the list file's own name.
// In search-window mode level 1 is a lesson screen and is named like one.
// Only the last path component is used, so a reference such as "..\x.txt"
// can never name a file outside the temp folder.
QString ownFilesBaseFor(const AppState& st, int level);

// "multimed.txt", "<folder>.txt" or the list file's name.
QString notesFileNameFor(const AppState& st, int level);
// Level `level`'s screen has a note in the learner's folder: its notes
// button is shown.
bool hasNote(const AppState& st, int level);

// The same for a lesson screen known by its day folder and list file (empty
// list file: the main screen). A name beginning with "#" gets a "_" before
// it: such names are kept for the program's own files (the progress file).
QString ownFilesBaseOf(const QString& folder, const QString& listFile, const QString& rootList);
QString notesFileNameOf(const QString& folder, const QString& listFile, const QString& rootList);

// The note's lines; empty when nothing of that name exists. Throws FileError
// when it cannot be read (a folder of that name included).
QStringList readNote(const QString& path);

// The lines of an edited text: one per line, a final line end adds no
// empty line (so reading back gives the same text).
QStringList textLines(const QString& text);

// Replaces the note atomically with the lines of `text`. A text that is empty
// or only blanks is not saved: returns false and leaves the file alone.
// Throws FileError (the file untouched) when a character has no
// Windows-1250 byte or the file cannot be written.
bool saveNote(const QString& path, const QString& text);

// Removes the note; a missing note is no error. Throws FileError when it
// exists and cannot be removed.
void eraseNote(const QString& path);

} // namespace orbino
