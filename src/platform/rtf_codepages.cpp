#include "platform/rtf_codepages.h"

#include "platform/textfile.h"

#include <array>

namespace orbino::rtf {

int codePageForCharset(int charset, int ansiCodePage) {
    switch (charset) {
    case 0:
        return 1252; // ANSI
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000; // Mac Roman
    case 128:
        return 932; // Shift-JIS
    case 129:
        return 949; // Hangul
    case 130:
        return 1361; // Johab
    case 134:
        return 936; // GB2312/GBK
    case 136:
        return 950; // Big5
    case 161:
        return 1253; // Greek
    case 162:
        return 1254; // Turkish
    case 163:
        return 1258; // Vietnamese
    case 177:
        return 1255; // Hebrew
    case 178:
        return 1256; // Arabic
    case 186:
        return 1257; // Baltic
    case 204:
        return 1251; // Cyrillic
    case 222:
        return 874; // Thai
    case 238:
        return 1250; // Eastern European
    case 255:
        return 437; // OEM
    default:
        return ansiCodePage;
    }
}

namespace {

const char* converterName(int codePage) {
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 852:
        return "IBM852";
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1251:
        return "windows-1251";
    case 1252:
        return "windows-1252";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 10029:
        return "x-mac-ce";
    default:
        return "windows-1250";
    }
}

} // namespace

namespace {

// The Symbol font's glyphs from 0x20 on, as Unicode characters; zero where
// the font has no glyph. Its letters are Greek, and B7 is the bullet that
// every bulleted list of the Windows rich-text control is drawn with.
// clang-format off
constexpr char16_t kSymbolTable[0xE0] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,  // 20
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,  // 28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  // 38
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,  // 40
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,  // 48
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,  // 50
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,  // 58
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,  // 60
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,  // 68
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,  // 70
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0x0000,  // 78
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 80
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 88
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 90
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 98
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,  // A0
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,  // A8
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,  // B0
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,  // B8
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,  // C0
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,  // C8
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,  // D0
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,  // D8
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,  // E0
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,  // E8
    0x0000, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,  // F0
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0x0000,  // F8
};
// clang-format on

QString decodeSymbol(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        // Below 0x20 are controls, which the reader drops; a byte without a
        // glyph shows as the replacement character rather than vanishing.
        const char16_t c = byte < 0x20 ? char16_t(byte) : kSymbolTable[byte - 0x20];
        text.append(QChar(c != 0 || byte == 0 ? c : char16_t(0xFFFD)));
    }
    return text;
}

} // namespace

QString CodePageDecoder::decode(int codePage, const QByteArray& bytes) {
    if (codePage == 1250)
        return decode1250(bytes);
    if (codePage == kSymbolCodePage)
        return decodeSymbol(bytes);
    for (auto& [cp, decoder] : m_decoders) {
        if (cp == codePage)
            return decoder.decode(bytes);
    }
    QStringDecoder decoder(converterName(codePage), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        decoder = QStringDecoder("windows-1250", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Latin1, QStringDecoder::Flag::Stateless);
    m_decoders.emplace_back(codePage, std::move(decoder));
    return m_decoders.back().second.decode(bytes);
}

namespace {

// The writer looks up every character: one flat table, filled once from the
// code page the course text files use.
std::array<unsigned char, 0x10000> build1250Table() {
    std::array<unsigned char, 0x10000> table{};
    for (int b = 1; b < 0x100; ++b) {
        const char16_t c = toUnicode1250(static_cast<unsigned char>(b));
        // The undefined bytes stand for C1 controls; a character is never
        // written that way.
        if (b < 0x80 || c >= 0xA0)
            table[c] = static_cast<unsigned char>(b);
    }
    return table;
}

} // namespace

unsigned char byte1250(char16_t c) {
    static const std::array<unsigned char, 0x10000> table = build1250Table();
    return table[c];
}

} // namespace orbino::rtf
