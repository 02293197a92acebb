#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace orbino {

// Writes `doc` as Rich Text Format that the Windows rich-text control and
// word processors read back with the same text and character formats: code
// page 1250 with \fcharset238 fonts, Windows-1250 characters as \'xx and all
// others as \uN with a '?' fallback; soft hyphens, non-breaking hyphens
// and non-breaking spaces as RTF's own \-, \_ and \~. The output is pure ASCII with a line end
// after every paragraph and at least every 255 characters.
//
// A fragment without a font family or size gets the document's default font
// (Arial, 10 points, when that has none), so every run in the file carries
// both.
QByteArray writeRtf(const QTextDocument& doc);

// Replaces the file at `path` atomically (a crash leaves the old or the new
// file whole). Throws FileError naming the path and the reason on failure.
void saveRtfFile(const QString& path, const QTextDocument& doc);

} // namespace orbino
