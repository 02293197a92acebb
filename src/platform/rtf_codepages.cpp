#include "platform/rtf_codepages.h"

#include "platform/textfile.h"

#include <array>

namespace orbino::rtf {

int codePageForCharset(int charset, int ansiCodePage) {
    switch (charset) {
    case 0:
        return 1252; // ANSI
    case 2:
        return 1252; // symbol fonts: their bytes are glyph numbers, 1252 is the usual fallback
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

QString CodePageDecoder::decode(int codePage, const QByteArray& bytes) {
    if (codePage == 1250)
        return decode1250(bytes);
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
