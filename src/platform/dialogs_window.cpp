#include "platform/dialogs_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QWidget>

namespace orbino {

namespace {
QWidget* activeParent() { return QApplication::activeWindow(); }
QString title() { return QApplication::applicationDisplayName(); }

// Ends the loop when the watched window is hidden, closed or destroyed.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* w, QEventLoop* loop) : m_loop(loop) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Hide || e->type() == QEvent::Close)
            m_loop->quit();
        return false;
    }

private:
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
    QMessageBox box(kind == MsgKind::Information ? QMessageBox::Information : QMessageBox::Question, title(),
                    text, QMessageBox::Yes | QMessageBox::No, activeParent());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Áno"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nie"));
    return box.exec() == QMessageBox::Yes;
}

int ModalRunner::exec(QWidget* window) {
    if (auto* dlg = qobject_cast<QDialog*>(window))
        return dlg->exec();
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    HideWatcher watcher(window, &loop);
    if (window->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (guard)
        guard->removeEventFilter(&watcher);
    return 0;
}

} // namespace orbino
