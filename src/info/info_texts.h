#pragma once
// Texts of the information windows that the program carries itself, and the
// small rules that turn them into what the windows show.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orbino {

// The about text is one string in which ";" ends a line. Every ";" closes
// one line, so two in a row give an empty line; a text ending with ";" has
// no empty line after it, and an empty text has no lines at all.
QStringList splitAtSemicolons(const QString& text);

// The mail label is kept in the program shifted down by kMailLabelKey so the
// address does not stand in the binary as plain text. Unscrambling raises
// every byte by the key, modulo 256; scrambling lowers it. Bytes, not
// characters: the label is a Windows-1250 string like every course text.
inline constexpr int kMailLabelKey = 3;
QByteArray scrambleLabel(const QByteArray& plain, int key = kMailLabelKey);
QByteArray unscrambleLabel(const QByteArray& stored, int key = kMailLabelKey);

// The stored (scrambled) mail label and what the windows show of it.
QByteArray storedMailLabel();
QString contactMailAddress();

// Lines of the about window, from its one ";"-separated text. The last line
// is "Bližšie informácie:", under which the mail label stands.
QStringList aboutLines();

// Texts of the write-to-us and credits windows.
QString authorsText();
QStringList postalAddressLines(); // four lines, two empty, the thanks, one empty
QStringList trademarkLines();     // six lines

struct CreditLine {
    QString what;    // left column
    QString address; // right column: a web address opened when clicked
};
// Four credits, in the order of the labels Label1/2 .. Label7/8.
QList<CreditLine> creditLines();

} // namespace orbino
