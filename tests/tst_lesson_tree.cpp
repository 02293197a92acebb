// The lesson tree, caption search, opening decisions, the integrity check and
// `orbino --check`, on real course files in temporary folders.
#include "testsupport.h"

#include "app/app_state.h"
#include "platform/paths.h"
#include "tree/integrity.h"
#include "tree/lesson_tree.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace orbino;

namespace {

// A course written as text: "=== name" starts a file, the lines below are its
// content (UTF-8 here, Windows-1250 with CR LF on disk).
void writeCourse(const QString& dir, const QString& text) {
    QString name;
    QStringList lines;
    auto flush = [&] {
        if (!name.isEmpty())
            test::writeCourseFile(dir + QLatin1Char('/') + name, lines);
        lines.clear();
    };
    for (const QString& l : text.split(QLatin1Char('\n'))) {
        if (l.startsWith(QLatin1String("=== "))) {
            flush();
            name = l.mid(4);
        } else if (!l.isEmpty()) {
            lines << l;
        }
    }
    flush();
}

// The tree as indented "caption|target" lines, one blank per depth.
QString outline(const LessonTree& t) {
    QStringList out;
    for (const TreeNode& n : t.nodes)
        out << QString(n.depth, QLatin1Char(' ')) + n.caption + QLatin1Char('|') + n.target;
    return out.join(QLatin1Char('\n'));
}

} // namespace

class TestLessonTree : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void build_data();
    void build();
    void cycleRecord();
    void unreadableListNamedAsWritten();
    void longChainDoesNotExhaustStack();
    void doublingListsStopAtLimit();
    void longListKeepsOnlyWhatIsShown();
    void search_data();
    void search();
    void searchOnPastLastMatch();
    void plan_data();
    void plan();
    void place();
    void secondCopy();
    void integrity_data();
    void integrity();
    void scrollBars_data();
    void scrollBars();
    void checkCommand_data();
    void checkCommand();
};

void TestLessonTree::build_data() {
    QTest::addColumn<QString>("course");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no item lines") << "=== Obsah.txt\n<Len popis.>\n//https://example.org/\nobr.bmp"
                                   << "Deň|Obsah.txt";
    QTest::newRow("missing root list") << ""
                                       << "Deň|Obsah.txt";
    QTest::newRow("self reference") << "=== Obsah.txt\n[Znova] Obsah.txt\n[Ďalej] x.scm"
                                    << "Deň|Obsah.txt\n Znova|Obsah.txt\n Ďalej|x.scm";
    QTest::newRow("mutual reference")
        << "=== Obsah.txt\n[A] a.txt\n=== a.txt\n[B] b.txt\n=== b.txt\n[Späť na A] a.txt\n[Koniec] "
           "k.exe"
        << "Deň|Obsah.txt\n A|a.txt\n  B|b.txt\n   Späť na A|a.txt\n   Koniec|k.exe";
    QTest::newRow("cycle through another spelling")
        << "=== Obsah.txt\n[A] a.txt\n=== a.txt\n[Hore] OBSAH.txt"
        << "Deň|Obsah.txt\n A|a.txt\n  Hore|OBSAH.txt";
    QTest::newRow("cycle through ./ and ..\\ spellings")
        << "=== Obsah.txt\n[A] a.txt\n=== a.txt\n[Hore] ./Obsah.txt\n[Znova] ..\\d\\A.txt\n[Ešte] "
           ".\\a.txt"
        << "Deň|Obsah.txt\n A|a.txt\n  Hore|./Obsah.txt\n  Znova|..\\d\\A.txt\n  Ešte|.\\a.txt";
    QTest::newRow("same list from two places")
        << "=== Obsah.txt\n[A] a.txt\n[B] b.txt\n=== a.txt\n[Spoločný] s.txt\n=== b.txt\n[Znova] "
           "s.txt\n"
           "=== s.txt\n[Ukážka] mys.scm"
        << "Deň|Obsah.txt\n A|a.txt\n  Spoločný|s.txt\n   Ukážka|mys.scm\n B|b.txt\n  "
           "Znova|s.txt\n   Ukážka|mys.scm";
    QTest::newRow("upper-case TXT not followed")
        << "=== Obsah.txt\n[Veľký] VELKY.TXT\n=== VELKY.TXT\n[Skryté] s.scm"
        << "Deň|Obsah.txt\n Veľký|VELKY.TXT";
    QTest::newRow("blank after ] still followed")
        << "=== Obsah.txt\n[Príbeh]   pribeh.txt  \n=== pribeh.txt\n[Myš] mys.scm"
        << "Deň|Obsah.txt\n Príbeh|pribeh.txt\n  Myš|mys.scm";
    QTest::newRow("name differs in case on disk")
        << "=== Obsah.txt\n[Príbeh] pribeh.txt\n=== PRIBEH.txt\n[Myš] mys.scm"
        << "Deň|Obsah.txt\n Príbeh|pribeh.txt\n  Myš|mys.scm";
    QTest::newRow("[ without ]") << "=== Obsah.txt\n[Bez konca a.txt\n[OK] b.exe"
                                 << "Deň|Obsah.txt\n |[Bez konca a.txt\n OK|b.exe";
    QTest::newRow("caption cut at first ]") << "=== Obsah.txt\n[Pole [1]] a.exe"
                                            << "Deň|Obsah.txt\n Pole [1|] a.exe";
    QTest::newRow("missing list stays a leaf") << "=== Obsah.txt\n[Chýba] chyba.txt\n[Je] je.exe"
                                               << "Deň|Obsah.txt\n Chýba|chyba.txt\n Je|je.exe";
    QTest::newRow("folder named like a list")
        << "=== Obsah.txt\n[Priečinok] dir.txt\n=== dir.txt/x!\n"
        << "Deň|Obsah.txt\n Priečinok|dir.txt";
    QTest::newRow("list in a sub-folder, both in another case")
        << "=== Obsah.txt\n[Pod] SUB/zoznam.txt\n=== sub/ZOZNAM.txt\n[Vnútri] v.exe"
        << "Deň|Obsah.txt\n Pod|SUB/zoznam.txt\n  Vnútri|v.exe";
    QTest::newRow("controls around the target trimmed")
        << "=== Obsah.txt\n[Tab]\t pribeh.txt\x1f\x01\n=== PRIBEH.TXT\n[Myš] mys.scm"
        << "Deň|Obsah.txt\n Tab|pribeh.txt\n  Myš|mys.scm";
    QTest::newRow("two dots followed while building")
        << "=== Obsah.txt\n[Dve bodky] a.b.txt\n=== a.b.txt\n[Vnútri] v.exe"
        << "Deň|Obsah.txt\n Dve bodky|a.b.txt\n  Vnútri|v.exe";
}

void TestLessonTree::build() {
    QFETCH(QString, course);
    QFETCH(QString, expected);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/d");
    QDir().mkpath(dir);
    writeCourse(dir, course);
    const LessonTree t = buildLessonTree(dir + QStringLiteral("/"), QStringLiteral("Obsah.txt"),
                                         QStringLiteral("Deň"));
    QCOMPARE(outline(t), expected);
    QVERIFY(t.unreadable.isEmpty());
}

void TestLessonTree::cycleRecord() {
    QTemporaryDir dir;
    writeCourse(
        dir.path(),
        QStringLiteral("=== Obsah.txt\n[A] a.txt\n=== a.txt\n[B] b.txt\n=== b.txt\n[Späť] a.txt"));
    const LessonTree t =
        buildLessonTree(dir.path() + QStringLiteral("/"), QStringLiteral("Obsah.txt"), QString());
    QCOMPARE(t.cycles.size(), size_t(1));
    const CyclicReference& c = t.cycles.front();
    QCOMPARE(c.node, 3);
    QCOMPARE(c.list, QStringLiteral("a.txt"));
    QCOMPARE(c.namedBy, QStringLiteral("b.txt"));
    QCOMPARE(t.listChain(c.node), (QStringList{"Obsah.txt", "a.txt", "b.txt", "a.txt"}));
}

// A list that cannot be read (a pipe in its place) is reported once, named
// as the first item naming it writes it, whatever its case on disk; the
// lists around it are read as usual.
void TestLessonTree::unreadableListNamedAsWritten() {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/");
    writeCourse(tmp.path(), QStringLiteral("=== Obsah.txt\n[Rúra] RURA.txt\n[Znova] rura.txt\n"
                                           "[Ďalší] Dalsi.txt\n=== dalsi.TXT\n[Vnútri] v.exe"));
    QCOMPARE(::mkfifo(QFile::encodeName(dir + QStringLiteral("Rura.Txt")).constData(), 0600), 0);
    const LessonTree t = buildLessonTree(dir, QStringLiteral("Obsah.txt"), QStringLiteral("Deň"));
    QCOMPARE(outline(t), QStringLiteral("Deň|Obsah.txt\n Rúra|RURA.txt\n Znova|rura.txt\n "
                                        "Ďalší|Dalsi.txt\n  Vnútri|v.exe"));
    QCOMPARE(t.unreadable.size(), 1);
    QVERIFY2(t.unreadable.front().startsWith(dir + QStringLiteral("RURA.txt: ")),
             qPrintable(t.unreadable.front()));
}

void TestLessonTree::longChainDoesNotExhaustStack() {
    // 4,000 lists each naming the next: a finite tree of one long branch.
    QTemporaryDir dir;
    const int n = 4000;
    test::writeCourseFile(dir.path() + QStringLiteral("/Obsah.txt"),
                          {QStringLiteral("[0] l0.txt")});
    for (int i = 0; i < n; ++i)
        test::writeCourseFile(dir.path() + QStringLiteral("/l%1.txt").arg(i),
                              {QStringLiteral("[%1] l%1.txt").arg(i + 1)});
    const LessonTree t =
        buildLessonTree(dir.path() + QStringLiteral("/"), QStringLiteral("Obsah.txt"), QString());
    QCOMPARE(t.size(), n + 2);
    QCOMPARE(t.nodes.back().depth, n + 1);
}

void TestLessonTree::doublingListsStopAtLimit() {
    // Each list names the next one twice: 2^30 nodes if nothing stopped it.
    QTemporaryDir dir;
    test::writeCourseFile(dir.path() + QStringLiteral("/Obsah.txt"),
                          {QStringLiteral("[0] l0.txt")});
    for (int i = 0; i < 30; ++i)
        test::writeCourseFile(
            dir.path() + QStringLiteral("/l%1.txt").arg(i),
            {QStringLiteral("[a] l%1.txt").arg(i + 1), QStringLiteral("[b] l%1.txt").arg(i + 1)});
    const LessonTree t =
        buildLessonTree(dir.path() + QStringLiteral("/"), QStringLiteral("Obsah.txt"), QString());
    QVERIFY(t.truncated);
    QCOMPARE(t.size(), kMaxTreeNodes);
}

void TestLessonTree::longListKeepsOnlyWhatIsShown() {
    // Nearly 16 MiB of item lines, eight times what the tree shows: the
    // lines past the limit are never decoded, so memory follows the tree.
    QTemporaryDir dir;
    const QByteArray line = "[a] b.bmp\r\n";
    const int lines = int((16 * 1024 * 1024 - 4096) / line.size());
    test::writeBytes(dir.path() + QStringLiteral("/big.txt"), line.repeated(lines));
    test::writeCourseFile(dir.path() + QStringLiteral("/Obsah.txt"),
                          {QStringLiteral("[Veľký] big.txt"), QStringLiteral("[Malý] big.txt")});
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const LessonTree t =
        buildLessonTree(dir.path() + QStringLiteral("/"), QStringLiteral("Obsah.txt"), QString());
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    QVERIFY(t.truncated);
    QCOMPARE(t.size(), kMaxTreeNodes);
    QCOMPARE(t.nodes[1].caption, QStringLiteral("Veľký"));
    QCOMPARE(t.nodes.back().parent, 1);
    QCOMPARE(t.nodes.back().target, QStringLiteral("b.bmp"));
    // Every line decoded took about a gigabyte here; what the tree holds
    // takes a small part of this bound even in a sanitizer build.
    const long grownMb = (after.ru_maxrss - before.ru_maxrss) / 1024;
    QVERIFY2(grownMb < 400, qPrintable(QString::number(grownMb)));

    // A short list named twice reads the same both times.
    test::writeCourseFile(dir.path() + QStringLiteral("/big.txt"),
                          {QStringLiteral("[x] a.bmp"), QStringLiteral("[y] b.bmp")});
    const LessonTree small =
        buildLessonTree(dir.path() + QStringLiteral("/"), QStringLiteral("Obsah.txt"), QString());
    QCOMPARE(small.size(), 7);
    QCOMPARE(small.nodes[6].caption, QStringLiteral("y"));
    QCOMPARE(small.nodes[6].parent, 4);
}

void TestLessonTree::search_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    // Nodes: 0 root "Deň_1", 1 "Čítanie", 2 "Myš a klávesnica", 3 "čítanka", 4 "KLÁVESY"
    QTest::newRow("upper Á matches only upper") << "KLÁV" << 4;
    QTest::newRow("ascii folds") << "myš A" << 2;
    QTest::newRow("lower č does not match upper Č") << "čít" << 3;
    QTest::newRow("upper Č matches only upper") << "Čít" << 1;
    QTest::newRow("lower á does not match upper Á") << "kláves" << 2;
    QTest::newRow("root only") << "_1" << 0;
    QTest::newRow("nothing") << "tabuľka" << -1;
}

void TestLessonTree::search() {
    QFETCH(QString, text);
    QFETCH(int, found);
    QTemporaryDir dir;
    writeCourse(dir.path(),
                QStringLiteral("=== Obsah.txt\n[Čítanie] a.exe\n[Myš a klávesnica] b.exe\n"
                               "[čítanka] c.exe\n[KLÁVESY] d.exe"));
    const LessonTree t = buildLessonTree(dir.path() + QStringLiteral("/"),
                                         QStringLiteral("Obsah.txt"), QStringLiteral("Deň_1"));
    QCOMPARE(findCaption(t, text, 0), found);
}

void TestLessonTree::searchOnPastLastMatch() {
    QTemporaryDir dir;
    writeCourse(
        dir.path(),
        QStringLiteral("=== Obsah.txt\n[Myš] a.txt\n[Klávesnica] k.exe\n=== a.txt\n[Myš 2] m.scm"));
    const LessonTree t =
        buildLessonTree(dir.path() + QStringLiteral("/"), QStringLiteral("Obsah.txt"), QString());
    CaptionSearch s;
    const QString text = QStringLiteral("myš");
    QCOMPARE(s.start(t, text), 1);
    QCOMPARE(s.next(t, text), 2);
    QCOMPARE(s.next(t, text), -1);
    // After the end the walk begins at the root again.
    QCOMPARE(s.next(t, text), 1);
    QCOMPARE(s.start(t, text), 1);
    // "š" is not folded: the upper-case text finds nothing.
    QCOMPARE(s.start(t, QStringLiteral("MYŠ")), -1);
}

void TestLessonTree::plan_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("params");
    QTest::newRow("content list") << "pribeh.txt" << int(OpenPlan::ContentList) << "TXT"
                                  << "pribeh.txt"
                                  << "";
    QTest::newRow("upper TXT opens as list") << "VELKY.TXT" << int(OpenPlan::ContentList) << "TXT"
                                             << "VELKY.TXT"
                                             << "";
    QTest::newRow("two dots through the shell") << "a.b.txt" << int(OpenPlan::Program) << "B.T"
                                                << "a.b.txt"
                                                << "";
    QTest::newRow("demonstration ignores words")
        << "mys.scm rýchlo" << int(OpenPlan::Demonstration) << "SCM"
        << "mys.scm"
        << "";
    QTest::newRow("program with parameters") << "prog.exe /x /y" << int(OpenPlan::Program) << "EXE"
                                             << "prog.exe"
                                             << " /x /y";
    QTest::newRow("no dot") << "program /x" << int(OpenPlan::Program) << "PRO"
                            << "program"
                            << " /x";
}

void TestLessonTree::plan() {
    QFETCH(QString, target);
    QFETCH(int, kind);
    QFETCH(QString, ext);
    QFETCH(QString, file);
    QFETCH(QString, params);
    const OpenPlan p = planOpen(target);
    QCOMPARE(int(p.kind), kind);
    QCOMPARE(p.extension, ext);
    QCOMPARE(p.fileName, file);
    QCOMPARE(p.params, params);
}

void TestLessonTree::place() {
    AppState st;
    st.programFolder = QStringLiteral("/kurz/");
    st.levels.restore(3);
    st.levels.restorePlace(3, QStringLiteral("01._deň"), st.levels.listFile(3));
    st.levels.restorePlace(4, QStringLiteral("__1._deň"), st.levels.listFile(4));
    TreePlace p = treePlace(st, 3);
    QCOMPARE(p.levelTitle, QStringLiteral("1. deň"));
    QCOMPARE(p.searchFolder, QStringLiteral("01._deň"));
    QCOMPARE(p.searchDir, QStringLiteral("/kurz/01._deň/"));
    QCOMPARE(p.levelFolder, QStringLiteral("01._deň"));
    st.levels.restorePlace(4, QStringLiteral("_x"), st.levels.listFile(4));
    QCOMPARE(treePlace(st, 3).searchFolder, QStringLiteral("0x"));
}

void TestLessonTree::secondCopy() {
    // A program folder with blanks, and a branch deeper than 15 levels.
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/Môj kurz/01._deň/");
    QDir().mkpath(dir);
    test::writeCourseFile(dir + QStringLiteral("Obsah.txt"), {QStringLiteral("[Úroveň_1] l1.txt")});
    for (int i = 1; i <= 20; ++i)
        test::writeCourseFile(dir + QStringLiteral("L%1.TXT").arg(i),
                              {QStringLiteral("[Úroveň %1] l%1.txt").arg(i + 1)});
    const LessonTree t =
        buildLessonTree(dir, QStringLiteral("Obsah.txt"), QStringLiteral("01. deň"));
    QCOMPARE(t.size(), 22);
    const QString title = titlePath(t, 21);
    QVERIFY(title.startsWith(QStringLiteral("1. deň - Úroveň 1 - Úroveň 2 - Úroveň 3")));
    QVERIFY(title.endsWith(QStringLiteral(" - Úroveň 21")));
    QCOMPARE(title.count(QStringLiteral(" - ")), 21);

    const QString list = resolvePath(dir + t.nodes[3].target);
    QCOMPARE(list, dir + QStringLiteral("L3.TXT"));
    const QStringList args = secondCopyArgs(list, 7, titlePath(t, 2));
    QCOMPARE(args, (QStringList{dir + QStringLiteral("L3.TXT"), QStringLiteral("7"),
                                QStringLiteral("1."), QStringLiteral("deň"), QStringLiteral("-"),
                                QStringLiteral("Úroveň"), QStringLiteral("1"), QStringLiteral("-"),
                                QStringLiteral("Úroveň"), QStringLiteral("2")}));
    // The receiver puts a blank before every word: the title comes back whole.
    AppState receiver;
    readCommandLine(receiver, args);
    QCOMPARE(receiver.openedContentFile, dir + QStringLiteral("L3.TXT"));
    QCOMPARE(receiver.selectedItem, 7);
    QCOMPARE(receiver.searchTitle, QStringLiteral(" 1. deň - Úroveň 1 - Úroveň 2"));
}

void TestLessonTree::integrity_data() {
    QTest::addColumn<QString>("course");
    QTest::addColumn<QStringList>("lines");
    const QString head = QStringLiteral("01._deň");
    QTest::newRow("all present")
        << "=== Obsah.txt\n[Program] prog.exe /x\n[Bez bodky] name /x\n=== prog.exe!\n"
           "=== name!"
        << QStringList{head, ""};
    QTest::newRow("program with arguments missing")
        << "=== Obsah.txt\n[Program] prog.exe /x\n[Bez bodky] name /x"
        << QStringList{head, "", "prog.exe Program - ", "name Bez bodky - "};
    QTest::newRow("blank after ] and names the launcher opens")
        << "=== Obsah.txt\n[Príbeh] pribeh.txt\n[Dve] a.b.txt\n[Web] x.html\n[Hra] ..\\s\\HRA.exe\n"
           "=== pribeh.txt\n=== a.b.txt\n=== x.html!\n=== ../s/hra.exe!"
        << QStringList{head, ""};
    QTest::newRow("missing demonstration named twice")
        << "=== Obsah.txt\n[Myš] mys.txt\n[Opakovanie] opak.txt\n=== mys.txt\n[Ukážka] mys.scm\n"
           "=== opak.txt\n[Ešte raz] mys.scm"
        << QStringList{head, "", "mys.scm Myš - Ukážka - ", "mys.scm Opakovanie - Ešte raz - "};
    QTest::newRow("deep list with all captions")
        << "=== Obsah.txt\n[Prvá] a.txt\n=== a.txt\n[Druhá] b.txt\n=== b.txt\n[Tretia] c.txt"
        << QStringList{head, "", "c.txt Prvá - Druhá - Tretia - "};
    QTest::newRow("missing root list") << "" << QStringList{head, "", "Obsah.txt "};
    QTest::newRow("item without target names no file")
        << "=== Obsah.txt\n[Nadpis]\n[Nadpis 2]   " << QStringList{head, ""};
    QTest::newRow("cyclic references after the missing files")
        << "=== Obsah.txt\n[A] a.txt\n[Chýba] chyba.scm\n=== a.txt\n[Späť] Obsah.txt"
        << QStringList{head, "", "chyba.scm Chýba - ",
                       "zacyklený súbor : Obsah.txt duplikovany v a.txt",
                       "zacyklený súbor : Obsah.txt->a.txt->Obsah.txt->"};
}

void TestLessonTree::integrity() {
    QFETCH(QString, course);
    QFETCH(QStringList, lines);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/01._deň/");
    QDir().mkpath(dir);
    QDir().mkpath(tmp.path() + QStringLiteral("/s"));
    // Files marked "!" are plain files; "../" reaches beside the day folder.
    QString listed;
    for (QString l : course.split(QLatin1Char('\n'))) {
        if (l.startsWith(QLatin1String("=== ")) && l.endsWith(QLatin1Char('!'))) {
            test::writeBytes(dir + l.mid(4).chopped(1), "x");
            continue;
        }
        listed += l + QLatin1Char('\n');
    }
    writeCourse(dir, listed);
    const LessonTree t =
        buildLessonTree(dir, QStringLiteral("Obsah.txt"), QStringLiteral("1. deň"));
    const IntegrityReport r =
        checkIntegrity(t, dir, QStringLiteral("01._deň"), QStringLiteral("zacyklený súbor :"));
    QCOMPARE(r.lines, lines);
    QCOMPARE(r.missing + 2 * r.cyclic, int(lines.size()) - 2);
}

void TestLessonTree::scrollBars_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("longest");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("horizontal");
    QTest::newRow("short") << 24 << 85 << false << false;
    QTest::newRow("many lines") << 25 << 10 << true << false;
    QTest::newRow("long line") << 3 << 86 << false << true;
    QTest::newRow("both") << 30 << 200 << true << true;
}

void TestLessonTree::scrollBars() {
    QFETCH(int, count);
    QFETCH(int, longest);
    QStringList lines(count, QStringLiteral("a"));
    lines[count - 1] = QString(longest, QChar(u'ž'));
    const ScrollNeed n = integrityScrollBars(lines);
    QTEST(n.vertical, "vertical");
    QTEST(n.horizontal, "horizontal");
}

void TestLessonTree::checkCommand_data() {
    QTest::addColumn<QString>("course");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("output");
    const QString good =
        QStringLiteral("=== 01._deň/Obsah.txt\n[Príbeh] pribeh.txt\n=== 01._deň/PRIBEH.TXT\n"
                       "[Späť] Obsah.txt\n=== 02._deň/Obsah.txt\n[Súbory] subory.txt\n"
                       "=== 02._deň/subory.txt\n");
    QTest::newRow("every day, nothing missing")
        << good << QStringList{} << 0
        << QStringList{"01._deň",
                       "",
                       "zacyklený súbor : Obsah.txt duplikovany v pribeh.txt",
                       "zacyklený súbor : Obsah.txt->pribeh.txt->Obsah.txt->",
                       "02._deň",
                       ""};
    QTest::newRow("every day, one missing")
        << good + QStringLiteral("=== 03._deň/Obsah.txt\n[Písanie] pisanie.txt\n") << QStringList{}
        << 1
        << QStringList{"01._deň",
                       "",
                       "zacyklený súbor : Obsah.txt duplikovany v pribeh.txt",
                       "zacyklený súbor : Obsah.txt->pribeh.txt->Obsah.txt->",
                       "02._deň",
                       "",
                       "03._deň",
                       "",
                       "pisanie.txt Písanie - "};
    QTest::newRow("one list, Windows path")
        << good << QStringList{"02._DEŇ\\subory.txt"} << 0 << QStringList{"02._DEŇ", ""};
    QTest::newRow("one list missing") << good << QStringList{"02._deň\\ziadny.txt"} << 1
                                      << QStringList{"02._deň", "", "ziadny.txt "};
    QTest::newRow("usage") << good << QStringList{"a.txt", "b.txt"} << 2 << QStringList{};
    QTest::newRow("no days") << QString() << QStringList{} << 2 << QStringList{};
}

void TestLessonTree::checkCommand() {
    QFETCH(QString, course);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, output);
    QTemporaryDir tmp;
    writeCourse(tmp.path(), course);
    QProcess p;
    p.setWorkingDirectory(tmp.path());
    // No display at all: the check must not need one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORBINO_BINARY), QStringList{QStringLiteral("--check")} + args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), exitCode);
    if (exitCode != 2) {
        QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines, output);
    } else {
        QVERIFY(!p.readAllStandardError().isEmpty());
    }
}

QTEST_APPLESS_MAIN(TestLessonTree)
#include "tst_lesson_tree.moc"
