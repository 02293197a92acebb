// The content list reader and the screen rules that need no window.
#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "screens/content_list.h"
#include "screens/screen_rules.h"
#include "testsupport.h"
#include "tools/links.h"
#include "tools/notes.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace orbino;
using orbino::test::writeBytes;
using orbino::test::writeCourseFile;

class TestContentList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void reader_data();
    void reader();
    void walk_data();
    void walk();
    void moreThanTwentyLines();
    void readsCourseBytes();
    void overlongLine_data();
    void overlongLine();
    void itemLine_data();
    void itemLine();
    void dayFolders();
    void listPresentBackedUpOrMissing();
    void dayNumber_data();
    void dayNumber();
    void trimming_data();
    void trimming();
    void glyph_data();
    void glyph();
    void heading_data();
    void heading();
    void ownFileNames_data();
    void ownFileNames();
    void levelsFromOneRead();
    void searchPath_data();
    void searchPath();
    void nearestHalvesToEven();
};

// Stored slots joined by "|", the background line and the line count.
static QString slotsOf(const ContentList& c) {
    QStringList s;
    for (int i = 1; i <= c.lineCount; ++i)
        s << c.lines[size_t(i)];
    return s.join(QLatin1Char('|'));
}

void TestContentList::reader_data() {
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("background");
    QTest::addColumn<bool>("markup");

    QTest::newRow("story with picture")
        << QStringList{"pribeh2.bmp", "<Dnes sa naučíme", "pracovať s myšou.>",
                       "[Príbeh] pribeh.txt", "[Ukážka] mys.scm"}
        << "<Dnes sa naučíme|pracovať s myšou.>|[Príbeh] pribeh.txt|[Ukážka] mys.scm"
        << "pribeh2.bmp" << true;
    QTest::newRow("lone < then Text>") << QStringList{"<", "Text>"} << "<Text>"
                                       << "" << true;
    QTest::newRow("block closed by lone >")
        << QStringList{"<a", "b", ">", "[X] x.txt"} << "<a|b>|[X] x.txt"
        << "" << true;
    QTest::newRow("lone < ... lone > keeps <Enter> inside")
        << QStringList{"<", "Stlač <Enter>", "a potom", ">", "[Ďalej] dalej.txt"}
        << "<Stlač <Enter>|a potom>|[Ďalej] dalej.txt"
        << "" << true;
    QTest::newRow("lone < with empty block")
        << QStringList{"<", ">", "//www.example.sk"} << "<>|//www.example.sk"
        << "" << true;
    QTest::newRow("ordinary block ends at a line ending with >")
        << QStringList{"<a", "Stlač <Enter>", "[B] b.txt"} << "<a|Stlač <Enter>|[B] b.txt"
        << "" << true;
    QTest::newRow("block cut by end of file") << QStringList{"<a", "b"} << "<a|b"
                                              << "" << true;
    QTest::newRow("other lines overwritten")
        << QStringList{"poznámka", "[A] a.txt", "iný riadok", "//x"} << "[A] a.txt|//x"
        << "" << true;
    QTest::newRow("no markup") << QStringList{"len text", "obr.BMP"} << ""
                               << "obr.BMP" << false;
    QTest::newRow("last BMP line wins")
        << QStringList{"prvy.bmp", "[A] a.txt", "druhy.BMP"} << "[A] a.txt"
        << "druhy.BMP" << true;
    QTest::newRow("continuation lines not examined for BMP")
        << QStringList{"pozadie.bmp", "<text", "obrazok.bmp v texte>"}
        << "<text|obrazok.bmp v texte>"
        << "pozadie.bmp" << true;
    QTest::newRow("item line with BMP is also background")
        << QStringList{"[Obrázok] mapa.bmp"} << "[Obrázok] mapa.bmp"
        << "[Obrázok] mapa.bmp" << true;
    QTest::newRow("empty file") << QStringList{} << ""
                                << "" << false;
}

void TestContentList::reader() {
    QFETCH(QStringList, file);
    QFETCH(QString, stored);
    QFETCH(QString, background);
    QFETCH(bool, markup);
    const ContentList c = parseContentList(file);
    if (stored.isEmpty())
        QCOMPARE(c.lineCount, 1);
    else
        QCOMPARE(slotsOf(c), stored);
    QCOMPARE(c.backgroundLine, background);
    QCOMPARE(c.hasMarkup, markup);
    QCOMPARE(c.droppedLines, 0);
}

void TestContentList::walk_data() {
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<QStringList>("description");
    QTest::addColumn<QList<int>>("items");
    QTest::addColumn<QStringList>("links");

    QTest::newRow("a, b, >") << QStringList{"<a", "b", ">"} << QStringList{"a", "b"} << QList<int>{}
                             << QStringList{};
    QTest::newRow("<Enter> inside a lone-< block")
        << QStringList{"<", "Stlač <Enter>",     "a pokračuj.",
                       ">", "[Ďalej] dalej.txt", "//www.sme.sk"}
        << QStringList{"Stlač <Enter>", "a pokračuj."} << QList<int>{3}
        << QStringList{"www.sme.sk"};
    QTest::newRow("block starting with > ends it")
        << QStringList{"<a", ">b", "[C] c.txt"} << QStringList{"a", ">b"} << QList<int>{3}
        << QStringList{};
    QTest::newRow("unclosed block keeps its last character")
        << QStringList{"<Dnes sa"} << QStringList{"Dnes sa"} << QList<int>{} << QStringList{};
    QTest::newRow("only links") << QStringList{"//a.sk", "//b.sk"} << QStringList{} << QList<int>{}
                                << QStringList{"a.sk", "b.sk"};
    QTest::newRow("items between blocks")
        << QStringList{"<Prvý>", "[A] a.txt", "<Druhý>", "[B] b.exe"}
        << QStringList{"Prvý", "Druhý"} << QList<int>{2, 4} << QStringList{};
}

void TestContentList::walk() {
    QFETCH(QStringList, file);
    QFETCH(QStringList, description);
    QFETCH(QList<int>, items);
    QFETCH(QStringList, links);
    const ScreenContent s = walkContentList(parseContentList(file));
    QCOMPARE(s.description, description);
    QCOMPARE(s.itemSlots, items);
    QCOMPARE(s.links, links);
}

void TestContentList::moreThanTwentyLines() {
    QStringList file{"<Popis>"};
    for (int i = 1; i <= 22; ++i)
        file << QStringLiteral("[Položka %1] p%1.txt").arg(i);
    const ContentList c = parseContentList(file);
    QCOMPARE(c.lineCount, 20);
    QCOMPARE(c.droppedLines, 3);
    QCOMPARE(c.lines[20], QStringLiteral("[Položka 19] p19.txt"));
    QCOMPARE(walkContentList(c).itemSlots.size(), 19);
}

void TestContentList::readsCourseBytes() {
    // Windows-1250, CR LF, a lone LF inside a line and byte 26 ending the file.
    QTemporaryDir dir;
    const QString path = dir.filePath("Obsah.txt");
    writeBytes(
        path, QByteArray("<Pr\xed"
                         "klad\r\n[\xdaloha]  uloha.txt  \r\n//a\nb\r\n\x1a[Skryt\xe9] x.txt\r\n"));
    const ContentList c = readContentList(path);
    QCOMPARE(c.lineCount, 3);
    QCOMPARE(c.lines[1], QStringLiteral("<Príklad"));
    QCOMPARE(parseItemLine(c.lines[2]).caption, QStringLiteral("Úloha"));
    QCOMPARE(parseItemLine(c.lines[2]).reference, QStringLiteral("uloha.txt"));
    QCOMPARE(c.lines[3], QStringLiteral("//a\nb"));
}

void TestContentList::overlongLine_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qsizetype>("length"); // of the long line
    QTest::addColumn<bool>("refused");
    QTest::newRow("item at the limit") << QByteArray("[") << kMaxContentLineLength << false;
    QTest::newRow("item one over") << QByteArray("[") << kMaxContentLineLength + 1 << true;
    QTest::newRow("description of 1 MB") << QByteArray("<") << qsizetype(1024 * 1024) << true;
    QTest::newRow("plain text one over") << QByteArray("x") << kMaxContentLineLength + 1 << true;
}

void TestContentList::overlongLine() {
    // A line this long stalled the screen while it was laid out.
    QFETCH(QByteArray, head);
    QFETCH(qsizetype, length);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath("Obsah.txt");
    writeBytes(path,
               "<Popis>\r\n" + head + QByteArray(length - head.size(), 'a') + "\r\n[A] a.txt\r\n");
    try {
        const ContentList c = readContentList(path);
        QVERIFY(!refused);
        QCOMPARE(c.lines[2].size(), length);
    } catch (const FileError& e) {
        QVERIFY(refused);
        QCOMPARE(e.path(), path);
        QVERIFY2(e.reason().startsWith("riadok 2 "), qPrintable(e.reason()));
    }
}

void TestContentList::itemLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("ext");
    QTest::newRow("trailing blanks") << "[Úlohy]   ulohy.txt   "
                                     << "Úlohy"
                                     << "ulohy.txt"
                                     << "txt";
    QTest::newRow("last ] separates") << "[A]b]c.txt"
                                      << "A]b"
                                      << "c.txt"
                                      << "txt";
    QTest::newRow("empty caption") << "[] skryte.exe"
                                   << ""
                                   << "skryte.exe"
                                   << "exe";
    QTest::newRow("extension keeps case, first dot") << "[Hra] hra.Exe.bak"
                                                     << "Hra"
                                                     << "hra.Exe.bak"
                                                     << "Exe";
    QTest::newRow("no ]") << "[Bez konca"
                          << "Bez konca"
                          << ""
                          << "";
}

void TestContentList::itemLine() {
    QFETCH(QString, line);
    QFETCH(QString, caption);
    QFETCH(QString, reference);
    QFETCH(QString, ext);
    const ContentItem item = parseItemLine(line);
    QCOMPARE(item.caption, caption);
    QCOMPARE(item.reference, reference);
    QCOMPARE(referenceExt(item.reference), ext);
}

void TestContentList::listPresentBackedUpOrMissing() {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QCOMPARE(findList(folder, "Obsah.txt"), ListOnDisk::Missing);
    // Only the backup, in another case than the course names it: it is
    // renamed back whole, and the folder listing sees the change at once.
    const QByteArray list("[1. lekcia]lekcia1.txt\r\n//www.example.sk\r\n");
    writeBytes(folder + "OBSAH.BAK", list);
    QCOMPARE(findList(folder, "Obsah.txt"), ListOnDisk::OnlyBackup);
    QVERIFY(restoreFromBackup(folder, "Obsah.txt"));
    QCOMPARE(findList(folder, "Obsah.txt"), ListOnDisk::Present);
    QCOMPARE(orbino::test::readBytes(folder + "Obsah.txt"), list);
    QVERIFY(!QFileInfo::exists(folder + "OBSAH.BAK"));
    // A backup that cannot be renamed (a folder stands in the list's place) stays.
    writeBytes(folder + "Iny.bak", list);
    QVERIFY(QDir(folder).mkdir("Iny.txt"));
    QCOMPARE(findList(folder, "Iny.txt"), ListOnDisk::OnlyBackup);
    QVERIFY(!restoreFromBackup(folder, "Iny.txt"));
    QCOMPARE(orbino::test::readBytes(folder + "Iny.bak"), list);
}

void TestContentList::dayFolders() {
    QTemporaryDir dir;
    const QString root = dir.path() + "/kurz/";
    for (const char* d : {"10._deň", "02._deň", "01._deň", ".skryty", "Aa_deň"})
        QVERIFY(QDir().mkpath(root + QString::fromUtf8(d)));
    writeCourseFile(root + "CONFIG.TXT", {"x"});
    const DayListing l = listDayFolders(root);
    const int components = 1 + QDir::cleanPath(root).split('/', Qt::SkipEmptyParts).size();
    QCOMPARE(l.first, components + 1);
    QCOMPARE(l.last, l.first + 3);
    QStringList captions;
    for (const DayFolder& d : l.days)
        captions << d.caption;
    QCOMPARE(captions, (QStringList{"  1. deň", "  2. deň", "10. deň", "Aa deň"}));
    QCOMPARE(l.days.at(2).index, l.first + 2);
    // The caption in folder form goes back to the disk's folder by the rule.
    QCOMPARE(AppState::folderNameRule(dayFolderFromCaption(captions.at(0))),
             QStringLiteral("01._deň"));
}

void TestContentList::dayNumber_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("number"); // -1: not a number
    QTest::newRow("1.") << "  1. deň" << 1;
    QTest::newRow("12.") << "12. deň" << 12;
    QTest::newRow("digit and blank") << "1 deň" << -1;
    QTest::newRow("word") << "Úvod" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestContentList::dayNumber() {
    QFETCH(QString, caption);
    QFETCH(int, number);
    const auto n = dayNumberFromCaption(caption);
    QCOMPARE(n.value_or(-1), number);
}

void TestContentList::trimming_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("shownLength");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("at limit") << 26 << 26 << 26 << false;
    QTest::newRow("one past stays whole") << 27 << 26 << 27 << false;
    QTest::newRow("two past is cut") << 28 << 26 << 27 << true;
    QTest::newRow("large limit") << 40 << 25 << 26 << true;
}

void TestContentList::trimming() {
    QFETCH(int, length);
    QFETCH(int, limit);
    QFETCH(int, shownLength);
    QFETCH(bool, shortened);
    QString caption;
    for (int i = 0; i < length; ++i)
        caption += QChar(u'á' + (i % 3));
    const TrimmedCaption t = trimCaption(caption, limit);
    QCOMPARE(t.text.size(), shownLength);
    QCOMPARE(t.shortened, shortened);
    if (shortened)
        QVERIFY(t.text.endsWith('.') && caption.startsWith(t.text.chopped(1)));
}

void TestContentList::glyph_data() {
    QTest::addColumn<QStringList>("programFiles");
    QTest::addColumn<QStringList>("levelFiles");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("expected"); // relative to the program folder; "" for none
    const QStringList base{"Text.BMP", "Play.BMP"};
    QTest::newRow("Úlohy") << (base + QStringList{"ulohyT.bmp"}) << QStringList{} << "Úlohy"
                           << "txt"
                           << "ulohyT.bmp";
    QTest::newRow("level folder first")
        << (base + QStringList{"ziak.BMP"}) << QStringList{"ZIAK.bmp"} << "Žiak"
        << "txt"
        << "01._deň/ZIAK.bmp";
    QTest::newRow("exe picture") << (base + QStringList{"exe.BMP"}) << QStringList{} << "Pozri"
                                 << "exe"
                                 << "exe.BMP";
    QTest::newRow("exe without picture plays") << base << QStringList{} << "Pozri"
                                               << "exe"
                                               << "Play.BMP";
    QTest::newRow("txt falls back to Text") << base << QStringList{} << "Čítaj"
                                            << "txt"
                                            << "Text.BMP";
    QTest::newRow("TXT upper case") << base << QStringList{} << "Čítaj"
                                    << "TXT"
                                    << "Text.BMP";
    QTest::newRow("exam caption") << (base + QStringList{"Exam.bmp"}) << QStringList{}
                                  << "Vyskúšajte sa"
                                  << "txt"
                                  << "Exam.bmp";
    QTest::newRow("special caption without picture gets none") << base << QStringList{} << "Príbeh"
                                                               << "txt"
                                                               << "";
    QTest::newRow("nothing at all") << QStringList{} << QStringList{} << "Hra"
                                    << "exe"
                                    << "";
}

void TestContentList::glyph() {
    QFETCH(QStringList, programFiles);
    QFETCH(QStringList, levelFiles);
    QFETCH(QString, caption);
    QFETCH(QString, ext);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString program = dir.path() + "/";
    QDir().mkpath(program + "01._deň");
    for (const QString& f : programFiles)
        writeBytes(program + f, "BM");
    for (const QString& f : levelFiles)
        writeBytes(program + "01._deň/" + f, "BM");
    const QString got = glyphPicture(program, "01._deň", caption, ext, "Vyskúšajte sa");
    if (expected.isEmpty())
        QCOMPARE(got, QString());
    else
        QCOMPARE(QFileInfo(resolvePath(got)).canonicalFilePath(),
                 QFileInfo(program + expected).canonicalFilePath());
}

void TestContentList::heading_data() {
    QTest::addColumn<bool>("search");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<long long>("colour"); // -1: none
    QTest::newRow("day level") << false << 2 << "1. deň" << -1LL;
    QTest::newRow("deeper level") << false << 3 << "Žiak - Úlohy" << 0xE6FFFFLL;
    QTest::newRow("search level 1") << true << 1 << "Vyučujúci hľadá" << 0xDDDAFELL;
}

void TestContentList::heading() {
    QFETCH(bool, search);
    QFETCH(int, level);
    QFETCH(QString, expected);
    QFETCH(long long, colour);
    const QString h = levelHeading(search, level, "01._deň", "Žiak", "Úlohy", "Vyučujúci hľadá");
    QCOMPARE(h, expected);
    QCOMPARE(headingColour(h).value_or(-1), colour);
    QCOMPARE(headingHidesHowTo(h), h.contains("Žiak"));
}

void TestContentList::ownFileNames_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("listFile");
    QTest::addColumn<QString>("links");
    QTest::addColumn<QString>("notes");
    QTest::newRow("main screen") << 1 << ""
                                 << "multimed.htm"
                                 << "multimed.txt";
    QTest::newRow("day list") << 2 << "OBSAH.TXT"
                              << "01.htm"
                              << "01._deň.txt";
    QTest::newRow("deeper list") << 3 << "pribeh.txt"
                                 << "pribeh.htm"
                                 << "pribeh.txt";
    QTest::newRow("list without dot") << 3 << "pribeh"
                                      << "pribeh.htm"
                                      << "pribeh";
}

void TestContentList::ownFileNames() {
    QFETCH(int, level);
    QFETCH(QString, listFile);
    QFETCH(QString, links);
    QFETCH(QString, notes);
    AppState st;
    st.levels.restore(level);
    st.rootListName = "Obsah.txt";
    st.levels.restorePlace(level, level == 1 ? QString() : QStringLiteral("01._deň "), listFile);
    QCOMPARE(linksFileNameFor(st, st.levels.current()), links);
    QCOMPARE(notesFileNameFor(st, st.levels.current()), notes);
}

// A day's list read once: the items a press asks for, where the next level
// points before and after a press, and the level file a closed window leaves.
void TestContentList::levelsFromOneRead() {
    QTemporaryDir dir;
    AppState st;
    st.programFolder = dir.path() + "/";
    st.tempFolder = dir.path() + "/";
    writeCourseFile(dir.path() + "/02._deň/Obsah.txt",
                    {"<Úvod>", "[Príbeh] pribeh.txt", "//https://example.org/", "[Bez konca",
                     "[Hra]  hra.exe /a ", "pozadie.bmp"});
    st.levels.chooseDay("__2._deň", "Obsah.txt");
    st.levels.expectDay();
    QCOMPARE(st.levels.current(), 2);
    QCOMPARE(st.contentListPath(2), dir.path() + "/02._deň/Obsah.txt");
    st.levels.takeList(2, readContentList(st.contentListPath(2)));
    QVERIFY(st.levels.item(2, 2).valid);
    QCOMPARE(st.levels.item(2, 2).caption, QStringLiteral("Príbeh"));
    QVERIFY(!st.levels.item(2, 3).valid); // a link line
    QVERIFY(st.levels.item(2, 3).caption.isEmpty());
    QVERIFY(!st.levels.item(2, 4).valid); // no "]": the caption alone
    QCOMPARE(st.levels.item(2, 4).caption, QStringLiteral("Bez konca"));
    QCOMPARE(st.levels.item(2, 5).reference, QStringLiteral("hra.exe /a"));
    QVERIFY(!st.levels.item(2, kMaxLines + 1).valid);
    // Before a press the next level points at the last item; a press moves it.
    QCOMPARE(st.levels.listFile(3), QStringLiteral("hra.exe /a"));
    QCOMPARE(st.levels.folder(3), QStringLiteral("02._deň"));
    st.levels.chooseItem(2, st.levels.item(2, 2).reference);
    QCOMPARE(st.contentListPath(3), dir.path() + "/02._deň/pribeh.txt");
    st.levels.enter(3);
    st.levels.leave(3);
    QCOMPARE(st.levels.current(), 2);
    QCOMPARE(test::readBytes(st.levelFile()), QByteArray("2"));
    {
        LevelModel::Visit editing(st.levels, 3);
        QCOMPARE(st.levels.current(), 3);
    }
    QCOMPARE(st.levels.current(), 2);
    // Leaving for good: every level passed counts as built.
    QCOMPARE(st.levels.unwindOne(), 1);
    QVERIFY(st.levels.built(1));
    QCOMPARE(st.levels.unwindOne(), 0);
}

void TestContentList::searchPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::newRow("windows path") << "C:\\Kurz\\05_Word\\Obsah.txt"
                                  << "05_Word"
                                  << "Obsah.txt";
    QTest::newRow("unix path") << "/srv/kurz/01._deň/pribeh.txt"
                               << "01._deň"
                               << "pribeh.txt";
    QTest::newRow("bare name") << "Obsah.txt"
                               << ""
                               << "Obsah.txt";
}

void TestContentList::searchPath() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    const SearchPlace p = splitSearchPath(path);
    QCOMPARE(p.folder, folder);
    QCOMPARE(p.listFile, file);
}

void TestContentList::nearestHalvesToEven() {
    QCOMPARE(nearest(12 * 3.7), 44);
    QCOMPARE(nearest(10 * 3.7), 37);
    QCOMPARE(nearest(12 * 2.9), 35);
    QCOMPARE(nearest(12 * 2.6), 31);
    QCOMPARE(nearest(2.5), 2);
    QCOMPARE(nearest(3.5), 4);
    QCOMPARE(twinName("Obsah.txt", "bak"), QStringLiteral("Obsah.bak"));
    QCOMPARE(twinName("Obsah", "bak"), QStringLiteral("bak"));
}

QTEST_APPLESS_MAIN(TestContentList)
#include "tst_content_list.moc"
