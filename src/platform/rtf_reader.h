#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QTextDocument;

namespace orbino {

// Reads Rich Text Format into `doc`, which is cleared first and left
// unmodified with no undo history. Keeps text, paragraphs, line breaks, tabs,
// paragraph alignment and the character formats a teacher sets: font family,
// size, bold, italic, underline, strike-out, colour, superscript and
// subscript, capitals and small capitals (shown so, the text kept as
// written). Optional hyphens become soft hyphens (U+00AD), non-breaking
// hyphens and spaces U+2011 and U+00A0, and a symbol font's bytes the
// characters its glyphs show.
//
// Any input is safe: malformed, truncated or hostile data never throws,
// crashes or hangs, costs time and memory in proportion to its size, and
// leaves in `doc` whatever text could be read. Returns false only when the
// data does not start with "{\rtf" at all; the bytes are then shown as
// Windows-1250 plain text, as the rich-text control shows a plain file.
//
// The \par that ends the last paragraph does not add an empty paragraph
// (every writer ends its last paragraph with one).
bool readRtf(const QByteArray& data, QTextDocument& doc);

// A lesson with pictures in it may be larger than a list; beyond this it is
// not read.
inline constexpr qint64 kMaxLessonBytes = qint64(64) * 1024 * 1024;

// readRtf on a file's bytes. Returns false, leaving `doc` empty, only when the
// file cannot be read (a FIFO, a device or a file over kMaxLessonBytes
// included); a file that is not RTF is loaded as plain text. Throws
// nothing: the caller chooses the message.
bool loadRtfFile(const QString& path, QTextDocument& doc);

// The text readRtf puts in a document, as QTextDocument::toPlainText() gives
// it (paragraphs and line breaks end lines, a non-breaking space is a space),
// without building the document: the same reading, without the formats.
QString readRtfPlainText(const QByteArray& data);

// loadRtfFile for the plain text alone; nothing when the file cannot be read.
std::optional<QString> loadRtfPlainText(const QString& path);

// The document's lines as the rich-text control numbers them: one per
// paragraph, and a line break inside a paragraph starts a new one. An empty
// last paragraph is kept as "", but an empty document has no lines.
QStringList plainLines(const QTextDocument& doc);

} // namespace orbino
