#include "platform/shell_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <QWidget>

namespace orbino {

QString windowsProgramStatusText() {
    return QStringLiteral("Spúšťam program pre Windows…");
}

WidgetShell::WidgetShell() : m_context(std::make_unique<QObject>()) {
    m_limit = new QTimer(m_context.get());
    m_limit->setSingleShot(true);
    m_limit->setInterval(kWineStatusLimitMs);
    QObject::connect(m_limit, &QTimer::timeout, m_context.get(), [this] { settleAll(); });
    // The program's first window takes the focus from ours: it has come up.
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, m_context.get(),
                     [this](Qt::ApplicationState state) {
                         if (state != Qt::ApplicationActive)
                             settleAll();
                     });
}

WidgetShell::~WidgetShell() {
    settleAll();
}

void WidgetShell::windowsProgramStarted(QProcess* process) {
    if (m_pending.contains(process))
        return;
    m_pending << process;
    QObject::connect(process, &QProcess::finished, m_context.get(),
                     [this, process] { settle(process); });
    QObject::connect(process, &QObject::destroyed, m_context.get(),
                     [this, process] { settle(process); });
    m_limit->start();
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_cursorSet = true;
    }
    showStatus();
}

void WidgetShell::showStatus() {
    if (m_status)
        return;
    QWidget* host = QApplication::activeWindow();
    if (!host)
        host = QApplication::activeModalWidget();
    if (!host)
        return;
    // A label on the window in front, not a window of its own: it must not
    // take the focus the program's window is going to want.
    auto* label = new QLabel(windowsProgramStatusText(), host);
    label->setObjectName(QStringLiteral("windowsProgramStatus"));
    label->setAccessibleName(windowsProgramStatusText());
    label->setFrameShape(QFrame::Box);
    label->setMargin(8);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    label->setPalette(pal);
    label->adjustSize();
    const QRect area = host->rect();
    label->move(area.center().x() - label->width() / 2,
                std::max(0, area.bottom() - label->height() - area.height() / 12));
    label->raise();
    label->show();
    m_status = label;
}

void WidgetShell::settle(QProcess* process) {
    if (!m_pending.removeOne(process))
        return;
    if (m_pending.isEmpty())
        settleAll();
}

void WidgetShell::settleAll() {
    m_pending.clear();
    if (m_limit)
        m_limit->stop();
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    delete m_status.data();
}

} // namespace orbino
