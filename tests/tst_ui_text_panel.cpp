// The lesson text panel on a real level window (offscreen): showing, editing,
// formatting through the font dialog, saving and the question before leaving.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/lesson_text.h"
#include "platform/dialogs_window.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontDialog>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

// A course with one lesson text on level 2 and a window showing it.
struct Lesson {
    QTemporaryDir dir;
    QString prog, folder, txt, rtf;
    std::unique_ptr<TestState> ts;
    ScriptedModal modal{false}; // windows stay hidden
    std::unique_ptr<TForm1> form;

    explicit Lesson(const QStringList& lines, const QStringList& config = {}) {
        prog = dir.path() + "/kurz/";
        folder = prog + "03._deň/";
        txt = folder + "pisanie.txt";
        rtf = folder + "pisanie.rtf";
        QDir().mkpath(folder);
        QDir().mkpath(dir.path() + "/temp");
        writeCourseFile(prog + "CONFIG.TXT", config);
        writeCourseFile(txt, lines);
        ts = std::make_unique<TestState>(prog, dir.path() + "/temp");
        AppState& st = ts->st;
        st.levels.restore(2);
        st.levels.restorePlace(2, "03._deň", "PISANIE.TXT"); // case differs from the disk
        form = std::make_unique<TForm1>(st, modal, false);
        child<QTextEdit>(form, "Memo1")->setToolTip("Vyznačte text");
        child<QTextEdit>(form, "Memo1")->setEnabled(true);
    }
    QTextEdit* memo() const { return child<QTextEdit>(form, "Memo1"); }
    bool editing() const { return !memo()->isReadOnly(); }
    void type(const QString& text) const { memo()->setPlainText(text); }
};

} // namespace

class TestUiTextPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void rtfTwinWinsOverHandChangedBlock() {
        Lesson l({"<Text v súbore>"});
        QTextDocument doc;
        doc.setPlainText("Formátovaný text");
        writeBytes(l.rtf, "{\\rtf1\\ansi\\ansicpg1250 {\\b Form\\'e1tovan\\'fd} text\\par}");
        l.form->ObnovMemo();
        QCOMPARE(plainLines(*l.memo()->document()), QStringList{"Formátovaný text"});
        QTextCursor c(l.memo()->document());
        c.setPosition(2);
        QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
    }

    void editSaveAndComeBack() {
        Lesson l({"pozadie.bmp", "<Starý text>", "[Úloha] uloha.txt"});
        child<QAction>(l.form, "Editciatextu2")->trigger();
        QVERIFY(l.editing());
        QCOMPARE(plainLines(*l.memo()->document()), QStringList{"Starý text"});
        QCOMPARE(child<QAction>(l.form, "Editciatextu2")->text(), QString("Uloženie textu"));
        QVERIFY(child<QAction>(l.form, "Ignorovazmeny1")->isVisible());
        QCOMPARE(l.memo()->toolTip(), QString("Vyznačte text"));

        l.type("Nový text\nso dvoma riadkami");
        child<QAction>(l.form, "Editciatextu2")->trigger();
        QVERIFY(!l.editing());
        QCOMPARE(child<QAction>(l.form, "Editciatextu2")->text(), QString("Editácia textu"));
        QVERIFY(!child<QAction>(l.form, "Ignorovazmeny1")->isVisible());
        QVERIFY(l.memo()->toolTip().isEmpty());
        // Shown again, the text is read by line from the keyboard, and Tab
        // moves on; the description is not the mouse hint.
        QVERIFY(l.memo()->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QVERIFY(l.memo()->tabChangesFocus());
        QVERIFY(!l.memo()->accessibleDescription().isEmpty());
        QVERIFY(!l.memo()->accessibleDescription().contains("Vyznačte"));
        QCOMPARE(readLines(l.txt), (QStringList{"pozadie.bmp", "<", "Nový text",
                                                "so dvoma riadkami", ">", "[Úloha] uloha.txt"}));
        QTextDocument back;
        QVERIFY(loadRtfFile(l.rtf, back));
        QCOMPARE(plainLines(back), (QStringList{"Nový text", "so dvoma riadkami"}));

        // A fresh window shows what was saved.
        TForm1 again(l.ts->st, l.modal, false);
        again.ObnovMemo();
        QCOMPARE(plainLines(*child<QTextEdit>(&again, "Memo1")->document()), plainLines(back));
        QVERIFY(l.ts->prompter.shown.empty());
    }

    void discardRestoresStoredText() {
        Lesson l({"<Uložený text>"});
        child<QAction>(l.form, "Editciatextu2")->trigger();
        l.type("Prepísané");
        child<QAction>(l.form, "Ignorovazmeny1")->trigger();
        QVERIFY(!l.editing());
        QVERIFY(!child<QAction>(l.form, "Ignorovazmeny1")->isVisible());
        QCOMPARE(plainLines(*l.memo()->document()), QStringList{"Uložený text"});
        QCOMPARE(readLines(l.txt), QStringList{"<Uložený text>"});
        QVERIFY(!QFileInfo::exists(l.rtf));
    }

    // What leaving a screen does while the text is being edited ("Späť",
    // "Koniec" and the notes button call this).
    void leavingWhileEditing_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("mayLeave");
        QTest::addColumn<bool>("asked");
        QTest::newRow("Yes saves") << QStringList{} << true << true << true;
        QTest::newRow("No keeps editing") << QStringList{} << false << false << true;
        QTest::newRow("switch 0 saves without asking")
            << QStringList{"0*SAVE MEMO?*Uložiť?"} << false << true << false;
    }
    void leavingWhileEditing() {
        QFETCH(QStringList, config);
        QFETCH(bool, answer);
        QFETCH(bool, mayLeave);
        QFETCH(bool, asked);
        Lesson l({"<Text>", "[A] a.txt"}, config);
        child<QAction>(l.form, "Editciatextu2")->trigger();
        l.type("Zmenený");
        l.ts->prompter.answers = {answer};
        QCOMPARE(l.form->saveBeforeLeaving(), mayLeave);
        QCOMPARE(!l.ts->prompter.shown.empty(), asked);
        if (asked)
            QCOMPARE(l.ts->prompter.shown.front().text, QString("Chcete uložiť memo?"));
        QCOMPARE(l.editing(), !mayLeave);
        QCOMPARE(plainLines(*l.memo()->document()), QStringList{"Zmenený"});
        QCOMPARE(readLines(l.txt), mayLeave ? (QStringList{"<", "Zmenený", ">", "[A] a.txt"})
                                            : (QStringList{"<Text>", "[A] a.txt"}));
        // Not editing: nothing is asked and the screen may be left.
        if (mayLeave) {
            l.ts->prompter.shown.clear();
            QVERIFY(l.form->saveBeforeLeaving());
            QVERIFY(l.ts->prompter.shown.empty());
        }
    }

    // Ctrl+K offers to save the edited text before the end question.
    void ctrlKSavesEditedText() {
        Lesson l({"<Text>", "[A] a.txt"});
        child<QAction>(l.form, "Editciatextu2")->trigger();
        l.type("Dopísané pred koncom");
        l.ts->prompter.answers = {true, false}; // save: Yes; end the program: No
        child<QAction>(l.form, "Koniec1")->trigger();
        QCOMPARE(l.ts->prompter.texts(),
                 (QStringList{"Chcete uložiť memo?", "Chcete ukončiť program ?"}));
        QCOMPARE(readLines(l.txt), (QStringList{"<", "Dopísané pred koncom", ">", "[A] a.txt"}));
        QVERIFY(!l.editing());
    }

    void failedSaveKeepsEditing() {
        Lesson l({"<Text>"});
        child<QAction>(l.form, "Editciatextu2")->trigger();
        QDir().mkpath(l.rtf); // the twin cannot be replaced
        l.type("Dôležitá zmena");
        QVERIFY(!l.form->UlozMemo());
        QVERIFY(l.editing());
        QVERIFY(child<QAction>(l.form, "Ignorovazmeny1")->isVisible());
        QCOMPARE(child<QAction>(l.form, "Editciatextu2")->text(), QString("Uloženie textu"));
        QCOMPARE(plainLines(*l.memo()->document()), QStringList{"Dôležitá zmena"});
        QCOMPARE(readLines(l.txt), QStringList{"<Text>"});
        QCOMPARE(l.ts->prompter.shown.size(), size_t(1));
        QCOMPARE(l.ts->prompter.shown.front().kind, MsgKind::Error);
        QVERIFY(l.ts->prompter.shown.front().text.contains("pisanie.rtf"));
        // The same through the protocol: the screen stays.
        QVERIFY(!l.form->saveBeforeLeaving());
        QVERIFY(l.editing());
    }

    void fontDialogFormatsSelection_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void fontDialogFormatsSelection() {
        QFETCH(bool, accept);
        Lesson l({"<Dnes píšeme list>"});
        child<QAction>(l.form, "Editciatextu2")->trigger();
        QTextCursor sel(l.memo()->document());
        sel.setPosition(6);
        sel.setPosition(12, QTextCursor::KeepAnchor); // "píšeme"
        l.memo()->setTextCursor(sel);
        QString family;
        l.modal.answer = [&](QWidget* w) {
            auto* dlg = qobject_cast<QFontDialog*>(w);
            if (!dlg)
                return 0;
            QFont f("Liberation Serif");
            f.setPointSize(18);
            f.setBold(true);
            f.setItalic(true);
            dlg->setCurrentFont(f);
            auto* colors = dlg->findChild<QComboBox*>("ColorBox");
            if (colors)
                colors->setCurrentIndex(colors->findText("Červená"));
            return accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
        QTest::mouseClick(l.memo()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(l.modal.calls(), 1);
        QTextCursor probe(l.memo()->document());
        probe.setPosition(8);
        const QTextCharFormat in = probe.charFormat();
        probe.setPosition(2);
        const QTextCharFormat before = probe.charFormat();
        QCOMPARE(in.fontWeight() == QFont::Bold, accept);
        QCOMPARE(in.fontItalic(), accept);
        QCOMPARE(in.foreground().color() == QColor(255, 0, 0), accept);
        QCOMPARE(qRound(in.fontPointSize()) == 18, accept);
        QVERIFY(before.fontWeight() != QFont::Bold);
        QVERIFY(in.fontFamilies().toStringList().value(0) != "Liberation Serif");

        if (accept) {
            QVERIFY(l.form->UlozMemo());
            QTextDocument back;
            QVERIFY(loadRtfFile(l.rtf, back));
            QTextCursor b(&back);
            b.setPosition(8);
            QCOMPARE(b.charFormat().fontWeight(), int(QFont::Bold));
            QCOMPARE(b.charFormat().foreground().color(), QColor(255, 0, 0));
        }
    }

    // The focus moving from the panel to the notes button asks the question.
    void focusLeavingAsks() {
        Lesson l({"<Text>"});
        // Built already: activating the window only runs its end-of-activation rules.
        for (int level = 1; level <= kMaxLevel + 1; ++level)
            l.ts->st.levels.setBuilt(level, true);
        l.ts->st.boundsWidth = 1000;
        l.form->show();
        QApplication::setActiveWindow(l.form.get());
        QVERIFY(QTest::qWaitForWindowActive(l.form.get()));
        child<QAction>(l.form, "Editciatextu2")->trigger();
        QVERIFY(l.memo()->hasFocus());
        l.type("Iný");
        l.ts->prompter.answers = {false};
        // Escape that closes a menu gives the keyboard to the menu bar: no question.
        auto* bar = l.form->findChild<QMenuBar*>("MainMenu1");
        QVERIFY(bar);
        bar->setFocus(Qt::MenuBarFocusReason);
        QVERIFY(bar->hasFocus());
        QVERIFY(l.ts->prompter.shown.empty());
        l.memo()->setFocus();
        child<QPushButton>(l.form, "Button1")->show();
        child<QPushButton>(l.form, "Button1")->setFocus();
        QCOMPARE(l.ts->prompter.shown.size(), size_t(1));
        QVERIFY(l.editing());
        QVERIFY(l.memo()->hasFocus()); // No puts the focus back
        QCOMPARE(readLines(l.txt), QStringList{"<Text>"});
    }
};

QTEST_MAIN(TestUiTextPanel)
#include "tst_ui_text_panel.moc"
