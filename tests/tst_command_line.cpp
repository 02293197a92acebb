// The program's command line: options, the second copy's positional
// parameters, and what the real program prints and returns.
#include "app/app_state.h"
#include "app/command_line.h"
#include "testsupport.h"
#include "tree/lesson_tree.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace orbino;
using namespace orbino::test;
using Action = CommandLine::Action;

Q_DECLARE_METATYPE(orbino::CommandLine::Action)

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("course");
        QTest::addColumn<QStringList>("positional");
        QTest::addColumn<QString>("text"); // a part of the help, version or error text

        QTest::newRow("nothing") << QStringList{} << Action::Play << "" << QStringList{} << "";
        QTest::newRow("--help") << QStringList{"--help"} << Action::Help << "" << QStringList{}
                                << "PRIEČINOK KURZU";
        QTest::newRow("-h") << QStringList{"-h"} << Action::Help << "" << QStringList{}
                            << "--course=PRIEČINOK";
        QTest::newRow("help wins over a list")
            << QStringList{"--help", "Obsah.txt"} << Action::Help << "" << QStringList{"Obsah.txt"}
            << "Použitie: orbino";
        QTest::newRow("--version") << QStringList{"--version"} << Action::Version << ""
                                   << QStringList{} << "orbino " + programVersion() + "\n";
        QTest::newRow("--course DIR") << QStringList{"--course", "/k/Môj kurz"} << Action::Play
                                      << "/k/Môj kurz" << QStringList{} << "";
        QTest::newRow("--course=DIR with a list")
            << QStringList{"--course=/k", "/k/1. deň/Obsah.txt", "2"} << Action::Play << "/k"
            << QStringList{"/k/1. deň/Obsah.txt", "2"} << "";
        QTest::newRow("--check") << QStringList{"--check"} << Action::Check << "" << QStringList{}
                                 << "";
        QTest::newRow("--check LIST")
            << QStringList{"--check", "01._deň/OBSAH.TXT"} << Action::Check << ""
            << QStringList{"01._deň/OBSAH.TXT"} << "";
        QTest::newRow("--course DIR --check LIST")
            << QStringList{"--course", "/k", "--check", "Obsah.txt"} << Action::Check << "/k"
            << QStringList{"Obsah.txt"} << "";
        QTest::newRow("--set-teacher-password")
            << QStringList{"--set-teacher-password"} << Action::SetTeacherPassword << ""
            << QStringList{} << "";
        // Unknown options are errors, never a content list.
        QTest::newRow("unknown long") << QStringList{"--bogus"} << Action::Error << ""
                                      << QStringList{} << "neznáma voľba „bogus“";
        QTest::newRow("unknown short")
            << QStringList{"-x"} << Action::Error << "" << QStringList{} << "neznáma voľba „x“";
        QTest::newRow("unknown before a list")
            << QStringList{"--helpme", "Obsah.txt"} << Action::Error << "" << QStringList{}
            << "Viac povie „orbino --help“";
        QTest::newRow("--course without a folder")
            << QStringList{"--course"} << Action::Error << "" << QStringList{}
            << "za voľbou „--course“ chýba hodnota";
        QTest::newRow("--course with an empty folder")
            << QStringList{"--course="} << Action::Error << "" << QStringList{}
            << "za --course chýba priečinok kurzu";
        QTest::newRow("check and password")
            << QStringList{"--check", "--set-teacher-password"} << Action::Error << ""
            << QStringList{} << "sa nedajú použiť spolu";
        QTest::newRow("password with a word")
            << QStringList{"--set-teacher-password", "x"} << Action::Error << "" << QStringList{}
            << "neberie žiadne argumenty";
        // The second copy: after the content list everything is positional,
        // title words beginning with "-" included.
        QTest::newRow("second copy") << QStringList{"/k/01._deň/L3.TXT",
                                                    "7",
                                                    "1.",
                                                    "deň",
                                                    "-",
                                                    "Úroveň",
                                                    "--help",
                                                    "-x",
                                                    "--check"}
                                     << Action::Play << "" << QStringList{"/k/01._deň/L3.TXT",
                                                                          "7",
                                                                          "1.",
                                                                          "deň",
                                                                          "-",
                                                                          "Úroveň",
                                                                          "--help",
                                                                          "-x",
                                                                          "--check"}
                                     << "";
        QTest::newRow("after --") << QStringList{"--", "--divny.txt", "0", "-slovo"} << Action::Play
                                  << "" << QStringList{"--divny.txt", "0", "-slovo"} << "";
        QTest::newRow("option then --") << QStringList{"--course", "/k", "--", "-zoznam.txt"}
                                        << Action::Play << "/k" << QStringList{"-zoznam.txt"} << "";
        QTest::newRow("a lone dash is positional")
            << QStringList{"-", "0"} << Action::Play << "" << QStringList{"-", "0"} << "";
        // Qt's window options are left to the application object.
        QTest::newRow("Qt's -platform") << QStringList{"-platform", "offscreen", "/k/L.TXT", "0"}
                                        << Action::Play << "" << QStringList{"/k/L.TXT", "0"} << "";
        QTest::newRow("Qt's -style=") << QStringList{"-style=fusion", "-reverse"} << Action::Play
                                      << "" << QStringList{} << "";
    }
    void parse() {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, course);
        QFETCH(QStringList, positional);
        QFETCH(QString, text);
        const CommandLine c = parseCommandLine(QStringList{"/usr/bin/orbino"} + args);
        QCOMPARE(c.action, action);
        QCOMPARE(c.course, course);
        if (action != Action::Error)
            QCOMPARE(c.positional, positional);
        QVERIFY2(c.text.contains(text), qPrintable(c.text));
        if (action == Action::Error)
            QVERIFY(c.text.startsWith("orbino: "));
    }

    // --help lists every option on a line of its own, within 80 columns.
    void helpListsEveryOptionOnOneLine() {
        const QString help = parseCommandLine({"orbino", "--help"}).text;
        qsizetype count = 0;
        const OptionSpec* options = programOptions(&count);
        QVERIFY(count >= 9);
        for (const OptionSpec* o = options; o != options + count; ++o) {
            const QString name = optionSynopsis(*o);
            const QStringList lines = help.split('\n').filter(
                QRegularExpression("^  +" + QRegularExpression::escape(name) + " "));
            QCOMPARE(lines.size(), 1);
        }
        for (const QString& line : help.split('\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    // The manual page is made from the same table: every option, with its
    // value, stands in it as roff writes it, and in --help; nothing of the
    // template is left unfilled.
    void manualPageListsEveryOption() {
        QFile f(ORBINO_MANUAL);
        QVERIFY2(f.open(QIODevice::ReadOnly), ORBINO_MANUAL);
        const QString page = QString::fromUtf8(f.readAll());
        const QString help = parseCommandLine({"orbino", "--help"}).text;
        QVERIFY(!page.contains("@OPTIONS@"));
        qsizetype count = 0;
        const OptionSpec* options = programOptions(&count);
        for (const OptionSpec* o = options; o != options + count; ++o) {
            const QString name = QString::fromLatin1(o->names).section(',', -1);
            QVERIFY2(page.contains("\\fB\\-\\-" + QString(name).replace("-", "\\-") + "\\fR"),
                     qPrintable(name));
            QVERIFY2(help.contains("--" + name), qPrintable(name));
            QVERIFY2(page.contains(QString::fromUtf8(o->manual).left(20).replace("-", "\\-")),
                     qPrintable(name));
        }
        for (const char* wanted : {"search-text", "export-work", "class-report", "csv"})
            QVERIFY(page.contains(QString("\\-\\-") + QString(wanted).replace("-", "\\-")));
        // No line of the page begins with a stray roff request.
        for (const QString& line : page.split('\n'))
            QVERIFY2(!line.startsWith("'"), qPrintable(line));
    }

    // What the tree window hands to the second copy comes back unchanged, and
    // the receiver reads the same list, item and title from it.
    void secondCopyRoundTrip() {
        const QString list = "/kurz s medzerou/01._deň/Ďalší.TXT";
        const QString title = "1. deň - -Úvod - --nápoveda";
        const QStringList args = secondCopyArgs(list, 4, title);
        const CommandLine c = parseCommandLine(QStringList{"orbino"} + args);
        QCOMPARE(c.action, Action::Play);
        QCOMPARE(c.positional, args);
        AppState st;
        ScriptedPrompter prompter;
        st.prompter = &prompter;
        readCommandLine(st, c.positional);
        QCOMPARE(st.openedContentFile, list);
        QCOMPARE(st.selectedItem, 4);
        QCOMPARE(st.searchTitle, " " + title);
        QVERIFY(prompter.shown.empty());
    }

    // The real program, without a display: what it prints and returns.
    void program_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Použitie: orbino"
                                << "";
        QTest::newRow("--version")
            << QStringList{"--version"} << 0 << "orbino " + programVersion() << "";
        QTest::newRow("unknown option") << QStringList{"--ucitel"} << 2 << ""
                                        << "orbino: neznáma voľba „ucitel“";
        QTest::newRow("unknown after --course")
            << QStringList{"--course", "@SAMPLE@", "-q"} << 2 << ""
            << "neznáma voľba „q“";
        QTest::newRow("--course with --check")
            << QStringList{"--course", "@SAMPLE@", "--check"} << 0 << ""
            << "";
        QTest::newRow("--course not a course with --check")
            << QStringList{"--course", "@EMPTY@", "--check"} << 2 << ""
            << "nie je kurz";
        QTest::newRow("--course missing with --check")
            << QStringList{"--course", "@EMPTY@/nie je", "--check"} << 2 << ""
            << "neexistuje";
    }
    void program() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        for (QString& a : args)
            a.replace("@SAMPLE@", ORBINO_EXAMPLES "/course").replace("@EMPTY@", empty.path());
        QProcess p;
        p.setWorkingDirectory(empty.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.start(ORBINO_BINARY, args);
        QVERIFY(p.waitForFinished(60000));
        const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == exitCode, qPrintable(stdErr));
        QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
        QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
        if (exitCode == 2)
            QVERIFY(stdOut.isEmpty());
        // Nothing was written where it ran.
        QCOMPARE(
            QDir(empty.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{});
    }

    // Names the terminal tasks are given as they stand on disk: bytes that
    // are not UTF-8, a relative course with --search-text, a pipe where
    // CONFIG.TXT should be. Each ends with a message naming the file.
    void awkwardNamesOnTheTerminal() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString t = tmp.path() + "/";
        const QStringList config{"0*IP*x", "0*IP NONE*y", "*DEFAULT CONTENT*Obsah.txt"};
        writeCourseFile(t + "kurz/CONFIG.TXT", config);
        writeCourseFile(t + "kurz/01._den/Obsah.txt", {"[Klávesnica] klav.txt"});
        writeCourseFile(t + "kurz/01._den/klav.txt", {"Klávesnica má písmená."});
        // A folder whose name holds the byte E9 (é in Latin-1), with a course in it.
        const QByteArray raw = QFile::encodeName(t) + "kurz\xe9";
        QVERIFY(::mkdir(raw.constData(), 0755) == 0);
        QVERIFY(QDir().mkdir(t + "von"));
        QVERIFY(QFile::copy(t + "kurz/CONFIG.TXT", t + "CONFIG.TXT"));
        QVERIFY(::rename(QFile::encodeName(t + "CONFIG.TXT").constData(),
                         QByteArray(raw + "/CONFIG.TXT").constData()) == 0);
        QVERIFY(::mkfifo(QFile::encodeName(t + "von/CONFIG.TXT").constData(), 0644) == 0);

        // The shell spells the byte: QProcess cannot pass it.
        const auto run = [&](const QString& in, const QString& script, QString* err) {
            QProcess p;
            p.setWorkingDirectory(in);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
            env.insert("XDG_CACHE_HOME", t + "cache");
            env.insert("XDG_CONFIG_HOME", t + "config");
            env.insert("TEMP", t + "ucen");
            p.setProcessEnvironment(env);
            p.start("/bin/sh", {"-c", script, ORBINO_BINARY, t});
            if (!p.waitForFinished(30000)) {
                p.kill();
                p.waitForFinished();
                return -1;
            }
            *err = QString::fromUtf8(p.readAllStandardError());
            return p.exitCode();
        };
        QString err;
        QCOMPARE(run(t, R"sh(exec "$0" --course "${1}kurz$(printf '\351')" --check)sh", &err), 2);
        QVERIFY2(err.contains("kurz\\xE9") && !err.contains("neexistuje"), qPrintable(err));
        // Started inside that folder, it plays no other course in its place.
        QCOMPARE(run(t, R"sh(cd "${1}kurz$(printf '\351')" && exec "$0" --check)sh", &err), 2);
        QVERIFY2(err.contains("Pracovný priečinok") && err.contains("kurz\\xE9"), qPrintable(err));
        // A target it cannot spell is not written under another name.
        QCOMPARE(
            run(t, R"sh(exec "$0" --course kurz --export-work "${1}von/pr$(printf '\351').html")sh",
                &err),
            2);
        QVERIFY2(err.contains("pr\\xE9.html"), qPrintable(err));
        QCOMPARE(QDir(t + "von").entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::System),
                 QStringList{"CONFIG.TXT"});
        // The relative course folder is entered once, whichever side of the option it stands.
        QCOMPARE(run(t, R"sh(exec "$0" --search-text --course kurz klavesnica)sh", &err), 0);
        QCOMPARE(run(t, R"sh(exec "$0" --course kurz --search-text klavesnica)sh", &err), 0);
        QCOMPARE(run(t, R"sh(exec "$0" --search-text klavesnica --course kurz)sh", &err), 0);
        // A pipe is not a missing file, and nothing waits on it.
        QCOMPARE(run(t, R"sh(exec "$0" --course von --check)sh", &err), 2);
        QVERIFY2(err.contains("CONFIG.TXT") && err.contains("FIFO"), qPrintable(err));
        // Qt cannot spell the folder to remove it either.
        ::unlink(QByteArray(raw + "/CONFIG.TXT").constData());
        ::rmdir(raw.constData());
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
