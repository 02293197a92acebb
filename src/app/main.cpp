#include "app/app_window.h"
#include "app/command_line.h"
#include "app/course_finder.h"
#include "app/screen_fit.h"
#include "content/teacher_password.h"
#include "platform/dialogs_window.h"
#include "platform/folder_chooser_window.h"
#include "platform/system.h"
#include "tools/progress_cli.h"
#include "tree/check_cli.h"
#include "tree/search_cli.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

void print(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

// --course for the terminal tasks: that folder becomes the working directory.
bool enterGivenCourse(const orbino::CommandLine& cl) {
    if (cl.course.isEmpty())
        return true;
    const QString problem = orbino::courseProblem(cl.course);
    if (problem.isEmpty() && QDir::setCurrent(cl.course))
        return true;
    print(stderr, QStringLiteral("orbino: %1\n").arg(problem.isEmpty() ? cl.course : problem));
    return false;
}

// The tasks that run on the terminal, without a window or a display: their
// exit code, or nothing when the player itself is to start.
std::optional<int> runTerminalTask(const orbino::CommandLine& cl, const QStringList& raw, int& argc,
                                   char** argv) {
    using Action = orbino::CommandLine::Action;
    switch (cl.action) {
    case Action::Help:
    case Action::Version:
        print(stdout, cl.text);
        return 0;
    case Action::Error:
        print(stderr, cl.text);
        return 2;
    case Action::Check: {
        // The course authors' check.
        QCoreApplication app(argc, argv);
        if (!enterGivenCourse(cl))
            return 2;
        return orbino::runIntegrityCheckCli(cl.positional);
    }
    case Action::SetTeacherPassword: {
        // A teacher sets the course's password on the terminal.
        QCoreApplication app(argc, argv);
        if (!enterGivenCourse(cl))
            return 2;
        return orbino::setTeacherPasswordCli();
    }
    case Action::LearnerWork: {
        // The learner's work and the class overview. File names are taken
        // from where the command was given, not the course.
        QCoreApplication app(argc, argv);
        const QDir here = QDir::current();
        QStringList args;
        if (cl.isSet(QStringLiteral("export-work")))
            args << QStringLiteral("--export-work")
                 << here.absoluteFilePath(cl.value(QStringLiteral("export-work")));
        else
            args << QStringLiteral("--class-report")
                 << here.absoluteFilePath(cl.value(QStringLiteral("class-report")))
                 << QStringLiteral("--csv")
                 << here.absoluteFilePath(cl.value(QStringLiteral("csv")));
        if (!enterGivenCourse(cl))
            return 2;
        return orbino::runProgressCli(args);
    }
    case Action::SearchText: {
        // Full-text search of the course.
        QCoreApplication app(argc, argv);
        if (!enterGivenCourse(cl))
            return 2;
        // The words and a "--course" among them are the search's own, as
        // given after the option: "--" may protect a word starting with "-".
        return orbino::runTextSearchCli(raw.mid(raw.indexOf(QStringLiteral("--search-text")) + 1));
    }
    case Action::Play:
        break;
    }
    return std::nullopt;
}

// The player on a desktop: the course is found before the main window's
// set-up, which then runs in the course folder as its working directory.
int playCourse(const orbino::CommandLine& cl, int& argc, char** argv) {
    // Without a display Qt would abort with a cryptic message; say it plainly.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && (!platform || !*platform) &&
        !cl.isSet(QStringLiteral("platform"))) {
        std::fprintf(stderr,
                     "orbino: no display found (DISPLAY is not set). Start it on a desktop, "
                     "or under xvfb-run.\n");
        return 2;
    }
    // The designed screen is zoomed to the monitor; Qt takes the zoom only
    // before the application object exists.
    orbino::applyScreenZoom(cl.isSet(QStringLiteral("platform")) ? QSize()
                                                                 : orbino::monitorPixels());
    QApplication app(argc, argv);
    orbino::prepareApplication();

    orbino::WidgetPrompter prompter;
    orbino::WidgetFolderChooser chooser;
    const orbino::FoundCourse course = orbino::findCourse(
        cl.course, QDir::currentPath(), orbino::courseSettingsFile(),
        orbino::sampleCourseFolder(QCoreApplication::applicationDirPath()), chooser, prompter);
    switch (course.outcome) {
    case orbino::FoundCourse::Outcome::Cancelled:
        return 0;
    case orbino::FoundCourse::Outcome::Error:
        print(stderr, QStringLiteral("orbino: %1\n").arg(course.message));
        return 2;
    case orbino::FoundCourse::Outcome::Found:
        break;
    }
    if (!QDir::setCurrent(course.folder)) {
        print(stderr,
              QStringLiteral("orbino: cannot enter the course folder %1\n").arg(course.folder));
        return 2;
    }
    return orbino::runOrbino(app, cl.positional);
}

} // namespace

int main(int argc, char** argv) {
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const orbino::CommandLine cl = orbino::parseCommandLine(raw);
    if (const std::optional<int> done = runTerminalTask(cl, raw, argc, argv))
        return *done;
    return playCourse(cl, argc, argv);
}
