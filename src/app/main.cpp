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
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <optional>
#include <unistd.h>

namespace {

void print(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

// A name's bytes as text: the bytes that are not UTF-8 shown as \xHH, for a
// message that names the file exactly.
QString shownBytes(const QByteArray& bytes) {
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        const qsizetype len = b < 0x80             ? 1
                              : (b & 0xe0) == 0xc0 ? 2
                              : (b & 0xf0) == 0xe0 ? 3
                              : (b & 0xf8) == 0xf0 ? 4
                                                   : 0;
        const QString one = len ? QString::fromUtf8(bytes.mid(i, len)) : QString();
        if (len && i + len <= bytes.size() && one.toUtf8() == bytes.mid(i, len)) {
            out += one;
            i += len;
        } else {
            out += QStringLiteral("\\x") +
                   QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            ++i;
        }
    }
    return out;
}

// True when the name's bytes come back unchanged from the text Qt makes of
// them. Qt replaces bytes that are not UTF-8, so such a name would reach
// another file (or none): it is refused instead.
bool exactName(const QByteArray& bytes) {
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

QString notUtf8(const QByteArray& bytes, const char* what) {
    return QStringLiteral("orbino: %1 „%2“ obsahuje bajty, ktoré nie sú v kódovaní UTF-8, a "
                          "nedá sa použiť bez zmeny názvu; premenujte ho.\n")
        .arg(QString::fromUtf8(what), shownBytes(bytes));
}

// The working directory as bytes; empty when it has no exact name as text.
std::optional<QByteArray> workingDirBytes() {
    QByteArray buf(4096, '\0');
    for (int tries = 0; tries < 8; ++tries) {
        if (::getcwd(buf.data(), size_t(buf.size())))
            return QByteArray(buf.constData());
        if (errno != ERANGE)
            return std::nullopt;
        buf.resize(buf.size() * 2);
    }
    return std::nullopt;
}

// Whether the working directory holds a course's first files, read through
// "." so that a name Qt cannot spell is no obstacle.
bool workingDirLooksLikeCourse() {
    DIR* d = ::opendir(".");
    if (!d)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray n = QByteArray(e->d_name).toLower();
        if (n == "config.txt" || n == "obsah.txt") {
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

// The working directory stands for the course when no --course is given; a
// name Qt cannot spell exactly would silently become another course.
bool workingDirUsable(const orbino::CommandLine& cl, bool mustBeCourse) {
    if (!cl.course.isEmpty())
        return true;
    const std::optional<QByteArray> cwd = workingDirBytes();
    if (!cwd || exactName(*cwd))
        return true;
    if (!mustBeCourse && !workingDirLooksLikeCourse())
        return true;
    print(stderr, notUtf8(*cwd, "Pracovný priečinok"));
    return false;
}

// --course for the terminal tasks: that folder becomes the working directory.
bool enterGivenCourse(const orbino::CommandLine& cl) {
    if (cl.course.isEmpty())
        return workingDirUsable(cl, true);
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

// The player on a desktop: the course is found before the main window's
// set-up, which then runs in the course folder as its working directory.
int playCourse(const orbino::CommandLine& cl, int& argc, char** argv) {
    // Without a display Qt would abort with a cryptic message; say it plainly.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && (!platform || !*platform) &&
        !cl.isSet(QStringLiteral("platform"))) {
        print(stderr, QStringLiteral("orbino: nenašla sa obrazovka (DISPLAY nie je nastavené). "
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
              QStringLiteral("orbino: do priečinka kurzu %1 sa nedá vojsť\n").arg(course.folder));
        return 2;
    }
    return orbino::runOrbino(app, cl.positional);
}

} // namespace

int main(int argc, char** argv) {
    QStringList raw;
    for (int i = 0; i < argc; ++i) {
        // Arguments are file names as often as not: taken as bytes, and
        // refused when no text names exactly those bytes.
        const QByteArray bytes(argv[i]);
        if (i > 0 && !exactName(bytes)) {
            print(stderr, notUtf8(bytes, "Argument"));
            return 2;
        }
        raw << QFile::decodeName(bytes);
    }
    const orbino::CommandLine cl = orbino::parseCommandLine(raw);
    if (const std::optional<int> done = runTerminalTask(cl, raw, argc, argv))
        return *done;
    return playCourse(cl, argc, argv);
}
