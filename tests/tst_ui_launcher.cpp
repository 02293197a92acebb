// Item buttons on a real level window (offscreen): what each kind of item
// does, the password windows and their once-per-run / once-per-day rules,
// the picture window. The shell records its calls; a scripted modal runner
// plays the user in the windows it is given.
#include "app/app_state.h"
#include "app/form_file_window.h"
#include "app/main_window.h"
#include "content/password_window.h"
#include "content/picture_window.h"
#include "platform/dialogs_window.h"
#include "platform/shell_window.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

// Types into a password window and presses OK (or Zruš).
std::function<void(QWidget*)> typePassword(const QString& text, bool ok = true) {
    return [text, ok](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("MaskEdit1");
        QVERIFY(edit);
        edit->setText(text);
        w->findChild<QPushButton*>(ok ? "Button1" : "Button2")->click();
    };
}

void writeBmp(const QString& path, QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(40, 120, 200));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    writeBytes(path, bytes);
}

// Level 2 of day "02._deň" whose list begins with a description block and a
// link line, so that slots and button numbers differ.
struct Level {
    QTemporaryDir dir;
    QString prog, temp, day;
    TestState t{QString(), QString()};
    ScriptedModal runner;
    std::unique_ptr<TForm1> form;
    QList<QPushButton*> buttons;

    explicit Level(const QStringList& items, const QStringList& config = {}) {
        prog = dir.path() + "/kurz/";
        temp = dir.path() + "/temp/";
        day = prog + "02._deň/";
        QDir().mkpath(temp);
        QDir().mkpath(day);
        writeCourseFile(prog + "CONFIG.TXT", QStringList{"Kurz"} + config);
        t.st.programFolder = prog;
        t.st.tempFolder = temp;
        t.st.playerFolder = dir.path() + "/kurz";
        t.st.levels.restorePlace(1, "__2._deň", t.st.levels.listFile(1));
        t.st.levels.restorePlace(2, "02._deň", "Obsah.txt");
        t.st.levels.restore(2);
        t.st.selectedItem = 2;
        t.st.scale = 12;
        t.st.boundsWidth = 1000;
        t.st.boundsHeight = 700;
        QStringList list{"<Opis dňa>", "//https://example.org/"};
        list += items;
        writeCourseFile(day + "Obsah.txt", list);
        form = std::make_unique<TForm1>(t.st, runner, false);
        form->level = 2;
        saveFormFile(*form, t.st.tempFormFile());
        form->takeLevel(2);
        // As the screen builder makes them: slot in "tag", full caption as hint.
        ContentList read;
        for (int k = 1; k <= items.size(); ++k) {
            const int slot = k + 2;
            read.lines[size_t(slot)] = items[k - 1];
            const QString caption = items[k - 1].mid(1, items[k - 1].lastIndexOf(']') - 1);
            auto* b = new QPushButton(caption.left(13), child<QWidget>(form, "centralwidget"));
            b->setObjectName(QStringLiteral("Button%1%2").arg(k).arg(2));
            b->setProperty("tag", slot);
            b->setToolTip(caption);
            buttons << b;
        }
        t.st.levels.takeList(2, read);
    }
    void press(int k) {
        form->guard([this, k] { form->SpustiProgram(buttons[k - 1]); });
    }
    const std::vector<RecordingShell::Call>& calls() const { return t.shell.calls; }
};

} // namespace

class TestUiLauncher : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void dispatch_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("callKind"); // shell call, or empty
        QTest::addColumn<QString>("window");   // modal window class, or empty
        QTest::newRow("txt") << "[Súbory] subory.txt"
                             << "subory.txt"
                             << ""
                             << "TForm1";
        QTest::newRow("TXT") << "[Súbory] SUBORY.TXT"
                             << "subory.txt"
                             << ""
                             << "TForm1";
        QTest::newRow("bmp") << "[Obrázok] obr.bmp"
                             << "OBR.BMP"
                             << ""
                             << "TOknoObrazku";
        QTest::newRow("scm") << "[Ukážka] mys.scm"
                             << "mys.scm"
                             << "start"
                             << "";
        QTest::newRow("rtf") << "[List] list.rtf"
                             << "list.rtf"
                             << "open"
                             << "";
        QTest::newRow("no extension") << "[Návod] NAVOD"
                                      << "navod"
                                      << "open"
                                      << "";
    }
    void dispatch() {
        QFETCH(QString, line);
        QFETCH(QString, onDisk);
        QFETCH(QString, callKind);
        QFETCH(QString, window);
        Level l({"[Iné] ine.rtf", line});
        if (onDisk.endsWith(".txt"))
            writeCourseFile(l.day + onDisk, {"<Text lekcie.>"});
        else if (onDisk.endsWith(".BMP"))
            writeBmp(l.day + onDisk, {40, 30});
        else
            writeBytes(l.day + onDisk, "obsah");
        writeBytes(l.prog + "SCPLAYER.EXE", "MZ");
        l.press(2);
        QCOMPARE(l.t.prompter.texts(), QStringList{});
        if (callKind.isEmpty()) {
            QVERIFY(l.calls().empty());
        } else {
            QCOMPARE(l.calls().size(), size_t(1));
            QCOMPARE(l.calls()[0].kind, callKind);
        }
        QCOMPARE(l.runner.classes, window.isEmpty() ? QStringList{} : QStringList{window});
        if (window == "TForm1") {
            // The next level shows the pressed item's list, and we are back.
            QCOMPARE(l.t.st.levels.listFile(3), line.mid(line.indexOf(']') + 2));
            QCOMPARE(l.t.st.pressedItemTitle, QString("Súbory"));
            QCOMPARE(l.t.st.levels.current(), 2);
        }
    }

    void teacherPasswordOncePerRun() {
        Level l({"[Príbeh] pribeh.rtf", "[Vyučujúci] metodika.rtf"});
        writeBytes(l.day + "metodika.rtf", "{\\rtf1 x}");
        writeBytes(l.day + "pribeh.rtf", "{\\rtf1 x}");
        // Cancel: nothing opens.
        l.runner.steps.push_back(typePassword("", false));
        l.press(2);
        QVERIFY(l.calls().empty());
        QVERIFY(!l.t.st.teacherLoggedIn);
        // A wrong password keeps the window open; the right one then opens it.
        l.runner.steps.push_back([](QWidget* w) {
            typePassword("zle")(w);
            QVERIFY(w->isVisible());
            QCOMPARE(w->findChild<QLineEdit*>("MaskEdit1")->text(), QString());
            typePassword("  ucitel ")(w);
            QVERIFY(!w->isVisible());
        });
        l.press(2);
        QCOMPARE(l.t.prompter.texts(), QStringList{"Nesprávne heslo"});
        QCOMPARE(l.calls().size(), size_t(1));
        QVERIFY(l.t.st.teacherLoggedIn);
        // Asked once per run: no window the second time.
        l.press(2);
        QCOMPARE(l.calls().size(), size_t(2));
        QCOMPARE(l.runner.classes, (QStringList{"TOknoHeslo", "TOknoHeslo"}));
        // The other button is not the teacher's, whatever its number.
        l.t.st.teacherLoggedIn = false;
        l.press(1);
        QCOMPARE(l.runner.classes.size(), 2);
        QCOMPARE(l.calls().size(), size_t(3));
    }

    void dayPasswordOncePerDayPress() {
        Level l({"[Ukážka riešenia úlohy 1] Ries1.scm", "[Ukážka riešenia úlohy 2] Ries2.scm"});
        writeBytes(l.prog + "SCPLAYER.EXE", "MZ");
        writeBytes(l.day + "Ries1.scm", "r1");
        writeBytes(l.day + "Ries2.scm", "r2");
        l.t.st.selectedItem = 5;
        const QString today = l.t.st.dayPasswords.at(4);
        const QString otherDay = l.t.st.dayPasswords.at(3);
        // The button shows a shortened caption; the line's caption decides.
        QCOMPARE(l.buttons[0]->text(), QString("Ukážka riešen"));
        l.runner.steps.push_back([&](QWidget* w) {
            QCOMPARE(w->findChild<QLabel*>("Label1")->text(),
                     QString("Od vyučujúceho si vypýtaj heslo!"));
            QVERIFY(w->findChild<QLabel*>("Label1")->isVisible());
            typePassword(otherDay)(w);
            QVERIFY(w->isVisible());
            typePassword(today)(w); // all 8 characters the field takes
        });
        l.press(1);
        QCOMPARE(l.t.prompter.texts(), QStringList{"Nesprávne heslo"});
        QCOMPARE(l.calls().size(), size_t(1));
        QCOMPARE(l.calls()[0].args.at(0), l.day + "Ries1.scm");
        l.press(2);
        QCOMPARE(l.calls().size(), size_t(2));
        QCOMPARE(l.runner.classes, QStringList{"TOknoHesloZ"});
        // A new day button press clears the flag: asked again.
        l.t.st.solutionPasswordFlag = false;
        l.runner.steps.push_back(typePassword(today.toUpper()));
        l.press(2);
        QCOMPARE(l.runner.classes.size(), 2);
        QCOMPARE(l.calls().size(), size_t(2));
        QVERIFY(!l.t.st.launchPermission);
    }

    void markerHiddenAndTestFlag() {
        Level l({"[Vyskúšaj sa] test.txt", "[Ukážka riešenia úlohy 1] Ries1.scm"});
        writeCourseFile(l.day + "test.txt", {"<1. Úloha\t2 body>"});
        auto* marker = new QLabel(child<QWidget>(l.form, "centralwidget"));
        l.form->solutionMarkers = {nullptr, marker};
        marker->show();
        l.runner.steps.push_back(typePassword("", false));
        l.press(2);
        QVERIFY(marker->isHidden()); // hidden even when the password was refused
        QVERIFY(!l.t.st.testYourselfFlag);
        l.press(1);
        QVERIFY(l.t.st.testYourselfFlag);
    }

    void pictureWindow() {
        Level l({"[Strom] strom.bmp"});
        writeBmp(l.day + "Strom.bmp", {800, 520});
        l.runner.steps.push_back([](QWidget* w) {
            auto* p = qobject_cast<TOknoObrazku*>(w);
            QVERIFY(p);
            QCOMPARE(p->windowTitle(), QString("Obrázok"));
            QCOMPARE(child<QPushButton>(p, "Button1")->text(), QString("Zavri"));
            QCOMPARE(child<QLabel>(p, "Image1")->size(), QSize(800, 520));
            QCOMPARE(child<QLabel>(p, "Image1")->pos(), QPoint(0, 0));
            // The window takes the picture's size, up to 90% of the screen,
            // never less than designed.
            const QRect free = p->screen()->availableGeometry();
            QVERIFY(p->width() <= std::max(569, free.width() * 9 / 10));
            QVERIFY(p->height() <= std::max(378, free.height() * 9 / 10));
            QVERIFY(p->width() >= 569 && p->height() >= 378);
            p->resize(569, 378);
            auto* area = child<QScrollArea>(p, "scrollArea");
            QVERIFY(area->horizontalScrollBar()->maximum() > 0);
            QVERIFY(area->verticalScrollBar()->maximum() > 0);
            // A larger picture may be fitted to the window, keeping its shape.
            auto* fit = p->findChild<QCheckBox*>();
            QVERIFY(fit && !fit->isHidden());
            fit->setChecked(true);
            const QSize shown = child<QLabel>(p, "Image1")->size();
            QVERIFY(shown.width() <= area->viewport()->width());
            QVERIFY(shown.height() <= area->viewport()->height());
            QVERIFY(qAbs(shown.width() * 520 - shown.height() * 800) <= 800);
            QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
            fit->setChecked(false);
            QCOMPARE(child<QLabel>(p, "Image1")->size(), QSize(800, 520));
            p->resize(700, 500);
            QCOMPARE(child<QPushButton>(p, "Button1")->geometry().bottomRight() + QPoint(23, 18),
                     QPoint(700, 500));
            child<QPushButton>(p, "Button1")->click();
            QVERIFY(!p->isVisible());
        });
        l.press(1);
        QCOMPARE(l.runner.classes, QStringList{"TOknoObrazku"});
    }

    void damagedPictureIsReported() {
        Level l({"[Strom] strom.bmp"});
        writeBytes(l.day + "strom.bmp", "BM to nie je obrázok");
        l.press(1);
        QVERIFY(l.runner.classes.isEmpty());
        QCOMPARE(l.t.prompter.shown.size(), size_t(1));
        QVERIFY(l.t.prompter.shown[0].text.contains(l.day + "strom.bmp"));
    }

    // A Windows program through a stand-in Wine on PATH: while it comes up
    // the pointer is busy and the window in front says so; the player gets
    // the recording in Windows form; a quick failure is reported with the
    // program's path and Wine's last error line.
    void windowsProgramThroughWine() {
        Level l({"[Ukážka] mys.scm", "[Hra] hra.exe /s/c"});
        writeBytes(l.prog + "SCPLAYER.EXE", "MZ");
        writeBytes(l.day + "mys.scm", "x");
        writeBytes(l.day + "hra.exe", "MZ");
        const QString bin = l.dir.path() + "/bin";
        const QString log = l.dir.path() + "/wine.log";
        QDir().mkpath(bin);
        writeBytes(bin + "/wine", "#!/bin/sh\n"
                                  "printf '%s\\n' \"$@\" >> '" +
                                      log.toUtf8() +
                                      "'\n"
                                      "sleep 0.3\n"
                                      "case \"$1\" in *hra.exe)\n"
                                      "  echo 'Chyba: subor ulohy.dat sa nenasiel' >&2; exit 3;;\n"
                                      "esac\n");
        QFile::setPermissions(bin + "/wine", QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + ":" + oldPath);
        WidgetShell shell;
        l.t.st.shell = &shell;
        l.form->show();
        QVERIFY(QTest::qWaitForWindowActive(l.form.get()));

        l.press(1);
        auto* status = l.form->findChild<QLabel*>("windowsProgramStatus");
        QVERIFY(status && status->isVisible());
        QCOMPARE(status->text(), QString("Spúšťam program pre Windows…"));
        QCOMPARE(status->accessibleName(), status->text());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        QTRY_VERIFY(!l.form->findChild<QLabel*>("windowsProgramStatus"));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(QString::fromUtf8(readBytes(log)).split('\n', Qt::SkipEmptyParts),
                 (QStringList{l.prog + "SCPLAYER.EXE", toWindowsPath(l.day + "mys.scm"), "/s/c"}));
        QVERIFY(l.t.prompter.shown.empty());

        l.press(2);
        QVERIFY(l.form->findChild<QLabel*>("windowsProgramStatus"));
        QTRY_COMPARE(l.t.prompter.texts(),
                     QStringList{l.day + "hra.exe - Program sa nedá spustiť\n"
                                         "Wine skončil s kódom 3: Chyba: subor ulohy.dat sa "
                                         "nenasiel"});
        QVERIFY(!l.form->findChild<QLabel*>("windowsProgramStatus"));
        QVERIFY(!QApplication::overrideCursor());
        qputenv("PATH", oldPath);
    }

    void passwordWindowLayout() {
        TestState t{QString(), QString()};
        QTemporaryDir d;
        t.st.programFolder = d.path() + "/";
        writeCourseFile(d.path() + "/CONFIG.TXT",
                        {"*WIND PASSWORD CANCEL*Späť", "*INPUT PASSWORD*Heslo, prosím"});
        TOknoHeslo h(t.st);
        QCOMPARE(h.size(), QSize(324, 205));
        QCOMPARE(h.windowTitle(), QString("Heslo, prosím"));
        QCOMPARE(child<QPushButton>(&h, "Button2")->text(), QString("Späť"));
        QCOMPARE(child<QPushButton>(&h, "Button1")->text(), QString("OK"));
        QVERIFY(child<QPushButton>(&h, "Button1")->isDefault());
        QCOMPARE(child<QLineEdit>(&h, "MaskEdit1")->maxLength(), 8);
        QCOMPARE(child<QLineEdit>(&h, "MaskEdit1")->echoMode(), QLineEdit::Password);
        QVERIFY(child<QLabel>(&h, "Label1")->isHidden());
        QVERIFY(!(h.windowFlags() & Qt::WindowCloseButtonHint));
        TOknoHesloZ z(t.st);
        QVERIFY(!child<QLabel>(&z, "Label1")->isHidden());
        QVERIFY(z.width() >= child<QLabel>(&z, "Label1")->sizeHint().width() + 80);
    }
};

QTEST_MAIN(TestUiLauncher)
#include "tst_ui_launcher.moc"
