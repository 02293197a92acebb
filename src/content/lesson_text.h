#pragma once
#include "platform/textfile.h"
// Lesson text files: the description block inside a content list (.txt) and
// its formatted twin (.rtf), and replacing several files as one step.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/errors.h"

#include <vector>

namespace orbino {

class AppState;
struct ConfigText;

// The name up to its first "." ("lekcia.txt" -> "lekcia"); a name without a
// "." is its own base.
QString lessonBase(const QString& fileRef);

// The formatted twin of `fileRef` in `folder` (ending in "/"): folder + base
// + ".rtf", matched without regard to case; a twin that does not exist yet is
// named after the lesson file as it is on disk ("PISANIE.TXT" in the list,
// "pisanie.txt" on disk -> "pisanie.rtf").
QString twinPath(const QString& folder, const QString& fileRef);

// One description block of a list: lines [first, last] of the file.
struct BlockSpan {
    qsizetype first = -1;
    qsizetype last = -1;
    bool found() const { return first >= 0; }
};

// The first block that starts at or after line `from`. A block starts at a
// line beginning with "<". When that line is exactly "<", the block ends at
// the next line that is exactly ">" (so text lines may end with ">");
// otherwise it ends at the first line, counting from the opening one, whose
// last character is ">". A block without an end runs to the end of the file.
BlockSpan findBlock(const QStringList& lines, qsizetype from = 0);

// The text of a block without its markers. A closing line that is only ">"
// adds no line; an unterminated block keeps its last line whole.
QStringList blockText(const QStringList& lines, const BlockSpan& block);

// The text of every block in file order: what the panel shows when the
// lesson has no .rtf twin.
QStringList descriptionText(const QStringList& lines);

// Every line that belongs to no block, in order.
QStringList linesOutsideBlocks(const QStringList& lines);

// The block as we write it: "<", the text lines, ">"; nothing for no text.
// A text line that is exactly ">" would end the block early on reading, so
// it is written as "> " (the .rtf twin keeps the exact text).
QStringList blockLines(const QStringList& text);

// `lines` with the first block replaced by blockLines(text): lines before it
// and after it are kept as they are, later blocks included. Without a block
// the new one is appended.
QStringList replaceFirstBlock(const QStringList& lines, const QStringList& text);

// A target that could not be replaced by FileSet::commit (held or locked by
// someone else, a folder in its place, ...).
class ReplaceError : public FileError {
public:
    using FileError::FileError;
};

// Replaces several files together. stage() writes each new content to a
// temporary file beside its target; commit() renames them into place in
// staging order, and when one rename fails the files already replaced get
// their previous content back. Until commit() succeeds no target changes;
// temporaries left over are removed by the destructor. Throws FileError;
// commit() throws ReplaceError.
class FileSet {
public:
    FileSet() = default;
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;
    ~FileSet();

    void stage(const QString& path, const QByteArray& data);
    void commit();

private:
    struct Entry {
        QString path;
        QByteArray target;
        QByteArray temp;
        QByteArray old; // hard link to the replaced file during commit
    };
    std::vector<Entry> m_entries;
};

// Saves an edited lesson text: the .txt at `textPath` gets its first block
// rewritten from `text`, the .rtf at `rtfPath` gets `rtf`; both or neither.
// Throws FileError (the .txt missing or unreadable, a character outside
// Windows-1250, a failing write); the old files then stay whole.
void saveLessonText(const QString& textPath, const QString& rtfPath, const QStringList& text,
                    const QByteArray& rtf);

// Texts shared by the text panel and the lesson editor (one default each).
ConfigText uneditableText(AppState& st);
QString menuEditMemoText(AppState& st);
QString menuSaveMemoText(AppState& st);

} // namespace orbino
