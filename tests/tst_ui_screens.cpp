// Level windows, the screen builder and navigation on real windows
// (offscreen). A scripted modal runner stands in for the nested modal loops:
// it shows the level window, runs the next step of the script on it and
// returns, as the real loop returns once the window has closed.
#include "app/app_state.h"
#include "app/app_window.h"
#include "app/main_window.h"
#include "app/screen_fit.h"
#include "platform/dialogs_window.h"
#include "platform/picture.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <deque>
#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

// The buttons a screen shows beside its text, as the layout counts them.
int visibleButtons(QWidget* w) {
    int n = 0;
    for (QWidget* b :
         child<QWidget>(w, "centralwidget")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (b->objectName().startsWith("Button") && !b->isHidden())
            ++n;
    return n;
}

void writeBmp(const QString& path, QColor colour) {
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    writeBytes(path, bytes);
}

QString levelFile(const AppState& st) {
    return QString::fromLatin1(readBytes(st.levelFile()));
}

// A course: three day folders, a day with nested lists, glyph pictures.
struct Course {
    QTemporaryDir dir;
    QString prog, temp;
    TestState t{QString(), QString()};
    ScriptedModal runner;
    std::unique_ptr<TForm1> main;

    explicit Course(int screenWidth = 1024, const QStringList& config = {}) {
        runner.stepsOnly = &TForm1::staticMetaObject; // other windows go to the script
        prog = dir.path() + "/kurz/";
        temp = dir.path() + "/temp/";
        QDir().mkpath(temp);
        QStringList cfg = config;
        cfg << "*PATH TEMP*" + temp << "0*IP NONE*offline";
        writeCourseFile(prog + "CONFIG.TXT", cfg);
        writeCourseFile(prog + "01._deň/Obsah.txt",
                        {"<Prvý deň:", "myš a klávesnica.>", "[Príbeh] pribeh.txt", "[Hra] hra.exe",
                         "//https://www.example.sk/mys"});
        writeCourseFile(prog + "01._deň/pribeh.txt",
                        {"<", "Stlač <Enter>.", ">", "[Koniec] koniec.txt"});
        writeCourseFile(prog + "01._deň/koniec.txt", {"<Posledná úroveň.>"});
        writeCourseFile(prog + "02._deň/Obsah.txt", {"//https://www.example.sk/"});
        QDir().mkpath(prog + "10._deň");
        writeCourseFile(prog + "10._deň/Obsah.txt", {"[Úlohy] ulohy.txt"});
        writeBmp(prog + "Text.BMP", Qt::blue);
        writeBmp(prog + "Play.BMP", Qt::green);
        writeBmp(prog + "PRIBEH.bmp", Qt::red);
        t.system.metrics = {screenWidth, screenWidth == 1024 ? 768 : 600, 96};
        QDir::setCurrent(prog);
    }

    void start(const QStringList& args = {}) {
        main = std::make_unique<TForm1>(t.st, runner, true);
        main->guard([&] { main->FormCreate(args); });
        main->guard([&] { main->FormActivate(); });
    }

    QPushButton* dayButton(const QString& caption) { return test::dayButton(main.get(), caption); }
};

} // namespace

class TestScreens : public QObject {
    Q_OBJECT
private slots:
    void glyphColourIsSeeThrough();
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // First: a test before it that ends the program stops every later event loop.
    void realModalLoopsNest();
    void clickThroughLevels();
    void endAtLevelThree();
    void endQuestionAndSwitch_data();
    void endQuestionAndSwitch();
    void titleBarCloses();
    void dayButtonsByScreenWidth_data();
    void dayButtonsByScreenWidth();
    void itemButtonsByScreenWidth_data();
    void itemButtonsByScreenWidth();
    void eachItemItsGlyph();
    void captionTrimmingOnButtons();
    void captionsFitTheirButtons_data();
    void captionsFitTheirButtons();
    void dayCaptionNotANumber();
    void backupListMovedBack();
    void missingDayList_data();
    void missingDayList();
    void tempFormFileMissingOrBroken();
    void badNumberInDayConfig();
    void levelConfigCaption();
    void twentyFirstLevelRefused();
    void searchWindowMode();
    void searchWindowMissingList();
    void activationOnOffscreenBuildsDays();
    // Last: it gives the process the program's own style and font.
    void captionsDrawnInsideTheirButtons_data() { captionsFitTheirButtons_data(); }
    void captionsDrawnInsideTheirButtons();
};

void TestScreens::realModalLoopsNest() {
    // With the real runner each level waits in its own event loop; hiding the
    // level below must not end that level's loop.
    Course c;
    ModalRunner real;
    c.main = std::make_unique<TForm1>(c.t.st, real, true);
    c.main->guard([&] { c.main->FormCreate({}); });
    c.main->guard([&] { c.main->FormActivate(); });
    AppState& st = c.t.st;
    QStringList seen;
    auto front = [&st, &c] { return c.main->windowOfLevel(st.levels.current()); };
    QTimer::singleShot(50, [&] {
        seen << levelFile(st);
        TForm1* w2 = front();
        QTimer::singleShot(50, [&] {
            seen << levelFile(st);
            QTimer::singleShot(50, [&] {
                seen << levelFile(st) + (front() && front()->isVisible() ? "v" : "h");
                child<QToolButton>(front(), "SpeedButton1")->click();
            });
            child<QToolButton>(front(), "SpeedButton1")->click();
        });
        w2->openSubLevel(itemButtons(w2).at(0));
    });
    c.dayButton("  1. deň")->click();
    seen << levelFile(st);
    QCOMPARE(seen, (QStringList{"2", "3", "2v", "1"}));
    QVERIFY(!c.main->windowOfLevel(2));
    QVERIFY(!c.main->isHidden());
}

void TestScreens::clickThroughLevels() {
    Course c;
    c.start();
    AppState& st = c.t.st;
    QCOMPARE(levelFile(st), QStringLiteral("1"));
    QCOMPARE(st.levels.current(), 2);
    QPushButton* day1 = c.dayButton("  1. deň");
    QVERIFY(day1);

    QPoint level2Pos, level3Pos;
    int level2Buttons = -1;
    c.runner.step<TForm1>([&](TForm1* w2) {
        QCOMPARE(levelFile(st), QStringLiteral("2"));
        QCOMPARE(st.levels.current(), 2);
        QVERIFY(c.main->isHidden());
        QCOMPARE(w2->objectName(), QStringLiteral("Form2"));
        QCOMPARE(child<QLabel>(w2, "Label1")->text(), QStringLiteral("1. deň"));
        QCOMPARE(child<QTextEdit>(w2, "Memo1")->toPlainText(),
                 QStringLiteral("Prvý deň:\nmyš a klávesnica."));
        QVERIFY(!child<QTextEdit>(w2, "Memo1")->isHidden());
        QCOMPARE(child<QComboBox>(w2, "ComboBox1")->itemText(0),
                 QStringLiteral("https://www.example.sk/mys"));
        QVERIFY(!child<QToolButton>(w2, "SpeedButton1")->isHidden());
        const auto items = itemButtons(w2);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->objectName(), QStringLiteral("Button12"));
        QCOMPARE(items[0]->property("tag").toInt(), 3);
        QVERIFY(!items[0]->icon().isNull()); // Príbeh finds PRIBEH.bmp
        level2Buttons = items.size();
        w2->move(40, 30);
        level2Pos = w2->pos();

        c.runner.step<TForm1>([&](TForm1* w3) {
            QCOMPARE(levelFile(st), QStringLiteral("3"));
            QCOMPARE(w3->pos(), level2Pos);
            QVERIFY(w2->isHidden());
            QCOMPARE(child<QLabel>(w3, "Label1")->text(), QStringLiteral("1. deň - Príbeh"));
            // A lone "<" block keeps "<Enter>" and its item stays a button.
            QCOMPARE(child<QTextEdit>(w3, "Memo1")->toPlainText(),
                     QStringLiteral("Stlač <Enter>."));
            QCOMPARE(itemButtons(w3).size(), 1);
            w3->move(70, 60);
            level3Pos = w3->pos();
            child<QToolButton>(w3, "SpeedButton1")->click();
            QCOMPARE(levelFile(st), QStringLiteral("2"));
        });
        QVERIFY(w2->openSubLevel(items[0]));
        // Back on level 2: shown again where level 3 was, not rebuilt.
        QCOMPARE(st.levels.current(), 2);
        QCOMPARE(levelFile(st), QStringLiteral("2"));
        QVERIFY(!w2->isHidden());
        QCOMPARE(w2->pos(), level3Pos);
        QCOMPARE(itemButtons(w2).size(), level2Buttons);
        w2->guard([w2] { w2->FormActivate(); });
        QCOMPARE(itemButtons(w2).size(), level2Buttons);
        QVERIFY(st.levelConfigActive);
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    day1->click();
    QCOMPARE(c.runner.opened, (QStringList{"Form2", "Form3"}));
    QCOMPARE(st.levels.current(), 1);
    QCOMPARE(levelFile(st), QStringLiteral("1"));
    QVERIFY(!st.levelConfigActive);
    QVERIFY(!c.main->isHidden());
    QVERIFY(!c.main->windowOfLevel(2));
    QVERIFY(QFile::exists(st.tempFormFile()));
    QCOMPARE(c.t.prompter.shown.size(), size_t(0));

    // Another day after coming back opens as level 2 again.
    c.runner.step<TForm1>([&](TForm1* w2) {
        QCOMPARE(child<QLabel>(w2, "Label1")->text(), QStringLiteral("10. deň"));
        QCOMPARE(st.selectedItem, 10);
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("10. deň")->click();
    QCOMPARE(c.runner.opened.size(), 3);
    QCOMPARE(st.levels.current(), 1);
}

void TestScreens::endAtLevelThree() {
    Course c;
    c.start();
    AppState& st = c.t.st;
    c.runner.step<TForm1>([&](TForm1* w2) {
        c.runner.step<TForm1>([&](TForm1* w3) {
            child<QToolButton>(w3, "SpeedButton2")->click();
            QVERIFY(st.exiting);
            QCOMPARE(st.levels.current(), 1);
            QVERIFY(st.levels.built(1) && st.levels.built(2));
            QVERIFY(!w2->isHidden());
            QVERIFY(!c.main->isHidden());
            QVERIFY(!QFile::exists(st.tempFormFile()));
        });
        w2->openSubLevel(itemButtons(w2).at(0));
        QCOMPARE(itemButtons(w2).size(), 2); // not rebuilt on the way out
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 2);
    QCOMPARE(c.t.prompter.texts(), QStringList{"Chcete ukončiť program ?"});
    QVERIFY(c.main->closingForExit);
    QVERIFY(!c.main->windowOfLevel(2) && !c.main->windowOfLevel(3));
}

void TestScreens::endQuestionAndSwitch_data() {
    QTest::addColumn<QStringList>("config");
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("ends");
    QTest::newRow("button, No") << QStringList{} << false << false << 1 << false;
    QTest::newRow("button, Yes") << QStringList{} << false << true << 1 << true;
    QTest::newRow("Ctrl+K, Yes") << QStringList{} << true << true << 1 << true;
    QTest::newRow("switch 0: no question")
        << QStringList{"0*END*Koniec?"} << false << false << 0 << true;
    QTest::newRow("switch 0, menu") << QStringList{"0*END*Koniec?"} << true << false << 0 << true;
}

void TestScreens::endQuestionAndSwitch() {
    QFETCH(QStringList, config);
    QFETCH(bool, viaMenu);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(bool, ends);
    Course c(1024, config);
    c.start();
    c.t.prompter.defaultAnswer = answer;
    if (viaMenu)
        child<QAction>(c.main, "Koniec1")->trigger();
    else
        child<QToolButton>(c.main, "SpeedButton2")->click();
    QCOMPARE(int(c.t.prompter.shown.size()), questions);
    QCOMPARE(c.t.st.exiting, ends);
    QCOMPARE(QFile::exists(c.t.st.tempFormFile()), !ends);
}

void TestScreens::titleBarCloses() {
    Course c;
    c.start();
    AppState& st = c.t.st;
    // Another copy with the same temp folder claims level 3: the level
    // window still closes as a level window.
    c.runner.step<TForm1>([&](TForm1* w2) {
        writeBytes(st.levelFile(), "3");
        QVERIFY(w2->close());
        QCOMPARE(levelFile(st), QStringLiteral("1"));
        QCOMPARE(st.levels.current(), 1);
    });
    c.dayButton("  2. deň")->click();
    QVERIFY(QFile::exists(st.tempFormFile()));
    QVERIFY(!st.levelConfigActive);
    // And the main window, whatever the level file says, ends the program.
    writeBytes(st.levelFile(), "2");
    QVERIFY(c.main->close());
    QVERIFY(!QFile::exists(st.tempFormFile()));
    QCOMPARE(c.t.prompter.shown.size(), size_t(0));
}

// Glyphs and markers are drawn on a background of their bottom-left pixel's
// colour: every pixel of that colour is see-through, all others stay.
void TestScreens::glyphColourIsSeeThrough() {
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::blue);
    img.setPixelColor(0, 2, Qt::red);
    img.setPixelColor(3, 0, Qt::red);
    QImage shown(4, 3, QImage::Format_RGB32);
    shown.fill(Qt::green);
    {
        QPainter p(&shown);
        p.drawPixmap(0, 0, seeThroughPixmap(img));
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool seeThrough = (x == 0 && y == 2) || (x == 3 && y == 0);
            QCOMPARE(shown.pixelColor(x, y), seeThrough ? QColor(Qt::green) : QColor(Qt::blue));
        }
}

void TestScreens::dayButtonsByScreenWidth_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<QRect>("first");
    QTest::addColumn<int>("step");
    QTest::newRow("1024") << 1024 << QRect(1000 - 180 - 36, 21 + 34, 180, 31) << 34;
    QTest::newRow("800") << 800 << QRect(790 - 150 - 30, 15 + 28, 150, 26) << 28;
}

void TestScreens::dayButtonsByScreenWidth() {
    QFETCH(int, screen);
    QFETCH(QRect, first);
    QFETCH(int, step);
    Course c(screen);
    QDir().mkpath(c.prog + ".git");
    // A background larger than its place: shown at its own size, centred
    // (the place clips it), never scaled.
    {
        QImage big(900, 700, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        big.save(&buf, "BMP");
        writeBytes(c.prog + "POZADIE.BMP", bytes);
    }
    c.start();
    const QLabel* image = child<QLabel>(c.main, "Image1");
    QCOMPARE(image->pixmap().size(), QSize(900, 700));
    QVERIFY(image->width() < 900);
    QCOMPARE(image->alignment(), Qt::AlignCenter);
    QList<QPushButton*> days;
    for (auto* b : c.main->findChildren<QPushButton*>())
        if (b->objectName().startsWith("Buttonx"))
            days << b;
    std::sort(days.begin(), days.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    QStringList captions;
    for (auto* b : days)
        captions << b->text();
    QCOMPARE(captions, (QStringList{"  1. deň", "  2. deň", "10. deň"}));
    QCOMPARE(days[0]->geometry(), first);
    QCOMPARE(days[1]->y() - days[0]->y(), step);
    const int index = days[0]->property("tag").toInt();
    QCOMPARE(index, c.t.st.firstDayButton);
    QCOMPARE(days[0]->objectName(), "Buttonx" + QString::number(index) + "1");
    QCOMPARE(c.t.st.lastDayButton, index + 2);
    QVERIFY(child<QPushButton>(c.main, "Button1")->isHidden());
}

void TestScreens::itemButtonsByScreenWidth_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<QRect>("first");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("memoWidth");
    QTest::newRow("1024") << 1024 << QRect(1000 - 264 - 24, 70 + 35, 264, 44) << 48 << 620;
    QTest::newRow("800") << 800 << QRect(790 - 190 - 20, 70 + 35, 190, 37) << 40 << 520;
}

void TestScreens::itemButtonsByScreenWidth() {
    QFETCH(int, screen);
    QFETCH(QRect, first);
    QFETCH(int, step);
    QFETCH(int, memoWidth);
    Course c(screen);
    c.start();
    c.runner.step<TForm1>([&](TForm1* w2) {
        const auto items = itemButtons(w2);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->geometry(), first);
        QCOMPARE(items[1]->y() - items[0]->y(), step);
        QCOMPARE(child<QTextEdit>(w2, "Memo1")->width(), memoWidth);
        QCOMPARE(child<QLabel>(w2, "Label1")->width(), w2->width() - first.width() - 20);
        // Notes button below the last item; count of visible buttons.
        QCOMPARE(visibleButtons(w2), 2);
        QVERIFY(!items[1]->icon().isNull()); // hra.exe without exe.BMP plays
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
}

// Every item button shows its own glyph, however many share one picture: a
// caption's own picture, the extension's (level folder first), the fallbacks.
void TestScreens::eachItemItsGlyph() {
    Course c;
    writeCourseFile(c.prog + "01._deň/Obsah.txt",
                    {"[Príbeh] pribeh.txt", "[Hra] hra.exe", "[Čítanie] a.txt", "[Iná hra] b.exe",
                     "[Dokument] c.pdf", "[Ďalší] d.pdf"});
    auto glyph = [](const QString& path, QColor colour) {
        QImage img(32, 32, QImage::Format_RGB32);
        img.fill(colour);
        img.setPixelColor(0, 31, Qt::white); // the see-through colour
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "BMP");
        writeBytes(path, bytes);
    };
    glyph(c.prog + "Text.BMP", Qt::blue);
    glyph(c.prog + "Play.BMP", Qt::green);
    glyph(c.prog + "PRIBEH.bmp", Qt::red);
    glyph(c.prog + "pdf.BMP", Qt::black);
    glyph(c.prog + "01._deň/PDF.bmp", Qt::yellow);
    c.start();
    c.runner.step<TForm1>([&](TForm1* w2) {
        QStringList shown;
        for (QPushButton* b : itemButtons(w2))
            shown << b->icon().pixmap(QSize(32, 32)).toImage().pixelColor(16, 16).name();
        QCOMPARE(shown,
                 (QStringList{"#ff0000", "#00ff00", "#0000ff", "#00ff00", "#ffff00", "#ffff00"}));
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
}

void TestScreens::captionTrimmingOnButtons() {
    Course c(800);
    c.start();
    const QString c27 = QString(27, QChar(u'ž'));
    const QString c28 = QStringLiteral("Materiál pre žiakov siedmej t"); // 29
    writeCourseFile(c.prog + "01._deň/Obsah.txt", {"[" + c27 + "] a.txt", "[" + c28 + "] b.txt",
                                                   "[] skryte.txt", "[Krátky] c.txt"});
    c.runner.step<TForm1>([&](TForm1* w2) {
        const auto items = itemButtons(w2);
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0]->text(), c27);
        QVERIFY(!items[0]->property("hintShown").toBool());
        QCOMPARE(items[1]->text(), c28.left(26) + ".");
        QVERIFY(items[1]->property("hintShown").toBool());
        QCOMPARE(items[1]->toolTip(), c28);
        QVERIFY(items[2]->isHidden());
        // The hidden button takes no room.
        QCOMPARE(items[3]->y() - items[1]->y(), 40);
        QCOMPARE(visibleButtons(w2), 3);
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
}

void TestScreens::captionsFitTheirButtons_data() {
    QTest::addColumn<int>("screen");
    // The virtual screens the zoom gives: 4:3 and 5:4 monitors, 16:9 ones,
    // and an unzoomed small monitor.
    QTest::newRow("1024") << 1024;
    QTest::newRow("1365") << 1365;
    QTest::newRow("800") << 800;
}

void TestScreens::captionsFitTheirButtons() {
    QFETCH(int, screen);
    Course c(screen);
    c.t.system.metrics.height = 768;
    c.start();
    // The longest captions of the sample course, in our (wider) font.
    writeCourseFile(c.prog + "01._deň/Obsah.txt",
                    {"[Koľko súborov je v priečinku?] a.txt", "[Obrázok: strom priečinkov] b.txt",
                     "[Ukážka: kopírovanie súboru] c.txt", "[Zdieľanie priečinkov v sieti] d.txt"});
    const auto check = [](QWidget* w) {
        int checked = 0;
        for (QPushButton* b : w->findChildren<QPushButton*>()) {
            if (b->isHidden() || b->text().isEmpty())
                continue;
            QStyleOptionButton o;
            o.initFrom(b);
            o.text = b->text();
            QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &o, b);
            if (!b->icon().isNull())
                room.setWidth(room.width() - b->iconSize().width() - 4);
            const CaptionFit fit = fitCaption(b->font(), b->text(), room.size());
            QVERIFY2(fit.fits, qPrintable(b->text()));
            if (!fit.twoLines)
                QVERIFY2(QFontMetrics(fit.font).horizontalAdvance(b->text()) <= room.width(),
                         qPrintable(b->text()));
            ++checked;
        }
        QVERIFY(checked > 2);
    };
    check(c.main.get());
    c.runner.step<TForm1>([&](TForm1* w2) {
        check(w2);
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
}

void TestScreens::dayCaptionNotANumber() {
    Course c;
    QDir().mkpath(c.prog + "Úvod");
    c.start();
    c.dayButton("Úvod")->click();
    QVERIFY(c.runner.opened.isEmpty());
    QCOMPARE(c.t.prompter.shown.size(), size_t(1));
    QVERIFY(c.t.prompter.shown[0].text.contains("Úvod"));
}

void TestScreens::backupListMovedBack() {
    Course c;
    QFile::rename(c.prog + "02._deň/Obsah.txt", c.prog + "02._deň/OBSAH.bak");
    c.start();
    c.runner.step<TForm1>([](TForm1* w2) { child<QToolButton>(w2, "SpeedButton1")->click(); });
    c.dayButton("  2. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
    QVERIFY(QFile::exists(c.prog + "02._deň/Obsah.txt"));
    QVERIFY(!QFile::exists(c.prog + "02._deň/OBSAH.bak"));
}

void TestScreens::missingDayList_data() {
    QTest::addColumn<QStringList>("config");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("offer to create")
        << QStringList{} << QStringList{"Neexistuje Obsah.txt\nChcete ho teraz vytvoriť ?"};
    // The offer follows its own key's switch, not DEFAULT CONTENT's.
    QTest::newRow("CONTENT switch 0") << QStringList{"0*CONTENT*Chýba"} << QStringList{};
    QTest::newRow("DEFAULT CONTENT switch 0 does not silence it")
        << QStringList{"0*DEFAULT CONTENT*Obsah.txt"}
        << QStringList{"Neexistuje Obsah.txt\nChcete ho teraz vytvoriť ?"};
}

void TestScreens::missingDayList() {
    QFETCH(QStringList, config);
    QFETCH(QStringList, expected);
    Course c(1024, config);
    QFile::remove(c.prog + "02._deň/Obsah.txt");
    c.start();
    c.t.prompter.defaultAnswer = false;
    c.dayButton("  2. deň")->click();
    QVERIFY(c.runner.opened.isEmpty());
    QCOMPARE(c.t.prompter.texts(), expected);
    QVERIFY(!c.t.st.levelConfigActive);
}

void TestScreens::tempFormFileMissingOrBroken() {
    Course c;
    c.start();
    AppState& st = c.t.st;
    QFile::remove(st.tempFormFile());
    c.runner.step<TForm1>([](TForm1* w2) {
        QCOMPARE(w2->windowTitle(), QStringLiteral("Kelvora pre základné školy"));
        // Written again as at start-up, not as the main screen has it now.
        QVERIFY(child<QAction>(w2, "Poznmky1")->isEnabled());
        QVERIFY(child<QAction>(w2, "Odkazy1")->isEnabled());
        QVERIFY(!child<QToolButton>(w2, "SpeedButton1")->isHidden());
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
    QVERIFY(QFile::exists(st.tempFormFile()));

    // Another copy in the same learner's folder writes its own course's
    // layout there (here: another menu caption), or something broken: level
    // windows keep this copy's own layout, made once at start-up.
    const QByteArray other = readBytes(st.tempFormFile());
    for (const QByteArray& foreign : {QByteArray(other).replace("\"Strom\"", "\"CUDZI STROM\""),
                                      QByteArray("{ nie je to rozloženie")}) {
        QVERIFY(other.contains("\"Strom\"") && other != foreign);
        writeBytes(st.tempFormFile(), foreign);
        QString caption;
        c.runner.step<TForm1>([&](TForm1* w2) {
            caption = child<QAction>(w2, "Hadaj1")->text();
            child<QToolButton>(w2, "SpeedButton1")->click();
        });
        c.dayButton("  1. deň")->click();
        QCOMPARE(caption, QString("&Strom"));
        QVERIFY(c.t.prompter.shown.empty());
        QCOMPARE(readBytes(st.tempFormFile()), foreign); // the other copy's file is left alone
    }
    QCOMPARE(c.runner.opened.size(), 3);
}

void TestScreens::badNumberInDayConfig() {
    Course c;
    writeCourseFile(c.prog + "01._deň/CONFIG.TXT", {"*FONTSIZE BUTTON*veľké"});
    c.start();
    c.runner.step<TForm1>([](TForm1* w2) {
        QCOMPARE(itemButtons(w2).size(), 2);
        QCOMPARE(child<QPushButton>(w2, "Button1")->font().pointSize(), 10);
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
    QCOMPARE(c.t.prompter.shown.size(), size_t(1));
    const QString text = c.t.prompter.shown[0].text;
    QVERIFY2(text.contains("FONTSIZE BUTTON") && text.contains("veľké") && text.contains("01._deň"),
             qPrintable(text));
}

void TestScreens::levelConfigCaption() {
    Course c;
    writeCourseFile(c.prog + "01._deň/CONFIG.TXT",
                    {"*BACK BUTTON CAPTION*Naspäť", "*COLOR TITLE*255"});
    c.start();
    c.runner.step<TForm1>([](TForm1* w2) {
        QCOMPARE(child<QToolButton>(w2, "SpeedButton1")->text(), QStringLiteral("Naspäť"));
        QCOMPARE(child<QLabel>(w2, "Label1")->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));
        QCOMPARE(child<QToolButton>(w2, "SpeedButton2")->text(), QStringLiteral("Koniec"));
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
    // Back on the main screen the day's CONFIG.TXT is no longer read.
    QCOMPARE(c.t.st.CitajKonfig("BACK BUTTON CAPTION", "Späť"), QStringLiteral("Späť"));
}

void TestScreens::twentyFirstLevelRefused() {
    Course c;
    c.start();
    AppState& st = c.t.st;
    c.runner.step<TForm1>([&](TForm1* w2) {
        QPushButton* item = itemButtons(w2).at(0);
        st.levels.restore(kMaxLevel);
        ContentList top;
        top.lines[3] = "[Príbeh] pribeh.txt";
        st.levels.takeList(kMaxLevel, top);
        QVERIFY(w2->openSubLevel(item));
        QCOMPARE(c.runner.opened.size(), 1);
        QCOMPARE(c.t.prompter.shown.size(), size_t(1));
        QVERIFY(c.t.prompter.shown[0].text.contains("pribeh.txt"));
        st.levels.restore(2);
        // A missing list is left to the caller.
        ContentList missing;
        missing.lines[3] = "[Nič] nic.txt";
        st.levels.takeList(2, missing);
        QVERIFY(!w2->openSubLevel(item));
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(st.levels.current(), 1);
}

void TestScreens::searchWindowMode() {
    Course c(800);
    writeBytes(c.temp + "temp.dfm", "normal instance");
    c.start({c.prog + "01._deň/pribeh.txt", "1", "Hľadaný", "príbeh"});
    AppState& st = c.t.st;
    QVERIFY(st.searchMode());
    QCOMPARE(st.tempFormFile(), c.temp + "tempP.dfm");
    QVERIFY(QFile::exists(c.temp + "tempP.dfm"));
    QCOMPARE(QString::fromLatin1(readBytes(c.temp + "Okna2")), QStringLiteral("1"));
    QCOMPARE(st.levels.folder(1), QStringLiteral("01._deň"));
    QCOMPARE(st.levels.listFile(1), QStringLiteral("pribeh.txt"));
    QCOMPARE(c.main->windowTitle(), QStringLiteral("Vyhľadávacie okno"));
    QCOMPARE(child<QToolButton>(c.main, "SpeedButton2")->text(),
             QStringLiteral("Koniec vyhľadávania"));
    QCOMPARE(child<QToolButton>(c.main, "SpeedButton2")->width(), 200);
    QCOMPARE(child<QLabel>(c.main, "Label1")->text(), st.searchTitle);
    QCOMPARE(itemButtons(c.main.get()).size(), 1);

    c.runner.step<TForm1>([&](TForm1* w2) {
        QCOMPARE(w2->windowTitle(), QStringLiteral("Vyhľadávacie okno"));
        QCOMPARE(QString::fromLatin1(readBytes(c.temp + "Okna2")), QStringLiteral("2"));
        QCOMPARE(child<QLabel>(w2, "Label1")->text(), QStringLiteral(" Hľadaný príbeh - Koniec"));
        QCOMPARE(st.searchTitle, QStringLiteral("Koniec"));
        child<QToolButton>(w2, "SpeedButton2")->click();
    });
    QVERIFY(c.main->openSubLevel(itemButtons(c.main.get()).at(0)));
    QCOMPARE(c.t.prompter.texts(), QStringList{"Zavrieť vyhľadávacie okno ?"});
    QVERIFY(st.exiting);
    QVERIFY(!QFile::exists(c.temp + "tempP.dfm"));
    QCOMPARE(readBytes(c.temp + "temp.dfm"), QByteArray("normal instance"));
    QCOMPARE(readBytes(c.temp + "Okna"), QByteArray());
}

void TestScreens::searchWindowMissingList() {
    Course c;
    c.start({c.prog + "01._deň/chyba.txt", "2", "Nič"});
    AppState& st = c.t.st;
    QCOMPARE(c.t.prompter.texts(), QStringList{"Neexistuje " + c.prog + "01._deň/chyba.txt"});
    QVERIFY(st.exiting);
    QVERIFY(c.main->closingForExit);
    QVERIFY(!QFile::exists(c.temp + "tempP.dfm"));
}

void TestScreens::activationOnOffscreenBuildsDays() {
    // The activation handler really runs when the platform activates the
    // main window; the build happens once however often it is activated.
    Course c;
    c.main = std::make_unique<TForm1>(c.t.st, c.runner, true);
    c.main->guard([&] { c.main->FormCreate({}); });
    c.main->show();
    c.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(c.main.get()));
    QTRY_VERIFY(c.dayButton("  1. deň"));
    const int buttons = int(c.main->findChildren<QPushButton*>().size());
    c.main->guard([&] { c.main->FormActivate(); });
    QCOMPARE(int(c.main->findChildren<QPushButton*>().size()), buttons);
}

// What is drawn, at whatever zoom the process runs (the zoomed runs of this
// test are registered beside it): each caption's ink, found as what differs
// between the button drawn with red and with blue text, lies inside the
// button's contents without reaching their edges.
void TestScreens::captionsDrawnInsideTheirButtons() {
    QFETCH(int, screen);
    prepareApplication();
    Course c(screen);
    c.t.system.metrics.height = 768;
    c.start();
    writeCourseFile(c.prog + "01._deň/Obsah.txt",
                    {"[Koľko súborov je v priečinku?] a.txt", "[Obrázok: strom priečinkov] b.txt",
                     "[Ukážka: kopírovanie súboru] c.txt", "[Zdieľanie priečinkov v sieti] d.txt"});
    const auto grabIn = [](QPushButton* b, Qt::GlobalColor colour) {
        QPalette p = b->palette();
        p.setColor(QPalette::ButtonText, colour);
        b->setPalette(p);
        return b->grab().toImage();
    };
    const auto check = [&](QWidget* w) {
        int checked = 0;
        for (QPushButton* b : w->findChildren<QPushButton*>()) {
            if (b->isHidden() || b->text().isEmpty())
                continue;
            const QPalette keep = b->palette();
            const QImage red = grabIn(b, Qt::red);
            const QImage blue = grabIn(b, Qt::blue);
            b->setPalette(keep);
            QRect ink;
            for (int y = 0; y < red.height(); ++y)
                for (int x = 0; x < red.width(); ++x)
                    if (red.pixel(x, y) != blue.pixel(x, y))
                        ink |= QRect(x, y, 1, 1);
            QVERIFY2(!ink.isEmpty(), qPrintable(b->text()));
            const qreal zoom = red.devicePixelRatio();
            QCOMPARE(zoom, qApp->devicePixelRatio());
            const QRectF drawn(ink.x() / zoom, ink.y() / zoom, ink.width() / zoom,
                               ink.height() / zoom);
            QStyleOptionButton o;
            o.initFrom(b);
            QRectF room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &o, b);
            // Letters cut off at the edge would leave ink up to the edge.
            QVERIFY2(drawn.left() > room.left() + 0.5 && drawn.right() < room.right() - 0.5 &&
                         room.adjusted(0, -2, 0, 2).contains(drawn),
                     qPrintable(QStringLiteral("%1 drawn %2,%3 %4x%5 in %6 wide")
                                    .arg(b->text())
                                    .arg(drawn.x())
                                    .arg(drawn.y())
                                    .arg(drawn.width())
                                    .arg(drawn.height())
                                    .arg(room.width())));
            ++checked;
        }
        QVERIFY(checked > 2);
    };
    check(c.main.get());
    c.runner.step<TForm1>([&](TForm1* w2) {
        check(w2);
        child<QToolButton>(w2, "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(c.runner.opened.size(), 1);
}

QTEST_MAIN(TestScreens)
#include "tst_ui_screens.moc"
