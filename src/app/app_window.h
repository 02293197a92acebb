#pragma once
#include <QStringList>

class QApplication;

namespace orbino {

// Name, style and font of the application; before any window (the course
// chooser included). Runs once however often it is called.
void prepareApplication();

// Program entry: title, icon, the main window and the message loop.
// Returns the process exit code.
int runOrbino(QApplication& app, const QStringList& args);

} // namespace orbino
