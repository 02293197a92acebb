#include "content/fmx_utils.h"

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

namespace orbino {

void CopyFileTo(const QString& source, const QString& destination) {
    const QString src = resolvePath(source);
    QString dest = resolvePath(
        QDir::cleanPath(QDir::current().absoluteFilePath(fromWindowsPath(destination))));
    if (isDir(dest)) {
        // The copy takes the source's name as it is on disk.
        if (!dest.endsWith(QLatin1Char('/')))
            dest += QLatin1Char('/');
        dest = resolvePath(dest + lastComponent(src));
    }
    QFile in(src);
    if (!QFileInfo(src).isFile() || !in.open(QIODevice::ReadOnly))
        throw FileError(source, QStringLiteral("Cannot open file %1").arg(source));
    QSaveFile out(dest);
    if (!out.open(QIODevice::WriteOnly))
        throw FileError(dest, QStringLiteral("Cannot create file %1").arg(dest));
    constexpr qint64 block = 8192;
    QByteArray buf(block, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buf.data(), block);
        if (n < 0)
            throw FileError(source, QStringLiteral("Cannot open file %1").arg(source));
        if (n > 0 && out.write(buf.constData(), n) != n)
            throw FileError(dest, QStringLiteral("Cannot create file %1").arg(dest));
        if (n < block)
            break;
    }
    if (!out.commit())
        throw FileError(dest, QStringLiteral("Cannot create file %1").arg(dest));
    invalidateListing(QFileInfo(dest).absolutePath());
}

bool HasAttributes(const QString& path, quint16 mask) {
    const QString native = resolvePath(path);
    const QFileInfo info(native);
    if (!info.exists())
        return false;
    quint16 attrs = 0;
    if (!info.isWritable())
        attrs |= faReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.')))
        attrs |= faHidden;
    if (info.isDir())
        attrs |= faDirectory;
    else
        attrs |= faArchive;
    return (attrs & mask) == mask;
}

bool ShellOpen(Shell& shell, const QString& file, const QStringList& params, const QString& folder,
               const std::function<void(const QString&)>& onFailure) {
    const bool address =
        file.contains(QLatin1String("://")) || file.startsWith(QLatin1String("mailto:"));
    if (!address && classifyFile(file) != FileKind::Document) {
        if (shell.startProgramReporting(file, params, folder, onFailure))
            return true;
        if (onFailure)
            onFailure(QString());
        return false;
    }
    shell.openDocument(file, folder, onFailure);
    return true;
}

bool StartProgram(Shell& shell, Prompter* prompter, const QString& name, const QString& folder,
                  const QStringList& params) {
    if (shell.startProgram(name, params, folder))
        return true;
    if (prompter)
        prompter->message(MsgKind::Error, QStringLiteral("The program ") + name +
                                              QStringLiteral(" was not executed"));
    return false;
}

int RunAndWait(Shell& shell, const QString& name, const QString& folder,
               const QStringList& params) {
    return shell.runAndWait(name, params, folder);
}

QString FindOnPath(const QString& name) {
    const QString found = findExecutable(name);
    return found.isEmpty() ? name : found;
}

QStringList splitParameters(const QString& text) {
    return QProcess::splitCommand(text);
}

} // namespace orbino
