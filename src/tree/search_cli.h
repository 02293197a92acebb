#pragma once
#include <QStringList>

namespace orbino {

// `orbino --search-text WORDS... [--course DIR]`: prints one line per hit,
// best first: caption path, a tab, the file relative to the course, a tab, the
// snippet without marks. `args` are the arguments after "--search-text";
// "--course DIR" may stand anywhere among them (the working directory becomes
// DIR first) and "--" ends the options. Needs only a QCoreApplication; uses
// the same index cache as the tree window and brings it up to date first.
// Returns 0 when something was found, 1 when nothing was, 2 for bad
// arguments or a course or index that cannot be used.
int runTextSearchCli(const QStringList& args);

} // namespace orbino
