#pragma once
#include <QString>
#include <QStringList>
#include <functional>

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
    int runAndWait(const QString& program, const QStringList& args,
                   const QString& workDir) override;
};

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
struct Launch {
    QString program;
    QStringList args;
};
Launch launchFor(const QString& path, const QStringList& args);

// Looks a program up on PATH; empty when not found.
QString findExecutable(const QString& name);

} // namespace orbino
