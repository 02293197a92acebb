// The learner's progress in the running windows, on a copy of the sample
// course: visits and a test recorded, the day button's read count, the last
// score on the test screen, the export through the menu (also from a level
// window, which is a clone), and the teacher's class overview.
#include "app/app_state.h"
#include "app/keyboard_window.h"
#include "app/main_window.h"
#include "content/exercise_window.h"
#include "platform/dialogs_window.h"
#include "platform/textfile.h"
#include "support/windows.h"
#include "testsupport.h"
#include "tools/class_window.h"
#include "tools/progress.h"
#include "tools/work_export.h"
#include "tools/work_export_window.h"
#include "tree/tree_window.h"

#include <QChartView>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <deque>
#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(dst);
        else
            QFile::copy(src, dst);
    }
}

// The sample course with its learner's folder in the test's own folder.
struct Sample {
    QTemporaryDir dir;
    QString prog, temp;
    TestState t{QString(), QString()};
    ScriptedModal runner;
    std::unique_ptr<TForm1> main;

    Sample() {
        runner.stepsOnly = &TForm1::staticMetaObject; // other windows go to the script
        prog = dir.path() + "/kurz/";
        temp = dir.path() + "/temp/";
        QDir().mkpath(temp);
        copyTree(QStringLiteral(ORBINO_EXAMPLES "/course"), dir.path() + "/kurz");
        QByteArray cfg = readBytes(prog + "CONFIG.TXT");
        cfg += encode1250("*PATH TEMP*" + temp + "\r\n", prog);
        writeBytes(prog + "CONFIG.TXT", cfg);
        t.system.metrics = {1024, 768, 96};
        QDir::setCurrent(prog);
        main = std::make_unique<TForm1>(t.st, runner, true);
        main->guard([&] { main->FormCreate({}); });
        main->guard([&] { main->FormActivate(); });
    }
    QPushButton* dayButton(const QString& caption) { return test::dayButton(main.get(), caption); }
    static QPushButton* item(TForm1* w, const QString& caption) {
        for (auto* b : child<QWidget>(w, "centralwidget")
                           ->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            if (b->property("runtime").toBool() && b->text().trimmed() == caption)
                return b;
        return nullptr;
    }
    ProgressFile progress() { return readProgress(temp, courseIdentity(prog)); }
};

// The read-count label of a day, found by what it says for assistive tools.
QLabel* dayLabel(TForm1* main, const QString& day) {
    for (auto* l : child<QWidget>(main, "centralwidget")->findChildren<QLabel*>())
        if (l->objectName().startsWith("DayProgress") && l->accessibleName().startsWith(day + ":"))
            return l;
    return nullptr;
}

QLabel* lastScore(TForm1* w) {
    return child<QWidget>(w, "centralwidget")->findChild<QLabel*>("LastScore");
}

} // namespace

class TestUiProgress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void testTakenTwiceAndDayLabel();
    void exportFromLevelWindow();
    void classOverview();
    void writeFailureReportedOnce();
};

void TestUiProgress::testTakenTwiceAndDayLabel() {
    Sample s;
    QPushButton* day4 = s.dayButton("  4. deň");
    QVERIFY(day4);
    QVERIFY(!dayLabel(s.main.get(), "4. deň"));

    QStringList lastTexts;
    auto takeTest = [&](const QString& answers) {
        s.runner.step<TForm1>([&, answers](TForm1* w2) {
            s.runner.step<TForm1>([&, answers](TForm1* w3) {
                QLabel* l = lastScore(w3);
                lastTexts << (l && !l->isHidden() ? l->text() : QString());
                s.runner.script = [answers](QWidget* w) {
                    auto* u = qobject_cast<TOknoUlohy*>(w);
                    QVERIFY(u);
                    for (QChar a : answers)
                        if (!u->evaluated())
                            QTest::mouseClick(a == u'A' ? child<QPushButton>(u, "Button1")
                                                        : child<QPushButton>(u, "Button2"),
                                              Qt::LeftButton);
                    QVERIFY(u->evaluated());
                };
                child<QPushButton>(w3, "Zadanie")->click();
                // The evaluation shows this attempt; the old line goes.
                QVERIFY(!lastScore(w3) || lastScore(w3)->isHidden());
                child<QToolButton>(w3, "SpeedButton1")->click();
            });
            QPushButton* test = Sample::item(w2, "Vyskúšaj sa");
            QVERIFY(test);
            test->click();
            child<QToolButton>(w2, "SpeedButton1")->click();
        });
        day4->click();
    };
    takeTest("AANAA"); // 1 + 1 + 0 + 2 of 5
    takeTest("AAAAA");
    QCOMPARE(lastTexts.size(), 2);
    QCOMPARE(lastTexts.at(0), QString());
    QVERIFY2(lastTexts.at(1).startsWith("Naposledy: 4 z 5 bodov ("), qPrintable(lastTexts.at(1)));

    const ProgressFile p = s.progress();
    const QList<TestAttempt> tests = p.tests();
    QCOMPARE(tests.size(), 2);
    QCOMPARE(tests.at(0).score, 4);
    QCOMPARE(tests.at(1).score, 5);
    QCOMPARE(tests.at(1).maximum, 5);
    QCOMPARE(tests.at(1).day, QStringLiteral("04._deň"));
    QCOMPARE(tests.at(1).list, QStringLiteral("skusaj.txt"));
    QVERIFY(p.wasRead("04._deň", "Obsah.txt"));
    QCOMPARE(p.visits().size(), 2);

    // The tree of day 4 marks the read screens and the last score.
    QStringList treeTexts;
    QString spoken;
    s.runner.step<TForm1>([&](TForm1* w2) {
        TOknoHladaj tree(*w2);
        tree.FormActivate();
        QTreeWidgetItemIterator it(child<QTreeWidget>(&tree, "TreeView1"));
        for (; *it; ++it)
            treeTexts << (*it)->text(0);
        spoken = child<QTreeWidget>(&tree, "TreeView1")
                     ->topLevelItem(0)
                     ->child(0)
                     ->data(0, Qt::AccessibleTextRole)
                     .toString();
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    day4->click();
    QCOMPARE(treeTexts.value(0), QStringLiteral("4. deň  ✓"));
    QVERIFY2(treeTexts.contains(QStringLiteral("Vyskúšaj sa  ✓  (naposledy 5 z 5)")),
             qPrintable(treeTexts.join('|')));
    QCOMPARE(spoken, QStringLiteral("Vyskúšaj sa, prečítané, posledný test 5 z 5 bodov"));

    // Back on the main screen: day 4 is read whole; its caption is untouched.
    s.main->guard([&] { s.main->FormActivate(); }); // a return to the main screen
    QLabel* label = dayLabel(s.main.get(), "4. deň");
    QVERIFY(label);
    QVERIFY(!label->isHidden());
    QCOMPARE(label->text(), QStringLiteral("✓"));
    QCOMPARE(label->accessibleName(), QStringLiteral("4. deň: všetky lekcie prečítané"));
    QCOMPARE(day4->text(), QStringLiteral("  4. deň"));
    QVERIFY(label->geometry().right() < day4->geometry().left());

    // One lesson of day 1 read: "1/7" (its first screen and six lessons).
    updateProgress(s.temp, courseIdentity(s.prog), [](ProgressFile& f) {
        f.recordVisit("01._deň", "pribeh.txt", QDateTime::currentDateTime());
    });
    s.main->guard([&] { s.main->FormActivate(); }); // a return to the main screen
    QLabel* label1 = dayLabel(s.main.get(), "1. deň");
    QVERIFY(label1);
    QCOMPARE(label1->text(), QStringLiteral("1/7"));
    QCOMPARE(label1->accessibleName(), QStringLiteral("1. deň: prečítané lekcie 1 z 7"));
    QVERIFY(s.t.prompter.shown.empty());
}

void TestUiProgress::exportFromLevelWindow() {
    Sample s;
    // A note of day 1's first screen and of its story, an own link.
    writeCourseFile(s.temp + "01._deň.txt", {"Prvý deň <ľahký>"});
    writeCourseFile(s.temp + "pribeh.htm", {"https://sk.wikipedia.org/wiki/Myš"});
    // The main window offers the export too.
    QVERIFY(child<QAction>(s.main, "Export1")->isEnabled());
    QVERIFY(child<QMenu>(s.main, "Vlastn1")->actions().contains(child<QAction>(s.main, "Export1")));
    QVERIFY(child<QMenu>(s.main, "Pomocnk1")
                ->actions()
                .contains(child<QAction>(s.main, "Prehladtriedy1")));
    const QString target = s.dir.path() + "/domov/praca";
    QDir().mkpath(s.dir.path() + "/domov");
    s.t.prompter.paths.push_back(target);
    s.runner.step<TForm1>([&](TForm1* w2) {
        // The level window is a clone made from the form file: the action is there.
        QCOMPARE(configuredText(*child<QAction>(w2, "Export1")),
                 QStringLiteral("Export mojej práce"));
        QVERIFY(child<QAction>(w2, "Export1")->isEnabled());
        QVERIFY(child<QAction>(w2, "Export1")->isVisible());
        // First the name the page is signed with: the account's, changed here.
        rememberLearnerName(QString()); // nothing kept from an earlier run
        s.runner.script = [](QWidget* w) {
            auto* ask = qobject_cast<TOknoMenoZiaka*>(w);
            QVERIFY(ask);
            QCOMPARE(ask->edit->text(), accountName());
            QCOMPARE(ask->edit->accessibleName(), QStringLiteral("Meno žiaka"));
            ask->edit->setText("  Ema\tNová ");
            ask->okButton->click();
        };
        child<QAction>(w2, "Export1")->trigger();
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    s.dayButton("  1. deň")->click();
    QCOMPARE(s.t.prompter.fileAsks.size(), size_t(1));
    QCOMPARE(s.t.prompter.fileAsks.at(0).start, QDir::homePath() + "/moja_praca.html");
    const QString html = QString::fromUtf8(readBytes(target + ".html"));
    QVERIFY2(html.contains("<h1>Práca s počítačom pre základné školy</h1>"),
             qPrintable(html.left(1500)));
    QVERIFY(html.contains("Prvý deň &lt;ľahký&gt;"));
    QVERIFY(html.contains("<a href=\"https://sk.wikipedia.org/wiki/Myš\">"));
    QVERIFY(html.contains("✓ Prečítané"));
    QVERIFY(html.contains("<span class=\"name\">Ema Nová</span><br>Dátum: "));
    QCOMPARE(learnerName(), QStringLiteral("Ema Nová")); // offered next time
    QCOMPARE(s.t.prompter.texts().last(), "Vaša práca je uložená v súbore " + target + ".html.");
    // Cancelled at the name or at the file: nothing written, nothing said.
    const size_t said = s.t.prompter.shown.size();
    const size_t asked = s.t.prompter.fileAsks.size();
    s.runner.script = [](QWidget* w) {
        auto* ask = qobject_cast<TOknoMenoZiaka*>(w);
        QVERIFY(ask);
        QCOMPARE(ask->edit->text(), QStringLiteral("Ema Nová"));
        ask->cancelButton->click();
    };
    child<QAction>(s.main, "Export1")->trigger();
    QCOMPARE(s.t.prompter.fileAsks.size(), asked);
    s.runner.script = [](QWidget* w) { qobject_cast<TOknoMenoZiaka*>(w)->okButton->click(); };
    child<QAction>(s.main, "Export1")->trigger();
    QCOMPARE(s.t.prompter.shown.size(), said);
}

void TestUiProgress::classOverview() {
    Sample s;
    const QString course = courseIdentity(s.prog);
    const QString cls = s.dir.path() + "/trieda 7.A/";
    const QDateTime when(QDate(2026, 5, 4), QTime(9, 0));
    auto learner = [&](const QString& name, const QString& c, QList<int> scores) {
        QDir().mkpath(cls + name);
        updateProgress(cls + name + "/", c, [&](ProgressFile& p) {
            for (int i = 0; i < scores.size(); ++i)
                p.recordTest("04._deň", "skusaj.txt", scores.at(i), 5, when.addSecs(i));
        });
    };
    learner("Ján Šťastný", course, {2, 5});
    learner("Zuzana Malá", course, {3});
    learner("Ábel", course, {1, 4, 2});
    learner("Iný", "Iný kurz", {5});
    QDir().mkpath(cls + "Nováčik");

    s.t.st.teacherLoggedIn = true;
    s.t.prompter.paths = {cls, s.dir.path() + "/trieda.csv"};
    int rows = -1;
    QString note, first;
    s.runner.script = [&](QWidget* w) {
        auto* t = qobject_cast<TOknoTrieda*>(w);
        QVERIFY(t);
        t->waitUntilFilled();
        QVERIFY(t->progress->isHidden());
        rows = t->table->rowCount();
        QCOMPARE(t->table->columnCount(), 4);
        // Sorted by the last score, highest first.
        t->table->sortItems(1, Qt::DescendingOrder);
        first = t->table->item(0, 0)->text();
        QCOMPARE(t->table->item(0, 1)->data(Qt::DisplayRole).toInt(), 5);
        QCOMPARE(t->table->item(2, 2)->data(Qt::DisplayRole).toInt(), 4); // Ábel: last 2, best 4
        note = t->note->text();
        QVERIFY(t->exportButton->isEnabled());
        t->exportButton->click();
        QVERIFY(t->chart->chart());
    };
    child<QAction>(s.main, "Prehladtriedy1")->trigger();
    QCOMPARE(rows, 5);
    QCOMPARE(first, QStringLiteral("Ján Šťastný"));
    QVERIFY2(note.contains("Vynechané súbory postupu iného kurzu: Iný (Iný kurz)."),
             qPrintable(note + "|" + course));
    QCOMPARE(s.t.prompter.fileAsks.at(0).start, QDir::homePath());
    const QByteArray csv = readBytes(s.dir.path() + "/trieda.csv");
    QVERIFY(csv.startsWith("\xEF\xBB\xBFŽiak;4. deň › Vyskúšaj sa – posledný (z 5);"));
    QVERIFY(csv.contains("\r\nÁbel;2;4;\r\n"));
    QVERIFY(csv.contains("\r\nJán Šťastný;5;5;\r\n"));
    QVERIFY(csv.contains("\r\nIný;;;iný kurz: Iný kurz\r\n"));
    QVERIFY(csv.contains("\r\nNováčik;;;ešte nezačal\r\n"));
    QVERIFY(csv.endsWith("Zuzana Malá;3;3;\r\n"));

    // Without the teacher's password nothing opens.
    s.t.st.teacherLoggedIn = false;
    s.runner.script = [](QWidget* w) { QVERIFY(!qobject_cast<TOknoTrieda*>(w)); };
    const size_t asked = s.t.prompter.fileAsks.size();
    child<QAction>(s.main, "Prehladtriedy1")->trigger();
    QCOMPARE(s.t.prompter.fileAsks.size(), asked);
}

void TestUiProgress::writeFailureReportedOnce() {
    Sample s;
    // A folder where the progress file should be: every write fails.
    QDir().mkpath(s.temp + "#postup.txt");
    s.runner.step<TForm1>([&](TForm1* w2) {
        QPushButton* story = Sample::item(w2, "Príbeh");
        QVERIFY(story);
        s.runner.step<TForm1>([](TForm1* w3) { child<QToolButton>(w3, "SpeedButton1")->click(); });
        story->click();
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    s.dayButton("  1. deň")->click();
    int reports = 0;
    for (const QString& t : s.t.prompter.texts())
        if (t.startsWith("Postup sa nedá zapísať"))
            ++reports;
    QCOMPARE(reports, 1);
}

QTEST_MAIN(TestUiProgress)
#include "tst_ui_progress.moc"
