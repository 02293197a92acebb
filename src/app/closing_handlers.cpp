// Ending the program and closing level windows.
#include "app/app_state.h"
#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>

namespace orbino {

void TForm1::SpeedButton2Click() {}
void TForm1::Koniec1Click() {}
void TForm1::exitCleanup() {
    closingForExit = true;
    QApplication::quit();
}
void TForm1::FormClose(QCloseEvent* e) { e->accept(); }

} // namespace orbino
