#include "platform/rtf_writer.h"

#include "platform/errors.h"
#include "platform/rtf_codepages.h"

#include <QHash>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <vector>

namespace orbino {

namespace {

// Past the soft limit a line end goes in before the next space or control
// word; past the hard one, before the next character. Readers ignore line
// ends in the text, and lines stay under 255 characters.
constexpr int kSoftLineLength = 200;
constexpr int kHardLineLength = 240;

struct RunState {
    int font = 0;
    int halfPoints = 20;
    int color = 0; // 0 is the table's automatic entry
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int valign = QTextCharFormat::AlignNormal; // or AlignSuperScript, AlignSubScript
    QFont::Capitalization caps = QFont::MixedCase;
    bool operator==(const RunState&) const = default;
};

class Writer {
public:
    explicit Writer(const QTextDocument& doc);
    QByteArray write();

private:
    QString familyOf(const QTextCharFormat& f) const;
    int halfPointsOf(const QTextCharFormat& f) const;
    static bool hasColor(const QTextCharFormat& f) { return f.foreground().style() != Qt::NoBrush; }
    void collectTables();
    void writeHeader();
    void writeBlock(const QTextBlock& block);
    void writeState(const RunState& s);
    void writeText(const QString& text);
    void word(const char* w);
    void word(const char* w, int param);
    void escape(const char* e, int n);
    void newLineIfLong(char16_t next);

    const QTextDocument& m_doc;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 20;

    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    std::vector<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;

    QByteArray m_out;
    qsizetype m_lineStart = 0;
    bool m_needDelimiter = false; // a control word was written and text follows
    // Nothing is assumed about the reader's defaults: the first paragraph
    // and the first run state everything.
    RunState m_state{.font = -1, .halfPoints = -1};
    Qt::Alignment m_align = Qt::AlignLeft;
    bool m_pardWritten = false;
};

Writer::Writer(const QTextDocument& doc) : m_doc(doc) {
    const QFont font = doc.defaultFont();
    const QStringList families = font.families();
    m_defaultFamily = !families.isEmpty() ? families.first() : font.family();
    if (m_defaultFamily.isEmpty())
        m_defaultFamily = QStringLiteral("Arial");
    double points = 10;
    if (font.pointSizeF() > 0)
        points = font.pointSizeF();
    else if (font.pixelSize() > 0)
        points = font.pixelSize() * 0.75; // the rich-text control's 96 dots per inch
    m_defaultHalfPoints = std::max(1, static_cast<int>(std::lround(points * 2)));
}

QString Writer::familyOf(const QTextCharFormat& f) const {
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return m_defaultFamily;
}

int Writer::halfPointsOf(const QTextCharFormat& f) const {
    double points = 0;
    if (f.hasProperty(QTextFormat::FontPointSize))
        points = f.fontPointSize();
    else if (f.hasProperty(QTextFormat::FontPixelSize))
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    if (!(points > 0))
        return m_defaultHalfPoints;
    return std::clamp(static_cast<int>(std::lround(points * 2)), 1, 3276);
}

void Writer::collectTables() {
    m_fonts.append(m_defaultFamily);
    m_fontIndex.insert(m_defaultFamily, 0);
    for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString family = familyOf(f);
            if (!m_fontIndex.contains(family)) {
                m_fontIndex.insert(family, static_cast<int>(m_fonts.size()));
                m_fonts.append(family);
            }
            if (hasColor(f)) {
                const QRgb rgb = f.foreground().color().rgb() | 0xFF000000u;
                if (!m_colorIndex.contains(rgb)) {
                    m_colors.push_back(rgb);
                    m_colorIndex.insert(rgb, static_cast<int>(m_colors.size()));
                }
            }
        }
    }
}

void Writer::word(const char* w) {
    m_out.append('\\').append(w);
    m_needDelimiter = true;
}

void Writer::word(const char* w, int param) {
    m_out.append('\\').append(w).append(QByteArray::number(param));
    m_needDelimiter = true;
}

void Writer::writeHeader() {
    m_out.append("{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051{\\fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        m_out.append("{\\f").append(QByteArray::number(i)).append("\\fnil\\fcharset238 ");
        // Font names take \'xx escapes but not every control word; a name
        // with characters outside the code page keeps them as \uN.
        for (const QChar ch : m_fonts[i]) {
            const char16_t c = ch.unicode();
            const unsigned char b = rtf::byte1250(c);
            if (c == u';' || c == u'{' || c == u'}' || c == u'\\' || c < 0x20) {
                continue;
            } else if (b != 0 && b < 0x80) {
                m_out.append(static_cast<char>(b));
            } else if (b != 0) {
                static const char hex[] = "0123456789abcdef";
                m_out.append("\\'").append(hex[b >> 4]).append(hex[b & 15]);
            } else {
                m_out.append("\\u").append(QByteArray::number(static_cast<short>(c))).append('?');
            }
        }
        m_out.append(";}");
        if (m_out.size() - m_out.lastIndexOf('\n') > kSoftLineLength)
            m_out.append("\r\n");
    }
    m_out.append("}\r\n");
    if (!m_colors.empty()) {
        m_out.append("{\\colortbl ;");
        for (QRgb c : m_colors) {
            m_out.append("\\red").append(QByteArray::number(qRed(c)));
            m_out.append("\\green").append(QByteArray::number(qGreen(c)));
            m_out.append("\\blue").append(QByteArray::number(qBlue(c))).append(';');
            if (m_out.size() - m_out.lastIndexOf('\n') > kSoftLineLength)
                m_out.append("\r\n");
        }
        m_out.append("}\r\n");
    }
    m_out.append("\\viewkind4\\uc1");
    m_needDelimiter = true;
    m_lineStart = m_out.lastIndexOf('\n') + 1;
}

void Writer::writeState(const RunState& s) {
    if (s == m_state)
        return;
    newLineIfLong(u' ');
    if (s.font != m_state.font)
        word("f", s.font);
    if (s.halfPoints != m_state.halfPoints)
        word("fs", s.halfPoints);
    if (s.bold != m_state.bold)
        word(s.bold ? "b" : "b0");
    if (s.italic != m_state.italic)
        word(s.italic ? "i" : "i0");
    if (s.underline != m_state.underline)
        word(s.underline ? "ul" : "ulnone");
    if (s.strike != m_state.strike)
        word(s.strike ? "strike" : "strike0");
    if (s.color != m_state.color)
        word("cf", s.color);
    if (s.valign != m_state.valign) {
        if (s.valign == QTextCharFormat::AlignSuperScript)
            word("super");
        else if (s.valign == QTextCharFormat::AlignSubScript)
            word("sub");
        else
            word("nosupersub");
    }
    if (s.caps != m_state.caps) {
        if (m_state.caps == QFont::AllUppercase)
            word("caps0");
        else if (m_state.caps == QFont::SmallCaps)
            word("scaps0");
        if (s.caps == QFont::AllUppercase)
            word("caps");
        else if (s.caps == QFont::SmallCaps)
            word("scaps");
    }
    m_state = s;
}

void Writer::escape(const char* e, int n) {
    m_out.append(e, n);
    m_needDelimiter = false;
}

void Writer::newLineIfLong(char16_t next) {
    const qsizetype column = m_out.size() - m_lineStart;
    if (column < kSoftLineLength || (next != u' ' && column < kHardLineLength))
        return;
    // A line end also ends a control word, so no space may follow it as a
    // delimiter: that space would be text.
    m_out.append("\r\n");
    m_lineStart = m_out.size();
    m_needDelimiter = false;
}

void Writer::writeText(const QString& text) {
    static const char hex[] = "0123456789abcdef";
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        newLineIfLong(c);
        if (c >= 0x20 && c < 0x80 && c != u'\\' && c != u'{' && c != u'}') {
            if (m_needDelimiter) {
                m_out.append(' ');
                m_needDelimiter = false;
            }
            m_out.append(static_cast<char>(c));
            continue;
        }
        switch (c) {
        case u'\\':
            escape("\\\\", 2);
            continue;
        case u'{':
            escape("\\{", 2);
            continue;
        case u'}':
            escape("\\}", 2);
            continue;
        case u'\t':
            word("tab");
            continue;
        case QChar::LineSeparator:
        case u'\v':
            word("line");
            continue;
        case QChar::ObjectReplacementCharacter:
            continue; // images are not kept
        // RTF's own symbols, which every reader knows, rather than bytes.
        case 0x00AD:
            escape("\\-", 2);
            continue;
        case 0x2011:
            escape("\\_", 2);
            continue;
        case 0x00A0:
            escape("\\~", 2);
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0xFDD0 || c == 0xFDD1)
            continue; // control characters and Qt's internal frame marks
        if (const unsigned char b = rtf::byte1250(c)) {
            const char e[4] = {'\\', '\'', hex[b >> 4], hex[b & 15]};
            escape(e, 4);
        } else {
            // \uN takes a signed 16-bit number; '?' is the fallback (\uc1).
            m_out.append("\\u").append(QByteArray::number(static_cast<short>(c))).append('?');
            m_needDelimiter = false;
        }
    }
}

void Writer::writeBlock(const QTextBlock& block) {
    Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (align != Qt::AlignHCenter && align != Qt::AlignRight && align != Qt::AlignJustify)
        align = Qt::AlignLeft;
    if (align != m_align || !m_pardWritten) {
        m_pardWritten = true;
        word("pard");
        if (align == Qt::AlignHCenter)
            word("qc");
        else if (align == Qt::AlignRight)
            word("qr");
        else if (align == Qt::AlignJustify)
            word("qj");
        m_align = align;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat f = fragment.charFormat();
        RunState s;
        s.font = m_fontIndex.value(familyOf(f));
        s.halfPoints = halfPointsOf(f);
        s.bold = f.fontWeight() >= QFont::DemiBold;
        s.italic = f.fontItalic();
        s.underline = f.fontUnderline() || f.underlineStyle() != QTextCharFormat::NoUnderline;
        s.strike = f.fontStrikeOut();
        s.color = hasColor(f) ? m_colorIndex.value(f.foreground().color().rgb() | 0xFF000000u) : 0;
        s.valign = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ||
                           f.verticalAlignment() == QTextCharFormat::AlignSubScript
                       ? int(f.verticalAlignment())
                       : int(QTextCharFormat::AlignNormal);
        const QFont::Capitalization caps = f.fontCapitalization();
        s.caps = caps == QFont::AllUppercase || caps == QFont::SmallCaps ? caps : QFont::MixedCase;
        writeState(s);
        writeText(fragment.text());
    }
    // Every paragraph, the last included, ends with \par as the rich-text
    // control writes it; readers do not make an empty paragraph of the last.
    word("par");
    m_out.append("\r\n");
    m_lineStart = m_out.size();
    m_needDelimiter = false;
}

QByteArray Writer::write() {
    collectTables();
    m_out.reserve(m_doc.characterCount() * 5 / 4 + 512);
    writeHeader();
    if (!m_doc.isEmpty()) {
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next())
            writeBlock(block);
    }
    m_out.append("}\r\n");
    return m_out;
}

} // namespace

QByteArray writeRtf(const QTextDocument& doc) {
    return Writer(doc).write();
}

void saveRtfFile(const QString& path, const QTextDocument& doc) {
    const QByteArray data = writeRtf(doc);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(path, file.errorString());
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileError(path, reason);
    }
    if (!file.commit())
        throw FileError(path, file.errorString());
}

} // namespace orbino
