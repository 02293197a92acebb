// Exercise rules on real rich-text files: where exercises begin and end, the
// points line, answers and score, the evaluation texts and pictures.
#include "content/exercises.h"
#include "platform/rtf_reader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace orbino;

namespace {

QString fixture(const QString& name) {
    return QStringLiteral(ORBINO_TEST_DATA "/exercises/") + name;
}

struct Loaded {
    QTextDocument doc;
    QList<TextLine> lines;
    QStringList texts;
};

void load(const QString& name, Loaded& l) {
    QVERIFY2(loadRtfFile(fixture(name), l.doc), qPrintable(name));
    l.lines = documentLines(l.doc);
    for (const TextLine& t : l.lines)
        l.texts << t.text;
}

// "3,4:4:2" = shown lines 3 and 4, end line 4, 2 points; "-" for no points.
QString describe(const Exercise& e) {
    QStringList shown;
    for (int n : e.lines)
        shown << QString::number(n);
    return shown.join(u',') + u':' + QString::number(e.endLine) + u':' +
           (e.hasPoints ? QString::number(e.points) : QStringLiteral("-"));
}

// The character format at the first occurrence of `word` in `doc`.
QTextCharFormat formatOf(QTextDocument& doc, const QString& word) {
    const QTextCursor found = doc.find(word);
    if (found.isNull())
        return {};
    QTextCursor c(&doc);
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

} // namespace

class TestExercises : public QObject {
    Q_OBJECT
private slots:
    void documentLinesMatchPanelNumbering() {
        Loaded l;
        load("linebreaks.rtf", l);
        QCOMPARE(l.texts, plainLines(l.doc));
        QCOMPARE(l.texts.size(), 3);
    }

    void splitting_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nine, blank lines, 10 joins 9, trailing empty paragraph")
            << "nine.rtf" << QStringList{"1:1:1",   "3,4:4:2", "5:5:1",   "8:8:3",     "9:9:1",
                                         "10:10:0", "11:11:2", "12:12:1", "13,14:14:4"};
        QTest::newRow("formats: two-line points line, exercise without points")
            << "formats.rtf" << QStringList{"1,2:2:3", "3,4:4:-"};
        QTest::newRow("what follows the tab")
            << "points.rtf" << QStringList{"1:1:3", "2:2:0", "3:3:0", "4:4:-", "5:5:-", "6:6:-"};
        QTest::newRow("line break inside a paragraph")
            << "linebreaks.rtf" << QStringList{"1,2:2:2", "3:3:1"};
        QTest::newRow("only empty lines") << "empty.rtf" << QStringList{};
    }
    void splitting() {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        Loaded l;
        load(file, l);
        QStringList got;
        const QList<Exercise> ex = splitExercises(l.texts);
        for (const Exercise& e : ex)
            got << describe(e);
        QCOMPARE(got, expected);
        for (qsizetype i = 0; i < ex.size(); ++i)
            QCOMPARE(ex.at(i).number, int(i) + 1);
    }

    void textBeforeFirstNumberAndAfterPointsLine() {
        const QStringList lines{"Test: súbory", "1. Prvá\t1 bod", "poznámka po bodoch",
                                "2. Druhá\t2 body"};
        QStringList got;
        for (const Exercise& e : splitExercises(lines))
            got << describe(e);
        // Lines outside numbered exercises are posed as exercises of their own.
        QCOMPARE(got, (QStringList{"1:1:-", "2:2:1", "3:3:-", "4:4:2"}));
    }

    void exerciseStart_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("start");
        QTest::newRow("1.") << "1. Úloha" << true;
        QTest::newRow("9.") << "9.Úloha" << true;
        QTest::newRow("0.") << "0. nulová" << true;
        QTest::newRow("10.") << "10. Úloha" << false;
        QTest::newRow("letter") << "a. Úloha" << false;
        QTest::newRow("digit only") << "1" << false;
        QTest::newRow("dot only") << "." << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank first") << " 1. Úloha" << false;
    }
    void exerciseStart() {
        QFETCH(QString, line);
        QFETCH(bool, start);
        QCOMPARE(isExerciseStart(line), start);
    }

    void renderKeepsEveryFormat() {
        Loaded l;
        load("formats.rtf", l);
        const QList<Exercise> ex = splitExercises(l.texts);
        QTextDocument out;
        renderExercise(l.doc, l.lines, ex.at(0), out);
        QCOMPARE(plainLines(out), (QStringList{"1. Tučné a červené slovo, Courier.",
                                               "Druhý riadok kurzívou", "", "    3 body"}));
        QCOMPARE(formatOf(out, "Tučné").fontWeight(), int(QFont::Bold));
        QCOMPARE(formatOf(out, "a červené").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(out, "červené").foreground().color(), QColor(200, 0, 0));
        QCOMPARE(formatOf(out, "Courier").fontFamilies().toStringList().value(0),
                 QString("Courier New"));
        QCOMPARE(formatOf(out, "Courier").fontPointSize(), 16.0);
        QVERIFY(formatOf(out, "kurzívou").fontItalic());
        QCOMPARE(formatOf(out, "3 body").foreground().color(), QColor(0, 0, 160));
        QCOMPARE(formatOf(out, "3 body").fontWeight(), int(QFont::Bold));

        renderExercise(l.doc, l.lines, ex.at(1), out);
        QCOMPARE(plainLines(out), (QStringList{"2. Úloha bez bodov", "a jej druhý riadok"}));
    }

    void renderPointsLine_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exercise");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("bod inside the text stays")
            << "nine.rtf" << 7
            << QStringList{"7. Nakresli bodku do rohu obrázka.", "", "    2 body"};
        QTest::newRow("10 joins 9")
            << "nine.rtf" << 9
            << QStringList{"9. Zatvor všetky okná.", "10. Vypni počítač.", "", "    4 body"};
        QTest::newRow("empty lines not shown")
            << "nine.rtf" << 2
            << QStringList{"2. Otvor priečinok Dokumenty.", "Nájdi v ňom súbor list.txt.", "",
                           "    2 body"};
        QTest::newRow("tab without unit shown whole")
            << "points.rtf" << 5 << QStringList{"5. Tabulátor na konci\t"};
        QTest::newRow("line break")
            << "linebreaks.rtf" << 1
            << QStringList{"1. Prvá úloha", "pokračuje tu", "", "    2 body"};
    }
    void renderPointsLine() {
        QFETCH(QString, file);
        QFETCH(int, exercise);
        QFETCH(QStringList, shown);
        Loaded l;
        load(file, l);
        QTextDocument out;
        renderExercise(l.doc, l.lines, splitExercises(l.texts).at(exercise - 1), out);
        QCOMPARE(plainLines(out), shown);
    }

    // answers: one letter per exercise, A = "Áno", N = "Nie".
    void answers_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("score");
        QTest::addColumn<QStringList>("pointsTexts");
        QTest::newRow("digit 3 on Áno, then Nie")
            << "points.rtf"
            << "ANNNNN" << 3 << QStringList{"3", "0", "0", "", "", ""};
        QTest::newRow("all Áno; non-digit counts 0")
            << "points.rtf"
            << "AAAAAA" << 3 << QStringList{"3", "0", "0", "", "", ""};
        QTest::newRow("all Nie") << "points.rtf"
                                 << "NNNNNN" << 0 << QStringList{"0", "0", "0", "", "", ""};
        QTest::newRow("no points either way") << "formats.rtf"
                                              << "NA" << 0 << QStringList{"0", ""};
        QTest::newRow("nine all Áno")
            << "nine.rtf"
            << "AAAAAAAAA" << 15 << QStringList{"1", "2", "1", "3", "1", "0", "2", "1", "4"};
        QTest::newRow("nine mixed")
            << "nine.rtf"
            << "ANANANANA" << 9 << QStringList{"1", "0", "1", "0", "1", "0", "2", "0", "4"};
    }
    void answers() {
        QFETCH(QString, file);
        QFETCH(QString, answers);
        QFETCH(int, score);
        QFETCH(QStringList, pointsTexts);
        Loaded l;
        load(file, l);
        ExerciseTest t(splitExercises(l.texts));
        QCOMPARE(t.exercises().size(), answers.size());
        for (qsizetype i = 0; i < answers.size(); ++i) {
            QVERIFY(!t.finished());
            QCOMPARE(t.current()->number, int(i) + 1);
            t.answer(answers.at(i) == u'A');
        }
        QVERIFY(t.finished());
        QVERIFY(!t.current());
        t.answer(true); // nothing left: ignored
        QCOMPARE(t.score(), score);
        QCOMPARE(t.pointsTexts(), pointsTexts);
        for (qsizetype i = 0; i < answers.size(); ++i)
            QCOMPARE(t.solved().at(i), answers.at(i) == u'A');
    }

    void evaluation_data() {
        QTest::addColumn<int>("score");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("icon");
        const QString z = "hodnotZ.BMP", z2 = "hodnotZ2.BMP", d = "hodnotD.BMP",
                      d2 = "hodnotD2.BMP";
        QTest::newRow("0")
            << 0 << "Pre slabých tu nie je miesto. Letíš do vesmíru aj so zvyškami rakety!"
            << "Pri riešení úloh si získal: 0 bodov" << z << z2;
        QTest::newRow("1") << 1 << "To nemyslíš vážne. Také zlé to predsa nemohlo byť!?"
                           << "Pri riešení úloh si získal: 1 bod" << z << z2;
        QTest::newRow("2") << 2 << "Ak sa nepolepšíš, obetujeme ťa ako večeru pre mimozemšťanov"
                           << "Pri riešení úloh si získal: 2 body" << z << z2;
        QTest::newRow("3") << 3 << "Pracuj na sebe, inak budeš iba čistiť raketu"
                           << "Pri riešení úloh si získal: 3 body" << z << z2;
        QTest::newRow("4") << 4
                           << QString("Bude z") + QChar(0x00A0) +
                                  "teba úspešný prvý poradca kapitána"
                           << "Pri riešení úloh si získal: 4 body" << d << d2;
        QTest::newRow("5") << 5 << "Si zrelý stať sa kapitánom vesmírneho tímu"
                           << "Pri riešení úloh si získal: 5 bodov" << d << d2;
        QTest::newRow("above 5 as 5") << 15 << "Si zrelý stať sa kapitánom vesmírneho tímu"
                                      << "Pri riešení úloh si získal: 15 bodov" << d << d2;
    }
    void evaluation() {
        QFETCH(int, score);
        QFETCH(QString, verdict);
        QFETCH(QString, line);
        QFETCH(QString, picture);
        QFETCH(QString, icon);
        QCOMPARE(verdictFor(score), verdict);
        QCOMPARE(scoreLineFor(score), line);
        QCOMPARE(evaluationPictures(score).picture, picture);
        QCOMPARE(evaluationPictures(score).icon, icon);
    }

    void pointsColumnAtEndLines() {
        Loaded l;
        load("nine.rtf", l);
        ExerciseTest t(splitExercises(l.texts));
        for (int i = 0; i < 9; ++i)
            t.answer(i % 2 == 0);
        QStringList got;
        for (const PointsMark& m : pointsColumn(t.exercises(), t.pointsTexts()))
            got << QString::number(m.line) + u'=' + m.text;
        QCOMPARE(got,
                 (QStringList{"1=1", "4=0", "5=1", "8=0", "9=1", "10=0", "11=2", "12=0", "14=4"}));

        Loaded f;
        load("formats.rtf", f);
        ExerciseTest u(splitExercises(f.texts));
        u.answer(true);
        u.answer(true);
        QCOMPARE(pointsColumn(u.exercises(), u.pointsTexts()).size(),
                 1); // no empty mark for exercise 2
    }

    void manyExercises() {
        QStringList lines;
        for (int k = 0; k < 30; ++k)
            lines << QString("%1. Úloha\t1 bod").arg(k % 9 + 1);
        ExerciseTest t(splitExercises(lines));
        QCOMPARE(t.exercises().size(), 30);
        while (!t.finished())
            t.answer(true);
        QCOMPARE(t.score(), 30);
        QCOMPARE(verdictFor(t.score()), verdictFor(5));
    }

    void recordingPath_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "04._deň" << 2 << "/kurz/04._deň/Ries2.scm";
        QTest::newRow("leading _") << "_5._deň" << 1 << "/kurz/05._deň/Ries1.scm";
        QTest::newRow("number 12") << "04._deň" << 12 << "/kurz/04._deň/Ries12.scm";
    }
    void recordingPath() {
        QFETCH(QString, folder);
        QFETCH(int, number);
        QFETCH(QString, path);
        QCOMPARE(solutionRecording("/kurz/", folder, number), path);
    }
};

QTEST_MAIN(TestExercises)
#include "tst_exercises.moc"
