#pragma once
#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <utility>
#include <vector>

namespace orbino::rtf {

// Windows' number for the symbol "code page": bytes of a symbol font are
// glyph numbers, read through the Symbol font's own table.
inline constexpr int kSymbolCodePage = 42;

// The code page that \'xx bytes of a font with this \fcharset are in.
// Charset 2 (symbol fonts) gives kSymbolCodePage. Charset 1 ("default") and unknown charsets give
// `ansiCodePage`, the document's \ansicpg.
int codePageForCharset(int charset, int ansiCodePage);

// Decodes bytes of Windows code pages, keeping one decoder per code page
// seen. A code page the converter does not know is read as Windows-1250,
// the code page the course data was written in.
class CodePageDecoder {
public:
    QString decode(int codePage, const QByteArray& bytes);

private:
    std::vector<std::pair<int, QStringDecoder>> m_decoders;
};

// The Windows-1250 byte for a UTF-16 code unit, or 0 when it has none.
// ASCII maps to itself (NUL excepted).
unsigned char byte1250(char16_t c);

} // namespace orbino::rtf
