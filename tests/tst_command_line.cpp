// The program's command line: options, the second copy's positional
// parameters, and what the real program prints and returns.
#include "app/app_state.h"
#include "app/command_line.h"
#include "testsupport.h"
#include "tree/lesson_tree.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

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
                                << "COURSE FOLDER";
        QTest::newRow("-h") << QStringList{"-h"} << Action::Help << "" << QStringList{}
                            << "--course=DIR";
        QTest::newRow("help wins over a list") << QStringList{"--help", "Obsah.txt"} << Action::Help
                                               << "" << QStringList{"Obsah.txt"} << "Usage: orbino";
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
                                      << QStringList{} << "Unknown option 'bogus'";
        QTest::newRow("unknown short")
            << QStringList{"-x"} << Action::Error << "" << QStringList{} << "Unknown option 'x'";
        QTest::newRow("unknown before a list")
            << QStringList{"--helpme", "Obsah.txt"} << Action::Error << "" << QStringList{}
            << "Try 'orbino --help'";
        QTest::newRow("--course without a folder")
            << QStringList{"--course"} << Action::Error << "" << QStringList{} << "--course";
        QTest::newRow("--course with an empty folder")
            << QStringList{"--course="} << Action::Error << "" << QStringList{}
            << "--course needs a folder";
        QTest::newRow("check and password")
            << QStringList{"--check", "--set-teacher-password"} << Action::Error << ""
            << QStringList{} << "cannot be used together";
        QTest::newRow("password with a word")
            << QStringList{"--set-teacher-password", "x"} << Action::Error << "" << QStringList{}
            << "takes no arguments";
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
        for (const QString& name : QStringList{"--course=DIR", "--check", "--set-teacher-password",
                                               "-h, --help", "--version"}) {
            const QStringList lines = help.split('\n').filter(
                QRegularExpression("^  +" + QRegularExpression::escape(name) + " "));
            QCOMPARE(lines.size(), 1);
        }
        for (const QString& line : help.split('\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));
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
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: orbino"
                                << "";
        QTest::newRow("--version")
            << QStringList{"--version"} << 0 << "orbino " + programVersion() << "";
        QTest::newRow("unknown option") << QStringList{"--ucitel"} << 2 << ""
                                        << "orbino: Unknown option 'ucitel'.";
        QTest::newRow("unknown after --course")
            << QStringList{"--course", "@SAMPLE@", "-q"} << 2 << ""
            << "Unknown option 'q'";
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
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
