#pragma once
#include <QStringList>

namespace orbino {

// `orbino --check [CONTENT_LIST]`, run in a course folder: prints the
// integrity check's lines for the given content list, or for the first list
// of every day folder when none is given. `args` are the arguments after
// "--check". Needs only a QCoreApplication. Returns the exit code: 1 when a
// file is missing, 2 on a usage or configuration error, 0 otherwise (cyclic
// references are listed but do not count as missing).
int runIntegrityCheckCli(const QStringList& args);

} // namespace orbino
