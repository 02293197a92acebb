#include "content/editor_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "content/lesson_text.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "ui_editor_window.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>

namespace orbino {

TOknoEditLek::TOknoEditLek(AppState& state, const QString& lessonFolder, const QString& lessonFile,
                           QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoEditLek), st(state),
      m_files(editorFiles(state.programFolder, lessonFolder, lessonFile)) {
    ui->setupUi(this);
    // Only the system menu among the title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    FormCreate();
    auto on = [this](QPushButton* b, void (TOknoEditLek::*h)()) {
        connect(b, &QPushButton::clicked, this, [this, h] {
            try {
                (this->*h)();
            } catch (const FileError& e) {
                st.message(MsgKind::Error, e.message());
            }
        });
    };
    on(ui->Button1, &TOknoEditLek::Button1Click);
    on(ui->Button2, &TOknoEditLek::Button2Click);
    on(ui->Button3, &TOknoEditLek::Button3Click);
}

TOknoEditLek::~TOknoEditLek() {
    delete ui;
}

void TOknoEditLek::FormCreate() {
    setWindowTitle(st.CitajKonfig(keys::WindowEditlect));
    ui->Button1->setText(st.CitajKonfig(keys::WindowEditlectSave));
    ui->Button2->setText(st.CitajKonfig(keys::WindowEditlectCancel));
    ui->Button3->setText(st.CitajKonfig(keys::CorrectionText2));
    existed = true;
    continueToTextEditing = false;
}

void TOknoEditLek::FormActivate() {
    if (!isFile(m_files.list)) {
        existed = false;
        createdEmpty = createEmptyList(m_files);
    }
    const QStringList lines = readLines(m_files.list);
    const bool formatted = isFile(m_files.rtf);
    ui->Memo1->setPlainText(editorLines(lines, formatted).join(QLatin1Char('\n')));
    if (formatted) {
        if (!loadRtfFile(resolvePath(m_files.rtf), *ui->Memo3->document()))
            throw FileError(m_files.rtf, QStringLiteral("súbor sa nedá prečítať"));
        ui->Memo3->moveCursor(QTextCursor::Start);
        ui->Memo3->setVerticalScrollBarPolicy(plainLines(*ui->Memo3->document()).size() >= 6
                                                  ? Qt::ScrollBarAlwaysOn
                                                  : Qt::ScrollBarAlwaysOff);
        ui->Memo3->moveCursor(QTextCursor::Start);
        ui->Memo3->show();
    } else {
        ui->Memo3->hide();
    }
    const QString help = st.programFolder + QStringLiteral("lection.hlp");
    if (isFile(help))
        ui->Memo2->setPlainText(readLines(help).join(QLatin1Char('\n')));
    m_loadedText = ui->Memo1->toPlainText();
    ui->Memo1->setVerticalScrollBarPolicy(m_loadedText.size() >= 161 ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
    ui->Label1->setText(m_files.list);
    ui->Label2->setText(m_files.rtf);
    ui->Label3->setText(st.CitajKonfig(keys::CorrectionText1));
    // The window fits its content; a long path widens it.
    for (QLabel* l : {ui->Label1, ui->Label2})
        l->adjustSize();
    const QRect content = ui->Client->childrenRect();
    ui->Client->resize(content.right() + 1, content.bottom() + 1);
    setFixedSize(ui->Client->width() + 20, ui->Client->height() + 20);
}

void TOknoEditLek::Button1Click() {
    try {
        UlozTxtRtf();
    } catch (const ReplaceError& e) {
        // Nothing was replaced; the editor stays open with the text as typed.
        st.message(MsgKind::Information, QStringLiteral("So suborom niekto prave pracuje") +
                                             QStringLiteral("\n") + e.message());
        return;
    }
    saved = true;
    accept();
}

void TOknoEditLek::UlozTxtRtf() {
    const QString text = ui->Memo1->toPlainText();
    const QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    saveEditedList(m_files, lines, existed);
}

void TOknoEditLek::Button3Click() {
    continueToTextEditing = true;
    Button1Click();
    if (!saved)
        continueToTextEditing = false;
}

void TOknoEditLek::Button2Click() {
    QDialog::reject();
}

bool TOknoEditLek::changed() const {
    return ui->Memo1->toPlainText() != m_loadedText;
}

void TOknoEditLek::reject() {
    if (!changed()) {
        QDialog::reject();
        return;
    }
    const ConfigText question = st.configText(keys::SaveMemoQ);
    int answer = 0; // the no-question path of this question saves
    if (question.messageOn && st.prompter)
        answer = st.prompter->choose(
            MsgKind::Confirmation, question.value,
            {QStringLiteral("Áno"), QStringLiteral("Nie"), QStringLiteral("Zrušiť")}, 2);
    if (answer == 1) {
        QDialog::reject();
    } else if (answer == 0) {
        // Closes once saved; a save that fails keeps the editor open.
        try {
            Button1Click();
        } catch (const FileError& e) {
            st.message(MsgKind::Error, e.message());
        }
    }
}

bool openLessonEditor(TForm1& form, const QString& folder, const QString& listFile) {
    AppState& st = form.st;
    st.editorAskedTextEdit = false;
    TOknoEditLek editor(st, folder, listFile, &form);
    restoreListFromBackup(editor.files());
    editor.FormActivate();
    form.modal.exec(&editor);
    if (!editor.saved) {
        if (editor.createdEmpty)
            removeListIfEmpty(editor.files());
        return false;
    }
    st.editorAskedTextEdit = editor.continueToTextEditing;
    return true;
}

} // namespace orbino
