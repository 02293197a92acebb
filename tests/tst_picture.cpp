// Pictures: the fast bitmap decoding must show exactly what Qt's own
// readers show; every other bitmap variant is decoded by our own code into
// the pixels written out below, the same on every read.
#include "platform/errors.h"
#include "platform/picture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <array>

using namespace orbino;

namespace {

struct Bmp {
    int width = 3;
    int height = 2; // negative: rows stored top to bottom
    int bpp = 24;
    quint32 headerSize = 40;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
    int paletteSize = -1; // entries written; -1: as the header says
    qint64 extraGap = 0;  // bytes between palette and body
    qint64 cutBody = 0;   // bytes cut off the end
};

} // namespace

Q_DECLARE_METATYPE(Bmp)

namespace {

void put32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}
void put16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xff));
    b.append(char(v >> 8));
}

// A bitmap file built field by field, with random pixels (and indices that
// stay inside the palette).
QByteArray makeBmp(const Bmp& m, quint32 seed) {
    QRandomGenerator rng(seed);
    const int colors =
        m.bpp <= 8 ? int(m.colorsUsed ? m.colorsUsed : 1u << m.bpp) : int(m.colorsUsed);
    const int written = m.paletteSize >= 0 ? m.paletteSize : colors;
    const qint64 stride = ((qint64(m.width) * m.bpp + 31) / 32) * 4;
    const qint64 rows = m.height < 0 ? -qint64(m.height) : m.height;
    const quint32 off = 14 + m.headerSize + quint32(written) * 4 + quint32(m.extraGap);
    QByteArray b("BM");
    put32(b, quint32(off + stride * rows));
    put32(b, 0);
    put32(b, off);
    put32(b, m.headerSize);
    put32(b, quint32(m.width));
    put32(b, quint32(m.height));
    put16(b, 1);
    put16(b, quint16(m.bpp));
    put32(b, m.compression);
    put32(b, quint32(stride * rows));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, m.colorsUsed);
    put32(b, 0);
    while (b.size() < 14 + qsizetype(m.headerSize))
        b.append('\0');
    for (int i = 0; i < written; ++i)
        put32(b, rng.generate() & 0x00ffffff);
    b.append(QByteArray(m.extraGap, '\x55'));
    for (qint64 y = 0; y < rows; ++y) {
        QByteArray row(stride, '\0');
        if (m.bpp <= 8) {
            const int perByte = 8 / m.bpp;
            for (int x = 0; x < m.width; ++x) {
                const uint index = colors > 0 ? rng.bounded(colors) : 0;
                row[x / perByte] =
                    char(uchar(row.at(x / perByte)) | index << (8 - m.bpp * (x % perByte + 1)));
            }
        } else {
            for (qint64 i = 0; i < qint64(m.width) * m.bpp / 8; ++i)
                row[i] = char(rng.bounded(256));
        }
        b.append(row);
    }
    b.chop(m.cutBody);
    return b;
}

// A bitmap file put together from its parts: the file header is computed,
// the rest is written out byte by byte by each case.
QByteArray bmpFile(const QByteArray& header, const QByteArray& palette, const QByteArray& body) {
    QByteArray b("BM");
    const quint32 off = 14 + quint32(header.size() + palette.size());
    put32(b, off + quint32(body.size()));
    put32(b, 0);
    put32(b, off);
    return b + header + palette + body;
}

QByteArray coreHeader(int width, int height, int bpp) {
    QByteArray h;
    put32(h, 12);
    put16(h, quint16(width));
    put16(h, quint16(height));
    put16(h, 1);
    put16(h, quint16(bpp));
    return h;
}

// The Windows header of `size` bytes (40, 108 or 124), with its colour
// masks where it has room for them.
QByteArray infoHeader(int width, int height, int bpp, quint32 compression, quint32 size = 40,
                      quint32 colorsUsed = 0, std::array<quint32, 4> masks = {}) {
    QByteArray h;
    put32(h, size);
    put32(h, quint32(width));
    put32(h, quint32(height));
    put16(h, 1);
    put16(h, quint16(bpp));
    put32(h, compression);
    put32(h, 0);
    put32(h, 2835);
    put32(h, 2835);
    put32(h, colorsUsed);
    put32(h, 0);
    if (size > 40)
        for (quint32 m : masks)
            put32(h, m);
    h.append(QByteArray(qsizetype(size) - h.size(), '\0'));
    return h;
}

QByteArray bytes(std::initializer_list<int> list) {
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

QByteArray words16(std::initializer_list<quint16> list) {
    QByteArray b;
    for (quint16 v : list)
        put16(b, v);
    return b;
}

QByteArray words32(std::initializer_list<quint32> list) {
    QByteArray b;
    for (quint32 v : list)
        put32(b, v);
    return b;
}

// Palette entries as a bitmap stores them: blue, green, red (and a spare
// byte in the Windows headers).
QByteArray palette(std::initializer_list<QRgb> colours, bool core = false) {
    QByteArray b;
    for (QRgb c : colours) {
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (!core)
            b.append('\0');
    }
    return b;
}

using Pixels = QList<QRgb>; // top row first, left to right

constexpr QRgb kNone = 0; // see-through: the pixel was never stored
constexpr QRgb kRed = 0xffff0000, kGreen = 0xff00ff00, kBlue = 0xff0000ff, kWhite = 0xffffffff,
               kBlack = 0xff000000, kGrey = 0xff808080;

Pixels pixelsOf(const QImage& img) {
    Pixels p;
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            p.append(argb.pixel(x, y));
    return p;
}

QImage asRgb32(const QImage& img) {
    return img.isNull() ? img : img.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT
private slots:
    void bitmapsDecodeLikeQt_data() {
        QTest::addColumn<Bmp>("bmp");
        QTest::addColumn<bool>("direct"); // decoded without Qt's readers
        for (int w : {1, 2, 3, 4, 5, 17})
            QTest::addRow("24-bit width %d", w) << Bmp{w, 3} << true;
        QTest::newRow("24-bit top-down") << Bmp{7, -5} << true;
        QTest::newRow("32-bit") << Bmp{5, 4, 32} << true;
        QTest::newRow("8-bit full palette") << Bmp{9, 4, 8} << true;
        QTest::newRow("8-bit short palette") << Bmp{9, 4, 8, 40, 0, 10} << true;
        QTest::newRow("4-bit odd width") << Bmp{7, 3, 4} << true;
        QTest::newRow("1-bit") << Bmp{13, 3, 1} << true;
        QTest::newRow("1-bit top-down") << Bmp{13, -3, 1} << true;
        QTest::newRow("V5 header 24-bit") << Bmp{6, 3, 24, 124} << true;
        QTest::newRow("gap before the body") << Bmp{6, 3, 24, 40, 0, 0, -1, 10} << true;
        // Larger than one read of the file: rows arrive in several pieces.
        QTest::newRow("24-bit spanning reads") << Bmp{401, 203} << true;
        QTest::newRow("8-bit top-down spanning reads") << Bmp{517, -160, 8} << true;
    }
    void bitmapsDecodeLikeQt() {
        QFETCH(Bmp, bmp);
        QFETCH(bool, direct);
        for (quint32 seed = 1; seed <= 3; ++seed) {
            const QByteArray bytes = makeBmp(bmp, seed);
            QCOMPARE(!decodePlainBitmap(bytes).isNull(), direct);
            const QImage ours = asRgb32(decodePicture(bytes));
            const QImage qt = asRgb32(QImage::fromData(bytes));
            QCOMPARE(ours.isNull(), qt.isNull());
            QCOMPARE(ours.size(), qt.size());
            // Qt leaves the pixels of some compressed or damaged bodies unset:
            // where two of its own reads differ, only the size can agree.
            const bool qtRepeatable = qt == asRgb32(QImage::fromData(bytes));
            QVERIFY(qtRepeatable || !direct);
            if (qtRepeatable)
                QVERIFY2(ours == qt, "pixels differ from Qt's reader");
            // The same bytes read from a file, under a name whose case differs.
            QTemporaryDir dir;
            QFile f(dir.filePath("Obraz.BMP"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
            const QImage fromFile = asRgb32(readPicture(dir.filePath("obraz.bmp")));
            QCOMPARE(fromFile.size(), qt.size());
            if (qtRepeatable)
                QVERIFY2(fromFile == qt, "file read differs from Qt's reader");
        }
    }

    // Every other kind of bitmap, built byte by byte, with the pixels it
    // must show. Each is read twice from memory and once from a file: the
    // three must agree, so no pixel is left to chance.
    void everyBitmapVariant_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Pixels>("pixels");
        const QByteArray pal4 = palette({kRed, kGreen, kBlue, kWhite});
        // 16 bits, 5-5-5 and 5-6-5: white is white, a middle value rounds.
        QTest::newRow("16-bit 5-5-5, bottom-up")
            << bmpFile(infoHeader(2, 2, 16, 0), {}, words16({0x7c00, 0x0010, 0x7fff, 0x0000}))
            << QSize(2, 2) << Pixels{kWhite, kBlack, kRed, qRgb(0, 0, 132)};
        QTest::newRow("16-bit 5-6-5 masks after the header, top-down")
            << bmpFile(infoHeader(2, -1, 16, 3), words32({0xf800, 0x07e0, 0x001f}),
                       words16({0xffff, 0x0020}))
            << QSize(2, 1) << Pixels{kWhite, qRgb(0, 4, 0)};
        QTest::newRow("32-bit 10-10-10 in a V4 header")
            << bmpFile(infoHeader(2, 1, 32, 3, 108, 0, {0x3ff00000, 0x000ffc00, 0x000003ff, 0}), {},
                       words32({0x3ff00000u | 512u << 10, 0x3fffffff}))
            << QSize(2, 1) << Pixels{qRgb(255, 128, 0), kWhite};
        QTest::newRow("32-bit 11-11-10")
            << bmpFile(infoHeader(1, 1, 32, 3, 124, 0, {0xffe00000, 0x001ffc00, 0x000003ff, 0}), {},
                       words32({0xffe00000u | 1u << 10 | 1u}))
            << QSize(1, 1) << Pixels{qRgb(255, 0, 0)};
        QTest::newRow("32-bit 7-1-8-7 with alpha")
            << bmpFile(infoHeader(2, 1, 32, 3, 124, 0, {0x7f000000, 0x00800000, 0x007f8000, 0x7f}),
                       {}, words32({0x7f800000u | 0x7f, 0x7f8000u | 0x3f}))
            << QSize(2, 1) << Pixels{qRgba(255, 255, 0, 255), qRgba(0, 0, 255, 126)};
        QTest::newRow("16-bit 2-3-1")
            << bmpFile(infoHeader(2, 1, 16, 3), words32({0x30, 0x0e, 0x01}), words16({0x3f, 0x24}))
            << QSize(2, 1) << Pixels{kWhite, qRgb(170, 73, 0)};
        QTest::newRow("16-bit 1-9-2-4 with alpha, bit fields with alpha")
            << bmpFile(infoHeader(2, 1, 16, 6), words32({0x7fc0, 0x0030, 0x000f, 0x8000}),
                       words16({0xffff, 0x7fc0}))
            << QSize(2, 1) << Pixels{kWhite, qRgba(255, 0, 0, 0)};
        QTest::newRow("32-bit V5 without masks ignores the spare byte")
            << bmpFile(infoHeader(1, 1, 32, 0, 124), {}, words32({0x00808080})) << QSize(1, 1)
            << Pixels{kGrey};
        // Run-length bodies: a jump, an early end of line and the end of the
        // picture leave pixels see-through.
        QTest::newRow("RLE8 with a jump and an early end of line")
            << bmpFile(infoHeader(4, 3, 8, 1), pal4, bytes({2, 0, 0, 0, 0, 2, 1, 0, 1, 1, 0, 1}))
            << QSize(4, 3) << Pixels{kNone, kNone, kNone, kNone, kNone, kGreen,
                                     kNone, kNone, kRed,  kRed,  kNone, kNone};
        QTest::newRow("RLE8 literal pixels, padded")
            << bmpFile(infoHeader(4, 1, 8, 1), pal4, bytes({0, 3, 3, 2, 1, 0, 1, 0, 0, 1}))
            << QSize(4, 1) << Pixels{kWhite, kBlue, kGreen, kRed};
        QTest::newRow("RLE8 body cut off")
            << bmpFile(infoHeader(3, 2, 8, 1), pal4, bytes({3, 2, 0, 0, 1})) << QSize(3, 2)
            << Pixels{kNone, kNone, kNone, kBlue, kBlue, kBlue};
        QTest::newRow("RLE4 runs, literals and a jump")
            << bmpFile(infoHeader(5, 2, 4, 2), pal4,
                       bytes({5, 0x01, 0, 0, 0, 2, 1, 0, 0, 3, 0x23, 0x10, 0, 1}))
            << QSize(5, 2)
            << Pixels{kNone, kBlue, kWhite, kGreen, kNone, kRed, kGreen, kRed, kGreen, kRed};
        QTest::newRow("RLE8 index past the palette is black")
            << bmpFile(infoHeader(2, 1, 8, 1, 40, 2), palette({kRed, kGreen}), bytes({2, 7, 0, 1}))
            << QSize(2, 1) << Pixels{kBlack, kBlack};
        // Palettes: the old OS/2 header with three-byte entries and a palette
        // shorter than its depth, an index past a short Windows palette.
        QTest::newRow("OS/2 4-bit with a palette of three")
            << bmpFile(coreHeader(3, 1, 4), palette({kRed, kGreen, kBlue}, true),
                       bytes({0x01, 0x23, 0, 0}))
            << QSize(3, 1) << Pixels{kRed, kGreen, kBlue};
        QTest::newRow("OS/2 24-bit")
            << bmpFile(coreHeader(1, 2, 24), {}, bytes({0, 0, 255, 0, 0, 255, 0, 0})) << QSize(1, 2)
            << Pixels{kGreen, kRed};
        QTest::newRow("8-bit index past the palette is black")
            << bmpFile(infoHeader(2, 1, 8, 0, 40, 2), palette({kRed, kGreen}), bytes({1, 5, 0, 0}))
            << QSize(2, 1) << Pixels{kGreen, kBlack};
        QTest::newRow("2-bit") << bmpFile(infoHeader(5, 1, 2, 0), pal4, bytes({0x1b, 0x00, 0, 0}))
                               << QSize(5, 1) << Pixels{kRed, kGreen, kBlue, kWhite, kRed};
        QTest::newRow("24-bit body cut off keeps its whole rows")
            << bmpFile(infoHeader(1, 3, 24, 0), {}, bytes({255, 0, 0, 0, 0, 0})) << QSize(1, 3)
            << Pixels{kNone, kNone, kBlue};
    }
    void everyBitmapVariant() {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        QFETCH(Pixels, pixels);
        const QImage first = decodePicture(file);
        QCOMPARE(first.size(), size);
        QCOMPARE(pixelsOf(first), pixels);
        QCOMPARE(pixelsOf(decodePicture(file)), pixels);
        QTemporaryDir dir;
        QFile f(dir.filePath("obraz.bmp"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
        f.close();
        QCOMPARE(pixelsOf(readPicture(f.fileName())), pixels);
        // Damaged copies: bytes changed and the end cut off anywhere. Each
        // decodes, or fails, the same way twice.
        QRandomGenerator rng(42);
        for (int i = 0; i < 200; ++i) {
            QByteArray damaged = file.left(rng.bounded(qsizetype(2), file.size() + 1));
            for (int k = rng.bounded(4); k >= 0; --k)
                damaged[rng.bounded(damaged.size())] = char(rng.bounded(256));
            const QImage once = decodePicture(damaged);
            QCOMPARE(decodePicture(damaged), once);
        }
    }

    // Bitmaps that make no sense give no picture, quickly and without the
    // memory their headers ask for; Qt is not asked to guess at them.
    void malformedBitmaps() {
        // 30000 x 2000 pixels claimed by a few bytes of run-length body.
        QVERIFY(decodePicture(
                    bmpFile(infoHeader(30000, 2000, 8, 1), palette({kRed}), bytes({0, 0, 0, 1})))
                    .isNull());
        QVERIFY(decodePicture(bmpFile(infoHeader(8000, 8000, 24, 0), {}, QByteArray(16, 'x')))
                    .isNull());
        // A mask in two pieces, and one wider than 16 bits.
        QVERIFY(decodePicture(
                    bmpFile(infoHeader(1, 1, 16, 3), words32({0x7c1f, 0x03e0, 0}), words16({1})))
                    .isNull());
        QVERIFY(decodePicture(bmpFile(infoHeader(1, 1, 32, 3), words32({0xfffff000, 0xf00, 0xff}),
                                      words32({1})))
                    .isNull());
        // Compressions the format does not allow for the depth, a body that
        // is a JPEG, two planes, a run-length body stored top-down.
        QVERIFY(decodePicture(bmpFile(infoHeader(2, 1, 24, 1), {}, bytes({2, 0, 0, 1}))).isNull());
        QVERIFY(decodePicture(bmpFile(infoHeader(2, 1, 24, 4), {}, bytes({-1, -40, -1, -32})))
                    .isNull());
        QByteArray planes = bmpFile(infoHeader(1, 1, 24, 0), {}, bytes({0, 0, 0, 0}));
        planes[26] = 2;
        QVERIFY(decodePicture(planes).isNull());
        QVERIFY(decodePicture(bmpFile(infoHeader(2, -1, 8, 1), palette({kRed}), bytes({2, 0})))
                    .isNull());
        // The header alone, the body missing.
        QVERIFY(decodePicture(bmpFile(infoHeader(2, 1, 16, 0), {}, {})).isNull());
    }

    // A missing or unreadable file is an error naming it; a folder too.
    void unreadableFiles() {
        QTemporaryDir dir;
        try {
            readPicture(dir.filePath("nie.bmp"));
            QFAIL("no error for a missing picture");
        } catch (const FileError& e) {
            QCOMPARE(e.path(), dir.filePath("nie.bmp"));
        }
        QVERIFY_THROWS_EXCEPTION(FileError, readPicture(dir.path()));
    }

    // Every picture of the sample course decodes directly and like Qt.
    void samplePictures() {
        const QDir course(QStringLiteral(ORBINO_EXAMPLES "/course"));
        const QStringList names = course.entryList({"*.bmp", "*.BMP"}, QDir::Files);
        QVERIFY(names.size() >= 5);
        for (const QString& n : names) {
            QFile f(course.filePath(n));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            QVERIFY2(!decodePlainBitmap(bytes).isNull(), qPrintable(n));
            QVERIFY2(asRgb32(decodePicture(bytes)) == asRgb32(QImage::fromData(bytes)),
                     qPrintable(n));
        }
    }

    // Garbage and other formats: no crash, and the same answer as Qt.
    void otherBytes() {
        QImage png(5, 4, QImage::Format_RGB32);
        png.fill(Qt::red);
        QByteArray pngBytes;
        {
            QBuffer buf(&pngBytes);
            buf.open(QIODevice::WriteOnly);
            png.save(&buf, "PNG");
        }
        QCOMPARE(asRgb32(decodePicture(pngBytes)), png);
        QVERIFY(decodePicture(QByteArray()).isNull());
        QVERIFY(decodePicture(QByteArray("BM")).isNull());
        QVERIFY(decodePicture(QByteArray(60, 'B')).isNull());
        const QByteArray huge =
            makeBmp(Bmp{1, 1}, 1).replace(18, 8, QByteArray("\xff\x7f\0\0\xff\x7f\0\0", 8));
        QVERIFY(decodePlainBitmap(huge).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPicture)
#include "tst_picture.moc"
