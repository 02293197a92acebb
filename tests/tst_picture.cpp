// Pictures: the direct bitmap decoding must show exactly what Qt's own
// readers show, and leave every file it does not fully understand to them.
#include "platform/errors.h"
#include "platform/picture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

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
        // Left to Qt: compressed, bit masks, 16-bit, 32-bit with a V5 header,
        // a palette larger than the depth allows, a short body, bad sizes.
        QTest::newRow("RLE8") << Bmp{4, 4, 8, 40, 1} << false;
        QTest::newRow("bit fields") << Bmp{4, 4, 32, 40, 3} << false;
        QTest::newRow("16-bit") << Bmp{4, 4, 16} << false;
        QTest::newRow("32-bit V5") << Bmp{4, 4, 32, 124} << false;
        QTest::newRow("palette too large") << Bmp{4, 4, 1, 40, 0, 3} << false;
        QTest::newRow("body cut short") << Bmp{8, 8, 24, 40, 0, 0, -1, 0, 5} << false;
        QTest::newRow("zero width") << Bmp{0, 4} << false;
        QTest::newRow("palette missing") << Bmp{4, 4, 8, 40, 0, 0, 0} << false;
        QTest::newRow("unknown header") << Bmp{4, 4, 24, 64} << false;
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

    // An index past a short palette: the direct path steps aside.
    void indexPastPaletteLeftToQt() {
        QByteArray bytes = makeBmp(Bmp{4, 1, 8, 40, 0, 2}, 7);
        bytes[bytes.size() - 4] = char(5);
        QVERIFY(decodePlainBitmap(bytes).isNull());
        QCOMPARE(asRgb32(decodePicture(bytes)), asRgb32(QImage::fromData(bytes)));
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
