#include "app/app_window.h"
#include "content/teacher_password.h"
#include "tree/check_cli.h"
#include "tools/progress_cli.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    // The course authors' check runs without a window or a display.
    if (argc > 1 && std::string_view(argv[1]) == "--check") {
        QCoreApplication app(argc, argv);
        return orbino::runIntegrityCheckCli(QCoreApplication::arguments().mid(2));
    }
    // A teacher sets the course's password on the terminal, in the course folder.
    if (argc > 1 && std::string_view(argv[1]) == "--set-teacher-password") {
        QCoreApplication app(argc, argv);
        return orbino::setTeacherPasswordCli();
    }
    // The learner's work and the class overview, without a window.
    if (argc > 1 && orbino::isProgressCommand(argv[1])) {
        QCoreApplication app(argc, argv);
        return orbino::runProgressCli(QCoreApplication::arguments().mid(1));
    }
    // Without a display Qt would abort with a cryptic message; say it plainly.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && (!platform || !*platform)) {
        std::fprintf(stderr, "orbino: no display found (DISPLAY is not set). Start it on a desktop, "
                             "or under xvfb-run.\n");
        return 2;
    }
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return orbino::runOrbino(app, args);
}
