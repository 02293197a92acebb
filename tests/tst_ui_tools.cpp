// The notes, links and copy windows on a real level window, with the shown
// dialog scripted instead of waiting for a person.
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "support/windows.h"
#include "testsupport.h"
#include "tools/copy_window.h"
#include "tools/links_window.h"
#include "tools/notes_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

// One level window showing a lesson, with its tables filled as a build would.
struct Screen {
    QTemporaryDir prog, temp;
    TestState t{prog.path(), temp.path()};
    ScriptedModal runner;
    TForm1 form{t.st, runner, false};
    QString tempDir() const { return temp.path() + "/"; }

    Screen(int level = 3, const QString& list = "lekcia.txt", const QString& folder = "01._deň") {
        t.st.levels.restore(level);
        form.level = level;
        form.takeLevel(level);
        t.st.levels.restorePlace(level, folder, list);
        t.st.levels.ZapisUroven();
    }
    void config(const QStringList& lines) { writeCourseFile(prog.path() + "/CONFIG.TXT", lines); }
    QPushButton* notesButton() { return child<QPushButton>(&form, "Button1"); }
};

} // namespace

class TestUiTools : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void noteOpensSavesAndShowsTheButton() {
        Screen s;
        writeBytes(s.tempDir() + "lekcia.txt", "prv\xe1 veta\r\n");
        s.notesButton()->hide();
        QString shownText, label;
        bool eraseShown = false;
        s.runner.script = [&](QWidget* w) {
            auto* memo = child<QPlainTextEdit>(w, "Memo1");
            shownText = memo->toPlainText();
            label = child<QLabel>(w, "Label1")->text();
            eraseShown = !child<QPushButton>(w, "Button3")->isHidden();
            memo->setPlainText("prvá veta\ndruhá veta");
            child<QPushButton>(w, "Button1")->click();
        };
        child<QAction>(&s.form, "Poznmky1")->trigger();
        QCOMPARE(s.runner.calls(), 1);
        QCOMPARE(shownText, QString("prvá veta"));
        QCOMPARE(label, "Poznámka je uložená do " + s.tempDir() + "lekcia.txt");
        QVERIFY(eraseShown);
        QVERIFY(!s.runner.visibleAfterScript);
        QCOMPARE(readBytes(s.tempDir() + "lekcia.txt"),
                 QByteArray("prv\xe1 veta\r\ndruh\xe1 veta\r\n"));
        QVERIFY(!s.notesButton()->isHidden());
    }

    void ownLevelWhateverTheLevelFileSays_data() {
        QTest::addColumn<QString>("tool");
        QTest::newRow("notes") << "notes";
        QTest::newRow("links") << "links";
    }
    void ownLevelWhateverTheLevelFileSays() {
        // Another copy started in the same learner's folder rewrites the
        // shared level file to its main screen. Before, this window then
        // showed and overwrote the main screen's note.
        QFETCH(QString, tool);
        Screen s;
        TestState other(s.prog.path(), s.temp.path());
        other.st.levels.restore(1);
        other.st.levels.ZapisUroven();
        QCOMPARE(readBytes(s.t.st.levelFile()), QByteArray("1"));
        writeBytes(s.tempDir() + "multimed.txt", "MAIN NOTE\r\n");
        writeBytes(s.tempDir() + "lekcia.txt", "LESSON NOTE\r\n");
        writeBytes(s.tempDir() + "multimed.htm", "www.main.sk\r\n");
        writeBytes(s.tempDir() + "lekcia.htm", "www.lekcia.sk\r\n");
        QString shown, label;
        if (tool == "notes") {
            s.runner.script = [&](QWidget* w) {
                auto* memo = child<QPlainTextEdit>(w, "Memo1");
                shown = memo->toPlainText();
                label = child<QLabel>(w, "Label1")->text();
                memo->setPlainText("nová poznámka lekcie");
                child<QPushButton>(w, "Button1")->click();
            };
            child<QAction>(&s.form, "Poznmky1")->trigger();
            QCOMPARE(shown, QString("LESSON NOTE"));
            QVERIFY2(label.endsWith("/lekcia.txt"), qPrintable(label));
            QCOMPARE(readBytes(s.tempDir() + "lekcia.txt"),
                     QByteArray("nov\xe1 pozn\xe1mka lekcie\r\n"));
        } else {
            s.runner.script = [&](QWidget* w) {
                auto* list = child<QListWidget>(w, "ListBox1");
                shown = list->count() ? list->item(0)->text() : QString();
                child<QLineEdit>(w, "Edit1")->setText("www.nova.sk");
                child<QPushButton>(w, "Button1")->click();
                child<QPushButton>(w, "Button4")->click();
            };
            child<QAction>(&s.form, "Odkazy1")->trigger();
            QCOMPARE(shown, QString("www.lekcia.sk"));
            QCOMPARE(readBytes(s.tempDir() + "lekcia.htm"),
                     QByteArray("www.lekcia.sk\r\nwww.nova.sk\r\n"));
            // The screen's own list of links is the lesson's too.
            QCOMPARE(child<QComboBox>(&s.form, "ComboBox2")->count(), 2);
        }
        QCOMPARE(readBytes(s.tempDir() + "multimed.txt"), QByteArray("MAIN NOTE\r\n"));
        QCOMPARE(readBytes(s.tempDir() + "multimed.htm"), QByteArray("www.main.sk\r\n"));
    }

    void dayFirstScreenHasItsOwnNote_data() {
        QTest::addColumn<QString>("list");
        QTest::newRow("Obsah.txt") << "Obsah.txt";
        QTest::newRow("obsah.txt") << "obsah.txt";
    }
    void dayFirstScreenHasItsOwnNote() {
        QFETCH(QString, list);
        Screen s(2, list, "02._deň");
        s.runner.script = [&](QWidget* w) {
            child<QPlainTextEdit>(w, "Memo1")->setPlainText("deň dva");
            child<QPushButton>(w, "Button1")->click();
        };
        child<QAbstractButton>(&s.form, "Button1")->click();
        QCOMPARE(QDir(s.temp.path()).entryList({"*.txt"}), QStringList{"02._deň.txt"});
        QVERIFY(!s.notesButton()->isHidden());
    }

    void emptyNoteKeepsTheWindowOpen() {
        Screen s;
        s.runner.script = [&](QWidget* w) {
            QVERIFY(child<QPushButton>(w, "Button3")->isHidden());
            child<QPlainTextEdit>(w, "Memo1")->setPlainText("  \n ");
            child<QPushButton>(w, "Button1")->click();
        };
        child<QAction>(&s.form, "Poznmky1")->trigger();
        QVERIFY(s.runner.visibleAfterScript);
        QVERIFY(!QFile::exists(s.tempDir() + "lekcia.txt"));
    }

    void unwritableCharacterKeepsTheText() {
        Screen s;
        writeBytes(s.tempDir() + "lekcia.txt", "stara\r\n");
        QString left;
        s.runner.script = [&](QWidget* w) {
            child<QPlainTextEdit>(w, "Memo1")->setPlainText("nová \u263a");
            child<QPushButton>(w, "Button1")->click();
            left = child<QPlainTextEdit>(w, "Memo1")->toPlainText();
        };
        child<QAction>(&s.form, "Poznmky1")->trigger();
        QVERIFY(s.runner.visibleAfterScript);
        QCOMPARE(left, QString("nová \u263a"));
        QCOMPARE(readBytes(s.tempDir() + "lekcia.txt"), QByteArray("stara\r\n"));
        QCOMPARE(s.t.prompter.shown.size(), size_t(1));
        QVERIFY(s.t.prompter.shown[0].text.contains("lekcia.txt"));
        QVERIFY(s.t.prompter.shown[0].text.contains("\u263a"));
    }

    void closingOffersToSaveAChangedNote_data() {
        QTest::addColumn<QString>("way"); // a button's name, "esc" or "" (the title bar)
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<int>("choice"); // -1: no question expected
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<bool>("closed");
        const QByteArray old("stara\r\n"), typed("zmenen\xe1\r\nposledn\xfd riadok\r\n");
        const QString text = "zmenená\nposledný riadok";
        QTest::newRow("Zruš zmeny: dropped without a question")
            << "Button2" << text << QStringList{} << -1 << old << true;
        QTest::newRow("Koniec, Áno") << "Button4" << text << QStringList{} << 0 << typed << true;
        QTest::newRow("Koniec, Nie") << "Button4" << text << QStringList{} << 1 << old << true;
        QTest::newRow("Koniec, Zrušiť") << "Button4" << text << QStringList{} << 2 << old << false;
        QTest::newRow("Esc, Áno") << "esc" << text << QStringList{} << 0 << typed << true;
        QTest::newRow("close box, Nie") << "" << text << QStringList{} << 1 << old << true;
        QTest::newRow("close box, Zrušiť") << "" << text << QStringList{} << 2 << old << false;
        QTest::newRow("unchanged: no question") << "Button4"
                                                << "stara" << QStringList{} << -1 << old << true;
        QTest::newRow("blank: no question, note kept")
            << "esc"
            << "  " << QStringList{} << -1 << old << true;
        QTest::newRow("switched off: the old silent close")
            << "Button4" << text << QStringList{"0*SAVE NOTE?*Uložiť?"} << -1 << old << true;
        QTest::newRow("configured text")
            << "Button4" << text << QStringList{"1*SAVE NOTE?*Uložiť?"} << 0 << typed << true;
    }
    void closingOffersToSaveAChangedNote() {
        QFETCH(QString, way);
        QFETCH(QString, typed);
        QFETCH(QStringList, config);
        QFETCH(int, choice);
        QFETCH(QByteArray, onDisk);
        QFETCH(bool, closed);
        Screen s;
        if (!config.isEmpty())
            s.config(config);
        writeBytes(s.tempDir() + "lekcia.txt", "stara\r\n");
        if (choice >= 0)
            s.t.prompter.choices = {choice};
        QString left;
        s.runner.script = [&](QWidget* w) {
            auto* memo = child<QPlainTextEdit>(w, "Memo1");
            memo->setPlainText(typed);
            if (way == "esc")
                QTest::keyClick(memo, Qt::Key_Escape);
            else if (way.isEmpty())
                w->close();
            else
                child<QPushButton>(w, way.toLatin1().constData())->click();
            left = memo->toPlainText();
        };
        child<QAction>(&s.form, "Poznmky1")->trigger();
        QCOMPARE(s.runner.visibleAfterScript, !closed);
        QCOMPARE(readBytes(s.tempDir() + "lekcia.txt"), onDisk);
        if (choice < 0) {
            QVERIFY(s.t.prompter.shown.empty());
        } else {
            QCOMPARE(s.t.prompter.shown.size(), size_t(1));
            QCOMPARE(s.t.prompter.shown[0].text,
                     config.isEmpty() ? QString("Uložiť poznámku?") : QString("Uložiť?"));
            QCOMPARE(s.t.prompter.buttonsShown.at(0), (QStringList{"Áno", "Nie", "Zrušiť"}));
        }
        // Staying keeps what was typed.
        if (!closed)
            QCOMPARE(left, typed);
        QVERIFY(!s.notesButton()->isHidden());
    }

    void aNewNoteIsOfferedToo() {
        // No note yet: the typed one is saved through the question and the
        // screen then offers it on its button.
        Screen s;
        s.notesButton()->hide();
        s.t.prompter.choices = {0};
        s.runner.script = [&](QWidget* w) {
            child<QPlainTextEdit>(w, "Memo1")->setPlainText("prvá");
            child<QPushButton>(w, "Button4")->click();
        };
        child<QAction>(&s.form, "Poznmky1")->trigger();
        QCOMPARE(readBytes(s.tempDir() + "lekcia.txt"), QByteArray("prv\xe1\r\n"));
        QVERIFY(!s.notesButton()->isHidden());
    }

    void erase_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("erased");
        QTest::newRow("asked, yes") << QStringList{} << true << true << true;
        QTest::newRow("asked, no") << QStringList{} << false << true << false;
        QTest::newRow("switch off: no question")
            << QStringList{"0*ERASE NOTES*Zmazať?"} << false << false << true;
    }
    void erase() {
        QFETCH(QStringList, config);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, erased);
        Screen s;
        s.config(config);
        writeBytes(s.tempDir() + "lekcia.txt", "poznamka\r\n");
        s.t.prompter.answers = {answer};
        bool eraseHidden = false;
        QString memo;
        s.runner.script = [&](QWidget* w) {
            child<QPushButton>(w, "Button3")->click();
            eraseHidden = child<QPushButton>(w, "Button3")->isHidden();
            memo = child<QPlainTextEdit>(w, "Memo1")->toPlainText();
            child<QPushButton>(w, "Button4")->click();
        };
        child<QAction>(&s.form, "Poznmky1")->trigger();
        QCOMPARE(!s.t.prompter.shown.empty(), asked);
        if (asked)
            QCOMPARE(s.t.prompter.shown[0].text,
                     QString("Naozaj chcete vymazať poznámku ??? Nonono !"));
        QCOMPARE(QFile::exists(s.tempDir() + "lekcia.txt"), !erased);
        QCOMPARE(eraseHidden, erased);
        QCOMPARE(memo.isEmpty(), erased);
        // After closing, the notes button shows exactly when a note is left.
        QCOMPARE(s.notesButton()->isHidden(), erased);
    }

    void searchCopyShowsTheLessonsNote() {
        QTemporaryDir prog, temp;
        TestState t(prog.path(), temp.path());
        ScriptedModal runner;
        TForm1 form(t.st, runner, false);
        t.st.openedContentFile = "C:\\Kurz\\05_Word\\lekcia.txt";
        t.st.levels.restore(1);
        form.takeLevel(1);
        t.st.levels.restorePlace(1, "05_Word", "lekcia.txt");
        t.st.levels.ZapisUroven();
        writeBytes(temp.path() + "/Okna", "1"); // the first copy's main screen
        writeBytes(temp.path() + "/multimed.txt", "hlavna\r\n");
        writeBytes(temp.path() + "/lekcia.txt", "lekcia\r\n");
        QString shownText;
        runner.script = [&](QWidget* w) {
            shownText = child<QPlainTextEdit>(w, "Memo1")->toPlainText();
            child<QPushButton>(w, "Button4")->click();
        };
        child<QAction>(&form, "Poznmky1")->trigger();
        QCOMPARE(shownText, QString("lekcia"));
    }

    void linksAddCorrectDelete() {
        Screen s;
        writeBytes(s.tempDir() + "lekcia.htm", "www.a.sk\r\n\r\nwww.b.sk\r\n");
        s.notesButton()->hide();
        QStringList shownEntries;
        QByteArray afterAdd, afterCorrect, afterDelete;
        QString corrected;
        s.runner.script = [&](QWidget* w) {
            auto* list = child<QListWidget>(w, "ListBox1");
            auto* edit = child<QLineEdit>(w, "Edit1");
            for (int i = 0; i < list->count(); ++i)
                shownEntries << list->item(i)->text();
            edit->setText("www.c.sk");
            child<QPushButton>(w, "Button1")->click();
            afterAdd = readBytes(s.tempDir() + "lekcia.htm");
            QVERIFY(edit->text().isEmpty());
            list->setCurrentRow(0);
            child<QPushButton>(w, "Button5")->click();
            corrected = edit->text();
            afterCorrect = readBytes(s.tempDir() + "lekcia.htm");
            edit->clear();
            list->setCurrentRow(1);
            child<QPushButton>(w, "Button3")->click();
            afterDelete = readBytes(s.tempDir() + "lekcia.htm");
            child<QPushButton>(w, "Button4")->click();
        };
        child<QAction>(&s.form, "Odkazy1")->trigger();
        // An empty line shows in the window, and is gone from the file at the next save.
        QCOMPARE(shownEntries, (QStringList{"www.a.sk", "", "www.b.sk"}));
        QCOMPARE(afterAdd, QByteArray("www.a.sk\r\nwww.b.sk\r\nwww.c.sk\r\n"));
        QCOMPARE(corrected, QString("www.a.sk"));
        QCOMPARE(afterCorrect, QByteArray("www.b.sk\r\nwww.c.sk\r\n"));
        QCOMPARE(afterDelete, QByteArray("www.b.sk\r\n"));
        auto* combo = child<QComboBox>(&s.form, "ComboBox2");
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemText(0), QString("www.b.sk"));
        QVERIFY(!combo->isHidden());
        QCOMPARE(child<QLabel>(&s.form, "Label4")->y(), combo->y() - 20);
        // Links are no note: the notes button stays as it was.
        QVERIFY(s.notesButton()->isHidden());
    }

    void linksEndWithTypedText_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("switch on, yes")
            << QStringList{} << true << true << QByteArray("www.a.sk\r\nwww.nova.sk\r\n");
        QTest::newRow("switch on, no")
            << QStringList{} << false << true << QByteArray("www.a.sk\r\n");
        QTest::newRow("switch off")
            << QStringList{"0*SAVE HTTP*Pridať?"} << true << false << QByteArray("www.a.sk\r\n");
    }
    void linksEndWithTypedText() {
        QFETCH(QStringList, config);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(QByteArray, bytes);
        for (bool titleBar : {false, true}) {
            Screen s;
            s.config(config);
            writeBytes(s.tempDir() + "lekcia.htm", "www.a.sk\r\n");
            s.t.prompter.answers = {answer};
            s.runner.script = [&](QWidget* w) {
                child<QLineEdit>(w, "Edit1")->setText("www.nova.sk");
                if (titleBar)
                    w->close();
                else
                    child<QPushButton>(w, "Button4")->click();
            };
            child<QAction>(&s.form, "Odkazy1")->trigger();
            QVERIFY(!s.runner.visibleAfterScript);
            QCOMPARE(!s.t.prompter.shown.empty(), asked);
            if (asked)
                QCOMPARE(s.t.prompter.shown[0].text, QString("Pridať napísaný odkaz ?"));
            QCOMPARE(readBytes(s.tempDir() + "lekcia.htm"), bytes);
        }
    }

    void linksEndOnEmptyScreenHidesTheList() {
        Screen s(2, "Obsah.txt", "01._deň");
        auto* combo = child<QComboBox>(&s.form, "ComboBox2");
        combo->addItem("stary");
        combo->show();
        s.runner.script = [&](QWidget* w) { child<QPushButton>(w, "Button4")->click(); };
        child<QAction>(&s.form, "Odkazy1")->trigger();
        QVERIFY(QFile::exists(s.tempDir() + "01.htm"));
        QCOMPARE(readBytes(s.tempDir() + "01.htm"), QByteArray());
        QCOMPARE(combo->count(), 0);
        QVERIFY(combo->isHidden());
        QVERIFY(child<QLabel>(&s.form, "Label4")->isHidden());
    }

    void linkWithUnwritableCharacterStaysTyped() {
        Screen s;
        writeBytes(s.tempDir() + "lekcia.htm", "www.a.sk\r\n");
        QString typed;
        int entries = 0;
        s.runner.script = [&](QWidget* w) {
            child<QLineEdit>(w, "Edit1")->setText("www.\u263a.sk");
            child<QPushButton>(w, "Button1")->click();
            typed = child<QLineEdit>(w, "Edit1")->text();
            entries = child<QListWidget>(w, "ListBox1")->count();
        };
        child<QAction>(&s.form, "Odkazy1")->trigger();
        QVERIFY(s.runner.visibleAfterScript);
        QCOMPARE(typed, QString("www.\u263a.sk"));
        QCOMPARE(entries, 1);
        QCOMPARE(readBytes(s.tempDir() + "lekcia.htm"), QByteArray("www.a.sk\r\n"));
        QCOMPARE(s.t.prompter.shown.size(), size_t(1));
    }

    void unreadableLinksFileOpensNoWindow() {
        Screen s;
        // A folder where the file should be cannot be read as a list.
        QDir().mkdir(s.tempDir() + "lekcia.htm");
        writeBytes(s.tempDir() + "lekcia.htm/dolezite", "x");
        s.runner.script = [&](QWidget* w) { child<QPushButton>(w, "Button4")->click(); };
        s.form.guard([&] { child<QAction>(&s.form, "Odkazy1")->trigger(); });
        QCOMPARE(s.runner.calls(), 0);
        QVERIFY(QFile::exists(s.tempDir() + "lekcia.htm/dolezite"));
        QCOMPARE(s.t.prompter.shown.size(), size_t(1));
        QVERIFY(s.t.prompter.shown[0].text.contains("lekcia.htm"));
    }

    // A link list opens an entry only when it is chosen: a click on it in the
    // open list, or Enter. The wheel over the closed box and the arrow keys
    // change the entry shown and open nothing. Only web, ftp and mail
    // addresses go to the desktop; anything else is refused by name.
    void linkListsOpenOnlyAChosenEntry() {
        for (const char* name : {"ComboBox1", "ComboBox2"}) {
            Screen s;
            s.form.show();
            auto* c = child<QComboBox>(&s.form, name);
            c->clear();
            c->addItems({"https://example.org/one", "www.moja.sk", "file:///etc/passwd",
                         "javascript:alert(1)", "/etc/passwd", "mailto:ucitel@skola.sk"});
            c->setCurrentIndex(0);
            c->show();
            c->setFocus();
            const QPointF at(c->width() / 2.0, c->height() / 2.0);
            for (int turn = 0; turn < 3; ++turn) {
                QWheelEvent wheel(at, c->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(c, &wheel);
            }
            QCOMPARE(c->currentIndex(), 3); // the wheel did move the entry
            QTest::keyClick(c, Qt::Key_Up);
            QTest::keyClick(c, Qt::Key_Down);
            QTest::keyClick(c, Qt::Key_Down);
            QCOMPARE(c->currentIndex(), 4);
            QVERIFY2(s.t.shell.calls.empty(), name);
            QVERIFY(s.t.prompter.shown.empty());

            // Enter on the closed box: a path is refused, named in the message.
            QTest::keyClick(c, Qt::Key_Return);
            QVERIFY(s.t.shell.calls.empty());
            QCOMPARE(s.t.prompter.shown.size(), size_t(1));
            QVERIFY(s.t.prompter.shown[0].text.contains("„/etc/passwd“"));
            // A click on an entry of the open list; a bare www. address is a web one.
            c->showPopup();
            QAbstractItemView* view = c->view();
            QTRY_VERIFY(view->isVisible());
            const QRect item = view->visualRect(view->model()->index(1, 0));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
            QTRY_VERIFY(!view->isVisible());
            QCOMPARE(s.t.shell.calls.size(), size_t(1));
            QCOMPARE(s.t.shell.calls[0].program, QString("http://www.moja.sk"));
            // Enter in the open list.
            c->showPopup();
            QTRY_VERIFY(view->isVisible());
            view->setCurrentIndex(view->model()->index(5, 0));
            QTest::keyClick(view, Qt::Key_Return);
            QCOMPARE(s.t.shell.calls.size(), size_t(2));
            QCOMPARE(s.t.shell.calls[1].program, QString("mailto:ucitel@skola.sk"));
            for (int i : {2, 3}) {
                c->setCurrentIndex(i);
                QTest::keyClick(c, Qt::Key_Enter);
            }
            QCOMPARE(s.t.shell.calls.size(), size_t(2));
            QCOMPARE(s.t.prompter.shown.size(), size_t(3));
            QVERIFY(s.t.prompter.shown[1].text.contains("file:///etc/passwd"));
            QVERIFY(s.t.prompter.shown[2].text.contains("javascript:alert(1)"));
        }
    }

    void copyOutAndBackIn() {
        Screen s;
        QTemporaryDir usb;
        const QString u = usb.path() + "/";
        writeBytes(s.tempDir() + "lekcia.txt", "poznamka\r\n");
        writeBytes(s.tempDir() + "lekcia.htm", "www.a.sk\r\n");
        writeBytes(u + "lekcia.txt", "stara na usb\r\n");
        writeBytes(u + "ina.TXT", "z ineho pocitaca\r\n");
        writeBytes(u + "obrazok.bmp", "BM");
        const QString before = QDir::currentPath();
        QStringList left, leftAfter, right, lines;
        QString label;
        // The older note on the stick is kept at first, then replaced.
        s.t.prompter.choices = {1, 0};
        s.runner.script = [&](QWidget* w) {
            auto* win = static_cast<TOknoKopy*>(w);
            auto* l1 = child<QListWidget>(w, "FileListBox1");
            auto* l2 = child<QListWidget>(w, "FileListBox2");
            label = child<QLabel>(w, "Label1")->text();
            for (int i = 0; i < l1->count(); ++i)
                left << l1->item(i)->text();
            win->setRightFolder(u);
            QCOMPARE(QDir::currentPath() + "/", u);
            l1->selectAll();
            child<QToolButton>(w, "SpeedButton4")->click();
            lines << child<QLabel>(w, "Label4")->text();
            QCOMPARE(readBytes(u + "lekcia.txt"), QByteArray("stara na usb\r\n"));
            child<QToolButton>(w, "SpeedButton4")->click();
            lines << child<QLabel>(w, "Label4")->text();
            for (int i = 0; i < l2->count(); ++i) {
                right << l2->item(i)->text();
                l2->item(i)->setSelected(l2->item(i)->text() == "ina.TXT");
            }
            child<QToolButton>(w, "SpeedButton3")->click();
            lines << child<QLabel>(w, "Label4")->text();
            for (int i = 0; i < l1->count(); ++i)
                leftAfter << l1->item(i)->text();
            child<QPushButton>(w, "Button1")->click();
        };
        writeBytes(s.tempDir() + "temp.dfm", "{}"); // not a note: not listed
        child<QAction>(&s.form, "Koprovanie1")->trigger();
        QVERIFY(s.tempDir().endsWith(label.mid(label.startsWith(QChar(0x2026)) ? 1 : 0)));
        QCOMPARE(left, (QStringList{"lekcia.htm", "lekcia.txt"}));
        QCOMPARE(readBytes(u + "lekcia.txt"), QByteArray("poznamka\r\n"));
        QCOMPARE(readBytes(u + "lekcia.htm"), QByteArray("www.a.sk\r\n"));
        QCOMPARE(right, (QStringList{"ina.TXT", "lekcia.htm", "lekcia.txt", "obrazok.bmp"}));
        QCOMPARE(readBytes(s.tempDir() + "ina.TXT"), QByteArray("z ineho pocitaca\r\n"));
        QCOMPARE(leftAfter, (QStringList{"ina.TXT", "lekcia.htm", "lekcia.txt"}));
        QCOMPARE(QDir::currentPath(), before);
        // Asked once per copy, only about the file whose content differed.
        QCOMPARE(s.t.prompter.texts(),
                 QStringList(2, "V priečinku " + usb.path() +
                                    " už je súbor lekcia.txt s iným obsahom. Nahradiť ho?"));
        QCOMPARE(s.t.prompter.buttonsShown.at(0), (QStringList{"Áno", "Nie", "Áno všetkým"}));
        // The second copy finds lekcia.htm the same and copies it anew.
        QCOMPARE(lines, (QStringList{"Skopírovaný 1 súbor do " + usb.path() +
                                         ". Ponechané bez zmeny: lekcia.txt.",
                                     "Skopírované 2 súbory do " + usb.path() + ".",
                                     "Skopírovaný 1 súbor do " + s.temp.path() + "."}));
    }

    void copyFailureNamesTheFileAndKeepsTheRest() {
        Screen s;
        QTemporaryDir usb;
        const QString u = usb.path() + "/";
        writeBytes(u + "a.txt", "a");
        writeBytes(u + "b.txt", "b");
        writeBytes(u + "c.txt", "c");
        const QString before = QDir::currentPath();
        QStringList leftAfter;
        QString line;
        s.runner.script = [&](QWidget* w) {
            static_cast<TOknoKopy*>(w)->setRightFolder(u);
            child<QListWidget>(w, "FileListBox2")->selectAll();
            QFile::remove(u + "b.txt"); // gone after it was listed
            child<QToolButton>(w, "SpeedButton3")->click();
            auto* l1 = child<QListWidget>(w, "FileListBox1");
            for (int i = 0; i < l1->count(); ++i)
                leftAfter << l1->item(i)->text();
            line = child<QLabel>(w, "Label4")->text();
            w->close(); // through the title bar
        };
        child<QAction>(&s.form, "Koprovanie1")->trigger();
        QCOMPARE(s.t.prompter.shown.size(), size_t(1));
        QCOMPARE(s.t.prompter.shown[0].text,
                 "Súbor " + u + "b.txt sa nepodarilo skopírovať: súbor neexistuje");
        QCOMPARE(line, "Skopírovaný 1 súbor do " + s.temp.path() +
                           ". Súbor b.txt sa nepodarilo skopírovať: súbor neexistuje.");
        QCOMPARE(leftAfter, QStringList{"a.txt"});
        QVERIFY(!QFile::exists(s.tempDir() + "c.txt"));
        QCOMPARE(QDir::currentPath(), before);
    }

    void copyWithBothSidesInOneFolderKeepsTheNote() {
        Screen s;
        writeBytes(s.tempDir() + "lekcia.txt", "poznamka\r\n");
        s.runner.script = [&](QWidget* w) {
            static_cast<TOknoKopy*>(w)->setRightFolder(s.tempDir());
            child<QListWidget>(w, "FileListBox1")->selectAll();
            child<QToolButton>(w, "SpeedButton4")->click();
            child<QListWidget>(w, "FileListBox2")->selectAll();
            child<QToolButton>(w, "SpeedButton3")->click();
            child<QPushButton>(w, "Button1")->click();
        };
        child<QAction>(&s.form, "Koprovanie1")->trigger();
        QCOMPARE(readBytes(s.tempDir() + "lekcia.txt"), QByteArray("poznamka\r\n"));
        QVERIFY(s.t.prompter.shown.empty());
    }

    void copyStartsOnTheLearnersPlacesNeverInTheCourse() {
        Screen s;
        QTemporaryDir home;
        const QString h = home.path() + "/";
        QDir().mkpath(h + "kurz/01._deň");
        QDir().mkpath(h + "zaloha");
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        s.t.st.programFolder = h + "kurz/";
        // Stick not present on this machine: the selector lists it, the
        // right-hand side starts at home.
        s.t.system.volumes = {{"/", "system"}, {"/media/ziak/KLUC/", "KLUC"}};
        writeBytes(s.tempDir() + "lekcia.txt", "poznamka\r\n");
        const QString before = QDir::currentPath();
        QStringList drives, folders;
        QString start, afterRefusal, line;
        s.runner.script = [&](QWidget* w) {
            auto* win = static_cast<TOknoKopy*>(w);
            auto* combo = child<QComboBox>(w, "DriveComboBox1");
            for (int i = 0; i < combo->count(); ++i)
                drives << combo->itemText(i);
            start = win->rightFolder();
            auto* dirs = child<QListWidget>(w, "DirectoryListBox1");
            for (int i = 0; i < dirs->count(); ++i)
                folders << dirs->item(i)->text().trimmed();
            win->setRightFolder(h + "kurz/01._deň");
            afterRefusal = win->rightFolder();
            child<QListWidget>(w, "FileListBox1")->selectAll();
            child<QToolButton>(w, "SpeedButton4")->click();
            line = child<QLabel>(w, "Label4")->text();
            emit combo->activated(0); // the stick that is not there
            w->close();
        };
        child<QAction>(&s.form, "Koprovanie1")->trigger();
        qputenv("HOME", savedHome);
        QCOMPARE(drives, (QStringList{"KLUC", "Domovský priečinok"}));
        QCOMPARE(start, h);
        QCOMPARE(folders, (QStringList{"Domovský priečinok", "zaloha"}));
        QCOMPARE(afterRefusal, h);
        QCOMPARE(readBytes(h + "lekcia.txt"), QByteArray("poznamka\r\n"));
        QVERIFY(!QFile::exists(h + "kurz/01._deň/lekcia.txt"));
        QCOMPARE(line, "Skopírovaný 1 súbor do " + home.path() + ".");
        QCOMPARE(s.t.prompter.shown.size(), size_t(2));
        QVERIFY(s.t.prompter.shown[0].text.startsWith("Do priečinka kurzu sa nekopíruje"));
        QVERIFY(s.t.prompter.shown[1].text.contains("/media/ziak/KLUC"));
        QCOMPARE(QDir::currentPath(), before);
    }

    void folderListWalksTheTree() {
        Screen s;
        QTemporaryDir root;
        QDir().mkpath(root.path() + "/kurz/den1");
        QDir().mkpath(root.path() + "/zaloha");
        writeBytes(root.path() + "/kurz/den1/x.txt", "x");
        s.runner.script = [&](QWidget* w) {
            auto* win = static_cast<TOknoKopy*>(w);
            win->setRightFolder(root.path());
            auto* dirs = child<QListWidget>(w, "DirectoryListBox1");
            QListWidgetItem* kurz = nullptr;
            for (int i = 0; i < dirs->count(); ++i)
                if (dirs->item(i)->text().trimmed() == "kurz")
                    kurz = dirs->item(i);
            QVERIFY(kurz);
            emit dirs->itemActivated(kurz);
            QCOMPARE(win->rightFolder(), root.path() + "/kurz/");
            QCOMPARE(dirs->item(dirs->count() - 1)->text().trimmed(), QString("den1"));
            // The drive selector goes back to a place of the learner's.
            auto* drives = child<QComboBox>(w, "DriveComboBox1");
            const int homeIndex = drives->findText("Domovský priečinok");
            QVERIFY(homeIndex >= 0);
            emit drives->activated(homeIndex);
            QCOMPARE(win->rightFolder(), QDir::homePath() + "/");
            QCOMPARE(drives->currentText(), QString("Domovský priečinok"));
            w->close();
        };
        child<QAction>(&s.form, "Koprovanie1")->trigger();
        QVERIFY(s.t.prompter.shown.empty());
    }
};

QTEST_MAIN(TestUiTools)
#include "tst_ui_tools.moc"
