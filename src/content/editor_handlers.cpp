// "Editácia lekcie": the lesson editor opened from a level window's menu.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/editor_window.h"
#include "content/lesson_text.h"
#include "content/password_window.h"
#include "platform/textfile.h"
#include "screens/content_list.h"
#include "ui_tform1.h"

#include <QComboBox>
#include <QTextEdit>

namespace orbino {

void TForm1::Editcialekci1Click() {
    // A teacher's password first, where the course asks for one.
    if (st.editPasswordSwitch && !st.teacherLoggedIn) {
        if (!teacherGate(*this))
            return;
    } else {
        st.launchPermission = true;
    }
    // Not while the lesson text itself is being edited.
    if (!ui->Memo1->isReadOnly()) {
        st.message(MsgKind::Information, st.CitajKonfig(keys::EditableMemo));
        return;
    }
    // Only where the list could be saved; the folder is asked, the list is not touched.
    const int level = std::clamp(st.levels.current(), 1, kMaxLevel + 1);
    if (!folderWritable(st.levelFolderPath(level))) {
        const ConfigText text = uneditableText(st);
        st.messageIf(text, MsgKind::Information, text.value);
        return;
    }
    // The editor, modal, on the screen's content list.
    const bool saved = openLessonEditor(*this, st.levels.folder(level), st.levels.listFile(level));
    // The lesson text and the web links as the edited list now gives them.
    ObnovMemo();
    ui->ComboBox1->clear();
    ui->ComboBox1->addItems(linkLinesOf(readLines(st.contentListPath(level))));
    if (ui->ComboBox1->count() == 0)
        ui->ComboBox1->addItem(st.CitajKonfig(keys::WwwDefault));
    ui->ComboBox1->setCurrentIndex(0);
    // Then text editing, when the editor asked for it, or the text saved.
    // Leaving through "Zruš zmeny" saves nothing, the panel included.
    if (st.editorAskedTextEdit) {
        st.editorAskedTextEdit = false;
        Editciatextu2Click();
    } else if (saved) {
        UlozMemo();
    }
}

} // namespace orbino
