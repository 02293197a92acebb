#pragma once
// General utilities used by the launcher, the copy window, the search window
// and the exercises.
#include <QString>
#include <QStringList>
#include <functional>

namespace orbino {

class Prompter;
class Shell;

// Copies `source` to `destination` in 8192-byte blocks. A destination that is
// an existing folder (the root "/" included) receives the file under the
// source's name. The new file is written beside its final name and renamed
// over it, so copying a file onto itself or a failure half way never destroys
// the destination's old content. Times and permissions are not carried over.
// Throws FileError with reason "Cannot open file <source>" or
// "Cannot create file <destination>".
void CopyFileTo(const QString& source, const QString& destination);

// Windows file attribute bits, as course tools test them.
inline constexpr quint16 faReadOnly = 0x01;
inline constexpr quint16 faHidden = 0x02;
inline constexpr quint16 faSysFile = 0x04;
inline constexpr quint16 faDirectory = 0x10;
inline constexpr quint16 faArchive = 0x20;
// True when every bit of `mask` is set for `path`. A missing path has no
// attributes at all (false, even for mask 0). Read-only means the user may
// not write it; hidden means a name beginning with "."; archive is set on
// every regular file; no file is a system file.
bool HasAttributes(const QString& path, quint16 mask);

// Opens `file` the way the desktop would: a native program (run bit, script
// or ELF) starts with `params`; a Windows program through wine; anything else,
// and addresses, open with the desktop's handler, which gets no parameters.
// Returns false when it failed at once; a handler that fails later, or a
// Windows program that Wine soon ends with an error, calls `onFailure` then
// (on this thread, with the reason). `onFailure` also runs for an immediate
// failure. Never waits.
bool ShellOpen(Shell& shell, const QString& file, const QStringList& params, const QString& folder,
               const std::function<void(const QString& reason)>& onFailure);

// Starts a program; when it cannot be started shows "The program <name> was
// not executed" as an error and returns false.
bool StartProgram(Shell& shell, Prompter* prompter, const QString& name, const QString& folder,
                  const QStringList& params);

// Runs a program hidden and waits for it, keeping the windows alive.
// Returns its exit code, or -1 when it could not be started.
int RunAndWait(Shell& shell, const QString& name, const QString& folder, const QStringList& params);

// The file found on the search path (PATH), or `name` unchanged.
QString FindOnPath(const QString& name);

// Splits a parameter text as a Windows program would: blanks separate,
// double quotes keep blanks inside one argument.
QStringList splitParameters(const QString& text);

} // namespace orbino
