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
    virtual bool startProgram(const QString& program, const QStringList& args, const QString& workDir) = 0;
    // Runs a program and waits for it while the user interface stays
    // responsive. Returns its exit code, or -1 when it could not be started.
    virtual int runAndWait(const QString& program, const QStringList& args, const QString& workDir) = 0;
};

// The real one: xdg-open for documents, wine for Windows programs.
class ProcessShell : public Shell {
public:
    void openDocument(const QString& target, const QString& workDir,
                      std::function<void(const QString&)> onFailure) override;
    bool startProgram(const QString& program, const QStringList& args, const QString& workDir) override;
    int runAndWait(const QString& program, const QStringList& args, const QString& workDir) override;
};

// The program and arguments that start `path` on Linux: a Windows program
// (.exe, .com, .bat) through wine when wine is installed, anything else as
// is. Empty program when it cannot be started here.
struct Launch {
    QString program;
    QStringList args;
};
Launch launchFor(const QString& path, const QStringList& args);

// Looks a program up on PATH; empty when not found.
QString FindOnPath(const QString& name);

} // namespace orbino
