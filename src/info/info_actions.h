#pragma once
// What the information windows do besides showing themselves: open course
// documents and addresses through the shell, load their rich texts, and
// where they stand on the screen. No widgets here.
#include <QPoint>
#include <QSize>
#include <QString>

class QTextDocument;

namespace orbino {

class AppState;
struct ScreenMetrics;

// Opens program folder + `name` through the shell when that file exists
// (name matched without regard to case). A missing document does nothing,
// and neither does one the desktop cannot open. True when it was handed on.
bool openCourseDocument(AppState& st, const QString& name);

// Hands a label's web address to the shell; `mail` puts "mailto:" before it.
// Empty captions are not opened; a failure is not reported.
void openAddress(AppState& st, const QString& caption, bool mail);

// Loads program folder + `name` as rich text into `doc` (cleared first).
// Throws FileError naming the file when it is missing or cannot be read;
// `doc` is then left empty.
void loadCourseRtf(const AppState& st, const QString& name, QTextDocument& doc);

// Top left corner that centres a window of `size` on the screen, halves
// truncated toward zero.
QPoint centredPosition(const ScreenMetrics& screen, const QSize& size);

// Where the how-to window stands: its designed place, or (50, 50) on a
// screen exactly 1024 pixels wide (scale factor 12).
QPoint howToPosition(int scale);

} // namespace orbino
