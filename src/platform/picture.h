#pragma once
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace orbino {

// Decodes a picture file's bytes; a null image when they are no picture.
// Course pictures are almost all plain Windows bitmaps (backgrounds, button
// glyphs): those with an uncompressed 1-, 4-, 8-, 24- or 32-bit body are
// decoded straight into a 32-bit image, which is several times faster than
// the general image readers and loads none of their plug-ins at start-up.
// Every other bitmap (OS/2 headers, 2 and 16 bits a pixel, run-length
// bodies, bit-field masks, short palettes, cut-off bodies) is decoded here
// too, more slowly, with every pixel defined; only files that are not
// bitmaps go to Qt's readers.
QImage decodePicture(const QByteArray& bytes);

// Pictures may be far larger than any text file (an uncompressed bitmap of a
// large photo); beyond this they are refused by name.
inline constexpr qint64 kMaxPictureBytes = qint64(256) * 1024 * 1024;

// Reads a picture file through the resolver and decodes it as above; a
// plain bitmap is decoded straight from the file, a few rows at a time.
// Throws FileError when the file cannot be read or is not a regular file.
QImage readPicture(const QString& path);
// readPicture for a screen: a picture that is missing or cannot be read is
// left out, so this gives a null image instead of throwing.
QImage loadPicture(const QString& path);

// The direct bitmap decoding alone: a null image when the bytes are not a
// bitmap it handles.
QImage decodePlainBitmap(const QByteArray& bytes);

// The picture with every pixel of its bottom-left pixel's colour made
// see-through: button glyphs and markers are drawn so, at the screen's
// device pixel ratio. Needs a GUI application, as every pixmap does.
QPixmap seeThroughPixmap(const QImage& img, qreal ratio = 1.0);

} // namespace orbino

namespace orbino {

// A picture for a screen of `ratio` device pixels per logical pixel: scaled
// smoothly to that many device pixels, so it shows at its designed size
// without its pixels doubled. `transparent`, when valid, becomes see-through
// first (button glyphs use their bottom-left pixel so). Unchanged at 1.
QImage forScreen(const QImage& picture, qreal ratio, const QColor& transparent = QColor());

} // namespace orbino
