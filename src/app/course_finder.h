#pragma once
#include <QString>

#include <functional>

namespace orbino {

class FolderChooser;
class Prompter;

// Title of the course chooser (also what the package test looks for).
inline constexpr char16_t kChooseCourseTitle[] = u"Vyberte priečinok kurzu";

// A course folder holds a CONFIG.TXT or a day's content list (Obsah.txt),
// matched without regard to case.
bool isCourseFolder(const QString& dir);

// Why `dir` cannot be played (a Slovak sentence naming the folder), or an
// empty text when it is a readable course folder.
QString courseProblem(const QString& dir);

// The sample course shipped with the program: installed beside the binary
// (../share/orbino/examples/course), or the repository's examples/course
// when the binary runs from its build folder. Empty when neither exists.
QString sampleCourseFolder(const QString& applicationDir);

// Where the course played last time is remembered (an INI file in the XDG
// config folder).
QString courseSettingsFile();

struct FoundCourse {
    enum class Outcome { Found, Cancelled, Error };
    Outcome outcome = Outcome::Cancelled;
    QString folder;  // absolute, when found
    QString message; // why --course cannot be played (Error)
};

// Finds the course to play: `given` (--course) when not empty; else the
// working directory when it is a course; else the course played last time
// (dropped from the settings when it is no longer one); else the chooser,
// again after every chosen folder that is not a course, until a course or
// Cancel. A found course is remembered; nothing is written into it.
FoundCourse findCourse(const QString& given, const QString& workingDir, const QString& settingsFile,
                       const QString& sampleCourse, FolderChooser& chooser, Prompter& prompter);
// The same, the sample course (offered by the chooser) looked for only when
// the chooser opens: most starts never need it.
FoundCourse findCourseToPlay(const QString& given, const QString& workingDir,
                             const QString& settingsFile,
                             const std::function<QString()>& sampleCourse, FolderChooser& chooser,
                             Prompter& prompter);

} // namespace orbino
