// Note and link file names, the bytes they are stored as, and copying them.
#include "app/app_state.h"
#include "platform/errors.h"
#include "testsupport.h"
#include "tools/copy.h"
#include "tools/links.h"
#include "tools/notes.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace orbino;
using namespace orbino::test;

class TestNotesLinks : public QObject {
    Q_OBJECT

    static QStringList dirEntries(const QString& dir) {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void names_data() {
        QTest::addColumn<bool>("search");
        QTest::addColumn<int>("fileLevel"); // 0: no level file
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("listFile");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("links");
        const QString obsah = "Obsah.txt";
        // The main screen after its build: level 2 is the next to open and may
        // still hold the last day's list.
        QTest::newRow("main screen")
            << false << 1 << 2 << obsah << "01._deň" << obsah << "multimed.txt"
            << "multimed.htm";
        QTest::newRow("main screen, no level file") << false << 0 << 1 << ""
                                                    << "" << obsah << "multimed.txt"
                                                    << "multimed.htm";
        QTest::newRow("day first list Obsah.txt")
            << false << 2 << 2 << obsah << "01._deň" << obsah << "01._deň.txt"
            << "01.htm";
        QTest::newRow("day first list obsah.txt") << false << 2 << 2 << "obsah.txt"
                                                  << "02_Uvod" << obsah << "02_Uvod.txt"
                                                  << "02_Uvod.htm";
        QTest::newRow("day folder with blanks")
            << false << 2 << 2 << obsah << " Uvod " << obsah << "Uvod.txt"
            << "Uvod.htm";
        QTest::newRow("lesson") << false << 3 << 3 << "lekcia.txt"
                                << "01._deň" << obsah << "lekcia.txt"
                                << "lekcia.htm";
        QTest::newRow("lesson in other case") << false << 3 << 3 << "LEKCIA.TXT"
                                              << "01._deň" << obsah << "LEKCIA.TXT"
                                              << "LEKCIA.htm";
        QTest::newRow("own root list name") << false << 2 << 2 << "zaciatok.txt"
                                            << "Den3"
                                            << "Zaciatok.TXT"
                                            << "Den3.txt"
                                            << "Den3.htm";
        QTest::newRow("reference leaving the folder") << false << 3 << 3 << "..\\..\\tajne.txt"
                                                      << "01._deň" << obsah << "tajne.txt"
                                                      << "tajne.htm";
        QTest::newRow("reference with slashes") << false << 3 << 3 << "../x/y.txt"
                                                << "01._deň" << obsah << "y.txt"
                                                << "y.htm";
        QTest::newRow("reference naming a folder") << false << 3 << 3 << "..\\"
                                                   << "01._deň" << obsah << "multimed.txt"
                                                   << "multimed.htm";
        QTest::newRow("unknown list file") << false << 4 << 4 << ""
                                           << "01._deň" << obsah << "multimed.txt"
                                           << "multimed.htm";
        QTest::newRow("level file out of range") << false << 99 << 3 << "lekcia.txt"
                                                 << "01._deň" << obsah << "lekcia.txt"
                                                 << "lekcia.htm";
        // A second copy shows the opened list at level 1 and names it like a
        // normal copy would, not like the main screen.
        QTest::newRow("search copy, lesson") << true << 1 << 1 << "lekcia.txt"
                                             << "05_Word" << obsah << "lekcia.txt"
                                             << "lekcia.htm";
        QTest::newRow("search copy, day list")
            << true << 1 << 1 << obsah << "05_Word" << obsah << "05_Word.txt"
            << "05_Word.htm";
    }
    void names() {
        QFETCH(bool, search);
        QFETCH(int, fileLevel);
        QFETCH(int, current);
        QFETCH(QString, listFile);
        QFETCH(QString, folder);
        QFETCH(QString, root);
        QFETCH(QString, note);
        QFETCH(QString, links);
        QTemporaryDir dir;
        TestState t(dir.path(), dir.path());
        if (search)
            t.st.openedContentFile = "C:\\Kurz\\" + folder + "\\" + listFile;
        t.st.rootListName = root;
        if (fileLevel > 0) {
            // The other copy's level file must not count.
            writeBytes(dir.path() + (search ? "/Okna" : "/Okna2"), "7");
            writeBytes(t.st.levelFile(), QByteArray::number(fileLevel));
        }
        t.st.levels.restore(current);
        // The window's own level; the level files written above never count.
        const int shown = fileLevel >= 1 && fileLevel <= kMaxLevel ? fileLevel : current;
        if (shown >= 1 && shown <= kMaxLevel) {
            t.st.levels.restorePlace(shown, folder, listFile);
        }
        t.st.levels.restorePlace(current, folder, listFile);
        QCOMPARE(notesFileNameFor(t.st, shown), note);
        QCOMPARE(linksFileNameFor(t.st, shown), links);
    }

    void htmExtension_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("name");
        QTest::newRow("no dot") << "multimed"
                                << "multimed.htm";
        QTest::newRow("txt") << "lekcia.txt"
                             << "lekcia.htm";
        QTest::newRow("first dot wins") << "a.b.txt"
                                        << "a.htm";
        QTest::newRow("day folder with dot") << "01._deň"
                                             << "01.htm";
    }
    void htmExtension() {
        QFETCH(QString, base);
        QFETCH(QString, name);
        QCOMPARE(htmName(base), name);
    }

    void noteBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("one line") << "ahoj" << QByteArray("ahoj\r\n") << "ahoj";
        QTest::newRow("Slovak letters")
            << "Prvý riadok\nčierny kôň" << QByteArray("Prv\xfd riadok\r\n\xe8ierny k\xf4\xf2\r\n")
            << "Prvý riadok\nčierny kôň";
        QTest::newRow("final line end adds no line") << "a\nb\n"
                                                     << QByteArray("a\r\nb\r\n") << "a\nb";
        QTest::newRow("empty lines inside kept")
            << "a\n\n\nb" << QByteArray("a\r\n\r\n\r\nb\r\n") << "a\n\n\nb";
        QTest::newRow("leading blanks kept") << "  odsek" << QByteArray("  odsek\r\n") << "  odsek";
        QTest::newRow("byte 26 would cut the note") << "a\x1a"
                                                       "b\nc"
                                                    << QByteArray("a b\r\nc\r\n") << "a b\nc";
    }
    void noteBytes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readBack);
        QTemporaryDir dir;
        const QString path = dir.path() + "/lekcia.txt";
        writeBytes(path, QByteArray(5000, 'x')); // a longer old note is replaced whole
        QVERIFY(saveNote(path, text));
        QCOMPARE(readBytes(path), bytes);
        QCOMPARE(readNote(path).join('\n'), readBack);
        QCOMPARE(dirEntries(dir.path()), QStringList{"lekcia.txt"});
    }

    void blankNoteIsNotSaved_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("line ends and tabs") << " \n\t\n ";
    }
    void blankNoteIsNotSaved() {
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString missing = dir.path() + "/a.txt";
        QVERIFY(!saveNote(missing, text));
        QVERIFY(!QFile::exists(missing));
        const QString existing = dir.path() + "/b.txt";
        writeBytes(existing, "stara\r\n");
        QVERIFY(!saveNote(existing, text));
        QCOMPARE(readBytes(existing), QByteArray("stara\r\n"));
    }

    void unrepresentableNoteLeavesFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.path() + "/lekcia.txt";
        writeBytes(path, "stara\r\n");
        try {
            saveNote(path, "nová\nznak \u65e5 nie");
            QFAIL("no error");
        } catch (const FileError& e) {
            QVERIFY(e.message().contains("lekcia.txt"));
            QVERIFY(e.message().contains("\u65e5"));
        }
        QCOMPARE(readBytes(path), QByteArray("stara\r\n"));
        QCOMPARE(dirEntries(dir.path()), QStringList{"lekcia.txt"});
    }

    void noteInUpperCaseOnDiskIsFound() {
        QTemporaryDir dir;
        writeBytes(dir.path() + "/LEKCIA.TXT", "z disku\r\n");
        QCOMPARE(readNote(dir.path() + "/lekcia.txt"), QStringList{"z disku"});
        QVERIFY(saveNote(dir.path() + "/lekcia.txt", "nova"));
        QCOMPARE(dirEntries(dir.path()), QStringList{"LEKCIA.TXT"});
        eraseNote(dir.path() + "/lekcia.txt");
        QVERIFY(dirEntries(dir.path()).isEmpty());
    }

    void eraseMissingNoteChangesNothing() {
        QTemporaryDir dir;
        writeBytes(dir.path() + "/ine.txt", "x");
        eraseNote(dir.path() + "/lekcia.txt");
        QCOMPARE(dirEntries(dir.path()), QStringList{"ine.txt"});
    }

    void linksBytes_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("two") << QStringList{"https://a.sk/", "www.b.sk"}
                             << QByteArray("https://a.sk/\r\nwww.b.sk\r\n");
        QTest::newRow("empty entries dropped")
            << QStringList{"", "a", "", "b", ""} << QByteArray("a\r\nb\r\n");
        QTest::newRow("nothing left: empty file") << QStringList{""} << QByteArray();
        QTest::newRow("line break inside an entry")
            << QStringList{"a\nb", "c\r\nd"} << QByteArray("a b\r\nc  d\r\n");
        QTest::newRow("Slovak letters")
            << QStringList{"www.škola.sk"} << QByteArray("www.\x9akola.sk\r\n");
    }
    void linksBytes() {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.path() + "/lekcia.htm";
        writeLinks(path, entries);
        QCOMPARE(readBytes(path), bytes);
    }

    void linksReadKeepsEmptyLinesListsDoNot() {
        QTemporaryDir dir;
        const QString path = dir.path() + "/x.htm";
        writeBytes(path, "a\r\n\r\nb\r\n");
        QCOMPARE(readLinks(path), (QStringList{"a", "", "b"}));
        QCOMPARE(nonEmptyLinks(readLinks(path)), (QStringList{"a", "b"}));
        QVERIFY(readLinks(dir.path() + "/chyba.htm").isEmpty());

        // A screen's own links come from the temp folder under the screen's
        // name, in the case the disk has; a screen without a file has none.
        TestState t(dir.path(), dir.path());
        t.st.levels.restore(3);
        t.st.levels.restorePlace(3, "01._deň", "lekcia.txt");
        QVERIFY(!ownLinksOf(t.st, 3));
        writeBytes(dir.path() + "/LEKCIA.HTM", "www.\x9akola.sk\r\n\r\nb\r\n");
        const std::optional<QStringList> own = ownLinksOf(t.st, 3);
        QVERIFY(own);
        QCOMPARE(*own, (QStringList{"www.škola.sk", "b"}));
    }

    void manyLinksAreAllKept() {
        QTemporaryDir dir;
        const QString path = dir.path() + "/x.htm";
        QStringList many;
        for (int i = 0; i < 600; ++i)
            many << QStringLiteral("www.stranka%1.sk").arg(i);
        writeLinks(path, many);
        QCOMPARE(readLinks(path), many);
    }

    void listedFiles() {
        QTemporaryDir dir;
        const QString d = dir.path() + "/";
        for (const char* n : {"multimed.txt", "Lekcia.TXT", "lekcia.htm", "B.Htm", "Okna",
                              "temp.dfm", "x.rtf", ".orbino-abc123", "poznamka.txt.bak"})
            writeBytes(d + n, "x");
        QDir().mkdir(d + "priecinok.txt");
        QCOMPARE(noteAndLinkFiles(d),
                 (QStringList{"B.Htm", "lekcia.htm", "Lekcia.TXT", "multimed.txt"}));
        QCOMPARE(foldersIn(d), QStringList{"priecinok.txt"});
        QVERIFY(filesIn(d).contains("Okna"));
        QVERIFY(!filesIn(d).contains(".orbino-abc123"));
    }

    void copyInAndOut() {
        QTemporaryDir temp, usb;
        const QString t = temp.path() + "/", u = usb.path() + "/";
        writeBytes(t + "lekcia.txt", "moja poznamka\r\n");
        writeBytes(t + "lekcia.htm", "www.a.sk\r\n");
        QCOMPARE(copyFiles(t, {"lekcia.txt", "lekcia.htm"}, u), 2);
        QCOMPARE(readBytes(u + "lekcia.txt"), QByteArray("moja poznamka\r\n"));
        QCOMPARE(readBytes(u + "lekcia.htm"), QByteArray("www.a.sk\r\n"));
        // Back in, over a changed note: replaced without asking.
        writeBytes(u + "lekcia.txt", "z druheho pocitaca\r\n");
        writeBytes(t + "lekcia.txt", QByteArray(20000, 'a'));
        QCOMPARE(copyFiles(u, {"lekcia.txt"}, t), 1);
        QCOMPARE(readBytes(t + "lekcia.txt"), QByteArray("z druheho pocitaca\r\n"));
        QCOMPARE(dirEntries(t), (QStringList{"lekcia.htm", "lekcia.txt"}));
    }

    void copyLargeFileWhole() {
        QTemporaryDir a, b;
        QByteArray data;
        for (int i = 0; i < 30000; ++i)
            data += char(i % 251);
        writeBytes(a.path() + "/velka.txt", data);
        QVERIFY(copyFileInto(a.path() + "/velka.txt", b.path()));
        QCOMPARE(readBytes(b.path() + "/velka.txt"), data);
    }

    void copyKeepsTheCaseOnDisk() {
        QTemporaryDir temp, usb;
        writeBytes(temp.path() + "/Lekcia.txt", "stara");
        writeBytes(usb.path() + "/lekcia.txt", "nova");
        copyFiles(usb.path(), {"lekcia.txt"}, temp.path());
        QCOMPARE(dirEntries(temp.path()), QStringList{"Lekcia.txt"});
        QCOMPARE(readBytes(temp.path() + "/Lekcia.txt"), QByteArray("nova"));
    }

    void copyOntoItselfIsSkipped() {
        QTemporaryDir temp;
        writeBytes(temp.path() + "/lekcia.txt", "poznamka\r\n");
        QCOMPARE(copyFiles(temp.path(), {"lekcia.txt"}, temp.path() + "/"), 0);
        QCOMPARE(readBytes(temp.path() + "/lekcia.txt"), QByteArray("poznamka\r\n"));
    }

    void copyStopsAtMissingSource() {
        QTemporaryDir from, to;
        writeBytes(from.path() + "/a.txt", "a");
        writeBytes(from.path() + "/c.txt", "c");
        try {
            copyFiles(from.path(), {"a.txt", "b.txt", "c.txt"}, to.path());
            QFAIL("no error");
        } catch (const CopyError& e) {
            QCOMPARE(e.message(), "Cannot open file " + from.path() + "/b.txt");
        }
        QCOMPARE(dirEntries(to.path()), QStringList{"a.txt"});
    }

    void copyToMissingFolderFails() {
        QTemporaryDir from;
        writeBytes(from.path() + "/a.txt", "a");
        const QString target = from.path() + "/chyba/a.txt";
        try {
            copyFileInto(from.path() + "/a.txt", target);
            QFAIL("no error");
        } catch (const CopyError& e) {
            QCOMPARE(e.message(), "Cannot create file " + target);
        }
        QCOMPARE(dirEntries(from.path()), QStringList{"a.txt"});
    }

    void placesAreTheLearnersMediaThenHome() {
        QTemporaryDir home;
        const QString h = home.path() + "/";
        QDir().mkpath(h + "kurz/01._deň");
        const QList<MountedVolume> mounts{{"/", "system"},
                                          {"/media/ziak/KLUC/", "KLUC"},
                                          {"/media/iny/CUDZI/", "CUDZI"},
                                          {"/run/media/ziak/DISK", ""},
                                          {"/media/ziak/", ""},
                                          {"/media/ziakovia/X/", "X"},
                                          {h + "kurz/01._deň/", "v kurze"}};
        QList<CopyPlace> places = copyPlaces(mounts, "ziak", h, h + "kurz/");
        QStringList names, folders;
        for (const CopyPlace& p : places)
            names << p.name, folders << p.folder;
        QCOMPARE(names, (QStringList{"KLUC", "DISK", homePlaceName()}));
        QCOMPARE(folders, (QStringList{"/media/ziak/KLUC/", "/run/media/ziak/DISK/", h}));
        // The media are not there on this machine: the home folder is first to exist.
        QCOMPARE(copyStartFolder(places), h);
        places.prepend({"USB", h + "kurz/../"});
        QCOMPARE(copyStartFolder(places), h + "kurz/../");
        // A home inside the course is no place; nothing is left to start in.
        places = copyPlaces({}, "ziak", h + "kurz/01._deň", h + "kurz");
        QVERIFY(places.isEmpty());
        QCOMPARE(copyStartFolder(places), QString());
        // A link into the course counts as the course.
        QVERIFY(QFile::link(h + "kurz", h + "odkaz"));
        QVERIFY(insideFolder(h + "odkaz/01._deň", h + "kurz/"));
        QVERIFY(!insideFolder(h + "kurzy", h + "kurz"));
    }

    void overwriteAsksBeforeReplacingOtherContent() {
        QTemporaryDir from, to;
        const QString f = from.path() + "/", t = to.path() + "/";
        writeBytes(f + "rovnaka.txt", "rovnaka\r\n");
        writeBytes(t + "rovnaka.txt", "rovnaka\r\n");
        writeBytes(f + "a.txt", "nova a\r\n");
        writeBytes(t + "a.txt", "stara a\r\n");
        writeBytes(f + "b.txt", "nova b\r\n");
        writeBytes(t + "b.txt", "stara b, dlhsia\r\n");
        writeBytes(f + "c.htm", "nova c\r\n");
        writeBytes(t + "c.htm", "stara c\r\n");
        writeBytes(f + "nova.txt", "prva\r\n");
        QVERIFY(!replacesOtherContent(f + "rovnaka.txt", t + "rovnaka.txt"));
        QVERIFY(!replacesOtherContent(f + "nova.txt", t + "nova.txt"));
        QVERIFY(!replacesOtherContent(f + "a.txt", f + "a.txt"));
        QVERIFY(replacesOtherContent(f + "a.txt", t + "a.txt"));

        // No to a, yes to b, then no question left after "all".
        QStringList asked;
        std::deque<Overwrite> answers{Overwrite::No, Overwrite::YesToAll};
        const CopyResult r = copyAsking(f, {"rovnaka.txt", "a.txt", "b.txt", "c.htm", "nova.txt"},
                                        t, [&](const QString& name) {
                                            asked << name;
                                            const Overwrite a = answers.front();
                                            answers.pop_front();
                                            return a;
                                        });
        QCOMPARE(asked, (QStringList{"a.txt", "b.txt"}));
        QCOMPARE(readBytes(t + "a.txt"), QByteArray("stara a\r\n"));
        QCOMPARE(readBytes(t + "b.txt"), QByteArray("nova b\r\n"));
        QCOMPARE(readBytes(t + "c.htm"), QByteArray("nova c\r\n"));
        QCOMPARE(readBytes(t + "nova.txt"), QByteArray("prva\r\n"));
        QCOMPARE(r.copied, 4);
        QCOMPARE(r.kept, QStringList{"a.txt"});
        QCOMPARE(copySummary(r),
                 "Skopírované 4 súbory do " + to.path() + ". Ponechané bez zmeny: a.txt.");

        // A failure names the file and why; what came before it stays.
        QDir().mkpath(t + "sub");
        writeBytes(f + "d.txt", "d");
        const CopyResult bad = copyAsking(f, {"d.txt", "chyba.txt", "nova.txt"}, t + "sub", {});
        QCOMPARE(bad.copied, 1);
        QCOMPARE(bad.failedName, QString("chyba.txt"));
        QCOMPARE(copySummary(bad), "Skopírovaný 1 súbor do " + t +
                                       "sub. Súbor chyba.txt sa "
                                       "nepodarilo skopírovať: súbor neexistuje.");
        QCOMPARE(dirEntries(t + "sub"), QStringList{"d.txt"});
        // A folder of the same name at the destination is not copied into.
        QDir().mkpath(t + "sub/e.txt");
        writeBytes(f + "e.txt", "e");
        const CopyResult folder = copyAsking(f, {"e.txt"}, t + "sub/", {});
        QCOMPARE(folder.failedName, QString("e.txt"));
        QVERIFY(QDir(t + "sub/e.txt").isEmpty());
        {
            ModeBitsBind bind;
            if (bind.ok()) {
                QFile::setPermissions(t + "sub", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
                const CopyResult ro = copyAsking(f, {"nova.txt"}, t + "sub", {});
                QFile::setPermissions(t + "sub", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner);
                QCOMPARE(ro.copied, 0);
                QCOMPARE(ro.failure, QString("do priečinka sa nedá zapisovať: prístup zamietnutý"));
                QVERIFY(copySummary(ro).startsWith("Neskopíroval sa žiadny súbor. Súbor nova.txt"));
            }
        }
        QStringList counts;
        for (int n : {1, 2, 4, 5, 11, 22, 0})
            counts << filesCount(n);
        QCOMPARE(counts, (QStringList{"1 súbor", "2 súbory", "4 súbory", "5 súborov", "11 súborov",
                                      "22 súborov", "0 súborov"}));
    }

    void drives() {
        const QStringList roots = driveRoots();
        QVERIFY(roots.contains("/"));
        QCOMPARE(driveOf({"/", "/media/usb/", "/media/"}, "/media/usb/kurz"),
                 QString("/media/usb/"));
        QCOMPARE(driveOf({"/", "/media/usb/"}, "/media/usb2/x"), QString("/"));
        QCOMPARE(driveOf({"/", "/media/usb/"}, "/media/usb"), QString("/media/usb/"));
    }
};

QTEST_APPLESS_MAIN(TestNotesLinks)
#include "tst_notes_links.moc"
