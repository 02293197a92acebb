// The information windows' rules without windows: the about text's lines,
// the mail label's scrambling, a help text that cannot be loaded, and
// centring.
#include "app/app_state.h"
#include "info/info_actions.h"
#include "info/info_texts.h"
#include "platform/errors.h"
#include "platform/system.h"
#include "testsupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace orbino;
using namespace orbino::test;

class TestInfo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void splitting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("no separator") << "Jeden riadok" << QStringList{"Jeden riadok"};
        QTest::newRow("trailing one") << "a;b;" << QStringList{"a", "b"};
        QTest::newRow("two in a row") << "a;;b" << QStringList{"a", "", "b"};
        QTest::newRow("two in a row at the end") << "a;b;;" << QStringList{"a", "b", ""};
        QTest::newRow("only one") << ";" << QStringList{""};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("blanks kept") << " a ; b;" << QStringList{" a ", " b"};
        QTest::newRow("slovak") << "Ďakujeme;Bližšie informácie:;"
                                << QStringList{"Ďakujeme", "Bližšie informácie:"};
    }
    void splitting() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(splitAtSemicolons(text), lines);
    }

    void scrambleRoundTrip_data() {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("key");
        QByteArray every;
        for (int i = 0; i < 256; ++i)
            every.append(char(i));
        QTest::newRow("address") << QByteArray("orbino@example.org") << int(kMailLabelKey);
        QTest::newRow("every byte") << every << int(kMailLabelKey);
        QTest::newRow("every byte, key 255") << every << 255;
        QTest::newRow("empty") << QByteArray() << int(kMailLabelKey);
    }
    void scrambleRoundTrip() {
        QFETCH(QByteArray, plain);
        QFETCH(int, key);
        const QByteArray stored = scrambleLabel(plain, key);
        QCOMPARE(stored.size(), plain.size());
        QCOMPARE(unscrambleLabel(stored, key), plain);
        for (int i = 0; i < plain.size(); ++i)
            QCOMPARE(quint8(stored[i]), quint8((quint8(plain[i]) - key) & 0xff));
    }

    void storedLabelIsAMailAddressButNotInPlain() {
        const QByteArray stored = storedMailLabel();
        QVERIFY(!stored.contains('@'));
        const QString address = contactMailAddress();
        QCOMPARE(address.count(QLatin1Char('@')), 1);
        QVERIFY(!address.startsWith(QLatin1Char('@')) && !address.endsWith(QLatin1Char('@')));
        for (QChar c : address)
            QVERIFY2(c.unicode() > 32 && c.unicode() < 127, qPrintable(address));
    }

    void missingOrUnreadableTextIsAnErrorAndLeavesNothing_data() {
        QTest::addColumn<QString>("onDisk"); // "" nothing, "dir" a folder of that name
        QTest::newRow("missing") << "";
        QTest::newRow("a folder") << "dir";
    }
    void missingOrUnreadableTextIsAnErrorAndLeavesNothing() {
        QFETCH(QString, onDisk);
        QTemporaryDir dir;
        TestState t(dir.path(), dir.path() + "/tmp");
        if (onDisk == "dir")
            QDir().mkpath(dir.path() + "/ako.rtf");
        QTextDocument doc;
        doc.setPlainText("zvyšok predošlého textu");
        try {
            loadCourseRtf(t.st, "ako.rtf", doc);
            QFAIL("no error");
        } catch (const FileError& e) {
            QCOMPARE(e.path(), dir.path() + "/ako.rtf");
        }
        QVERIFY(doc.isEmpty());
    }

    void centring_data() {
        QTest::addColumn<int>("screenW");
        QTest::addColumn<int>("screenH");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pos");
        QTest::newRow("1024, odd difference") << 1024 << 768 << QSize(777, 603) << QPoint(123, 82);
        // Halves of a negative room are truncated toward zero, not down.
        QTest::newRow("larger than the screen")
            << 640 << 480 << QSize(777, 603) << QPoint(-68, -61);
    }
    void centring() {
        QFETCH(int, screenW);
        QFETCH(int, screenH);
        QFETCH(QSize, size);
        QFETCH(QPoint, pos);
        ScreenMetrics m;
        m.width = screenW;
        m.height = screenH;
        QCOMPARE(centredPosition(m, size), pos);
    }
};

QTEST_APPLESS_MAIN(TestInfo)
#include "tst_info.moc"
