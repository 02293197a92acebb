#include "platform/shell.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace orbino {

QString FindOnPath(const QString& name) { return QStandardPaths::findExecutable(name); }

Launch launchFor(const QString& path, const QStringList& args) {
    const QString native = resolvePath(path);
    const QString suffix = QFileInfo(native).suffix().toLower();
    if (suffix == QLatin1String("exe") || suffix == QLatin1String("com") || suffix == QLatin1String("bat")) {
        const QString wine = FindOnPath(QStringLiteral("wine"));
        if (wine.isEmpty())
            return {};
        return {wine, QStringList{native} + args};
    }
    return {native, args};
}

void ProcessShell::openDocument(const QString& target, const QString& workDir,
                                std::function<void(const QString&)> onFailure) {
    const QString opener = FindOnPath(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (onFailure)
            onFailure(QStringLiteral("xdg-open nie je nainštalovaný"));
        return;
    }
    auto* proc = new QProcess(QCoreApplication::instance());
    if (!workDir.isEmpty())
        proc->setWorkingDirectory(resolvePath(workDir));
    QObject::connect(proc, &QProcess::finished, proc, [proc, onFailure](int code, QProcess::ExitStatus st) {
        if ((code != 0 || st != QProcess::NormalExit) && onFailure)
            onFailure(QString::fromLocal8Bit(proc->readAllStandardError()).trimmed());
        proc->deleteLater();
    });
    QObject::connect(proc, &QProcess::errorOccurred, proc, [proc, onFailure](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            if (onFailure)
                onFailure(proc->errorString());
            proc->deleteLater();
        }
    });
    const bool url = target.contains(QLatin1String("://")) || target.startsWith(QLatin1String("mailto:"));
    proc->start(opener, {url ? target : resolvePath(target)});
}

bool ProcessShell::startProgram(const QString& program, const QStringList& args, const QString& workDir) {
    const Launch l = launchFor(program, args);
    if (l.program.isEmpty())
        return false;
    return QProcess::startDetached(l.program, l.args, workDir.isEmpty() ? QString() : resolvePath(workDir));
}

int ProcessShell::runAndWait(const QString& program, const QStringList& args, const QString& workDir) {
    const Launch l = launchFor(program, args);
    if (l.program.isEmpty())
        return -1;
    QProcess proc;
    if (!workDir.isEmpty())
        proc.setWorkingDirectory(resolvePath(workDir));
    proc.setProcessChannelMode(QProcess::ForwardedChannels);
    proc.start(l.program, l.args);
    if (!proc.waitForStarted(-1))
        return -1;
    // Wait in an event loop, not a busy loop, so windows keep repainting.
    QEventLoop loop;
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);
    if (proc.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (proc.exitStatus() != QProcess::NormalExit)
        return -1;
    return proc.exitCode();
}

} // namespace orbino
