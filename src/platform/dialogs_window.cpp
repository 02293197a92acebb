#include "platform/dialogs_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QTranslator>
#include <QPushButton>
#include <QUrl>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace orbino {

namespace {
QWidget* activeParent() { return QApplication::activeWindow(); }
QString title() { return QApplication::applicationDisplayName(); }

// Ends the loop when the watched window has been closed. Merely hiding it
// does not count: a level window is hidden while a deeper level is shown and
// must go on waiting. A close that was refused leaves the window visible.
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget* w, QEventLoop* loop) : m_window(w), m_loop(loop) { w->installEventFilter(this); }
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
    CloseWatcher watcher(window, &loop);
    if (window->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (guard)
        guard->removeEventFilter(&watcher);
    return 0;
}

} // namespace orbino

namespace orbino {

QString WidgetFolderChooser::chooseFolder(const QString& title, const QString& startFolder,
                                          const QString& sampleCourse) {
    // The dialog's own texts (column headings, context menu) in Slovak when
    // Qt's translations are installed; only while it is shown.
    QTranslator slovak;
    const bool translated = slovak.load(QLocale(QLocale::Slovak), QStringLiteral("qtbase"), QStringLiteral("_"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                            QCoreApplication::installTranslator(&slovak);
    auto removeTranslator = qScopeGuard([&] {
        if (translated)
            QCoreApplication::removeTranslator(&slovak);
    });
    QFileDialog dlg(nullptr, title, startFolder);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setLabelText(QFileDialog::LookIn, QStringLiteral("Hľadať v:"));
    dlg.setLabelText(QFileDialog::FileName, QStringLiteral("Priečinok:"));
    // Only folders are chosen here: the file type row says nothing.
    for (const char* name : {"fileTypeLabel", "fileTypeCombo"})
        if (auto* w = dlg.findChild<QWidget*>(QLatin1String(name)))
            w->hide();
    dlg.setLabelText(QFileDialog::Accept, QStringLiteral("Vybrať"));
    dlg.setLabelText(QFileDialog::Reject, QStringLiteral("Zrušiť"));
    dlg.setAccessibleName(title);
    QList<QUrl> places{QUrl::fromLocalFile(QDir::homePath()), QUrl::fromLocalFile(QStringLiteral("/"))};
    bool sampleChosen = false;
    if (!sampleCourse.isEmpty()) {
        places.prepend(QUrl::fromLocalFile(sampleCourse));
        auto* sample = new QPushButton(QStringLiteral("Ukážkový kurz"), &dlg);
        sample->setAccessibleName(QStringLiteral("Ukážkový kurz"));
        sample->setToolTip(QDir::toNativeSeparators(sampleCourse));
        sample->setAutoDefault(false);
        QObject::connect(sample, &QPushButton::clicked, &dlg, [&] {
            sampleChosen = true;
            dlg.QDialog::done(QDialog::Rejected); // no checks of the typed name
        });
        // In the dialog's own grid, where the hidden file type row was.
        auto* grid = qobject_cast<QGridLayout*>(dlg.layout());
        auto* typeRow = dlg.findChild<QWidget*>(QStringLiteral("fileTypeCombo"));
        int row = -1, column = 0, rowSpan = 0, columnSpan = 0;
        if (grid && typeRow && grid->indexOf(typeRow) >= 0)
            grid->getItemPosition(grid->indexOf(typeRow), &row, &column, &rowSpan, &columnSpan);
        if (grid)
            grid->addWidget(sample, row >= 0 ? row : grid->rowCount(), 0, Qt::AlignLeft);
        else
            dlg.layout()->addWidget(sample);
    }
    dlg.setSidebarUrls(places);
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        return dlg.selectedFiles().constFirst();
    return sampleChosen ? sampleCourse : QString();
}

} // namespace orbino
