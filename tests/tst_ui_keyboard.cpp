// The main and level windows on screens other than the designed ones
// (scaled, larger), and keyboard use: mnemonics, Enter on buttons, Qt's own
// texts in Slovak. Real windows on the offscreen platform.
#include "app/app_state.h"
#include "app/form_file_window.h"
#include "app/keyboard_window.h"
#include "app/main_window.h"
#include "app/mnemonics.h"
#include "platform/dialogs_window.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <deque>
#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

struct Course {
    QTemporaryDir dir;
    QString prog, temp;
    TestState t{QString(), QString()};
    ScriptedModal runner;
    std::unique_ptr<TForm1> main;

    Course(ScreenMetrics designed, QRect available) {
        prog = dir.path() + "/kurz/";
        temp = dir.path() + "/temp/";
        QDir().mkpath(temp);
        writeCourseFile(prog + "CONFIG.TXT", {"*PATH TEMP*" + temp, "0*IP NONE*offline"});
        writeCourseFile(prog + "01._deň/Obsah.txt",
                        {"<Prvý deň.>", "[Príbeh] pribeh.txt", "[Kopírovanie] hra.exe",
                         "//https://www.example.sk/"});
        writeCourseFile(prog + "01._deň/pribeh.txt", {"<Príbeh.>"});
        writeCourseFile(prog + "02._deň/Obsah.txt", {"<Druhý deň.>"});
        QDir().mkpath(prog + "10._deň");
        runner.stepsOnly = &TForm1::staticMetaObject;
        t.system.metrics = designed;
        t.system.available = available;
        QDir::setCurrent(prog);
        main = std::make_unique<TForm1>(t.st, runner, true);
        main->guard([&] { main->FormCreate({}); });
        main->show();
        main->guard([&] { main->FormActivate(); });
    }

    QList<QPushButton*> runtimeButtons(TForm1* w) const {
        QList<QPushButton*> out;
        for (auto* b : child<QWidget>(w, "centralwidget")
                           ->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            if (b->property("runtime").toBool())
                out << b;
        std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
        return out;
    }
};

// Where the canvas shows in the window, and how far it can scroll.
struct View {
    QRect canvas; // in the window's coordinates
    int scrollX = 0, scrollY = 0;
};
View viewOf(TForm1* w) {
    QCoreApplication::processEvents();
    auto* area = w->findChild<QScrollArea*>();
    View v;
    v.canvas = QRect(child<QWidget>(w, "centralwidget")->mapTo(w, QPoint(0, 0)),
                     child<QWidget>(w, "centralwidget")->size());
    v.scrollX = area->horizontalScrollBar()->maximum();
    v.scrollY = area->verticalScrollBar()->maximum();
    return v;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        installKeyboardHelper(*qApp);
    }

    void designedLayoutOnEveryScreen_data() {
        QTest::addColumn<QSize>("designed");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<bool>("scrolls");
        QTest::addColumn<bool>("centred");
        QTest::newRow("1024x768") << QSize(1024, 768) << QRect(0, 0, 1024, 768)
                                  << QRect(10, 10, 1000, 700) << false << false;
        QTest::newRow("1024x768 at 2")
            << QSize(1024, 768) << QRect(0, 0, 512, 384) << QRect(5, 5, 502, 344) << true << false;
        QTest::newRow("1920x1080") << QSize(1280, 1024) << QRect(0, 0, 1920, 1080)
                                   << QRect(5, 5, 1910, 1040) << false << true;
    }
    void designedLayoutOnEveryScreen() {
        QFETCH(QSize, designed);
        QFETCH(QRect, available);
        QFETCH(QRect, window);
        QFETCH(bool, scrolls);
        QFETCH(bool, centred);
        Course c({designed.width(), designed.height(), 96}, available);
        TForm1* w = c.main.get();
        QCOMPARE(w->geometry(), window);
        // The layout numbers are those of the designed screen, whatever the window.
        const QRect design =
            designed.width() == 1024 ? QRect(10, 10, 1000, 700) : QRect(5, 5, 1270, 984);
        QCOMPARE(w->property("designGeometry").toRect(), design);
        QCOMPARE(child<QWidget>(w, "centralwidget")->width(), design.width());
        const QList<QPushButton*> days = c.runtimeButtons(w);
        QCOMPARE(days.size(), 3);
        QCOMPARE(days[0]->geometry().topRight().x() + 1, design.width() - 3 * c.t.st.scale);
        const View v = viewOf(w);
        QCOMPARE(v.scrollX > 0 || v.scrollY > 0, scrolls);
        if (centred) {
            const int free = w->width() - design.width();
            QVERIFY(qAbs(v.canvas.x() - free / 2) <= 1);
        } else if (!scrolls) {
            QCOMPARE(v.canvas.topLeft(), QPoint(0, child<QMenuBar>(w, "MainMenu1")->height()));
        }
        // A control out of sight comes into view when it gets the focus,
        // as from Tab or a screen reader.
        w->activateWindow();
        days.last()->setFocus();
        QCoreApplication::processEvents();
        const QRect seen(days.last()->mapTo(w, QPoint(0, 0)), days.last()->size());
        QVERIFY(QRect(QPoint(0, 0), w->size()).contains(seen));

        // A level window is placed alike, from the temp form file.
        bool opened = false;
        c.runner.step<TForm1>([&](TForm1* w2) {
            opened = true;
            QCOMPARE(w2->geometry(), window);
            QCOMPARE(w2->property("designGeometry").toRect(), design);
            QCOMPARE(child<QWidget>(w2, "centralwidget")->width(), design.width());
            w2->close();
        });
        days.first()->click();
        QVERIFY(opened);
    }

    void mnemonicsAndTabOrderOfTheScreens() {
        Course c({1024, 768, 96}, QRect());
        TForm1* w = c.main.get();
        const QList<QPushButton*> days = c.runtimeButtons(w);
        // Captions are kept; only an Alt key and its underline are added.
        QCOMPARE(days[0]->text(), "  1. deň");
        QCOMPARE(days[0]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_1));
        QCOMPARE(days[1]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_2));
        QCOMPARE(days[2]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_0));
        QCOMPARE(child<QMenu>(w, "Vlastn1")->title(), "&Vlastné");
        QCOMPARE(child<QAction>(w, "Koniec1")->text(), "&Koniec");
        QCOMPARE(configuredText(*child<QAction>(w, "Koniec1")), "Koniec");
        // "Koniec" the button cannot have K (the menu's) nor O ("O aplikácii").
        QCOMPARE(child<QToolButton>(w, "SpeedButton2")->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_N));
        QCOMPARE(child<QToolButton>(w, "SpeedButton2")->text(), "Koniec");
        // Every menu has its own keys, none twice.
        for (QMenu* m : w->findChildren<QMenu*>()) {
            QSet<QChar> keys;
            for (QAction* a : m->actions()) {
                if (!a->isVisible() || a->isSeparator())
                    continue;
                const QChar k = mnemonicKey(a->text());
                QVERIFY2(!k.isNull() && !keys.contains(k), qPrintable(a->text()));
                keys.insert(k);
            }
        }
        // Marking again (every activation does) changes nothing.
        assignMnemonics(w);
        QCOMPARE(child<QMenu>(w, "Vlastn1")->title(), "&Vlastné");
        QCOMPARE(days[0]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_1));
        // The temp form file keeps captions as configured.
        const QByteArray form = formFileBytes(*w);
        QVERIFY(form.contains("\"Vlastné\"") || form.contains("Vlastn"));
        QVERIFY(!form.contains("&Vlastn"));
        QVERIFY(!form.contains("&Koniec"));

        // The day screen: Tab goes down the item buttons, then the links,
        // "Späť" and "Koniec"; Enter on a focused item button presses it.
        bool checked = false;
        c.runner.step<TForm1>([&](TForm1* w2) {
            QCOMPARE(child<QMenu>(w2, "Vlastn1")->title(), "&Vlastné");
            const QList<QPushButton*> items = c.runtimeButtons(w2);
            QCOMPARE(items.size(), 2);
            // "Späť" and "Koniec" keep their keys on every screen.
            QCOMPARE(child<QToolButton>(w2, "SpeedButton1")->shortcut(),
                     QKeySequence(Qt::ALT | Qt::Key_S));
            QCOMPARE(child<QToolButton>(w2, "SpeedButton2")->shortcut(),
                     QKeySequence(Qt::ALT | Qt::Key_N));
            // "Kopírovanie": K, O, P taken by the menu bar, "í" typed with a
            // dead key, R by "Príbeh" above it, V by the menu bar, A by "Ako",
            // N by "Koniec".
            QCOMPARE(items[1]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_I));
            QCOMPARE(items[1]->text(), QStringLiteral("Kopírovanie"));
            QList<QWidget*> chain;
            QWidget* next = child<QTextEdit>(w2, "Memo1");
            for (int i = 0; i < 40 && next; ++i) {
                if (next->isVisibleTo(w2) && next->focusPolicy() & Qt::TabFocus &&
                    !chain.contains(next))
                    chain << next;
                next = next->nextInFocusChain();
                if (next == child<QTextEdit>(w2, "Memo1"))
                    break;
            }
            const QList<QWidget*> expected{child<QTextEdit>(w2, "Memo1"),
                                           items[0],
                                           items[1],
                                           child<QComboBox>(w2, "ComboBox1"),
                                           child<QToolButton>(w2, "SpeedButton1"),
                                           child<QToolButton>(w2, "SpeedButton2")};
            QList<QWidget*> seen;
            for (QWidget* x : chain)
                if (expected.contains(x))
                    seen << x;
            QCOMPARE(seen, expected);
            checked = true;
            w2->close();
        });
        days[0]->setFocus();
        QTest::keyClick(days[0], Qt::Key_Return);
        QTRY_VERIFY(checked);
    }

    void enterPressesTheFocusedButton() {
        QDialog d;
        auto* layout = new QVBoxLayout(&d);
        auto* push = new QPushButton("Zavri", &d);
        auto* tool = new QToolButton(&d);
        tool->setText("Späť");
        auto* off = new QToolButton(&d);
        off->setText("Nie");
        off->setEnabled(false);
        for (QWidget* x :
             {static_cast<QWidget*>(push), static_cast<QWidget*>(tool), static_cast<QWidget*>(off)})
            layout->addWidget(x);
        int pushed = 0, tooled = 0, offed = 0;
        connect(push, &QPushButton::clicked, [&] { ++pushed; });
        connect(tool, &QToolButton::clicked, [&] { ++tooled; });
        connect(off, &QToolButton::clicked, [&] { ++offed; });
        d.show();
        // Shown dialogs get mnemonics too, without their captions changing.
        QCOMPARE(push->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Z));
        QCOMPARE(tool->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
        QCOMPARE(push->text(), "Zavri");
        tool->setFocus();
        QTest::keyClick(tool, Qt::Key_Return);
        QTRY_COMPARE(tooled, 1);
        QTest::keyClick(tool, Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_COMPARE(tooled, 2);
        push->setFocus();
        QTest::keyClick(push, Qt::Key_Return);
        QTRY_COMPARE(pushed, 1);
        // Not with a modifier, not on a disabled button.
        QTest::keyClick(tool, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(off, Qt::Key_Return);
        QTest::qWait(300);
        QCOMPARE(tooled, 2);
        QCOMPARE(offed, 0);
    }

    void qtOwnTextsInSlovak() {
        QVERIFY(loadQtTranslations(*qApp));
        QTextEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                texts << withoutMnemonic(a->text()).section(u'\t', 0, 0);
        QVERIFY2(!texts.contains("Copy") && !texts.contains("Select All"),
                 qPrintable(texts.join(", ")));
        QVERIFY2(texts.contains(QStringLiteral("Kopírovať")), qPrintable(texts.join(", ")));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_ui_keyboard.moc"
