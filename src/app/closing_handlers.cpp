// Ending the program and closing level windows.
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/paths.h"
#include "ui_tform1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QTextEdit>

namespace orbino {

void TForm1::SpeedButton2Click() {
    // A failed or declined save does not keep the program open: the end
    // question below still decides.
    if (!ui->Memo1->isReadOnly())
        saveBeforeLeaving();
    const ConfigText question = st.configText(st.searchMode() ? keys::BlockedTree2 : keys::End);
    if (!question.messageOn ||
        (st.prompter && st.prompter->ask(MsgKind::Confirmation, question.value)))
        exitCleanup();
}

void TForm1::Koniec1Click() {
    // Ctrl+K offers to save an edited lesson text too, as the end button does.
    if (!ui->Memo1->isReadOnly())
        saveBeforeLeaving();
    const ConfigText question = st.configText(keys::End);
    if (!question.messageOn ||
        (st.prompter && st.prompter->ask(MsgKind::Confirmation, question.value)))
        exitCleanup();
}

void TForm1::exitCleanup() {
    closingForExit = true;
    st.exiting = true;
    if (TForm1* main = windowOfLevel(1))
        main->closingForExit = true;
    // Unwind without rebuilding: every level passed counts as built.
    while (const int down = st.levels.unwindOne())
        if (TForm1* w = windowOfLevel(down))
            w->show();
    QFile::remove(resolvePath(st.tempFormFile()));
    invalidateListing(st.tempFolder);
    // Ends the nested modal loops of the level windows and then the main loop.
    QCoreApplication::exit(0);
}

void TForm1::FormClose(QCloseEvent* e) {
    if (st.exiting) {
        e->accept();
        return;
    }
    // The closing window itself says whether it is the main window: the level
    // file may have been written by another copy sharing the temp folder.
    if (isMainWindow()) {
        // A second copy's first screen can be a lesson being edited.
        if (!ui->Memo1->isReadOnly() && !saveBeforeLeaving()) {
            e->ignore();
            return;
        }
        QFile::remove(resolvePath(st.tempFormFile()));
        invalidateListing(st.tempFolder);
        e->accept();
        return;
    }
    // Closed from the title bar with the text being edited: the same save
    // protocol as "Späť"; unsaved text keeps the window open.
    if (!property("leavingSaved").toBool() && !ui->Memo1->isReadOnly() && !saveBeforeLeaving()) {
        e->ignore();
        return;
    }
    setProperty("leavingSaved", false);
    const int L = level;
    if (TForm1* below = windowOfLevel(std::clamp(L - 1, 1, kMaxLevel)))
        below->move(pos());
    if (L == 2)
        st.levelConfigActive = false;
    e->accept();
    st.levels.leave(L);
}

} // namespace orbino
