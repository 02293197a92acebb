#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

namespace orbino {

// Starting other programs. Always a program plus an argument list, never a
// command line through /bin/sh.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document or address with the desktop's handler. Does not block;
    // `onFailure` runs later on the caller's thread if opening failed.
    virtual void openDocument(const QString& target, const QString& workDir,
                              std::function<void(const QString& reason)> onFailure) = 0;
    // Starts a program detached. False when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& args,
                              const QString& workDir) = 0;
    // The same, and a Windows program that Wine ends with an error soon after
    // its start calls `onFailure` later (on this thread) with the reason:
    // Wine's exit code and the last line it wrote to its error output.
    virtual bool startProgramReporting(const QString& program, const QStringList& args,
                                       const QString& workDir,
                                       std::function<void(const QString& reason)> onFailure) {
        (void)onFailure;
        return startProgram(program, args, workDir);
    }
    // True when `program` is a Windows program and Wine, which would run it,
    // is not installed here.
    virtual bool windowsProgramWithoutWine(const QString& program) const {
        (void)program;
        return false;
    }
    // Runs a program and waits for it while the user interface stays
    // responsive. Returns its exit code, or -1 when it could not be started
    // or did not end normally.
    virtual int runAndWait(const QString& program, const QStringList& args,
                           const QString& workDir) = 0;
};

// The real one: xdg-open for documents, wine for Windows programs.
class ProcessShell : public Shell {
public:
    void openDocument(const QString& target, const QString& workDir,
                      std::function<void(const QString&)> onFailure) override;
    bool startProgram(const QString& program, const QStringList& args,
                      const QString& workDir) override;
    bool startProgramReporting(const QString& program, const QStringList& args,
                               const QString& workDir,
                               std::function<void(const QString&)> onFailure) override;
    int runAndWait(const QString& program, const QStringList& args,
                   const QString& workDir) override;
    bool windowsProgramWithoutWine(const QString& program) const override;

protected:
    // Wine is bringing a Windows program up in `process`, which may take half
    // a minute (its first start builds Wine's prefix). The process signals
    // `finished` when Wine ends and is deleted some time after; the window
    // side shows meanwhile that something is coming.
    virtual void windowsProgramStarted(QProcess* process) { (void)process; }
};

// A Windows program that Wine ends with an error within this time of its
// start did not come up: the learner is told why. Later ends are the
// program's own business.
inline constexpr int kQuickWineFailureMs = 10000;

// How a file is started on Linux. Course discs are often mounted with the
// run bit on every file, so the bit alone does not make a program: the first
// bytes decide ("MZ" is a Windows program; "#!" or ELF a native one).
enum class FileKind {
    WindowsProgram, // .exe/.com/.bat that is not a native program: through wine
    NativeProgram,  // has the run bit and is a script or ELF binary: started directly
    Document,       // anything else: opened with the desktop's handler
};
FileKind classifyFile(const QString& path);

// The program and arguments that start `path` on Linux: a Windows program
// through wine when wine is installed, a native program as is. A bare name
// without a folder is looked up on PATH. Empty program when it cannot be
// started here (a document, a Windows program without wine).
// Arguments for a Windows program are given in the form Wine maps them to
// (windowsArguments).
struct Launch {
    QString program;
    QStringList args;
    bool throughWine = false;
};
Launch launchFor(const QString& path, const QStringList& args);

// Looks a program up on PATH; empty when not found.
QString findExecutable(const QString& name);

// Wine's loader on PATH ("wine", else "wine64"); empty when Wine is not
// installed.
QString wineProgram();

// How a Windows program under Wine names `path`, as `winepath -w` gives it
// with Wine's standard drive Z: for the root: "/home/ucitel/kurz/mys.scm"
// becomes "Z:\home\ucitel\kurz\mys.scm". A relative path is taken from
// `base` (empty: the current folder) first; "." and ".." and doubled
// separators are folded, a trailing separator stays. A path already in
// Windows form ("C:\...", "c:/...", "\\server\...") keeps its form, with "\"
// for "/" after a drive.
QString toWindowsPath(const QString& path, const QString& base = QString());

// The arguments a Windows program gets: each that is a path of ours (an
// absolute path naming an existing file or folder) in Windows form;
// switches such as "/s/c", words and relative names exactly as given.
QStringList windowsArguments(const QStringList& args);

} // namespace orbino
