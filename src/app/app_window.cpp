#include "app/app_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/shell.h"
#include "platform/system.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QScreen>
#include <QTimer>

namespace orbino {

int runOrbino(QApplication& app, const QStringList& args) {
    QApplication::setApplicationName(QStringLiteral("orbino"));
    QApplication::setApplicationDisplayName(QStringLiteral("Orbino"));
    // The working directory is the program folder; the icon is optional.
    if (QFileInfo::exists(QStringLiteral("ikona.ico")))
        QApplication::setWindowIcon(QIcon(QStringLiteral("ikona.ico")));

    // The windows are designed in Arial 10; as the application's font it is
    // also what text documents start out in, so the text panels are not laid
    // out first in the system font (a second font to load at every start).
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(10);
    QApplication::setFont(arial);
    const QScreen* screen = QGuiApplication::primaryScreen();
    ScreenMetrics metrics;
    if (screen) {
        metrics.width = screen->geometry().width();
        metrics.height = screen->geometry().height();
        metrics.dpi = qRound(screen->logicalDotsPerInch());
    }
    RealSystemInfo system(metrics);
    WidgetPrompter prompter;
    ProcessShell shell;
    ModalRunner modal;
    AppState st;
    st.prompter = &prompter;
    st.shell = &shell;
    st.system = &system;

    auto* form = new TForm1(st, modal, true);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->guard([&] { form->FormCreate(args); });
    // The set-up may already have ended the program (no temp folder).
    if (form->closingForExit) {
        delete form;
        return 0;
    }
    form->show();
    form->activateWindow();
    // The start-up benchmark measures up to the first shown screen.
    if (qEnvironmentVariableIsSet("ORBINO_EXIT_AFTER_START"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    return rc;
}

} // namespace orbino
