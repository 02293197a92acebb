#include "tools/notes.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace orbino {

namespace {

const QString kMainBase = QStringLiteral("multimed");

enum class OwnKind { Main, DayFirst, Lesson };

struct OwnName {
    OwnKind kind;
    QString base;
};

OwnName ownName(const QString& folder, const QString& listFile, const QString& rootList) {
    const QString list = listFile.trimmed();
    if (list.isEmpty())
        return {OwnKind::Main, kMainBase};
    OwnName n;
    if (list.compare(rootList.trimmed(), Qt::CaseInsensitive) == 0)
        n = {OwnKind::DayFirst, lastComponent(folder.trimmed()).trimmed()};
    else
        n = {OwnKind::Lesson, lastComponent(list).trimmed()};
    // "..", "." or nothing left would name the temp folder itself.
    if (n.base.isEmpty() || n.base == QLatin1String(".") || n.base == QLatin1String(".."))
        return {OwnKind::Main, kMainBase};
    // Names beginning with "#" are the program's own files in the learner's
    // folder (the progress file): a screen so named gets a "_" before it.
    if (n.base.startsWith(QLatin1Char('#')))
        n.base.prepend(QLatin1Char('_'));
    return n;
}

OwnName ownName(const AppState& st, int level) {
    if (level < 1 || level > kMaxLevel || (level == 1 && !st.searchMode()))
        return {OwnKind::Main, kMainBase};
    return ownName(st.levels.folder(level), st.levels.listFile(level), st.rootListName);
}

QString noteName(const OwnName& n) {
    // A lesson's note has the name of its list file, which already ends in ".txt".
    return n.kind == OwnKind::Lesson ? n.base : n.base + QStringLiteral(".txt");
}

} // namespace

QString ownFilesBaseFor(const AppState& st, int level) {
    return ownName(st, level).base;
}

bool hasNote(const AppState& st, int level) {
    return isFile(st.tempFolder + notesFileNameFor(st, level));
}

QString notesFileNameFor(const AppState& st, int level) {
    return noteName(ownName(st, level));
}

QString ownFilesBaseOf(const QString& folder, const QString& listFile, const QString& rootList) {
    return ownName(folder, listFile, rootList).base;
}

QString notesFileNameOf(const QString& folder, const QString& listFile, const QString& rootList) {
    return noteName(ownName(folder, listFile, rootList));
}

QStringList readNote(const QString& path) {
    // Anything else in its place (a folder) is reported, not taken as no note.
    if (!pathExists(path))
        return {};
    return readLines(path);
}

QStringList textLines(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QChar(0x2029), QLatin1Char('\n')); // paragraph separator of text widgets
    t.replace(QChar(26), QLatin1Char(' '));      // would end the file when it is read back
    if (t.isEmpty())
        return {};
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    return t.split(QLatin1Char('\n'));
}

bool saveNote(const QString& path, const QString& text) {
    if (text.trimmed().isEmpty())
        return false;
    writeLines(path, textLines(text));
    return true;
}

void eraseNote(const QString& path) {
    if (!isFile(path))
        return;
    const QByteArray native = resolveNative(path);
    if (::unlink(native.constData()) != 0 && errno != ENOENT)
        throw FileError(path, QString::fromLocal8Bit(std::strerror(errno)));
    const qsizetype slash = native.lastIndexOf('/');
    if (slash >= 0)
        invalidateListing(QString::fromUtf8(native.left(slash + 1)));
}

} // namespace orbino
