#pragma once
// The lesson editor's files: the content list edited as plain text, its one
// backup generation and the formatted lesson text beside it.
#include <QString>
#include <QStringList>

namespace orbino {

struct EditorFiles {
    QString folder; // program folder + lesson folder + "/"
    QString list;   // folder + lesson file
    QString backup; // folder + base + ".bak" (base: the lesson file up to its first ".")
    QString rtf;    // folder + base + ".rtf"
};
EditorFiles editorFiles(const QString& programFolder, const QString& lessonFolder,
                        const QString& lessonFile);

// What the editor shows of a list: all of it, or, when the lesson has a
// formatted text, every line outside description blocks (the block is
// edited as formatted text instead). Lines are never cut.
QStringList editorLines(const QStringList& fileLines, bool hasFormattedText);

// The list written back when a formatted text exists: the typed lines
// without description blocks, then the block rebuilt from the formatted
// text's lines as "<", lines, ">". A line ending with ">" outside any block
// is an ordinary line and stays.
QStringList rebuildList(const QStringList& typedLines, const QStringList& formattedLines);

// Saves the edited list. When the formatted text exists, the text of every
// block typed into the list is appended to it as new last lines and the list
// is rebuilt; otherwise the list is written exactly as typed. With
// `makeBackup` the list as it is on disk becomes the backup (copied, so the
// list never goes missing). The list, the formatted text and the backup are
// replaced together or not at all; a backup is touched only when one is
// made. Throws FileError.
void saveEditedList(const EditorFiles& files, const QStringList& typedLines, bool makeBackup);

// A missing list with a backup gets the backup's content back (the backup
// stays). True when the list was restored.
bool restoreListFromBackup(const EditorFiles& files);

// Creates the list empty when it is missing; true when it did.
bool createEmptyList(const EditorFiles& files);

// Removes a list that is still empty (an editor that created it was left
// without saving).
void removeListIfEmpty(const EditorFiles& files);

} // namespace orbino
