// The main window's side of the information windows: each is made when
// asked for, shown modally and released when closed.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/password_window.h"
#include "info/about_program_window.h"
#include "info/about_window.h"
#include "info/ako_window.h"
#include "info/help_window.h"
#include "info/reklama_window.h"
#include "platform/dialogs_window.h"
#include "ui_tform1.h"

namespace orbino {

void TForm1::AkoClick() {
    // Only the how-to button of the course asks for the teacher; a course
    // that renamed the button gives its text to everyone.
    bool permitted = true;
    if (ui->Ako->text() == QStringLiteral("Ako pracovať s CD"))
        permitted = teacherGate(*this);
    else
        st.launchPermission = true;
    if (!permitted)
        return;
    TOknoAko w(st, this);
    // A missing text is reported once, before the window shows; the window
    // still opens, so its document buttons remain at hand.
    guard([&w] { w.loadText(); });
    modal.exec(&w);
}

void TForm1::Help1Click() {
    TOknoHelp w(st, this);
    // Loaded once rather than on every activation, so a missing text is not
    // reported again each time the window gets the focus back.
    guard([&w] { w.FormActivate(); });
    modal.exec(&w);
}

void TForm1::Oprograme1Click() {
    TOknoAbout w(st, this);
    modal.exec(&w);
}

void TForm1::Ohlasyautorom1Click() {
    TOknoOPrg w(st, this);
    modal.exec(&w);
}

void TForm1::Reklama1Click() {
    TOknoReklama w(st, this);
    modal.exec(&w);
}

} // namespace orbino
