#include "content/lesson_editor.h"

#include "content/lesson_text.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

namespace orbino {

EditorFiles editorFiles(const QString& programFolder, const QString& lessonFolder,
                        const QString& lessonFile) {
    EditorFiles f;
    f.folder = programFolder + lessonFolder;
    if (!f.folder.endsWith(QLatin1Char('/')) && !f.folder.endsWith(QLatin1Char('\\')))
        f.folder += QLatin1Char('/');
    const QString base = lessonBase(lessonFile);
    f.list = f.folder + lessonFile;
    f.backup = f.folder + base + QStringLiteral(".bak");
    f.rtf = twinPath(f.folder, lessonFile);
    return f;
}

QStringList editorLines(const QStringList& fileLines, bool hasFormattedText) {
    return hasFormattedText ? linesOutsideBlocks(fileLines) : fileLines;
}

QStringList rebuildList(const QStringList& typedLines, const QStringList& formattedLines) {
    return linesOutsideBlocks(typedLines) + blockLines(formattedLines);
}

void saveEditedList(const EditorFiles& files, const QStringList& typedLines, bool makeBackup) {
    FileSet set;
    QStringList list = typedLines;
    if (isFile(files.rtf)) {
        QTextDocument doc;
        if (!loadRtfFile(resolvePath(files.rtf), doc))
            throw FileError(files.rtf, QStringLiteral("súbor sa nedá prečítať"));
        QTextCursor end(&doc);
        end.movePosition(QTextCursor::End);
        for (const QString& line : descriptionText(typedLines)) {
            if (!doc.isEmpty())
                end.insertBlock();
            end.insertText(line);
        }
        list = rebuildList(typedLines, plainLines(doc));
        set.stage(files.rtf, writeRtf(doc));
    }
    if (makeBackup && isFile(files.list))
        set.stage(files.backup, readFileBytes(files.list));
    set.stage(files.list, encodeLines(list, files.list));
    set.commit();
}

bool restoreListFromBackup(const EditorFiles& files) {
    if (pathExists(files.list) || !isFile(files.backup))
        return false;
    writeFileAtomic(files.list, readFileBytes(files.backup));
    return true;
}

bool createEmptyList(const EditorFiles& files) {
    if (pathExists(files.list))
        return false;
    writeFileAtomic(files.list, QByteArray());
    return true;
}

void removeListIfEmpty(const EditorFiles& files) {
    const QString native = resolvePath(files.list);
    const QFileInfo info(native);
    if (info.isFile() && info.size() == 0) {
        QFile::remove(native);
        invalidateListing(info.absolutePath());
    }
}

} // namespace orbino
