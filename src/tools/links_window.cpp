#include "tools/links_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/paths.h"
#include "tools/links.h"
#include "tools/notes.h"
#include "tools/tool_window.h"
#include "ui_links_window.h"

#include <memory>

namespace orbino {

TOknoOdkazy::TOknoOdkazy(TForm1& form)
    : QDialog(&form), ui(new Ui::TOknoOdkazy), m_form(form), st(form.st) {
    ui->setupUi(this);
    // Enter in the address field adds the address.
    ui->Button1->setDefault(true);
    frameToolWindow(this, {ui->Button2, ui->Button3, ui->Button4, ui->Button5}, &st);
    onClicksGuarded<TOknoOdkazy>(m_form, this,
                                 {{ui->Button1, &TOknoOdkazy::Button1Click},
                                  {ui->Button2, &TOknoOdkazy::Button2Click},
                                  {ui->Button3, &TOknoOdkazy::Button3Click},
                                  {ui->Button4, &TOknoOdkazy::Button4Click},
                                  {ui->Button5, &TOknoOdkazy::Button5Click}});
    ui->Edit1->setFocus();
}

TOknoOdkazy::~TOknoOdkazy() {
    delete ui;
}

void TOknoOdkazy::run(TForm1& form) {
    runToolWindow<TOknoOdkazy>(form);
}

QString TOknoOdkazy::linksPath() const {
    return st.tempFolder + m_name;
}

QStringList TOknoOdkazy::entries() const {
    QStringList out;
    for (int i = 0; i < ui->ListBox1->count(); ++i)
        out << ui->ListBox1->item(i)->text();
    return out;
}

void TOknoOdkazy::focusEdit() {
    ui->Edit1->setFocus();
    // Where an address after a seven-character prefix would start.
    ui->Edit1->setCursorPosition(7);
    ui->Edit1->deselect();
}

void TOknoOdkazy::updateButtons() {
    const bool any = ui->ListBox1->count() > 0;
    ui->Button3->setVisible(any);
    ui->Button5->setVisible(any);
}

void TOknoOdkazy::rewrite(const QStringList& list) {
    if (!m_loaded)
        return;
    writeLinks(linksPath(), list);
}

void TOknoOdkazy::reload() {
    ui->ListBox1->clear();
    ui->ListBox1->addItems(readLinks(linksPath()));
}

void TOknoOdkazy::FormActivate() {
    ui->Edit1->setCursorPosition(7);
    // The opening window's own level (see the notes window).
    const int m = m_form.level;
    setWindowTitle(st.CitajKonfig(keys::MenuHttp));
    ui->Label1->setText(st.CitajKonfig(keys::WindowHttpAdd));
    ui->Label2->setText(st.CitajKonfig(keys::WindowHttpList));
    ui->Button1->setText(st.CitajKonfig(keys::WindowHttpSave));
    ui->Button5->setText(st.CitajKonfig(keys::WindowHttpEdit));
    ui->Button2->setText(st.CitajKonfig(keys::WindowHttpCancel));
    ui->Button3->setText(st.CitajKonfig(keys::WindowHttpErase));
    ui->Button4->setText(st.CitajKonfig(keys::WindowHttpEnd));
    const QString savedText = st.CitajKonfig(keys::SaveWww);
    m_name = linksFileNameFor(st, m);
    reload();
    m_loaded = true;
    updateButtons();
    ui->Label3->setText(savedText + QStringLiteral(" ") + linksPath());
}

void TOknoOdkazy::Button1Click() {
    const QString text = ui->Edit1->text();
    if (text.isEmpty())
        return;
    // Written first: when the file cannot take the address, the list and the
    // typed text stay as they were.
    rewrite(entries() << text);
    ui->ListBox1->addItem(text);
    ui->Edit1->clear();
    focusEdit();
    updateButtons();
}

void TOknoOdkazy::Button2Click() {
    ui->Edit1->clear();
    focusEdit();
}

void TOknoOdkazy::Button3Click() {
    const int row = ui->ListBox1->currentRow();
    if (row < 0 || !ui->ListBox1->item(row)->isSelected())
        return;
    QStringList rest = entries();
    rest.removeAt(row);
    rewrite(rest);
    reload();
    focusEdit();
    updateButtons();
}

void TOknoOdkazy::Button5Click() {
    const int row = ui->ListBox1->currentRow();
    if (row < 0 || ui->ListBox1->count() == 0 || !ui->ListBox1->item(row)->isSelected())
        return;
    ui->Edit1->setText(ui->ListBox1->item(row)->text());
    Button3Click();
}

void TOknoOdkazy::Button4Click() {
    const QString text = ui->Edit1->text();
    if (!text.isEmpty()) {
        const ConfigText question = st.configText(keys::SaveHttp);
        if (question.messageOn && st.prompter &&
            st.prompter->ask(MsgKind::Confirmation, question.value)) {
            rewrite(entries() << text);
            ui->ListBox1->addItem(text);
        }
    } else {
        // Also creates an empty file for a screen without links.
        rewrite(entries());
    }
    QDialog::done(QDialog::Accepted);
}

void TOknoOdkazy::reject() {
    m_form.guard([this] { Button4Click(); });
}

} // namespace orbino
