// The program: the terminal tasks, and the windows through their library.
#include "app/command_line.h"
#include "app/course_finder.h"
#include "content/teacher_password.h"
#include "tools/progress_cli.h"
#include "tree/check_cli.h"
#include "tree/search_cli.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <dlfcn.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

using orbino::printText;

// --course for the terminal tasks: that folder becomes the working directory.
bool enterGivenCourse(const orbino::CommandLine& cl) {
    if (cl.course.isEmpty())
        return orbino::workingDirUsable(cl, true);
    const QString problem = orbino::courseProblem(cl.course);
    if (problem.isEmpty() && QDir::setCurrent(cl.course))
        return true;
    printText(stderr, QStringLiteral("orbino: %1\n").arg(problem.isEmpty() ? cl.course : problem));
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
        printText(stdout, cl.text);
        return 0;
    case Action::Error:
        printText(stderr, cl.text);
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
                 << here.absoluteFilePath(cl.value(QStringLiteral("class-report")));
        if (cl.isSet(QStringLiteral("csv")))
            args << QStringLiteral("--csv")
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
        // A course folder given before the words is entered already: taken
        // out rather than entered a second time (a relative one would fail).
        QStringList words;
        const QStringList after = raw.mid(raw.indexOf(QStringLiteral("--search-text")) + 1);
        if (cl.course.isEmpty())
            return orbino::runTextSearchCli(after);
        for (qsizetype i = 0; i < after.size(); ++i) {
            const QString& a = after.at(i);
            if (a == QLatin1String("--")) {
                words << after.mid(i);
                break;
            }
            if (a == QLatin1String("--course")) {
                ++i;
                continue;
            }
            if (a.startsWith(QLatin1String("--course=")))
                continue;
            words << a;
        }
        return orbino::runTextSearchCli(words);
    }
    case Action::Play:
        break;
    }
    return std::nullopt;
}

// The windows are in a library of their own, loaded only to play: the
// terminal tasks never pay for loading Qt Widgets, Charts, OpenGL and the
// rest. It lies beside the program in the build folder, and in the
// program's own folder under the library folder once installed.
int playInWindowLibrary(int argc, char** argv) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, size_t(n)) : std::string(argv[0]);
    dir.erase(dir.find_last_of('/') == std::string::npos ? 0 : dir.find_last_of('/') + 1);
    std::string tried;
    for (const std::string& path : {dir + "liborbino-window.so",
                                    dir + "../" ORBINO_WINDOW_LIBRARY_DIR "/liborbino-window.so"}) {
        void* library = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!library) {
            if (const char* e = ::dlerror())
                tried += std::string("\n  ") + e;
            continue;
        }
        using Play = int (*)(int*, char**);
        if (auto play = reinterpret_cast<Play>(::dlsym(library, "orbino_play_course")))
            return play(&argc, argv);
        tried += "\n  " + path + ": orbino_play_course";
    }
    printText(stderr, QStringLiteral("orbino: knižnica okien sa nedá načítať:%1\n")
                          .arg(QString::fromLocal8Bit(tried.c_str())));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<QStringList> raw = orbino::argumentsAsText(argc, argv);
    if (!raw)
        return 2;
    const orbino::CommandLine cl = orbino::parseCommandLine(*raw);
    if (const std::optional<int> done = runTerminalTask(cl, *raw, argc, argv))
        return *done;
    return playInWindowLibrary(argc, argv);
}
