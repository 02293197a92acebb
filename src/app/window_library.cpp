// The windows' side of the program, loaded by it only to play a course.
#include "app/app_window.h"
#include "app/command_line.h"
#include "app/course_finder.h"
#include "app/screen_fit.h"
#include "platform/dialogs_window.h"
#include "platform/folder_chooser_window.h"
#include "platform/system.h"

#include <QApplication>
#include <QDir>

#include <cstdlib>

namespace {

using orbino::printText;
using orbino::workingDirUsable;

// The player on a desktop: the course is found before the main window's
// set-up, which then runs in the course folder as its working directory.
int playCourse(const orbino::CommandLine& cl, int& argc, char** argv) {
    // Without a display Qt would abort with a cryptic message; say it plainly.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && (!platform || !*platform) &&
        !cl.isSet(QStringLiteral("platform"))) {
        printText(stderr,
                  QStringLiteral("orbino: nenašla sa obrazovka (DISPLAY nie je nastavené). "
                                 "Spustite program na pracovnej ploche alebo cez xvfb-run.\n"));
        return 2;
    }
    if (!workingDirUsable(cl, false))
        return 2;
    // The designed screen is zoomed to the monitor; Qt takes the zoom only
    // before the application object exists.
    orbino::applyScreenZoom(cl.isSet(QStringLiteral("platform")) ? QSize()
                                                                 : orbino::monitorPixels());
    QApplication app(argc, argv);
    orbino::prepareApplication();

    orbino::WidgetPrompter prompter;
    orbino::WidgetFolderChooser chooser;
    const orbino::FoundCourse course = orbino::findCourseToPlay(
        cl.course, QDir::currentPath(), orbino::courseSettingsFile(),
        [] { return orbino::sampleCourseFolder(QCoreApplication::applicationDirPath()); }, chooser,
        prompter);
    switch (course.outcome) {
    case orbino::FoundCourse::Outcome::Cancelled:
        return 0;
    case orbino::FoundCourse::Outcome::Error:
        printText(stderr, QStringLiteral("orbino: %1\n").arg(course.message));
        return 2;
    case orbino::FoundCourse::Outcome::Found:
        break;
    }
    if (!QDir::setCurrent(course.folder)) {
        printText(
            stderr,
            QStringLiteral("orbino: do priečinka kurzu %1 sa nedá vojsť\n").arg(course.folder));
        return 2;
    }
    return orbino::runOrbino(app, cl.positional);
}

} // namespace

// The program has checked the arguments already; they are read again here,
// where the windows' own copy of the options lives.
extern "C" __attribute__((visibility("default"))) int orbino_play_course(int* argc, char** argv) {
    const std::optional<QStringList> raw = orbino::argumentsAsText(*argc, argv);
    if (!raw)
        return 2;
    return playCourse(orbino::parseCommandLine(*raw), *argc, argv);
}
