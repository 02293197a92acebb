// Placeholder definitions; the subsystem fills them in.
#include "app/app_state.h"
#include "app/main_window.h"

namespace orbino {

void TForm1::SpustiProgram(QAbstractButton*) {}
} // namespace orbino
