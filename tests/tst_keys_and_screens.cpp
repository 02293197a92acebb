// Rules without windows for keyboard mnemonics, for fitting the designed
// layouts to real (scaled) screens, and for pictures on scaled screens.
#include "app/mnemonics.h"
#include "app/screen_fit.h"
#include "platform/picture.h"

#include <QTest>

using namespace orbino;

class TestKeysAndScreens : public QObject {
    Q_OBJECT
private slots:
    void mnemonicsOfSeveralCaptions_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("marked");
        // Each caption takes its first letter no earlier caption took; case
        // does not matter; letters a keyboard types only with a dead key
        // are passed over; digits count.
        QTest::newRow("menu bar") << QStringList{"Vlastné", "O aplikácii", "Pomocník", "Koniec"}
                                  << QStringList{"&Vlastné", "&O aplikácii", "&Pomocník",
                                                 "&Koniec"};
        QTest::newRow("taken letters") << QStringList{"Koniec", "Kopírovanie", "koniec"}
                                       << QStringList{"&Koniec", "K&opírovanie", "ko&niec"};
        QTest::newRow("accented first") << QStringList{"Žiak", "Úlohy", "Čítanie"}
                                        << QStringList{"Ž&iak", "Ú&lohy", "Čí&tanie"};
        QTest::newRow("day buttons, blanks before")
            << QStringList{"  1. deň", "  2. deň", "10. deň"}
            << QStringList{"  &1. deň", "  &2. deň", "1&0. deň"};
        QTest::newRow("literal ampersand")
            << QStringList{"Hry & zábava", "& spol."} << QStringList{"&Hry && zábava", "&& &spol."};
        QTest::newRow("nothing left")
            << QStringList{"ab", "ba", "ab", "", "--"} << QStringList{"&ab", "&ba", "ab", "", "--"};
    }
    void mnemonicsOfSeveralCaptions() {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, marked);
        QSet<QChar> used;
        QStringList out;
        for (const QString& c : captions) {
            const QString m = markMnemonic(c, mnemonicPosition(c, used));
            // What is shown stays the caption as configured.
            QCOMPARE(withoutMnemonic(m), c);
            out << m;
        }
        QCOMPARE(out, marked);
        QCOMPARE(mnemonicKey(out.first()), out.first().at(out.first().indexOf(u'&') + 1).toLower());
        QVERIFY(mnemonicKey("Hry && zábava").isNull());
    }

    void designedScreenForLogicalSize_data() {
        QTest::addColumn<QSize>("logical");
        QTest::addColumn<QSize>("designed");
        QTest::newRow("1024x768") << QSize(1024, 768) << QSize(1024, 768);
        QTest::newRow("1280x1024") << QSize(1280, 1024) << QSize(1280, 1024);
        QTest::newRow("1024x768 at 2") << QSize(512, 384) << QSize(1024, 768);
        QTest::newRow("1024x768 at 1.5") << QSize(683, 512) << QSize(1024, 768);
        QTest::newRow("1280x1024 at 1.5") << QSize(853, 683) << QSize(853, 683);
        QTest::newRow("1920x1080") << QSize(1920, 1080) << QSize(1280, 1024);
        QTest::newRow("2560x1600 at 2") << QSize(1280, 800) << QSize(1280, 800);
        QTest::newRow("1024x600") << QSize(1024, 600) << QSize(1024, 768);
    }
    void designedScreenForLogicalSize() {
        QFETCH(QSize, logical);
        QFETCH(QSize, designed);
        QCOMPARE(designedScreenSize(logical), designed);
    }

    void zoomAndVirtualScreen_data() {
        QTest::addColumn<QSize>("monitor");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QSize>("designed");
        QTest::newRow("800x600") << QSize(800, 600) << 1.0 << QSize(800, 600);
        QTest::newRow("1024x768") << QSize(1024, 768) << 1.0 << QSize(1024, 768);
        QTest::newRow("1366x768") << QSize(1366, 768) << 1.0 << QSize(1366, 768);
        QTest::newRow("1280x1024") << QSize(1280, 1024) << 1.25 << QSize(1024, 819);
        QTest::newRow("1920x1080") << QSize(1920, 1080) << 1.40625 << QSize(1365, 768);
        QTest::newRow("2560x1440") << QSize(2560, 1440) << 1.875 << QSize(1365, 768);
        QTest::newRow("3840x2160") << QSize(3840, 2160) << 2.8125 << QSize(1365, 768);
        QTest::newRow("2048x1536") << QSize(2048, 1536) << 2.0 << QSize(1024, 768);
    }
    void zoomAndVirtualScreen() {
        QFETCH(QSize, monitor);
        QFETCH(double, zoom);
        QFETCH(QSize, designed);
        const double got = zoomForMonitor(monitor);
        QCOMPARE(got, zoom);
        // The virtual screen as Qt makes it (logical pixels, rounded down).
        const QSize logical(int(monitor.width() / got), int(monitor.height() / got));
        QCOMPARE(designedScreenSize(logical, monitor.width() >= 1024), designed);
    }

    void windowOnTheFreeArea_data() {
        QTest::addColumn<QRect>("design");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("window");
        QTest::newRow("not known")
            << QRect(10, 10, 1000, 700) << QRect() << QRect(10, 10, 1000, 700);
        QTest::newRow("1024x768 as designed")
            << QRect(10, 10, 1000, 700) << QRect(0, 0, 1024, 768) << QRect(10, 10, 1000, 700);
        QTest::newRow("1280x1024 as designed")
            << QRect(5, 5, 1270, 984) << QRect(0, 0, 1280, 1024) << QRect(5, 5, 1270, 984);
        QTest::newRow("panel on the left")
            << QRect(10, 10, 1000, 700) << QRect(40, 0, 1024, 768) << QRect(50, 10, 1000, 700);
        QTest::newRow("scaled: scrolls")
            << QRect(10, 10, 1000, 700) << QRect(0, 0, 512, 384) << QRect(5, 5, 502, 344);
        QTest::newRow("too low: scrolls")
            << QRect(10, 10, 1000, 700) << QRect(0, 0, 1024, 600) << QRect(5, 5, 1014, 560);
        QTest::newRow("large: centres")
            << QRect(5, 5, 1270, 984) << QRect(0, 0, 1920, 1080) << QRect(5, 5, 1910, 1040);
    }
    void windowOnTheFreeArea() {
        QFETCH(QRect, design);
        QFETCH(QRect, available);
        QFETCH(QRect, window);
        const QRect got = windowOnScreen(design, available);
        QCOMPARE(got, window);
        if (available.isValid())
            QVERIFY(available.contains(got));
    }

    void picturesForScaledScreens() {
        // Stripes of one pixel: pixel doubling keeps two colours, smooth
        // scaling gives the shades between them.
        QImage stripes(8, 8, QImage::Format_RGB32);
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        const QImage same = forScreen(stripes, 1.0);
        QCOMPARE(same, stripes);
        const QImage twice = forScreen(stripes, 2.0);
        QCOMPARE(twice.size(), QSize(16, 16));
        QCOMPARE(twice.devicePixelRatio(), 2.0);
        QCOMPARE(twice.deviceIndependentSize(), QSizeF(8, 8));
        bool between = false;
        for (int x = 0; x < 16; ++x) {
            const int g = qGray(twice.pixel(x, 8));
            between = between || (g > 40 && g < 215);
        }
        QVERIFY(between);
        const QImage half = forScreen(stripes, 1.5);
        QCOMPARE(half.size(), QSize(12, 12));

        // A glyph: its bottom-left colour becomes see-through, at any ratio.
        QImage glyph(6, 6, QImage::Format_RGB32);
        glyph.fill(qRgb(255, 0, 255));
        for (const QPoint p : {QPoint(2, 2), QPoint(3, 2), QPoint(2, 3), QPoint(3, 3)})
            glyph.setPixel(p, qRgb(0, 0, 255));
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage g = forScreen(glyph, ratio, glyph.pixelColor(0, 5));
            QVERIFY(g.hasAlphaChannel());
            QCOMPARE(qAlpha(g.pixel(0, g.height() - 1)), 0);
            const int mid = int(3 * ratio);
            QCOMPARE(qAlpha(g.pixel(mid, mid)), 255);
        }
        QVERIFY(forScreen(QImage(), 2.0).isNull());
    }
};

QTEST_APPLESS_MAIN(TestKeysAndScreens)
#include "tst_keys_and_screens.moc"
