#pragma once
#include <QStringList>

class QApplication;

namespace orbino {

// Program entry: title, icon, the main window and the message loop.
// Returns the process exit code.
int runOrbino(QApplication& app, const QStringList& args);

} // namespace orbino
