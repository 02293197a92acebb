#pragma once
// The integrity check: every file the lesson structure names that is not in
// the level's folder, and the content lists that name themselves in a loop.
#include "tree/lesson_tree.h"

#include <QString>
#include <QStringList>

namespace orbino {

// What the launcher would open: the target up to its first blank.
QString integrityTestName(const QString& target);

// How much of one problem is listed. A course whose lists name each other
// many times over could otherwise make a report (and its memory) grow with
// the square of its size.
inline constexpr int kShownPerMissingFile =
    10;                             // the first occurrences of each missing file or repeated list
inline constexpr int kPathHead = 4; // a deeper path shows its first ...
inline constexpr int kPathTail = 8; // ... and last nodes, "..." between them

// Captions from the first level below the root down to `index`, each
// followed by " - "; empty for the root. A path deeper than kPathHead +
// kPathTail captions shows the first and the last of them with "..." between.
QString captionPath(const LessonTree& tree, int index);

struct IntegrityReport {
    // Line 1 the level folder, line 2 empty, then one line per missing file
    // in tree order ("name caption path"), at most kShownPerMissingFile of
    // each name, then for each name with more a line counting the rest; then
    // two lines per cyclic reference: "<allAround> list duplikovany v
    // namingList" and "<allAround> root->...->list->" (the chain shortened
    // like a caption path), again at most kShownPerMissingFile per repeated
    // list and a line counting the rest. `missing` and `cyclic` count all.
    QStringList lines;
    int missing = 0;
    int cyclic = 0;
};

// One existence test per node; nothing is opened. Items without a target
// name no file and are skipped. `allAround` is the configured heading of a
// cyclic reference.
IntegrityReport checkIntegrity(const LessonTree& tree, const QString& searchDir,
                               const QString& levelFolder, const QString& allAround);

// Scroll bars of the list: more than 24 lines gives a vertical one, a line
// longer than 85 characters a horizontal one.
struct ScrollNeed {
    bool vertical = false;
    bool horizontal = false;
};
ScrollNeed integrityScrollBars(const QStringList& lines);

} // namespace orbino
