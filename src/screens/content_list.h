#pragma once
// Content lists: the plain-text files that describe one screen. Item lines
// begin with "[", link lines with "//", a description block with "<"; any
// line containing ".BMP" names the background picture.
#include <QString>
#include <QStringList>

#include <array>

namespace orbino {

inline constexpr int kContentSlots = 20;

// What the reader keeps of one list. Slots are numbered 1..20 (index 0 is
// unused), as item buttons refer to their line by slot number.
struct ContentList {
    std::array<QString, kContentSlots + 1> lines{};
    // True for the slot that closes a description block. The builder walks
    // blocks by these marks, so a text line such as "Stlač <Enter>" inside a
    // block opened by a lone "<" does not end it.
    std::array<bool, kContentSlots + 1> blockEnd{};
    int lineCount = 1; // lines in use; 1 even for a list with none
    bool hasMarkup = false;
    QString backgroundLine; // the last line containing ".BMP", whole
    int droppedLines = 0;   // lines that would have needed a 21st slot
};

// Reads lines already split (Windows-1250 rules) into lines.
//
// A block opened by a line that is exactly "<" ends at the next line that is
// exactly ">" (that is how the lesson text panel writes blocks); when no such
// line follows, it ends as any other block does: at a line that begins or
// ends with ">". The lone ">" is not stored: a ">" is appended to the slot
// before it instead.
ContentList parseContentList(const QStringList& lines);

// The longest line a list may hold. Lines are button captions, link
// addresses and description paragraphs; a far longer one is a broken file,
// and laying it out on a screen would stall the program.
inline constexpr qsizetype kMaxContentLineLength = 64 * 1024;

// readLines + parseContentList. Throws FileError when the file cannot be read
// or a line is longer than kMaxContentLineLength (the message gives its number).
ContentList readContentList(const QString& path);

// An item line "[caption]reference": the caption lies between the "[" and
// the LAST "]"; the reference is what follows, trimmed. `valid` is false for
// a line that does not begin with "[" (nothing else is set) or has no "]"
// (its caption then runs to the end of the line: the button still shows it).
struct ContentItem {
    bool valid = false;
    QString caption;
    QString reference;
};
ContentItem parseItemLine(const QString& line);

// The three characters after the first "." of a reference, as written; empty
// when there is no ".". Compare them without regard to case.
QString referenceExt(const QString& reference);

// What an item opens, by the extension of its reference.
enum class ItemKind { Demonstration, LessonText, Picture, ProgramOrDocument };
ItemKind itemKind(const QString& reference);

// The name up to and including its first "." followed by `ext`
// ("Obsah.txt" -> "Obsah.bak"; a name without "." gives just `ext`).
QString twinName(const QString& name, const QString& ext);

// What a screen shows of a list, walking the stored lines in order.
struct ScreenContent {
    QStringList description; // block lines without the "<" / ">" marks
    QList<int> itemSlots;    // slot numbers of item lines, in order
    QStringList links;       // link lines without their "//"
};
ScreenContent walkContentList(const ContentList& list);

// Where the content list `root` stands in `folder` (ending with "/"): there,
// only as its ".bak" twin (which restoreFromBackup renames back), or missing.
enum class ListOnDisk { Present, OnlyBackup, Missing };
ListOnDisk findList(const QString& folder, const QString& root);
// Renames the ".bak" twin of `root` in `folder` back to `root`; false when
// it cannot be renamed (the backup is then left as it was).
bool restoreFromBackup(const QString& folder, const QString& root);

// The "//" lines of a whole file, in order (text from the third character on).
QStringList linkLinesOf(const QStringList& lines);

} // namespace orbino
