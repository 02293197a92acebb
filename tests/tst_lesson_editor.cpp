// The lesson editor's saving on real files: the backup generation, folding
// typed description blocks into the formatted text, and failing writes.
#include "content/lesson_editor.h"
#include "content/lesson_text.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/textfile.h"
#include "testsupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace orbino;
using namespace orbino::test;

namespace {

void writeRtfFile(const QString& path, const QStringList& lines) {
    QTextDocument doc;
    doc.setPlainText(lines.join('\n'));
    writeBytes(path, writeRtf(doc));
}

QStringList rtfLines(const QString& path) {
    QTextDocument doc;
    if (!loadRtfFile(path, doc))
        return {"<unreadable>"};
    return plainLines(doc);
}

struct Folder {
    QTemporaryDir dir;
    QString prog;
    EditorFiles files;
    explicit Folder(const QString& listName = "Obsah.txt") {
        prog = dir.path() + "/";
        QDir().mkpath(prog + "02._deň");
        files = editorFiles(prog, "02._deň", listName);
    }
    // What the editor would save after being opened and closed with Save.
    void saveUnchanged() {
        const QStringList shown = editorLines(readLines(files.list), isFile(files.rtf));
        saveEditedList(files, shown, true);
    }
};

} // namespace

class TestLessonEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void twoSavesLeaveOneBackup() {
        Folder f;
        writeCourseFile(f.files.list, {"[Prvá] a.txt"});
        saveEditedList(f.files, {"[Prvá] a.txt", "[Druhá] b.txt"}, true);
        QCOMPARE(readBytes(f.files.backup), crlf1250({"[Prvá] a.txt"}));
        saveEditedList(f.files, {"[Tretia] c.txt"}, true);
        QCOMPARE(readBytes(f.files.backup), crlf1250({"[Prvá] a.txt", "[Druhá] b.txt"}));
        QCOMPARE(readBytes(f.files.list), crlf1250({"[Tretia] c.txt"}));
        QCOMPARE(QDir(f.prog + "02._deň").entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Obsah.bak", "Obsah.txt"}));
    }

    void withoutFormattedTextSavedAsTyped_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("block lines kept")
            << QStringList{"pozadie.bmp", "<Popis", "dňa>", "[A] a.txt"};
        QTest::newRow("stray > line kept") << QStringList{"Stlač <Enter>", "<", "x", ">"};
        QString longLine(400, QChar(u'ž'));
        QTest::newRow("400-character line") << QStringList{longLine, "[A] a.txt"};
        QTest::newRow("empty list") << QStringList{};
    }
    void withoutFormattedTextSavedAsTyped() {
        QFETCH(QStringList, typed);
        Folder f;
        writeCourseFile(f.files.list, {"starý"});
        saveEditedList(f.files, typed, true);
        QCOMPARE(readBytes(f.files.list), crlf1250(typed));
        QVERIFY(!QFileInfo::exists(f.files.rtf));
    }

    void typedBlockFoldsIntoFormattedText_data() {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("rtfAfter");
        QTest::addColumn<QStringList>("listAfter");
        QTest::newRow("one-line block becomes the last line")
            << QStringList{"[A] a.txt", "<", "Prvý riadok", ">"}
            << QStringList{"[A] a.txt", "<Nový riadok>"}
            << QStringList{"Prvý riadok", "Nový riadok"}
            << QStringList{"[A] a.txt", "<", "Prvý riadok", "Nový riadok", ">"};
        QTest::newRow("block moves to the end")
            << QStringList{"<Popis>", "[A] a.txt"} << QStringList{"[A] a.txt", "[B] b.txt"}
            << QStringList{"Prvý riadok"}
            << QStringList{"[A] a.txt", "[B] b.txt", "<", "Prvý riadok", ">"};
        QTest::newRow("two-line typed block")
            << QStringList{"[A] a.txt"} << QStringList{"<Druhý", "tretí>", "[A] a.txt"}
            << QStringList{"Prvý riadok", "Druhý", "tretí"}
            << QStringList{"[A] a.txt", "<", "Prvý riadok", "Druhý", "tretí", ">"};
        QTest::newRow("line ending with > outside a block stays")
            << QStringList{"[A] a.txt"} << QStringList{"[A] a.txt", "Stlač <Enter>"}
            << QStringList{"Prvý riadok"}
            << QStringList{"[A] a.txt", "Stlač <Enter>", "<", "Prvý riadok", ">"};
    }
    void typedBlockFoldsIntoFormattedText() {
        QFETCH(QStringList, list);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, rtfAfter);
        QFETCH(QStringList, listAfter);
        Folder f;
        writeCourseFile(f.files.list, list);
        writeRtfFile(f.files.rtf, {"Prvý riadok"});
        saveEditedList(f.files, typed, true);
        QCOMPARE(rtfLines(f.files.rtf), rtfAfter);
        QCOMPARE(readBytes(f.files.list), crlf1250(listAfter));
        QCOMPARE(readBytes(f.files.backup), crlf1250(list));
        // Saving again without changes leaves identical files.
        const QByteArray listBytes = readBytes(f.files.list), rtfBytes = readBytes(f.files.rtf);
        f.saveUnchanged();
        QCOMPARE(readBytes(f.files.list), listBytes);
        QCOMPARE(readBytes(f.files.rtf), rtfBytes);
    }

    void missingListCreatedEmptyNoBackup() {
        Folder f("nova.txt");
        writeCourseFile(f.files.backup, {"jediná kópia"});
        const QByteArray oldBak = readBytes(f.files.backup);
        QVERIFY(createEmptyList(f.files));
        QCOMPARE(readBytes(f.files.list), QByteArray());
        QVERIFY(!createEmptyList(f.files));
        saveEditedList(f.files, {"[A] a.txt"}, false);
        QCOMPARE(readBytes(f.files.list), crlf1250({"[A] a.txt"}));
        QCOMPARE(readBytes(f.files.backup), oldBak);
    }

    void otherExtensionBackedUpUnderItsBase() {
        Folder f("zoznam.lst");
        writeCourseFile(f.files.list, {"[A] a.txt"});
        saveEditedList(f.files, {"[B] b.txt"}, true);
        QCOMPARE(f.files.backup, f.prog + "02._deň/zoznam.bak");
        QCOMPARE(readLines(f.files.backup), QStringList{"[A] a.txt"});
        QCOMPARE(readLines(f.files.list), QStringList{"[B] b.txt"});
    }

    void failingWriteChangesNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("list cannot be replaced") << "list";
        QTest::newRow("backup cannot be replaced") << "backup";
        QTest::newRow("character outside Windows-1250") << "char";
    }
    void failingWriteChangesNothing() {
        QFETCH(QString, how);
        Folder f;
        writeCourseFile(f.files.list, {"[A] a.txt", "<", "Popis", ">"});
        writeRtfFile(f.files.rtf, {"Popis"});
        QStringList typed{"[A] a.txt", "<Nový>"};
        if (how == "backup") {
            QDir().mkpath(f.files.backup);
        } else {
            writeCourseFile(f.files.backup, {"záloha"});
            if (how == "char")
                typed << "znak 日";
        }
        // A list that cannot be replaced: a hard-linked sibling is not enough
        // as root, so let a folder stand where the new list goes.
        EditorFiles target = f.files;
        if (how == "list") {
            QDir().mkpath(f.prog + "02._deň/blokovaný.txt");
            target.list = f.prog + "02._deň/blokovaný.txt";
            writeCourseFile(target.list + "/x", {}); // keep the folder non-empty
        }
        const QByteArray list = readBytes(f.files.list), bak = readBytes(f.files.backup),
                         rtf = readBytes(f.files.rtf);
        QVERIFY_THROWS_EXCEPTION(FileError, saveEditedList(target, typed, true));
        QCOMPARE(readBytes(f.files.list), list);
        QCOMPARE(readBytes(f.files.backup), bak);
        QCOMPARE(readBytes(f.files.rtf), rtf);
        QVERIFY(QDir(f.prog + "02._deň")
                    .entryList({".orbino-*"}, QDir::Files | QDir::Hidden)
                    .isEmpty());
    }
};

QTEST_MAIN(TestLessonEditor)
#include "tst_lesson_editor.moc"
