#include "platform/picture.h"

#include <cstdint>
#include <cstring>

namespace orbino {

namespace {

quint32 le32(const uchar* p) { return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24; }
quint16 le16(const uchar* p) { return quint16(p[0] | p[1] << 8); }

} // namespace

QImage decodePlainBitmap(const QByteArray& bytes) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    constexpr int kFileHeader = 14;
    if (size < kFileHeader + 40 || d[0] != 'B' || d[1] != 'M')
        return {};
    const quint32 offBits = le32(d + 10);
    const quint32 headerSize = le32(d + 14);
    // BITMAPINFOHEADER and its V4/V5 successors, which share its first 40 bytes.
    if (headerSize != 40 && headerSize != 108 && headerSize != 124)
        return {};
    const qint32 width = qint32(le32(d + 18));
    const qint32 rawHeight = qint32(le32(d + 22));
    const quint16 planes = le16(d + 26);
    const quint16 bpp = le16(d + 28);
    const quint32 compression = le32(d + 30);
    const quint32 colorsUsed = le32(d + 46);
    if (planes != 1 || compression != 0 /* BI_RGB */)
        return {};
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return {};
    // 32-bit bodies may carry alpha in the newer headers; leave those to Qt.
    if (bpp == 32 && headerSize != 40)
        return {};
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        return {};
    const bool topDown = rawHeight < 0;
    const qint64 height = topDown ? -qint64(rawHeight) : qint64(rawHeight);
    if (width > 32767 || height > 32767 || qint64(width) * height > (qint64(1) << 26))
        return {};

    const qint64 paletteStart = kFileHeader + qint64(headerSize);
    qint64 colors = 0;
    if (bpp <= 8) {
        colors = colorsUsed ? qint64(colorsUsed) : (qint64(1) << bpp);
        if (colors > (qint64(1) << bpp))
            return {};
    } else if (colorsUsed != 0) {
        return {};
    }
    const qint64 stride = ((qint64(width) * bpp + 31) / 32) * 4;
    if (qint64(offBits) < paletteStart + colors * 4 || qint64(offBits) + stride * height > size)
        return {};

    QRgb palette[256];
    for (qint64 i = 0; i < colors; ++i) {
        const uchar* c = d + paletteStart + i * 4;
        palette[i] = qRgb(c[2], c[1], c[0]);
    }

    QImage img(width, int(height), QImage::Format_RGB32);
    if (img.isNull())
        return {};
    const uchar* body = d + offBits;
    for (qint64 y = 0; y < height; ++y) {
        const uchar* src = body + stride * (topDown ? y : height - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(int(y)));
        switch (bpp) {
        case 24: {
            qint32 x = 0;
            if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
                // Four pixels from three words: the background of every
                // screen is decoded here, so this loop is worth its shifts.
                for (; x + 4 <= width; x += 4, src += 12) {
                    quint32 a, b, c;
                    std::memcpy(&a, src, 4);
                    std::memcpy(&b, src + 4, 4);
                    std::memcpy(&c, src + 8, 4);
                    dst[x] = 0xff000000u | (a & 0xffffffu);
                    dst[x + 1] = 0xff000000u | a >> 24 | (b & 0xffffu) << 8;
                    dst[x + 2] = 0xff000000u | b >> 16 | (c & 0xffu) << 16;
                    dst[x + 3] = 0xff000000u | c >> 8;
                }
            }
            for (; x < width; ++x, src += 3)
                dst[x] = 0xff000000u | quint32(src[2]) << 16 | quint32(src[1]) << 8 | src[0];
            break;
        }
        case 32:
            for (qint32 x = 0; x < width; ++x, src += 4)
                dst[x] = 0xff000000u | quint32(src[2]) << 16 | quint32(src[1]) << 8 | src[0];
            break;
        default: {
            // Palette indices, most significant bits first.
            const int perByte = 8 / bpp;
            const uint mask = (1u << bpp) - 1;
            for (qint32 x = 0; x < width; ++x) {
                const int shift = 8 - bpp * (x % perByte + 1);
                const uint index = (uint(src[x / perByte]) >> shift) & mask;
                if (index >= uint(colors))
                    return {}; // an index past the palette: Qt decides what that shows
                dst[x] = palette[index];
            }
        }
        }
    }
    const qint32 xPerMeter = qint32(le32(d + 38));
    const qint32 yPerMeter = qint32(le32(d + 42));
    if (xPerMeter > 0)
        img.setDotsPerMeterX(xPerMeter);
    if (yPerMeter > 0)
        img.setDotsPerMeterY(yPerMeter);
    return img;
}

QImage decodePicture(const QByteArray& bytes) {
    QImage img = decodePlainBitmap(bytes);
    if (img.isNull())
        img = QImage::fromData(bytes);
    return img;
}

} // namespace orbino
