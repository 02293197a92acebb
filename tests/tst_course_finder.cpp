// How the course to play is found: --course, the working directory, the
// course played last time, the chooser; real folders and a real settings file.
#include "app/course_finder.h"
#include "platform/dialogs.h"
#include "platform/folder_chooser.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <sys/stat.h>
#include <unistd.h>

using namespace orbino;
using namespace orbino::test;

namespace {

// Answers the chooser from a queue ("" = Cancel, also when the queue is empty).
class ScriptedChooser : public FolderChooser {
public:
    struct Call {
        QString title, start, sample;
    };
    std::vector<Call> calls;
    std::deque<QString> answers;
    QString chooseFolder(const QString& title, const QString& startFolder,
                         const QString& sampleCourse) override {
        calls.push_back({title, startFolder, sampleCourse});
        if (answers.empty())
            return {};
        const QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Every file and folder under `dir`, with sizes, to show nothing was written.
QStringList snapshot(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        out << it.filePath() + ":" + QString::number(it.fileInfo().size());
    }
    out.sort();
    return out;
}

} // namespace

class TestCourseFinder : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString root() const { return tmp.path(); }
    QString conf() const { return root() + "/config/orbino/orbino.conf"; }
    QString makeCourse(const QString& name, const QString& file = "CONFIG.TXT") {
        writeCourseFile(root() + "/" + name + "/" + file, {"*TITLE*Kurz"});
        return root() + "/" + name;
    }
    QString makeFolder(const QString& name) {
        QDir().mkpath(root() + "/" + name);
        return root() + "/" + name;
    }
    QString remembered() const {
        return QSettings(conf(), QSettings::IniFormat).value("course/last").toString();
    }
    void remember(const QString& dir) {
        QSettings s(conf(), QSettings::IniFormat);
        s.setValue("course/last", dir);
    }

private slots:
    void init() {
        QVERIFY(tmp.isValid());
        QDir(root()).removeRecursively();
        QDir().mkpath(root());
    }

    // What counts as a course: a CONFIG.TXT or a content list, in any case.
    void courseFolder_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("course");
        QTest::newRow("CONFIG.TXT") << "CONFIG.TXT" << true;
        QTest::newRow("config.txt") << "config.txt" << true;
        QTest::newRow("Obsah.txt") << "Obsah.txt" << true;
        QTest::newRow("OBSAH.TXT") << "OBSAH.TXT" << true;
        QTest::newRow("another list") << "ulohy.txt" << false;
        QTest::newRow("a folder named CONFIG.TXT") << "CONFIG.TXT/x" << false;
    }
    void courseFolder() {
        QFETCH(QString, file);
        QFETCH(bool, course);
        const QString dir = makeCourse("Môj kurz 1", file);
        QCOMPARE(isCourseFolder(dir), course);
        QCOMPARE(courseProblem(dir).isEmpty(), course);
        if (!course)
            QVERIFY(courseProblem(dir).contains("„" + dir + "“ nie je kurz"));
    }

    // The order of the search, one row per situation. Folders in the rows are
    // names under the temporary folder; "-" is none.
    void find_data() {
        QTest::addColumn<QString>("given"); // --course
        QTest::addColumn<QString>("cwd");
        QTest::addColumn<QString>("remembered"); // course/last before the start
        QTest::addColumn<QStringList>("chosen"); // the chooser's answers ("" = Cancel)
        QTest::addColumn<int>("outcome");        // FoundCourse::Outcome
        QTest::addColumn<QString>("folder");     // the course found
        QTest::addColumn<int>("chooserCalls");
        QTest::addColumn<int>("messages");
        QTest::addColumn<QString>("rememberedAfter");

        const int found = int(FoundCourse::Outcome::Found),
                  cancelled = int(FoundCourse::Outcome::Cancelled),
                  error = int(FoundCourse::Outcome::Error);
        QTest::newRow("working directory is a course")
            << "-"
            << "kurz A"
            << "kurz B" << QStringList{} << found << "kurz A" << 0 << 0 << "kurz A";
        QTest::newRow("--course wins over the working directory")
            << "kurz B"
            << "kurz A"
            << "-" << QStringList{} << found << "kurz B" << 0 << 0 << "kurz B";
        QTest::newRow("--course not a course")
            << "prázdny"
            << "kurz A"
            << "kurz B" << QStringList{} << error << "" << 0 << 0 << "kurz B";
        QTest::newRow("--course missing") << "nie je"
                                          << "-"
                                          << "-" << QStringList{} << error << "" << 0 << 0 << "-";
        QTest::newRow("remembered course")
            << "-"
            << "prázdny"
            << "kurz B" << QStringList{} << found << "kurz B" << 0 << 0 << "kurz B";
        QTest::newRow("remembered course gone, then cancel")
            << "-"
            << "prázdny"
            << "zmazaný" << QStringList{""} << cancelled << "" << 1 << 0 << "-";
        QTest::newRow("remembered course gone, then chosen")
            << "-"
            << "prázdny"
            << "zmazaný" << QStringList{"kurz A"} << found << "kurz A" << 1 << 0 << "kurz A";
        QTest::newRow("remembered folder no longer a course")
            << "-"
            << "prázdny"
            << "prázdny" << QStringList{""} << cancelled << "" << 1 << 0 << "-";
        QTest::newRow("nothing remembered, cancel")
            << "-"
            << "prázdny"
            << "-" << QStringList{""} << cancelled << "" << 1 << 0 << "-";
        QTest::newRow("not a course chosen, then a course")
            << "-"
            << "prázdny"
            << "-" << QStringList{"prázdny", "nie je", "kurz A"} << found << "kurz A" << 3 << 2
            << "kurz A";
        QTest::newRow("not a course chosen, then cancel")
            << "-"
            << "prázdny"
            << "-" << QStringList{"prázdny", ""} << cancelled << "" << 2 << 1 << "-";
    }
    void find() {
        QFETCH(QString, given);
        QFETCH(QString, cwd);
        QFETCH(QString, remembered);
        QFETCH(QStringList, chosen);
        QFETCH(int, outcome);
        QFETCH(QString, folder);
        QFETCH(int, chooserCalls);
        QFETCH(int, messages);
        QFETCH(QString, rememberedAfter);
        makeCourse("kurz A");
        makeCourse("kurz B", "obsah.TXT");
        makeFolder("prázdny");
        auto path = [&](const QString& name) {
            return name == "-" ? QString() : root() + "/" + name;
        };
        if (remembered != "-")
            remember(path(remembered));
        ScriptedChooser chooser;
        for (const QString& c : chosen)
            chooser.answers.push_back(c.isEmpty() ? QString() : path(c));
        ScriptedPrompter prompter;
        const QString sample = ORBINO_EXAMPLES "/course";
        const QStringList before = snapshot(root() + "/kurz A") + snapshot(root() + "/kurz B");

        const FoundCourse f = findCourse(path(given), path(cwd), conf(), sample, chooser, prompter);
        QCOMPARE(int(f.outcome), outcome);
        QCOMPARE(f.folder, path(folder == "" ? "-" : folder));
        QCOMPARE(int(chooser.calls.size()), chooserCalls);
        QCOMPARE(int(prompter.shown.size()), messages);
        for (const auto& s : prompter.shown)
            QVERIFY2(s.text.contains(root()) && s.text.endsWith("Vyberte priečinok kurzu."),
                     qPrintable(s.text));
        for (const auto& c : chooser.calls) {
            QCOMPARE(c.title, QString("Vyberte priečinok kurzu"));
            QCOMPARE(c.sample, sample);
            QVERIFY2(QFileInfo(c.start).isDir(), qPrintable(c.start));
        }
        if (outcome == int(FoundCourse::Outcome::Error)) {
            QVERIFY(f.message.contains(path(given)));
            QVERIFY(f.message.contains("nie je kurz") || f.message.contains("neexistuje"));
        }
        QCOMPARE(this->remembered(), path(rememberedAfter));
        // Nothing is ever written into a course.
        QCOMPARE(snapshot(root() + "/kurz A") + snapshot(root() + "/kurz B"), before);
    }

    // The chooser starts where the last course was chosen; after a folder
    // that is not a course, in that folder.
    void chooserStartFolder() {
        const QString a = makeCourse("kurzy/kurz A");
        const QString empty = makeFolder("kurzy/prázdny");
        ScriptedChooser first;
        first.answers = {a};
        ScriptedPrompter prompter;
        QCOMPARE(findCourse({}, {}, conf(), {}, first, prompter).folder, a);
        QCOMPARE(first.calls.at(0).start, QDir::homePath());

        QDir(a).removeRecursively(); // the course is gone: dropped, chooser again
        ScriptedChooser second;
        second.answers = {empty, ""};
        const FoundCourse f = findCourse({}, {}, conf(), {}, second, prompter);
        QCOMPARE(int(f.outcome), int(FoundCourse::Outcome::Cancelled));
        QCOMPARE(int(second.calls.size()), 2);
        QCOMPARE(second.calls.at(0).start, root() + "/kurzy");
        QCOMPARE(second.calls.at(1).start, empty);
        QCOMPARE(remembered(), QString());
    }

    // Starting the course of the last start again leaves the settings file
    // as it is (not replaced, no lock file left); a value that differs, or
    // one missing from an older file, is written.
    void settingsRewrittenOnlyWhenChanged() {
        const QString a = makeCourse("kurz A");
        const QString b = makeCourse("kurz B");
        remember(a); // an older file: the chooser's folder is not in it
        ScriptedChooser chooser;
        ScriptedPrompter prompter;
        // A second name for the file shows whether it was replaced since.
        const QByteArray held = QFile::encodeName(root() + "/held.conf");
        auto sameFile = [&] {
            struct stat a {
            }, b{};
            return ::stat(QFile::encodeName(conf()).constData(), &a) == 0 &&
                   ::stat(held.constData(), &b) == 0 && a.st_ino == b.st_ino;
        };
        QCOMPARE(findCourse({}, a, conf(), {}, chooser, prompter).folder, a);
        const QSettings written(conf(), QSettings::IniFormat);
        QCOMPARE(written.value("course/chooserFolder").toString(), root());
        QCOMPARE(::link(QFile::encodeName(conf()).constData(), held.constData()), 0);
        const QByteArray bytes = readBytes(conf());
        for (int i = 0; i < 2; ++i)
            QCOMPARE(findCourse({}, a, conf(), {}, chooser, prompter).folder, a);
        QVERIFY(sameFile());
        QCOMPARE(readBytes(conf()), bytes);
        QCOMPARE(QDir(root() + "/config/orbino").entryList(QDir::Files),
                 QStringList{"orbino.conf"});
        QCOMPARE(findCourse(b, {}, conf(), {}, chooser, prompter).folder, b);
        QCOMPARE(remembered(), b);
        QVERIFY(!sameFile());
    }

    // The sample course is looked for only when the chooser opens, which
    // then offers it.
    void sampleLookedForOnlyForTheChooser() {
        const QString a = makeCourse("kurz A");
        const QString sample = makeCourse("ukážka");
        int asked = 0;
        auto sampleCourse = [&] {
            ++asked;
            return sample;
        };
        ScriptedChooser chooser;
        ScriptedPrompter prompter;
        QCOMPARE(findCourseToPlay({}, a, conf(), sampleCourse, chooser, prompter).folder, a);
        QCOMPARE(findCourseToPlay({}, {}, conf(), sampleCourse, chooser, prompter).folder, a);
        QCOMPARE(asked, 0);
        QDir(a).removeRecursively();
        chooser.answers = {root(), sample}; // not a course, then the sample
        QCOMPARE(findCourseToPlay({}, {}, conf(), sampleCourse, chooser, prompter).folder, sample);
        QCOMPARE(asked, 1);
        QCOMPARE(int(chooser.calls.size()), 2);
        QCOMPARE(chooser.calls.at(1).sample, sample);
    }

    // A read-only course plays, and nothing is created in it.
    void readOnlyCourse() {
        const QString c = makeCourse("iba na čítanie");
        QFile::setPermissions(c + "/CONFIG.TXT", QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        QFile::setPermissions(c, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                     QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        const QStringList before = snapshot(c);
        ScriptedChooser chooser;
        ScriptedPrompter prompter;
        const FoundCourse f = findCourse({}, c, conf(), {}, chooser, prompter);
        QFile::setPermissions(c, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ExeOwner);
        QCOMPARE(int(f.outcome), int(FoundCourse::Outcome::Found));
        QCOMPARE(f.folder, c);
        QCOMPARE(snapshot(c), before);
    }

    // The sample course: installed beside the program, else the repository's
    // when the program runs from its build folder.
    void sampleCourse() {
        const QString prefix = makeFolder("usr");
        makeFolder("usr/bin");
        QCOMPARE(sampleCourseFolder(prefix + "/bin"), QString());
        writeCourseFile(prefix + "/share/orbino/examples/course/CONFIG.TXT", {"*TITLE*Ukážka"});
        QCOMPARE(sampleCourseFolder(prefix + "/bin"), prefix + "/share/orbino/examples/course");
        // This test runs from the build folder.
        QCOMPARE(sampleCourseFolder(QCoreApplication::applicationDirPath()),
                 QDir::cleanPath(ORBINO_EXAMPLES "/course"));
    }

    // The setting lives in the XDG config folder.
    void settingsFile() {
        QStandardPaths::setTestModeEnabled(true);
        const QString f = courseSettingsFile();
        QStandardPaths::setTestModeEnabled(false);
        QVERIFY2(f.endsWith("/orbino/orbino.conf") && f.contains(".qttest"), qPrintable(f));
        QVERIFY(courseSettingsFile().startsWith(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    }
};

QTEST_GUILESS_MAIN(TestCourseFinder)
#include "tst_course_finder.moc"
