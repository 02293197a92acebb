#include "platform/shell.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace orbino {

QString findExecutable(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

namespace {
bool isWindowsSuffix(const QString& suffix) {
    return suffix == QLatin1String("exe") || suffix == QLatin1String("com") ||
           suffix == QLatin1String("bat");
}

QByteArray firstBytes(const QString& native) {
    QFile f(native);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(4);
}
} // namespace

FileKind classifyFile(const QString& path) {
    const QString native = resolvePath(path);
    const QFileInfo info(native);
    const QString suffix = info.suffix().toLower();
    const QByteArray head = info.isFile() ? firstBytes(native) : QByteArray();
    const bool nativeCode = head.startsWith("#!") || head.startsWith("\x7f"
                                                                     "ELF");
    if (info.isFile() && info.isExecutable() && nativeCode)
        return FileKind::NativeProgram;
    if (isWindowsSuffix(suffix))
        return FileKind::WindowsProgram;
    return FileKind::Document;
}

Launch launchFor(const QString& path, const QStringList& args) {
    const QString native = resolvePath(path);
    if (!QFileInfo(native).isFile()) {
        // A bare name is looked for on PATH, as the system search path would.
        if (!path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\'))) {
            const QString found = findExecutable(path);
            if (!found.isEmpty())
                return {found, args};
            return {};
        }
        return {native, args}; // fails to start and is reported as such
    }
    switch (classifyFile(native)) {
    case FileKind::NativeProgram:
        return {native, args};
    case FileKind::WindowsProgram: {
        const QString wine = findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return {};
        return {wine, QStringList{native} + args};
    }
    case FileKind::Document:
        break;
    }
    return {};
}

void ProcessShell::openDocument(const QString& target, const QString& workDir,
                                std::function<void(const QString&)> onFailure) {
    const QString opener = findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (onFailure)
            onFailure(QStringLiteral("xdg-open nie je nainštalovaný"));
        return;
    }
    auto* proc = new QProcess(QCoreApplication::instance());
    if (!workDir.isEmpty())
        proc->setWorkingDirectory(resolvePath(workDir));
    QObject::connect(
        proc, &QProcess::finished, proc, [proc, onFailure](int code, QProcess::ExitStatus st) {
            if ((code != 0 || st != QProcess::NormalExit) && onFailure)
                onFailure(QString::fromLocal8Bit(proc->readAllStandardError()).trimmed());
            proc->deleteLater();
        });
    QObject::connect(proc, &QProcess::errorOccurred, proc,
                     [proc, onFailure](QProcess::ProcessError e) {
                         if (e == QProcess::FailedToStart) {
                             if (onFailure)
                                 onFailure(proc->errorString());
                             proc->deleteLater();
                         }
                     });
    const bool url =
        target.contains(QLatin1String("://")) || target.startsWith(QLatin1String("mailto:"));
    proc->start(opener, {url ? target : resolvePath(target)});
}

bool ProcessShell::startProgram(const QString& program, const QStringList& args,
                                const QString& workDir) {
    const Launch l = launchFor(program, args);
    if (l.program.isEmpty())
        return false;
    return QProcess::startDetached(l.program, l.args,
                                   workDir.isEmpty() ? QString() : resolvePath(workDir));
}

int ProcessShell::runAndWait(const QString& program, const QStringList& args,
                             const QString& workDir) {
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
    // Wait in an event loop, not a busy loop: the windows keep repainting and
    // the user may go on using them meanwhile.
    QEventLoop loop;
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);
    if (proc.state() != QProcess::NotRunning)
        loop.exec();
    if (proc.exitStatus() != QProcess::NormalExit)
        return -1;
    return proc.exitCode();
}

} // namespace orbino
