// The main window's set-up on real widgets (offscreen), for a 1024-pixel
// screen and for others, and the temp form file round trip.
#include "app/app_state.h"
#include "app/form_file_window.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using namespace orbino;
using namespace orbino::test;

namespace {
struct Course {
    QTemporaryDir dir;
    QString prog, temp;
    Course(const QStringList& config) {
        prog = dir.path() + "/kurz/";
        temp = dir.path() + "/temp/";
        QDir().mkpath(prog);
        QDir().mkpath(temp);
        QStringList cfg = config;
        cfg << "*PATH TEMP*" + temp;
        writeCourseFile(prog + "CONFIG.TXT", cfg);
        QDir::setCurrent(prog);
    }
};
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void layoutForScreenWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<int>("labelTop");
        QTest::addColumn<int>("labelHeight");
        QTest::addColumn<int>("comboTop");
        QTest::addColumn<int>("akoLeft");
        QTest::addColumn<QRect>("image1");
        QTest::newRow("1024") << 1024 << 12 << QRect(10, 10, 1000, 700) << 48 << 155 << 550 << 808
                              << QRect(47, 20, 720, 557);
        QTest::newRow("800") << 800 << 10 << QRect(5, 5, 790, 560) << 50 << 180 << 440 << 620
                             << QRect(47, 100, 590, 370);
        QTest::newRow("1280") << 1280 << 10 << QRect(5, 5, 1270, 984) << 50 << 180 << 440 << 620
                              << QRect(47, 100, 1070, 794);
    }
    void layoutForScreenWidth() {
        QFETCH(int, width);
        QFETCH(int, scale);
        QFETCH(QRect, bounds);
        QFETCH(int, labelTop);
        QFETCH(int, labelHeight);
        QFETCH(int, comboTop);
        QFETCH(int, akoLeft);
        QFETCH(QRect, image1);
        Course c({});
        TestState t{QString(), QString()};
        t.system.metrics = {width, bounds.height() + 40 + (width == 1024 ? -32 : 0), 96};
        if (width == 1024)
            t.system.metrics.height = 768;
        ScriptedModal modal{false}; // level windows are not opened here
        TForm1 form(t.st, modal, true);
        form.FormCreate({});
        QCOMPARE(t.st.scale, scale);
        if (width != 1024)
            bounds.setHeight(t.system.metrics.height - 40);
        QCOMPARE(QRect(t.st.boundsLeft, t.st.boundsTop, t.st.boundsWidth, t.st.boundsHeight),
                 bounds);
        QCOMPARE(form.geometry().size(), bounds.size());
        QCOMPARE(child<QLabel>(&form, "Label1")->y(), labelTop);
        QCOMPARE(child<QLabel>(&form, "Label1")->height(), labelHeight);
        QCOMPARE(child<QLabel>(&form, "Label6")->y(), 16 + (scale == 12 ? 8 : 10));
        QCOMPARE(child<QComboBox>(&form, "ComboBox1")->y(), comboTop);
        QCOMPARE(child<QComboBox>(&form, "ComboBox2")->y(), comboTop);
        QCOMPARE(child<QPushButton>(&form, "Ako")->x(), akoLeft);
        if (width != 1024)
            image1 = QRect(47, 100, bounds.width() - 200, bounds.height() - 190);
        QCOMPARE(child<QLabel>(&form, "Image1")->geometry(), image1);
        QVERIFY(child<QLabel>(&form, "Label2")->isHidden());
        QVERIFY(child<QComboBox>(&form, "ComboBox1")->isHidden());
        QVERIFY(child<QToolButton>(&form, "SpeedButton1")->isHidden());
        QVERIFY(!child<QAction>(&form, "Koprovanie1")->isEnabled());
        QCOMPARE(child<QAction>(&form, "Koniec1")->shortcut(), QKeySequence("Ctrl+K"));
        QVERIFY(QFile::exists(c.temp + "temp.dfm"));
    }

    void largeFontsShrinkBackFirst() {
        Course c({});
        TestState t{QString(), QString()};
        t.system.metrics = {1024, 768, 120};
        ScriptedModal modal{false}; // level windows are not opened here
        TForm1 form(t.st, modal, true);
        form.FormCreate({});
        // 32 at 96 dpi is 25 at 120 dpi, then 8 lower on a 1024 screen.
        QCOMPARE(child<QLabel>(&form, "Label1")->y(), 40 * 96 / 120 + 8);
        QCOMPARE(child<QLabel>(&form, "Label1")->x(), 32 * 96 / 120);
    }

    void captionsFromConfigAndFormFileRoundTrip() {
        Course c({"*NAME*Práca s počítačom", "*EDUCATION*Orbino kurz", "*COLOR TITLE*255",
                  "*MENU END*Skonči", "*MENU TREE*Stromček", "*BUTTON NOTES*Moje poznámky",
                  "*WINDOW CAPTION*Okno kurzu", "0*IP*Adresa", "0*IP NONE*Bez siete",
                  "*MEMO INFO*Tip"});
        TestState t{QString(), QString()};
        t.system.metrics = {1024, 768, 96};
        t.system.address = "10.1.2.3";
        ScriptedModal modal{false}; // level windows are not opened here
        TForm1 form(t.st, modal, true);
        form.FormCreate({});
        // "0" switch on IP and none on "IP NONE": no address message, and
        // no name lookup that could hold up the start.
        QVERIFY(t.prompter.shown.empty());
        QCOMPARE(t.system.addressLookups, 0);
        QCOMPARE(child<QLabel>(&form, "Label1")->text(), u"Práca s počítačom"_qs);
        QCOMPARE(child<QLabel>(&form, "Label6")->text(), "Orbino kurz");
        QCOMPARE(child<QLabel>(&form, "Label1")->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));
        QCOMPARE(child<QAction>(&form, "Koniec1")->text(), u"Skonči"_qs);
        QCOMPARE(child<QAction>(&form, "Hadaj1")->text(), u"Stromček"_qs);
        QCOMPARE(child<QPushButton>(&form, "Button1")->text(), u"Moje poznámky"_qs);
        QCOMPARE(form.windowTitle(), "Okno kurzu");
        QCOMPARE(child<QTextEdit>(&form, "Memo1")->toolTip(), "Tip");
        QCOMPARE(child<QMenu>(&form, "Vlastn1")->title(), u"Vlastné"_qs);
        QCOMPARE(child<QToolButton>(&form, "SpeedButton2")->text(), "Koniec");
        QCOMPARE(child<QToolButton>(&form, "SpeedButton2")->width(), 75);

        // A level window made from the temp form file is the same window.
        TForm1 level(t.st, modal, false);
        applyFormFile(level, t.st.tempFormFile());
        QCOMPARE(level.geometry(), form.geometry());
        QCOMPARE(level.windowTitle(), form.windowTitle());
        for (QWidget* w : child<QWidget>(&form, "centralwidget")->findChildren<QWidget*>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
                continue;
            auto* twin = level.findChild<QWidget*>(w->objectName());
            QVERIFY2(twin, qPrintable(w->objectName()));
            QCOMPARE(twin->geometry(), w->geometry());
            // "Späť" is hidden on the main window only after the file is written.
            if (w != child<QToolButton>(&form, "SpeedButton1"))
                QVERIFY2(twin->isHidden() == w->isHidden(), qPrintable(w->objectName()));
            QCOMPARE(twin->isEnabled(), w->isEnabled());
            QCOMPARE(twin->font(), w->font());
            QCOMPARE(twin->toolTip(), w->toolTip());
            if (auto* l = qobject_cast<QLabel*>(w)) {
                QCOMPARE(qobject_cast<QLabel*>(twin)->text(), l->text());
                QCOMPARE(twin->palette().color(QPalette::WindowText),
                         w->palette().color(QPalette::WindowText));
            }
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                QCOMPARE(qobject_cast<QAbstractButton*>(twin)->text(), b->text());
        }
        for (QAction* a : form.findChildren<QAction*>()) {
            if (a->objectName().isEmpty())
                continue;
            auto* twin = level.findChild<QAction*>(a->objectName());
            QVERIFY(twin);
            QCOMPARE(twin->text(), a->text());
            QCOMPARE(twin->isEnabled(), a->isEnabled());
            QCOMPARE(twin->isVisible(), a->isVisible());
            QCOMPARE(twin->shortcut(), a->shortcut());
        }
        QCOMPARE(child<QMenu>(&level, "Vlastn1")->title(), child<QMenu>(&form, "Vlastn1")->title());
        QVERIFY(!child<QToolButton>(&level, "SpeedButton1")->isHidden());
        // An action hidden in the main window can be chosen once a clone
        // shows it; one that was also switched off stays off.
        QVERIFY(!child<QAction>(&level, "Ignorovazmeny1")->isVisible());
        child<QAction>(&level, "Ignorovazmeny1")->setVisible(true);
        QVERIFY(child<QAction>(&level, "Ignorovazmeny1")->isEnabled());
        child<QAction>(&form, "Koprovanie1")->setEnabled(false);
        child<QAction>(&form, "Koprovanie1")->setVisible(false);
        saveFormFile(form, t.st.tempFormFile());
        QVERIFY(!child<QAction>(&form, "Koprovanie1")->isVisible());
        TForm1 clone(t.st, modal, false);
        applyFormFile(clone, t.st.tempFormFile());
        child<QAction>(&clone, "Koprovanie1")->setVisible(true);
        QVERIFY(!child<QAction>(&clone, "Koprovanie1")->isEnabled());
        child<QAction>(&form, "Koprovanie1")->setVisible(true);
        child<QAction>(&form, "Koprovanie1")->setEnabled(true);
        QCOMPARE(child<QWidget>(&level, "centralwidget")->palette().color(QPalette::Window),
                 child<QWidget>(&form, "centralwidget")->palette().color(QPalette::Window));

        // Texts that need escaping survive the file: quotes, backslashes,
        // line ends, tabs, other control characters, letters outside ASCII.
        const QString tricky = u"a\"b\\c\nd\te\x01f \u00F4\u0148 \U0001F600 </x>"_qs;
        child<QLabel>(&form, "Label2")->setToolTip(tricky);
        child<QComboBox>(&form, "ComboBox2")->addItem(tricky);
        child<QPlainTextEdit>(&form, "Memo4")->setPlainText(tricky);
        saveFormFile(form, t.st.tempFormFile());
        TForm1 again(t.st, modal, false);
        applyFormFile(again, t.st.tempFormFile());
        QCOMPARE(child<QLabel>(&again, "Label2")->toolTip(), tricky);
        QCOMPARE(child<QComboBox>(&again, "ComboBox2")
                     ->itemText(child<QComboBox>(&again, "ComboBox2")->count() - 1),
                 tricky);
        QCOMPARE(child<QPlainTextEdit>(&again, "Memo4")->toPlainText(), tricky);

        // Fonts no window of ours writes (billions of pixels, zero points) are
        // left as designed, and the clone writes back the file it came from.
        QByteArray absurd = formFileBytes(form);
        const QByteArray designedFont = form.font().toString().toUtf8();
        const QByteArray giant = "Arial,-1,2147483647,5,400,0,0,0,0,0,0,0,0,0,0,1";
        QVERIFY(absurd.contains("\"font\":\"" + designedFont));
        absurd.replace("\"font\":\"" + designedFont, "\"font\":\"" + giant);
        writeBytes(t.st.tempFormFile(), absurd);
        TForm1 sane(t.st, modal, false);
        applyFormFile(sane, t.st.tempFormFile());
        QCOMPARE(sane.font().toString().toUtf8(), designedFont);
        QVERIFY(child<QTextEdit>(&sane, "Memo2")->font().pointSizeF() > 0);
        const QByteArray written = formFileBytes(sane);
        TForm1 saneAgain(t.st, modal, false);
        applyFormBytes(saneAgain, written, t.st.tempFormFile());
        QCOMPARE(formFileBytes(saneAgain), written);

        // Missing or damaged temp form file: an error, not a half-made window.
        TForm1 other(t.st, modal, false);
        writeBytes(t.st.tempFormFile(), "{not json");
        QVERIFY_THROWS_EXCEPTION(FileError, applyFormFile(other, t.st.tempFormFile()));
        QFile::remove(t.st.tempFormFile());
        QVERIFY_THROWS_EXCEPTION(FileError, applyFormFile(other, t.st.tempFormFile()));
    }

    void networkMessageAndBadNumbers() {
        Course c({"*IP*IP adresa počítača", "*TRIM BUTTON SMALL TEXT*300",
                  "*TRIM BUTTON LARGE TEXT*x2"});
        TestState t{QString(), QString()};
        t.system.address = "192.0.2.7";
        ScriptedModal modal{false}; // level windows are not opened here
        TForm1 form(t.st, modal, true);
        form.FormCreate({});
        QCOMPARE(t.st.trimSmall, quint8(300 & 0xff));
        QCOMPARE(t.st.trimLarge, quint8(25));
        QStringList texts = t.prompter.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].contains("TRIM BUTTON LARGE TEXT"));
        QCOMPARE(texts[1], u"IP adresa počítača 192.0.2.7"_qs);
        QCOMPARE(t.system.addressLookups, 1);
        // The set-up went on after the bad number: the temp form file is there.
        QVERIFY(QFile::exists(c.temp + "temp.dfm"));
    }

    void searchWindowModeCaptions() {
        Course c({});
        writeCourseFile(c.prog + "05_Word/Obsah.txt", {"[Lekcia] l.txt"});
        TestState t{QString(), QString()};
        ScriptedModal modal{false}; // level windows are not opened here
        TForm1 form(t.st, modal, true);
        form.FormCreate({c.prog + "05_Word/Obsah.txt", "5", "Word"});
        QCOMPARE(child<QToolButton>(&form, "SpeedButton2")->text(), u"Koniec vyhľadávania"_qs);
        QCOMPARE(child<QToolButton>(&form, "SpeedButton2")->width(), 200);
        QCOMPARE(form.windowTitle(), u"Vyhľadávacie okno"_qs);
        QVERIFY(QFile::exists(c.temp + "tempP.dfm"));
        QVERIFY(!QFile::exists(c.temp + "temp.dfm"));
        QCOMPARE(t.st.selectedItem, 5);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_ui_main_window.moc"
