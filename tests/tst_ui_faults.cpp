// Faults from outside on real files and real windows (offscreen): folders that
// cannot be written, a full disk, files that vanish or cannot be read, garbage
// and absurdly long lines. Each must end in a message naming the file, never a
// crash, and every file saved before must stay byte for byte as it was.
//
// The tests run as root in CI, where mode bits stop nobody; for the read-only
// cases the test thread gives up its DAC override capabilities for a while.
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/textfile.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <csignal>
#include <deque>
#include <functional>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace orbino;
using namespace orbino::test;

namespace {

// A file-size limit for this process: writes past `bytes` fail with EFBIG
// instead of raising SIGXFSZ, which is how a full disk looks to a writer.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit l{bytes, m_old.rlim_max};
        m_ok = ::setrlimit(RLIMIT_FSIZE, &l) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

void setMode(const QString& path, mode_t mode) {
    QVERIFY2(::chmod(QFile::encodeName(path).constData(), mode) == 0, qPrintable(path));
}

// Temporaries a failed replacement must not leave behind.
QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({".orbino-*"}, QDir::Files | QDir::Hidden | QDir::System);
}

// Bytes of every kind, line ends and "*" among them, but no end-of-file mark.
QByteArray garbage(qsizetype size, quint32 seed) {
    QRandomGenerator rng(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        char c = char(rng.bounded(256));
        if (c == '\x1a')
            c = '\0';
        out[i] = c;
    }
    return out;
}

// A course with two days; day 1 has a lesson with a description block.
struct Course {
    QTemporaryDir dir;
    QString prog, temp;
    TestState t{QString(), QString()};
    ScriptedModal runner;
    std::unique_ptr<TForm1> main;

    explicit Course(const QStringList& config = {}) {
        prog = dir.path() + "/kurz/";
        temp = dir.path() + "/temp/";
        QDir().mkpath(temp);
        writeCourseFile(prog + "CONFIG.TXT",
                        QStringList{"*PATH TEMP*" + temp, "0*IP NONE*offline"} + config);
        writeCourseFile(prog + "01._deň/Obsah.txt",
                        {"<Prvý deň.>", "[Príbeh] pribeh.txt", "//https://www.example.sk/"});
        writeCourseFile(prog + "01._deň/pribeh.txt", {"<", "Text lekcie.", ">"});
        writeCourseFile(prog + "02._deň/Obsah.txt", {"<Druhý deň.>"});
        t.system.metrics = {1024, 768, 96};
        QDir::setCurrent(prog);
    }
    void start() {
        main = std::make_unique<TForm1>(t.st, runner, true);
        main->guard([&] { main->FormCreate({}); });
        main->guard([&] { main->FormActivate(); });
        main->show();
    }
    QPushButton* dayButton(const QString& caption) const {
        return main ? test::dayButton(main.get(), caption) : nullptr;
    }
    // Presses day 1 and leaves its screen at once: the item buttons it had,
    // or -1 when no screen came up.
    int itemsOfDayOne() {
        QPushButton* day = dayButton("  1. deň");
        if (!day)
            return -1;
        int buttons = -1;
        runner.steps.push_back([&](QWidget* w) {
            buttons = int(itemButtons(w).size());
            child<QToolButton>(w, "SpeedButton1")->click();
        });
        day->click();
        return buttons;
    }
    // Every message shown so far names `file`.
    bool allMessagesName(const QString& file) const {
        for (const QString& text : t.prompter.texts())
            if (!text.contains(file))
                return false;
        return true;
    }
};

// One lesson screen (level 2 of day 3) as the text panel, notes and links see it.
struct Lesson {
    QTemporaryDir dir;
    QString prog, folder, txt, rtf, temp;
    std::unique_ptr<TestState> ts;
    ScriptedModal runner;
    std::unique_ptr<TForm1> form;

    Lesson() {
        prog = dir.path() + "/kurz/";
        folder = prog + "03._deň/";
        txt = folder + "pisanie.txt";
        rtf = folder + "pisanie.rtf";
        temp = dir.path() + "/temp/";
        QDir().mkpath(folder);
        QDir().mkpath(temp);
        writeCourseFile(prog + "CONFIG.TXT", {});
        writeCourseFile(txt, {"pozadie.bmp", "<Uložený text>", "[Úloha] uloha.txt"});
        writeBytes(rtf, "{\\rtf1\\ansi\\ansicpg1250 Ulo\\'9een\\'fd text\\par}");
        ts = std::make_unique<TestState>(prog, temp);
        AppState& st = ts->st;
        st.levels.restore(2);
        st.levels.restorePlace(2, "03._deň", "pisanie.txt");
        form = std::make_unique<TForm1>(st, runner, false);
        form->takeLevel(2);
        form->level = 2;
        child<QTextEdit>(form, "Memo1")->setEnabled(true);
        st.levels.ZapisUroven();
    }
    QStringList texts() const { return ts->prompter.texts(); }
};

} // namespace

class TestUiFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void fullDiskWhileSaving_data();
    void fullDiskWhileSaving();
    void fullDiskWhileChangingLevel();
    void fullTempFolderAtStart();
    void readOnlyCourseFolder();
    void readOnlyTempFolder();
    void unreadableConfig_data();
    void unreadableConfig();
    void garbageConfig();
    void garbageContentList();
    void fileVanishesAfterListing_data();
    void fileVanishesAfterListing();
    void pipeBehindAnItemButton();
    void hugeContentListLine_data();
    void hugeContentListLine();
};

void TestUiFaults::fullDiskWhileSaving_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("limit"); // bytes a file may still grow to
    QTest::newRow("note, nothing fits") << "note" << 0;
    QTest::newRow("note, a part fits") << "note" << 10;
    QTest::newRow("links, nothing fits") << "links" << 0;
    QTest::newRow("links, a part fits") << "links" << 12;
    QTest::newRow("lesson text, nothing fits") << "lesson" << 0;
    QTest::newRow("lesson text, the list fits, the twin not") << "lesson" << 60;
}

void TestUiFaults::fullDiskWhileSaving() {
    QFETCH(QString, what);
    QFETCH(int, limit);
    Lesson l;
    const QString note = l.temp + "pisanie.txt";
    const QString links = l.temp + "pisanie.htm";
    const QByteArray noteBefore = "star\xe1 pozn\xe1mka\r\n";
    const QByteArray linksBefore = "www.a.sk\r\nwww.b.sk\r\n";
    writeBytes(note, noteBefore);
    writeBytes(links, linksBefore);
    const QByteArray txtBefore = readBytes(l.txt);
    const QByteArray rtfBefore = readBytes(l.rtf);
    const QByteArray levelBefore = readBytes(l.ts->st.levelFile());
    QString named;

    if (what == "note") {
        named = "pisanie.txt";
        l.runner.steps.push_back([&](QWidget* w) {
            {
                FileSizeLimit full{rlim_t(limit)};
                QVERIFY(full.ok());
                child<QPlainTextEdit>(w, "Memo1")
                    ->setPlainText("nová poznámka, dlhšia než miesto na disku");
                child<QPushButton>(w, "Button1")->click();
            }
            // The note stays on the screen to be saved once there is room.
            QVERIFY(w->isVisible());
            QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText(),
                     QString("nová poznámka, dlhšia než miesto na disku"));
            child<QPushButton>(w, "Button2")->click(); // dropped on purpose
        });
        l.form->guard([&] { child<QAction>(l.form, "Poznmky1")->trigger(); });
    } else if (what == "links") {
        named = "pisanie.htm";
        l.ts->prompter.defaultAnswer = false;
        l.runner.steps.push_back([&](QWidget* w) {
            {
                FileSizeLimit full{rlim_t(limit)};
                QVERIFY(full.ok());
                child<QLineEdit>(w, "Edit1")->setText("https://www.example.sk/dlhy/odkaz");
                child<QPushButton>(w, "Button1")->click();
            }
            child<QPushButton>(w, "Button4")->click();
        });
        l.form->guard([&] { child<QAction>(l.form, "Odkazy1")->trigger(); });
    } else {
        named = "pisanie.";
        child<QAction>(l.form, "Editciatextu2")->trigger();
        QVERIFY(!child<QTextEdit>(l.form, "Memo1")->isReadOnly());
        child<QTextEdit>(l.form, "Memo1")
            ->setPlainText("Nový text lekcie,\nktorý sa na disk nezmestí.");
        {
            FileSizeLimit full{rlim_t(limit)};
            QVERIFY(full.ok());
            QVERIFY(!l.form->UlozMemo());
        }
        // Still editing: the teacher's text is not lost.
        QVERIFY(!child<QTextEdit>(l.form, "Memo1")->isReadOnly());
        QCOMPARE(child<QTextEdit>(l.form, "Memo1")->toPlainText(),
                 QString("Nový text lekcie,\nktorý sa na disk nezmestí."));
    }

    // Questions (keep the typed link?) may come too; every message names the file.
    int messages = 0;
    for (const auto& shown : l.ts->prompter.shown) {
        if (shown.question)
            continue;
        ++messages;
        QVERIFY2(shown.text.contains(named), qPrintable(shown.text));
    }
    QVERIFY2(messages > 0, "the failure was not reported");
    QCOMPARE(readBytes(note), noteBefore);
    QCOMPARE(readBytes(links), linksBefore);
    QCOMPARE(readBytes(l.txt), txtBefore);
    QCOMPARE(readBytes(l.rtf), rtfBefore);
    QCOMPARE(readBytes(l.ts->st.levelFile()), levelBefore);
    QCOMPARE(leftovers(l.temp), QStringList());
    QCOMPARE(leftovers(l.folder), QStringList());
}

void TestUiFaults::fullDiskWhileChangingLevel() {
    // The level file cannot be rewritten while a day opens and closes.
    Course c;
    c.start();
    AppState& st = c.t.st;
    QCOMPARE(readBytes(st.levelFile()), QByteArray("1"));
    QPushButton* day = c.dayButton("  1. deň");
    QVERIFY(day);
    {
        FileSizeLimit full(0);
        QVERIFY(full.ok());
        c.runner.steps.push_back([&](QWidget* w) {
            QCOMPARE(readBytes(st.levelFile()), QByteArray("1"));
            child<QToolButton>(static_cast<TForm1*>(w), "SpeedButton1")->click();
        });
        day->click();
    }
    QVERIFY(!c.t.prompter.shown.empty());
    QVERIFY2(c.allMessagesName("Okna"), qPrintable(c.t.prompter.texts().join('\n')));
    QCOMPARE(readBytes(st.levelFile()), QByteArray("1"));
    QCOMPARE(leftovers(c.temp), QStringList());
    QCOMPARE(st.levels.current(), 1);
    QVERIFY(!c.main->isHidden());
}

void TestUiFaults::fullTempFolderAtStart() {
    // Before: two error boxes, then a main screen with menus only. A file-size
    // limit of 0 makes every write fail (EFBIG) as root too, as a full disk
    // does; the whole run stays under it.
    Course c;
    FileSizeLimit full(0);
    QVERIFY(full.ok());
    c.start();
    QCOMPARE(c.t.prompter.shown.size(), size_t(1));
    QVERIFY2(c.t.prompter.shown[0].text.contains(c.temp) &&
                 c.t.prompter.shown[0].text.contains("temp.dfm"),
             qPrintable(c.t.prompter.shown[0].text));
    QVERIFY(!c.main->isHidden());
    QVERIFY(c.dayButton("  1. deň"));
    QVERIFY(c.dayButton("  2. deň"));
    QVERIFY(!child<QToolButton>(c.main, "SpeedButton2")->isHidden());
    QCOMPARE(child<QToolButton>(c.main, "SpeedButton2")->text(), QString("Koniec"));
    QVERIFY(!QFile::exists(c.temp + "temp.dfm"));
    // A day still opens: its window is made from the layout held in memory,
    // and nothing more is said about the folder.
    int buttons = -1;
    QString caption;
    c.runner.steps.push_back([&](QWidget* w) {
        buttons = int(itemButtons(w).size());
        caption = child<QToolButton>(static_cast<TForm1*>(w), "SpeedButton2")->text();
        child<QToolButton>(static_cast<TForm1*>(w), "SpeedButton1")->click();
    });
    c.dayButton("  1. deň")->click();
    QCOMPARE(buttons, 1);
    QCOMPARE(caption, QString("Koniec"));
    QCOMPARE(c.t.prompter.shown.size(), size_t(1));
    QCOMPARE(leftovers(c.temp), QStringList());
}

void TestUiFaults::readOnlyCourseFolder() {
    Lesson l;
    const QByteArray txtBefore = readBytes(l.txt);
    const QByteArray rtfBefore = readBytes(l.rtf);
    ModeBitsBind bind;
    if (!bind.ok())
        QSKIP("running as root without the right to drop CAP_DAC_OVERRIDE: mode bits cannot stop "
              "writes");
    setMode(l.folder, 0555);
    setMode(l.prog, 0555);
    QVERIFY(!SkusZapis(l.ts->st));

    child<QAction>(l.form, "Editciatextu2")->trigger();
    child<QTextEdit>(l.form, "Memo1")->setPlainText("Zmena v priečinku len na čítanie");
    QVERIFY(!l.form->UlozMemo());
    QVERIFY(!child<QTextEdit>(l.form, "Memo1")->isReadOnly());
    setMode(l.folder, 0755);
    setMode(l.prog, 0755);

    // The edit may warn first that the folder is read-only; the failed save names the file.
    QVERIFY(!l.texts().isEmpty());
    QVERIFY2(l.texts().last().contains("pisanie."), qPrintable(l.texts().join('\n')));
    QCOMPARE(readBytes(l.txt), txtBefore);
    QCOMPARE(readBytes(l.rtf), rtfBefore);
    QCOMPARE(leftovers(l.folder), QStringList());
    QCOMPARE(leftovers(l.prog), QStringList());
    // Once the folder may be written again, the same text saves.
    QVERIFY(l.form->UlozMemo());
    QCOMPARE(readLines(l.txt), (QStringList{"pozadie.bmp", "<", "Zmena v priečinku len na čítanie",
                                            ">", "[Úloha] uloha.txt"}));
}

void TestUiFaults::readOnlyTempFolder() {
    Lesson l;
    const QString note = l.temp + "pisanie.txt";
    const QByteArray noteBefore = "pozn\xe1mka\r\n";
    writeBytes(note, noteBefore);
    const QByteArray levelBefore = readBytes(l.ts->st.levelFile());
    ModeBitsBind bind;
    if (!bind.ok())
        QSKIP("running as root without the right to drop CAP_DAC_OVERRIDE: mode bits cannot stop "
              "writes");
    setMode(l.temp, 0555);
    l.runner.steps.push_back([&](QWidget* w) {
        child<QPlainTextEdit>(w, "Memo1")->setPlainText("nová poznámka");
        child<QPushButton>(w, "Button1")->click();
        QVERIFY(w->isVisible());
        // "Koniec", "Áno": the save fails again and the note stays on the screen.
        l.ts->prompter.choices = {0};
        child<QPushButton>(w, "Button4")->click();
        QVERIFY(w->isVisible());
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText(), QString("nová poznámka"));
        child<QPushButton>(w, "Button2")->click(); // dropped on purpose
    });
    l.form->guard([&] { child<QAction>(l.form, "Poznmky1")->trigger(); });
    // The same level again needs no write (and so cannot fail); a new one does.
    l.form->guard([&] { l.ts->st.levels.ZapisUroven(); });
    QCOMPARE(l.texts().size(), 3);
    l.ts->st.levels.restore(l.ts->st.levels.current() + 1);
    l.form->guard([&] { l.ts->st.levels.ZapisUroven(); });
    setMode(l.temp, 0755);

    QCOMPARE(l.texts().size(), 4);
    QVERIFY2(l.texts().at(0).contains(note), qPrintable(l.texts().at(0)));
    QCOMPARE(l.texts().at(1), QString("Uložiť poznámku?"));
    QVERIFY2(l.texts().at(2).contains(note), qPrintable(l.texts().at(2)));
    QVERIFY2(l.texts().at(3).contains(l.ts->st.levelFile()), qPrintable(l.texts().at(3)));
    QCOMPARE(readBytes(note), noteBefore);
    QCOMPARE(readBytes(l.ts->st.levelFile()), levelBefore);
    QCOMPARE(leftovers(l.temp), QStringList());
}

void TestUiFaults::unreadableConfig_data() {
    QTest::addColumn<QString>("where"); // "" for the program folder, else a day folder
    QTest::addColumn<bool>("folder");   // a folder named CONFIG.TXT, else a file nobody may read
    QTest::newRow("program folder, a folder") << "" << true;
    QTest::newRow("program folder, no read permission") << "" << false;
    QTest::newRow("day folder, a folder") << "01._deň/" << true;
    QTest::newRow("day folder, no read permission") << "01._deň/" << false;
}

void TestUiFaults::unreadableConfig() {
    QFETCH(QString, where);
    QFETCH(bool, folder);
    Course c;
    const QString config = c.prog + where + "CONFIG.TXT";
    std::unique_ptr<ModeBitsBind> bind;
    if (folder) {
        if (QFile::exists(config))
            QVERIFY(QFile::remove(config));
        QVERIFY(QDir().mkpath(config));
        writeBytes(config + "/inside.txt", "x");
    } else {
        writeCourseFile(config, {"*NAME*Nečitateľný"});
        bind = std::make_unique<ModeBitsBind>();
        if (!bind->ok())
            QSKIP("running as root without the right to drop CAP_DAC_OVERRIDE");
        setMode(config, 0);
    }
    if (where.isEmpty()) {
        c.start();
    } else {
        c.start();
        QVERIFY(c.t.prompter.shown.empty());
        QPushButton* day = c.dayButton("  1. deň");
        QVERIFY(day);
        c.runner.steps.push_back([](QWidget* w) {
            child<QToolButton>(static_cast<TForm1*>(w), "SpeedButton1")->click();
        });
        day->click();
        QVERIFY(!c.main->windowOfLevel(2));
        QVERIFY(!c.main->isHidden());
        QVERIFY(!c.t.st.levelConfigActive);
    }
    if (!folder)
        setMode(config, 0644);
    QVERIFY(!c.t.prompter.shown.empty());
    QVERIFY2(c.allMessagesName(where + "CONFIG.TXT"), qPrintable(c.t.prompter.texts().join('\n')));
    if (folder)
        QCOMPARE(readBytes(config + "/inside.txt"), QByteArray("x"));
    else
        QCOMPARE(readLines(config), QStringList{"*NAME*Nečitateľný"});
}

void TestUiFaults::garbageConfig() {
    for (quint32 seed = 1; seed <= 4; ++seed) {
        Course c;
        QByteArray bytes = readBytes(c.prog + "CONFIG.TXT");
        bytes += garbage(64 * 1024, seed);
        writeBytes(c.prog + "CONFIG.TXT", bytes);
        c.start();
        // Whatever the garbage happens to say, what is reported names the file.
        QVERIFY2(c.allMessagesName("CONFIG.TXT"), qPrintable(c.t.prompter.texts().join('\n')));
        QVERIFY(c.dayButton("  1. deň"));
        QCOMPARE(readBytes(c.prog + "CONFIG.TXT"), bytes);
    }
}

void TestUiFaults::garbageContentList() {
    for (quint32 seed = 1; seed <= 4; ++seed) {
        Course c;
        const QString list = c.prog + "01._deň/Obsah.txt";
        const QByteArray bytes = garbage(256 * 1024, seed);
        writeBytes(list, bytes);
        c.start();
        const int buttons = c.itemsOfDayOne();
        QVERIFY(buttons >= 0 && buttons <= 20);
        QVERIFY2(c.allMessagesName("Obsah.txt"), qPrintable(c.t.prompter.texts().join('\n')));
        QCOMPARE(c.t.st.levels.current(), 1);
        QCOMPARE(readBytes(list), bytes);
    }
}

void TestUiFaults::fileVanishesAfterListing_data() {
    QTest::addColumn<QString>("removed"); // relative to the program folder
    QTest::addColumn<QString>("named");
    QTest::newRow("day list") << "01._deň/Obsah.txt"
                              << "Obsah.txt";
    QTest::newRow("whole day folder") << "01._deň"
                                      << "Obsah.txt";
    QTest::newRow("lesson behind an item button") << "01._deň/pribeh.txt"
                                                  << "pribeh.txt";
}

void TestUiFaults::fileVanishesAfterListing() {
    QFETCH(QString, removed);
    QFETCH(QString, named);
    Course c;
    c.start();
    QPushButton* day = c.dayButton("  1. deň");
    QVERIFY(day);
    c.t.prompter.defaultAnswer = false;
    auto remove = [&] {
        const QString path = c.prog + removed;
        QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    };
    if (removed.endsWith("pribeh.txt")) {
        c.runner.steps.push_back([&](QWidget* w) {
            const auto items = itemButtons(w);
            QCOMPARE(items.size(), 1);
            remove();
            items.at(0)->click();
            child<QToolButton>(static_cast<TForm1*>(w), "SpeedButton1")->click();
        });
    } else {
        remove();
    }
    day->click();
    QVERIFY(!c.t.prompter.shown.empty());
    QVERIFY2(c.allMessagesName(named), qPrintable(c.t.prompter.texts().join('\n')));
    QVERIFY(!c.main->windowOfLevel(2));
    QVERIFY(!c.main->isHidden());
    QCOMPARE(readBytes(c.t.st.levelFile()), QByteArray("1"));
}

// A pipe where the lesson should be is neither opened (it would be read
// forever) nor offered for creation: one message says what stands there.
void TestUiFaults::pipeBehindAnItemButton() {
    Course c;
    QVERIFY(QFile::remove(c.prog + "01._deň/pribeh.txt"));
    QVERIFY(::mkfifo(QFile::encodeName(c.prog + "01._deň/pribeh.txt").constData(), 0644) == 0);
    c.start();
    QPushButton* day = c.dayButton("  1. deň");
    QVERIFY(day);
    c.t.prompter.defaultAnswer = false;
    c.runner.steps.push_back([&](QWidget* w) {
        const auto items = itemButtons(w);
        QCOMPARE(items.size(), 1);
        items.at(0)->click();
        child<QToolButton>(static_cast<TForm1*>(w), "SpeedButton1")->click();
    });
    day->click();
    QCOMPARE(c.t.prompter.shown.size(), size_t(1));
    QVERIFY(!c.t.prompter.shown[0].question);
    QVERIFY2(c.t.prompter.shown[0].text.contains("pribeh.txt") &&
                 c.t.prompter.shown[0].text.contains("FIFO"),
             qPrintable(c.t.prompter.shown[0].text));
}

void TestUiFaults::hugeContentListLine_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("tail");
    QTest::newRow("item line") << QByteArray("[") << QByteArray("] pribeh.txt");
    QTest::newRow("description line") << QByteArray("<") << QByteArray(">");
    QTest::newRow("link line") << QByteArray("//https://") << QByteArray(".sk");
    QTest::newRow("text line") << QByteArray("") << QByteArray("");
}

void TestUiFaults::hugeContentListLine() {
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, tail);
    Course c;
    const QString list = c.prog + "01._deň/Obsah.txt";
    QByteArray bytes = "<Prvý deň.>\r\n" + head + QByteArray(1024 * 1024, 'a') + tail +
                       "\r\n[Príbeh] pribeh.txt\r\n";
    writeBytes(list, bytes);
    c.start();
    const int buttons = c.itemsOfDayOne();
    // The list is refused with the line's number, instead of stalling on its layout.
    QCOMPARE(c.t.prompter.shown.size(), size_t(1));
    QVERIFY2(c.t.prompter.shown[0].text.contains("01._deň/Obsah.txt") &&
                 c.t.prompter.shown[0].text.contains("riadok 2 "),
             qPrintable(c.t.prompter.shown[0].text.left(500)));
    QCOMPARE(buttons, 0);
    QCOMPARE(c.t.st.levels.current(), 1);
    QCOMPARE(readBytes(list), bytes);
}

QTEST_MAIN(TestUiFaults)
#include "tst_ui_faults.moc"
