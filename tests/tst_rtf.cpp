// Rich Text Format reader and writer: what lesson files written by the
// Windows rich-text control and by word processors read as, what survives
// hostile input, and what our own files read back as.
#include "platform/errors.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"

#include <QColor>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace orbino;

namespace {

QString fixture(const QString& name) {
    return QStringLiteral(ORBINO_TEST_DATA "/rtf/") + name;
}

// "Arial 10 b i u s #rrggbb sup caps": the attributes a teacher can set, in one
// comparable string. Unset family or size show as "-".
QString describe(const QTextCharFormat& f) {
    const QStringList families = f.fontFamilies().toStringList();
    QStringList parts;
    parts << (families.isEmpty() ? QStringLiteral("-") : families.first());
    parts << (f.hasProperty(QTextFormat::FontPointSize) ? QString::number(f.fontPointSize())
                                                        : QStringLiteral("-"));
    if (f.fontWeight() >= QFont::DemiBold)
        parts << QStringLiteral("b");
    if (f.fontItalic())
        parts << QStringLiteral("i");
    if (f.fontUnderline())
        parts << QStringLiteral("u");
    if (f.fontStrikeOut())
        parts << QStringLiteral("s");
    if (f.foreground().style() != Qt::NoBrush)
        parts << f.foreground().color().name();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        parts << QStringLiteral("sup");
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        parts << QStringLiteral("sub");
    if (f.fontCapitalization() == QFont::AllUppercase)
        parts << QStringLiteral("caps");
    if (f.fontCapitalization() == QFont::SmallCaps)
        parts << QStringLiteral("scaps");
    return parts.join(u' ');
}

// Format of the first character of the first occurrence of `text`.
QString formatOf(QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return QStringLiteral("<not found>");
    QTextCursor c(&doc);
    c.setPosition(found.selectionStart() + 1);
    return describe(c.charFormat());
}

QString alignmentOf(QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return QStringLiteral("<not found>");
    const Qt::Alignment a = found.block().blockFormat().alignment();
    if (a & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    if (a & Qt::AlignJustify)
        return QStringLiteral("justify");
    return QStringLiteral("left");
}

// Every character with its format, paragraph by paragraph: two documents are
// the same to the learner exactly when these are equal.
QStringList charactersWithFormats(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString d = describe(it.fragment().charFormat());
            for (const QChar c : it.fragment().text())
                out << QString(c) + u'|' + d;
        }
        out << QStringLiteral("<par>");
    }
    return out;
}

QTextCharFormat makeFormat(const QString& family, double points, bool b, bool i, bool u, bool s,
                           QColor color = QColor()) {
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(points);
    if (b)
        f.setFontWeight(QFont::Bold);
    f.setFontItalic(i);
    f.setFontUnderline(u);
    f.setFontStrikeOut(s);
    if (color.isValid())
        f.setForeground(color);
    return f;
}

// A document of `text` ('\n' separates paragraphs) whose words take the
// formats below in turn, so that neighbouring runs always differ.
void buildDocument(QTextDocument& doc, const QString& text) {
    QList<QTextCharFormat> formats = {
        makeFormat(QStringLiteral("Arial"), 10, false, false, false, false),
        makeFormat(QStringLiteral("Arial"), 12, true, false, false, false),
        makeFormat(QStringLiteral("Times New Roman"), 10.5, false, true, false, false, Qt::red),
        makeFormat(QStringLiteral("Arial"), 14, false, false, true, false, QColor(0, 0, 128)),
        makeFormat(QStringLiteral("Courier New"), 9, false, false, false, true),
        makeFormat(QStringLiteral("Písmo Školy"), 20, true, true, true, false, QColor(0, 128, 0)),
        makeFormat(QStringLiteral("Arial"), 10, false, false, false, false),
        makeFormat(QStringLiteral("Arial"), 10, true, false, false, false),
        makeFormat(QStringLiteral("Arial"), 10, false, false, false, false),
    };
    // Raised, lowered and capitals: each beside a neighbour that differs
    // only in that.
    formats[6].setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    formats[6].setFontCapitalization(QFont::SmallCaps);
    formats[7].setVerticalAlignment(QTextCharFormat::AlignSubScript);
    formats[8].setFontCapitalization(QFont::AllUppercase);
    QTextCursor c(&doc);
    int next = 0;
    const QStringList paragraphs = text.split(u'\n');
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        if (p > 0)
            c.insertBlock();
        const QStringList words = paragraphs[p].split(u' ');
        for (qsizetype w = 0; w < words.size(); ++w) {
            const QTextCharFormat& f = formats[next++ % formats.size()];
            c.insertText(w + 1 < words.size() ? words[w] + u' ' : words[w], f);
        }
    }
}

QByteArray rtf(const char* body) {
    return QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 "
                      "Arial;}}") +
           body + '}';
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private slots:
    void readsText_data();
    void readsText();
    void readsFormats_data();
    void readsFormats();
    void readsFixtures_data();
    void readsFixtures();
    void survivesMalformedInput_data();
    void survivesMalformedInput();
    void survivesRandomBytes();
    void readsNonRtfAsPlainText_data();
    void readsNonRtfAsPlainText();
    void writesRtf_data();
    void writesRtf();
    void roundTrip_data();
    void roundTrip();
    void fileErrors();
    void libreOfficeReadsOurFiles();
    void plainTextAgreesWithDocument();
    void paragraphsKeepTheirOwnFormats_data();
    void paragraphsKeepTheirOwnFormats();
};

void TestRtf::readsText_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("lines");

    // Paragraphs, line breaks and tabs.
    QTest::newRow("paragraphs") << rtf("a\\par b") << QStringList{"a", "b"};
    QTest::newRow("last par adds no paragraph") << rtf("a\\par b\\par ") << QStringList{"a", "b"};
    QTest::newRow("empty paragraphs kept")
        << rtf("a\\par\\par b\\par\\par ") << QStringList{"a", "", "b", ""};
    QTest::newRow("line break starts a line") << rtf("a\\line b") << QStringList{"a", "b"};
    QTest::newRow("tab") << rtf("a\\tab b") << QStringList{"a\tb"};
    QTest::newRow("backslash newline is par") << rtf("a\\\r\nb") << QStringList{"a", "b"};
    QTest::newRow("file line ends ignored") << rtf("a\r\nb\rc\nd") << QStringList{"abcd"};
    QTest::newRow("empty document") << rtf("") << QStringList{};
    QTest::newRow("escaped specials") << rtf("\\{x\\}\\\\") << QStringList{"{x}\\"};
    QTest::newRow("special characters")
        << rtf("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\_x\\-y")
        << QStringList{
               QStringLiteral("\u2014\u2013\u2022\u2018\u2019\u201c\u201d\u00a0\u2011x\u00ady")};
    QTest::newRow("page and section breaks")
        << rtf("a\\page b\\sect c\\par\\page d") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("table cells") << rtf("\\intbl a\\cell b\\cell\\row c")
                                 << QStringList{"a\tb\t", "c"};

    // Code pages: \'xx follows the current font's charset, \ansicpg otherwise.
    auto font = [](int charset, const char* hex) {
        return QByteArray("{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset") +
               QByteArray::number(charset) + " X;}}\\f0 " + hex + "}";
    };
    QTest::newRow("charset 238") << font(238, "\\'e8\\'9a\\'9e\\'9d") << QStringList{"čšžť"};
    QTest::newRow("charset 0") << font(0, "\\'e8\\'e9\\'80") << QStringList{"èé€"};
    QTest::newRow("charset 1 is ansicpg") << font(1, "\\'e8") << QStringList{"č"};
    QTest::newRow("charset 161") << font(161, "\\'e1\\'e2\\'e3") << QStringList{"αβγ"};
    QTest::newRow("charset 162") << font(162, "\\'fe\\'f0") << QStringList{"şğ"};
    QTest::newRow("charset 163") << font(163, "\\'f5") << QStringList{"ơ"};
    QTest::newRow("charset 177") << font(177, "\\'f9\\'ec\\'e5\\'ed") << QStringList{"שלום"};
    QTest::newRow("charset 178") << font(178, "\\'d3\\'e1\\'c7\\'e3") << QStringList{"سلام"};
    QTest::newRow("charset 186") << font(186, "\\'e0\\'f0") << QStringList{"ąš"};
    QTest::newRow("charset 204") << font(204, "\\'cc\\'e8\\'f0") << QStringList{"Мир"};
    QTest::newRow("charset 222") << font(222, "\\'a1") << QStringList{"ก"};
    QTest::newRow("charset 128 double byte")
        << font(128, "\\'82\\'a0\\'82\\'a2") << QStringList{"あい"};
    QTest::newRow("charset 134 double byte")
        << font(134, "\\'c4\\'e3\\'ba\\'c3") << QStringList{"你好"};
    QTest::newRow("charset 136 double byte") << font(136, "\\'a7\\'41") << QStringList{"你"};
    QTest::newRow("charset 129 double byte") << font(129, "\\'c7\\'d1") << QStringList{"한"};
    QTest::newRow("invalid double-byte dropped") << font(128, "a\\'a0b") << QStringList{"ab"};
    QTest::newRow("raw bytes in code page") << font(204, "\xcc\xe8\xf0") << QStringList{"Мир"};
    QTest::newRow("ansicpg without fonts")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cc\\'e8\\'f0}") << QStringList{"Мир"};
    QTest::newRow("controls among 1250 bytes dropped")
        << rtf("a\\'00b\\'07c\\'09d\x01"
               "e\\'1f\\'e8")
        << QStringList{QStringLiteral("abc\tde\u010d")};
    QTest::newRow("double byte around 1250 bytes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset238 A;}{\\f1\\fcharset128 B;}}"
                      "\\f1\\'82\\'a0\\f0 x\\'e8\\f1\\'82\\'a2\\f0\\'9a}")
        << QStringList{QStringLiteral("\u3042x\u010d\u3044\u0161")};
    QTest::newRow("no code page means 1250")
        << QByteArray("{\\rtf1 \\'e8\\'9d}") << QStringList{"čť"};
    QTest::newRow("font switch mid word")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset238 A;}{\\f1\\fcharset204 B;}}"
                      "\\f0\\'e8\\f1\\'e8\\f0\\'e8}")
        << QStringList{QStringLiteral("\u010d\u0438\u010d")};
    // Letters and escapes are read a stretch at a time: whatever changes how
    // the next byte reads ends the stretch there.
    QTest::newRow("escapes in hidden text") << rtf("a\\v s\\'e8\\v0 \\'e8b") << QStringList{"ačb"};
    QTest::newRow("escapes after a fallback") << rtf("\\u269\\'e8\\'e8x") << QStringList{"ččx"};
    QTest::newRow("short escapes") << rtf("a\\'e b\\'") << QStringList{"a b"};
    QTest::newRow("long run with dropped controls")
        << rtf(QByteArray("\\'e8x\\'00\r\n").repeated(300).constData())
        << QStringList{QStringLiteral("čx").repeated(300)};
    QTest::newRow("cpg overrides charset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1251 A;}}\\f0\\'e8}")
        << QStringList{"и"};

    // \uN and the fallback characters after it.
    QTest::newRow("u with question mark") << rtf("\\u269?\\u345?") << QStringList{"čř"};
    QTest::newRow("u with hex fallback") << rtf("\\u269\\'e8x") << QStringList{"čx"};
    QTest::newRow("u negative") << rtf("\\u-3913?") << QStringList{QString(QChar(0xF0B7))};
    QTest::newRow("u surrogate pair") << rtf("\\u-10179?\\u-8704?") << QStringList{"😀"};
    QTest::newRow("uc2 skips two") << rtf("\\uc2\\u20320\\'c4\\'e3x") << QStringList{"你x"};
    QTest::newRow("uc0 skips none") << rtf("\\uc0\\u269 x") << QStringList{"čx"};
    QTest::newRow("uc scoped by group")
        << rtf("{\\uc2\\u269\\'63\\'63}\\u353\\'73x") << QStringList{"čšx"};
    QTest::newRow("fallback skip stops at group") << rtf("\\uc3\\u269 a{b}c") << QStringList{"čbc"};
    QTest::newRow("u inside words")
        << rtf("x\\u269?y\\u345 ?z\\u13?w\\u65536?v\\u-32769?u\\u8240\\'e8t")
        << QStringList{QStringLiteral("xčyřzwvu‰t")};
    QTest::newRow("fallback after a line end") << rtf("a\\u269\r\n?b") << QStringList{"ačb"};
    QTest::newRow("uc2 inside words") << rtf("{\\uc2 a\\u269??b}c") << QStringList{"ačbc"};
    QTest::newRow("control word as fallback") << rtf("\\u8226\\bullet x") << QStringList{"•x"};

    // \bin data is never text, whatever bytes it holds.
    QTest::newRow("bin skips braces") << rtf("a{\\*\\x\\bin5 }}\\{c}b") << QStringList{"ab"};
    QTest::newRow("bin in body") << rtf("a\\bin3 xyzb") << QStringList{"ab"};

    // Destinations whose text is not part of the body.
    QTest::newRow("ignorable destination") << rtf("a{\\*\\unknown secret}b") << QStringList{"ab"};
    QTest::newRow("nested ignorable") << rtf("a{\\*\\x{b}{c{d}}}e") << QStringList{"ae"};
    const char* skipped[] = {"stylesheet",
                             "info",
                             "pict",
                             "header",
                             "headerl",
                             "headerr",
                             "headerf",
                             "footer",
                             "footerl",
                             "footerr",
                             "footerf",
                             "listtable",
                             "listoverridetable",
                             "rsidtbl",
                             "generator",
                             "xmlnstbl",
                             "themedata",
                             "colorschememapping",
                             "latentstyles",
                             "datastore",
                             "object",
                             "objdata",
                             "fldinst",
                             "footnote",
                             "shppict",
                             "nonshppict",
                             "pn",
                             "annotation"};
    for (const char* d : skipped) {
        QTest::addRow("destination %s", d)
            << rtf((QByteArray("a{\\") + d + " secret{\\b more}}b").constData())
            << QStringList{"ab"};
    }
    QTest::newRow("field keeps its result")
        << rtf("{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt odkaz}}") << QStringList{"odkaz"};
    QTest::newRow("list text is shown") << rtf("{\\pntext 1.\\tab}a") << QStringList{"1.\ta"};
    QTest::newRow("hidden text") << rtf("a\\v secret\\v0 b") << QStringList{"ab"};
    QTest::newRow("capitals keep the letters as written")
        << rtf("{\\caps mal\\caps0 \\scaps e}p\\up6 2\\dn3 3") << QStringList{"malep23"};
    QTest::newRow("optional hyphen in a long word")
        << rtf("nad\\-z\\'e1\\-klad\\-n\\'e1")
        << QStringList{QStringLiteral("nad\u00adzá\u00adklad\u00adná")};

    // A symbol font's bytes are its own glyphs, whatever the code page: the
    // rich-text control draws every bulleted list so.
    const QByteArray symbolHead = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss"
                                  "\\fcharset238 Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}";
    QTest::newRow("bulleted list of the rich-text control")
        << symbolHead + "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0"
                        "{\\pntxtb\\'b7}}\\fi-200\\li200\\f0 prv\\'e1\\par{\\pntext\\f1\\'b7"
                        "\\tab}druh\\'e1\\par}"
        << QStringList{QStringLiteral("\u2022\tprvá"), QStringLiteral("\u2022\tdruhá")};
    QTest::newRow("Greek letters and arrows") << symbolHead + "\\f1 abp\\'ae\\'b4\\'a5 W\\f0\\'e1}"
                                              << QStringList{QStringLiteral("αβπ→×∞ Ωá")};
    // Wingdings is charset 2 too, but its glyphs are not the Symbol font's.
    QTest::newRow("picture font keeps its bytes")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fnil\\fcharset2 Wingdings;}}"
                      "\\f1\\'a7\\f0 a}")
        << QStringList{QStringLiteral("§a")};

    // Where the document ends.
    QTest::newRow("text after outer brace")
        << QByteArray("{\\rtf1 a}b{\\rtf1 c}") << QStringList{"a"};
    QTest::newRow("trailing NUL") << QByteArray("{\\rtf1 a\\par }\r\n\0", 17) << QStringList{"a"};
    QTest::newRow("leading whitespace and BOM")
        << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 a}") << QStringList{"a"};
}

void TestRtf::readsText() {
    QFETCH(QByteArray, data);
    QFETCH(QStringList, lines);
    QTextDocument doc;
    QVERIFY(readRtf(data, doc));
    QCOMPARE(plainLines(doc), lines);
    QVERIFY(!doc.isModified());
    QCOMPARE(readRtfPlainText(data), doc.toPlainText());
}

void TestRtf::readsFormats_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QString>("format");

    const QByteArray head =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 "
        "Arial;}{\\f1\\froman\\fcharset238 Times New Roman;}"
        "{\\f2\\fcharset238 P\\'edsmo \\'8akoly;}{\\f3\\fnil\\fcharset2 Symbol;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}";
    auto row = [&](const char* name, const char* body, const char* probe, const char* format) {
        QTest::newRow(name) << head + body + '}' << QString::fromUtf8(probe)
                            << QString::fromUtf8(format);
    };
    row("default size is 12", "x", "x", "Arial 12");
    row("half points", "\\fs21 x", "x", "Arial 10.5");
    row("font family", "\\f1 x", "x", "Times New Roman 12");
    row("hex in font name", "\\f2 x", "x", "Písmo Školy 12");
    row("bold", "\\b x\\b0 y", "x", "Arial 12 b");
    row("bold off", "\\b x\\b0 y", "y", "Arial 12");
    row("italic", "\\i x", "x", "Arial 12 i");
    row("underline", "\\ul x\\ul0 y", "x", "Arial 12 u");
    row("ulnone", "\\ul x\\ulnone y", "y", "Arial 12");
    row("double underline", "\\uldb x", "x", "Arial 12 u");
    row("strike", "\\strike x\\strike0 y", "x", "Arial 12 s");
    row("strike off", "\\strike x\\strike0 y", "y", "Arial 12");
    row("colour", "\\cf1 x", "x", "Arial 12 #ff0000");
    row("colour 2", "\\cf2 x", "x", "Arial 12 #000080");
    row("automatic colour", "\\cf1 y\\cf0 x", "x", "Arial 12");
    row("colour out of table", "\\cf99 x", "x", "Arial 12");
    row("group restores", "{\\b\\i\\f1\\fs40\\cf1 y}x", "x", "Arial 12");
    row("plain resets", "\\b\\i\\ul\\strike\\cf1\\f1\\fs40 y\\plain x", "x", "Arial 12");
    row("all at once", "\\f1\\fs30\\b\\i\\ul\\strike\\cf2 x", "x",
        "Times New Roman 15 b i u s #000080");
    row("unknown font keeps size", "\\f9\\fs16 x", "x", "- 8");
    row("formats across a par", "\\b a\\par x", "x", "Arial 12 b");
    row("superscript", "m\\super x\\nosupersub y", "x", "Arial 12 sup");
    row("superscript ends", "m\\super 2\\nosupersub x", "x", "Arial 12");
    row("subscript", "H{\\sub x}O", "x", "Arial 12 sub");
    row("raised", "m\\up6 x", "x", "Arial 12 sup");
    row("lowered", "m\\dn4 x", "x", "Arial 12 sub");
    row("raised by nothing", "\\up6 m\\up0 x", "x", "Arial 12");
    row("plain resets position", "\\super\\caps m\\plain x", "x", "Arial 12");
    row("capitals", "\\caps x", "x", "Arial 12 caps");
    row("small capitals", "\\scaps x\\scaps0 y", "x", "Arial 12 scaps");
    row("small capitals off", "\\scaps x\\scaps0 y", "y", "Arial 12");
    // More looks than are kept at hand, then the first one again.
    row("a look seen again after many others",
        "\\fs20 a\\fs22 b\\fs24 c\\fs26 d\\fs28 e\\fs30 f\\fs32 g\\fs34 h\\b i\\b0\\fs20 x"
        "\\b y",
        "x", "Arial 10");
    row("symbol run keeps the surrounding font", "{\\f3\\'b7}x", "\u2022", "- 12");
}

void TestRtf::readsFormats() {
    QFETCH(QByteArray, data);
    QFETCH(QString, probe);
    QFETCH(QString, format);
    QTextDocument doc;
    QVERIFY(readRtf(data, doc));
    QCOMPARE(formatOf(doc, probe), format);
}

void TestRtf::readsFixtures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("probes"); // text = expected format or alignment

    QTest::newRow("windows rich-text control")
        << QStringLiteral("richedit_1250.rtf")
        << QStringList{"Lekcia 1: Úprava textu",
                       "Text môžete zvýrazniť, podčiarknuť alebo prečiarknuť.",
                       "Pozor: dôležité upozornenie\tkoniec",
                       "Prvý riadok",
                       "druhý riadok",
                       "•\tOdrážka s ďalším textom",
                       "Crème brûlée",
                       "",
                       "1. úloha\t2 body"}
        << QStringList{
               "Lekcia=Arial 14 b",        "Lekcia=align center",    "môžete=Arial 10",
               "zvýrazniť=Arial 10 i",     "podčiarknuť=Arial 10 u", "prečiarknuť=Arial 10 s",
               "Pozor=Arial 10 b #ff0000", "dôležité=Arial 10",      "druhý=Arial 10 #000080",
               "Odrážka=align left",       "Crème=Arial 10",         "úloha=Times New Roman 12"};
    QTest::newRow("word processor")
        << QStringLiteral("wordprocessor.rtf")
        << QStringList{"Nadpis kapitoly",    "Bežný text, tučný, kurzíva a modrý podčiarknutý.",
                       "•\tPrvá odrážka",    "Unicode: čřあ a 😀.",
                       "Привет αβγ 你好",    "odkaz za obrázkom",
                       "Poznámka na konci.", "Koniec"}
        << QStringList{"Nadpis=Arial 16 b",
                       "Bežný=Times New Roman 12",
                       "tučný=Times New Roman 12 b",
                       "kurzíva=Times New Roman 12 i",
                       "modrý=Times New Roman 12 u #0000ff",
                       "•=Písmo Školy 12",
                       "你好=宋体 12",
                       "Привет=Arial Cyr 12",
                       "odkaz=Times New Roman 12 u #0000ff"};
}

void TestRtf::readsFixtures() {
    QFETCH(QString, file);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, probes);
    QTextDocument doc;
    QVERIFY(loadRtfFile(fixture(file), doc));
    QCOMPARE(plainLines(doc), lines);
    for (const QString& p : probes) {
        const QString text = p.section(u'=', 0, 0);
        const QString expected = p.section(u'=', 1);
        const QString actual = expected.startsWith(QLatin1String("align "))
                                   ? QStringLiteral("align ") + alignmentOf(doc, text)
                                   : formatOf(doc, text);
        QCOMPARE(actual, expected);
    }
}

void TestRtf::survivesMalformedInput_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("lines"); // the text that could be read

    QTest::newRow("truncated in text") << QByteArray("{\\rtf1 abc") << QStringList{"abc"};
    QTest::newRow("truncated in word") << QByteArray("{\\rtf1 abc\\pa") << QStringList{"abc"};
    QTest::newRow("truncated after backslash") << QByteArray("{\\rtf1 abc\\") << QStringList{"abc"};
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 abc\\'e") << QStringList{"abc"};
    QTest::newRow("truncated in font table")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << QStringList{};
    QTest::newRow("truncated in uN") << QByteArray("{\\rtf1 a\\u26") << QStringList{"a"};
    QTest::newRow("unbalanced closing") << QByteArray("{\\rtf1 a}}}}b") << QStringList{"a"};
    QTest::newRow("unbalanced opening") << QByteArray("{\\rtf1 a{{{b") << QStringList{"ab"};
    QTest::newRow("bad hex digits") << QByteArray("{\\rtf1 a\\'zzb}") << QStringList{"azzb"};
    QTest::newRow("bin huge") << QByteArray("{\\rtf1 a\\bin99999999999999999999 xyz}")
                              << QStringList{"a"};
    QTest::newRow("bin negative") << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringList{"ab"};
    QTest::newRow("bin without number") << QByteArray("{\\rtf1 a\\bin b}") << QStringList{"ab"};
    QTest::newRow("font size huge") << QByteArray("{\\rtf1 \\fs2147483648 a}") << QStringList{"a"};
    QTest::newRow("font size negative") << QByteArray("{\\rtf1 \\fs-40 a}") << QStringList{"a"};
    QTest::newRow("uc huge") << QByteArray("{\\rtf1 \\uc2147483647\\u269 abc}") << QStringList{"č"};
    QTest::newRow("u huge") << QByteArray("{\\rtf1 \\u99999999999 a\\u-99999 b}") << QStringList{};
    QTest::newRow("font number huge")
        << QByteArray("{\\rtf1{\\fonttbl{\\f4294967296\\fcharset238 A;}}\\f4294967296 \\'e8}")
        << QStringList{"č"};
    QTest::newRow("colour number huge")
        << QByteArray("{\\rtf1{\\colortbl;\\red999;}\\cf-7 a}") << QStringList{"a"};
    QTest::newRow("control word very long")
        << QByteArray("{\\rtf1 a\\") + QByteArray(100000, 'x') + QByteArray(" b}")
        << QStringList{"ab"};
    QTest::newRow("number very long")
        << QByteArray("{\\rtf1 a\\fs") + QByteArray(100000, '9') + QByteArray(" b}")
        << QStringList{"ab"};
    QTest::newRow("deep nesting 100000")
        << QByteArray("{\\rtf1 a") + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "b}"
        << QStringList{"ab"};
    QTest::newRow("deep nesting unclosed")
        << QByteArray("{\\rtf1 a") + QByteArray(100000, '{') + "x" << QStringList{"a"};
    QTest::newRow("nesting just inside the limit")
        << QByteArray("{\\rtf1 a") + QByteArray(900, '{') + "x" + QByteArray(900, '}') + "b}"
        << QStringList{"axb"};
    QTest::newRow("control bytes dropped") << QByteArray("{\\rtf1 a\x01\x02\x7f\0b}", 14)
                                           << QStringList{"a\x7f"
                                                          "b"};
    QTest::newRow("many paragraphs")
        << QByteArray("{\\rtf1 ") + QByteArray("\\par ").repeated(20000) + "x}"
        << QStringList(20000, QString()) + QStringList{"x"};
    QTest::newRow("many format changes")
        << QByteArray("{\\rtf1 ") + QByteArray("{\\b a}{\\i b}").repeated(20000) + "}"
        << QStringList{QString(QStringLiteral("ab")).repeated(20000)};
}

void TestRtf::survivesMalformedInput() {
    QFETCH(QByteArray, data);
    QFETCH(QStringList, lines);
    QTextDocument doc;
    QVERIFY(readRtf(data, doc));
    QCOMPARE(plainLines(doc), lines);
    QCOMPARE(readRtfPlainText(data), doc.toPlainText());
}

void TestRtf::survivesRandomBytes() {
    // Garbage with enough RTF syntax in it to reach the deeper paths.
    QRandomGenerator random(20240301);
    const char alphabet[] = "{}\\'*;0123456789-abfilnpqrsuv \r\n\xe8\x9a";
    for (int round = 0; round < 300; ++round) {
        QByteArray data("{\\rtf1");
        const int length = int(random.bounded(2000));
        for (int i = 0; i < length; ++i) {
            data.append(random.bounded(4) == 0
                            ? char(random.bounded(256))
                            : alphabet[random.bounded(int(sizeof alphabet) - 1)]);
        }
        QTextDocument doc;
        QVERIFY(readRtf(data, doc));
        QCOMPARE(readRtfPlainText(data), doc.toPlainText());
        // Whatever came in must write out and read back.
        QTextDocument again;
        QVERIFY(readRtf(writeRtf(doc), again));
        QCOMPARE(plainLines(again), plainLines(doc));
    }
}

void TestRtf::readsNonRtfAsPlainText_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("1250 text with CR LF")
        << QByteArray("\xc8o\x9en\xfd\r\nriadok 2\r\n") << QStringList{"Čožný", "riadok 2", ""};
    QTest::newRow("lone LF and CR") << QByteArray("a\nb\rc") << QStringList{"a", "b", "c"};
    QTest::newRow("rtf later in the file")
        << QByteArray("text {\\rtf1 a}") << QStringList{"text {\\rtf1 a}"};
    QTest::newRow("control characters dropped") << QByteArray("a\x04\0b", 4) << QStringList{"ab"};
    QTest::newRow("empty") << QByteArray() << QStringList{};
}

void TestRtf::readsNonRtfAsPlainText() {
    QFETCH(QByteArray, data);
    QFETCH(QStringList, lines);
    QTextDocument doc;
    QVERIFY(!readRtf(data, doc));
    QCOMPARE(plainLines(doc), lines);
    QCOMPARE(readRtfPlainText(data), doc.toPlainText());
}

void TestRtf::writesRtf_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTextCharFormat>("format");
    QTest::addColumn<QByteArray>("expected");

    const QTextCharFormat plain =
        makeFormat(QStringLiteral("Arial"), 10, false, false, false, false);
    QTest::newRow("header") << QStringLiteral("x") << plain
                            << QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0");
    QTest::newRow("font table") << QStringLiteral("x") << plain
                                << QByteArray("{\\f0\\fnil\\fcharset238 Arial;}");
    QTest::newRow("font name in 1250")
        << QStringLiteral("x")
        << makeFormat(QStringLiteral("Písmo"), 10, false, false, false, false)
        << QByteArray("\\fcharset238 P\\'edsmo;}");
    QTest::newRow("1250 letter") << QStringLiteral("á") << plain << QByteArray("\\'e1");
    QTest::newRow("euro is 1250") << QStringLiteral("€") << plain << QByteArray("\\'80");
    QTest::newRow("greek as u") << QStringLiteral("α") << plain << QByteArray("\\u945?");
    QTest::newRow("above 32767 negative")
        << QStringLiteral("\uff01") << plain << QByteArray("\\u-255?");
    QTest::newRow("emoji as two u")
        << QStringLiteral("😀") << plain << QByteArray("\\u-10179?\\u-8704?");
    QTest::newRow("braces and backslash")
        << QStringLiteral("{\\}") << plain << QByteArray("\\{\\\\\\}");
    QTest::newRow("tab") << QStringLiteral("a\tb") << plain << QByteArray("a\\tab b");
    QTest::newRow("line break") << QStringLiteral("a\u2028b") << plain << QByteArray("a\\line b");
    QTest::newRow("size in half points")
        << QStringLiteral("x")
        << makeFormat(QStringLiteral("Arial"), 10.5, false, false, false, false)
        << QByteArray("\\fs21 x");
    QTest::newRow("bold") << QStringLiteral("x")
                          << makeFormat(QStringLiteral("Arial"), 10, true, false, false, false)
                          << QByteArray("\\b x");
    QTest::newRow("italic underline strike")
        << QStringLiteral("x") << makeFormat(QStringLiteral("Arial"), 10, false, true, true, true)
        << QByteArray("\\i\\ul\\strike x");
    QTest::newRow("colour") << QStringLiteral("x")
                            << makeFormat(QStringLiteral("Arial"), 10, false, false, false, false,
                                          QColor(255, 0, 10))
                            << QByteArray("{\\colortbl ;\\red255\\green0\\blue10;}");
    QTest::newRow("colour used") << QStringLiteral("x")
                                 << makeFormat(QStringLiteral("Arial"), 10, false, false, false,
                                               false, Qt::blue)
                                 << QByteArray("\\cf1 x\\par");
    QTest::newRow("par and line end") << QStringLiteral("x") << plain << QByteArray("x\\par\r\n}");
    QTest::newRow("soft hyphen, non-breaking hyphen and space")
        << QStringLiteral("a\u00adb\u2011c\u00a0d") << plain << QByteArray("a\\-b\\_c\\~d");
    QTextCharFormat raised = plain;
    raised.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    QTest::newRow("superscript") << QStringLiteral("x") << raised << QByteArray("\\super x");
    QTextCharFormat lowered = plain;
    lowered.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    QTest::newRow("subscript") << QStringLiteral("x") << lowered << QByteArray("\\sub x");
    QTextCharFormat capitals = plain;
    capitals.setFontCapitalization(QFont::AllUppercase);
    QTest::newRow("capitals") << QStringLiteral("x") << capitals << QByteArray("\\caps x");
    capitals.setFontCapitalization(QFont::SmallCaps);
    QTest::newRow("small capitals") << QStringLiteral("x") << capitals << QByteArray("\\scaps x");
}

void TestRtf::writesRtf() {
    QFETCH(QString, text);
    QFETCH(QTextCharFormat, format);
    QFETCH(QByteArray, expected);
    QTextDocument doc;
    QTextCursor(&doc).insertText(text, format);
    const QByteArray out = writeRtf(doc);
    QVERIFY2(out.contains(expected), out.constData());
}

void TestRtf::roundTrip_data() {
    QTest::addColumn<QString>("text");
    const QString slovak = QStringLiteral("áäčďéíĺľňóôŕšťúýž ÁÄČĎÉÍĹĽŇÓÔŔŠŤÚÝŽ");
    QTest::newRow("slovak diacritics") << slovak + u' ' + slovak;
    QTest::newRow("every word a format")
        << QStringLiteral("Žiak číta úlohu a vyplní tabuľku podľa vzoru");
    QTest::newRow("outside 1250") << QStringLiteral("Ελληνικά кириллица 漢字テキスト 😀 ﬁ ł €");
    QTest::newRow("rtf specials") << QStringLiteral("{zátvorky} a \\lomka\\ \\par \\'e8 ;");
    QTest::newRow("tabs and line breaks")
        << QStringLiteral("1. úloha\t2 body\u2028druhý riadok\t\t koniec");
    QTest::newRow("paragraphs") << QStringLiteral("prvý\n\ntretí\nštvrtý");
    QTest::newRow("hyphens and spaces")
        << QStringLiteral("nad\u00adzá\u00adklad\u00adný a\u2011b c\u00a0d m2 H2O e f g h");
    QTest::newRow("trailing empty paragraph") << QStringLiteral("text\n");
    QTest::newRow("only empty paragraphs") << QStringLiteral("\n\n");
    QTest::newRow("long paragraph")
        << QStringLiteral("Dlhý odsek so slovami, ktoré sa opakujú; ").repeated(60);
    QTest::newRow("long word") << QStringLiteral("č").repeated(300) +
                                      QStringLiteral("x").repeated(700);
}

void TestRtf::roundTrip() {
    QFETCH(QString, text);
    QTextDocument doc;
    buildDocument(doc, text);
    {
        QTextCursor c(doc.begin());
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.setBlockFormat(centred);
    }

    const QByteArray out = writeRtf(doc);
    for (const char byte : out)
        QVERIFY2(static_cast<unsigned char>(byte) < 0x80, "output must be 7-bit ASCII");
    for (const QByteArray& line : out.split('\n'))
        QVERIFY2(line.size() <= 256, line.constData()); // 255 and the CR

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lekcia.rtf"));
    saveRtfFile(path, doc);
    QTextDocument back;
    QVERIFY(loadRtfFile(path, back));

    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(plainLines(back), plainLines(doc));
    QCOMPARE(charactersWithFormats(back), charactersWithFormats(doc));
    QCOMPARE(alignmentOf(back, back.begin().text().left(1)),
             alignmentOf(doc, doc.begin().text().left(1)));
    if (doc.blockCount() > 1)
        QCOMPARE(back.lastBlock().blockFormat().alignment() & Qt::AlignHCenter, Qt::Alignment());
    // Writing what was read gives the same bytes: nothing drifts on re-saving.
    QCOMPARE(writeRtf(back), out);
}

void TestRtf::fileErrors() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QTextDocument doc;
    QTextCursor(&doc).insertText(QStringLiteral("stará lekcia"));

    QVERIFY(!loadRtfFile(dir.filePath(QStringLiteral("chyba.rtf")), doc));
    QVERIFY(doc.isEmpty());

    const QString blocked = dir.filePath(QStringLiteral("nie/je/tu.rtf"));
    try {
        saveRtfFile(blocked, doc);
        QFAIL("saving into a missing folder must throw");
    } catch (const FileError& e) {
        QCOMPARE(e.path(), blocked);
        QVERIFY(!e.reason().isEmpty());
    }

    // A failed save leaves the old file whole.
    const QString path = dir.filePath(QStringLiteral("lekcia.rtf"));
    QTextCursor(&doc).insertText(QStringLiteral("pôvodný text"));
    saveRtfFile(path, doc);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QTextCursor(&doc).insertText(QStringLiteral("nový "));
    bool threw = false;
    try {
        saveRtfFile(path, doc);
    } catch (const FileError&) {
        threw = true;
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QTextDocument back;
    QVERIFY(loadRtfFile(path, back));
    if (threw)
        QCOMPARE(plainLines(back), QStringList{QStringLiteral("pôvodný text")});
}

void TestRtf::libreOfficeReadsOurFiles() {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("soffice (LibreOffice) is not installed: interoperability of written RTF with "
              "LibreOffice is NOT checked on this machine");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("Normal "),
                 makeFormat(QStringLiteral("Arial"), 10, false, false, false, false));
    c.insertText(QStringLiteral("Boldword"),
                 makeFormat(QStringLiteral("Arial"), 10, true, false, false, false));
    c.insertText(QStringLiteral(" Redword"),
                 makeFormat(QStringLiteral("Arial"), 10, false, false, false, false, Qt::red));
    c.insertBlock();
    c.insertText(QStringLiteral("Žltučký kôň"),
                 makeFormat(QStringLiteral("Arial"), 10, false, false, false, false));
    const QString rtfPath = dir.filePath(QStringLiteral("lekcia.rtf"));
    saveRtfFile(rtfPath, doc);

    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(soffice,
                  {QStringLiteral("-env:UserInstallation=file://") + dir.filePath("profile"),
                   QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                   QStringLiteral("html"), QStringLiteral("--outdir"), dir.path(), rtfPath});
    QVERIFY(process.waitForFinished(180000));
    QFile html(dir.filePath(QStringLiteral("lekcia.html")));
    QVERIFY2(html.open(QIODevice::ReadOnly), qPrintable(process.readAllStandardError()));
    // LibreOffice wraps its HTML lines wherever it likes: compare the text
    // with every run of blanks and line ends taken as one blank.
    const QString out = QString::fromUtf8(html.readAll()).simplified();
    QVERIFY(out.contains(QStringLiteral("Normal")));
    QVERIFY(out.contains(QStringLiteral("Žltučký kôň")) ||
            out.contains(QStringLiteral("&Zcaron;lt")) || out.contains(QStringLiteral("&#381;lt")));
    QVERIFY(out.contains(QRegularExpression(QStringLiteral("<b>\\s*Boldword"))));
    QVERIFY(out.contains(QRegularExpression(
                QStringLiteral("color=\"#ff0000\"[^>]*>\\s*(<[^>]*>\\s*)*Redword"),
                QRegularExpression::CaseInsensitiveOption)) ||
            out.contains(QRegularExpression(
                QStringLiteral("color:\\s*#ff0000[^>]*>\\s*(<[^>]*>\\s*)*Redword"),
                QRegularExpression::CaseInsensitiveOption)));
}

// The full-text index reads lessons through the plain-text pass; it must
// give what the lesson shows, for every lesson of the sample course, the
// fixtures, and the characters a document keeps apart (non-breaking spaces,
// line breaks, symbol fonts, hidden text, fallbacks after \uN).
void TestRtf::plainTextAgreesWithDocument() {
    QStringList files;
    QDirIterator it(QStringLiteral(ORBINO_EXAMPLES),
                    {QStringLiteral("*.rtf"), QStringLiteral("*.RTF")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    QVERIFY(files.size() >= 5);
    files << fixture(QStringLiteral("richedit_1250.rtf"))
          << fixture(QStringLiteral("wordprocessor.rtf"));
    for (const QString& f : files) {
        QTextDocument doc;
        QVERIFY(loadRtfFile(f, doc));
        const std::optional<QString> plain = loadRtfPlainText(f);
        QVERIFY2(plain, qPrintable(f));
        QCOMPARE(*plain, doc.toPlainText());
    }
    const QByteArray tricky[] = {
        rtf("a\\~b\\line c\\par\\page\\page d\\par\\par "),
        rtf("{\\v hidden}shown{\\*\\bkmkstart x}\\u269?\\uc2\\u268 ab\\'e8 {\\b\\par}"),
        QByteArray(
            "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}\\f1 \\'61\\'b7\\f0 x\\tab\\cell\\row }"),
        QByteArray(
            "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS;}}\\'82\\'a0\\par\\sect}"),
        QByteArray("nie je rtf\xa0\r\n\x96 a\x01"
                   "b\r"),
    };
    for (const QByteArray& data : tricky) {
        QTextDocument doc;
        readRtf(data, doc);
        QCOMPARE(readRtfPlainText(data), doc.toPlainText());
    }
    QVERIFY(!loadRtfPlainText(QStringLiteral("/nonexistent/lesson.rtf")));
}

// Each paragraph as "alignment|format of its paragraph mark|text": a
// paragraph takes the default paragraph format, not the one before it, and
// its mark the look of its first run (of the mark itself when empty),
// however the text of neighbouring paragraphs was put into the document.
void TestRtf::paragraphsKeepTheirOwnFormats_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("blocks");
    // The first paragraph is the document's own, whose mark keeps no format.
    QTest::newRow("centred paragraph, then one in the same look")
        << rtf("\\qc a\\par\\pard b\\par c")
        << QStringList{"center|- -|a", "left|Arial 12|b", "left|Arial 12|c"};
    QTest::newRow("right-aligned, then empty ones")
        << rtf("\\b\\qr a\\par\\pard\\par\\b0\\par x\\qc\\par y")
        << QStringList{"right|- -|a", "left|Arial 12 b|", "left|Arial 12|", "center|Arial 12|x",
                       "center|Arial 12|y"};
    QTest::newRow("mark takes the first run's look")
        << rtf("a\\par\\b b\\b0 c\\par d\\par\\i\\par\\i0 e")
        << QStringList{"left|- -|a", "left|Arial 12 b|bc", "left|Arial 12|d", "left|Arial 12 i|",
                       "left|Arial 12|e"};
    QTest::newRow("page breaks after text in one look")
        << rtf("\\page a\\page\\page b\\qj\\par\\pard\\page c")
        << QStringList{"left|- -|a", "justify|Arial 12|b", "left|Arial 12|c"};
    // The run before the break emptied by a dropped byte: the paragraph
    // still holds text, put in with the previous run.
    QTest::newRow("page break after an emptied run")
        << rtf("x\\par\\b a\\b0\\'00\\page b")
        << QStringList{"left|- -|x", "left|Arial 12 b|a", "left|Arial 12|b"};
    QTest::newRow("alignment of the last paragraph")
        << rtf("a\\par\\qc b") << QStringList{"left|- -|a", "center|Arial 12|b"};
}

void TestRtf::paragraphsKeepTheirOwnFormats() {
    QFETCH(QByteArray, data);
    QFETCH(QStringList, blocks);
    // A document that had other text and formats before, as a text panel's.
    QTextDocument doc;
    QTextCursor old(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    old.insertText(QStringLiteral("staré"),
                   makeFormat(QStringLiteral("Courier New"), 30, true, true, false, false));
    old.mergeBlockFormat(centred);
    QVERIFY(readRtf(data, doc));
    QStringList actual;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment();
        const QString align = b.blockFormat().hasProperty(QTextFormat::BlockAlignment)
                                  ? ((a & Qt::AlignHCenter)   ? QStringLiteral("center")
                                     : (a & Qt::AlignRight)   ? QStringLiteral("right")
                                     : (a & Qt::AlignJustify) ? QStringLiteral("justify")
                                                              : QStringLiteral("explicit left"))
                                  : QStringLiteral("left");
        actual << align + u'|' + describe(b.charFormat()) + u'|' + b.text();
    }
    QCOMPARE(actual, blocks);
    QCOMPARE(readRtfPlainText(data), doc.toPlainText());
}

QTEST_APPLESS_MAIN(TestRtf)
#include "tst_rtf.moc"
