// Launching lesson items without windows: item lines, kinds, folders, the
// password decision, what reaches the shell, the messages and their
// switches; the file utilities, real child processes and the teacher
// password store.
#include "app/app_state.h"
#include "content/fmx_utils.h"
#include "content/launcher.h"
#include "content/player.h"
#include "content/teacher_password.h"
#include "platform/errors.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace orbino;
using namespace orbino::test;

Q_DECLARE_METATYPE(orbino::ItemKind)
Q_DECLARE_METATYPE(orbino::Gate)

namespace {
void writeExecutable(const QString& path, const QByteArray& text) {
    writeBytes(path, text);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup |
                                    QFile::ExeOther);
}

// A stand-in for Wine on PATH: it records its working folder and arguments
// (one a line) in `log`, and fails like Wine does for "chyba.exe" and, where
// it has only its 64-bit part, for the 32-bit "starý.exe" (code 0 all the same).
QString fakeWine(const QString& folder, const QString& log) {
    QDir().mkpath(folder);
    writeExecutable(folder + "/wine",
                    "#!/bin/sh\n"
                    "printf '%s\\n' \"$PWD\" \"$@\" >> '" +
                        log.toUtf8() +
                        "'\n"
                        "case \"$1\" in *chyba.exe)\n"
                        "  head -c 300000 /dev/zero | tr '\\0' x >&2\n"
                        "  printf '\\n0024:err:module:import_dll chyba.dll not found\\n\\n' >&2\n"
                        "  exit 3;;\n"
                        "*starý.exe)\n"
                        "  echo '00e8:err:module:load_wow64_ntdll failed to load ntdll.dll' >&2;;\n"
                        "esac\n");
    return folder + "/wine";
}

// PATH for the length of a scope.
struct PathFor {
    QByteArray old = qgetenv("PATH");
    explicit PathFor(const QString& path) { qputenv("PATH", path.toLocal8Bit()); }
    ~PathFor() { qputenv("PATH", old); }
};

// A shell on a computer without Wine.
struct ShellWithoutWine : RecordingShell {
    bool windowsProgramWithoutWine(const QString& program) const override {
        return classifyFile(program) == FileKind::WindowsProgram;
    }
};

// A course with day folder "02._deň" (caption form "__2._deň").
struct Course {
    QTemporaryDir dir;
    QString prog;
    std::unique_ptr<TestState> t;
    explicit Course(const QStringList& config = {}) {
        prog = dir.path() + "/";
        writeCourseFile(prog + "CONFIG.TXT", QStringList{"Skúšobný kurz"} + config);
        QDir().mkpath(prog + "02._deň");
        QDir().mkpath(prog + "tmp");
        t = std::make_unique<TestState>(prog, prog + "tmp/");
        t->st.levels.restorePlace(1, "__2._deň", t->st.levels.listFile(1));
        t->st.levels.restorePlace(2, "02._deň", t->st.levels.listFile(2));
        t->st.levels.restore(2);
        t->st.playerFolder = dir.path();
    }
    AppState& st() { return t->st; }
    QString day() const { return prog + "02._deň/"; }
    LaunchOutcome launch(const QString& line, const QString& shown = "X",
                         const QString& hint = "X hint") {
        return launchItem(t->st, 2, parseItemLine(line), shown, hint);
    }
};
} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
    QString oldCwd;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        oldCwd = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(oldCwd); }

    void itemLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("reference");
        QTest::newRow("plain") << "[Príbeh] pribeh.txt" << true << "Príbeh"
                               << "pribeh.txt";
        QTest::newRow("blanks trimmed") << "[Úlohy]   ulohy.txt  " << true << "Úlohy"
                                        << "ulohy.txt";
        QTest::newRow("last ] separates") << "[A]b]c.txt" << true << "A]b"
                                          << "c.txt";
        QTest::newRow("arguments kept") << "[Hra] hra.exe /a  b" << true << "Hra"
                                        << "hra.exe /a  b";
        QTest::newRow("empty caption") << "[]skryte.txt" << true << ""
                                       << "skryte.txt";
        QTest::newRow("link line") << "//https://example.org/" << false << ""
                                   << "";
        QTest::newRow("no closing bracket") << "[Nič" << false << "Nič"
                                            << "";
        QTest::newRow("description") << "<Text>" << false << ""
                                     << "";
    }
    void itemLines() {
        QFETCH(QString, line);
        const ContentItem r = parseItemLine(line);
        QTEST(r.valid, "valid");
        QTEST(r.caption, "caption");
        QTEST(r.reference, "reference");
    }

    void kinds_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<ItemKind>("kind");
        QTest::newRow("txt") << "subory.txt" << ItemKind::LessonText;
        QTest::newRow("TXT") << "SUBORY.TXT" << ItemKind::LessonText;
        QTest::newRow("bmp") << "obr.Bmp" << ItemKind::Picture;
        QTest::newRow("scm") << "ukazka.scm" << ItemKind::Demonstration;
        QTest::newRow("scm with words") << "ukazka.scm dlhá ukážka" << ItemKind::Demonstration;
        QTest::newRow("rtf goes to the shell") << "text.rtf" << ItemKind::ProgramOrDocument;
        QTest::newRow("no extension") << "program" << ItemKind::ProgramOrDocument;
        QTest::newRow("first dot decides") << "a.txt.exe" << ItemKind::LessonText;
        QTest::newRow("txtx is still txt") << "a.txtx" << ItemKind::LessonText;
    }
    void kinds() {
        QFETCH(QString, reference);
        QTEST(itemKind(reference), "kind");
    }

    void gates_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("teacher");
        QTest::addColumn<bool>("solution");
        QTest::addColumn<Gate>("gate");
        QTest::newRow("teacher, not signed in") << "Vyučujúci" << false << false << Gate::Teacher;
        QTest::newRow("teacher, signed in") << "Vyučujúci" << true << false << Gate::None;
        QTest::newRow("teacher caption must be exact")
            << "Vyučujúci 2" << false << false << Gate::None;
        QTest::newRow("solution") << "Ukážka riešenia úlohy č. 3" << false << false
                                  << Gate::DayPassword;
        QTest::newRow("solution, password given")
            << "Ukážka riešenia úlohy" << false << true << Gate::None;
        QTest::newRow("shortened caption is not the item's")
            << "Ukážka rieše." << false << false << Gate::None;
        QTest::newRow("other") << "Príbeh" << false << false << Gate::None;
    }
    void gates() {
        QFETCH(QString, caption);
        QFETCH(bool, teacher);
        QFETCH(bool, solution);
        QTEST(gateFor(caption, teacher, solution), "gate");
    }

    void folders_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("demoWithoutArgs");
        QTest::newRow("two underscores") << "__2._deň"
                                         << "02._deň"
                                         << "02._deň";
        QTest::newRow("one underscore") << "_5_Word"
                                        << "_5_Word"
                                        << "05_Word";
        QTest::newRow("none") << "12._deň"
                              << "12._deň"
                              << "12._deň";
    }
    void folders() {
        QFETCH(QString, caption);
        QTEST(itemFolder(caption, false), "plain");
        QTEST(itemFolder(caption, true), "demoWithoutArgs");
    }

    // Demonstrations: which messages appear under which switch, and what the
    // player receives.
    void demonstrations_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("player");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("started");
        const QStringList on, off{"0*SCPLAYER*Chýba prehrávač", "0*SCM*Chýba ukážka"};
        QTest::newRow("no args, plays") << "mys.scm" << on << true << true << QStringList{} << true;
        QTest::newRow("args, plays")
            << "mys.scm o myši" << on << true << true << QStringList{} << true;
        QTest::newRow("no args, no player, switch on")
            << "mys.scm" << on << false << true << QStringList{"Neexistuje SCPLAYER"} << false;
        QTest::newRow("no args, no player, switch off: still shown")
            << "mys.scm" << off << false << true << QStringList{"Chýba prehrávač"} << false;
        QTest::newRow("args, no player, switch on")
            << "mys.scm x" << on << false << true << QStringList{"Neexistuje SCPLAYER"} << false;
        QTest::newRow("args, no player, switch off")
            << "mys.scm x" << off << false << true << QStringList{} << false;
        QTest::newRow("no recording, switch on")
            << "chyba.scm" << on << true << false << QStringList{"Neexistuje ukážka .scm"} << false;
        QTest::newRow("no recording, switch off")
            << "chyba.scm" << off << true << false << QStringList{} << false;
        QTest::newRow("args, no recording, switch off")
            << "chyba.scm x" << off << true << false << QStringList{} << false;
    }
    void demonstrations() {
        QFETCH(QString, reference);
        QFETCH(QStringList, config);
        QFETCH(bool, player);
        QFETCH(bool, recording);
        Course c(config);
        if (player)
            writeExecutable(c.prog + "scplayer.exe", "#!/bin/sh\nexit 0\n");
        if (recording)
            writeBytes(c.day() + "mys.scm", "ukážka\n");
        QCOMPARE(c.launch("[Ukážka] " + reference).kind, LaunchOutcome::Done);
        QTEST(c.t->prompter.texts(), "messages");
        QFETCH(bool, started);
        QCOMPARE(c.t->shell.calls.size(), size_t(started ? 1 : 0));
        if (started) {
            const auto& call = c.t->shell.calls[0];
            QCOMPARE(call.kind, QString("start"));
            QCOMPARE(call.program, c.prog + "scplayer.exe");
            // Only the file before the first blank is played.
            QCOMPARE(call.args, (QStringList{c.day() + "mys.scm", "/s/c"}));
        }
    }

    void demonstrationWithoutArgsUsesSingleUnderscoreRule() {
        Course c;
        c.st().levels.restorePlace(1, "_5_Word", c.st().levels.listFile(1));
        writeExecutable(c.prog + "SCPLAYER.EXE", "#!/bin/sh\n");
        writeBytes(c.prog + "05_Word/ukazka.scm", "x");
        writeBytes(c.prog + "_5_Word/ukazka.scm", "x");
        c.launch("[U] ukazka.scm");
        c.launch("[U] ukazka.scm s popisom");
        QCOMPARE(c.t->shell.calls.size(), size_t(2));
        QCOMPARE(c.t->shell.calls[0].args.at(0), c.prog + "05_Word/ukazka.scm");
        QCOMPARE(c.t->shell.calls[1].args.at(0), c.prog + "_5_Word/ukazka.scm");
    }

    void recordingPathWithBlanksStaysOneArgument() {
        Course c;
        c.st().levels.restorePlace(1, "__3. deň s medzerou", c.st().levels.listFile(1));
        writeExecutable(c.prog + "SCPLAYER.EXE", "#!/bin/sh\n");
        writeBytes(c.prog + "03. deň s medzerou/prvá ukážka.scm", "x");
        c.launch("[U] prvá ukážka.scm");
        // The reference holds a blank, so only "prvá" is the file name: missing.
        QCOMPARE(c.t->shell.calls.size(), size_t(0));
        writeBytes(c.prog + "03. deň s medzerou/prva.scm", "x");
        c.launch("[U] prva.scm");
        QCOMPARE(c.t->shell.calls.size(), size_t(1));
        QCOMPARE(c.t->shell.calls[0].args,
                 (QStringList{c.prog + "03. deň s medzerou/prva.scm", "/s/c"}));
    }

    void playerInConfiguredFolder() {
        Course c;
        QDir().mkpath(c.prog + "prehravac");
        writeExecutable(c.prog + "prehravac/ScPlayer.exe", "#!/bin/sh\n");
        writeBytes(c.day() + "a.scm", "x");
        c.st().playerFolder = c.prog + "prehravac";
        c.launch("[U] a.scm");
        QCOMPARE(c.t->shell.calls.size(), size_t(1));
        QCOMPARE(c.t->shell.calls[0].program, c.prog + "prehravac/ScPlayer.exe");
    }

    void programsAndDocuments() {
        Course c;
        writeExecutable(c.day() + "hra.sh", "#!/bin/sh\nexit 0\n");
        writeBytes(c.day() + "Text.RTF", "{\\rtf1 x}");
        writeExecutable(c.day() + "Moja hra.sh", "#!/bin/sh\n");

        c.launch("[Hra] hra.sh /rychlo \"dve slova\"");
        c.launch("[Text] text.rtf");
        c.launch("[Moja] Moja hra.sh");
        const auto& calls = c.t->shell.calls;
        QCOMPARE(calls.size(), size_t(3));
        QCOMPARE(calls[0].kind, QString("start"));
        QCOMPARE(calls[0].program, c.day() + "hra.sh");
        QCOMPARE(calls[0].args, (QStringList{"/rychlo", "dve slova"}));
        QCOMPARE(calls[1].kind, QString("open"));
        QCOMPARE(calls[1].program, c.day() + "Text.RTF");
        QCOMPARE(calls[2].program, c.day() + "Moja hra.sh");
        QVERIFY(calls[2].args.isEmpty());
        QVERIFY(c.t->prompter.shown.empty());
    }

    void programFoundInCurrentFolder() {
        Course c;
        QTemporaryDir cwd;
        writeExecutable(cwd.path() + "/nastroj", "#!/bin/sh\n");
        QDir::setCurrent(cwd.path());
        c.launch("[Nástroj] nastroj -a b");
        QCOMPARE(c.t->shell.calls.size(), size_t(1));
        QCOMPARE(c.t->shell.calls[0].program, QString("nastroj"));
        QCOMPARE(c.t->shell.calls[0].args, (QStringList{"-a", "b"}));
    }

    void missingProgram_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("switch on")
            << QStringList{} << QStringList{"DAY/chyba.exe /x - súbor neexistuje"};
        QTest::newRow("switch off") << QStringList{"0*NONFILE*- nie je"} << QStringList{};
        QTest::newRow("other key off does not matter")
            << QStringList{"0*BMP*nie"} << QStringList{"DAY/chyba.exe /x - súbor neexistuje"};
    }
    void missingProgram() {
        QFETCH(QStringList, config);
        Course c(config);
        c.launch("[Chyba] chyba.exe /x");
        QFETCH(QStringList, messages);
        QStringList expected = messages;
        expected.replaceInStrings("DAY/", c.day());
        QCOMPARE(c.t->prompter.texts(), expected);
        QVERIFY(c.t->shell.calls.empty());
    }

    void emptyReferenceDoesNotOpenTheFolder() {
        Course c;
        c.launch("[Nič]");
        QVERIFY(c.t->shell.calls.empty());
        QCOMPARE(c.t->prompter.shown.size(), size_t(1));
    }

    void documentThatFailsToOpen() {
        Course c;
        writeBytes(c.day() + "navod.pdf", "%PDF");
        c.t->shell.openFailure = "no handler";
        c.launch("[Návod] navod.pdf");
        // The desktop's reason on a line of its own.
        QCOMPARE(c.t->prompter.texts(),
                 QStringList{c.day() + "navod.pdf - Program sa nedá spustiť\nno handler"});
    }

    void pictures_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("switch on") << QStringList{} << QStringList{"Neexistuje súbor obrázku"};
        QTest::newRow("switch off") << QStringList{"0*BMP*Bez obrázka"} << QStringList{};
    }
    void pictures() {
        QFETCH(QStringList, config);
        Course c(config);
        writeBytes(c.day() + "OBR.BMP", "BM");
        const LaunchOutcome ok = c.launch("[Obrázok] obr.bmp");
        QCOMPARE(ok.kind, LaunchOutcome::ShowPicture);
        QCOMPARE(ok.path, c.day() + "OBR.BMP");
        QVERIFY(c.t->prompter.shown.empty());
        QCOMPARE(c.launch("[Obrázok] chyba.bmp").kind, LaunchOutcome::Done);
        QTEST(c.t->prompter.texts(), "messages");
    }

    void lessonTexts() {
        Course c;
        writeCourseFile(c.day() + "SUBORY.TXT", {"[A] a.txt"});
        const LaunchOutcome out = c.launch("[Súbory] subory.txt", "Súbory", "Súbory a priečinky");
        QCOMPARE(out.kind, LaunchOutcome::OpenSubLevel);
        QCOMPARE(c.st().levels.folder(3), QString("02._deň"));
        QCOMPARE(c.st().levels.listFile(3), QString("subory.txt"));
        QCOMPARE(c.st().searchTitle, QString("Súbory"));
        QCOMPARE(c.st().pressedItemTitle, QString("Súbory a priečinky"));
        QVERIFY(c.t->prompter.shown.empty());
    }

    void missingLessonText_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("shown");
        const QString q = "Neexistuje textový súbor nove.txt\nChcete ho teraz vytvoriť ?";
        QTest::newRow("yes") << QStringList{} << true << int(LaunchOutcome::OpenEditor)
                             << QStringList{q};
        QTest::newRow("no") << QStringList{} << false << int(LaunchOutcome::Done) << QStringList{q};
        QTest::newRow("switch off")
            << QStringList{"0*TEXT1*x"} << true << int(LaunchOutcome::Done) << QStringList{};
    }
    void missingLessonText() {
        QFETCH(QStringList, config);
        Course c(config);
        QFETCH(bool, answer);
        c.t->prompter.answers.push_back(answer);
        const LaunchOutcome out = c.launch("[Nové] nove.txt");
        QTEST(int(out.kind), "kind");
        QTEST(c.t->prompter.texts(), "shown");
        QCOMPARE(c.st().levels.listFile(3), QString("nove.txt"));
    }

    void missingLessonTextInReadOnlyCourse() {
        // A course folder nobody can write into gets a warning instead of
        // the offer to create the text.
        Course c;
        QVERIFY(QFile::setPermissions(c.prog, QFile::ReadOwner | QFile::ExeOwner));
        ModeBitsBind bind;
        if (!bind.ok())
            QSKIP("mode bits cannot be made to bind here");
        c.launch("[Nové] nove.txt");
        QFile::setPermissions(c.prog, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(c.t->prompter.texts(), QStringList{"Neexistuje textový súbor nove.txt"});
        QVERIFY(!c.t->prompter.shown[0].question);
    }

    // --- the utility unit ---

    void copy_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("one byte") << 1;
        QTest::newRow("one short of a block") << 8191;
        QTest::newRow("one block") << 8192;
        QTest::newRow("two blocks") << 16384;
        QTest::newRow("blocks and a rest") << 20000;
    }
    void copy() {
        QFETCH(int, size);
        QTemporaryDir d;
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = char((i * 7 + i / 8192) & 0xff);
        writeBytes(d.path() + "/zdroj.bin", data);
        writeBytes(d.path() + "/ciel.bin", QByteArray(30000, 'x')); // longer than any source
        CopyFileTo(d.path() + "/zdroj.bin", d.path() + "/ciel.bin");
        QCOMPARE(readBytes(d.path() + "/ciel.bin"), data);
        QDir().mkpath(d.path() + "/Priečinok");
        CopyFileTo(d.path() + "/ZDROJ.BIN", d.path() + "\\priečinok");
        QCOMPARE(readBytes(d.path() + "/Priečinok/zdroj.bin"), data);
    }

    void copyOntoItselfKeepsTheFile() {
        QTemporaryDir d;
        writeBytes(d.path() + "/a.txt", "obsah poznámky");
        CopyFileTo(d.path() + "/a.txt", d.path() + "/A.TXT");
        QCOMPARE(readBytes(d.path() + "/a.txt"), QByteArray("obsah poznámky"));
    }

    void copyFailures() {
        QTemporaryDir d;
        try {
            CopyFileTo(d.path() + "/chyba.txt", d.path() + "/b.txt");
            QFAIL("no error");
        } catch (const FileError& e) {
            QCOMPARE(e.reason(), "Cannot open file " + d.path() + "/chyba.txt");
        }
        QVERIFY(!QFile::exists(d.path() + "/b.txt"));
        writeBytes(d.path() + "/a.txt", "x");
        try {
            CopyFileTo(d.path() + "/a.txt", d.path() + "/nie/je/b.txt");
            QFAIL("no error");
        } catch (const FileError& e) {
            QCOMPARE(e.reason(), "Cannot create file " + d.path() + "/nie/je/b.txt");
        }
        // A folder is not a file to copy from.
        QVERIFY_THROWS_EXCEPTION(FileError, CopyFileTo(d.path(), d.path() + "/c.txt"));
    }

    void attributes() {
        QTemporaryDir d;
        writeBytes(d.path() + "/a.txt", "x");
        writeBytes(d.path() + "/.skryty", "x");
        QVERIFY(!HasAttributes(d.path() + "/chyba", 0));
        QVERIFY(!HasAttributes(d.path() + "/chyba", faDirectory));
        QVERIFY(HasAttributes(d.path(), faDirectory));
        QVERIFY(HasAttributes(d.path() + "/A.TXT", faArchive));
        QVERIFY(!HasAttributes(d.path() + "/a.txt", faDirectory));
        QVERIFY(!HasAttributes(d.path() + "/a.txt", faDirectory | faArchive));
        QVERIFY(HasAttributes(d.path() + "/.skryty", faHidden | faArchive));
    }

    void fileKinds() {
        QTemporaryDir d;
        writeBytes(d.path() + "/win.exe", "MZ\x90\0");
        writeExecutable(d.path() + "/winx.exe", "MZ\x90\0");
        writeExecutable(d.path() + "/script.exe", "#!/bin/sh\n");
        writeBytes(d.path() + "/script.sh", "#!/bin/sh\n");
        writeExecutable(d.path() + "/text.txt", "ahoj");
        QCOMPARE(classifyFile(d.path() + "/win.exe"), FileKind::WindowsProgram);
        QCOMPARE(classifyFile(d.path() + "/winx.exe"), FileKind::WindowsProgram);
        QCOMPARE(classifyFile(d.path() + "/SCRIPT.EXE"), FileKind::NativeProgram);
        QCOMPARE(classifyFile(d.path() + "/script.sh"), FileKind::Document);
        // A disc mounted with the run bit everywhere: a text is still a document.
        QCOMPARE(classifyFile(d.path() + "/text.txt"), FileKind::Document);
    }

    void windowsPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("windows");
        QTest::newRow("absolute") << "/home/ucitel/kurz/mys.scm"
                                  << "Z:\\home\\ucitel\\kurz\\mys.scm";
        QTest::newRow("blanks and letters of our own")
            << "/media/cd/Kurz 2/02._deň/prvá ukážka.scm"
            << "Z:\\media\\cd\\Kurz 2\\02._deň\\prvá ukážka.scm";
        QTest::newRow("relative, from the base") << "02._deň/mys.scm"
                                                 << "Z:\\kurz\\02._deň\\mys.scm";
        QTest::newRow("dots and doubled separators") << "/kurz//./a/../b/"
                                                     << "Z:\\kurz\\b\\";
        QTest::newRow("above the root stays at the root") << "/../../x"
                                                          << "Z:\\x";
        QTest::newRow("root") << "/"
                              << "Z:\\";
        QTest::newRow("already Windows") << "C:\\KURZ\\mys.scm"
                                         << "C:\\KURZ\\mys.scm";
        QTest::newRow("drive with slashes") << "d:/kurz/mys.scm"
                                            << "d:\\kurz\\mys.scm";
        QTest::newRow("network share") << "\\\\server\\kurz"
                                       << "\\\\server\\kurz";
    }
    void windowsPaths() {
        QFETCH(QString, path);
        QTEST(toWindowsPath(path, "/kurz"), "windows");
    }

    // Only paths of ours change form: an existing absolute path. Switches,
    // words, relative names and paths that name nothing stay as given.
    void windowsArgumentRule() {
        QTemporaryDir d;
        const QString rec = d.path() + "/Kurz 2/02._deň/prvá ukážka.scm";
        writeBytes(rec, "x");
        const QString win = toWindowsPath(d.path());
        QCOMPARE(windowsArguments({rec, "/s/c", "/x", "mys.scm", "C:\\a.txt", d.path() + "/Kurz 2",
                                   d.path() + "/chyba.scm", "-a"}),
                 (QStringList{win + "\\Kurz 2\\02._deň\\prvá ukážka.scm", "/s/c", "/x", "mys.scm",
                              "C:\\a.txt", win + "\\Kurz 2", d.path() + "/chyba.scm", "-a"}));
        QVERIFY(win.startsWith("Z:\\"));
    }

    // A Windows program goes to Wine with its path arguments in Windows form;
    // native programs keep Linux paths; without Wine nothing is started.
    void launchThroughWine() {
        QTemporaryDir d;
        const QString exe = d.path() + "/SCPLAYER.EXE";
        const QString sh = d.path() + "/hra.sh";
        const QString rec = d.path() + "/mys.scm";
        writeBytes(exe, "MZ\x90\0");
        writeExecutable(sh, "#!/bin/sh\n");
        writeBytes(rec, "x");
        const QString wine = fakeWine(d.path() + "/bin", d.path() + "/wine.log");
        ProcessShell shell;
        {
            PathFor path(d.path() + "/bin");
            const Launch l = launchFor(d.path() + "/scplayer.exe", {rec, "/s/c"});
            QCOMPARE(l.program, wine);
            QCOMPARE(l.args, (QStringList{exe, toWindowsPath(rec), "/s/c"}));
            QVERIFY(l.throughWine);
            const Launch n = launchFor(sh, {rec, "/s/c"});
            QCOMPARE(n.program, sh);
            QCOMPARE(n.args, (QStringList{rec, "/s/c"}));
            QVERIFY(!n.throughWine);
            QVERIFY(!shell.windowsProgramWithoutWine(exe));
        }
        PathFor empty(d.path() + "/prazdny");
        QCOMPARE(launchFor(exe, {rec}).program, QString());
        QVERIFY(shell.windowsProgramWithoutWine(exe));
        QVERIFY(!shell.windowsProgramWithoutWine(sh));
        QVERIFY(!shell.windowsProgramWithoutWine(d.path() + "/chyba.exe"));
        QVERIFY(!shell.startProgram(exe, {rec}, QString()));
    }

    // Without Wine a Windows program or player says what it is and what runs
    // it, under the switch of its own key; nothing is started.
    void windowsProgramsWithoutWine_data() {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<QStringList>("messages");
        const QString text =
            " - je program pre Windows. Na tomto počítači ho spustí balík wine, ktorý "
            "nie je nainštalovaný.";
        QTest::newRow("switch on")
            << QStringList{} << QStringList{"DAY/hra.exe" + text, "PROG/SCPLAYER.EXE" + text};
        QTest::newRow("own text") << QStringList{"1*NO WINE*- potrebuje wine"}
                                  << QStringList{"DAY/hra.exe - potrebuje wine",
                                                 "PROG/SCPLAYER.EXE - potrebuje wine"};
        QTest::newRow("switch off") << QStringList{"0*NO WINE*-"} << QStringList{};
    }
    void windowsProgramsWithoutWine() {
        QFETCH(QStringList, config);
        Course c(config);
        ShellWithoutWine shell;
        c.st().shell = &shell;
        writeBytes(c.day() + "hra.exe", "MZ\x90\0");
        writeBytes(c.prog + "SCPLAYER.EXE", "MZ\x90\0");
        writeBytes(c.day() + "mys.scm", "x");
        writeExecutable(c.day() + "hra.sh", "#!/bin/sh\n");
        c.launch("[Hra] hra.exe /s/c");
        c.launch("[Ukážka] mys.scm");
        c.launch("[Linux] hra.sh");
        QFETCH(QStringList, messages);
        messages.replaceInStrings("DAY/", c.day());
        messages.replaceInStrings("PROG/", c.prog);
        QCOMPARE(c.t->prompter.texts(), messages);
        QCOMPARE(shell.calls.size(), size_t(1));
        QCOMPARE(shell.calls[0].program, c.day() + "hra.sh");
    }

    // Real processes through a stand-in Wine: the course folder stays the
    // working folder, a quick failure is reported with Wine's last error
    // line (however much Wine wrote before it), a good end is not.
    void wineFailureIsReported() {
        Course c;
        const QString log = c.prog + "wine.log";
        fakeWine(c.prog + "bin", log);
        PathFor path(c.prog + "bin:" + QString::fromLocal8Bit(qgetenv("PATH")));
        ProcessShell shell;
        c.st().shell = &shell;
        QDir::setCurrent(c.prog);
        writeBytes(c.day() + "chyba.exe", "MZ\x90\0");
        writeBytes(c.day() + "dobra.exe", "MZ\x90\0");
        c.launch("[Dobrá] dobra.exe /s/c");
        QTRY_VERIFY(readBytes(log).contains("/s/c"));
        c.launch("[Chyba] chyba.exe");
        QTRY_COMPARE(c.t->prompter.texts(),
                     QStringList{c.day() + "chyba.exe - Program sa nedá spustiť\n"
                                           "Wine skončil s kódom 3: 0024:err:module:import_dll "
                                           "chyba.dll not found"});
        writeBytes(c.day() + "starý.exe", "MZ\x90\0");
        c.launch("[Starý] starý.exe");
        QTRY_COMPARE(c.t->prompter.shown.size(), size_t(2));
        QCOMPARE(c.t->prompter.texts().at(1),
                 c.day() + "starý.exe - Program sa nedá spustiť\nJe to program pre 32-bitový "
                           "Windows: spustí ho Wine s balíkom wine32 (wine32:i386), ktorý nie "
                           "je nainštalovaný.");
        const QStringList lines = QString::fromUtf8(readBytes(log)).split('\n');
        QCOMPARE(lines.mid(0, 3),
                 (QStringList{QDir(c.prog).canonicalPath(), c.day() + "dobra.exe", "/s/c"}));
        QVERIFY(!c.t->prompter.shown[0].question);
    }

    void runAndWait_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("exit code") << "/bin/sh" << QStringList{"-c", "exit 3"} << 3;
        QTest::newRow("zero") << "/bin/sh" << QStringList{"-c", "exit 0"} << 0;
        QTest::newRow("killed") << "/bin/sh" << QStringList{"-c", "kill -9 $$"} << -1;
        QTest::newRow("missing path") << "/nie/je/program" << QStringList{} << -1;
        QTest::newRow("missing bare name") << "orbino-ziadny-taky-program" << QStringList{} << -1;
        QTest::newRow("bare name on PATH") << "sh" << QStringList{"-c", "exit 5"} << 5;
    }
    void runAndWait() {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        ProcessShell shell;
        QTEST(RunAndWait(shell, program, QString(), args), "code");
    }

    void runAndWaitKeepsArgumentsWhole() {
        QTemporaryDir d;
        const QString script = d.path() + "/môj skript.sh";
        writeExecutable(script, "#!/bin/sh\necho \"$#|$1|$2\" > \"$(pwd)/out.txt\"\n");
        ProcessShell shell;
        QCOMPARE(RunAndWait(shell, script, d.path(), {"a  b", "c"}), 0);
        QCOMPARE(readBytes(d.path() + "/out.txt"), QByteArray("2|a  b|c\n"));
    }

    void startProgramReportsFailure() {
        ProcessShell shell;
        ScriptedPrompter p;
        QVERIFY(!StartProgram(shell, &p, "/nie/je/hra", QString(), {}));
        QCOMPARE(p.texts(), QStringList{"The program /nie/je/hra was not executed"});
    }

    void findOnPath() {
        QVERIFY(FindOnPath("sh").endsWith("/sh"));
        QVERIFY(FindOnPath("sh").startsWith("/"));
        QCOMPARE(FindOnPath("orbino-ziadny-taky-program"), QString("orbino-ziadny-taky-program"));
    }

    // --- teacher password ---

    void pbkdf2Vectors_data() {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("c=1")
            << QByteArray("password") << QByteArray("salt") << 1 << 32
            << QByteArray("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
        QTest::newRow("c=2")
            << QByteArray("password") << QByteArray("salt") << 2 << 32
            << QByteArray("ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43");
        QTest::newRow("c=4096")
            << QByteArray("password") << QByteArray("salt") << 4096 << 32
            << QByteArray("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
        QTest::newRow("two blocks")
            << QByteArray("passwordPASSWORDpassword")
            << QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt") << 4096 << 40
            << QByteArray("348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c"
                          "7dac47e9");
    }
    void pbkdf2Vectors() {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        QFETCH(int, length);
        QTEST(pbkdf2Sha256(password, salt, iterations, length).toHex(), "hex");
    }

    void teacherPasswordStore() {
        QTemporaryDir d;
        const QString prog = d.path() + "/";
        // A fresh course: the documented default.
        QVERIFY(verifyTeacherPassword(prog, "  ucitel "));
        QVERIFY(!verifyTeacherPassword(prog, "Ucitel"));
        QVERIFY(!verifyTeacherPassword(prog, "   "));
        // A teacher's note in the file survives a change.
        writeCourseFile(prog + "heslo.txt", {"Poznámka učiteľa: heslo mení pani Nováková."});
        QVERIFY_THROWS_EXCEPTION(FileError, verifyTeacherPassword(prog, "ucitel"));
        setTeacherPassword(prog, "tajné1", 1000);
        const QStringList lines = readLines(prog + "heslo.txt");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString("Poznámka učiteľa: heslo mení pani Nováková."));
        QVERIFY(lines[1].startsWith("pbkdf2-sha256$1000$"));
        QVERIFY(!lines[1].contains("tajné1"));
        QVERIFY(readBytes(prog + "heslo.txt").endsWith("\r\n"));
        QVERIFY(verifyTeacherPassword(prog, "tajné1"));
        QVERIFY(!verifyTeacherPassword(prog, "ucitel"));
        QVERIFY(!verifyTeacherPassword(prog, "tajné"));
        // Changing again replaces the line, with a new salt.
        setTeacherPassword(prog, "druhe", 1000);
        const QStringList again = readLines(prog + "heslo.txt");
        QCOMPARE(again.size(), 2);
        QVERIFY(again[1] != lines[1]);
        QVERIFY(verifyTeacherPassword(prog, "druhe"));
        QVERIFY(!verifyTeacherPassword(prog, "tajné1"));
    }

    void malformedStore_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("no hash line") << "heslo: ucitel";
        QTest::newRow("bad base64") << "pbkdf2-sha256$1000$!!!$!!!";
        QTest::newRow("short hash") << "pbkdf2-sha256$1000$c2FsdA==$c2FsdA==";
        QTest::newRow("no count") << "pbkdf2-sha256$$c2FsdA==$" +
                                         QString(QByteArray(32, 'a').toBase64());
        QTest::newRow("zero count")
            << "pbkdf2-sha256$0$c2FsdA==$" + QString(QByteArray(32, 'a').toBase64());
    }
    void malformedStore() {
        QTemporaryDir d;
        QFETCH(QString, line);
        writeCourseFile(d.path() + "/HESLO.TXT", {line});
        QVERIFY_THROWS_EXCEPTION(FileError, verifyTeacherPassword(d.path(), "ucitel"));
    }

    void unacceptablePasswords_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("leading blank") << " abc";
        QTest::newRow("nine characters") << "123456789";
    }
    void unacceptablePasswords() {
        QTemporaryDir d;
        QFETCH(QString, password);
        QVERIFY(!teacherPasswordProblem(password).isEmpty());
        QVERIFY_THROWS_EXCEPTION(FileError, setTeacherPassword(d.path(), password, 10));
        QVERIFY(!QFile::exists(d.path() + "/HESLO.TXT"));
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
