#include "platform/rtf_reader.h"

#include "platform/errors.h"
#include "platform/rtf_codepages.h"
#include "platform/textfile.h"

#include "platform/rtf_output.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace orbino {

namespace {

// Deeper groups are skipped (their text is lost) but parsing goes on, so the
// group stack never grows with hostile input.
constexpr int kMaxDepth = 1000;
// Course data comes from Central European Windows, whose ANSI code page is
// 1250; a file that names none was written there.
constexpr int kDefaultCodePage = 1250;
constexpr int kDefaultHalfPoints = 24; // RTF's default is 12 points
constexpr int kMaxHalfPoints = 3276;   // 1638 points, QFont's limit
constexpr int kParamLimit = 1'000'000'000;
constexpr int kMaxUnicodeSkip = 64;

enum class Dest : unsigned char { Body, Skip, FontTable, ColorTable };

using rtf::RunLook;
using rtf::VAlign;

struct CharState {
    int font = -1;
    int halfPoints = kDefaultHalfPoints;
    int color = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;
    VAlign valign = VAlign::Normal;
    // Compared before every stretch of text: as a whole, not field by field.
    bool operator==(const CharState& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};
static_assert(std::has_unique_object_representations_v<CharState>,
              "equal states must be equal bytes");

struct Group {
    Dest dest = Dest::Body;
    CharState chr;
    Qt::Alignment align = Qt::AlignLeft;
    int uc = 1; // fallback characters after \uN, scoped by group
};

struct FontEntry {
    int charset = 1;
    int codePage = 0; // from \cpg; 0 means "follow the charset"
    QString name;
    QByteArray nameBytes;
};

struct ColorEntry {
    bool automatic = true;
    QRgb rgb = 0;
};

enum class Kw : unsigned char {
    SkipDest,
    FontTbl,
    ColorTbl,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    Plain,
    F,
    Fs,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    Cf,
    V,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Dn,
    Caps,
    SmallCaps,
    Pard,
    Ql,
    Qc,
    Qr,
    Qj,
    Par,
    Sect,
    Page,
    Line,
    Tab,
    Cell,
    Row,
    U,
    Uc,
    Bin,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    Char, // a special character; the code is in Keyword::ch
};

struct Keyword {
    std::string_view name;
    Kw kw;
    char16_t ch = 0;
};

// Destinations whose text never reaches the body. Groups starting with \*
// are skipped without being listed.
constexpr std::string_view kSkipDestinations[] = {
    "annotation",
    "atnauthor",
    "atndate",
    "atnicn",
    "atnid",
    "atnparent",
    "atnref",
    "atntime",
    "atrfend",
    "atrfstart",
    "author",
    "bkmkend",
    "bkmkstart",
    "blipuid",
    "buptim",
    "category",
    "colorschememapping",
    "comment",
    "company",
    "creatim",
    "datafield",
    "datastore",
    "defchp",
    "defpap",
    "do",
    "doccomm",
    "docvar",
    "factoidname",
    "falt",
    "fchars",
    "ffdeftext",
    "ffentrymcr",
    "ffexitmcr",
    "ffformat",
    "ffhelptext",
    "ffl",
    "ffname",
    "ffstattext",
    "file",
    "filetbl",
    "fldinst",
    "fldtype",
    "footer",
    "footerf",
    "footerl",
    "footerr",
    "footnote",
    "formfield",
    "ftncn",
    "ftnsep",
    "ftnsepc",
    "aftncn",
    "aftnsep",
    "aftnsepc",
    "generator",
    "gridtbl",
    "header",
    "headerf",
    "headerl",
    "headerr",
    "hlinkbase",
    "info",
    "keywords",
    "latentstyles",
    "lchars",
    "levelnumbers",
    "leveltext",
    "lfolevel",
    "list",
    "listlevel",
    "listname",
    "listoverride",
    "listoverridetable",
    "listpicture",
    "liststylename",
    "listtable",
    "lsdlockedexcept",
    "mailmerge",
    "manager",
    "mmathPr",
    "nesttableprops",
    "nextfile",
    "nonesttables",
    "nonshppict",
    "objalias",
    "objclass",
    "objdata",
    "object",
    "objname",
    "objsect",
    "objtime",
    "oldcprops",
    "oldpprops",
    "oldsprops",
    "oldtprops",
    "oleclsid",
    "operator",
    "panose",
    "password",
    "passwordhash",
    "pgp",
    "pgptbl",
    "picprop",
    "pict",
    "pn",
    "pntxta",
    "pntxtb",
    "printim",
    "private",
    "propname",
    "protend",
    "protstart",
    "protusertbl",
    "pxe",
    "revtbl",
    "revtim",
    "rsidtbl",
    "rxe",
    "shp",
    "shpgrp",
    "shpinst",
    "shppict",
    "shprslt",
    "shptxt",
    "sn",
    "sp",
    "stylesheet",
    "subject",
    "sv",
    "tc",
    "template",
    "themedata",
    "title",
    "txe",
    "userprops",
    "wgrffmtfilter",
    "windowcaption",
    "writereservation",
    "writereservhash",
    "xe",
    "xform",
    "xmlattrname",
    "xmlattrvalue",
    "xmlclose",
    "xmlname",
    "xmlnstbl",
    "xmlopen",
};

std::vector<Keyword> buildKeywords() {
    std::vector<Keyword> k = {
        {"fonttbl", Kw::FontTbl},
        {"colortbl", Kw::ColorTbl},
        {"ansi", Kw::Ansi},
        {"mac", Kw::Mac},
        {"pc", Kw::Pc},
        {"pca", Kw::Pca},
        {"ansicpg", Kw::AnsiCpg},
        {"deff", Kw::Deff},
        {"plain", Kw::Plain},
        {"f", Kw::F},
        {"fs", Kw::Fs},
        {"b", Kw::B},
        {"i", Kw::I},
        {"ul", Kw::Ul},
        {"ulnone", Kw::UlNone},
        {"strike", Kw::Strike},
        {"striked", Kw::Strike},
        {"cf", Kw::Cf},
        {"v", Kw::V},
        {"super", Kw::Super},
        {"sub", Kw::Sub},
        {"nosupersub", Kw::NoSuperSub},
        {"up", Kw::Up},
        {"dn", Kw::Dn},
        {"caps", Kw::Caps},
        {"scaps", Kw::SmallCaps},
        {"pard", Kw::Pard},
        {"ql", Kw::Ql},
        {"qc", Kw::Qc},
        {"qr", Kw::Qr},
        {"qj", Kw::Qj},
        {"qd", Kw::Qj},
        {"par", Kw::Par},
        {"sect", Kw::Sect},
        {"page", Kw::Page},
        {"line", Kw::Line},
        {"tab", Kw::Tab},
        {"cell", Kw::Cell},
        {"nestcell", Kw::Cell},
        {"row", Kw::Row},
        {"nestrow", Kw::Row},
        {"u", Kw::U},
        {"uc", Kw::Uc},
        {"bin", Kw::Bin},
        {"fcharset", Kw::FCharset},
        {"cpg", Kw::Cpg},
        {"red", Kw::Red},
        {"green", Kw::Green},
        {"blue", Kw::Blue},
        {"emdash", Kw::Char, 0x2014},
        {"endash", Kw::Char, 0x2013},
        {"emspace", Kw::Char, 0x2003},
        {"enspace", Kw::Char, 0x2002},
        {"qmspace", Kw::Char, 0x2005},
        {"bullet", Kw::Char, 0x2022},
        {"lquote", Kw::Char, 0x2018},
        {"rquote", Kw::Char, 0x2019},
        {"ldblquote", Kw::Char, 0x201C},
        {"rdblquote", Kw::Char, 0x201D},
        {"zwj", Kw::Char, 0x200D},
        {"zwnj", Kw::Char, 0x200C},
        {"ltrmark", Kw::Char, 0x200E},
        {"rtlmark", Kw::Char, 0x200F},
    };
    // Every kind of underline the word processors write is shown as one.
    for (std::string_view u :
         {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
          "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
        k.push_back({u, Kw::Ul});
    for (std::string_view d : kSkipDestinations)
        k.push_back({d, Kw::SkipDest});
    return k;
}

// Every control word is looked up: an open-addressed table, a quarter full.
class KeywordTable {
public:
    KeywordTable() : m_keywords(buildKeywords()) {
        m_slots.assign(std::bit_ceil(m_keywords.size() * 4), -1);
        for (std::size_t i = 0; i < m_keywords.size(); ++i) {
            std::size_t slot = hash(m_keywords[i].name) & (m_slots.size() - 1);
            while (m_slots[slot] >= 0)
                slot = (slot + 1) & (m_slots.size() - 1);
            m_slots[slot] = static_cast<int>(i);
        }
    }
    const Keyword* find(std::string_view name) const {
        for (std::size_t slot = hash(name) & (m_slots.size() - 1);;
             slot = (slot + 1) & (m_slots.size() - 1)) {
            const int i = m_slots[slot];
            if (i < 0)
                return nullptr;
            if (same(m_keywords[std::size_t(i)].name, name))
                return &m_keywords[std::size_t(i)];
        }
    }

private:
    // Names are a few letters: compared in line rather than by a call.
    static bool same(std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }
    static std::size_t hash(std::string_view name) {
        std::size_t h = 2166136261u; // FNV-1a
        for (const char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h ^ (h >> 13);
    }
    std::vector<Keyword> m_keywords;
    std::vector<int> m_slots; // index into m_keywords, -1 for a free slot
};

const Keyword* findKeyword(std::string_view name) {
    static const KeywordTable table;
    return table.find(name);
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
// Whether a byte ends a stretch of text: a group, a control or a line end.
bool endsText(char c) {
    static constexpr auto table = [] {
        std::array<bool, 256> t{};
        for (const unsigned char b : {'{', '}', '\\', '\r', '\n'})
            t[b] = true;
        return t;
    }();
    return table[static_cast<unsigned char>(c)];
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "\uN" with the one character standing in for it where \uN is not
// understood, in its usual form: N a character, the stand-in a plain byte.
// Returns where it ends, or nothing for any other form.
const char* unicodeWithStandIn(const char* p, const char* end, char16_t& c) {
    if (end - p < 3 || p[1] != 'u')
        return nullptr;
    const char* q = p + 2;
    const bool negative = *q == '-';
    if (negative)
        ++q;
    const char* digits = q;
    int value = 0;
    while (q < end && isDigit(*q) && q - digits < 6) {
        value = value * 10 + (*q - '0');
        ++q;
    }
    if (q == digits || (q < end && isDigit(*q)))
        return nullptr;
    if (q < end && *q == ' ')
        ++q;
    if (q == end || endsText(*q))
        return nullptr;
    const int n = negative ? -value : value;
    if (n < -32768 || n > 65535)
        return nullptr;
    c = static_cast<char16_t>(n < 0 ? n + 65536 : n);
    return q + 1;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Control characters (a writer's trailing NUL, what an invalid byte of a
// double-byte code page decodes to) and the marks Qt reserves for its own
// structure are never text of a lesson.
bool isDropped(char16_t c) {
    return (c < 0x20 && c != u'\t') || c == QChar::ObjectReplacementCharacter || c == 0xFDD0 ||
           c == 0xFDD1 || c == QChar::ParagraphSeparator;
}

// One reading of the tokens for both outputs: a formatted document, or its
// plain text alone (the full-text index needs nothing more, and building a
// document costs several times the reading).
class Reader {
public:
    explicit Reader(rtf::Output& out) : m_out(out), m_looks(out.wantsLooks()) {}

    void read(const char* p, const char* end);

private:
    // Tokens
    void controlWord(std::string_view name, bool hasParam, int param, const char*& p,
                     const char* end);
    void fontTableWord(Kw kw, int param);
    void colorTableWord(Kw kw, int param);
    bool documentWord(Kw kw, int param);
    bool characterWord(Kw kw, bool hasParam, int param);
    void paragraphWord(const Keyword& k, int param);
    void controlSymbol(char c, const char*& p, const char* end);
    void text(const char* begin, const char* end);
    void openGroup();
    bool closeGroup();

    // Body
    bool skipping() const { return m_overflow > 0 || top().dest == Dest::Skip; }
    bool consumeFallback() {
        if (m_fallback == 0)
            return false;
        --m_fallback;
        return true;
    }
    void appendBytes(const char* data, qsizetype n);
    bool inPlainBody();
    const char* plainBodyText(const char* p, const char* end);
    void appendChar(char16_t c);
    // Called for every stretch of text: the usual case, nothing changed, in line.
    void startRun() {
        if (!(top().chr == m_runState))
            startNewRun();
    }
    void startNewRun();
    void decodePending();
    void flushRun();
    void paragraph();
    void newBlock();
    bool blockHasText() const;
    void applyAlignment(Qt::Alignment align);
    const RunLook& lookFor(const CharState& s);
    int codePageOf(int font) {
        return font == m_codePageFont && !m_fontsChanged ? m_codePage : lookUpCodePage(font);
    }
    int lookUpCodePage(int font);

    // Tables
    void fontText(const char* begin, const char* end);
    void finishFontName();
    int nameCodePage(const FontEntry& f) const;
    void colorText(const char* begin, const char* end);

    Group& top() { return m_groups.back(); }
    const Group& top() const { return m_groups.back(); }

    rtf::Output& m_out;
    const bool m_looks; // whether the output uses them
    rtf::CodePageDecoder m_decoder;

    std::vector<Group> m_groups;
    int m_overflow = 0; // open groups beyond kMaxDepth
    int m_fallback = 0; // fallback characters still to skip after \uN

    int m_ansiCodePage = kDefaultCodePage;
    // The code page of the font used last: text looks it up for every run.
    int m_codePageFont = -1;
    int m_codePage = kDefaultCodePage;
    bool m_fontsChanged = true;
    int m_defaultFont = -1;
    QHash<int, FontEntry> m_fonts;
    int m_currentFont = -1; // the font table entry being read
    bool m_fontNameOpen = false;
    std::vector<ColorEntry> m_colors;
    ColorEntry m_colorBeingRead;

    // The run of text not yet in the document, all in one character format:
    // decoded text plus bytes still in their code page (kept together so
    // that double-byte characters split over \'xx pairs decode whole).
    CharState m_runState;
    std::u16string m_runText; // grown a character at a time: no call per character
    QByteArray m_pendingBytes;
    int m_pendingCodePage = 0;
    bool m_paragraphPending = false;            // a \par not yet turned into a block
    Qt::Alignment m_blockAlign = Qt::AlignLeft; // of the block the cursor is in

    // Recently built formats; a handful covers the alternation of plain and
    // emphasised runs in lesson texts.
    std::array<std::pair<CharState, RunLook>, 8> m_formatCache;
    int m_formatCacheSize = 0;
    int m_formatCacheNext = 0;
};

void Reader::read(const char* p, const char* end) {
    m_groups.reserve(64);
    m_groups.push_back(Group{}); // outside the document's outer group
    while (p < end) {
        const char c = *p;
        if (c == '{') {
            ++p;
            openGroup();
        } else if (c == '}') {
            ++p;
            if (!closeGroup())
                break; // the outer group closed: anything after it is not part of the text
        } else if (c == '\\') {
            if (end - p >= 4 && p[1] == '\'' && hexValue(p[2]) >= 0 && hexValue(p[3]) >= 0 &&
                inPlainBody()) {
                p = plainBodyText(p, end);
                continue;
            }
            ++p;
            if (p == end)
                break;
            if (isLetter(*p)) {
                const char* nameBegin = p;
                while (p < end && isLetter(*p))
                    ++p;
                // Longer names are unknown anyway; keep them unmatched.
                std::string_view name(nameBegin, std::min<std::size_t>(p - nameBegin, 32));
                if (p - nameBegin > 32)
                    name = std::string_view();
                bool hasParam = false;
                bool negative = false;
                long long value = 0;
                if (p < end && *p == '-' && p + 1 < end && isDigit(p[1])) {
                    negative = true;
                    ++p;
                }
                while (p < end && isDigit(*p)) {
                    hasParam = true;
                    if (value < kParamLimit)
                        value = value * 10 + (*p - '0');
                    ++p;
                }
                value = std::min<long long>(value, kParamLimit);
                if (p < end && *p == ' ')
                    ++p;
                controlWord(name, hasParam, static_cast<int>(negative ? -value : value), p, end);
            } else {
                const char symbol = *p++;
                controlSymbol(symbol, p, end);
            }
        } else if (c == '\r' || c == '\n') {
            ++p;
        } else {
            if (inPlainBody()) {
                p = plainBodyText(p, end);
                continue;
            }
            const char* begin = p;
            if (skipping()) {
                while (p < end && *p != '{' && *p != '}' && *p != '\\')
                    ++p;
                continue;
            }
            while (p < end && !endsText(*p))
                ++p;
            text(begin, p);
        }
    }
    flushRun();
    if (!m_paragraphPending)
        applyAlignment(top().align);
}

void Reader::openGroup() {
    m_fallback = 0;
    if (m_overflow > 0 || static_cast<int>(m_groups.size()) > kMaxDepth) {
        ++m_overflow;
        return;
    }
    m_groups.push_back(m_groups.back());
}

bool Reader::closeGroup() {
    m_fallback = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return true;
    }
    // The outer group's '}' ends the text; its state stays on top so that
    // the last paragraph still gets its alignment.
    if (m_groups.size() <= 2)
        return false;
    const Dest closing = top().dest;
    m_groups.pop_back();
    if (closing == Dest::FontTable) {
        finishFontName();
        m_fontNameOpen = false;
    }
    if ((closing == Dest::FontTable || closing == Dest::ColorTable) && top().dest != closing)
        m_formatCacheSize = 0; // fonts or colours may have changed
    return true;
}

void Reader::controlSymbol(char c, const char*& p, const char* end) {
    if (c == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && p < end && hexValue(*p) >= 0) {
            value = value * 16 + hexValue(*p);
            ++p;
            ++digits;
        }
        if (skipping() || consumeFallback() || digits == 0)
            return;
        const char byte = static_cast<char>(value);
        switch (top().dest) {
        case Dest::Body:
            appendBytes(&byte, 1);
            break;
        case Dest::FontTable:
            fontText(&byte, &byte + 1);
            break;
        default:
            break;
        }
        return;
    }
    if (c == '*') {
        top().dest = Dest::Skip;
        return;
    }
    if (skipping() || consumeFallback())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        text(&c, &c + 1);
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '-': // where the author allows a long word to break
        appendChar(0x00AD);
        break;
    case '\r':
    case '\n': // a backslash ending a line is a paragraph mark
        if (top().dest == Dest::Body)
            paragraph();
        break;
    default: // index and formula marks: nothing to show
        break;
    }
}

void Reader::controlWord(std::string_view name, bool hasParam, int param, const char*& p,
                         const char* end) {
    const Keyword* k = findKeyword(name);
    if (k && k->kw == Kw::Bin) {
        // The data is raw bytes: braces and backslashes in it mean nothing.
        const qsizetype n = std::clamp<qsizetype>(hasParam ? param : 0, 0, end - p);
        p += n;
        consumeFallback();
        return;
    }
    if (skipping())
        return;
    if (consumeFallback())
        return; // a control word standing in for the character of a \uN
    if (!k)
        return;
    Group& g = top();
    switch (k->kw) {
    case Kw::SkipDest:
        g.dest = Dest::Skip;
        return;
    case Kw::FontTbl:
        g.dest = Dest::FontTable;
        m_currentFont = -1;
        m_fontNameOpen = false;
        return;
    case Kw::ColorTbl:
        g.dest = Dest::ColorTable;
        m_colorBeingRead = ColorEntry{};
        return;
    default:
        break;
    }
    switch (g.dest) {
    case Dest::FontTable:
        fontTableWord(k->kw, param);
        return;
    case Dest::ColorTable:
        colorTableWord(k->kw, param);
        return;
    default:
        break;
    }
    if (documentWord(k->kw, param) || characterWord(k->kw, hasParam, param))
        return;
    paragraphWord(*k, param);
}

void Reader::fontTableWord(Kw kw, int param) {
    m_fontsChanged = true;
    switch (kw) {
    case Kw::F:
        finishFontName();
        m_currentFont = param;
        m_fonts[param] = FontEntry{}; // a font defined twice takes the later definition
        m_fontNameOpen = true;
        break;
    case Kw::FCharset:
        if (m_fonts.contains(m_currentFont))
            m_fonts[m_currentFont].charset = param;
        break;
    case Kw::Cpg:
        if (m_fonts.contains(m_currentFont))
            m_fonts[m_currentFont].codePage = param;
        break;
    case Kw::U:
        if (m_fontNameOpen && m_fonts.contains(m_currentFont)) {
            FontEntry& f = m_fonts[m_currentFont];
            f.name += m_decoder.decode(nameCodePage(f), f.nameBytes);
            f.nameBytes.clear();
            f.name += QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param));
        }
        m_fallback = std::clamp(top().uc, 0, kMaxUnicodeSkip);
        break;
    case Kw::Uc:
        top().uc = std::clamp(param, 0, kMaxUnicodeSkip);
        break;
    default:
        break;
    }
}

void Reader::colorTableWord(Kw kw, int param) {
    const int component = std::clamp(param, 0, 255);
    ColorEntry& c = m_colorBeingRead;
    switch (kw) {
    case Kw::Red:
        c.automatic = false;
        c.rgb = qRgb(component, qGreen(c.rgb), qBlue(c.rgb));
        break;
    case Kw::Green:
        c.automatic = false;
        c.rgb = qRgb(qRed(c.rgb), component, qBlue(c.rgb));
        break;
    case Kw::Blue:
        c.automatic = false;
        c.rgb = qRgb(qRed(c.rgb), qGreen(c.rgb), component);
        break;
    default:
        break;
    }
}

// The document's character set and default font.
bool Reader::documentWord(Kw kw, int param) {
    switch (kw) {
    case Kw::Ansi:
        m_ansiCodePage = 1252;
        break;
    case Kw::Mac:
        m_ansiCodePage = 10000;
        break;
    case Kw::Pc:
        m_ansiCodePage = 437;
        break;
    case Kw::Pca:
        m_ansiCodePage = 850;
        break;
    case Kw::AnsiCpg:
        if (param > 0)
            m_ansiCodePage = param;
        break;
    case Kw::Deff:
        m_defaultFont = param;
        top().chr.font = param;
        return true;
    default:
        return false;
    }
    m_fontsChanged = true;
    return true;
}

bool Reader::characterWord(Kw kw, bool hasParam, int param) {
    CharState& c = top().chr;
    const bool on = !hasParam || param != 0;
    switch (kw) {
    case Kw::Plain:
        c = CharState{.font = m_defaultFont};
        break;
    case Kw::F:
        c.font = param;
        break;
    case Kw::Fs:
        c.halfPoints = param > 0 ? std::min(param, kMaxHalfPoints) : kDefaultHalfPoints;
        break;
    case Kw::B:
        c.bold = on;
        break;
    case Kw::I:
        c.italic = on;
        break;
    case Kw::Ul:
        c.underline = on;
        break;
    case Kw::UlNone:
        c.underline = false;
        break;
    case Kw::Strike:
        c.strike = on;
        break;
    case Kw::Cf:
        c.color = std::max(param, 0);
        break;
    case Kw::V:
        c.hidden = on;
        break;
    case Kw::Super:
        c.valign = VAlign::Super;
        break;
    case Kw::Sub:
        c.valign = VAlign::Sub;
        break;
    case Kw::NoSuperSub:
        c.valign = VAlign::Normal;
        break;
    // Raised or lowered by half-points: shown as superscript or subscript,
    // the only shifts the document keeps.
    case Kw::Up:
        c.valign = hasParam && param == 0 ? VAlign::Normal : VAlign::Super;
        break;
    case Kw::Dn:
        c.valign = hasParam && param == 0 ? VAlign::Normal : VAlign::Sub;
        break;
    case Kw::Caps:
        c.caps = on;
        break;
    case Kw::SmallCaps:
        c.smallCaps = on;
        break;
    default:
        return false;
    }
    return true;
}

// Paragraphs, their alignment, and the characters written as control words.
void Reader::paragraphWord(const Keyword& k, int param) {
    Group& g = top();
    switch (k.kw) {
    case Kw::Pard:
    case Kw::Ql:
        g.align = Qt::AlignLeft;
        break;
    case Kw::Qc:
        g.align = Qt::AlignHCenter;
        break;
    case Kw::Qr:
        g.align = Qt::AlignRight;
        break;
    case Kw::Qj:
        g.align = Qt::AlignJustify;
        break;
    case Kw::Par:
    case Kw::Sect:
    case Kw::Row:
        paragraph();
        break;
    case Kw::Page:
        // A page break at the start of a paragraph has nothing to end.
        if (!m_paragraphPending &&
            (!m_runText.empty() || !m_pendingBytes.isEmpty() || blockHasText()))
            paragraph();
        break;
    case Kw::Line:
        appendChar(QChar::LineSeparator);
        break;
    case Kw::Tab:
    case Kw::Cell:
        appendChar(u'\t');
        break;
    case Kw::U:
        if (param >= -32768 && param <= 65535)
            appendChar(static_cast<char16_t>(param < 0 ? param + 65536 : param));
        m_fallback = g.uc;
        break;
    case Kw::Uc:
        g.uc = std::clamp(param, 0, kMaxUnicodeSkip);
        break;
    case Kw::Char:
        appendChar(k.ch);
        break;
    default:
        break;
    }
}

void Reader::text(const char* begin, const char* end) {
    while (m_fallback > 0 && begin < end) {
        ++begin;
        --m_fallback;
    }
    if (begin == end)
        return;
    switch (top().dest) {
    case Dest::Body:
        appendBytes(begin, end - begin);
        break;
    case Dest::FontTable:
        fontText(begin, end);
        break;
    case Dest::ColorTable:
        colorText(begin, end);
        break;
    case Dest::Skip:
        break;
    }
}

// Windows-1250 characters of the bytes, 0 for the bytes whose characters
// are dropped (isDropped: the controls).
std::array<char16_t, 256> build1250Text() {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const char16_t c = toUnicode1250(static_cast<uchar>(b));
        t[std::size_t(b)] = isDropped(c) ? 0 : c;
    }
    return t;
}

const std::array<char16_t, 256>& text1250() {
    static const std::array<char16_t, 256> table = build1250Text();
    return table;
}

void Reader::appendBytes(const char* data, qsizetype n) {
    if (top().chr.hidden)
        return;
    startRun();
    const int codePage = codePageOf(top().chr.font);
    if (codePage != m_pendingCodePage)
        decodePending();
    m_pendingCodePage = codePage;
    if (codePage != kDefaultCodePage) {
        m_pendingBytes.append(data, n);
        return;
    }
    // One byte is one character here: nothing waits for a following byte,
    // so the bytes go straight into the run.
    const std::array<char16_t, 256>& table = text1250();
    for (qsizetype i = 0; i < n; ++i) {
        if (const char16_t c = table[static_cast<uchar>(data[i])])
            m_runText.push_back(c);
    }
}

// Whether text and \'hh escapes here are body text in the default code
// page, nothing skipped, hidden or standing in for a \uN character.
bool Reader::inPlainBody() {
    return m_overflow == 0 && top().dest == Dest::Body && m_fallback == 0 && !top().chr.hidden &&
           codePageOf(top().chr.font) == kDefaultCodePage;
}

// Most of a lesson is letters and \'hh escapes (the accented ones) in one
// character format until the next control word or group, with now and then
// a letter outside the code page as \uN and its stand-in: read in one loop
// here, as appendBytes() and appendChar() would read them one token at a
// time. Starts at a text byte or at a complete escape, and stops at anything
// else.
const char* Reader::plainBodyText(const char* p, const char* end) {
    startRun();
    if (m_pendingCodePage != kDefaultCodePage)
        decodePending();
    m_pendingCodePage = kDefaultCodePage;
    const bool oneStandIn = top().uc == 1;
    const std::array<char16_t, 256>& table = text1250();
    // Characters go through a buffer here and into the run in blocks.
    std::array<char16_t, 256> buffer;
    std::size_t n = 0;
    while (p < end) {
        if (n == buffer.size()) {
            m_runText.append(buffer.data(), n);
            n = 0;
        }
        const char c = *p;
        uchar byte = static_cast<uchar>(c);
        if (c == '\\') {
            char16_t unicode = 0;
            if (const char* next = oneStandIn ? unicodeWithStandIn(p, end, unicode) : nullptr) {
                p = next;
                buffer[n] = unicode;
                n += !isDropped(unicode);
                continue;
            }
            if (end - p < 4 || p[1] != '\'')
                break;
            const int high = hexValue(p[2]);
            const int low = hexValue(p[3]);
            if (high < 0 || low < 0)
                break;
            byte = static_cast<uchar>(high * 16 + low);
            p += 4;
        } else if (c == '{' || c == '}') {
            break;
        } else {
            ++p;
            if (c == '\r' || c == '\n')
                continue;
        }
        buffer[n] = table[byte];
        n += buffer[n] != 0; // 0: a control character, dropped
    }
    m_runText.append(buffer.data(), n);
    return p;
}

void Reader::appendChar(char16_t c) {
    if (top().dest != Dest::Body || top().chr.hidden || isDropped(c))
        return;
    startRun();
    decodePending();
    m_runText.push_back(c);
}

void Reader::startNewRun() {
    flushRun();
    m_runState = top().chr;
}

void Reader::decodePending() {
    if (m_pendingBytes.isEmpty())
        return;
    const QString decoded = m_decoder.decode(m_pendingCodePage, m_pendingBytes);
    m_pendingBytes.resize(0); // keeps its buffer
    for (const QChar c : decoded) {
        if (!isDropped(c.unicode()))
            m_runText.push_back(c.unicode());
    }
}

void Reader::flushRun() {
    decodePending();
    if (m_runText.empty())
        return;
    if (m_paragraphPending) {
        newBlock();
        m_paragraphPending = false;
    }
    static const RunLook none;
    m_out.text(QStringView(m_runText), m_looks ? lookFor(m_runState) : none);
    m_runText.clear(); // keeps its buffer for the next run
}

// The block a run opens takes the run's format; an empty one the format in
// force at its paragraph mark.
void Reader::newBlock() {
    static const RunLook none;
    m_out.block(m_looks ? lookFor(m_runText.empty() ? top().chr : m_runState) : none);
    m_blockAlign = Qt::AlignLeft;
}

bool Reader::blockHasText() const {
    return m_out.blockHasText();
}

void Reader::paragraph() {
    flushRun();
    if (m_paragraphPending)
        newBlock();
    applyAlignment(top().align);
    m_paragraphPending = true;
}

void Reader::applyAlignment(Qt::Alignment align) {
    if (align == m_blockAlign)
        return;
    m_out.align(align);
    m_blockAlign = align;
}

int Reader::lookUpCodePage(int font) {
    auto it = m_fonts.constFind(font);
    if (it == m_fonts.constEnd())
        m_codePage = m_ansiCodePage;
    else if (it->codePage > 0)
        m_codePage = it->codePage;
    else
        m_codePage = rtf::codePageForCharset(it->charset, m_ansiCodePage);
    // Charset 2 also covers Wingdings and other picture fonts, whose glyphs
    // are not the Symbol font's: only a font named Symbol is read through its
    // table; the others keep their own family and the usual 1252 reading.
    if (m_codePage == rtf::kSymbolCodePage && it != m_fonts.constEnd() &&
        !it->name.startsWith(u"Symbol", Qt::CaseInsensitive))
        m_codePage = 1252;
    m_codePageFont = font;
    m_fontsChanged = false;
    return m_codePage;
}

// The look stays valid until the next call.
const RunLook& Reader::lookFor(const CharState& s) {
    for (int i = 0; i < m_formatCacheSize; ++i) {
        if (m_formatCache[i].first == s)
            return m_formatCache[i].second;
    }
    RunLook f;
    // A symbol font's bytes are turned into ordinary characters, which the
    // symbol font itself may not hold: those runs keep the surrounding font.
    auto font = m_fonts.constFind(s.font);
    if (font != m_fonts.constEnd() && !font->name.isEmpty() &&
        codePageOf(s.font) != rtf::kSymbolCodePage)
        f.family = font->name;
    f.halfPoints = s.halfPoints;
    f.bold = s.bold;
    f.italic = s.italic;
    f.underline = s.underline;
    f.strike = s.strike;
    f.valign = s.valign;
    f.caps = s.caps;
    f.smallCaps = s.smallCaps;
    if (s.color >= 0 && static_cast<std::size_t>(s.color) < m_colors.size() &&
        !m_colors[s.color].automatic) {
        f.coloured = true;
        f.rgb = m_colors[s.color].rgb;
    }
    const int slot = m_formatCacheNext;
    m_formatCache[slot] = {s, f};
    m_formatCacheNext = (m_formatCacheNext + 1) % static_cast<int>(m_formatCache.size());
    m_formatCacheSize = std::min(m_formatCacheSize + 1, static_cast<int>(m_formatCache.size()));
    return m_formatCache[slot].second;
}

void Reader::fontText(const char* begin, const char* end) {
    if (!m_fontNameOpen || !m_fonts.contains(m_currentFont))
        return;
    FontEntry& f = m_fonts[m_currentFont];
    for (const char* p = begin; p < end; ++p) {
        if (*p == ';') {
            finishFontName();
            m_fontNameOpen = false;
            return;
        }
        if (static_cast<unsigned char>(*p) >= 0x20)
            f.nameBytes.append(*p);
    }
}

// A symbol font's name is written in letters, not in its own glyphs.
int Reader::nameCodePage(const FontEntry& f) const {
    int codePage = f.codePage > 0 ? f.codePage : rtf::codePageForCharset(f.charset, m_ansiCodePage);
    return codePage == rtf::kSymbolCodePage ? 1252 : codePage;
}

void Reader::finishFontName() {
    auto it = m_fonts.find(m_currentFont);
    if (it == m_fonts.end() || !m_fontNameOpen)
        return;
    it->name += m_decoder.decode(nameCodePage(*it), it->nameBytes);
    it->name.removeIf([](QChar c) { return isDropped(c.unicode()); });
    it->name = it->name.trimmed();
    it->nameBytes.clear();
    // The name decides how a charset-2 font's bytes are read.
    m_fontsChanged = true;
}

void Reader::colorText(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p) {
        if (*p == ';') {
            m_colors.push_back(m_colorBeingRead);
            m_colorBeingRead = ColorEntry{};
        }
    }
}

// The text alone: blocks are lines.
class PlainOutput : public rtf::Output {
public:
    explicit PlainOutput(QString& text) : m_text(text) {}
    bool wantsLooks() const override { return false; }
    void text(QStringView run, const RunLook&) override { m_text += run; }
    void block(const RunLook&) override {
        m_text += u'\n';
        m_blockStart = m_text.size();
    }
    void align(Qt::Alignment) override {}
    bool blockHasText() const override { return m_text.size() > m_blockStart; }

private:
    QString& m_text;
    qsizetype m_blockStart = 0;
};

// What a document's plain text shows for the characters it keeps apart.
void asDocumentShowsIt(QString& text) {
    for (QChar& c : text) {
        if (c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
}

} // namespace

namespace rtf {

bool looksLikeRtf(const QByteArray& data) {
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' ||
                               data[i] == '\n' || data[i] == '\0'))
        ++i;
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf");
}

void readRtfInto(const QByteArray& data, Output& out) {
    const qsizetype start = data.indexOf('{');
    Reader(out).read(data.constData() + start, data.constData() + data.size());
}

QString plainFileText(const QByteArray& data) {
    QString text = rtf::CodePageDecoder().decode(1250, data);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.removeIf([](QChar c) { return c < u'\x20' && c != u'\t' && c != u'\n'; });
    return text;
}

} // namespace rtf

QString readRtfPlainText(const QByteArray& data) {
    QString text;
    if (rtf::looksLikeRtf(data)) {
        PlainOutput out(text);
        rtf::readRtfInto(data, out);
    } else {
        text = rtf::plainFileText(data);
    }
    asDocumentShowsIt(text);
    return text;
}

std::optional<QString> loadRtfPlainText(const QString& path) {
    try {
        return readRtfPlainText(readFileBytes(path, kMaxLessonBytes));
    } catch (const FileError&) {
        return std::nullopt;
    }
}

} // namespace orbino
