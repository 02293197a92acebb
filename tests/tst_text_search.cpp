// Full-text search on real course files: what is indexed, case and
// diacritics, prefixes, query text that looks like FTS5 syntax, keeping the
// index current, an unwritable cache folder, a damaged index, and
// `orbino --search-text`.
#include "testsupport.h"

#include "tree/text_search.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orbino;

namespace {

const QByteArray kRtf =
    "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\r\n"
    "\\pard\\f0\\fs24 Kl\\'e1vesnica m\\'e1 \\b kl\\'e1vesy\\b0 .\\par\r\n"
    "\\pard Nad kl\\'e1vesnicou svieti d\\'fahov\\'e1 lampa.\\par\r\n"
    "\\pard Pod \\'f2ou le\\'9e\\'ed mik\\-ro\\-skop.\\par\r\n}\r\n";

// Every file and folder under `dir` with its size and modification time.
QStringList snapshot(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        out << QStringLiteral("%1 %2 %3")
                   .arg(fi.filePath())
                   .arg(fi.isDir() ? 0 : fi.size())
                   .arg(fi.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

ino_t inodeOf(const QString& path) {
    struct stat s {};
    return ::stat(QFile::encodeName(path).constData(), &s) == 0 ? s.st_ino : 0;
}

// Runs `sql` on the index file as another program would, binding `value`
// where given; true when it ran.
bool onIndexFile(const QString& file, const QString& sql, const QVariant& value = {},
                 QVariant* first = nullptr) {
    bool ran = false;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("by hand"));
        db.setDatabaseName(file);
        QSqlQuery q(db);
        if (db.open() && q.prepare(sql)) {
            if (value.isValid())
                q.addBindValue(value);
            ran = q.exec();
            if (ran && first)
                ran = q.next() && (*first = q.value(0), true);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("by hand"));
    return ran;
}

QStringList paths(const QList<TextHit>& hits) {
    QStringList out;
    for (const TextHit& h : hits)
        out << h.captionPath;
    return out;
}

struct Run {
    int exitCode = -1;
    QString out, err;
};

// `orbino --search-text ARGS` with the index under `cacheHome`/orbino; a run
// that does not end counts as a failure rather than hanging the test.
Run searchCli(const QStringList& args, const QString& cacheHome) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORBINO_BINARY), QStringList{QStringLiteral("--search-text")} + args);
    Run r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("did not end");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestTextSearch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void queryText_data();
    void queryText();
    void snippets_data();
    void snippets();
    void finds_data();
    void finds();
    void snippetsAndFiles();
    void keptCurrent();
    void backgroundBuild();
    void readOnlyCourse();
    void unwritableCache();
    void damagedIndex();
    void hostileIndexPlaces();
    void repeatedLists();
    void twinsAndOddTexts();
    void longTexts();
    void commandLine_data();
    void commandLine();

private:
    std::unique_ptr<QTemporaryDir> tmp;
    QString course; // ends with "/"
    QString cache;
};

void TestTextSearch::init() {
    tmp = std::make_unique<QTemporaryDir>();
    course = tmp->path() + QStringLiteral("/Kurz/");
    cache = tmp->path() + QStringLiteral("/cache");
    test::writeCourseFile(course + QStringLiteral("CONFIG.TXT"),
                          {QStringLiteral("Skúšobný kurz.")});
    test::writeCourseFile(
        course + QStringLiteral("01._deň/Obsah.txt"),
        {QStringLiteral("<Prvý deň: kôň a myš.>"), QStringLiteral("[Klávesnica] klav.txt"),
         QStringLiteral("[Vyskúšaj sa] skusaj.txt"), QStringLiteral("[Vyučujúci] ucitel.txt"),
         QStringLiteral("[Ukážka] ukazka.scm")});
    test::writeCourseFile(
        course + QStringLiteral("01._deň/klav.txt"),
        {QStringLiteral("<Klávesnica má klávesy.>"), QStringLiteral("[Späť] Obsah.txt")});
    test::writeBytes(course + QStringLiteral("01._deň/KLAV.rtf"), kRtf);
    test::writeCourseFile(
        course + QStringLiteral("01._deň/skusaj.txt"),
        {QStringLiteral("<"), QStringLiteral("1. Vytvor nový súbor poznamky.txt.\t1 bod"),
         QStringLiteral("2. Premenuj priečinok NEAR OR AND.\t1 bod"), QStringLiteral(">")});
    test::writeCourseFile(course + QStringLiteral("01._deň/ucitel.txt"),
                          {QStringLiteral("<Heslá pre vyučujúceho: USB kľúč.>")});
    test::writeCourseFile(course + QStringLiteral("02._deň/Obsah.txt"),
                          {QStringLiteral("<Druhý deň: súbory.>")});
}

void TestTextSearch::queryText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("query");
    QTest::newRow("last word a prefix") << "kôň subor"
                                        << "\"kôň\" \"subor\"*";
    QTest::newRow("separator after it: whole word") << "klav "
                                                    << "\"klav\"";
    QTest::newRow("quote") << "\""
                           << "";
    QTest::newRow("star") << "*"
                          << "";
    QTest::newRow("only punctuation") << "-- ( ) : ^ ."
                                      << "";
    QTest::newRow("operators are words") << "NEAR OR"
                                         << "\"NEAR\" \"OR\"*";
    QTest::newRow("minus and column") << "-kôň body:x"
                                      << "\"kôň\" \"body\" \"x\"*";
    QTest::newRow("quoted phrase") << "\"na disku\""
                                   << "\"na\" \"disku\"";
    QTest::newRow("digits") << "1. bod"
                            << "\"1\" \"bod\"*";
}

void TestTextSearch::queryText() {
    QFETCH(QString, text);
    QFETCH(QString, query);
    QCOMPARE(ftsQuery(text), query);
}

void TestTextSearch::snippets_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("html");
    QTest::newRow("case and diacritics") << "KON"
                                         << "Kôň a koník."
                                         << "<b>Kôň</b> a <b>koník</b>.";
    QTest::newRow("prefix only for the last word") << "kon sed"
                                                   << "Kôň koník sedí, sedlo."
                                                   << "<b>Kôň</b> koník <b>sedí</b>, <b>sedlo</b>.";
    QTest::newRow("whole word after a blank") << "kon "
                                              << "Kôň koník."
                                              << "<b>Kôň</b> koník.";
    QTest::newRow("cut on both sides")
        << "dvanast"
        << "jeden dva tri štyri päť šesť sedem osem deväť desať jedenásť dvanásť trinásť štrnásť "
           "pätnásť šestnásť sedemnásť osemnásť deväťnásť dvadsať dvadsaťjeden"
        << "…deväť desať jedenásť <b>dvanásť</b> trinásť štrnásť pätnásť šestnásť sedemnásť "
           "osemnásť "
           "deväťnásť dvadsať…";
    QTest::newRow("the place with most words")
        << "mys klav"
        << "Myš je tu. A b c d e f g h i j k l m n o p. Myš a klávesnica sú tu."
        << "…j k l m n o p. <b>Myš</b> a <b>klávesnica</b> sú tu.";
    // Letters folding to two (ĳ), a combining accent, and the plain word:
    // all found as the index finds them.
    QTest::newRow("letters the index folds apart")
        << "ijs ano" << QStringLiteral("Ĳs a\u0301no ano.")
        << QStringLiteral("<b>Ĳs</b> <b>a\u0301no</b> <b>ano</b>.");
    // A word told by its first letter: folded as it is within the word.
    QTest::newRow("first letters folded") << "sv" << QStringLiteral("Ŝvǆ a ſvet, Tvar.")
                                          << QStringLiteral("<b>Ŝvǆ</b> a <b>ſvet</b>, Tvar.");
    QTest::newRow("markup stays text") << "b"
                                       << "<b>x</b> & y"
                                       << "&lt;<b>b</b>&gt;x&lt;/<b>b</b>&gt; &amp; y";
}

void TestTextSearch::snippets() {
    QFETCH(QString, text);
    QFETCH(QString, body);
    QFETCH(QString, html);
    QCOMPARE(htmlSnippet(SnippetMaker(text).make(body)), html);
}

void TestTextSearch::finds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>(
        "expected"); // caption paths, best first; order checked only for one
    QTest::newRow("without diacritics") << "kon" << QStringList{"1. deň"};
    QTest::newRow("upper case with diacritics") << "KÔŇ" << QStringList{"1. deň"};
    QTest::newRow("subor finds súbor and súbory")
        << "subor" << QStringList{"1. deň - Vyskúšaj sa", "2. deň"};
    QTest::newRow("prefix of the last word") << "KLAV" << QStringList{"1. deň - Klávesnica"};
    QTest::newRow("only a whole word before a blank") << "klav " << QStringList{};
    QTest::newRow("every word must occur")
        << "súbor poznamky" << QStringList{"1. deň - Vyskúšaj sa"};
    QTest::newRow("word only in the rtf twin") << "duhova" << QStringList{"1. deň - Klávesnica"};
    // An optional hyphen is invisible and splits no word.
    QTest::newRow("word with optional hyphens")
        << "mikroskop" << QStringList{"1. deň - Klávesnica"};
    QTest::newRow("teacher's screen") << "usb" << QStringList{"1. deň - Vyučujúci"};
    QTest::newRow("caption of a demonstration") << "ukazka" << QStringList{"1. deň - Ukážka"};
    QTest::newRow("NEAR is a word") << "near" << QStringList{"1. deň - Vyskúšaj sa"};
    QTest::newRow("OR is a word") << "OR AND" << QStringList{"1. deň - Vyskúšaj sa"};
    QTest::newRow("quote inside") << "kôň\"" << QStringList{"1. deň"};
    QTest::newRow("minus is no NOT") << "-kôň" << QStringList{"1. deň"};
    QTest::newRow("star and brackets") << "(kôň)*" << QStringList{"1. deň"};
    QTest::newRow("column syntax") << "body:kôň" << QStringList{};
    QTest::newRow("only punctuation") << "\"*-():" << QStringList{};
    QTest::newRow("nothing") << "zebra" << QStringList{};
}

void TestTextSearch::finds() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(s.prepare());
    QVERIFY2(s.problem().isEmpty(), qPrintable(s.problem()));
    QStringList got = paths(s.search(text));
    got.sort();
    expected.sort();
    QCOMPARE(got, expected);
}

void TestTextSearch::snippetsAndFiles() {
    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(s.prepare());
    // In the twin only: the hit names the twin as it is on disk.
    QList<TextHit> hits = s.search(QStringLiteral("duhova lampa"));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits[0].file, QStringLiteral("01._deň/KLAV.rtf"));
    QCOMPARE(hits[0].dayFolder, QStringLiteral("01._deň"));
    QCOMPARE(hits[0].target, QStringLiteral("klav.txt"));
    QCOMPARE(hits[0].caption, QStringLiteral("Klávesnica"));
    QCOMPARE(hits[0].node, 1);
    QCOMPARE(plainSnippet(hits[0].snippet),
             QStringLiteral("Klávesnica má klávesy. Nad klávesnicou svieti dúhová lampa. Pod ňou "
                            "leží mikroskop."));
    QCOMPARE(
        htmlSnippet(hits[0].snippet),
        QStringLiteral("Klávesnica má klávesy. Nad klávesnicou svieti <b>dúhová</b> <b>lampa</b>. "
                       "Pod ňou leží mikroskop."));
    // The caption matches, and so does the lesson's text: one hit, with the
    // text as its snippet (the caption is the path already).
    hits = s.search(QStringLiteral("klavesnica"));
    QCOMPARE(paths(hits), QStringList{QStringLiteral("1. deň - Klávesnica")});
    QVERIFY(hits[0].file.startsWith(QStringLiteral("01._deň/kl")) ||
            hits[0].file.endsWith(QStringLiteral(".rtf")));
    QVERIFY(plainSnippet(hits[0].snippet).contains(QStringLiteral("má")));
    // Markup in the text stays text in the HTML.
    test::writeCourseFile(course + QStringLiteral("02._deň/Obsah.txt"),
                          {QStringLiteral("<Stlač <b>Enter</b> & pokračuj.>")});
    TextSearch again(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(again.prepare());
    hits = again.search(QStringLiteral("enter"));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(htmlSnippet(hits[0].snippet),
             QStringLiteral("Stlač &lt;b&gt;<b>Enter</b>&lt;/b&gt; &amp; pokračuj."));
}

void TestTextSearch::keptCurrent() {
    const QString file = indexFileName(cache, course);
    {
        TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(s.prepare());
        QCOMPARE(s.indexFile(), file);
    }
    QVERIFY(QFileInfo::exists(file));
    ino_t first = inodeOf(file);
    {
        // Nothing changed: the index is used as it is.
        TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(s.prepare());
        QCOMPARE(inodeOf(file), first);
        QVERIFY(s.search(QStringLiteral("mačka")).isEmpty());
    }
    // A twin written again in place, to the same size: only its time tells.
    {
        QByteArray same = kRtf;
        same.replace("lampa", "hmyz!");
        QFile twin(course + QStringLiteral("01._deň/KLAV.rtf"));
        const QDateTime before = QFileInfo(twin).lastModified();
        QVERIFY(twin.open(QIODevice::ReadWrite));
        QCOMPARE(twin.write(same), kRtf.size());
        QVERIFY(twin.setFileTime(before.addSecs(1), QFileDevice::FileModificationTime));
        twin.close();
        TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(s.prepare());
        QVERIFY(inodeOf(file) != first);
        QCOMPARE(paths(s.search(QStringLiteral("hmyz"))),
                 QStringList{QStringLiteral("1. deň - Klávesnica")});
        QVERIFY(s.search(QStringLiteral("lampa")).isEmpty());
        first = inodeOf(file);
    }
    // A lesson changed: the next search sees the new text, not the old.
    test::writeCourseFile(
        course + QStringLiteral("01._deň/klav.txt"),
        {QStringLiteral("<Mačka sedí pri klávesnici.>"), QStringLiteral("[Späť] Obsah.txt")});
    {
        TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(s.prepare());
        QVERIFY(inodeOf(file) != first);
        QCOMPARE(paths(s.search(QStringLiteral("macka"))),
                 QStringList{QStringLiteral("1. deň - Klávesnica")});
        // The old words are left only in the twin.
        const QList<TextHit> old = s.search(QStringLiteral("klávesy má"));
        QCOMPARE(old.size(), 1);
        QCOMPARE(old[0].file, QStringLiteral("01._deň/KLAV.rtf"));
    }
    // A twin that did not exist, and a new day.
    test::writeBytes(course + QStringLiteral("01._deň/skusaj.rtf"),
                     "{\\rtf1\\ansi 1. Nakresli slona.\\par}");
    test::writeCourseFile(course + QStringLiteral("03._deň/Obsah.txt"),
                          {QStringLiteral("<Tretí deň: žirafa.>")});
    {
        TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(s.prepare());
        QCOMPARE(paths(s.search(QStringLiteral("slona"))),
                 QStringList{QStringLiteral("1. deň - Vyskúšaj sa")});
        QCOMPARE(paths(s.search(QStringLiteral("zirafa"))), QStringList{QStringLiteral("3. deň")});
    }
    // A lesson gone: its text is gone from the results.
    QVERIFY(QFile::remove(course + QStringLiteral("01._deň/ucitel.txt")));
    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(s.prepare());
    QCOMPARE(paths(s.search(QStringLiteral("usb"))), QStringList{});
}

void TestTextSearch::backgroundBuild() {
    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QSignalSpy finished(&s, &TextSearch::finished);
    QSignalSpy progress(&s, &TextSearch::progress);
    s.start();
    QVERIFY(s.search(QStringLiteral("kôň")).isEmpty() || s.ready());
    QVERIFY(finished.wait(30000) || finished.count() == 1);
    QVERIFY(s.ready());
    QVERIFY(!s.building());
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0).toInt(), progress.last().at(1).toInt());
    QCOMPARE(paths(s.search(QStringLiteral("kôň"))), QStringList{QStringLiteral("1. deň")});

    // Destroyed while building: it stops and waits, nothing is left behind
    // but a complete index or none.
    QDir(cache).removeRecursively();
    {
        TextSearch t(course, QStringLiteral("Obsah.txt"), cache);
        t.start();
    }
    for (const QString& f : QDir(cache).entryList(QDir::Files))
        QVERIFY2(f.endsWith(QLatin1String(".fts.sqlite")), qPrintable(f));
}

void TestTextSearch::readOnlyCourse() {
    // Read-only on disk (root may write anyway, so the course is also
    // compared file by file before and after).
    QDirIterator it(course, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList all;
    while (it.hasNext())
        all << it.next();
    for (const QString& p : all)
        QFile::setPermissions(p, QFileInfo(p).isDir() ? QFile::ReadOwner | QFile::ExeOwner
                                                      : QFile::ReadOwner);
    QFile::setPermissions(course, QFile::ReadOwner | QFile::ExeOwner);
    const QStringList before = snapshot(course);
    {
        TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(s.prepare());
        QVERIFY(s.problem().isEmpty());
        QCOMPARE(paths(s.search(QStringLiteral("subor"))).size(), 2);
    }
    QCOMPARE(snapshot(course), before);
    QVERIFY(!QFileInfo(indexFileName(cache, course)).absoluteFilePath().startsWith(course));
    QFile::setPermissions(course, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const QString& p : all)
        QFile::setPermissions(p,
                              QFile::ReadOwner | QFile::WriteOwner |
                                  (QFileInfo(p).isDir() ? QFile::ExeOwner : QFile::Permissions()));
}

void TestTextSearch::unwritableCache() {
    // A file where the cache folder should be: it can never be made, even by root.
    test::writeBytes(tmp->path() + QStringLiteral("/blocked"), "x");
    const QString blocked = tmp->path() + QStringLiteral("/blocked/orbino");
    TextSearch s(course, QStringLiteral("Obsah.txt"), blocked);
    QSignalSpy finished(&s, &TextSearch::finished);
    s.start();
    QVERIFY(finished.wait(30000) || finished.count() == 1);
    QVERIFY(s.ready());
    QVERIFY(s.indexFile().isEmpty());
    QVERIFY(s.problem().contains(QDir::toNativeSeparators(blocked)));
    QCOMPARE(paths(s.search(QStringLiteral("subor"))).size(), 2);
    QCOMPARE(paths(s.search(QStringLiteral("duhova"))),
             QStringList{QStringLiteral("1. deň - Klávesnica")});
    // Two at once keep their own memory databases.
    TextSearch other(course, QStringLiteral("Obsah.txt"), blocked);
    QVERIFY(other.prepare());
    QCOMPARE(paths(other.search(QStringLiteral("kon"))), QStringList{QStringLiteral("1. deň")});
    QCOMPARE(paths(s.search(QStringLiteral("kon"))), QStringList{QStringLiteral("1. deň")});
}

void TestTextSearch::damagedIndex() {
    const QString file = indexFileName(cache, course);
    QVERIFY(QDir().mkpath(cache));
    const QList<QByteArray> damage{QByteArray("this is no database at all"), QByteArray(),
                                   QByteArray("SQLite format 3\0", 16) + QByteArray(4000, '\xff')};
    for (const QByteArray& bytes : damage) {
        test::writeBytes(file, bytes);
        TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(s.prepare());
        QVERIFY2(s.problem().isEmpty(), qPrintable(s.problem()));
        QCOMPARE(paths(s.search(QStringLiteral("kon"))), QStringList{QStringLiteral("1. deň")});
        QVERIFY(test::readBytes(file).startsWith("SQLite format 3"));
    }
    // A sound index made by another version is made anew too.
    const ino_t before = inodeOf(file);
    QVERIFY(onIndexFile(file, QStringLiteral("UPDATE meta SET value = '0' WHERE key = 'version'")));
    QVERIFY(onIndexFile(file, QStringLiteral("DELETE FROM texts")));
    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(s.prepare());
    QVERIFY(inodeOf(file) != before);
    QCOMPARE(paths(s.search(QStringLiteral("kon"))), QStringList{QStringLiteral("1. deň")});

    // The stored list of files cut short, lengthened, or claiming a path
    // longer than itself: never read past its end, and made anew.
    QVariant stored;
    QVERIFY(onIndexFile(file, QStringLiteral("SELECT data FROM watched"), {}, &stored));
    const QByteArray watched = stored.toByteArray();
    QVERIFY(watched.size() > 16);
    QByteArray hugePath = watched;
    hugePath.replace(4, 4, QByteArray("\x7f\xff\xff\xf0", 4));
    for (const QByteArray& data : {watched.left(watched.size() - 3), watched + '\0', hugePath}) {
        const ino_t was = inodeOf(file);
        QVERIFY(onIndexFile(file, QStringLiteral("UPDATE watched SET data = ?"), data));
        TextSearch again(course, QStringLiteral("Obsah.txt"), cache);
        QVERIFY(again.prepare());
        QVERIFY(inodeOf(file) != was);
        QCOMPARE(paths(again.search(QStringLiteral("kon"))), QStringList{QStringLiteral("1. deň")});
    }
}

void TestTextSearch::hostileIndexPlaces() {
    const QString home = tmp->path() + QStringLiteral("/home-cache");
    const QString file = indexFileName(home + QStringLiteral("/orbino"), course);
    const QStringList args{QStringLiteral("kon"), QStringLiteral("--course"), course.chopped(1)};
    const QString found = QStringLiteral("1. deň\t01._deň/Obsah.txt\tPrvý deň: kôň a myš.\n");
    Run r = searchCli(args, home);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, found);

    // A FIFO in the index's place is never opened (that would wait for a
    // writer for ever): it is replaced by a new index.
    QVERIFY(QFile::remove(file));
    QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    // Builds that were killed leave their part behind; one whose process is
    // still alive is building right now and keeps its file.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QVERIFY(::kill(pid_t(deadPid), 0) != 0);
    const QString dead = file + QStringLiteral(".part%1").arg(deadPid);
    const QString alive = file + QStringLiteral(".part%1").arg(::getpid());
    test::writeBytes(dead, QByteArray(1000, 'x'));
    test::writeBytes(alive, QByteArray(1000, 'x'));
    r = searchCli(args, home);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(r.out, found);
    QVERIFY2(r.err.contains(file), qPrintable(r.err));
    QVERIFY(QFileInfo(file).isFile());
    QVERIFY(test::readBytes(file).startsWith("SQLite format 3"));
    QVERIFY(!QFileInfo::exists(dead));
    QVERIFY(QFileInfo::exists(alive));
    QVERIFY(QFile::remove(alive));

    // A folder there is left as it is (it may hold anything); the search runs
    // on an index in memory and says why.
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkpath(file));
    test::writeBytes(file + QStringLiteral("/keep.txt"), "x");
    r = searchCli(args, home);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(r.out, found);
    QVERIFY2(r.err.contains(file) && r.err.contains(QStringLiteral("priečinok")) &&
                 !r.err.contains(QStringLiteral("zapisovať")),
             qPrintable(r.err));
    QCOMPARE(test::readBytes(file + QStringLiteral("/keep.txt")), QByteArray("x"));
    QVERIFY(QDir(file).removeRecursively());

    // An index this user cannot read (root reads anything, so only then) is
    // said to be one, not an unwritable folder, and is made anew.
    QVERIFY(searchCli(args, home).exitCode == 0);
    if (::geteuid() != 0) {
        QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
        r = searchCli(args, home);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(r.out, found);
        QVERIFY2(r.err.contains(QStringLiteral("čítať")) &&
                     !r.err.contains(QStringLiteral("zapisovať")),
                 qPrintable(r.err));
    }
}

void TestTextSearch::repeatedLists() {
    // Ten lists, each naming the next twice under a caption of a thousand
    // characters: two thousand ways through them, each a long path.
    const QString dir = course + QStringLiteral("01._deň/");
    constexpr int kLists = 10;
    for (int i = 0; i < kLists; ++i) {
        const QString name =
            i == 0 ? QStringLiteral("Obsah.txt") : QStringLiteral("l%1.txt").arg(i);
        QStringList lines{QStringLiteral("<Zoznam číslo z%1z.>").arg(i)};
        for (int k = 0; k < 2; ++k)
            lines << QStringLiteral("[%1] l%2.txt")
                         .arg(QStringLiteral("C%1C%2 ").arg(i).arg(k).repeated(200),
                              QString::number(i + 1));
        test::writeCourseFile(dir + name, lines);
    }
    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(s.prepare());
    // Each caption and each text once, not once for every way to it.
    QVERIFY2(QFileInfo(s.indexFile()).size() < 1000000,
             qPrintable(QString::number(QFileInfo(s.indexFile()).size())));
    const QList<TextHit> deep = s.search(QStringLiteral("C9C1"));
    QCOMPARE(deep.size(), 1);
    // The path is cut, but starts at the day and ends at the lesson.
    QVERIFY2(deep[0].captionPath.size() < 1000, qPrintable(deep[0].captionPath));
    QVERIFY(deep[0].captionPath.startsWith(QStringLiteral("1. deň - C0C0 C0C0")));
    QVERIFY(deep[0].captionPath.contains(QStringLiteral(" - … - ")));
    QVERIFY(deep[0].captionPath.endsWith(QStringLiteral("C9C1 C9C1…")));
    QCOMPARE(deep[0].caption.size(), 1000);
    QCOMPARE(deep[0].target, QStringLiteral("l10.txt"));
    QCOMPARE(paths(s.search(QStringLiteral("z7z"))).size(), 1);
    // A short way is shown whole.
    const QList<TextHit> top = s.search(QStringLiteral("z1z"));
    QCOMPARE(top.size(), 1);
    QVERIFY(top[0].captionPath.startsWith(QStringLiteral("1. deň - C0C0")));
    QVERIFY(!top[0].captionPath.contains(QStringLiteral(" - … - ")));
    QVERIFY(s.problem().isEmpty());

    // Eight lists more: past the tree's limit, which the search says, naming
    // the day's first list.
    for (int i = kLists; i < kLists + 8; ++i)
        test::writeCourseFile(dir + QStringLiteral("l%1.txt").arg(i),
                              {QStringLiteral("[a%1] l%2.txt").arg(i).arg(i + 1),
                               QStringLiteral("[b%1] l%2.txt").arg(i).arg(i + 1)});
    TextSearch big(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(big.prepare());
    QVERIFY2(big.problem().contains(dir + QStringLiteral("Obsah.txt")), qPrintable(big.problem()));
    QCOMPARE(paths(big.search(QStringLiteral("b17"))).size(), 1);
    QVERIFY(QFileInfo(big.indexFile()).size() < 1000000);
}

void TestTextSearch::twinsAndOddTexts() {
    const QString dir = course + QStringLiteral("02._deň/");
    test::writeCourseFile(
        dir + QStringLiteral("Obsah.txt"),
        {QStringLiteral("[Kreslenie] Kresli.TXT"), QStringLiteral("[Zložka] zlozka.txt"),
         QStringLiteral("[Odkaz] odkaz.txt"), QStringLiteral("[Zlomok] zlomok.txt")});
    // The list named in another case than on disk, its twin in a third.
    test::writeCourseFile(dir + QStringLiteral("kresli.txt"), {QStringLiteral("<Kreslíme.>")});
    test::writeBytes(dir + QStringLiteral("KRESLI.rtf"),
                     "{\\rtf1\\ansi Nakresli \\'9eirafu.\\par}");
    // A folder where the twin would be: the list's own text only.
    test::writeCourseFile(dir + QStringLiteral("zlozka.txt"),
                          {QStringLiteral("<Zložka s tvarom.>")});
    QVERIFY(QDir().mkpath(dir + QStringLiteral("zlozka.rtf")));
    // A link leading nowhere under the twin's very name hides a twin in
    // another case, as it does when the lesson is opened.
    test::writeCourseFile(dir + QStringLiteral("odkaz.txt"), {QStringLiteral("<Odkaz.>")});
    QVERIFY(QFile::link(dir + QStringLiteral("nikde.rtf"), dir + QStringLiteral("odkaz.rtf")));
    test::writeBytes(dir + QStringLiteral("ODKAZ.rtf"), "{\\rtf1\\ansi Tajomstvo.\\par}");
    // Half a surrogate pair, and U+FFFE and U+FFFF, from RTF's "u" control word: no
    // word around them is lost.
    test::writeCourseFile(dir + QStringLiteral("zlomok.txt"), {QStringLiteral("<Zlomok.>")});
    test::writeBytes(dir + QStringLiteral("zlomok.rtf"),
                     "{\\rtf1\\ansi Prv\\'e1 \\u-10240?hviezda, \\u-2?druh\\'e1 \\u-1?kometa "
                     "\\u-9216?koniec.\\par}");

    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(s.prepare());
    QList<TextHit> hits = s.search(QStringLiteral("zirafu"));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits[0].file, QStringLiteral("02._deň/KRESLI.rtf"));
    QCOMPARE(hits[0].target, QStringLiteral("Kresli.TXT"));
    hits = s.search(QStringLiteral("tvarom"));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits[0].file, QStringLiteral("02._deň/zlozka.txt"));
    QVERIFY(s.search(QStringLiteral("tajomstvo")).isEmpty());
    QCOMPARE(paths(s.search(QStringLiteral("odkaz"))),
             QStringList{QStringLiteral("2. deň - Odkaz")});
    for (const QString& word :
         {QStringLiteral("prva"), QStringLiteral("hviezda"), QStringLiteral("druha"),
          QStringLiteral("kometa"), QStringLiteral("koniec")}) {
        hits = s.search(word);
        QCOMPARE(paths(hits), QStringList{QStringLiteral("2. deň - Zlomok")});
        QCOMPARE(hits[0].file, QStringLiteral("02._deň/zlomok.rtf"));
        const QString snippet = plainSnippet(hits[0].snippet);
        QCOMPARE(snippet, QStringLiteral("Prvá \uFFFDhviezda, \uFFFDdruhá \uFFFDkometa "
                                         "\uFFFDkoniec."));
    }
    QVERIFY(s.problem().isEmpty());
}

void TestTextSearch::longTexts() {
    // Snippets are made from a text's first 65,536 characters. Two texts
    // past that many bytes: one of as many characters, its word at the end
    // not shown; one of two-byte letters, fewer characters, its word shown.
    const QString dir = course + QStringLiteral("02._deň/");
    test::writeCourseFile(
        dir + QStringLiteral("Obsah.txt"),
        {QStringLiteral("[Dlhý] dlhy.txt"), QStringLiteral("[Široký] siroky.txt")});
    test::writeCourseFile(dir + QStringLiteral("dlhy.txt"), {QStringLiteral("<Dlhý.>")});
    test::writeCourseFile(dir + QStringLiteral("siroky.txt"), {QStringLiteral("<Široký.>")});
    test::writeBytes(dir + QStringLiteral("dlhy.rtf"),
                     "{\\rtf1\\ansi " + QByteArray("ab ").repeated(22000) + "koniec\\par}");
    test::writeBytes(dir + QStringLiteral("siroky.rtf"),
                     "{\\rtf1\\ansi\\ansicpg1250 " + QByteArray("\\'e8\\'e8 ").repeated(21000) +
                         "posledne\\par}");
    TextSearch s(course, QStringLiteral("Obsah.txt"), cache);
    QVERIFY(s.prepare());
    QList<TextHit> hits = s.search(QStringLiteral("koniec"));
    QCOMPARE(paths(hits), QStringList{QStringLiteral("2. deň - Dlhý")});
    QVERIFY(!hits[0].snippet.contains(kMatchStart));
    QVERIFY(plainSnippet(hits[0].snippet).startsWith(QStringLiteral("ab ab ab")));
    hits = s.search(QStringLiteral("posledne"));
    QCOMPARE(paths(hits), QStringList{QStringLiteral("2. deň - Široký")});
    QVERIFY(hits[0].snippet.endsWith(kMatchStart + QStringLiteral("posledne") + kMatchEnd));
    QVERIFY(plainSnippet(hits[0].snippet).startsWith(QStringLiteral("…čč čč")));
}

void TestTextSearch::commandLine_data() {
    QTest::addColumn<QStringList>("args"); // "COURSE" stands for the course folder
    QTest::addColumn<bool>("inCourse");    // run with the course as the working directory
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("output");
    const QString vyskusaj =
        QStringLiteral("1. deň - Vyskúšaj sa\t01._deň/skusaj.txt\t"
                       "1. Vytvor nový súbor poznamky.txt. 1 bod 2. Premenuj priečinok NEAR…");
    QTest::newRow("found, --course last") << QStringList{"poznamky", "subor", "--course", "COURSE"}
                                          << false << 0 << QStringList{vyskusaj};
    QTest::newRow("found, --course first") << QStringList{"--course", "COURSE", "súbor poznámky"}
                                           << false << 0 << QStringList{vyskusaj};
    QTest::newRow("working directory") << QStringList{"usb"} << true << 0
                                       << QStringList{"1. deň - Vyučujúci\t01._deň/ucitel.txt\t"
                                                      "Heslá pre vyučujúceho: USB kľúč."};
    QTest::newRow("nothing found")
        << QStringList{"zebra", "--course", "COURSE"} << false << 1 << QStringList{};
    QTest::newRow("only syntax") << QStringList{"\"", "*", "-", "(:", "--course", "COURSE"} << false
                                 << 1 << QStringList{};
    QTest::newRow("words after --")
        << QStringList{"--course", "COURSE", "--", "--kôň"} << false << 0
        << QStringList{"1. deň\t01._deň/Obsah.txt\tPrvý deň: kôň a myš."};
    QTest::newRow("no words") << QStringList{"--course", "COURSE"} << false << 2 << QStringList{};
    QTest::newRow("no words at all") << QStringList{} << true << 2 << QStringList{};
    QTest::newRow("--course without folder")
        << QStringList{"kôň", "--course"} << false << 2 << QStringList{};
    QTest::newRow("unknown option") << QStringList{"--fast", "kôň"} << true << 2 << QStringList{};
    QTest::newRow("no such course")
        << QStringList{"kôň", "--course", "COURSE/nie je"} << false << 2 << QStringList{};
}

void TestTextSearch::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(bool, inCourse);
    QFETCH(int, exitCode);
    QFETCH(QStringList, output);
    for (QString& a : args)
        a.replace(QStringLiteral("COURSE"), course.chopped(1));
    QProcess p;
    p.setWorkingDirectory(inCourse ? course : tmp->path());
    // No display at all; the index goes to a cache folder of this test.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), tmp->path() + QStringLiteral("/xdg-cache"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORBINO_BINARY), QStringList{QStringLiteral("--search-text")} + args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(p.exitCode() == exitCode, qPrintable(err));
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines, output);
    if (exitCode == 2)
        QVERIFY(err.contains(QStringLiteral("--search-text")) ||
                err.contains(QStringLiteral("--help")));
    else
        QVERIFY(
            QDir(tmp->path() + QStringLiteral("/xdg-cache/orbino")).entryList(QDir::Files).size() ==
            1);
}

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_text_search.moc"
