// The lesson editor window and "Editácia lekcie" on a real level window
// (offscreen); the editor is driven through the modal runner double.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/editor_window.h"
#include "platform/dialogs_window.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/textfile.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

void typeInto(TOknoEditLek& ed, const QString& text) {
    child<QPlainTextEdit>(&ed, "Memo1")->setPlainText(text);
}

struct Screen {
    QTemporaryDir dir;
    QString prog, folder, list;
    std::unique_ptr<TestState> ts;
    ScriptedModal modal{false};                  // windows stay hidden
    std::function<void(TOknoEditLek&)> onEditor; // what the teacher does in the editor
    std::unique_ptr<TForm1> form;
    explicit Screen(const QStringList& lines) {
        modal.answer = [this](QWidget* w) {
            auto* ed = qobject_cast<TOknoEditLek*>(w);
            if (!ed)
                return 0;
            if (onEditor)
                onEditor(*ed);
            return ed->result();
        };
        prog = dir.path() + "/kurz/";
        folder = prog + "01._deň/";
        list = folder + "Obsah.txt";
        QDir().mkpath(folder);
        QDir().mkpath(dir.path() + "/temp");
        writeCourseFile(prog + "CONFIG.TXT", {});
        writeCourseFile(prog + "lection.hlp", {"Riadok [Popis] súbor vytvorí tlačidlo."});
        writeCourseFile(list, lines);
        ts = std::make_unique<TestState>(prog, dir.path() + "/temp");
        ts->st.levels.restore(2);
        ts->st.levels.restorePlace(2, "01._deň", "Obsah.txt");
        form = std::make_unique<TForm1>(ts->st, modal, false);
        child<QTextEdit>(form, "Memo1")->setEnabled(true);
    }
};

} // namespace

class TestUiEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void editListFromMenu() {
        Screen s({"[Prvá] a.txt", "<Popis dňa>"});
        QString shownList, help;
        s.onEditor = [&](TOknoEditLek& ed) {
            shownList = child<QPlainTextEdit>(&ed, "Memo1")->toPlainText();
            help = child<QPlainTextEdit>(&ed, "Memo2")->toPlainText();
            QCOMPARE(ed.windowTitle(), QString("Editácia lekcie"));
            QCOMPARE(child<QLabel>(&ed, "Label1")->text(), s.list);
            QVERIFY(child<QTextEdit>(&ed, "Memo3")->isHidden()); // no formatted text yet
            typeInto(ed, "[Prvá] a.txt\n[Nová] nova.txt\n//https://example.org/\n<Popis dňa>");
            child<QPushButton>(&ed, "Button1")->click();
        };
        child<QAction>(s.form, "Editcialekci1")->trigger();
        QCOMPARE(int(s.modal.classes.count("TOknoEditLek")), 1);
        QCOMPARE(shownList, QString("[Prvá] a.txt\n<Popis dňa>"));
        QCOMPARE(help, QString("Riadok [Popis] súbor vytvorí tlačidlo."));
        // The list as typed, then the text panel saved over it.
        QCOMPARE(readLines(s.list), (QStringList{"[Prvá] a.txt", "[Nová] nova.txt",
                                                 "//https://example.org/", "<", "Popis dňa", ">"}));
        QCOMPARE(readLines(s.folder + "Obsah.bak"), (QStringList{"[Prvá] a.txt", "<Popis dňa>"}));
        QTextDocument rtf;
        QVERIFY(loadRtfFile(s.folder + "Obsah.rtf", rtf));
        QCOMPARE(plainLines(rtf), QStringList{"Popis dňa"});
        QCOMPARE(child<QComboBox>(s.form, "ComboBox1")->count(), 1);
        QCOMPARE(child<QComboBox>(s.form, "ComboBox1")->currentText(),
                 QString("https://example.org/"));
        QVERIFY(child<QTextEdit>(s.form, "Memo1")->isReadOnly());
        QVERIFY(s.ts->prompter.shown.empty());
    }

    void formattedTextShownBesideTheList() {
        Screen s({"[A] a.txt", "<", "Popis", ">"});
        QTextDocument doc;
        doc.setPlainText("Popis");
        writeBytes(s.folder + "Obsah.rtf", writeRtf(doc));
        s.onEditor = [&](TOknoEditLek& ed) {
            QCOMPARE(child<QPlainTextEdit>(&ed, "Memo1")->toPlainText(), QString("[A] a.txt"));
            QVERIFY(!child<QTextEdit>(&ed, "Memo3")->isHidden());
            QCOMPARE(child<QTextEdit>(&ed, "Memo3")->toPlainText(), QString("Popis"));
            QCOMPARE(child<QLabel>(&ed, "Label2")->text(), s.folder + "Obsah.rtf");
            typeInto(ed, "[A] a.txt\n<Doplnený riadok>");
            child<QPushButton>(&ed, "Button1")->click();
        };
        child<QAction>(s.form, "Editcialekci1")->trigger();
        QCOMPARE(readLines(s.list),
                 (QStringList{"[A] a.txt", "<", "Popis", "Doplnený riadok", ">"}));
        QCOMPARE(plainLines(*child<QTextEdit>(s.form, "Memo1")->document()),
                 (QStringList{"Popis", "Doplnený riadok"}));
    }

    void cancelSavesNothing() {
        Screen s({"[A] a.txt", "<Popis>"});
        const QByteArray before = readBytes(s.list);
        s.onEditor = [&](TOknoEditLek& ed) {
            typeInto(ed, "zmazané všetko");
            child<QPushButton>(&ed, "Button2")->click();
        };
        child<QAction>(s.form, "Editcialekci1")->trigger();
        QCOMPARE(readBytes(s.list), before);
        QVERIFY(!QFileInfo::exists(s.folder + "Obsah.bak"));
        QVERIFY(!QFileInfo::exists(s.folder + "Obsah.rtf")); // the panel was not saved either
    }

    void leavingAChangedListOffersToSave_data() {
        QTest::addColumn<bool>("escape"); // else the close box
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<int>("choice"); // -1: no question expected
        QTest::addColumn<bool>("saved");
        QTest::newRow("Esc, Áno") << true << QStringList{} << 0 << true;
        QTest::newRow("Esc, Nie") << true << QStringList{} << 1 << false;
        QTest::newRow("close box, Zrušiť, then Zruš zmeny") << false << QStringList{} << 2 << false;
        QTest::newRow("close box, Áno") << false << QStringList{} << 0 << true;
        // The line that lets the lesson text be saved without a question does
        // the same here.
        QTest::newRow("switch off: saved without a question")
            << true << QStringList{"0*SAVE MEMO?*Uložiť?"} << -1 << true;
    }
    void leavingAChangedListOffersToSave() {
        QFETCH(bool, escape);
        QFETCH(QStringList, config);
        QFETCH(int, choice);
        QFETCH(bool, saved);
        Screen s({"[A] a.txt"});
        writeCourseFile(s.prog + "CONFIG.TXT", config);
        const QByteArray before = readBytes(s.list);
        if (choice >= 0)
            s.ts->prompter.choices = {choice};
        bool stayed = false;
        s.onEditor = [&](TOknoEditLek& ed) {
            typeInto(ed, "[A] a.txt\n[B] b.txt");
            ed.show();
            if (escape)
                QTest::keyClick(child<QPlainTextEdit>(&ed, "Memo1"), Qt::Key_Escape);
            else
                ed.close();
            stayed = ed.isVisible();
            if (stayed)
                child<QPushButton>(&ed, "Button2")->click(); // then dropped on purpose
        };
        child<QAction>(s.form, "Editcialekci1")->trigger();
        QCOMPARE(stayed, choice == 2);
        if (saved)
            QCOMPARE(readLines(s.list), (QStringList{"[A] a.txt", "[B] b.txt"}));
        else
            QCOMPARE(readBytes(s.list), before);
        QCOMPARE(QFileInfo::exists(s.folder + "Obsah.bak"), saved);
        if (choice < 0) {
            QVERIFY(s.ts->prompter.shown.empty());
        } else {
            QCOMPARE(s.ts->prompter.texts(), QStringList{"Chcete uložiť memo?"});
            QCOMPARE(s.ts->prompter.buttonsShown.at(0), (QStringList{"Áno", "Nie", "Zrušiť"}));
        }
    }

    void leavingAnUnchangedListAsksNothing() {
        Screen s({"[A] a.txt"});
        s.onEditor = [&](TOknoEditLek& ed) {
            ed.show();
            QTest::keyClick(child<QPlainTextEdit>(&ed, "Memo1"), Qt::Key_Escape);
            QVERIFY(!ed.isVisible());
        };
        child<QAction>(s.form, "Editcialekci1")->trigger();
        QVERIFY(s.ts->prompter.shown.empty());
        QVERIFY(!QFileInfo::exists(s.folder + "Obsah.bak"));
    }

    void continueToTextEditing() {
        Screen s({"[A] a.txt", "<Popis>"});
        s.onEditor = [&](TOknoEditLek& ed) { child<QPushButton>(&ed, "Button3")->click(); };
        child<QAction>(s.form, "Editcialekci1")->trigger();
        QVERIFY(!child<QTextEdit>(s.form, "Memo1")->isReadOnly());
        QVERIFY(!s.ts->st.editorAskedTextEdit);
        QCOMPARE(plainLines(*child<QTextEdit>(s.form, "Memo1")->document()), QStringList{"Popis"});
    }

    void refusedWhileTextIsEdited() {
        Screen s({"<Popis>"});
        child<QAction>(s.form, "Editciatextu2")->trigger();
        child<QAction>(s.form, "Editcialekci1")->trigger();
        QCOMPARE(int(s.modal.classes.count("TOknoEditLek")), 0);
        QCOMPARE(s.ts->prompter.texts(),
                 QStringList{"Najskôr musíte ukončiť editáciu textu, uložte text"});
    }

    // The create-missing-list offers open the editor through openLessonEditor.
    void missingList_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("textEditing");
        QTest::newRow("cancel removes the empty file") << false << false;
        QTest::newRow("save creates it, no backup") << true << false;
        QTest::newRow("save and edit the text") << true << true;
    }
    void missingList() {
        QFETCH(bool, save);
        QFETCH(bool, textEditing);
        Screen s({});
        const QString fresh = s.folder + "nova.txt";
        s.onEditor = [&](TOknoEditLek& ed) {
            QVERIFY(QFileInfo::exists(fresh));
            QCOMPARE(child<QPlainTextEdit>(&ed, "Memo1")->toPlainText(), QString());
            if (!save) {
                ed.reject();
                return;
            }
            typeInto(ed, "<Nová lekcia>");
            (textEditing ? child<QPushButton>(&ed, "Button3") : child<QPushButton>(&ed, "Button1"))
                ->click();
        };
        s.ts->st.editorAskedTextEdit = true; // left over from before: cleared on opening
        QCOMPARE(openLessonEditor(*s.form, "01._deň", "nova.txt"), save);
        QCOMPARE(QFileInfo::exists(fresh), save);
        QVERIFY(!QFileInfo::exists(s.folder + "nova.bak"));
        QCOMPARE(s.ts->st.editorAskedTextEdit, textEditing);
        if (save)
            QCOMPARE(readLines(fresh), QStringList{"<Nová lekcia>"});
    }

    void missingListWithBackupIsRestored() {
        Screen s({});
        writeCourseFile(s.folder + "lekcia.bak", {"[Zo zálohy] z.txt"});
        QString shown;
        s.onEditor = [&](TOknoEditLek& ed) {
            shown = child<QPlainTextEdit>(&ed, "Memo1")->toPlainText();
            ed.reject();
        };
        QVERIFY(!openLessonEditor(*s.form, "01._deň", "lekcia.txt"));
        QCOMPARE(shown, QString("[Zo zálohy] z.txt"));
        QCOMPARE(readLines(s.folder + "lekcia.txt"), QStringList{"[Zo zálohy] z.txt"});
        QCOMPARE(readLines(s.folder + "lekcia.bak"), QStringList{"[Zo zálohy] z.txt"});
    }
};

QTEST_MAIN(TestUiEditor)
#include "tst_ui_editor.moc"
