// The tree window on a real level window: building, searching, opening items
// and the integrity check, with the shell and modal windows scripted.
// The configuration lookup trims its texts, so defaults such as "Nenašlo "
// arrive without their edge blanks.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/password_window.h"
#include "platform/dialogs_window.h"
#include "support/windows.h"
#include "testsupport.h"
#include "tree/text_search.h"
#include "tree/tree_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace orbino;
using namespace orbino::test;

namespace {

// Remembers whether the tree window was disabled while the second copy ran.
class WaitingShell : public test::RecordingShell {
public:
    QPointer<QWidget> window;
    bool enabledDuringRun = true;
    int runAndWait(const QString& program, const QStringList& args,
                   const QString& workDir) override {
        enabledDuringRun = window && window->isEnabled();
        return RecordingShell::runAndWait(program, args, workDir);
    }
};

} // namespace

class TestUiTree : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void buildsTreeWithCaptions();
    void searchAndSearchOn();
    void emptySearch();
    void openItem_data();
    void openItem();
    void programWithoutWine();
    void passwordGuardsTeacherItem();
    void notAtLevelOne();
    void blockedInSecondCopy_data();
    void blockedInSecondCopy();
    void integrityCheck();
    void integrityTeacherGate();
    void integrityScrollBar();
    void textSearchTypingAndEnter();
    void textSearchGates();
    void textSearchKeyboard();
    void resizedWindowGivesListsTheRoom();

private:
    // Opens "Strom" and runs `body` on the window while it is shown.
    void withTree(const std::function<void(TOknoHladaj*)>& body);

    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<test::TestState> t;
    std::unique_ptr<test::ScriptedModal> modal;
    std::unique_ptr<WaitingShell> shell;
    std::unique_ptr<TForm1> form;
    QString program; // with a blank in it
    QString day;
    bool ran = false;
};

void TestUiTree::init() {
    tmp = std::make_unique<QTemporaryDir>();
    program = tmp->path() + QStringLiteral("/Môj kurz/");
    day = program + QStringLiteral("01._deň/");
    QDir().mkpath(day);
    QDir().mkpath(tmp->path() + QStringLiteral("/temp"));
    test::writeCourseFile(
        day + QStringLiteral("Obsah.txt"),
        {QStringLiteral("<Prvý deň.>"), QStringLiteral("[Príbeh] pribeh.txt"),
         QStringLiteral("[Myš] mys.scm"), QStringLiteral("[Dve bodky] a.b.txt"),
         QStringLiteral("[Veľký] VELKY.TXT"), QStringLiteral("[Program] prog.exe /x"),
         QStringLiteral("[Chýba] chyba.exe"), QStringLiteral("[Vyučujúci] ucitel.txt")});
    test::writeCourseFile(
        day + QStringLiteral("PRIBEH.TXT"),
        {QStringLiteral("[Myš v príbehu] MYS.SCM"), QStringLiteral("[Späť] Obsah.txt")});
    for (const char* f : {"mys.scm", "a.b.txt", "VELKY.TXT", "prog.exe", "ucitel.txt"})
        test::writeBytes(day + QString::fromUtf8(f), "x");
    test::writeBytes(program + QStringLiteral("scplayer.exe"), "x");
    test::writeCourseFile(program + QStringLiteral("CONFIG.TXT"),
                          {QStringLiteral("Skúšobný kurz.")});

    t = std::make_unique<test::TestState>(program, tmp->path() + QStringLiteral("/temp"));
    shell = std::make_unique<WaitingShell>();
    t->st.shell = shell.get();
    t->st.playerFolder = program.chopped(1);
    t->st.levels.restore(2);
    t->st.levels.restorePlace(1, QStringLiteral("__1._deň"), t->st.levels.listFile(1));
    t->st.levels.restorePlace(2, QStringLiteral("01._deň"), t->st.levels.listFile(2));
    t->st.levels.restorePlace(3, QStringLiteral("01._deň"), t->st.levels.listFile(3));
    modal = std::make_unique<test::ScriptedModal>(false); // windows stay hidden
    form = std::make_unique<TForm1>(t->st, *modal, false);
    ran = false;
}

void TestUiTree::cleanup() {
    QFile::remove(indexFileName(defaultIndexCacheDir(), program));
    form.reset();
    modal.reset();
    t.reset();
    shell.reset();
    tmp.reset();
}

void TestUiTree::withTree(const std::function<void(TOknoHladaj*)>& body) {
    // Password windows are left without an answer: they refuse.
    modal->script = [this, body](QWidget* w) {
        auto* tree = qobject_cast<TOknoHladaj*>(w);
        if (!tree)
            return;
        tree->show();
        shell->window = tree;
        ran = true;
        body(tree);
        tree->hide();
    };
    child<QAction>(form, "Hadaj1")->trigger();
    QVERIFY(ran);
}

void TestUiTree::buildsTreeWithCaptions() {
    withTree([this](TOknoHladaj* w) {
        QCOMPARE(w->windowTitle(), QStringLiteral("Strom"));
        QCOMPARE(child<QPushButton>(w, "Button1")->text(), QStringLiteral("Návrat"));
        QCOMPARE(child<QPushButton>(w, "Button2")->text(), QStringLiteral("Hľadaj text"));
        QCOMPARE(child<QAction>(w, "Hadanie1")->text(), QStringLiteral("Hľadaj"));
        QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("1. deň"));
        QCOMPARE(child<QLabel>(w, "Label3")->text(), program + QStringLiteral("01._deň/Obsah.txt"));
        QVERIFY(child<QAction>(w, "Hadanieintegrity1")->isVisible());
        QVERIFY(child<QFrame>(w, "Panel1")->isHidden());
        QCOMPARE(w->tree().size(), 10);
        QTreeWidgetItem* root = child<QTreeWidget>(w, "TreeView1")->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("1. deň"));
        QCOMPARE(root->childCount(), 7);
        QCOMPARE(root->child(0)->text(0), QStringLiteral("Príbeh"));
        QVERIFY(root->child(0)->isExpanded());
        QCOMPARE(root->child(0)->child(0)->text(0), QStringLiteral("Myš v príbehu"));
        QCOMPARE(w->selectedNode(), 0);
        // Clicking an item names its file.
        w->selectNode(5);
        QCOMPARE(child<QLabel>(w, "Label3")->text(), program + QStringLiteral("01._deň/a.b.txt"));
    });
}

void TestUiTree::searchAndSearchOn() {
    withTree([this](TOknoHladaj* w) {
        w->Hadanie1Click();
        QVERIFY(child<QFrame>(w, "Panel1")->isVisible());
        child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("myš"));
        w->Button2Click();
        QCOMPARE(w->selectedNode(), 2);
        QVERIFY(child<QPushButton>(w, "Button3")->isVisible());
        QVERIFY(child<QPushButton>(w, "Button4")->isVisible());
        QVERIFY(!child<QPushButton>(w, "Button2")->isEnabled());
        w->Button4Click();
        QCOMPARE(w->selectedNode(), 4);
        QVERIFY(t->prompter.shown.empty());
        w->Button4Click();
        QCOMPARE(t->prompter.texts(), QStringList{QStringLiteral("Nenašlo")});
        QVERIFY(child<QPushButton>(w, "Button3")->isHidden());
        QVERIFY(child<QPushButton>(w, "Button4")->isHidden());
        QVERIFY(child<QPushButton>(w, "Button2")->isEnabled());
        // A new search starts from the root again.
        w->Button2Click();
        QCOMPARE(w->selectedNode(), 2);
        // "Č" and "č" are different letters to the search.
        child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("MYŠ"));
        w->Button2Click();
        QCOMPARE(t->prompter.texts().size(), 2);
    });
}

void TestUiTree::emptySearch() {
    withTree([this](TOknoHladaj* w) {
        w->Hadanie1Click();
        w->Button2Click();
        QCOMPARE(t->prompter.texts(), QStringList{QStringLiteral("Nemám čo hladať")});
    });
}

// The tree's own launch tells why a Windows program does not start, as an
// item button does.
void TestUiTree::programWithoutWine() {
    shell->wineMissing = true;
    withTree([&](TOknoHladaj* w) {
        w->selectNode(7);
        w->Button3Click();
    });
    QVERIFY(shell->calls.empty());
    const QStringList texts = t->prompter.texts();
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts.front().endsWith(QStringLiteral("prog.exe - je program pre Windows. Na tomto "
                                                   "počítači ho spustí balík wine, ktorý nie je "
                                                   "nainštalovaný.")),
             qPrintable(texts.front()));
}

void TestUiTree::openItem_data() {
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("kind");    // shell call, or "" for none
    QTest::addColumn<QString>("program"); // relative to the day folder; "@" for this program
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString self = QStringLiteral("@");
    QTest::newRow("content list in a second copy")
        << 1 << "run" << self << QStringList{"%dPRIBEH.TXT", "0", "1.", "deň", "-", "Príbeh"} << "";
    QTest::newRow("upper-case TXT opens as a list")
        << 6 << "run" << self << QStringList{"%dVELKY.TXT", "0", "1.", "deň", "-", "Veľký"} << "";
    QTest::newRow("a.b.txt through the shell") << 5 << "open"
                                               << "a.b.txt" << QStringList{} << "";
    QTest::newRow("program with parameters") << 7 << "start"
                                             << "prog.exe" << QStringList{"/x"} << "";
    QTest::newRow("demonstration") << 4 << "start"
                                   << "../scplayer.exe" << QStringList{"%dmys.scm", "/s/c"} << "";
    QTest::newRow("demonstration named in another case")
        << 2 << "start"
        << "../scplayer.exe" << QStringList{"%dmys.scm", "/s/c"} << "";
    QTest::newRow("missing program") << 8 << ""
                                     << "" << QStringList{} << "%dchyba.exe - súbor neexistuje";
    QTest::newRow("cyclic list still opens")
        << 3 << "run" << self
        << QStringList{"%dObsah.txt", "0", "1.", "deň", "-", "Príbeh", "-", "Späť"} << "";
}

void TestUiTree::openItem() {
    QFETCH(int, node);
    QFETCH(QString, kind);
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    for (QString& a : args)
        a.replace(QStringLiteral("%d"), day);
    message.replace(QStringLiteral("%d"), day);
    withTree([&](TOknoHladaj* w) {
        w->selectNode(node);
        w->Button3Click();
        QVERIFY(w->isEnabled());
        QVERIFY(child<QFrame>(w, "Panel1")->isVisible());
    });
    QCOMPARE(t->prompter.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (kind.isEmpty()) {
        QVERIFY(shell->calls.empty());
        return;
    }
    QCOMPARE(shell->calls.size(), size_t(1));
    const auto& call = shell->calls.front();
    QCOMPARE(call.kind, kind);
    if (program == QLatin1String("@")) {
        QCOMPARE(call.program, QCoreApplication::applicationFilePath());
        QCOMPARE(call.workDir, this->program);
        QVERIFY(!shell->enabledDuringRun);
    } else {
        QCOMPARE(QDir::cleanPath(call.program), QDir::cleanPath(day + program));
    }
    QCOMPARE(call.args, args);
}

void TestUiTree::passwordGuardsTeacherItem() {
    withTree([](TOknoHladaj* w) {
        w->selectNode(9);
        w->TreeView1DblClick();
    });
    QCOMPARE(modal->classes, (QStringList{"TOknoHladaj", "TOknoHeslo"}));
    QVERIFY(shell->calls.empty());

    t->st.teacherLoggedIn = true;
    withTree([](TOknoHladaj* w) {
        w->selectNode(9);
        w->TreeView1DblClick();
    });
    QCOMPARE(modal->classes.size(), 3);
    QCOMPARE(shell->calls.size(), size_t(1));
    QCOMPARE(shell->calls.front().args.first(), day + QStringLiteral("ucitel.txt"));
}

void TestUiTree::notAtLevelOne() {
    t->st.levels.restore(1);
    child<QAction>(form, "Hadaj1")->trigger();
    QVERIFY(modal->classes.isEmpty());
    QVERIFY(t->prompter.shown.empty());
}

void TestUiTree::blockedInSecondCopy_data() {
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("config");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("stay") << false << "" << true << false;
    QTest::newRow("close the copy") << true << "" << true << true;
    QTest::newRow("question switched off") << false << "0*BLOCKED TREE2*Zavrieť?" << false << true;
}

void TestUiTree::blockedInSecondCopy() {
    QFETCH(bool, answer);
    QFETCH(QString, config);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    if (!config.isEmpty())
        test::writeCourseFile(program + QStringLiteral("CONFIG.TXT"), {config});
    t->st.openedContentFile = day + QStringLiteral("pribeh.txt");
    t->prompter.answers.push_back(answer);
    child<QAction>(form, "Hadaj1")->trigger();
    QVERIFY(modal->classes.isEmpty());
    QCOMPARE(t->prompter.shown.size(), size_t(asked ? 1 : 0));
    if (asked) {
        QVERIFY(t->prompter.shown.front().question);
        QCOMPARE(
            t->prompter.shown.front().text,
            QStringLiteral(
                "Vo vyhľadávacom okne sa nedá znovu vyhľadávať.\rZavrieť vyhľadávacie okno ?"));
    }
    QCOMPARE(form->closingForExit, closed);
}

void TestUiTree::integrityCheck() {
    withTree([this](TOknoHladaj* w) {
        w->open();
        QVERIFY(child<QPlainTextEdit>(w, "Memo1")->isVisible());
        QVERIFY(child<QPushButton>(w, "Button5")->isVisible());
        QCOMPARE(child<QPushButton>(w, "Button5")->text(), QStringLiteral("Koniec kontroly"));
        QVERIFY(child<QLabel>(w, "Label3")->isHidden());
        QVERIFY(!child<QAction>(w, "Hadanie1")->isEnabled());
        QVERIFY(!child<QAction>(w, "Hadanieintegrity1")->isEnabled());
        QCOMPARE(child<QLabel>(w, "Label1")->text(),
                 QStringLiteral("Zoznam chýbajúcich a zacyklenych súborov 01._deň"));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText().split(QLatin1Char('\n')),
                 (QStringList{"01._deň", "", "chyba.exe Chýba - ",
                              "zacyklený súbor : Obsah.txt duplikovany v pribeh.txt",
                              "zacyklený súbor : Obsah.txt->pribeh.txt->Obsah.txt->"}));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->verticalScrollBarPolicy(),
                 Qt::ScrollBarAsNeeded);
        // The same tree, tested again against the folder as it is now.
        test::writeBytes(day + QStringLiteral("CHYBA.EXE"), "x");
        QFile::remove(day + QStringLiteral("mys.scm"));
        w->Button5Click();
        QVERIFY(child<QPlainTextEdit>(w, "Memo1")->isHidden());
        QVERIFY(child<QAction>(w, "Hadanie1")->isEnabled());
        QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("01._deň"));
        QVERIFY(child<QLabel>(w, "Label3")->isVisible());
        QCOMPARE(child<QLabel>(w, "Label3")->text(), program + QStringLiteral("01._deň/Obsah.txt"));
        w->open();
        QCOMPARE(
            child<QPlainTextEdit>(w, "Memo1")->toPlainText().split(QLatin1Char('\n')).mid(2, 2),
            (QStringList{"MYS.SCM Príbeh - Myš v príbehu - ", "mys.scm Myš - "}));
    });
}

void TestUiTree::integrityTeacherGate() {
    t->st.editPasswordSwitch = true;
    withTree([](TOknoHladaj* w) {
        w->open();
        QVERIFY(child<QPlainTextEdit>(w, "Memo1")->isHidden());
        QVERIFY(child<QAction>(w, "Hadanie1")->isEnabled());
    });
    QCOMPARE(modal->classes, (QStringList{"TOknoHladaj", "TOknoHeslo"}));
}

void TestUiTree::integrityScrollBar() {
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines << QStringLiteral("[Úloha %1] uloha%1.exe").arg(i);
    test::writeCourseFile(day + QStringLiteral("Obsah.txt"), lines);
    withTree([](TOknoHladaj* w) {
        w->open();
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->blockCount(), 32);
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->verticalScrollBarPolicy(),
                 Qt::ScrollBarAlwaysOn);
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->horizontalScrollBarPolicy(),
                 Qt::ScrollBarAsNeeded);
    });
}

namespace {

bool waitForIndex(TOknoHladaj* w) {
    return QTest::qWaitFor(
        [w] { return w->textSearch() && w->textSearch()->ready() && !w->textSearch()->building(); },
        60000);
}

QStringList listTexts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

void TestUiTree::textSearchTypingAndEnter() {
    test::writeCourseFile(day + QStringLiteral("PRIBEH.TXT"),
                          {QStringLiteral("<Myška Zuzka beží po stole.>"),
                           QStringLiteral("[Myš v príbehu] MYS.SCM"),
                           QStringLiteral("[Späť] Obsah.txt")});
    withTree([this](TOknoHladaj* w) {
        QVERIFY(w->textSearch());
        QVERIFY(waitForIndex(w));
        QVERIFY(child<QProgressBar>(w, "ProgressBar1")->isHidden());
        QVERIFY(child<QLabel>(w, "Label5")->text().isEmpty());
        QListWidget* list = child<QListWidget>(w, "ListBox1");
        // Results follow the typing once it pauses.
        QTest::keyClicks(child<QLineEdit>(w, "Edit2"), QStringLiteral("ZUZK"));
        QCOMPARE(list->count(), 0);
        QTRY_COMPARE(listTexts(list),
                     QStringList{QStringLiteral("1. deň - Príbeh: Myška Zuzka beží po stole.")});
        QCOMPARE(w->textHits().first().file, QStringLiteral("01._deň/PRIBEH.TXT"));
        QCOMPARE(list->currentRow(), 0);
        // Enter opens it as the tree does: a content list in a second copy.
        QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_Return);
        QCOMPARE(shell->calls.size(), size_t(1));
        QCOMPARE(shell->calls.front().kind, QStringLiteral("run"));
        QCOMPARE(shell->calls.front().program, QCoreApplication::applicationFilePath());
        QCOMPARE(shell->calls.front().args, (QStringList{day + QStringLiteral("PRIBEH.TXT"), "0",
                                                         "1.", "deň", "-", "Príbeh"}));
        QVERIFY(!shell->enabledDuringRun);
        QVERIFY(w->isEnabled());

        // A demonstration found by its caption starts the player.
        child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("mys v pribehu"));
        QTRY_COMPARE(listTexts(list),
                     QStringList{QStringLiteral("1. deň - Príbeh - Myš v príbehu: Myš v príbehu")});
        emit list->itemActivated(list->item(0));
        QCOMPARE(shell->calls.size(), size_t(2));
        QCOMPARE(shell->calls.back().kind, QStringLiteral("start"));
        QCOMPARE(shell->calls.back().args, (QStringList{day + QStringLiteral("mys.scm"), "/s/c"}));

        // Nothing found: said in the list, and Enter does nothing.
        child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("zebra"));
        QTRY_COMPARE(listTexts(list), QStringList{QStringLiteral("Nič sa nenašlo")});
        QCOMPARE(list->item(0)->flags(), Qt::NoItemFlags);
        QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_Return);
        // Query syntax is only text: no error, no results.
        child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("\"*-(:"));
        w->runTextSearch();
        QCOMPARE(listTexts(list), QStringList{QStringLiteral("Nič sa nenašlo")});
        child<QLineEdit>(w, "Edit2")->clear();
        w->runTextSearch();
        QCOMPARE(list->count(), 0);
        child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("NEAR \"zuzka"));
        w->runTextSearch();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Nič sa nenašlo"));
    });
    QCOMPARE(shell->calls.size(), size_t(2));
    QVERIFY(t->prompter.shown.empty());
}

void TestUiTree::textSearchGates() {
    test::writeCourseFile(day + QStringLiteral("ucitel.txt"),
                          {QStringLiteral("<Heslá pre vyučujúceho.>")});
    auto openTeacherPage = [this](TOknoHladaj* w) {
        QVERIFY(waitForIndex(w));
        child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("hesla"));
        w->runTextSearch();
        QCOMPARE(w->textHits().size(), 1);
        QCOMPARE(w->textHits().first().captionPath, QStringLiteral("1. deň - Vyučujúci"));
        QTest::keyClick(child<QListWidget>(w, "ListBox1"), Qt::Key_Return);
    };
    withTree(openTeacherPage);
    // The teacher's password is asked and refused: nothing opens.
    QCOMPARE(modal->classes, (QStringList{"TOknoHladaj", "TOknoHeslo"}));
    QVERIFY(shell->calls.empty());

    t->st.teacherLoggedIn = true;
    withTree(openTeacherPage);
    QCOMPARE(modal->classes.size(), 3);
    QCOMPARE(shell->calls.size(), size_t(1));
    QCOMPARE(shell->calls.front().args.first(), day + QStringLiteral("ucitel.txt"));
}

void TestUiTree::textSearchKeyboard() {
    withTree([](TOknoHladaj* w) {
        for (QWidget* c : std::initializer_list<QWidget*>{
                 child<QLineEdit>(w, "Edit2"), child<QListWidget>(w, "ListBox1"),
                 child<QProgressBar>(w, "ProgressBar1"), child<QLabel>(w, "Label4"),
                 child<QLabel>(w, "Label5")})
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
        QCOMPARE(child<QLabel>(w, "Label4")->text(), QStringLiteral("Hľadaj v texte"));
        QCOMPARE(child<QLabel>(w, "Label4")->buddy(), child<QLineEdit>(w, "Edit2"));
        // Tab goes from the field to the results, and on round to the tree.
        auto nextTabStop = [](QWidget* from) {
            QWidget* n = from->nextInFocusChain();
            while (n != from &&
                   (!(n->focusPolicy() & Qt::TabFocus) || !n->isVisible() || !n->isEnabled()))
                n = n->nextInFocusChain();
            return n;
        };
        QCOMPARE(nextTabStop(child<QLineEdit>(w, "Edit2")),
                 static_cast<QWidget*>(child<QListWidget>(w, "ListBox1")));
        QWidget* n = child<QListWidget>(w, "ListBox1");
        bool treeReached = false;
        for (int i = 0; i < 20 && !treeReached; ++i) {
            n = nextTabStop(n);
            treeReached = n == child<QTreeWidget>(w, "TreeView1");
        }
        QVERIFY(treeReached);
        // The arrows in the field move through the hits.
        QVERIFY(waitForIndex(w));
        child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("mys"));
        w->runTextSearch();
        QVERIFY(child<QListWidget>(w, "ListBox1")->count() >= 2);
        QCOMPARE(child<QListWidget>(w, "ListBox1")->currentRow(), 0);
        QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_Down);
        QCOMPARE(child<QListWidget>(w, "ListBox1")->currentRow(), 1);
        QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_Up);
        QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_Up);
        QCOMPARE(child<QListWidget>(w, "ListBox1")->currentRow(), 0);
        // The integrity check takes the place; its end gives it back.
        w->open();
        QVERIFY(child<QFrame>(w, "Panel2")->isHidden());
        w->Button5Click();
        QVERIFY(child<QFrame>(w, "Panel2")->isVisible());
    });
}

void TestUiTree::resizedWindowGivesListsTheRoom() {
    withTree([](TOknoHladaj* w) {
        QWidget* canvas = w->centralWidget();
        auto* tree = child<QTreeWidget>(w, "TreeView1");
        auto* hits = child<QListWidget>(w, "ListBox1");
        const auto inside = [canvas](QWidget* c) {
            return canvas->rect().contains(QRect(c->mapTo(canvas, QPoint()), c->size()));
        };
        // At its least size, the window as designed.
        w->resize(w->minimumSize());
        QCoreApplication::processEvents();
        QCOMPARE(hits->geometry(), QRect(4, 26, 425, 148));
        QCOMPARE(tree->geometry(), QRect(0, 24, 320, 313));
        // Larger: the tree and the hits take the room, nothing leaves the window.
        w->resize(w->minimumSize() + QSize(300, 240));
        QCoreApplication::processEvents();
        const QSize extra = canvas->size() - QSize(761, 508);
        QCOMPARE(extra, QSize(300, 240));
        QCOMPARE(hits->size(), QSize(425 + 200, 148 + 240));
        QCOMPARE(tree->size(), QSize(320 + 100, 313 + 240));
        QVERIFY(tree->geometry().right() < child<QFrame>(w, "Panel2")->x());
        for (const char* name : {"Button1", "Label3", "Label5", "Edit2", "Panel1", "Button5"})
            QVERIFY2(inside(child<QWidget>(w, name)), name);
        QVERIFY(inside(hits) && inside(tree));
    });
}

QTEST_MAIN(TestUiTree)
#include "tst_ui_tree.moc"
