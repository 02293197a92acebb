// The learner's progress file on disk, the export of the learner's work, the
// class report and its CSV, and the command-line forms of both.
#include "platform/errors.h"
#include "platform/textfile.h"
#include "testsupport.h"
#include "tools/class_report.h"
#include "tools/notes.h"
#include "tools/progress.h"
#include "tools/work_export.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <thread>

using namespace orbino;
using namespace orbino::test;

namespace {

const QDateTime kWhen(QDate(2026, 3, 9), QTime(10, 15, 30));

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A small course: two days, a test on day 2, a teacher's screen left out.
void writeCourse(const QString& prog, const QString& name = "Kurz <Práca> & počítač") {
    writeCourseFile(prog + "CONFIG.TXT", {"*NAME*" + name});
    writeCourseFile(prog + "01._deň/Obsah.txt",
                    {"<Prvý deň>", "[Príbeh] pribeh.txt", "[Hra] hra.exe", "[Vyučujúci] ucitel.txt",
                     "[Znova koniec] koniec.txt"});
    writeCourseFile(prog + "01._deň/pribeh.txt", {"<Príbeh>", "[Koniec] koniec.txt"});
    writeCourseFile(prog + "01._deň/koniec.txt", {"<Koniec>"});
    writeCourseFile(prog + "01._deň/ucitel.txt", {"<Pre učiteľa>"});
    writeCourseFile(prog + "02._deň/Obsah.txt", {"[Vyskúšaj sa] skusaj.txt"});
    writeCourseFile(prog + "02._deň/skusaj.txt", {"<Test>"});
}

} // namespace

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void bytesOnDisk();
    void damagedLinesKept_data();
    void damagedLinesKept();
    void otherCourseGetsItsOwnFile();
    void noNoteTakesTheName();
    void unwritableFolderReported();
    void twoWritersLoseNoLine();
    void outlineAndReadCount();
    void longChainsStayBounded();
    void largeProgressFiles();
    void exportContent();
    void classReportAndCsv();
    void timesAcrossClockChange();
    void classReportSpellingsAndCourseLines();
    void commandLine();
};

void TestProgress::bytesOnDisk() {
    QTemporaryDir dir;
    const QString f = dir.path() + "/";
    updateProgress(f, "Kurz č. 1",
                   [](ProgressFile& p) { p.recordVisit("01._deň", "Obsah.txt", kWhen); });
    updateProgress(f, "Kurz č. 1", [](ProgressFile& p) {
        p.recordVisit("02._deň", "skúšaj.txt", kWhen);
        p.recordTest("02._deň", "skúšaj.txt", 4, 5, kWhen);
    });
    // A second visit moves the time of the same line; a second test adds one.
    updateProgress(f, "Kurz č. 1", [](ProgressFile& p) {
        p.recordVisit("01._DEŇ", "OBSAH.TXT", kWhen.addSecs(60));
        p.recordTest("02._deň", "skúšaj.txt", 5, 5, kWhen.addSecs(120));
    });
    QByteArray want = "C\tKurz \xE8. 1\r\n"
                      "V\t01._de\xF2\tObsah.txt\t2026-03-09T10:16:30\r\n"
                      "V\t02._de\xF2\tsk\xFA\x9A"
                      "aj.txt\t2026-03-09T10:15:30\r\n"
                      "T\t02._de\xF2\tsk\xFA\x9A"
                      "aj.txt\t4\t5\t2026-03-09T10:15:30\r\n"
                      "T\t02._de\xF2\tsk\xFA\x9A"
                      "aj.txt\t5\t5\t2026-03-09T10:17:30\r\n";
    QCOMPARE(readBytes(f + "#postup.txt"), want);
    // Nothing else stays behind: no temporary file, no lock.
    QCOMPARE(filesIn(f), QStringList{"#postup.txt"});

    const ProgressFile p = readProgress(f, "Kurz č. 1");
    QVERIFY(p.wasRead("01._deň", "obsah.txt"));
    QVERIFY(!p.wasRead("01._deň", "pribeh.txt"));
    QCOMPARE(p.tests().size(), 2);
    const auto last = p.lastTest("02._deň", "skúšaj.txt");
    QVERIFY(last);
    QCOMPARE(last->score, 5);
    QCOMPARE(lastScoreText(*last), QStringLiteral("Naposledy: 5 z 5 bodov (9. 3. 2026 10:17)"));
    QCOMPARE(lastScoreText({"d", "l", 1, 1, kWhen}),
             QStringLiteral("Naposledy: 1 z 1 bodu (9. 3. 2026 10:15)"));

    // A character Windows-1250 lacks: the write fails whole, the file stays.
    QVERIFY_THROWS_EXCEPTION(FileError, updateProgress(f, "Kurz č. 1", [](ProgressFile& p) {
                                 p.recordVisit("01._deň", "\u4E2D.txt", kWhen);
                             }));
    QCOMPARE(readBytes(f + "#postup.txt"), want);
}

void TestProgress::damagedLinesKept_data() {
    QTest::addColumn<QByteArray>("damaged");
    QTest::newRow("unknown kind") << QByteArray("X\tsomething");
    QTest::newRow("missing field") << QByteArray("V\t01\tObsah.txt");
    QTest::newRow("bad date") << QByteArray("V\t01\tObsah.txt\tvčera");
    QTest::newRow("no such day") << QByteArray("V\t01\tObsah.txt\t2026-02-30T10:15:30");
    QTest::newRow("letter in the time") << QByteArray("V\t01\tObsah.txt\t2026-02-03T1O:15:30");
    QTest::newRow("score over maximum") << QByteArray("T\t02\ts.txt\t7\t5\t2026-03-09T10:15:30");
    QTest::newRow("negative score") << QByteArray("T\t02\ts.txt\t-1\t5\t2026-03-09T10:15:30");
    QTest::newRow("not a number") << QByteArray("T\t02\ts.txt\tpäť\t5\t2026-03-09T10:15:30");
    QTest::newRow("byte 26 and controls") << QByteArray("V\t01\x1A\x01\tx.txt");
    QTest::newRow("huge number") << QByteArray("T\t02\ts.txt\t99999999999\t5\t2026-03-09T10:15:30");
}

void TestProgress::damagedLinesKept() {
    QFETCH(QByteArray, damaged);
    QTemporaryDir dir;
    const QString f = dir.path() + "/";
    // Lone LF and lone CR line ends are read too.
    writeBytes(f + "#postup.txt", "C\tKurz\r\nV\t01\tObsah.txt\t2026-03-09T10:15:30\n" + damaged +
                                      "\rT\t02\ts.txt\t3\t5\t2026-03-09T10:15:30\r\n");
    const ProgressFile before = readProgress(f, "Kurz");
    QCOMPARE(before.visits().size(), 1);
    QCOMPARE(before.tests().size(), 1);
    QCOMPARE(before.damagedLines(), 1);
    updateProgress(f, "Kurz", [](ProgressFile& p) { p.recordVisit("01", "dalsi.txt", kWhen); });
    QCOMPARE(readBytes(f + "#postup.txt"), "C\tKurz\r\nV\t01\tObsah.txt\t2026-03-09T10:15:30\r\n" +
                                               damaged +
                                               "\r\nT\t02\ts.txt\t3\t5\t2026-03-09T10:15:"
                                               "30\r\nV\t01\tdalsi.txt\t2026-03-09T10:15:30\r\n");
}

void TestProgress::otherCourseGetsItsOwnFile() {
    QTemporaryDir dir;
    const QString f = dir.path() + "/";
    updateProgress(f, "Kurz A", [](ProgressFile& p) { p.recordVisit("01", "a.txt", kWhen); });
    updateProgress(f, "Kurz B", [](ProgressFile& p) { p.recordVisit("01", "b.txt", kWhen); });
    updateProgress(f, "Kurz A", [](ProgressFile& p) { p.recordVisit("01", "a2.txt", kWhen); });
    QCOMPARE(filesIn(f), (QStringList{"#postup-2.txt", "#postup.txt"}));
    QCOMPARE(readProgress(f, "Kurz A").visits().size(), 2);
    QCOMPARE(readProgress(f, "Kurz B").visits().size(), 1);
    QVERIFY(readBytes(f + "#postup-2.txt").startsWith("C\tKurz B\r\n"));
    QVERIFY(readProgress(f, "Kurz C").visits().isEmpty());
    // A file without its C line is taken over, its lines kept.
    QTemporaryDir dir2;
    const QString g = dir2.path() + "/";
    writeBytes(g + "#POSTUP.TXT", "V\t01\tx.txt\t2026-03-09T10:15:30\r\n");
    updateProgress(g, "Kurz", [](ProgressFile& p) { p.recordVisit("01", "y.txt", kWhen); });
    QCOMPARE(filesIn(g), QStringList{"#POSTUP.TXT"});
    QCOMPARE(readProgress(g, "Kurz").visits().size(), 2);
}

void TestProgress::noNoteTakesTheName() {
    // A day folder or list named like the progress file has its own note.
    QCOMPARE(notesFileNameOf("#postup", "Obsah.txt", "Obsah.txt"), QStringLiteral("_#postup.txt"));
    QCOMPARE(notesFileNameOf("01", "#postup.txt", "Obsah.txt"), QStringLiteral("_#postup.txt"));
    QCOMPARE(notesFileNameOf("01", "#POSTUP-2.TXT", "Obsah.txt"), QStringLiteral("_#POSTUP-2.TXT"));
    QCOMPARE(notesFileNameOf("01._deň", "Obsah.txt", "obsah.txt"), QStringLiteral("01._deň.txt"));
    QCOMPARE(notesFileNameOf("01._deň", "pribeh.txt", "Obsah.txt"), QStringLiteral("pribeh.txt"));
    QCOMPARE(notesFileNameOf("", "", "Obsah.txt"), QStringLiteral("multimed.txt"));
}

void TestProgress::unwritableFolderReported() {
    // A folder in the file's place (as a read-only stick, whoever runs this).
    QTemporaryDir dir;
    const QString f = dir.path() + "/";
    QDir().mkpath(f + "#postup.txt");
    QVERIFY_THROWS_EXCEPTION(FileError, updateProgress(f, "K", [](ProgressFile& p) {
                                 p.recordVisit("1", "a.txt", kWhen);
                             }));
    QVERIFY(readProgress(f, "K").visits().isEmpty());
}

void TestProgress::twoWritersLoseNoLine() {
    QTemporaryDir dir;
    const QString f = dir.path() + "/";
    constexpr int kEach = 40;
    auto writer = [&](const QString& who) {
        for (int i = 0; i < kEach; ++i)
            updateProgress(f, "Kurz", [&](ProgressFile& p) {
                p.recordVisit(who, QStringLiteral("l%1.txt").arg(i), kWhen);
                p.recordTest(who, QStringLiteral("t.txt"), i % 6, 5 + i % 6, kWhen);
            });
    };
    std::thread a([&] { writer("A"); });
    std::thread b([&] { writer("B"); });
    a.join();
    b.join();
    const ProgressFile p = readProgress(f, "Kurz");
    QCOMPARE(p.visits().size(), 2 * kEach);
    QCOMPARE(p.tests().size(), 2 * kEach);
    QCOMPARE(p.damagedLines(), 0);
    QCOMPARE(filesIn(f), QStringList{"#postup.txt"});
}

void TestProgress::outlineAndReadCount() {
    QTemporaryDir dir;
    const QString prog = dir.path() + "/kurz/";
    writeCourse(prog);
    // An item without a caption makes no button: its list is no lesson to read.
    writeCourseFile(prog + "01._deň/Obsah.txt",
                    {"<Prvý deň>", "[Príbeh] pribeh.txt", "[Hra] hra.exe", "[Vyučujúci] ucitel.txt",
                     "[Znova koniec] koniec.txt", "[] skryte.txt"});
    writeCourseFile(prog + "01._deň/skryte.txt", {"<Skryté>"});
    const QList<OutlineLesson> day1 = dayOutline(prog, "01._deň", "Obsah.txt");
    QStringList lists, closed;
    for (const OutlineLesson& l : day1)
        (l.openable ? lists : closed) << l.list;
    // The teacher's screen is not a learner's lesson; a program is no screen.
    QCOMPARE(lists, (QStringList{"Obsah.txt", "pribeh.txt", "koniec.txt"}));
    QCOMPARE(closed, (QStringList{"ucitel.txt", "skryte.txt"}));
    QCOMPARE(openableCount(day1), 3);
    // A list named from two places is shown where it is nearest the day's start.
    QCOMPARE(day1.at(1).captions, (QStringList{"Príbeh"}));
    QCOMPARE(day1.at(3).list, QStringLiteral("koniec.txt"));
    QCOMPARE(day1.at(3).path(), QStringLiteral("1. deň › Znova koniec"));
    QCOMPARE(day1.at(0).dayCaption, QStringLiteral("1. deň"));
    const QList<OutlineLesson> all = courseOutline(prog, "Obsah.txt");
    QCOMPARE(openableCount(all), 5);
    QVERIFY(all.last().test);

    ProgressFile p;
    p.recordVisit("01._deň", "OBSAH.txt", kWhen);
    p.recordVisit("01._deň", "koniec.txt", kWhen);
    p.recordVisit("01._deň", "ucitel.txt", kWhen);
    p.recordVisit("01._deň", "skryte.txt", kWhen);
    QCOMPARE(readCount(day1, p), 2);
    p.recordVisit("01._deň", "pribeh.txt", kWhen);
    QCOMPARE(readCount(day1, p), openableCount(day1)); // the day can be complete
}

void TestProgress::longChainsStayBounded() {
    // Each list names the next one: the way to the last lesson is thousands
    // of captions long.
    QTemporaryDir dir;
    const QString prog = dir.path() + "/kurz/";
    constexpr int kLists = 3000;
    writeCourseFile(prog + "CONFIG.TXT", {"*NAME*Reťaz"});
    writeCourseFile(prog + "01._deň/Obsah.txt", {"[next0] l1.txt"});
    for (int n = 1; n <= kLists; ++n)
        writeCourseFile(prog + QStringLiteral("01._deň/l%1.txt").arg(n),
                        {QStringLiteral("[pic%1] m%1.bmp").arg(n),
                         QStringLiteral("[next%1] l%2.txt").arg(n).arg(n + 1)});
    const QList<OutlineLesson> day = dayOutline(prog, "01._deň", "Obsah.txt");
    QCOMPARE(day.size(), kLists + 1);
    for (const OutlineLesson& l : day)
        QVERIFY(l.captions.size() <= kMaxPathCaptions);
    QCOMPARE(day.last().captions,
             (QStringList{"next0", "…", QStringLiteral("next%1").arg(kLists - 4),
                          QStringLiteral("next%1").arg(kLists - 3),
                          QStringLiteral("next%1").arg(kLists - 2),
                          QStringLiteral("next%1").arg(kLists - 1)}));
    const QString learner = dir.path() + "/ziak/";
    QDir().mkpath(learner);
    updateProgress(learner, "Reťaz", [&](ProgressFile& p) {
        p.recordVisit("01._deň", QStringLiteral("l%1.txt").arg(kLists), kWhen);
    });
    const QByteArray html = exportWorkHtml(prog, learner, "Obsah.txt", kWhen, "Ema");
    // About a line per lesson, not a way per lesson.
    QVERIFY2(html.size() < 600 * (kLists + 1), QByteArray::number(html.size()));
    QVERIFY(html.contains("Prečítané lekcie: 1 z 3001."));
}

void TestProgress::exportContent() {
    QTemporaryDir dir;
    const QString prog = dir.path() + "/kurz/";
    const QString learner = dir.path() + "/ziak/";
    writeCourse(prog);
    QDir().mkpath(learner);
    const QString course = courseIdentity(prog);
    QCOMPARE(course, QStringLiteral("Kurz <Práca> & počítač"));
    updateProgress(learner, course, [](ProgressFile& p) {
        p.recordVisit("01._deň", "pribeh.txt", kWhen);
        p.recordTest("02._deň", "skusaj.txt", 4, 5, kWhen);
        p.recordTest("02._deň", "skusaj.txt", 2, 5, kWhen.addDays(1));
        p.recordVisit("09._deň", "stary.txt", kWhen);
        p.recordVisit("01._deň", "ucitel.txt", kWhen);
    });
    writeCourseFile(learner + "pribeh.txt", {"Myš <b>má</b> dve tlačidlá & koliesko."});
    writeCourseFile(learner + "pribeh.htm",
                    {"https://sk.wikipedia.org/wiki/Myš?a=1&b=2", "javascript:alert(1)"});
    writeCourseFile(learner + "01._deň.txt", {"Poznámka dňa"});
    writeCourseFile(learner + "multimed.txt", {"Na hlavnej obrazovke"});

    const QString html =
        QString::fromUtf8(exportWorkHtml(prog, learner, "Obsah.txt", kWhen, "Ema <Nová>"));
    QVERIFY(html.startsWith("<!DOCTYPE html>"));
    // Whose work, and of when, above everything else.
    QVERIFY(html.contains("<title>Ema &lt;Nová&gt; – Kurz &lt;Práca&gt; &amp; počítač</title>"));
    QVERIFY(html.indexOf("<span class=\"name\">Ema &lt;Nová&gt;</span><br>Dátum: 9. 3. 2026") <
            html.indexOf("<h1>"));
    QVERIFY(html.indexOf("<span class=\"name\">") > 0);
    QVERIFY(html.contains("<meta charset=\"utf-8\">"));
    QVERIFY(html.contains("@media print"));
    QVERIFY(html.contains("<h1>Kurz &lt;Práca&gt; &amp; počítač</h1>"));
    QVERIFY(html.contains("Prečítané lekcie: 1 z 5."));
    QVERIFY(html.contains("Myš &lt;b&gt;má&lt;/b&gt; dve tlačidlá &amp; koliesko."));
    QVERIFY(html.contains("<a href=\"https://sk.wikipedia.org/wiki/Myš?a=1&amp;b=2\">"));
    QVERIFY(html.contains("<li>javascript:alert(1)</li>"));
    QVERIFY(!html.contains("href=\"javascript"));
    QVERIFY(html.contains("1. deň › Príbeh"));
    QVERIFY(html.contains("Poznámka dňa"));
    QVERIFY(html.contains("Na hlavnej obrazovke"));
    QVERIFY(html.contains("4 z 5 bodov – 9. 3. 2026 10:15"));
    QVERIFY(html.contains("2 z 5 bodov – 10. 3. 2026 10:15"));
    // Records without a lesson of the learner's go by caption where the
    // course still has one.
    QVERIFY(html.contains("9. deň › stary.txt"));
    QVERIFY(html.contains("<li>1. deň › Vyučujúci: prečítané"));
    QVERIFY(!html.contains("ucitel.txt"));
    QVERIFY(!html.contains("Pre učiteľa"));
    // Course order: the day's note before the story's, day 1 before day 2.
    QVERIFY(html.indexOf("Poznámka dňa") < html.indexOf("Myš &lt;b&gt;"));
    QVERIFY(html.indexOf("Myš &lt;b&gt;") < html.indexOf("4 z 5 bodov"));
    // Without a name the date still heads the page.
    QVERIFY(QString::fromUtf8(exportWorkHtml(prog, learner, "Obsah.txt", kWhen))
                .contains("<p class=\"who\">Dátum: 9. 3. 2026</p>"));
    // The note keeps its lines.
    writeCourseFile(learner + "koniec.txt", {"riadok 1", "riadok 2"});
    QVERIFY(QString::fromUtf8(exportWorkHtml(prog, learner, "Obsah.txt", kWhen))
                .contains("riadok 1\nriadok 2"));

    exportWork(prog, learner, "Obsah.txt", dir.path() + "/out.html");
    QVERIFY(readBytes(dir.path() + "/out.html").contains("Poznámka dňa"));
}

void TestProgress::classReportAndCsv() {
    QTemporaryDir dir;
    const QString prog = dir.path() + "/kurz/";
    writeCourse(prog, "Kurz");
    const QString cls = dir.path() + "/trieda/";
    auto learner = [&](const QString& name, const QString& course,
                       const QList<TestAttempt>& tests) {
        QDir().mkpath(cls + name);
        updateProgress(cls + name + "/", course, [&](ProgressFile& p) {
            for (const TestAttempt& t : tests)
                p.recordTest(t.day, t.list, t.score, t.maximum, t.when);
        });
    };
    learner("Ján Šťastný", "Kurz",
            {{"02._deň", "skusaj.txt", 5, 5, kWhen},
             {"02._deň", "skusaj.txt", 3, 5, kWhen.addDays(1)}});
    learner("=Eva;B", "Kurz",
            {{"02._deň", "SKUSAJ.TXT", 4, 5, kWhen}, {"09", "iny.txt", 1, 2, kWhen}});
    learner("Peter", "Iný kurz", {{"02._deň", "skusaj.txt", 1, 5, kWhen}});
    QDir().mkpath(cls + "prazdny");
    QDir().mkpath(cls + "Adam");

    int calls = 0;
    const ClassReport r =
        buildClassReport(cls, "Kurz", courseOutline(prog, "Obsah.txt"), [&](int, int) {
            ++calls;
            return true;
        });
    QVERIFY(calls >= 1);
    // Every learner's folder has a row; only this course's progress fills it.
    QStringList names, notes;
    for (const LearnerScores& l : r.learners) {
        names << l.name;
        notes << l.note;
    }
    QCOMPARE(names, (QStringList{"=Eva;B", "Adam", "Ján Šťastný", "Peter", "prazdny"}));
    QCOMPARE(notes, (QStringList{"", "ešte nezačal", "", "iný kurz: Iný kurz", "ešte nezačal"}));
    QCOMPARE(r.started(), 2);
    QCOMPARE(r.tests.size(), 2);
    QCOMPARE(r.tests.at(0).caption, QStringLiteral("2. deň › Vyskúšaj sa"));
    QCOMPARE(r.tests.at(1).caption, QStringLiteral("9 › iny.txt"));
    QCOMPARE(r.learners.at(2).last.at(0), std::optional<int>(3));
    QCOMPARE(r.learners.at(2).best.at(0), std::optional<int>(5));
    QCOMPARE(r.learners.at(2).last.at(1), std::optional<int>());
    QCOMPARE(r.learners.at(1).last.at(0), std::optional<int>());
    QCOMPARE(r.average(0), std::optional<double>(3.5));
    QCOMPARE(r.otherCourse, QStringList{"Peter (Iný kurz)"});
    QCOMPARE(r.withoutProgress, (QStringList{"Adam", "prazdny"}));

    const QByteArray csv = classReportCsv(r);
    QCOMPARE(csv, QByteArray(
                      "\xEF\xBB\xBF"
                      "Žiak;2. deň › Vyskúšaj sa – posledný (z 5);2. deň › Vyskúšaj sa – najlepší;"
                      "9 › iny.txt – posledný (z 2);9 › iny.txt – najlepší;Poznámka\r\n"
                      "\"'=Eva;B\";4;4;1;1;\r\n"
                      "Adam;;;;;ešte nezačal\r\n"
                      "Ján Šťastný;3;5;;;\r\n"
                      "Peter;;;;;iný kurz: Iný kurz\r\n"
                      "prazdny;;;;;ešte nezačal\r\n"));
    // A tab or a carriage return first in a cell is guarded like "=".
    ClassReport odd;
    odd.learners << LearnerScores{"\tA", {}, {}, {}} << LearnerScores{"\r=B", {}, {}, {}};
    QCOMPARE(classReportCsv(odd),
             QByteArray("\xEF\xBB\xBFŽiak;Poznámka\r\n'\tA;\r\n\"'\r=B\";\r\n"));

    // Stopping on the way gives a report marked so.
    const ClassReport stopped = buildClassReport(cls, "Kurz", {}, [](int, int) { return false; });
    QVERIFY(stopped.cancelled);
    QVERIFY_THROWS_EXCEPTION(FileError, buildClassReport(dir.path() + "/nie je", "Kurz", {}));
}

// Times are compared and written back as the lines carry them, also in the
// hour the clocks repeat in autumn and the one they skip in spring: the
// learner's own view and the class report agree, and no line changes.
void TestProgress::timesAcrossClockChange() {
    const QByteArray oldTz = qgetenv("TZ");
    const auto restore = qScopeGuard([&] {
        if (oldTz.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", oldTz);
        tzset();
    });
    qputenv("TZ", "Europe/Bratislava");
    tzset();
    QTemporaryDir dir;
    const QString prog = dir.path() + "/kurz/";
    writeCourse(prog, "Kurz");
    const QString learner = dir.path() + "/trieda/Ján/";
    QDir().mkpath(learner);
    const QByteArray lines = "C\tKurz\r\n"
                             "T\t02._deň\tskusaj.txt\t4\t5\t2026-10-25T02:15:00\r\n"
                             "T\t02._deň\tskusaj.txt\t2\t5\t2026-10-25T02:45:00\r\n"
                             "V\t01._deň\tpribeh.txt\t2026-03-29T02:30:00\r\n"
                             "T\t02._deň\tskusaj.txt\t3\t5\t2026-03-29T02:30:00\r\n";
    writeBytes(learner + "#postup.txt", encode1250(QString::fromUtf8(lines), learner));

    const ProgressFile p = readProgress(learner, "Kurz");
    QCOMPARE(p.damagedLines(), 0);
    QVERIFY(p.wasRead("01._deň", "pribeh.txt"));
    QCOMPARE(p.lastTest("02._deň", "skusaj.txt")->score, 2);
    const ClassReport r =
        buildClassReport(dir.path() + "/trieda", "Kurz", courseOutline(prog, "Obsah.txt"));
    QCOMPARE(r.learners.size(), 1);
    QCOMPARE(r.learners.at(0).last.at(0), std::optional<int>(2));
    QCOMPARE(r.learners.at(0).best.at(0), std::optional<int>(4));

    updateProgress(learner, "Kurz",
                   [](ProgressFile& f) { f.recordVisit("01._deň", "koniec.txt", kWhen); });
    QCOMPARE(
        readBytes(learner + "#postup.txt"),
        encode1250(QString::fromUtf8(lines) + "V\t01._deň\tkoniec.txt\t2026-03-09T10:15:30\r\n",
                   learner));
}

// The class overview reads each file once: a course line anywhere in it
// decides whose file it is, and a test is one column however its names are
// spelled, while a learner's tests outside the course stay bounded.
void TestProgress::classReportSpellingsAndCourseLines() {
    QTemporaryDir dir;
    const QString prog = dir.path() + "/kurz/";
    writeCourse(prog, "Kurz");
    const QString cls = dir.path() + "/trieda/";
    auto learner = [&](const QString& name, const QByteArray& lines) {
        QDir().mkpath(cls + name);
        writeBytes(cls + name + "/#postup.txt", lines);
    };
    const QByteArray test = "T\t02._de\xf2\tskusaj.txt\t4\t5\t2026-03-09T10:15:30\r\n";
    learner("A", test + "C\tIn\xfd kurz\r\n");
    learner("B", test + "C\tKurz\r\n");
    learner("C", "C\tKurz\r\nT\t02._DE\xd2\tSKUSAJ.TXT\t2\t5\t2026-03-10T10:15:30\r\n");
    QByteArray many = "C\tKurz\r\n";
    for (int i = 0; i < kMaxTestsOutsideCourse + 50; ++i)
        many += "T\t09\tt" + QByteArray::number(i) + ".txt\t1\t1\t2026-03-09T10:15:30\r\n";
    learner("D", many + test);
    // A file longer than the pieces it is read in, its lines ended every
    // way: one CR LF split between two pieces, one test line across them.
    QByteArray big = "C\tKurz\n";
    const QByteArray visit = "V\t01\tlekcia.txt\t2026-03-09T10:15:30";
    for (int i = 0; big.size() < 65000; ++i)
        big += visit + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\n" : "\r\n");
    big += "V\t01\t" + QByteArray(65535 - big.size() - visit.size(), 'x') + visit.mid(5) + "\r\n";
    QCOMPARE(big.indexOf("\r\n", 65000), 65535);
    big += "T\t02._de\xf2\tskusaj.txt\t5\t5\t2026-03-11T10:15:30\r";
    while (big.size() < 131072 - 20)
        big += visit + "\n";
    big += "T\t02._de\xf2\tskusaj.txt\t3\t5\t2026-03-12T10:15:30\r\n" + visit;
    learner("E", big);
    // Only files are progress files: a folder named like one is passed over.
    QDir().mkpath(cls + "F/#postup.txt");
    writeBytes(cls + "F/#Postup-2.txt", "C\tKurz\r\n" + test);
    writeBytes(cls + "F/#poznamka.txt", test);

    const ClassReport r = buildClassReport(cls, "Kurz", courseOutline(prog, "Obsah.txt"));
    QCOMPARE(r.learners.at(4).last.at(0), std::optional<int>(3));
    QCOMPARE(r.learners.at(4).best.at(0), std::optional<int>(5));
    QCOMPARE(r.learners.at(5).last.at(0), std::optional<int>(4));
    QCOMPARE(r.tests.size(), 1 + kMaxTestsOutsideCourse);
    QCOMPARE(r.tests.at(0).caption, QStringLiteral("2. deň › Vyskúšaj sa"));
    QCOMPARE(r.learners.at(0).note, QStringLiteral("iný kurz: Iný kurz"));
    QCOMPARE(r.learners.at(0).last.at(0), std::optional<int>());
    QCOMPARE(r.learners.at(1).last.at(0), std::optional<int>(4));
    QCOMPARE(r.learners.at(2).last.at(0), std::optional<int>(2));
    QCOMPARE(r.learners.at(3).last.at(0), std::optional<int>(4));
    QCOMPARE(r.learners.at(3).last.at(kMaxTestsOutsideCourse), std::optional<int>(1));
    QCOMPARE(r.started(), 5);
}

void TestProgress::commandLine() {
    QTemporaryDir dir;
    const QString prog = dir.path() + "/kurz/";
    const QString temp = dir.path() + "/temp/";
    writeCourse(prog, "Kurz");
    writeCourseFile(prog + "CONFIG.TXT", {"*NAME*Kurz", "*PATH TEMP*" + temp});
    QDir().mkpath(temp);
    updateProgress(temp, "Kurz",
                   [](ProgressFile& p) { p.recordTest("02._deň", "skusaj.txt", 4, 5, kWhen); });
    writeCourseFile(temp + "skusaj.txt", {"moja poznámka"});
    QDir().mkpath(dir.path() + "/trieda/Ján");
    QFile::copy(temp + "#postup.txt", dir.path() + "/trieda/Ján/#postup.txt");

    QString said;
    auto run = [&](const QStringList& args, const QString& cwd) {
        QProcess p;
        p.setWorkingDirectory(cwd);
        // A name kept in the settings of whoever runs the tests is not ours.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ORBINO_BINARY), args);
        p.waitForFinished(60000);
        said = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitCode();
    };
    QCOMPARE(run({"--export-work", dir.path() + "/praca.html", "--course", prog}, dir.path()), 0);
    const QString html = QString::fromUtf8(readBytes(dir.path() + "/praca.html"));
    QVERIFY(html.contains("moja poznámka"));
    QVERIFY(html.contains("4 z 5 bodov"));
    QVERIFY(html.contains("<span class=\"name\">" + accountName().toHtmlEscaped() + "</span>"));

    QCOMPARE(run({"--class-report", dir.path() + "/trieda", "--csv", "out.csv"}, prog), 0);
    QCOMPARE(readBytes(prog + "out.csv"),
             QByteArray("\xEF\xBB\xBFŽiak;2. deň › Vyskúšaj sa – posledný (z 5);2. deň › Vyskúšaj "
                        "sa – najlepší;Poznámka\r\n"
                        "Ján;4;4;\r\n"));
    // Without --csv the table is shown, a learner who has not begun included.
    QDir().mkpath(dir.path() + "/trieda/Ema");
    QCOMPARE(run({"--class-report", dir.path() + "/trieda"}, prog), 0);
    QVERIFY2(said.contains("T1 = 2. deň › Vyskúšaj sa (najviac 5)"), qPrintable(said));
    QVERIFY2(said.contains(QRegularExpression("\nEma +ešte nezačal\n")), qPrintable(said));
    QVERIFY2(said.contains(QRegularExpression("\nJán +4 +4\n")), qPrintable(said));
    // Fresh folders only: nothing of this course to show.
    QDir().mkpath(dir.path() + "/nova/Ema");
    QDir().mkpath(dir.path() + "/nova/Jozef");
    QCOMPARE(run({"--class-report", dir.path() + "/nova", "--csv", "nova.csv"}, prog), 1);
    QVERIFY2(
        said.contains("žiadny priečinok žiaka nemá postup kurzu „Kurz“ (priečinkov žiakov: 2)"),
        qPrintable(said));
    QVERIFY(!QFile::exists(prog + "nova.csv"));
    QCOMPARE(run({"--export-work"}, prog), 2);
    QCOMPARE(run({"--class-report", dir.path() + "/nie je", "--csv", "x.csv"}, prog), 1);
}

void TestProgress::largeProgressFiles() {
    QTemporaryDir dir;
    const QString f = dir.path() + "/ziak/";
    QDir().mkpath(f);
    // Lines no version writes, past the size a course file may have: they are
    // the learner's own file, so they are read, kept and written back.
    auto writeLarge = [&](qint64 bytes) {
        QFile out(f + "#postup.txt");
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write("C\tKurz\r\nT\t02._deň\tskusaj.txt\t3\t5\t2026-03-09T10:15:30\r\n");
        const QByteArray line = QByteArray(1000, 'x') + "\r\n";
        for (qint64 n = 0; n < bytes / line.size(); ++n)
            out.write(line);
        out.write("T\t02._deň\tskusaj.txt\t4\t5\t2026-03-10T10:15:30\r\n");
    };
    writeLarge(kMaxTextFileBytes + 1024 * 1024);
    const qint64 size = QFileInfo(f + "#postup.txt").size();
    QCOMPARE(progressPathFor(f, "Kurz"), f + "#postup.txt");
    updateProgress(f, "Kurz", [](ProgressFile& p) { p.recordVisit("01._deň", "a.txt", kWhen); });
    QCOMPARE(filesIn(f), QStringList{"#postup.txt"});
    QVERIFY(QFileInfo(f + "#postup.txt").size() > size);
    const ProgressFile back = readProgress(f, "Kurz");
    QCOMPARE(back.tests().size(), 2);
    QVERIFY(back.wasRead("01._deň", "a.txt"));

    // Larger than the program changes in memory: the file stays as it is, no
    // second file takes its place, and the write says so.
    writeLarge(kMaxProgressFileBytes + 1024 * 1024);
    const QByteArray before =
        QCryptographicHash::hash(readBytes(f + "#postup.txt"), QCryptographicHash::Sha1);
    try {
        updateProgress(f, "Kurz",
                       [](ProgressFile& p) { p.recordVisit("01._deň", "b.txt", kWhen); });
        QFAIL("a file too large to rewrite was rewritten");
    } catch (const FileError& e) {
        QVERIFY2(e.message().contains("nový postup sa doň nezapíše"), qPrintable(e.message()));
    }
    QCOMPARE(filesIn(f), QStringList{"#postup.txt"});
    QCOMPARE(QCryptographicHash::hash(readBytes(f + "#postup.txt"), QCryptographicHash::Sha1),
             before);
    // The class overview reads it line by line, to its last test.
    const ClassReport r = buildClassReport(dir.path(), "Kurz", {});
    QCOMPARE(r.started(), 1);
    QCOMPARE(r.learners.at(0).last.value(0), std::optional<int>(4));
    QCOMPARE(r.learners.at(0).best.value(0), std::optional<int>(4));
    QVERIFY(r.unreadable.isEmpty());
}

QTEST_APPLESS_MAIN(TestProgress)
#include "tst_progress.moc"
