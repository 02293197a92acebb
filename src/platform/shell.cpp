#include "platform/shell.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTimer>

#include <langinfo.h>

#include <memory>
#include <vector>

namespace orbino {

QString findExecutable(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

QString wineProgram() {
    const QString wine = findExecutable(QStringLiteral("wine"));
    return wine.isEmpty() ? findExecutable(QStringLiteral("wine64")) : wine;
}

namespace {
bool isDriveLetter(QChar c) {
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}
} // namespace

QString toWindowsPath(const QString& path, const QString& base) {
    if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == QLatin1Char(':')) {
        QString p = path;
        return p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    }
    if (path.startsWith(QLatin1String("\\\\")))
        return path;
    QString full = path;
    if (!full.startsWith(QLatin1Char('/'))) {
        const QString from = base.isEmpty() ? QDir::currentPath() : base;
        full = from + QLatin1Char('/') + path;
    }
    // "." and ".." are folded by name, as Wine does, without asking the disk.
    QStringList parts;
    for (const QString& c : full.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (c == QLatin1String("."))
            continue;
        if (c == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << c;
    }
    QString out = QStringLiteral("Z:\\") + parts.join(QLatin1Char('\\'));
    if (full.endsWith(QLatin1Char('/')) && !parts.isEmpty())
        out += QLatin1Char('\\');
    return out;
}

QStringList windowsArguments(const QStringList& args) {
    QStringList out;
    out.reserve(args.size());
    for (const QString& a : args) {
        // Only our own paths are absolute Unix paths that exist; a switch
        // such as "/s/c" names nothing on disk.
        const bool ours = a.startsWith(QLatin1Char('/')) && !a.startsWith(QLatin1String("//")) &&
                          QFileInfo::exists(a);
        out << (ours ? toWindowsPath(a) : a);
    }
    return out;
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
        const QString wine = wineProgram();
        if (wine.isEmpty())
            return {};
        return {wine, QStringList{native} + windowsArguments(args), true};
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
    return startProgramReporting(program, args, workDir, {});
}

bool ProcessShell::windowsProgramWithoutWine(const QString& program) const {
    return isFile(program) && classifyFile(program) == FileKind::WindowsProgram &&
           wineProgram().isEmpty();
}

namespace {

bool utf8Locale() {
    const char* set = nl_langinfo(CODESET);
    return set && (qstricmp(set, "UTF-8") == 0 || qstricmp(set, "utf8") == 0);
}

// Wine's processes still running when the lesson player ends. They are left
// running (a learner's work in a Windows program must not die with us), so
// their QProcess objects are never deleted: the destructor would kill them.
std::vector<QProcess*>& releasedAtExit() {
    static auto* list = new std::vector<QProcess*>;
    return *list;
}

// The last line Wine wrote to its error output, read as it comes so that
// neither Wine nor the windows wait on a full pipe. Only a line's worth is
// kept, however much Wine writes.
class ErrorTail {
public:
    void add(const QByteArray& bytes) {
        m_partial += bytes;
        const qsizetype nl = m_partial.lastIndexOf('\n');
        if (nl >= 0) {
            const QByteArray lines = m_partial.left(nl);
            // A 32-bit program where Wine has only its 64-bit part: Wine
            // says so here and then ends with code 0 all the same.
            if (lines.contains("load_wow64_ntdll") || lines.contains("wine32 is missing"))
                m_no32Bit = true;
            const QByteArray line = lastNonEmptyLine(lines);
            if (!line.isEmpty())
                m_last = line;
            m_partial = m_partial.mid(nl + 1);
        }
        if (m_partial.size() > kMaxLine)
            m_partial = m_partial.right(kMaxLine);
    }
    bool no32Bit() const { return m_no32Bit; }
    QString last() const {
        const QByteArray rest = m_partial.trimmed();
        return QString::fromLocal8Bit(rest.isEmpty() ? m_last : rest);
    }

private:
    static constexpr qsizetype kMaxLine = 1000;
    static QByteArray lastNonEmptyLine(const QByteArray& text) {
        qsizetype end = text.size();
        while (end > 0) {
            const qsizetype start = text.lastIndexOf('\n', end - 1) + 1;
            const QByteArray line = text.mid(start, end - start).trimmed();
            if (!line.isEmpty())
                return line.right(kMaxLine);
            end = start - 1;
        }
        return {};
    }
    QByteArray m_partial;
    QByteArray m_last;
    bool m_no32Bit = false;
};

// Why Wine's end means that the program did not run; empty when it ran.
QString wineFailure(int code, QProcess::ExitStatus status, const ErrorTail& tail) {
    if (tail.no32Bit())
        return QStringLiteral("Je to program pre 32-bitový Windows: spustí ho Wine s balíkom "
                              "wine32 (wine32:i386), ktorý nie je nainštalovaný.");
    QString reason;
    if (status != QProcess::NormalExit)
        reason = QStringLiteral("Wine skončil neočakávane");
    else if (code != 0)
        reason = QStringLiteral("Wine skončil s kódom %1").arg(code);
    else
        return {};
    const QString line = tail.last();
    if (!line.isEmpty())
        reason += QStringLiteral(": ") + line;
    return reason;
}

} // namespace

bool ProcessShell::startProgramReporting(const QString& program, const QStringList& args,
                                         const QString& workDir,
                                         std::function<void(const QString&)> onFailure) {
    const Launch l = launchFor(program, args);
    if (l.program.isEmpty())
        return false;
    const QString dir = workDir.isEmpty() ? QString() : resolvePath(workDir);
    if (!l.throughWine || !QCoreApplication::instance())
        return QProcess::startDetached(l.program, l.args, dir);

    // Wine is watched: how it ends says whether the program came up at all.
    auto* proc = new QProcess(QCoreApplication::instance());
    proc->setProgram(l.program);
    proc->setArguments(l.args);
    if (!dir.isEmpty())
        proc->setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Wine's own errors only, without its notes about unimplemented
    // functions (WINEPREFIX and the rest are left as the user has them).
    if (!env.contains(QStringLiteral("WINEDEBUG")))
        env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all,err+all"));
    // Our paths are UTF-8. Wine reads file names in the locale's character
    // set, and where the locale the session names is not installed that is
    // ASCII: "02._deň" would not be found.
    if (!utf8Locale()) {
        env.remove(QStringLiteral("LC_ALL"));
        env.insert(QStringLiteral("LC_CTYPE"), QStringLiteral("C.UTF-8"));
    }
    proc->setProcessEnvironment(env);
    proc->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    proc->setStandardInputFile(QProcess::nullDevice());

    auto tail = std::make_shared<ErrorTail>();
    auto clock = std::make_shared<QElapsedTimer>();
    QObject::connect(proc, &QProcess::readyReadStandardError, proc,
                     [proc, tail] { tail->add(proc->readAllStandardError()); });
    QObject::connect(proc, &QProcess::finished, proc,
                     [proc, tail, clock, onFailure](int code, QProcess::ExitStatus status) {
                         tail->add(proc->readAllStandardError());
                         const QString reason = wineFailure(code, status, *tail);
                         if (!reason.isEmpty() && clock->elapsed() < kQuickWineFailureMs &&
                             onFailure) {
                             // After the other slots of this end (the busy
                             // status goes first), as the report may be modal.
                             QTimer::singleShot(0, QCoreApplication::instance(),
                                                [onFailure, reason] { onFailure(reason); });
                         }
                         proc->deleteLater();
                     });
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, proc, [proc] {
        if (proc->state() == QProcess::NotRunning)
            return;
        proc->disconnect();
        proc->setParent(nullptr);
        releasedAtExit().push_back(proc);
    });
    clock->start();
    proc->start();
    if (!proc->waitForStarted(5000)) {
        delete proc;
        return false;
    }
    windowsProgramStarted(proc);
    return true;
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
