#pragma once
// Rules of the screen builder and of navigation that need no window: day
// folders and their captions, headings, glyph pictures, caption trimming and
// the names of a screen's own files in the temp folder.
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace orbino {

class AppState;

// The integer nearest to x, halves going to the even neighbour (37.5 -> 38,
// 44.5 -> 44), as the layout numbers were computed.
int nearest(double x);

// The day folders of the main screen. Indices count from the program
// folder's path components ("/" counts as the drive), so the first day of a
// course in "/srv/kurz/" has index 4. Subfolders are sorted without regard to
// case; names beginning with "." are left out.
struct DayFolder {
    int index = 0;
    QString folder;  // name on disk
    QString caption; // as the button shows it
};
struct DayListing {
    int first = 0; // index of the first day (components + 1)
    int last = 0;  // index of the last day; first - 1 when there are none
    QList<DayFolder> days;
};
DayListing listDayFolders(const QString& programFolder);

// "01._deň" -> "  1. deň": "_" becomes a blank, a leading "0" two blanks.
QString dayCaption(const QString& folder);
// The caption back in folder form: every blank becomes "_" ("__1._deň").
QString dayFolderFromCaption(const QString& caption);
// The day number at the start of a caption: one digit when the second
// character is ".", else the first two characters. nullopt when they are
// not a whole number ("Úvod", "1 deň").
std::optional<int> dayNumberFromCaption(const QString& caption);

struct DayButtonFont {
    int pointSize = 10;
    bool bold = false;
};
DayButtonFont dayButtonFont(int scale, const QString& caption);

// Captions longer than `limit` become their first `limit` characters + ".",
// except one exactly a character too long, which stays whole.
struct TrimmedCaption {
    QString text;
    bool shortened = false;
};
TrimmedCaption trimCaption(const QString& caption, int limit);

// The glyph picture of an item button: the level folder's picture first, the
// program folder's second; for other captions the extension's picture, then
// "Text.BMP" for ".txt" items and "Play.BMP" for the rest. Names are matched
// without regard to case. Empty when no picture exists.
QString glyphPicture(const QString& programFolder, const QString& levelFolderName,
                     const QString& caption, const QString& extension, const QString& examCaption);
// The same, asking `exists` whether a candidate is there (a screen's buttons
// ask about the same few files, once each).
QString glyphPicture(const QString& programFolder, const QString& levelFolderName,
                     const QString& caption, const QString& extension, const QString& examCaption,
                     const std::function<bool(const QString&)>& exists);

// The heading of a content screen; a leading "0" is dropped.
QString levelHeading(bool searchMode, int level, const QString& levelFolderName,
                     const QString& belowHeading, const QString& pressedItemTitle,
                     const QString& searchTitle);
// Learner's screens are pale yellow, teacher's pale pink (0x00BBGGRR values).
std::optional<long long> headingColour(const QString& heading);
bool headingHidesHowTo(const QString& heading);

// A content list path of the search window split at its last two
// separators ("\" or "/"): the folder holding the file, and the file.
struct SearchPlace {
    QString folder;
    QString listFile;
};
SearchPlace splitSearchPath(const QString& path);

} // namespace orbino
