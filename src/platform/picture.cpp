#include "platform/picture.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QBitmap>

#include <cerrno>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace orbino {

namespace {

quint32 le32(const uchar* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint16 le16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}

constexpr int kFileHeader = 14;
// Room for the largest header and a full palette.
constexpr qint64 kHeadBytes = kFileHeader + 124 + 256 * 4;

// What the headers of a plain bitmap say, checked against the file size.
struct Layout {
    qint32 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bpp = 0;
    qint64 colors = 0;
    qint64 stride = 0;
    qint64 offBits = 0;
    qint32 xPerMeter = 0;
    qint32 yPerMeter = 0;
    QRgb palette[256] = {};
};

// `d` holds the first `available` bytes of a file of `fileSize` bytes.
std::optional<Layout> parseHeader(const uchar* d, qint64 available, qint64 fileSize) {
    if (available < kFileHeader + 40 || d[0] != 'B' || d[1] != 'M')
        return std::nullopt;
    Layout m;
    m.offBits = le32(d + 10);
    const quint32 headerSize = le32(d + 14);
    // BITMAPINFOHEADER and its V4/V5 successors, which share its first 40 bytes.
    if (headerSize != 40 && headerSize != 108 && headerSize != 124)
        return std::nullopt;
    m.width = qint32(le32(d + 18));
    const qint32 rawHeight = qint32(le32(d + 22));
    const quint16 planes = le16(d + 26);
    m.bpp = le16(d + 28);
    const quint32 compression = le32(d + 30);
    const quint32 colorsUsed = le32(d + 46);
    if (planes != 1 || compression != 0 /* BI_RGB */)
        return std::nullopt;
    if (m.bpp != 1 && m.bpp != 4 && m.bpp != 8 && m.bpp != 24 && m.bpp != 32)
        return std::nullopt;
    // 32-bit bodies may carry alpha in the newer headers; leave those to Qt.
    if (m.bpp == 32 && headerSize != 40)
        return std::nullopt;
    if (m.width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        return std::nullopt;
    m.topDown = rawHeight < 0;
    m.height = m.topDown ? -qint64(rawHeight) : qint64(rawHeight);
    if (m.width > 32767 || m.height > 32767 || qint64(m.width) * m.height > (qint64(1) << 26))
        return std::nullopt;
    const qint64 paletteStart = kFileHeader + qint64(headerSize);
    if (m.bpp <= 8) {
        m.colors = colorsUsed ? qint64(colorsUsed) : (qint64(1) << m.bpp);
        if (m.colors > (qint64(1) << m.bpp))
            return std::nullopt;
    } else if (colorsUsed != 0) {
        return std::nullopt;
    }
    m.stride = ((qint64(m.width) * m.bpp + 31) / 32) * 4;
    if (m.offBits < paletteStart + m.colors * 4 || m.offBits + m.stride * m.height > fileSize ||
        paletteStart + m.colors * 4 > available)
        return std::nullopt;
    for (qint64 i = 0; i < m.colors; ++i) {
        const uchar* c = d + paletteStart + i * 4;
        m.palette[i] = qRgb(c[2], c[1], c[0]);
    }
    m.xPerMeter = qint32(le32(d + 38));
    m.yPerMeter = qint32(le32(d + 42));
    return m;
}

#if defined(__x86_64__) || defined(__i386__)
bool haveSsse3() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}

// Four 24-bit pixels per shuffle. Loads 16 bytes for the 12 it uses, so it
// stops while six pixels are left and returns how many it converted.
__attribute__((target("ssse3"))) qint32 bgr24ToRgb32Ssse3(const uchar* src, QRgb* dst,
                                                          qint32 width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int(0xff000000u));
    qint32 x = 0;
    for (; x + 6 <= width; x += 4, src += 12) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                         _mm_or_si128(_mm_shuffle_epi8(in, spread), opaque));
    }
    return x;
}
#endif

// One stored row into one image row; false for an index past the palette.
bool convertRow(const Layout& m, const uchar* src, QRgb* dst) {
    const qint32 width = m.width;
    switch (m.bpp) {
    case 24: {
        qint32 x = 0;
#if defined(__x86_64__) || defined(__i386__)
        if (haveSsse3())
            x = bgr24ToRgb32Ssse3(src, dst, width);
        src += 3 * x;
#endif
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            // Four pixels from three words: the background of every screen
            // is decoded here, so this loop is worth its shifts.
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
        return true;
    }
    case 32:
        for (qint32 x = 0; x < width; ++x, src += 4)
            dst[x] = 0xff000000u | quint32(src[2]) << 16 | quint32(src[1]) << 8 | src[0];
        return true;
    default: {
        // Palette indices, most significant bits first.
        const int perByte = 8 / m.bpp;
        const uint mask = (1u << m.bpp) - 1;
        for (qint32 x = 0; x < width; ++x) {
            const int shift = 8 - m.bpp * (x % perByte + 1);
            const uint index = (uint(src[x / perByte]) >> shift) & mask;
            if (index >= uint(m.colors))
                return false; // Qt decides what that shows
            dst[x] = m.palette[index];
        }
        return true;
    }
    }
}

void unmapPixels(void* info) {
    const auto* region = static_cast<const std::pair<void*, size_t>*>(info);
    ::munmap(region->first, region->second);
    delete region;
}

QImage newImage(const Layout& m) {
    QImage img;
    const size_t bytes = size_t(m.width) * 4 * size_t(m.height);
    // A background is written all over at once: its pages are mapped in one
    // go rather than taken one fault at a time as the rows are filled.
    if (bytes >= 256 * 1024) {
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (p != MAP_FAILED)
            img = QImage(static_cast<uchar*>(p), m.width, int(m.height), qsizetype(m.width) * 4,
                         QImage::Format_RGB32, unmapPixels, new std::pair<void*, size_t>(p, bytes));
    }
    if (img.isNull())
        img = QImage(m.width, int(m.height), QImage::Format_RGB32);
    if (m.xPerMeter > 0)
        img.setDotsPerMeterX(m.xPerMeter);
    if (m.yPerMeter > 0)
        img.setDotsPerMeterY(m.yPerMeter);
    return img;
}

int imageRow(const Layout& m, qint64 storedRow) {
    return int(m.topDown ? storedRow : m.height - 1 - storedRow);
}

ssize_t preadFull(int fd, uchar* buf, qint64 n, qint64 at) {
    qint64 got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, buf + got, size_t(n - got), off_t(at + got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += r;
    }
    return ssize_t(got);
}

// A plain bitmap decoded straight from the file, a few rows at a time, so a
// large background never needs its whole file in memory besides the image.
// A null image when the file is anything else.
QImage streamPlainBitmap(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    uchar head[kHeadBytes];
    const ssize_t n = preadFull(fd, head, kHeadBytes, 0);
    const std::optional<Layout> m = parseHeader(head, n, st.st_size);
    if (!m)
        return {};
    QImage img = newImage(*m);
    if (img.isNull())
        return {};
    const qint64 rowsPerRead = std::max<qint64>(1, (64 * 1024) / m->stride);
    std::vector<uchar> buf(size_t(rowsPerRead * m->stride));
    for (qint64 row = 0; row < m->height; row += rowsPerRead) {
        const qint64 rows = std::min(rowsPerRead, m->height - row);
        if (preadFull(fd, buf.data(), rows * m->stride, m->offBits + row * m->stride) !=
            rows * m->stride)
            return {}; // the file shrank meanwhile
        for (qint64 k = 0; k < rows; ++k) {
            if (!convertRow(*m, buf.data() + k * m->stride,
                            reinterpret_cast<QRgb*>(img.scanLine(imageRow(*m, row + k)))))
                return {};
        }
    }
    return img;
}

// Every other bitmap: the old OS/2 header and the later Windows ones,
// 1 to 32 bits a pixel, run-length bodies and bit-field masks. Slower than
// the plain path above, which keeps the common pictures, but every pixel of
// the result is defined: what a run-length body skips, or a cut-off body
// never reaches, is see-through; a palette index past the palette is black.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0; // the mask's largest value, shifted down
};

std::optional<Channel> channelOf(quint32 mask) {
    Channel c;
    c.mask = mask;
    if (mask == 0)
        return c;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++c.shift;
    }
    // One unbroken run of 1 to 16 bits; anything else is no sensible colour.
    if ((mask & (mask + 1)) != 0 || mask > 0xffffu)
        return std::nullopt;
    c.max = mask;
    return c;
}

// A channel's value widened to 0..255 exactly: its largest value is 255.
inline uint scaled(const Channel& c, quint32 px) {
    if (c.max == 0)
        return 0;
    const quint32 v = (px & c.mask) >> c.shift;
    return c.max == 255 ? v : (v * 255 + c.max / 2) / c.max;
}

struct AnyBitmap {
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bpp = 0;
    quint32 compression = 0;
    Channel r, g, b, a;
    bool alpha = false;
    std::vector<QRgb> palette;
    const uchar* body = nullptr;
    qint64 bodyBytes = 0;
    qint32 xPerMeter = 0;
    qint32 yPerMeter = 0;
};

constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// The depth and compression pairs a bitmap may use; a run-length body is
// stored bottom-up only.
bool depthFits(const AnyBitmap& m, bool os2v2) {
    switch (m.bpp) {
    case 1:
    case 2:
    case 4:
    case 8:
        if (m.compression != kRgb && !(m.compression == kRle8 && m.bpp == 8) &&
            !(m.compression == kRle4 && m.bpp == 4))
            return false;
        break;
    case 16:
    case 32:
        if (m.compression != kRgb &&
            !(!os2v2 && (m.compression == kBitFields || m.compression == kAlphaBitFields)))
            return false;
        break;
    case 24:
        if (m.compression != kRgb)
            return false;
        break;
    default:
        return false;
    }
    if (m.topDown && m.compression != kRgb && m.compression != kBitFields &&
        m.compression != kAlphaBitFields)
        return false;
    return true;
}

// The colour channels of a 16- or 32-bit bitmap: the masks the header gives
// (moving `paletteStart` past them when they follow a basic header) or the
// depth's defaults. False when a mask does not fit.
bool readMasks(AnyBitmap& m, const uchar* d, const uchar* h, qint64 size, quint32 headerSize,
               qint64& paletteStart) {
    quint32 masks[4] = {};
    if (m.compression == kBitFields || m.compression == kAlphaBitFields) {
        // The basic header is followed by the masks; the longer ones hold them.
        const int count = m.compression == kAlphaBitFields ? 4 : 3;
        if (headerSize == 40) {
            if (paletteStart + 4 * count > size)
                return false;
            for (int i = 0; i < count; ++i)
                masks[i] = le32(d + paletteStart + 4 * i);
            paletteStart += 4 * count;
        } else {
            for (int i = 0; i < 4; ++i)
                masks[i] = i < count || headerSize >= 56 ? le32(h + 40 + 4 * i) : 0;
        }
    } else if (m.bpp == 16) {
        masks[0] = 0x7c00;
        masks[1] = 0x03e0;
        masks[2] = 0x001f;
    } else if (m.bpp == 32) {
        masks[0] = 0xff0000;
        masks[1] = 0x00ff00;
        masks[2] = 0x0000ff;
    }
    if (m.bpp == 16 || m.bpp == 32) {
        const quint32 depthMask = m.bpp == 16 ? 0xffffu : 0xffffffffu;
        std::optional<Channel> ch[4];
        for (int i = 0; i < 4; ++i) {
            if ((masks[i] & ~depthMask) != 0)
                return false;
            ch[i] = channelOf(masks[i]);
            if (!ch[i])
                return false;
        }
        m.r = *ch[0];
        m.g = *ch[1];
        m.b = *ch[2];
        m.a = *ch[3];
        m.alpha = m.a.max != 0;
    }
    return true;
}

// The palette of a bitmap of 8 bits or fewer; gives the number of colours read.
qint64 readPalette(AnyBitmap& m, const uchar* d, qint64 size, bool core, quint32 colorsUsed,
                   qint64 offBits, qint64 paletteStart) {
    const int entry = core ? 3 : 4;
    qint64 colors = 0;
    if (m.bpp <= 8) {
        colors = core || colorsUsed == 0 || colorsUsed > (1u << m.bpp) ? (qint64(1) << m.bpp)
                                                                       : qint64(colorsUsed);
        // A palette shorter than the depth allows ends where the body starts.
        if (offBits >= paletteStart)
            colors = std::min(colors, (offBits - paletteStart) / entry);
        colors = std::min(colors, std::max<qint64>(0, (size - paletteStart) / entry));
    }
    m.palette.reserve(size_t(colors));
    for (qint64 i = 0; i < colors; ++i) {
        const uchar* c = d + paletteStart + i * entry;
        m.palette.push_back(qRgb(c[2], c[1], c[0]));
    }
    return colors;
}

std::optional<AnyBitmap> parseAnyHeader(const uchar* d, qint64 size) {
    if (size < kFileHeader + 12 || d[0] != 'B' || d[1] != 'M')
        return std::nullopt;
    const qint64 offBits = le32(d + 10);
    const quint32 headerSize = le32(d + 14);
    const bool core = headerSize == 12;
    // The OS/2 1.x header, the OS/2 2.x one (16 to 64 bytes, laid out as
    // the Windows one as far as it goes) and the Windows ones.
    if (!core && !(headerSize >= 16 && headerSize <= 64 && headerSize % 4 == 0) &&
        headerSize != 108 && headerSize != 124)
        return std::nullopt;
    if (kFileHeader + qint64(headerSize) > size)
        return std::nullopt;
    const bool os2v2 =
        !core && headerSize <= 64 && headerSize != 40 && headerSize != 52 && headerSize != 56;
    // A field the header is too short to hold reads as zero.
    uchar h[124] = {};
    std::memcpy(h, d + kFileHeader, headerSize);
    AnyBitmap m;
    qint64 rawHeight = 0;
    int planes = 0;
    quint32 colorsUsed = 0;
    if (core) {
        m.width = le16(h + 4);
        rawHeight = le16(h + 6);
        planes = le16(h + 8);
        m.bpp = le16(h + 10);
    } else {
        m.width = qint32(le32(h + 4));
        rawHeight = qint32(le32(h + 8));
        planes = le16(h + 12);
        m.bpp = le16(h + 14);
        m.compression = le32(h + 16);
        m.xPerMeter = qint32(le32(h + 24));
        m.yPerMeter = qint32(le32(h + 28));
        colorsUsed = le32(h + 32);
    }
    if (planes != 1 || m.width <= 0 || rawHeight == 0)
        return std::nullopt;
    m.topDown = rawHeight < 0;
    m.height = m.topDown ? -rawHeight : rawHeight;
    if (m.width > 32767 || m.height > 32767 || m.width * m.height > (qint64(1) << 26))
        return std::nullopt;
    if (!depthFits(m, os2v2))
        return std::nullopt;

    qint64 paletteStart = kFileHeader + headerSize;
    if (!readMasks(m, d, h, size, headerSize, paletteStart))
        return std::nullopt;

    const int entry = core ? 3 : 4;
    const qint64 colors = readPalette(m, d, size, core, colorsUsed, offBits, paletteStart);
    // Some writers leave the offset at zero: the body follows the palette.
    const qint64 bodyStart = offBits >= paletteStart ? offBits : paletteStart + colors * entry;
    if (bodyStart >= size)
        return std::nullopt;
    m.body = d + bodyStart;
    m.bodyBytes = size - bodyStart;
    // Nothing in the headers is trusted for memory: every byte of the body
    // may stand for at most 1024 pixels beyond a first megapixel.
    if (m.width * m.height > (qint64(1) << 20) + m.bodyBytes * 1024)
        return std::nullopt;
    return m;
}

QRgb paletteColour(const AnyBitmap& m, uint index) {
    return index < m.palette.size() ? m.palette[index] : qRgb(0, 0, 0);
}

void decodeRows(const AnyBitmap& m, QImage& img) {
    const qint64 stride = ((m.width * m.bpp + 31) / 32) * 4;
    const qint64 rows = std::min(m.height, m.bodyBytes / stride);
    for (qint64 row = 0; row < rows; ++row) {
        const uchar* src = m.body + row * stride;
        auto* dst =
            reinterpret_cast<QRgb*>(img.scanLine(int(m.topDown ? row : m.height - 1 - row)));
        for (qint64 x = 0; x < m.width; ++x) {
            switch (m.bpp) {
            case 24:
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 16:
            case 32: {
                const quint32 px = m.bpp == 16 ? le16(src + 2 * x) : le32(src + 4 * x);
                dst[x] = qRgba(int(scaled(m.r, px)), int(scaled(m.g, px)), int(scaled(m.b, px)),
                               m.alpha ? int(scaled(m.a, px)) : 255);
                break;
            }
            default: {
                const int perByte = 8 / m.bpp;
                const int shift = 8 - m.bpp * int(x % perByte + 1);
                dst[x] = paletteColour(m, (uint(src[x / perByte]) >> shift) & ((1u << m.bpp) - 1));
            }
            }
        }
    }
}

// Run-length bodies: pairs of a count and a colour, or a zero and an escape
// (end of line, end of picture, a jump, or literal pixels padded to a word).
void decodeRunLength(const AnyBitmap& m, QImage& img) {
    const uchar* p = m.body;
    const uchar* const end = m.body + m.bodyBytes;
    const bool four = m.compression == kRle4;
    qint64 x = 0;
    qint64 y = 0; // stored row, from the bottom
    auto put = [&](uint index) {
        if (x < m.width && y < m.height)
            reinterpret_cast<QRgb*>(img.scanLine(int(m.height - 1 - y)))[x] =
                paletteColour(m, index);
        ++x;
    };
    while (end - p >= 2 && y < m.height) {
        const uint count = p[0];
        const uint value = p[1];
        p += 2;
        if (count > 0) {
            for (uint i = 0; i < count && x < m.width; ++i)
                put(four ? (i % 2 ? value & 0x0f : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            break;
        } else if (value == 2) { // jump right and up
            if (end - p < 2)
                break;
            x += p[0];
            y += p[1];
            p += 2;
        } else { // literal pixels
            const qint64 bytes = four ? (value + 1) / 2 : value;
            const qint64 have = std::min<qint64>(bytes, end - p);
            for (uint i = 0; i < value; ++i) {
                const qint64 at = four ? i / 2 : i;
                if (at >= have)
                    break;
                put(four ? (i % 2 ? p[at] & 0x0f : p[at] >> 4) : p[at]);
            }
            p += std::min<qint64>((bytes + 1) & ~qint64(1), end - p);
        }
    }
}

QImage decodeAnyBitmap(const uchar* d, qint64 size) {
    const std::optional<AnyBitmap> m = parseAnyHeader(d, size);
    if (!m)
        return {};
    const bool runLength = m->compression == kRle8 || m->compression == kRle4;
    const qint64 stride = ((m->width * m->bpp + 31) / 32) * 4;
    const bool partial = runLength || m->bodyBytes < stride * m->height;
    QImage img(int(m->width), int(m->height),
               partial || m->alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull())
        return {};
    img.fill(Qt::transparent);
    if (runLength)
        decodeRunLength(*m, img);
    else
        decodeRows(*m, img);
    if (m->xPerMeter > 0)
        img.setDotsPerMeterX(m->xPerMeter);
    if (m->yPerMeter > 0)
        img.setDotsPerMeterY(m->yPerMeter);
    return img;
}

} // namespace

QImage decodePlainBitmap(const QByteArray& bytes) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const std::optional<Layout> m = parseHeader(d, bytes.size(), bytes.size());
    if (!m)
        return {};
    QImage img = newImage(*m);
    if (img.isNull())
        return {};
    for (qint64 row = 0; row < m->height; ++row) {
        if (!convertRow(*m, d + m->offBits + row * m->stride,
                        reinterpret_cast<QRgb*>(img.scanLine(imageRow(*m, row)))))
            return {};
    }
    return img;
}

QImage decodePicture(const QByteArray& bytes) {
    // A bitmap this code cannot read is no picture; other readers would
    // only guess at it differently.
    if (!bytes.startsWith("BM"))
        return QImage::fromData(bytes);
    QImage img = decodePlainBitmap(bytes);
    if (img.isNull())
        img = decodeAnyBitmap(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
    return img;
}

QImage readPicture(const QString& path) {
    const int fd = openCourseFile(path);
    if (fd >= 0) {
        QImage img = streamPlainBitmap(fd);
        ::close(fd);
        if (!img.isNull())
            return img;
    }
    // Everything else, and the error for a file that cannot be read.
    return decodePicture(readFileBytes(path, kMaxPictureBytes));
}

QImage loadPicture(const QString& path) {
    if (!isFile(path))
        return {};
    try {
        return readPicture(path);
    } catch (const FileError&) {
        return {};
    }
}

QPixmap seeThroughPixmap(const QImage& img, qreal ratio) {
    if (img.isNull())
        return {};
    const QColor key = img.pixelColor(0, img.height() - 1);
    // Scaled smoothly for a HiDPI screen, the key colour's edges blend, so
    // there the colour becomes transparent before scaling, not a mask after.
    if (ratio > 1.0)
        return QPixmap::fromImage(forScreen(img, ratio, key));
    QPixmap pm = QPixmap::fromImage(img);
    pm.setMask(pm.createMaskFromColor(key));
    return pm;
}

} // namespace orbino

namespace orbino {

QImage forScreen(const QImage& picture, qreal ratio, const QColor& transparent) {
    if (picture.isNull())
        return picture;
    QImage img = picture;
    if (transparent.isValid()) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = transparent.rgb() & 0xffffff;
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((row[x] & 0xffffff) == key)
                    row[x] = 0;
        }
    }
    if (ratio > 1.0) {
        const QSize device(qRound(img.width() * ratio), qRound(img.height() * ratio));
        img = img.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        img.setDevicePixelRatio(ratio);
    }
    return img;
}

} // namespace orbino
