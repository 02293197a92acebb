// "Editácia lekcie": the lesson editor opened from a level window's menu.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/editor_window.h"
#include "content/lesson_text.h"
#include "platform/textfile.h"
#include "ui_tform1.h"

#include <QComboBox>
#include <QTextEdit>

#if __has_include("content/password_window.h")
#include "content/password_window.h"
#define ORBINO_HAVE_TEACHER_GATE 1
#endif

namespace orbino {

void TForm1::Editcialekci1Click() {
    // 1.
    if (st.editPasswordSwitch && !st.teacherLoggedIn) {
#ifdef ORBINO_HAVE_TEACHER_GATE
        if (!teacherGate(*this))
            return;
#else
        st.launchPermission = false;
        return;
#endif
    } else {
        st.launchPermission = true;
    }
    // 2.
    if (!ui->Memo1->isReadOnly()) {
        st.message(MsgKind::Information,
                   st.CitajKonfig(keys::EditableMemo));
        return;
    }
    // 3. Probed with a file of our own; the list itself is not touched.
    const int level = std::clamp(st.currentLevel, 1, kMaxLevel + 1);
    if (!folderWritable(st.levelFolderPath(level))) {
        const QString text = uneditableText(st);
        st.messageIfSwitch(MsgKind::Information, text);
        return;
    }
    // 4.
    const bool saved = openLessonEditor(*this, st.levelFolder[size_t(level)], st.levelListFile[size_t(level)]);
    // 5.
    ObnovMemo();
    // 6.
    ui->ComboBox1->clear();
    for (const QString& line : readLines(st.contentListPath(level))) {
        if (line.startsWith(QLatin1String("//")))
            ui->ComboBox1->addItem(line.mid(2));
    }
    if (ui->ComboBox1->count() == 0)
        ui->ComboBox1->addItem(
            st.CitajKonfig(keys::WwwDefault));
    ui->ComboBox1->setCurrentIndex(0);
    // 7. Leaving through "Zruš zmeny" saves nothing, the panel included.
    if (st.editorAskedTextEdit) {
        st.editorAskedTextEdit = false;
        Editciatextu2Click();
    } else if (saved) {
        UlozMemo();
    }
}

} // namespace orbino
