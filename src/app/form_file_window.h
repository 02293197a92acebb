#pragma once
#include <QByteArray>
#include <QString>

class QWidget;

namespace orbino {

// The temp form file: the set-up main window's adjusted properties (geometry,
// texts, fonts, colours, visibility and enabled state of the window, every
// named control and every menu item) as JSON. Applying it to a freshly built
// TForm1 makes an exact copy of the set-up main window.
void saveFormFile(const QWidget& form, const QString& path);
QByteArray formFileBytes(const QWidget& form);
// Throws FileError when the file is missing, unreadable or not a form file.
void applyFormFile(QWidget& form, const QString& path);
// The same from bytes held in memory; `path` names them in an error.
void applyFormBytes(QWidget& form, const QByteArray& data, const QString& path);

} // namespace orbino
