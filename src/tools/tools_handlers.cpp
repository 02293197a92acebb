// The main window's side of the learner's own tools: notes, own links,
// copying them, and opening a chosen link.
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "tools/copy_window.h"
#include "tools/links.h"
#include "tools/links_window.h"
#include "tools/notes.h"
#include "tools/notes_window.h"
#include "ui_tform1.h"

#include <QtMath>

namespace orbino {

// The layout cursor that put the notes button where it is now: placing the
// button again from it keeps it in place, whichever screen was built last.
int TForm1::notesButtonCursor() const {
    const int u = st.scale;
    const int offset = u == 10 ? qRound(u * 3.5) : qRound(u * 2.8);
    return ui->Button1->y() - offset;
}

namespace {

void openLink(AppState& st, const QString& text) {
    const LinkTarget target = linkTarget(text);
    if (!target.refusal.isEmpty()) {
        st.message(MsgKind::Warning, target.refusal);
        return;
    }
    // An address the desktop cannot open is not reported, as for any link.
    if (!target.address.isEmpty() && st.shell)
        st.shell->openDocument(target.address, QString(), nullptr);
}

} // namespace

void TForm1::Poznmky1Click() {
    TOknoPoznamka::run(*this);
    Lista(notesButtonCursor());
}

void TForm1::Button1Click() {
    // The lesson text being edited is offered for saving first; the notes
    // open whatever the answer.
    saveBeforeLeaving();
    TOknoPoznamka::run(*this);
}

void TForm1::Odkazy1Click() {
    TOknoOdkazy::run(*this);
    ui->ComboBox2->clear();
    if (const std::optional<QStringList> own = ownLinksOf(st, level))
        ui->ComboBox2->addItems(*own);
    showOwnLinksList();
}

void TForm1::showOwnLinksList() {
    const bool hasOwn = ui->ComboBox2->count() > 0;
    ui->ComboBox2->setVisible(hasOwn);
    ui->Label4->setVisible(hasOwn);
    if (hasOwn)
        ui->Label4->move(ui->Label4->x(), ui->ComboBox2->y() - 20);
    ui->ComboBox2->setCurrentIndex(hasOwn ? 0 : -1);
}

void TForm1::Koprovanie1Click() {
    TOknoKopy::run(*this);
}

void TForm1::ComboBox1Click() {
    openLink(st, ui->ComboBox1->currentText());
}

void TForm1::ComboBox2Click() {
    openLink(st, ui->ComboBox2->currentText());
}

} // namespace orbino
