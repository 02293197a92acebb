// The "Zadanie úloh" button of a test-yourself screen.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/exercise_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "ui_tform1.h"

#include <QAbstractButton>
#include <QTextEdit>

namespace orbino {

void TForm1::ZadanieClick() {
    showMinimized();
    {
        // No parent: a dialog tied to a minimised window would be minimised too.
        TOknoUlohy w(*this);
        try {
            w.FormCreate();
        } catch (...) {
            // The test does not start; the screen stays as it was.
            setWindowState(windowState() & ~Qt::WindowMinimized);
            throw;
        }
        modal.exec(&w);
    }
    // Back as it was before the test, maximized if it was.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);

    // The solution buttons come out now; empty slots stay hidden as built.
    for (QAbstractButton* b :
         ui->centralwidget->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (b->property("tag").toInt() == 0)
            continue;
        b->setVisible(st.testYourselfFlag && !b->text().isEmpty());
    }
    ui->Zadanie->hide();

    QTextEdit* memo2 = ui->Memo2;
    memo2->clear();
    const QString path = resolvePath(st.programFolder + QStringLiteral("Zadanie2.rtf"));
    if (!isFile(path))
        throw FileError(path, QStringLiteral("súbor neexistuje"));
    if (!loadRtfFile(path, *memo2->document()))
        throw FileError(path, QStringLiteral("súbor sa nedá prečítať"));
    memo2->moveCursor(QTextCursor::Start);
    focusEvaluation();
}

} // namespace orbino
