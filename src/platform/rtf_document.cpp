// The RTF reader's output into a formatted document; the reading itself is
// in rtf_reader.cpp.
#include "platform/errors.h"
#include "platform/rtf_output.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <array>

namespace orbino {

namespace {

// A look and the format made of it.
struct Format {
    rtf::RunLook look;
    QTextCharFormat format;
    bool inDocument = false; // the document's own copy, see adopt()
};

// Each insertion into a document costs far more than its characters, so
// text in one look is gathered and inserted at once, paragraph marks
// included: the document makes a block of each "\n", with the block format
// of the block it started in and the text's format as the block's character
// format. That is what block() makes of a paragraph whose first run has the
// look of the text before it, as long as the block it starts in has the
// default block format; otherwise the mark is inserted on its own. Runs
// never hold a "\n" of their own: the reader drops line ends, paragraph
// separators and frame marks with the other controls.
class DocumentOutput : public rtf::Output {
public:
    explicit DocumentOutput(QTextDocument& doc)
        : m_cursor(&doc), m_blockPlain(m_cursor.blockFormat() == QTextBlockFormat()) {}
    bool wantsLooks() const override { return true; }
    void text(QStringView run, const rtf::RunLook& look) override {
        gatherIn(look);
        m_pending += run;
    }
    void block(const rtf::RunLook& look) override {
        if (m_blockPlain) {
            gatherIn(look);
            m_pending += u'\n';
            return;
        }
        flush();
        m_cursor.insertBlock(QTextBlockFormat(), m_formats[formatFor(look)].format);
        m_blockPlain = true;
    }
    void align(Qt::Alignment alignment) override {
        flush();
        QTextBlockFormat f;
        f.setAlignment(alignment);
        m_cursor.mergeBlockFormat(f);
        m_blockPlain = false;
    }
    bool blockHasText() const override {
        const qsizetype mark = m_pending.lastIndexOf(u'\n');
        if (mark >= 0)
            return mark + 1 < m_pending.size();
        return !m_pending.isEmpty() || m_cursor.block().length() > 1;
    }
    // Inserts what is gathered; the document is complete after this.
    void flush() {
        if (m_pending.isEmpty())
            return;
        Format& f = m_formats[m_pendingFormat];
        m_cursor.insertText(m_pending, f.format);
        if (!f.inDocument)
            adopt(f);
        m_pending.resize(0); // keeps its buffer for the next run
    }
    QTextCursor& cursor() { return m_cursor; }

private:
    // Text in another look than the gathered text's first sends that in.
    void gatherIn(const rtf::RunLook& look) {
        if (!m_pending.isEmpty() && !(look == m_formats[m_pendingFormat].look))
            flush();
        if (m_pending.isEmpty())
            m_pendingFormat = formatFor(look);
    }
    int formatFor(const rtf::RunLook& look);
    void adopt(Format& f);

    QTextCursor m_cursor;
    bool m_blockPlain;       // the block the cursor is in has the default block format
    QString m_pending;       // text not yet inserted, "\n" ending blocks, all in one look
    int m_pendingFormat = 0; // its format in m_formats
    // Recently used formats; a handful covers the alternation of plain and
    // emphasised runs in lesson texts. The one of the gathered text is never
    // replaced: another look sends the text in first.
    std::array<Format, 8> m_formats;
    int m_formatCount = 0;
    int m_nextFormat = 0;
};

int DocumentOutput::formatFor(const rtf::RunLook& look) {
    for (int i = 0; i < m_formatCount; ++i) {
        if (m_formats[i].look == look)
            return i;
    }
    QTextCharFormat f;
    if (!look.family.isEmpty())
        f.setFontFamilies({look.family});
    f.setFontPointSize(look.halfPoints / 2.0);
    if (look.bold)
        f.setFontWeight(QFont::Bold);
    if (look.italic)
        f.setFontItalic(true);
    if (look.underline)
        f.setFontUnderline(true);
    if (look.strike)
        f.setFontStrikeOut(true);
    if (look.valign == rtf::VAlign::Super)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (look.valign == rtf::VAlign::Sub)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    // Shown in capitals; the stored text keeps the letters as written.
    if (look.caps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (look.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (look.coloured)
        f.setForeground(QColor::fromRgb(look.rgb));
    const int slot = m_nextFormat;
    m_formats[slot] = {look, f};
    m_nextFormat = (m_nextFormat + 1) % static_cast<int>(m_formats.size());
    m_formatCount = std::min(m_formatCount + 1, static_cast<int>(m_formats.size()));
    return slot;
}

// The document keeps one copy of each distinct format and finds it for
// every insertion by its hash, which a format computes once and keeps. A
// format built here is a new object whose hash is not yet known, and each
// insertion works on a copy of it: the hash would be computed again every
// time. The document's own copy, just inserted, already has it.
void DocumentOutput::adopt(Format& f) {
    f.inDocument = true;
    const QTextCharFormat stored = m_cursor.charFormat();
    if (stored == f.format)
        f.format = stored;
}

} // namespace

bool readRtf(const QByteArray& data, QTextDocument& doc) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    const bool rtf = rtf::looksLikeRtf(data);
    if (rtf) {
        DocumentOutput out(doc);
        out.cursor().beginEditBlock();
        rtf::readRtfInto(data, out);
        out.flush();
        out.cursor().endEditBlock();
    } else {
        QTextCursor(&doc).insertText(rtf::plainFileText(data));
    }
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return rtf;
}

bool loadRtfFile(const QString& path, QTextDocument& doc) {
    // Through the course-file reader: a FIFO or a device in the lesson's
    // place must not block or fill memory.
    QByteArray data;
    try {
        data = readFileBytes(path, kMaxLessonBytes);
    } catch (const FileError&) {
        doc.clear();
        return false;
    }
    readRtf(data, doc);
    return true;
}

QStringList plainLines(const QTextDocument& doc) {
    QStringList lines;
    if (doc.isEmpty())
        return lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QChar::LineSeparator || text[i] == u'\v') {
                lines.append(text.mid(from, i - from));
                from = i + 1;
            }
        }
        lines.append(text.mid(from));
    }
    return lines;
}

} // namespace orbino
