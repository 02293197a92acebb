#pragma once
// What an item button does, decided without any window: which password its
// caption calls for, where its file lies and how it is handed on. The window
// side (password windows, picture window, next level, lesson editor) acts on
// the returned outcome.
#include "screens/content_list.h"

#include <QString>

namespace orbino {

class AppState;

// Captions with a meaning of their own. Callers pass the full caption from
// the item line, never the shortened one shown on the button.
enum class Gate { None, Teacher, DayPassword };
Gate gateFor(const QString& fullCaption, bool teacherLoggedIn, bool solutionPasswordFlag);
bool isTestYourself(const QString& fullCaption);

// The folder the day's items lie in, from the day folder name in caption form:
// a leading "__" becomes "0"; for a demonstration given without arguments a
// leading single "_" becomes "0" as well.
QString itemFolder(const QString& dayFolderCaptionForm, bool demonstrationWithoutArguments);

// A reference with arguments: the file name runs to the first blank, the
// parameters are the rest from that blank on (the blank included).
struct FileAndParams {
    QString fileName;
    QString params;
};
FileAndParams splitReference(const QString& reference);

// True, and the learner told why (key "NO WINE", under its message switch),
// when `program` is a Windows program and Wine, which runs it, is not
// installed.
bool refuseWithoutWine(AppState& st, const QString& program);

// What the window has to do after launchItem.
struct LaunchOutcome {
    enum Kind {
        Done,         // handled here (started, reported, or nothing to do)
        ShowPicture,  // show `path` in the picture window
        OpenSubLevel, // the lesson text exists: open the next level
        OpenEditor,   // the lesson text is missing and the user wants to create it
    } kind = Done;
    QString path;
};

// Launches item `item` of level `level` after the password gate let it
// through. Stores the next level's folder and list file, the search title
// (`shownCaption`) and the pressed item title (`hint`). Demonstrations,
// programs and documents are started here through the shell; missing files
// are reported with the course's texts, each under its own key's message
// switch. The shell's later failures are reported too, as long as `st` lives.
LaunchOutcome launchItem(AppState& st, int level, const ContentItem& item,
                         const QString& shownCaption, const QString& hint);

} // namespace orbino
