#include "info/info_actions.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/shell.h"
#include "platform/system.h"

#include <QTextDocument>

namespace orbino {

bool openCourseDocument(AppState& st, const QString& name) {
    const QString path = resolvePath(st.programFolder + name);
    if (!isFile(path) || !st.shell)
        return false;
    // The word processor opens in its own window; whether it managed to is
    // its business, as with every document the course hands on.
    st.shell->openDocument(path, QString(), nullptr);
    return true;
}

void openAddress(AppState& st, const QString& caption, bool mail) {
    const QString target = caption.trimmed();
    if (target.isEmpty() || !st.shell)
        return;
    st.shell->openDocument(mail ? QStringLiteral("mailto:") + target : target, QString(), nullptr);
}

void loadCourseRtf(const AppState& st, const QString& name, QTextDocument& doc) {
    doc.clear();
    const QString path = resolvePath(st.programFolder + name);
    if (!isFile(path))
        throw FileError(path, pathExists(path) ? QStringLiteral("nie je súbor")
                                               : QStringLiteral("súbor neexistuje"));
    if (!loadRtfFile(path, doc))
        throw FileError(path, QStringLiteral("súbor sa nedá prečítať"));
}

QPoint centredPosition(const ScreenMetrics& screen, const QSize& size) {
    // C++ division truncates toward zero, as the layout expects for windows
    // larger than the screen too.
    return {(screen.width - size.width()) / 2, (screen.height - size.height()) / 2};
}

QPoint howToPosition(int scale) {
    return scale != 10 ? QPoint(50, 50) : QPoint(6, -2);
}

} // namespace orbino
