// Text files, atomic replacement and the path resolver, on real files.
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orbino;
using namespace orbino::test;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    // The compiled Windows-1250 table must agree with the system's converter
    // on every byte, and encoding must accept exactly the characters it can
    // decode to (and give back the same byte).
    void codePageTableMatchesSystemConverter() {
        QStringDecoder dec("windows-1250", QStringDecoder::Flag::Stateless);
        QVERIFY(dec.isValid());
        for (int b = 0; b < 256; ++b) {
            const QString sys = dec.decode(QByteArray(1, char(b)));
            QCOMPARE(sys.size(), 1);
            QCOMPARE(int(toUnicode1250(uchar(b))), int(sys.at(0).unicode()));
            QCOMPARE(fromUnicode1250(sys.at(0).unicode()), b);
        }
        int representable = 0;
        for (int c = 0; c < 0x10000; ++c) {
            const int b = fromUnicode1250(char16_t(c));
            if (b >= 0) {
                ++representable;
                QCOMPARE(int(toUnicode1250(uchar(b))), c);
            }
        }
        QCOMPARE(representable, 256);
        // Whole texts: every byte, in order and shuffled among letters, as
        // the system decodes them; no bytes give an empty text, never null.
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QByteArray mixed = "Ko\x9e" + all +
                                 "\xe8"
                                 "ak " +
                                 all.right(100) + "x";
        QCOMPARE(decode1250(all), dec.decode(all));
        QCOMPARE(decode1250(mixed), dec.decode(mixed));
        QVERIFY(decode1250(QByteArrayView()).isEmpty() && !decode1250(QByteArrayView()).isNull());
    }

    // Whole-file reads are exact at and around the size the reader first
    // allocates, and for a file that grows or reports no size.
    void readsWholeFilesExactly() {
        QTemporaryDir dir;
        for (const qsizetype n : {qsizetype(0), qsizetype(1), qsizetype(511), qsizetype(512),
                                  qsizetype(4096), qsizetype(921654), qsizetype(3 << 20)}) {
            QByteArray data(n, Qt::Uninitialized);
            for (qsizetype i = 0; i < n; ++i)
                data[i] = char((i * 131) ^ (i >> 9));
            const QString p = dir.filePath(QStringLiteral("f%1.bin").arg(n));
            writeBytes(p, data);
            QCOMPARE(readFileBytes(p), data);
        }
        // A file whose size the system reports as 0 is still read to its end.
        QVERIFY(readFileBytes(QStringLiteral("/proc/self/status")).contains("Name:"));
        // The optional read: nothing for a missing file or folder on the way,
        // the bytes for a name whose case differs, an error for a folder.
        QVERIFY(!readFileIfExists(dir.filePath("none.txt")).has_value());
        QVERIFY(!readFileIfExists(dir.filePath("f1.bin/x")).has_value());
        QCOMPARE(readFileIfExists(dir.filePath("F1.BIN")).value_or("?").size(), 1);
        QVERIFY_THROWS_EXCEPTION(FileError, readFileIfExists(dir.path()));
    }

    // Scratch state: an identical file is left as it is (same file, no new
    // one made); different bytes replace it.
    void scratchWritesSkipIdenticalFiles() {
        QTemporaryDir dir;
        const QString p = dir.filePath("Okna");
        writeFileAtomic(p, "1", Flush::Scratch);
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(p).constData(), &before), 0);
        writeFileAtomic(p, "1", Flush::Scratch);
        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(p).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        writeFileAtomic(p, "2", Flush::Scratch);
        QCOMPARE(readBytes(p), QByteArray("2"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Okna"});
    }

    void lineRules_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("lone cr ends a line") << QByteArray("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("lone lf stays in the line")
            << QByteArray("a\nb\r\nc") << QStringList{"a\nb", "c"};
        QTest::newRow("bare lf file is one line")
            << QByteArray("x\ny\nz\n") << QStringList{"x\ny\nz\n"};
        QTest::newRow("empty lines kept")
            << QByteArray("\r\n\r\nq\r\n") << QStringList{"", "", "q"};
        QTest::newRow("byte 26 ends the file") << QByteArray("a\r\nb\x1a"
                                                             "c\r\nd")
                                               << QStringList{"a", "b"};
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("windows-1250 letters")
            << QByteArray("\xe8\x9a\x9d\x9e\xfd\xe1\xed\xe9 \xc8\x8a\x8d\x8e")
            << QStringList{u"čšťžýáíé ČŠŤŽ"_qs};
    }
    void lineRules() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString p = dir.filePath("f.txt");
        writeBytes(p, bytes);
        QCOMPARE(readLines(p), lines);
    }

    void writesCrLf1250AndRefusesUnrepresentable() {
        QTemporaryDir dir;
        const QString p = dir.filePath("out.txt");
        writeLines(p, {u"Ďaľší riadok"_qs, QString(), u"ôň"_qs});
        QCOMPARE(readBytes(p), QByteArray("\xcf"
                                          "a\xbe\x9a\xed riadok\r\n\r\n\xf4\xf2\r\n"));
        // A character outside Windows-1250: an error naming the file; the old file stays.
        try {
            writeLines(p, {u"Smile \U0001F600"_qs});
            QFAIL("no error for an unrepresentable character");
        } catch (const FileError& e) {
            QCOMPARE(e.path(), p);
            QVERIFY(e.reason().contains("1F600"));
        }
        QCOMPARE(readBytes(p), QByteArray("\xcf"
                                          "a\xbe\x9a\xed riadok\r\n\r\n\xf4\xf2\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
    }

    void atomicReplaceKeepsOldFileOnFailure() {
        QTemporaryDir dir;
        const QString p = dir.filePath("note.txt");
        writeLines(p, {"old"});
        // A full disk, as far as this process is concerned: writes past 4 KiB fail.
        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        bool threw = false;
        try {
            writeLines(p, {QString(10000, 'x')});
        } catch (const FileError& e) {
            threw = true;
            QCOMPARE(e.path(), p);
        }
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(threw);
        QCOMPARE(readLines(p), QStringList{"old"});
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"note.txt"});
        // A folder that does not exist: an error, not a silent success.
        QVERIFY_THROWS_EXCEPTION(FileError,
                                 writeLines(dir.filePath("no/such/folder/x.txt"), {"a"}));
    }

    void resolverMatchesCaseAndSeparators() {
        QTemporaryDir dir;
        const QString root = dir.path();
        writeBytes(root + "/Kurz/01._deň/pozadie.bmp", "x");
        writeBytes(root + "/Kurz/01._deň/Obsah.txt", "y");
        // Course references with backslashes and other case.
        QCOMPARE(resolvePath(root + "\\KURZ\\01._DEŇ\\POZADIE.BMP"),
                 root + "/Kurz/01._deň/pozadie.bmp");
        QVERIFY(isFile(root + "/kurz/01._deň/obsah.TXT"));
        QVERIFY(isDir(root + "\\kurz\\01._Deň\\"));
        // A missing file keeps the name as given, under the existing folder's real case.
        QCOMPARE(resolvePath(root + "/KURZ/Nový.txt"), root + "/Kurz/Nový.txt");
        QVERIFY(!pathExists(root + "/KURZ/Nový.txt"));
    }

    void resolverUnicodeAndRawNames() {
        QTemporaryDir dir;
        const QString root = dir.path();
        // A name stored decomposed (NFD) matches the composed reference and vice versa.
        const QString nfd = u"Žiak"_qs.normalized(QString::NormalizationForm_D);
        writeBytes(root + "/" + nfd + ".txt", "1");
        QVERIFY(isFile(root + "/žiak.txt"));
        QVERIFY(isFile(root + "/ŽIAK.TXT"));
        // A name written as raw Windows-1250 bytes by an old copy tool.
        const QByteArray raw = QFile::encodeName(root) + "/\xdaloha.txt"; // "Úloha" in 1250
        {
            FILE* f = std::fopen(raw.constData(), "wb");
            QVERIFY(f);
            std::fputs("obsah", f);
            std::fclose(f);
        }
        QVERIFY(isFile(root + "/úloha.txt"));
        QCOMPARE(readFileBytes(root + "/ÚLOHA.TXT"), QByteArray("obsah"));
        bool listed = false;
        for (const DirEntry& e : listFolder(root))
            listed |= e.name == u"Úloha.txt"_qs;
        QVERIFY(listed);
    }

    void resolverPicksDeterministicallyAndSeesChanges() {
        QTemporaryDir dir;
        const QString root = dir.path();
        writeBytes(root + "/b.txt", "1");
        writeBytes(root + "/B.TXT", "2");
        // The exact name wins; otherwise the first in byte order ("B.TXT" < "b.txt").
        QCOMPARE(readFileBytes(root + "/b.txt"), QByteArray("1"));
        QCOMPARE(readFileBytes(root + "/B.txt"), QByteArray("2"));
        // The cached listing notices a file added and one removed.
        QVERIFY(!isFile(root + "/NEW.TXT"));
        writeBytes(root + "/new.txt", "3");
        QVERIFY(isFile(root + "/NEW.TXT"));
        QFile::remove(root + "/new.txt");
        QVERIFY(!isFile(root + "/NEW.TXT"));
        // Long paths work (no 255-character limit).
        const QString deep =
            root + "/" + QString(120, 'a') + "/" + QString(120, 'b') + "/" + QString(100, 'c');
        writeBytes(deep + "/x.txt", "4");
        QVERIFY(isFile(deep.toUpper().replace(root.toUpper(), root) + "/X.TXT"));

        // A folder made after its parent's listing was cached, with the
        // parent's time set back (as a copy tool may leave it): the folder is
        // still found by its exact name and the names below it by case.
        const QString old = root + "/Stary";
        QVERIFY(QDir().mkpath(old + "/Prvy"));
        const QByteArray oldNative = QFile::encodeName(old);
        const struct timespec past[2] = {{1600000000, 0}, {1600000000, 0}};
        QVERIFY(::utimensat(AT_FDCWD, oldNative.constData(), past, 0) == 0);
        QVERIFY(isDir(root + "/STARY/prvy"));
        writeBytes(old + "/Novy/subor.txt", "5");
        QVERIFY(::utimensat(AT_FDCWD, oldNative.constData(), past, 0) == 0);
        QCOMPARE(readFileBytes(root + "/STARY/Novy/SUBOR.TXT"), QByteArray("5"));
    }
};

QTEST_APPLESS_MAIN(TestPlatform)
#include "tst_platform.moc"
