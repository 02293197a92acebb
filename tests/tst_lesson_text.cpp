// Lesson text files on disk: the description block rules, the bytes a save
// leaves in the .txt, the .rtf twin, and saves that fail halfway.
#include "content/lesson_text.h"
#include "platform/errors.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/textfile.h"
#include "testsupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace orbino;
using namespace orbino::test;

namespace {

QStringList leftovers(const QString& dir) {
    return QDir(dir).entryList({".orbino-*"}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestLessonText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void description_data() {
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<QStringList>("text");
        QTest::newRow("one line") << QStringList{"pozadie.bmp", "<Dnes píšeme list.>", "[A] a.txt"}
                                  << QStringList{"Dnes píšeme list."};
        QTest::newRow("classic two lines")
            << QStringList{"<Prvý", "druhý>", "[A] a.txt"} << QStringList{"Prvý", "druhý"};
        QTest::newRow("classic closed by lone >")
            << QStringList{"<Prvý", "druhý", ">"} << QStringList{"Prvý", "druhý"};
        QTest::newRow("exact markers keep a line ending with >")
            << QStringList{"<", "Stlač <Enter>", "a pokračuj.", ">", "[A] a.txt"}
            << QStringList{"Stlač <Enter>", "a pokračuj."};
        QTest::newRow("empty one-line block") << QStringList{"<>"} << QStringList{""};
        QTest::newRow("unterminated keeps its last character")
            << QStringList{"<Ahoj", "svet"} << QStringList{"Ahoj", "svet"};
        QTest::newRow("every block, in order")
            << QStringList{"<Jeden>", "[A] a.txt", "<", "Dva", ">"} << QStringList{"Jeden", "Dva"};
        QTest::newRow("no block") << QStringList{"[A] a.txt", "//https://example.org/"}
                                  << QStringList{};
    }
    void description() {
        QFETCH(QStringList, file);
        QFETCH(QStringList, text);
        QCOMPARE(descriptionText(file), text);
    }

    // The bytes a save leaves in the .txt.
    void saveRewritesBlock_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("panel");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("head and tail kept in place")
            << QStringList{"pozadie.bmp",       "//https://example.org/", "<Starý text",
                           "v dvoch riadkoch>", "[Úloha] uloha.txt",      "koniec"}
            << QStringList{"Nový ťažký text", "druhý riadok"}
            << QStringList{"pozadie.bmp",
                           "//https://example.org/",
                           "<",
                           "Nový ťažký text",
                           "druhý riadok",
                           ">",
                           "[Úloha] uloha.txt",
                           "koniec"};
        QTest::newRow("one-line block ends on its line")
            << QStringList{"<Jeden>", "[B] b.txt", "posledný>"} << QStringList{"Iný"}
            << QStringList{"<", "Iný", ">", "[B] b.txt", "posledný>"};
        QTest::newRow("text line ending with > survives")
            << QStringList{"<", "Stlač <Enter>", ">", "[A] a.txt"}
            << QStringList{"Stlač <Enter>", "hneď"}
            << QStringList{"<", "Stlač <Enter>", "hneď", ">", "[A] a.txt"};
        QTest::newRow("later blocks stay") << QStringList{"<a>", "medzi", "<b>"} << QStringList{"X"}
                                           << QStringList{"<", "X", ">", "medzi", "<b>"};
        QTest::newRow("no block: appended") << QStringList{"[A] a.txt"} << QStringList{"Popis"}
                                            << QStringList{"[A] a.txt", "<", "Popis", ">"};
        QTest::newRow("empty panel drops the block")
            << QStringList{"hlava", "<a>", "chvost"} << QStringList{}
            << QStringList{"hlava", "chvost"};
        QTest::newRow("a lone > in the text cannot end the block")
            << QStringList{"<a>"} << QStringList{"x", ">", "y"}
            << QStringList{"<", "x", "> ", "y", ">"};
        QStringList many;
        for (int i = 1; i <= 300; ++i)
            many << QStringLiteral("riadok %1").arg(i);
        QTest::newRow("300 lines, none lost")
            << QStringList{"<a>", "[A] a.txt"} << many
            << (QStringList{"<"} + many + QStringList{">", "[A] a.txt"});
    }
    void saveRewritesBlock() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, panel);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        const QString txt = dir.path() + "/lekcia.txt";
        writeCourseFile(txt, before);
        QTextDocument doc;
        doc.setPlainText(panel.join('\n'));
        saveLessonText(dir.path() + "/LEKCIA.TXT", dir.path() + "/lekcia.rtf", panel,
                       writeRtf(doc));
        QCOMPARE(readBytes(txt), crlf1250(after));
        // A second save of the same text changes nothing.
        const QByteArray rtf = readBytes(dir.path() + "/lekcia.rtf");
        saveLessonText(txt, dir.path() + "/lekcia.rtf", panel, writeRtf(doc));
        QCOMPARE(readBytes(txt), crlf1250(after));
        QCOMPARE(readBytes(dir.path() + "/lekcia.rtf"), rtf);
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

    void windows1250AndCrLf() {
        QTemporaryDir dir;
        const QString txt = dir.path() + "/a.txt";
        writeCourseFile(txt, {"[A] a.txt"});
        saveLessonText(txt, dir.path() + "/a.rtf", {"deň"}, QByteArray("{\\rtf1 }"));
        QCOMPARE(readBytes(txt), QByteArray("[A] a.txt\r\n<\r\nde\xf2\r\n>\r\n"));
    }

    void rtfReadsBackAsThePanel() {
        QTemporaryDir dir;
        const QString txt = dir.path() + "/pisanie.txt";
        writeCourseFile(txt, {"<Starý>"});
        QTextDocument panel;
        QTextCursor c(&panel);
        c.insertText("Napíš ");
        QTextCharFormat strong;
        strong.setFontWeight(QFont::Bold);
        strong.setForeground(QColor(128, 0, 0));
        strong.setFontPointSize(16);
        c.insertText("adresu", strong);
        c.insertText(" na obálku.", QTextCharFormat());
        c.insertBlock();
        c.insertText("Druhý odsek – pomlčka.");
        saveLessonText(txt, dir.path() + "/pisanie.rtf", plainLines(panel), writeRtf(panel));

        QTextDocument back;
        QVERIFY(loadRtfFile(dir.path() + "/pisanie.rtf", back));
        QCOMPARE(plainLines(back), plainLines(panel));
        QTextCursor probe(&back);
        probe.setPosition(QStringLiteral("Napíš a").size());
        const QTextCharFormat f = probe.charFormat();
        QCOMPARE(f.fontWeight(), int(QFont::Bold));
        QCOMPARE(f.foreground().color(), QColor(128, 0, 0));
        QCOMPARE(f.fontPointSize(), 16.0);
        probe.setPosition(QStringLiteral("Napíš adresu n").size());
        QVERIFY(probe.charFormat().fontWeight() < QFont::Bold);
        QCOMPARE(descriptionText(readLines(txt)), plainLines(panel));
    }

    // A save that fails leaves both old files whole and no temporary behind.
    void failedSaveKeepsOldFiles_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("rtf cannot be replaced after the txt was") << "rtf is a folder";
        QTest::newRow("character outside Windows-1250") << "bad character";
        QTest::newRow("txt missing") << "no txt";
    }
    void failedSaveKeepsOldFiles() {
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QString txt = dir.path() + "/l.txt", rtf = dir.path() + "/l.rtf";
        QStringList text{"Nový text"};
        if (how == "no txt") {
            writeCourseFile(rtf, {"{\\rtf1 Starý}"});
        } else {
            writeCourseFile(txt, {"hlava", "<Starý>", "chvost"});
            if (how == "rtf is a folder")
                QDir().mkpath(rtf);
            else
                writeCourseFile(rtf, {"{\\rtf1 Starý}"});
        }
        if (how == "bad character")
            text = {"znak 日"};
        const QByteArray oldTxt = readBytes(txt), oldRtf = readBytes(rtf);
        bool threw = false;
        try {
            saveLessonText(txt, rtf, text, QByteArray("{\\rtf1 Nový}"));
        } catch (const FileError& e) {
            threw = true;
            QVERIFY(!e.path().isEmpty());
        }
        QVERIFY(threw);
        QCOMPARE(readBytes(txt), oldTxt);
        QCOMPARE(readBytes(rtf), oldRtf);
        QCOMPARE(QFileInfo::exists(txt), how != "no txt");
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

    // Several files: a failure on the last undoes the ones before it,
    // including a file that did not exist before.
    void fileSetRollsBack() {
        QTemporaryDir dir;
        const QString a = dir.path() + "/a.txt", fresh = dir.path() + "/nový.txt",
                      blocked = dir.path() + "/c";
        writeCourseFile(a, {"pôvodný"});
        QDir().mkpath(blocked);
        const QByteArray oldA = readBytes(a);
        {
            FileSet set;
            set.stage(a, "nový\r\n");
            set.stage(fresh, "x\r\n");
            set.stage(blocked, "y\r\n");
            QVERIFY_THROWS_EXCEPTION(FileError, set.commit());
        }
        QCOMPARE(readBytes(a), oldA);
        QVERIFY(!QFileInfo::exists(fresh));
        QVERIFY(leftovers(dir.path()).isEmpty());
        {
            FileSet set;
            set.stage(a, "nový\r\n");
            set.stage(fresh, "x\r\n");
        } // never committed: nothing changes
        QCOMPARE(readBytes(a), oldA);
        QVERIFY(!QFileInfo::exists(fresh));
        QVERIFY(leftovers(dir.path()).isEmpty());
    }
};

QTEST_MAIN(TestLessonText)
#include "tst_lesson_text.moc"
