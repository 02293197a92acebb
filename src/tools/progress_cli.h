#pragma once
// The learner's work and the class overview without a window:
//   orbino --export-work FILE.html [--course DIR]
//   orbino --class-report DIR [--csv FILE]
#include <QStringList>

namespace orbino {

// `args` without the program name, the command first. Returns the exit code:
// 0 done, 1 a file could not be read or written, 2 wrong arguments.
int runProgressCli(const QStringList& args);

} // namespace orbino
