// Placeholder definitions; the subsystem fills them in.
#include "app/app_state.h"
#include "app/main_window.h"

namespace orbino {

void TForm1::Poznmky1Click() {}
void TForm1::Button1Click() {}
void TForm1::Odkazy1Click() {}
void TForm1::Koprovanie1Click() {}
void TForm1::ComboBox1Click() {}
void TForm1::ComboBox2Click() {}
} // namespace orbino
