// Placeholder definitions; the subsystem fills them in.
#include "app/app_state.h"
#include "app/main_window.h"

namespace orbino {

void TForm1::FormActivate() {}
void TForm1::Lista(int) {}
void TForm1::PoStlaceni(QAbstractButton*) {}
void TForm1::ZobrazOkno() {}
void TForm1::SpeedButton1Click() {}
void TForm1::PripravOkno(const QString&) {}
void TForm1::applyLevelCaptions() {}
} // namespace orbino
