#include "tools/notes_window.h"

#include "app/accessibility_window.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/paths.h"
#include "tools/notes.h"
#include "tools/tool_window.h"
#include "ui_notes_window.h"

#include <memory>

namespace orbino {

TOknoPoznamka::TOknoPoznamka(TForm1& form)
    : QDialog(&form), ui(new Ui::TOknoPoznamka), m_form(form), st(form.st) {
    ui->setupUi(this);
    ui->Label1->setWordWrap(true);
    frameToolWindow(this, {ui->Button1, ui->Button2, ui->Button3, ui->Button4}, &st);
    onClicksGuarded<TOknoPoznamka>(m_form, this,
                                   {{ui->Button1, &TOknoPoznamka::Button1Click},
                                    {ui->Button2, &TOknoPoznamka::Button2Click},
                                    {ui->Button3, &TOknoPoznamka::Button3Click},
                                    {ui->Button4, &TOknoPoznamka::Button4Click}});
    connect(ui->Memo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    tabMovesOn(ui->Memo1);
}

TOknoPoznamka::~TOknoPoznamka() {
    delete ui;
}

void TOknoPoznamka::run(TForm1& form) {
    runToolWindow<TOknoPoznamka>(form);
}

QString TOknoPoznamka::notesPath() const {
    return st.tempFolder + m_name;
}

void TOknoPoznamka::FormActivate() {
    // The level of the window that opened the notes, never the shared level
    // file: another copy in the same learner's folder rewrites that one.
    const int m = m_form.level;
    ui->Button1->setText(st.CitajKonfig(keys::WindowNotesSave));
    ui->Button2->setText(st.CitajKonfig(keys::WindowNotesCancel));
    ui->Button3->setText(st.CitajKonfig(keys::WindowNotesErase));
    ui->Button4->setText(st.CitajKonfig(keys::WindowNotesEnd));
    setWindowTitle(st.CitajKonfig(keys::MenuNotes));
    m_savedText = st.CitajKonfig(keys::SaveNote);
    m_name = notesFileNameFor(st, m);
    const bool exists = pathExists(notesPath());
    if (exists)
        ui->Memo1->setPlainText(readNote(notesPath()).join(QLatin1Char('\n')));
    m_onDisk = ui->Memo1->toPlainText();
    // Nothing to erase yet; typing shows the button again.
    ui->Button3->setVisible(exists);
    ui->Label1->setText(m_savedText + QStringLiteral(" ") + notesPath());
}

void TOknoPoznamka::Memo1Change() {
    ui->Button3->show();
}

void TOknoPoznamka::Button1Click() {
    // A blank note is not saved; removing a note is what "erase" is for.
    const QString text = ui->Memo1->toPlainText();
    if (!saveNote(notesPath(), text))
        return;
    m_onDisk = text;
    m_form.noteChanged(true, true);
    accept();
}

void TOknoPoznamka::Button2Click() {
    // The one way to leave without a question: the learner asked to drop it.
    QDialog::reject();
}

void TOknoPoznamka::Button3Click() {
    const ConfigText question = st.configText(keys::EraseNotes);
    if (question.messageOn &&
        !(st.prompter && st.prompter->ask(MsgKind::Confirmation, question.value)))
        return;
    eraseNote(notesPath());
    ui->Memo1->clear();
    m_onDisk.clear();
    ui->Button3->hide();
}

void TOknoPoznamka::Button4Click() {
    reject();
}

bool TOknoPoznamka::changed() const {
    const QString text = ui->Memo1->toPlainText();
    return !text.trimmed().isEmpty() && text != m_onDisk;
}

bool TOknoPoznamka::offerToSave() {
    if (!changed())
        return true;
    const ConfigText question = st.configText(keys::SaveNoteQ);
    // A course whose CONFIG.TXT switches the question off keeps the silent
    // close; where nothing is configured the learner is asked.
    const bool configured =
        isFile(st.programConfigPath()) || (st.levelConfigActive && isFile(st.levelConfigPath()));
    if (!question.messageOn && configured)
        return true;
    const int answer =
        st.prompter
            ? st.prompter->choose(
                  MsgKind::Confirmation, question.value,
                  {QStringLiteral("Áno"), QStringLiteral("Nie"), QStringLiteral("Zrušiť")}, 2)
            : 0;
    if (answer == 1)
        return true;
    if (answer != 0)
        return false;
    const QString text = ui->Memo1->toPlainText();
    saveNote(notesPath(), text);
    m_onDisk = text;
    m_form.noteChanged(true, true);
    return true;
}

void TOknoPoznamka::reject() {
    // A note that cannot be saved keeps the window open with the text in it.
    bool close = false;
    m_form.guard([&] { close = offerToSave(); });
    if (close)
        QDialog::reject();
}

void TOknoPoznamka::FormClose() {
    const bool exists = hasNote(st, m_form.level);
    m_form.noteChanged(exists, false);
}

void TOknoPoznamka::done(int result) {
    m_form.guard([this] { FormClose(); });
    QDialog::done(result);
}

} // namespace orbino
