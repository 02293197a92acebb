// Pictures: bitmap decoding never crashes, gives the same pixels on every
// read, and whatever the fast path decodes is exactly what Qt's own reader
// shows for the same bytes.
#include "platform/picture.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith("BM")) {
        const QImage once = orbino::decodePicture(bytes);
        if (once != orbino::decodePicture(bytes))
            std::abort();
    }
    const QImage direct = orbino::decodePlainBitmap(bytes);
    if (direct.isNull())
        return 0;
    const QImage qt = QImage::fromData(bytes, "BMP");
    if (qt.isNull() || direct != qt.convertToFormat(QImage::Format_RGB32))
        std::abort();
    return 0;
}
