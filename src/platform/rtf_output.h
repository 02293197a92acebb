#pragma once
// Where the RTF reader puts what it reads: a formatted document (the lesson
// windows, in rtf_document.cpp) or plain text alone (the full-text index).
// One reader serves both, so they never disagree about the text; the plain
// text needs nothing of Qt Gui, and the terminal tasks load none of it.
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QtGui/qrgb.h>

namespace orbino::rtf {

enum class VAlign : unsigned char { Normal, Super, Sub };

// How a run of text looks, as the reader resolved it from its font and
// colour tables.
struct RunLook {
    QString family; // empty: the document's own font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool caps = false;
    bool smallCaps = false;
    VAlign valign = VAlign::Normal;
    bool coloured = false;
    QRgb rgb = 0;
    bool operator==(const RunLook&) const = default;
};

class Output {
public:
    virtual ~Output() = default;
    // Whether text() and block() use their look: plain text does not.
    virtual bool wantsLooks() const = 0;
    // Text in one look, at the end of the current block; never a character
    // below U+0020 but the tab, nor a paragraph separator or a frame mark.
    virtual void text(QStringView run, const RunLook& look) = 0;
    // A new block; `look` is that of its first run, or of its paragraph mark.
    virtual void block(const RunLook& look) = 0;
    virtual void align(Qt::Alignment alignment) = 0;
    virtual bool blockHasText() const = 0;
};

// True when the bytes start (after a byte-order mark and blanks) with "{\rtf".
bool looksLikeRtf(const QByteArray& data);
// Reads RTF that looksLikeRtf() into `out`.
void readRtfInto(const QByteArray& data, Output& out);
// A file that is not RTF, as the rich-text control shows it: Windows-1250
// text, lines ending at CR LF, CR or LF ("\n" here), control characters
// dropped.
QString plainFileText(const QByteArray& data);

} // namespace orbino::rtf
