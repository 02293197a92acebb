// Placeholder definitions; the subsystem fills them in.
#include "app/app_state.h"
#include "app/main_window.h"

namespace orbino {

void TForm1::ObnovMemo() {}
bool TForm1::UlozMemo() { return true; }
void TForm1::Editciatextu2Click() {}
void TForm1::Ignorovazmeny1Click() {}
void TForm1::Memo1Exit() {}
void TForm1::Memo1MouseDown(const QPoint&) {}
bool TForm1::saveBeforeLeaving() { return true; }
} // namespace orbino
