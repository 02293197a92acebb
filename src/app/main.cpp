#include "app/app_window.h"
#include "content/teacher_password.h"
#include "tree/check_cli.h"
#include "tree/search_cli.h"

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
    // Full-text search of the course, also without a display.
    if (argc > 1 && std::string_view(argv[1]) == "--search-text") {
        QCoreApplication app(argc, argv);
        return orbino::runTextSearchCli(QCoreApplication::arguments().mid(2));
    }
    // A teacher sets the course's password on the terminal, in the course folder.
    if (argc > 1 && std::string_view(argv[1]) == "--set-teacher-password") {
        QCoreApplication app(argc, argv);
        return orbino::setTeacherPasswordCli();
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
