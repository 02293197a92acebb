// The keyed text lookup and the start-up helpers.
#include "app/app_state.h"
#include "platform/errors.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace orbino;
using namespace orbino::test;

class TestConfig : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString prog() const { return dir.path() + "/"; }

private slots:
    // The fast scan of a lookup against the rule stated plainly: cut the
    // file at byte 26, split it into lines (CR ends a line, an LF right
    // after it is skipped), and take the first line whose text between its
    // first two "*" is the key. Random small files put keys at every offset
    // around the scan's 16-byte blocks, at the ends and across the marker.
    void keyScanMatchesLineRule() {
        auto reference = [](QByteArray data, const QByteArray& key) {
            ConfigLine r;
            if (const qsizetype eof = data.indexOf('\x1a'); eof >= 0)
                data.truncate(eof);
            qsizetype start = 0;
            while (start <= data.size()) {
                qsizetype end = data.indexOf('\r', start);
                if (end < 0)
                    end = data.size();
                const QByteArray line = data.mid(start, end - start);
                const qsizetype a = line.indexOf('*');
                const qsizetype b = a < 0 ? -1 : line.indexOf('*', a + 1);
                if (b > a && line.mid(a + 1, b - a - 1) == key) {
                    r.found = true;
                    r.sw = line.startsWith('0') && a > 0 ? 0 : 1;
                    r.value = QString::fromLatin1(line.mid(b + 1));
                    return r;
                }
                if (end >= data.size())
                    break;
                start = end + 1;
                if (start < data.size() && data.at(start) == '\n')
                    ++start;
            }
            return r;
        };
        QRandomGenerator rng(2026);
        const char alphabet[] = {'*', '*', '0', 'A', 'B', 'K', ' ', 'x', '\r', '\n', '\x1a'};
        const QByteArray keys[] = {"A", "AB", "BA", "A B", "KAB", "ABBA0"};
        for (int round = 0; round < 20000; ++round) {
            QByteArray data;
            const int n = int(rng.bounded(120));
            for (int i = 0; i < n; ++i) {
                // Mostly plain bytes, now and then a whole "*key*value" line.
                if (rng.bounded(12) == 0)
                    data += "\r*" + keys[rng.bounded(6)] + "*v" + QByteArray::number(i);
                else
                    data += alphabet[rng.bounded(int(sizeof alphabet) - (rng.bounded(8) ? 1 : 0))];
            }
            const QByteArray key = keys[rng.bounded(6)];
            const ConfigLine got = findConfigLine(data, key);
            const ConfigLine want = reference(data, key);
            if (got.found != want.found || got.sw != want.sw || got.value != want.value)
                QFAIL(qPrintable("key " + QString::fromLatin1(key) + " in " +
                                 QString::fromLatin1(data.toPercentEncoding()) + ": found " +
                                 QString::number(got.found) + " value \"" + got.value +
                                 "\", expected " + QString::number(want.found) + " value \"" +
                                 want.value + "\""));
        }
    }

    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void programFile_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("def");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("sw");
        QTest::newRow("plain") << QStringList{"*END*Koniec?"} << "END"
                               << "d"
                               << "Koniec?" << 1;
        QTest::newRow("switch 0") << QStringList{"0*IP*Adresa"} << "IP"
                                  << "d"
                                  << "Adresa" << 0;
        QTest::newRow("switch other char") << QStringList{"x*IP*Adresa"} << "IP"
                                           << "d"
                                           << "Adresa" << 1;
        QTest::newRow("value keeps stars") << QStringList{"*K*a*b*c"} << "K"
                                           << "d"
                                           << "a*b*c" << 1;
        QTest::newRow("one star matches nothing") << QStringList{"K*value"} << "K"
                                                  << "dflt"
                                                  << "dflt" << 1;
        QTest::newRow("first duplicate wins") << QStringList{"*K*one", "0*K*two"} << "K"
                                              << "d"
                                              << "one" << 1;
        QTest::newRow("lower-case key") << QStringList{"*end*x"} << "END"
                                        << "Chcete ukončiť program ?"
                                        << "Chcete ukončiť program ?" << 1;
        QTest::newRow("trailing blank in key") << QStringList{"*END *x"} << "END"
                                               << "d"
                                               << "d" << 1;
        QTest::newRow("empty value with switch 0") << QStringList{"0*END*"} << "END"
                                                   << "Chcete ukončiť program ?"
                                                   << "Chcete ukončiť program ?" << 0;
        QTest::newRow("value trimmed") << QStringList{"*K*  \tText  "} << "K"
                                       << "d"
                                       << "Text" << 1;
        QTest::newRow("default trimmed") << QStringList{"comment"} << "SAVE MEMO?"
                                         << " Chcete uložiť memo?"
                                         << "Chcete uložiť memo?" << 1;
        QTest::newRow("key with blanks")
            << QStringList{"*MENU ABOUT WRITE US*Napíšte"} << "MENU ABOUT WRITE US"
            << "d"
            << "Napíšte" << 1;
    }
    void programFile() {
        QFETCH(QStringList, lines);
        QFETCH(QString, key);
        QFETCH(QString, def);
        QFETCH(QString, value);
        QFETCH(int, sw);
        writeCourseFile(prog() + "CONFIG.TXT", lines);
        TestState t(prog(), prog());
        const ConfigText got = t.st.configText(key, def);
        QCOMPARE(got.value, value);
        QCOMPARE(got.messageOn, sw == 1);
    }

    void levelFileFirstThenProgramFile() {
        QTemporaryDir d;
        const QString p = d.path() + "/";
        writeCourseFile(p + "CONFIG.TXT", {"*NAME*Kurz", "0*EMPTY*z programu", "*ONLYPROG*p"});
        writeCourseFile(p + "01._deň/CONFIG.TXT", {"*NAME*Deň jeden", "*EMPTY*", "0*ONLYDAY*d"});
        TestState t(p, p);
        t.st.levels.restorePlace(2, u"01._deň"_qs, t.st.levels.listFile(2));
        t.st.levels.restore(2);
        t.st.levelConfigActive = true;
        QCOMPARE(t.st.CitajKonfig("NAME", "x"), u"Deň jeden"_qs);
        // An empty value in the level file falls through, with the program file's switch.
        QCOMPARE(t.st.configText("EMPTY", "x").value, u"z programu"_qs);
        QVERIFY(!t.st.configText("EMPTY", "x").messageOn);
        QCOMPARE(t.st.configText("ONLYPROG", "x").value, "p");
        QVERIFY(t.st.configText("ONLYPROG", "x").messageOn);
        QCOMPARE(t.st.configText("ONLYDAY", "x").value, "d");
        QVERIFY(!t.st.configText("ONLYDAY", "x").messageOn);
        QCOMPARE(t.st.configText("MISSING", " def ").value, "def");
        QVERIFY(t.st.configText("MISSING", " def ").messageOn);
        // Back on the main screen the program file holds again.
        t.st.levelConfigActive = false;
        QCOMPARE(t.st.CitajKonfig("NAME", "x"), "Kurz");
        // A changed file counts at the next lookup.
        writeCourseFile(p + "CONFIG.TXT", {"*NAME*Nový kurz"});
        QCOMPARE(t.st.CitajKonfig("NAME", "x"), u"Nový kurz"_qs);
    }

    // Without any CONFIG.TXT the defaults hold and the messages stay off,
    // whatever an earlier lookup found.
    void noFileAnywhereSwitchesOff() {
        QTemporaryDir d;
        writeCourseFile(d.path() + "/CONFIG.TXT", {"*ON*zapnuté"});
        TestState t(d.path(), d.path());
        QVERIFY(t.st.configText("ON", "x").messageOn);
        QVERIFY(QFile::remove(d.path() + "/CONFIG.TXT"));
        const ConfigText end = t.st.configText("END", " Chcete ukončiť program ?");
        QCOMPARE(end.value, u"Chcete ukončiť program ?"_qs);
        QVERIFY(!end.messageOn);
    }

    void unreadableConfigIsAnError() {
        QTemporaryDir d;
        QDir().mkpath(d.path() + "/CONFIG.TXT"); // a folder where the file should be
        TestState t(d.path(), d.path());
        QVERIFY_THROWS_EXCEPTION(FileError, t.st.CitajKonfig("END", "x"));
    }

    void numberThatIsNotANumber() {
        QTemporaryDir d;
        writeCourseFile(d.path() + "/CONFIG.TXT",
                        {"*TRIM BUTTON LARGE TEXT*dvadsať", "*COLOR TITLE*255"});
        TestState t(d.path(), d.path());
        QCOMPARE(t.st.configInt("TRIM BUTTON LARGE TEXT", 25), 25);
        QCOMPARE(t.prompter.shown.size(), size_t(1));
        const QString msg = t.prompter.shown[0].text;
        QVERIFY(msg.contains("TRIM BUTTON LARGE TEXT") && msg.contains(u"dvadsať"_qs) &&
                msg.contains("CONFIG.TXT"));
        QCOMPARE(t.st.configInt("COLOR TITLE", 0), 255);
        QCOMPARE(t.prompter.shown.size(), size_t(1));
    }

    void tempFolderResolution() {
        QTemporaryDir d;
        const QString p = d.path() + "/";
        TestState t{QString(), QString()};
        // From CONFIG.TXT, "\" appended and the folder created.
        writeCourseFile(p + "CONFIG.TXT", {"*PATH TEMP*" + d.path() + "\\scratch"});
        resolveTempFolder(t.st, p);
        QCOMPARE(t.st.tempFolder, p + "scratch/");
        QVERIFY(QDir(p + "scratch").exists());
        // From TEMP when neither CONFIG.TXT nor USERPROFILE says.
        QFile::remove(p + "CONFIG.TXT");
        qunsetenv("USERPROFILE");
        qputenv("TEMP", QFile::encodeName(p + "fromenv"));
        TestState t2{QString(), QString()};
        resolveTempFolder(t2.st, p);
        QCOMPARE(t2.st.tempFolder, p + "fromenv/");
        // Nothing set: the per-user data folder.
        qunsetenv("TEMP");
        qunsetenv("TMP");
        TestState t3{QString(), QString()};
        resolveTempFolder(t3.st, p);
        QVERIFY(t3.st.tempFolder.endsWith("/orbino/"));
        QVERIFY(QDir(t3.st.tempFolder).exists());
    }

    void playerFolderAndCommandLine() {
        QTemporaryDir d;
        const QString p = d.path() + "/";
        writeCourseFile(p + "CONFIG.TXT", {"*PATH LOTUS*D:\\PLAYER\\"});
        TestState t(p, p);
        resolvePlayerFolder(t.st);
        QCOMPARE(t.st.playerFolder, "/PLAYER");
        QFile::remove(p + "CONFIG.TXT");
        resolvePlayerFolder(t.st);
        QCOMPARE(t.st.playerFolder, d.path());

        TestState n(p, p);
        readCommandLine(n.st, {});
        QVERIFY(!n.st.searchMode());
        QCOMPARE(n.st.tempFormFile(), p + "temp.dfm");
        QCOMPARE(n.st.levelFile(), p + "Okna");
        TestState s(p, p);
        readCommandLine(s.st, {"/k/Obsah.txt"});
        QVERIFY(s.st.searchMode());
        QCOMPARE(s.st.selectedItem, 0);
        QCOMPARE(s.st.searchTitle, QString());
        QCOMPARE(s.st.tempFormFile(), p + "tempP.dfm");
        QCOMPARE(s.st.levelFile(), p + "Okna2");
        TestState a(p, p);
        readCommandLine(a.st, {"/k/Obsah.txt", "3", u"Deň"_qs, "1"});
        QCOMPARE(a.st.selectedItem, 3);
        QCOMPARE(a.st.searchTitle, u" Deň 1"_qs);
        TestState bad(p, p);
        readCommandLine(bad.st, {"/k/Obsah.txt", "tri", "x"});
        QCOMPARE(bad.st.selectedItem, 0);
        QCOMPARE(bad.st.searchTitle, " x");
        QCOMPARE(bad.prompter.shown.size(), size_t(1));
    }

    void smallHelpers() {
        QCOMPARE(NahradZnak(u"Deň_1"_qs, "_", " "), u"Deň 1"_qs);
        QCOMPARE(NahradZnak("a__b", "__", "0"), "a__b");
        QVERIFY(JeCisloBodka("1."));
        QVERIFY(JeCisloBodka("12."));
        QVERIFY(JeCisloBodka("."));
        QVERIFY(!JeCisloBodka("a."));
        QVERIFY(!JeCisloBodka("1a"));
        QVERIFY(!JeCisloBodka(""));
        QCOMPARE(AppState::folderNameRule(u"__1._deň"_qs), u"01._deň"_qs);
        QCOMPARE(AppState::folderNameRule(u"10._deň"_qs), u"10._deň"_qs);
        QCOMPARE(defaultDayPasswords().size(), 16);
        const int lengths[] = {4, 4, 6, 2, 8, 4, 6, 6, 5, 4, 3, 7, 8, 3, 5, 3};
        for (int i = 0; i < 16; ++i)
            QCOMPARE(defaultDayPasswords().at(i).size(), lengths[i]);
    }

    void writeProbeTouchesNoCourseFile() {
        QTemporaryDir d;
        writeCourseFile(d.path() + "/Ovur.txt", {"kurz"});
        TestState t(d.path(), d.path());
        t.st.editPasswordSwitch = true;
        QVERIFY(SkusZapis(t.st));
        QVERIFY(t.st.editPasswordSwitch);
        QCOMPARE(readBytes(d.path() + "/Ovur.txt"), QByteArray("kurz\r\n"));
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Ovur.txt"});
        TestState m(d.path() + "/missing", d.path());
        m.st.editPasswordSwitch = true;
        QVERIFY(!SkusZapis(m.st));
        QVERIFY(!m.st.editPasswordSwitch);
    }
};

QTEST_APPLESS_MAIN(TestConfig)
#include "tst_config.moc"
