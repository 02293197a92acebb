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
#include <QIconEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QTimer>

namespace orbino {

namespace {

// The overflow chevron of a menu bar, drawn instead of decoded: the style's
// own icon is read from PNG files when the first menu bar is made, which
// also loads every image plug-in, all at start-up and for a button that
// shows only when the menus do not fit.
class ChevronIcon : public QIconEngine {
public:
    explicit ChevronIcon(bool vertical) : m_vertical(vertical) {}
    void paint(QPainter* p, const QRect& r, QIcon::Mode mode, QIcon::State) override {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        const QColor c = QGuiApplication::palette().color(
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Normal, QPalette::ButtonText);
        p->setPen(QPen(c, 1.5));
        const QRectF b = QRectF(r).adjusted(r.width() * 0.25, r.height() * 0.3, -r.width() * 0.25, -r.height() * 0.3);
        if (m_vertical) {
            p->translate(b.center());
            p->rotate(90);
            p->translate(-b.center());
        }
        for (const qreal dx : {0.0, b.width() / 2}) {
            const QPointF tip(b.left() + dx + b.width() / 2, b.center().y());
            p->drawPolyline(QPolygonF{{b.left() + dx, b.top()}, tip, {b.left() + dx, b.bottom()}});
        }
        p->restore();
    }
    QIconEngine* clone() const override { return new ChevronIcon(m_vertical); }

private:
    bool m_vertical;
};

class OrbinoStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
        if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
            return QIcon(new ChevronIcon(icon == SP_ToolBarVerticalExtensionButton));
        return QProxyStyle::standardIcon(icon, option, widget);
    }
};

} // namespace

void prepareApplication() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QApplication::setApplicationName(QStringLiteral("orbino"));
    // No display name: the platform would append it to every window title,
    // and the course's own caption already names the program.
    QGuiApplication::setDesktopFileName(QStringLiteral("orbino"));
    QApplication::setStyle(new OrbinoStyle); // the platform's style, one icon drawn
    // The windows are designed in Arial 10; as the application's font it is
    // also what text documents start out in, so the text panels are not laid
    // out first in the system font (a second font to load at every start).
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(10);
    QApplication::setFont(arial);
}

int runOrbino(QApplication& app, const QStringList& args) {
    prepareApplication();
    // The working directory is the program folder; the icon is optional
    // (desktops take the installed one through the desktop file name).
    if (QFileInfo::exists(QStringLiteral("ikona.ico")))
        QApplication::setWindowIcon(QIcon(QStringLiteral("ikona.ico")));
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

    // The level below is hidden while a level window closes, so at that
    // moment no window shows: Qt's rule of quitting when the last window
    // closes would end the program on every "Späť". The program ends when its
    // main window goes, or through the exit clean-up.
    app.setQuitOnLastWindowClosed(false);
    auto* form = new TForm1(st, modal, true);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(form, &QObject::destroyed, &app, &QCoreApplication::quit);
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
