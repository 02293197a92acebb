// Placeholder definitions; the subsystem fills them in.
#include "app/app_state.h"
#include "app/main_window.h"

namespace orbino {

void TForm1::AkoClick() {}
void TForm1::Help1Click() {}
void TForm1::Oprograme1Click() {}
void TForm1::Ohlasyautorom1Click() {}
void TForm1::Reklama1Click() {}
} // namespace orbino
