// A test-yourself screen on a real level window (offscreen): the exercise
// window, the answers, the evaluation written onto the screen, the solution
// demonstrations behind the day's password.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/exercise_window.h"
#include "content/password_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/rtf_reader.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

void writePicture(const QString& path, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QVERIFY(img.save(path, "BMP"));
}

// A day folder with a test-yourself screen on level 3: the nine-exercise
// text, solutions for exercises 1 to 4 only, the evaluation pictures.
struct TestScreen {
    QTemporaryDir dir;
    QString prog, folder;
    std::unique_ptr<TestState> ts;
    ScriptedModal modal{false}; // windows stay hidden
    std::unique_ptr<TForm1> form;
    QList<QPushButton*> buttons;

    explicit TestScreen(int scale = 10, bool pictures = true) {
        prog = dir.path() + "/kurz/";
        folder = prog + "04._deň/";
        QDir().mkpath(folder);
        QDir().mkpath(dir.path() + "/temp");
        writeCourseFile(prog + "CONFIG.TXT", {});
        writeCourseFile(folder + "skusaj.txt", {"<Test>", "[Ukážka riešenia úlohy 1] Ries1.scm"});
        QFile::copy(QStringLiteral(ORBINO_TEST_DATA "/exercises/nine.rtf"), folder + "Skusaj.RTF");
        writeBytes(prog + "Zadanie.rtf",
                   "{\\rtf1\\ansi Zadanie: pre\\'e8\\'edtaj si \\'falohy.\\par}");
        writeBytes(prog + "SCPLAYER.EXE", "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(prog + "SCPLAYER.EXE",
                              QFile::permissions(prog + "SCPLAYER.EXE") | QFile::ExeOwner);
        writeBytes(prog + "Zadanie2.rtf", "{\\rtf1\\ansi Hodnotenie je hotov\\'e9.\\par}");
        if (pictures) {
            writePicture(prog + "hodnotD.bmp", 60, 80); // case differs from the name asked for
            writePicture(prog + "hodnotD2.BMP", 32, 32);
            writePicture(prog + "hodnotZ.BMP", 50, 70);
            writePicture(prog + "hodnotZ2.BMP", 30, 30);
        }
        ts = std::make_unique<TestState>(prog, dir.path() + "/temp");
        AppState& st = ts->st;
        st.scale = scale;
        st.playerFolder = dir.path() + "/kurz";
        st.levels.restore(3);
        st.levels.restorePlace(1, "04._deň", st.levels.listFile(1));
        st.levels.restorePlace(3, "04._deň", "SKUSAJ.TXT");
        st.selectedItem = 4;
        st.testYourselfFlag = true;
        form = std::make_unique<TForm1>(st, modal, false);
        form->level = 3;
        form->resize(1000, 740);
        child<QTextEdit>(form, "Memo1")->setGeometry(16, 266, 560, 330);
        child<QTextEdit>(form, "Memo1")->setEnabled(true);
        child<QTextEdit>(form, "Memo2")->setGeometry(16, 88, 520, 160);
        child<QTextEdit>(form, "Memo2")->show();
        child<QPushButton>(form, "Zadanie")->show();
        form->ObnovMemo();
        // Four solution buttons, hidden until the test is done, with their markers.
        for (int k = 1; k <= 4; ++k) {
            auto* b = new QPushButton(QString("Ukážka riešenia úlohy %1").arg(k),
                                      child<QWidget>(form, "centralwidget"));
            b->setProperty("tag", k);
            b->setGeometry(780, 100 + 50 * k, 190, 37);
            b->hide();
            buttons << b;
            auto* marker = new QLabel(child<QWidget>(form, "centralwidget"));
            marker->setGeometry(750, 105 + 50 * k, 30, 37);
            marker->hide();
            form->solutionMarkers << marker;
        }
        form->show();
    }

    // Answers each exercise as `answers` says (A = "Áno", N = "Nie").
    void answerWith(const QString& answers) {
        modal.answer = [answers](QWidget* w) {
            auto* u = qobject_cast<TOknoUlohy*>(w);
            if (!u)
                return 0;
            for (QChar a : answers) {
                if (u->evaluated())
                    break;
                QTest::mouseClick(a == u'A' ? child<QPushButton>(u, "Button1")
                                            : child<QPushButton>(u, "Button2"),
                                  Qt::LeftButton);
            }
            return u->result();
        };
    }
};

} // namespace

class TestUiExercises : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void exerciseWindowShowsOneByOne() {
        TestScreen s;
        TOknoUlohy w(*s.form);
        w.FormCreate();
        QCOMPARE(w.windowTitle(), QString("Úlohy"));
        QCOMPARE(child<QLabel>(&w, "Label2")->text(), QString("Vyrieš nasledovnú úlohu č. 1:"));
        QCOMPARE(plainLines(*child<QTextEdit>(&w, "Memo1")->document()),
                 (QStringList{"1. Zapni počítač a prihlás sa.", "", "    1 bod"}));
        QCOMPARE(child<QTextEdit>(&w, "Memo1")->font().pointSize(), 12);
        QCOMPARE(child<QPushButton>(&w, "Button3")->geometry(), QRect(256, 304, 193, 25));
        // A larger window gives its room to the exercise's text; the buttons
        // keep their places at its bottom, never smaller than designed.
        w.show();
        w.resize(653, 454);
        QCOMPARE(child<QTextEdit>(&w, "Memo1")->geometry(), QRect(16, 48, 625, 237));
        QCOMPARE(child<QPushButton>(&w, "Button1")->geometry(), QRect(48, 332, 75, 25));
        QCOMPARE(child<QPushButton>(&w, "Button3")->geometry(), QRect(456, 404, 193, 25));
        w.resize(300, 200);
        QCOMPARE(w.size(), QSize(453, 354));
        QCOMPARE(child<QPushButton>(&w, "Button3")->geometry(), QRect(256, 304, 193, 25));
        w.hide();
        w.Button1Click();
        QCOMPARE(child<QLabel>(&w, "Label2")->text(), QString("Vyrieš nasledovnú úlohu č. 2:"));
        QCOMPARE(plainLines(*child<QTextEdit>(&w, "Memo1")->document()).first(),
                 QString("2. Otvor priečinok Dokumenty."));
        // Esc does not end it: only the evaluation does.
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.evaluated());
        QCOMPARE(w.test()->score(), 1);
    }

    void fullRun_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("scoreLine");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QStringList>("column");
        QTest::addColumn<QList<bool>>("markers");
        QTest::newRow("all Nie, 1024 wide")
            << 12 << "NNNNNNNNN"
            << "Pri riešení úloh si získal: 0 bodov"
            << "Pre slabých tu nie je miesto. Letíš do vesmíru aj so zvyškami rakety!"
            << QSize(50, 70) << QStringList{"0", "0", "0", "0", "0", "0", "0", "0", "0"}
            << QList<bool>{true, true, true, true};
        QTest::newRow("score 3: Z pictures")
            << 10 << "NNNANNNNN"
            << "Pri riešení úloh si získal: 3 body"
            << "Pracuj na sebe, inak budeš iba čistiť raketu" << QSize(50, 70)
            << QStringList{"0", "0", "0", "3", "0", "0", "0", "0", "0"}
            << QList<bool>{true, true, true, false};
        QTest::newRow("score 4: D pictures")
            << 10 << "ANNANNNNN"
            << "Pri riešení úloh si získal: 4 body"
            << QString("Bude z") + QChar(0x00A0) + "teba úspešný prvý poradca kapitána"
            << QSize(60, 80) << QStringList{"1", "0", "0", "3", "0", "0", "0", "0", "0"}
            << QList<bool>{false, true, true, false};
        QTest::newRow("above 5") << 12 << "AAAAAAAAA"
                                 << "Pri riešení úloh si získal: 15 bodov"
                                 << "Si zrelý stať sa kapitánom vesmírneho tímu" << QSize(60, 80)
                                 << QStringList{"1", "2", "1", "3", "1", "0", "2", "1", "4"}
                                 << QList<bool>{false, false, false, false};
    }
    void fullRun() {
        QFETCH(int, scale);
        QFETCH(QString, answers);
        QFETCH(QString, scoreLine);
        QFETCH(QString, verdict);
        QFETCH(QSize, picture);
        QFETCH(QStringList, column);
        QFETCH(QList<bool>, markers);
        TestScreen s(scale);
        QApplication::clipboard()->setText("moje poznámky");
        s.answerWith(answers);
        const QRect memo1Before = child<QTextEdit>(s.form, "Memo1")->geometry();
        const QRect memo2Before = child<QTextEdit>(s.form, "Memo2")->geometry();
        s.form->guard([&] { child<QAbstractButton>(s.form, "Zadanie")->click(); });
        QVERIFY2(s.ts->prompter.shown.empty(), qPrintable(s.ts->prompter.texts().join("; ")));
        QCOMPARE(s.modal.opened, QStringList{"TOknoUlohy"});

        QCOMPARE(child<QLabel>(s.form, "Label13")->text(), QString("Vyhodnotenie"));
        QCOMPARE(child<QLabel>(s.form, "Label13")->x(), 40);
        QCOMPARE(child<QLabel>(s.form, "Label14")->text(), scoreLine);
        QCOMPARE(child<QLabel>(s.form, "Label15")->text(), verdict);
        QCOMPARE(child<QLabel>(s.form, "Label14")->y(), child<QLabel>(s.form, "Label13")->y() + 50);
        QCOMPARE(child<QLabel>(s.form, "Label15")->x(), 40);
        QVERIFY(child<QLabel>(s.form, "Label13")->isVisible() &&
                child<QLabel>(s.form, "Label14")->isVisible() &&
                child<QLabel>(s.form, "Label15")->isVisible());
        QCOMPARE(child<QLabel>(s.form, "Image2")->pixmap().size(), picture);
        QVERIFY(child<QLabel>(s.form, "Image2")->isVisible() &&
                child<QLabel>(s.form, "Image3")->isVisible());

        QCOMPARE(child<QTextEdit>(s.form, "Memo1")->geometry(),
                 memo1Before.adjusted(0, 20, 0, scale == 12 ? 2 : 0)); // 20 down, 20 or 18 shorter
        const QRect m1 = child<QTextEdit>(s.form, "Memo1")->geometry();
        QCOMPARE(child<QTextEdit>(s.form, "Memo3")->geometry(),
                 QRect(m1.right() + 1 - (scale == 12 ? 11 : 25), m1.y() + 5, 35, m1.height() - 5));
        QVERIFY(child<QTextEdit>(s.form, "Memo3")->isVisible());
        QCOMPARE(plainLines(*child<QTextEdit>(s.form, "Memo3")->document()), column);
        QCOMPARE(child<QTextEdit>(s.form, "Memo2")->geometry(),
                 QRect(memo2Before.x(), memo2Before.y() + 80, scale == 12 ? 520 : 530, 90));
        QCOMPARE(plainLines(*child<QTextEdit>(s.form, "Memo2")->document()),
                 QStringList{"Hodnotenie je hotové."});
        const QRect m4 = child<QPlainTextEdit>(s.form, "Memo4")->geometry();
        const int right2 = child<QTextEdit>(s.form, "Memo2")->geometry().right() + 1;
        QCOMPARE(m4.x(), right2 - (scale == 12 ? 45 : 170));
        QCOMPARE(m4.width(), 170);
        QCOMPARE(m4.y(), m1.y() - 28);
        QCOMPARE(child<QPlainTextEdit>(s.form, "Memo4")->toPlainText(),
                 scale == 12 ? QString("                    Body:\nMohol si získať     Získal si")
                             : QString("                            Získal si\n                    "
                                       "           body:"));
        QCOMPARE(child<QLabel>(s.form, "Image2")->x(), m4.x() + 70);
        QVERIFY(child<QPlainTextEdit>(s.form, "Memo4")->font().bold());
        QCOMPARE(child<QPlainTextEdit>(s.form, "Memo4")->font().pointSize(), 10);

        for (int k = 0; k < 4; ++k) {
            QCOMPARE(s.form->solutionMarkers[k]->isVisible(), markers[k]);
            QVERIFY(s.buttons[k]->isVisible());
        }
        QVERIFY(!child<QPushButton>(s.form, "Zadanie")->isVisible());
        QVERIFY(!s.form->isMinimized());
        QCOMPARE(QApplication::clipboard()->text(), QString("moje poznámky"));
    }

    // Each exercise's points stand on the baseline of its last line.
    void pointsStandBesideTheirLines() {
        TestScreen s(10);
        s.answerWith("AAAAAAAAA");
        child<QAbstractButton>(s.form, "Zadanie")->click();
        QTextEdit* memo1 = child<QTextEdit>(s.form, "Memo1");
        QTextEdit* memo3 = child<QTextEdit>(s.form, "Memo3");
        const QList<int> endLines{1, 4, 5, 8, 9, 10, 11, 12, 14};
        const QStringList lines = plainLines(*memo1->document());
        QTextBlock b3 = memo3->document()->begin();
        for (int end : endLines) {
            const QTextBlock b1 = memo1->document()->findBlockByNumber(end - 1);
            QCOMPARE(b1.text(), lines.at(end - 1));
            const QTextLine l1 = b1.layout()->lineAt(b1.layout()->lineCount() - 1);
            const QTextLine l3 = b3.layout()->lineAt(0);
            const qreal y1 = memo1->document()->documentLayout()->blockBoundingRect(b1).y() +
                             l1.y() + l1.ascent();
            const qreal y3 = memo3->document()->documentLayout()->blockBoundingRect(b3).y() +
                             l3.y() + l3.ascent();
            const int g1 = memo1->viewport()->mapToGlobal(QPoint(0, int(y1))).y();
            const int g3 = memo3->viewport()->mapToGlobal(QPoint(0, int(y3))).y();
            QVERIFY2(qAbs(g1 - g3) <= 2,
                     qPrintable(QString("line %1: %2 vs %3").arg(end).arg(g1).arg(g3)));
            b3 = b3.next();
        }
    }

    void missingPicturesAreSkipped() {
        TestScreen s(10, false);
        s.answerWith("AAAAAAAAA");
        s.form->guard([&] { child<QAbstractButton>(s.form, "Zadanie")->click(); });
        QVERIFY(s.ts->prompter.shown.empty());
        QVERIFY(child<QLabel>(s.form, "Image2")->pixmap().isNull());
        QVERIFY(child<QLabel>(s.form, "Label14")->isVisible());
    }

    void missingExerciseTextStopsTheTest() {
        TestScreen s;
        QVERIFY(QFile::remove(s.folder + "Skusaj.RTF"));
        s.form->guard([&] { child<QAbstractButton>(s.form, "Zadanie")->click(); });
        QCOMPARE(s.ts->prompter.shown.size(), size_t(1));
        QVERIFY(s.ts->prompter.shown[0].text.contains("skusaj.rtf", Qt::CaseInsensitive));
        QVERIFY(s.modal.opened.isEmpty());
        QVERIFY(child<QPushButton>(s.form, "Zadanie")->isVisible());
        QVERIFY(!s.form->isMinimized());
        QVERIFY(!s.buttons[0]->isVisible());
    }

    void textWithoutExercisesIsReported() {
        TestScreen s;
        writeBytes(s.folder + "Skusaj.RTF", "{\\rtf1\\ansi Len \\'favod bez \\'faloh.\\par}");
        s.form->guard([&] { child<QAbstractButton>(s.form, "Zadanie")->click(); });
        // A lone introduction is one exercise without points; only a text
        // without any line has none.
        QCOMPARE(s.modal.opened.size(), 1);
        TestScreen e;
        writeBytes(e.folder + "Skusaj.RTF", "{\\rtf1\\ansi \\par\\par}");
        e.form->guard([&] { child<QAbstractButton>(e.form, "Zadanie")->click(); });
        QCOMPARE(e.ts->prompter.shown.size(), size_t(1));
        QVERIFY(e.modal.opened.isEmpty());
    }

    // The day's password before a solution; rows: what is typed, the day,
    // whether the recording starts.
    void solutionPassword_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("opens");
        QTest::newRow("day 4") << "on" << 4 << true;
        QTest::newRow("blanks trimmed") << "  on " << 4 << true;
        QTest::newRow("case matters") << "ON" << 4 << false;
        QTest::newRow("empty") << "" << 4 << false;
        QTest::newRow("another day's") << "monitory" << 4 << false;
        QTest::newRow("day 5") << "monitory" << 5 << true;
        QTest::newRow("day outside the table") << "on" << 17 << false;
    }
    void solutionPassword() {
        QFETCH(QString, typed);
        QFETCH(int, day);
        QFETCH(bool, opens);
        TestScreen s;
        s.ts->st.selectedItem = day;
        TOknoUlohy w(*s.form);
        w.FormCreate();
        w.Button2Click(); // exercise 2 is shown now
        int attempts = 0;
        s.modal.answer = [&](QWidget* win) {
            auto* p = qobject_cast<PasswordWindowBase*>(win);
            if (!p)
                return 0;
            ++attempts;
            child<QLineEdit>(p, "MaskEdit1")->setText(typed);
            p->Button1Click();
            if (p->result() != QDialog::Accepted)
                p->Button2Click(); // gives up after the refusal
            return p->result();
        };
        w.Button3Click();
        QCOMPARE(attempts, 1);
        QCOMPARE(s.ts->st.solutionPasswordFlag, opens);
        if (opens) {
            QCOMPARE(s.ts->shell.calls.size(), size_t(1));
            const QStringList args = s.ts->shell.calls[0].args;
            QVERIFY2(args.join(' ').contains("04._deň/Ries2.scm"), qPrintable(args.join(' ')));
            QCOMPARE(args.last(), QString("/s/c"));
            QVERIFY(s.ts->prompter.shown.empty());
            // One password a day: the next solution opens without asking.
            w.Button1Click();
            w.Button3Click();
            QCOMPARE(attempts, 1);
            QCOMPARE(s.ts->shell.calls.size(), size_t(2));
            QVERIFY(s.ts->shell.calls[1].args.join(' ').contains("Ries3.scm"));
        } else {
            QVERIFY(s.ts->shell.calls.empty());
            QCOMPARE(s.ts->prompter.texts(), QStringList{"Nesprávne heslo"});
        }
    }
};

QTEST_MAIN(TestUiExercises)
#include "tst_ui_exercises.moc"
