#include "platform/dialogs_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace orbino {

namespace {
QWidget* activeParent() {
    return QApplication::activeWindow();
}
QString title() {
    return QStringLiteral("Orbino");
}

// Ends the loop when the watched window has been closed. Merely hiding it
// does not count: a level window is hidden while a deeper level is shown and
// must go on waiting. A close that was refused leaves the window visible.
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget* w, QEventLoop* loop) : m_window(w), m_loop(loop) {
        w->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Close) {
            QPointer<QWidget> w = m_window;
            QPointer<QEventLoop> loop = m_loop;
            QTimer::singleShot(0, m_loop, [w, loop] {
                if (loop && (!w || !w->isVisible()))
                    loop->quit();
            });
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QEventLoop* m_loop;
};
} // namespace

void WidgetPrompter::message(MsgKind kind, const QString& text) {
    switch (kind) {
    case MsgKind::Warning:
        QMessageBox::warning(activeParent(), title(), text);
        break;
    case MsgKind::Error:
        QMessageBox::critical(activeParent(), title(), text);
        break;
    default:
        QMessageBox::information(activeParent(), title(), text);
        break;
    }
}

bool WidgetPrompter::ask(MsgKind kind, const QString& text) {
    QMessageBox box(kind == MsgKind::Information ? QMessageBox::Information : QMessageBox::Question,
                    title(), text, QMessageBox::Yes | QMessageBox::No, activeParent());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Áno"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nie"));
    return box.exec() == QMessageBox::Yes;
}

QString WidgetPrompter::saveFileName(const QString& title, const QString& startPath,
                                     const QString& filter) {
    return QFileDialog::getSaveFileName(activeParent(), title, startPath, filter);
}

QString WidgetPrompter::existingFolder(const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(activeParent(), title, startFolder);
}

int ModalRunner::exec(QWidget* window) {
    if (auto* dlg = qobject_cast<QDialog*>(window))
        return dlg->exec();
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    CloseWatcher watcher(window, &loop);
    if (window->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (guard)
        guard->removeEventFilter(&watcher);
    return 0;
}

} // namespace orbino
