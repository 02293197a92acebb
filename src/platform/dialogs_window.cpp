#include "platform/dialogs_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
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

int WidgetPrompter::choose(MsgKind kind, const QString& text, const QStringList& buttons,
                           int escapeIndex) {
    QMessageBox box(kind == MsgKind::Information ? QMessageBox::Information : QMessageBox::Question,
                    title(), text, QMessageBox::NoButton, activeParent());
    QList<QAbstractButton*> made;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        made << box.addButton(buttons.at(i),
                              i == escapeIndex ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    if (escapeIndex >= 0 && escapeIndex < made.size())
        box.setEscapeButton(made.at(escapeIndex));
    if (!made.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(made.first()));
    box.exec();
    const qsizetype chosen = made.indexOf(box.clickedButton());
    return chosen >= 0 ? int(chosen) : escapeIndex;
}

QString WidgetPrompter::saveFileName(const QString& title, const QString& startPath,
                                     const QString& filter) {
    return QFileDialog::getSaveFileName(activeParent(), title, startPath, filter);
}

QString WidgetPrompter::existingFolder(const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(activeParent(), title, startFolder);
}

namespace {
// Room the window manager's title bar and frame take.
constexpr int kFrameRoom = 40;

// A window designed for a larger screen than this one (a small screen at a
// high scale factor) keeps its designed layout inside a scroll area and
// takes the screen, so none of its controls is out of reach.
void fitToScreen(QWidget* window) {
    QScreen* screen = window->screen();
    // Level windows place their own canvas (they carry its designed geometry).
    if (!screen || window->property("fittedToScreen").toBool() ||
        window->property("designGeometry").isValid())
        return;
    const QRect free = screen->availableGeometry();
    const QSize design = window->size();
    if (design.width() <= free.width() && design.height() + kFrameRoom <= free.height())
        return;
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setAlignment(Qt::AlignCenter);
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        QWidget* central = main->takeCentralWidget();
        if (!central) {
            delete area;
            return;
        }
        central->setMinimumSize(central->size());
        area->setWidget(central);
        main->setCentralWidget(area);
    } else if (!window->layout()) {
        // Controls placed at fixed positions move onto a canvas of the
        // window's designed size, each keeping its place and visibility.
        auto* canvas = new QWidget;
        canvas->resize(design);
        const QObjectList children = window->children();
        for (QObject* o : children) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow())
                continue;
            const bool hidden = w->isHidden();
            w->setParent(canvas);
            w->setVisible(!hidden);
        }
        area->setWidget(canvas);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(area);
    } else {
        delete area; // laid out windows shrink by themselves
        return;
    }
    window->setProperty("fittedToScreen", true);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // A few pixels short of the screen's edges, for the window frame.
    window->setGeometry(free.x() + 5, free.y() + kFrameRoom / 2,
                        std::min(design.width(), free.width() - 10),
                        std::min(design.height(), free.height() - kFrameRoom));
    // Whatever gets the focus is scrolled into view, as Tab and mnemonics
    // reach controls the area has scrolled away.
    QObject::connect(qApp, &QApplication::focusChanged, area, [area](QWidget*, QWidget* now) {
        if (now && area->widget() && area->widget()->isAncestorOf(now))
            area->ensureWidgetVisible(now, 10, 10);
    });
}
} // namespace

int ModalRunner::exec(QWidget* window) {
    fitToScreen(window);
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
