// Course and learner files made to hurt: FIFOs and devices in a file's place,
// files far too large, lists that name each other without end, link loops,
// folders that cannot be read, temporaries left by killed saves. Every case
// on real files; `orbino --check` is run as the built program.
#include "testsupport.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/picture.h"
#include "platform/textfile.h"
#include "screens/content_list.h"
#include "tree/integrity.h"
#include "tree/lesson_tree.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace orbino;
using test::readBytes;
using test::writeBytes;
using test::writeCourseFile;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

struct CheckRun {
    bool finished = false;
    int exitCode = -1;
    QString out, err;
};

// `orbino --check` in `dir`. Outside the sanitizer build (whose shadow memory
// needs far more address space) the child may use at most 256 MiB, so
// "never aborts" also means "stays within that".
CheckRun runCheck(const QString& dir, const QStringList& args = {}) {
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    if (!kSanitized) {
        p.setChildProcessModifier([] {
            const struct rlimit cap { rlim_t(256) << 20, rlim_t(256) << 20 };
            ::setrlimit(RLIMIT_AS, &cap);
        });
    }
    p.start(QStringLiteral(ORBINO_BINARY), QStringList{QStringLiteral("--check")} + args);
    CheckRun r;
    // Generous: the bound is for a hang, speed is measured in bench/.
    r.finished = p.waitForFinished(120000);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

bool makeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

// A course folder with CONFIG.TXT and day 01 whose list names x.txt.
void baseCourse(const QString& dir) {
    writeCourseFile(dir + "/CONFIG.TXT", {"*DEFAULT CONTENT*Obsah.txt"});
    writeCourseFile(dir + "/01._den/Obsah.txt", {"[a]x.txt"});
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void fifoIsRefusedByName_data();
    void fifoIsRefusedByName();
    void fifoCourseCheck_data();
    void fifoCourseCheck();
    void devZeroConfig();
    void sizeCap();
    void bareCrList();
    void configLookupOnHostileBytes();
    void treeChains_data();
    void treeChains();
    void boundedReport();
    void symlinkLoopIsMissing();
    void unreadableDayFolder();
    void unreadableDayConfig();
    void staleTemporaries();
};

void TestHostileFiles::fifoIsRefusedByName_data() {
    QTest::addColumn<QString>("what");
    QTest::newRow("configuration") << "config";
    QTest::newRow("content list") << "list";
    QTest::newRow("lesson text") << "lesson";
    QTest::newRow("picture") << "picture";
}

void TestHostileFiles::fifoIsRefusedByName() {
    // Before: open() waited for a writer forever.
    QFETCH(QString, what);
    QTemporaryDir dir;
    const QString path = dir.filePath("f.txt");
    QVERIFY(makeFifo(path));
    try {
        if (what == "config") {
            AppState st;
            st.programFolder = dir.path() + "/";
            QVERIFY(makeFifo(dir.filePath("CONFIG.TXT")));
            st.CitajKonfig("NAME", "x");
        } else if (what == "list") {
            readContentList(path);
        } else if (what == "lesson") {
            readLines(path);
        } else {
            readPicture(path);
        }
        QFAIL("a FIFO was read");
    } catch (const FileError& e) {
        QVERIFY2(e.path().endsWith(what == "config" ? "CONFIG.TXT" : "f.txt"),
                 qPrintable(e.message()));
        QVERIFY2(e.reason().contains("FIFO"), qPrintable(e.message()));
    }
}

void TestHostileFiles::fifoCourseCheck_data() {
    QTest::addColumn<QString>("fifo");
    QTest::newRow("CONFIG.TXT") << "CONFIG.TXT";
    QTest::newRow("day list") << "01._den/Obsah.txt";
    QTest::newRow("list named by an item") << "01._den/x.txt";
    QTest::newRow("day CONFIG.TXT") << "01._den/CONFIG.TXT";
}

void TestHostileFiles::fifoCourseCheck() {
    QFETCH(QString, fifo);
    QTemporaryDir dir;
    baseCourse(dir.path());
    QFile::remove(dir.filePath(fifo));
    QVERIFY(makeFifo(dir.filePath(fifo)));
    const CheckRun r = runCheck(dir.path());
    QVERIFY2(r.finished, "--check hangs on a FIFO");
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(fifo) && r.err.contains("FIFO"), qPrintable(r.err));
}

void TestHostileFiles::devZeroConfig() {
    // Before: the read doubled its buffer until bad_alloc.
    QTemporaryDir dir;
    baseCourse(dir.path());
    QFile::remove(dir.filePath("CONFIG.TXT"));
    QVERIFY(QFile::link("/dev/zero", dir.filePath("CONFIG.TXT")));
    AppState st;
    st.programFolder = dir.path() + "/";
    try {
        st.CitajKonfig("NAME", "x");
        QFAIL("/dev/zero was read");
    } catch (const FileError& e) {
        QVERIFY2(e.path().endsWith("CONFIG.TXT") && e.reason().contains("zariadenie"),
                 qPrintable(e.message()));
    }
    const CheckRun r = runCheck(dir.path());
    QVERIFY(r.finished);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("CONFIG.TXT"), qPrintable(r.err));
    // The days are still checked with the usual list name.
    QVERIFY2(r.out.contains("x.txt a - "), qPrintable(r.out));
}

void TestHostileFiles::sizeCap() {
    QTemporaryDir dir;
    const QString big = dir.filePath("Obsah.txt");
    writeBytes(big, QByteArray(kMaxTextFileBytes + 1, 'a'));
    try {
        readContentList(big);
        QFAIL("an oversized list was read");
    } catch (const FileError& e) {
        QCOMPARE(e.path(), big);
        QVERIFY2(e.reason().contains("16 MiB"), qPrintable(e.reason()));
    }
    // Exactly at the cap is read (one line, refused only for its length).
    QFile f(big);
    QVERIFY(f.resize(kMaxTextFileBytes));
    QCOMPARE(readFileBytes(big).size(), kMaxTextFileBytes);
}

void TestHostileFiles::bareCrList() {
    // Before: a 50 MB list of CR bytes took 1.24 GiB (one string per empty
    // line). Now the readers go line by line and keep only what they use:
    // the 20 slots of a screen, the item lines of the tree. (Memory itself is
    // measured in bench/; here the results must hold nothing of the garbage.)
    QTemporaryDir dir;
    const QString path = dir.filePath("Obsah.txt");
    QByteArray bytes(4 * 1024 * 1024, '\r');
    bytes += "[A] a.txt\r\n";
    writeBytes(path, bytes);
    const ContentList c = readContentList(path);
    QCOMPARE(c.lineCount, 1);
    QCOMPARE(c.lines[1], QString("[A] a.txt"));
    const LessonTree t = buildLessonTree(dir.path() + "/", "Obsah.txt", "Deň");
    QCOMPARE(t.size(), 2);
    // 50 MB of them: refused by its size, named.
    writeBytes(path, QByteArray(50 * 1024 * 1024, '\r'));
    QVERIFY_THROWS_EXCEPTION(FileError, readContentList(path));
}

void TestHostileFiles::configLookupOnHostileBytes() {
    // "x*" then the key text repeated: every occurrence is a candidate on
    // one long line. Before, each walked back to the line start (1 MB: 10 s).
    // The result must still be the first line whose first "*" starts the key.
    const QByteArray key = "MENU END";
    QByteArray data = "x*";
    while (data.size() < 1024 * 1024)
        data += "*" + key;
    ConfigLine l = findConfigLine(data, key);
    QVERIFY(!l.found);
    data += "\r0*" + key + "*hodnota\r\n";
    l = findConfigLine(data, key);
    QVERIFY(l.found);
    QCOMPARE(l.sw, 0);
    QCOMPARE(l.value, QString("hodnota"));
    // After a CR LF the LF is not part of the line: "\n*KEY*" there starts it.
    l = findConfigLine("a\r\n*" + key + "*v1\r*" + key + "*v2", key);
    QCOMPARE(l.value, QString("v1"));
    // A byte 26 before the line ends the file.
    QVERIFY(!findConfigLine("x\x1a\r*" + key + "*v", key).found);
}

void TestHostileFiles::treeChains_data() {
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("20000 lists each with a missing picture") << "chain" << 1;
    QTest::newRow("the same chain linking back to the first") << "cycle" << 1;
    QTest::newRow("40 lists each naming the next twice, long captions") << "doubling" << 0;
}

void TestHostileFiles::treeChains() {
    // Before: 29 s, 4.8 GB and 1.6 GB of output; then bad_alloc at 4.6 GB
    // and 4.3 GB. Now `--check` ends normally, its output linear in the course.
    QFETCH(QString, shape);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QString day = dir.path() + "/01._den/";
    QDir().mkpath(day);
    writeCourseFile(dir.path() + "/CONFIG.TXT", {"*DEFAULT CONTENT*Obsah.txt"});
    // The sanitizer build runs the same shapes shorter: it is many times slower.
    const int n = shape == "doubling" ? 40 : kSanitized ? 5000 : 20000;
    const QString caption = shape == "doubling" ? QString(1000, QChar('c')) : QString("k");
    auto listName = [](int i) { return i == 0 ? QString("Obsah.txt") : QString("l%1.txt").arg(i); };
    for (int i = 0; i < n; ++i) {
        QStringList lines;
        if (shape == "doubling") {
            if (i + 1 < n)
                lines << "[" + caption + "]" + listName(i + 1)
                      << "[" + caption + "]" + listName(i + 1);
        } else {
            lines << QString("[obr]p%1.bmp").arg(i);
            if (i + 1 < n)
                lines << "[" + caption + "]" + listName(i + 1);
            if (shape == "cycle")
                lines << "[spat]Obsah.txt";
        }
        // Plain bytes: 20,000 files through the encoder would only slow the test.
        QByteArray bytes;
        for (const QString& l : lines)
            bytes += l.toLatin1() + "\r\n";
        writeBytes(day + listName(i), bytes);
    }
    const CheckRun r = runCheck(dir.path());
    QVERIFY2(r.finished, "--check did not end");
    QCOMPARE(r.exitCode, exitCode);
    // Linear output: a few hundred bytes per list at most.
    QVERIFY2(r.out.size() < qsizetype(n) * 400 + 1000000,
             qPrintable(QString::number(r.out.size())));
    if (shape != "doubling")
        QVERIFY(r.out.contains(QString("p%1.bmp k - k - k - k - ... - ").arg(n - 1)));
    if (shape == "cycle")
        QVERIFY2(r.out.contains(QString("Obsah.txt duplikovany ešte na %1 ďalších miestach")
                                    .arg(n - kShownPerMissingFile)),
                 qPrintable(r.out.right(500)));
}

void TestHostileFiles::boundedReport() {
    // One missing file named from 30 places: ten listed, then a count; the
    // total still counts all of them.
    QTemporaryDir dir;
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines << QString("[k%1]chyba.exe").arg(i);
    writeCourseFile(dir.filePath("Obsah.txt"), lines);
    const LessonTree t = buildLessonTree(dir.path() + "/", "Obsah.txt", "Deň");
    const IntegrityReport r = checkIntegrity(t, dir.path() + "/", "01", " zacyklený súbor :");
    QCOMPARE(r.missing, 30);
    QCOMPARE(r.lines.size(), 2 + kShownPerMissingFile + 1);
    QCOMPARE(r.lines.at(2), QString("chyba.exe k0 - "));
    QCOMPARE(r.lines.last(), QString("chyba.exe chýba ešte na 20 ďalších miestach"));
}

void TestHostileFiles::symlinkLoopIsMissing() {
    QTemporaryDir dir;
    writeCourseFile(dir.filePath("Obsah.txt"),
                    {"[slučka]loop.exe", "[prázdny]dangling.exe", "[je]je.exe"});
    QVERIFY(QFile::link(dir.filePath("loop.exe"), dir.filePath("loop.exe")));
    QVERIFY(QFile::link(dir.filePath("nikde"), dir.filePath("dangling.exe")));
    writeBytes(dir.filePath("je.exe"), "x");
    const LessonTree t = buildLessonTree(dir.path() + "/", "Obsah.txt", "Deň");
    const IntegrityReport r = checkIntegrity(t, dir.path() + "/", "01", "x");
    QCOMPARE(r.missing, 2);
    QCOMPARE(r.lines.mid(2), (QStringList{"loop.exe slučka - ", "dangling.exe prázdny - "}));
}

void TestHostileFiles::unreadableDayFolder() {
    // As root, mode bits do not stop reading a folder; a name that is no
    // folder fails to be listed for everyone (ENOTDIR). A folder with mode
    // 000 is tried too when that really stops this process.
    QTemporaryDir dir;
    baseCourse(dir.path());
    writeBytes(dir.filePath("subor"), "x");
    CheckRun r = runCheck(dir.path(), {"subor/Obsah.txt"});
    QVERIFY(r.finished);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("subor/") && !r.out.contains("Obsah.txt "), qPrintable(r.err + r.out));

    QVERIFY(QFile::setPermissions(dir.filePath("01._den"), QFileDevice::Permissions()));
    const bool blocked =
        ::access(QFile::encodeName(dir.filePath("01._den")).constData(), R_OK) != 0;
    if (blocked) {
        r = runCheck(dir.path());
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("01._den/") && r.err.contains("Permission denied"),
                 qPrintable(r.err));
        QVERIFY2(!r.out.contains("Obsah.txt "),
                 qPrintable(r.out)); // not reported as a missing list
    }
    QFile::setPermissions(dir.filePath("01._den"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!blocked)
        QSKIP("mode bits do not stop this process (root): only the ENOTDIR row ran");
}

void TestHostileFiles::unreadableDayConfig() {
    // Before: exit 2, nothing checked. A folder in CONFIG.TXT's place fails
    // to be read as root too.
    QTemporaryDir dir;
    baseCourse(dir.path());
    QVERIFY(QDir().mkpath(dir.filePath("01._den/CONFIG.TXT")));
    const CheckRun r = runCheck(dir.path());
    QVERIFY(r.finished);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("01._den/CONFIG.TXT"), qPrintable(r.err));
    QVERIFY2(r.out.contains("x.txt a - "), qPrintable(r.out));
}

void TestHostileFiles::staleTemporaries() {
    QTemporaryDir dir;
    const time_t now = ::time(nullptr);
    auto make = [&](const QString& name, time_t age) {
        writeBytes(dir.filePath(name), "stare");
        const struct timeval tv[2] = {{now - age, 0}, {now - age, 0}};
        ::utimes(QFile::encodeName(dir.filePath(name)).constData(), tv);
    };
    make(".orbino-Ab12Cd", 2 * 3600);     // ours, stale: goes
    make(".orbino-Xy34Zw", 60);           // ours, fresh (a save in progress): stays
    make(".orbino-kratky", 2 * 3600 + 1); // same length, ours too: goes
    make(".orbino-dlhy-nazov", 2 * 3600); // not mkstemp's pattern: stays
    make("poznamka.orbino-Ab12Cd", 7200); // not our prefix: stays
    writeFileAtomic(dir.filePath("multimed.txt"), "nova\r\n");
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    left.sort(Qt::CaseSensitive);
    QCOMPARE(left, (QStringList{".orbino-Xy34Zw", ".orbino-dlhy-nazov", "multimed.txt",
                                "poznamka.orbino-Ab12Cd"}));
    QCOMPARE(readBytes(dir.filePath("multimed.txt")), QByteArray("nova\r\n"));
}

QTEST_APPLESS_MAIN(TestHostileFiles)
#include "tst_hostile_files.moc"
