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
        if (!m_pending.isEmpty() && !(look == m_pendingLook))
            flush();
        if (m_pending.isEmpty())
            m_pendingLook = look;
        m_pending += run;
    }
    void block(const rtf::RunLook& look) override {
        if (!m_pending.isEmpty() && !(look == m_pendingLook))
            flush();
        if (m_blockPlain) {
            if (m_pending.isEmpty())
                m_pendingLook = look;
            m_pending += u'\n';
            return;
        }
        flush();
        m_cursor.insertBlock(QTextBlockFormat(), format(look));
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
        m_cursor.insertText(m_pending, format(m_pendingLook));
        m_pending.resize(0); // keeps its buffer for the next run
    }
    QTextCursor& cursor() { return m_cursor; }

private:
    const QTextCharFormat& format(const rtf::RunLook& look);

    QTextCursor m_cursor;
    bool m_blockPlain; // the block the cursor is in has the default block format
    QString m_pending; // text not yet inserted, "\n" ending blocks, all in one look
    rtf::RunLook m_pendingLook;
    // Recently built formats; a handful covers the alternation of plain and
    // emphasised runs in lesson texts.
    std::array<std::pair<rtf::RunLook, QTextCharFormat>, 8> m_cache;
    int m_cacheSize = 0;
    int m_cacheNext = 0;
};

// The format stays valid until the next call.
const QTextCharFormat& DocumentOutput::format(const rtf::RunLook& look) {
    for (int i = 0; i < m_cacheSize; ++i) {
        if (m_cache[i].first == look)
            return m_cache[i].second;
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
    const int slot = m_cacheNext;
    m_cache[slot] = {look, f};
    m_cacheNext = (m_cacheNext + 1) % static_cast<int>(m_cache.size());
    m_cacheSize = std::min(m_cacheSize + 1, static_cast<int>(m_cache.size()));
    return m_cache[slot].second;
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
