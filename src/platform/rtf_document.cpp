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

class DocumentOutput : public rtf::Output {
public:
    explicit DocumentOutput(QTextDocument& doc) : m_cursor(&doc) {}
    bool wantsLooks() const override { return true; }
    void text(const QString& run, const rtf::RunLook& look) override {
        m_cursor.insertText(run, format(look));
    }
    void block(const rtf::RunLook& look) override {
        m_cursor.insertBlock(QTextBlockFormat(), format(look));
    }
    void align(Qt::Alignment alignment) override {
        QTextBlockFormat f;
        f.setAlignment(alignment);
        m_cursor.mergeBlockFormat(f);
    }
    bool blockHasText() const override { return m_cursor.block().length() > 1; }
    QTextCursor& cursor() { return m_cursor; }

private:
    QTextCharFormat format(const rtf::RunLook& look);

    QTextCursor m_cursor;
    // Recently built formats; a handful covers the alternation of plain and
    // emphasised runs in lesson texts.
    std::array<std::pair<rtf::RunLook, QTextCharFormat>, 8> m_cache;
    int m_cacheSize = 0;
    int m_cacheNext = 0;
};

QTextCharFormat DocumentOutput::format(const rtf::RunLook& look) {
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
    m_cache[m_cacheNext] = {look, f};
    m_cacheNext = (m_cacheNext + 1) % static_cast<int>(m_cache.size());
    m_cacheSize = std::min(m_cacheSize + 1, static_cast<int>(m_cache.size()));
    return f;
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
