#pragma once
// Keyboard mnemonics (Alt+letter) for captions that come from course
// configuration: the caption stays as configured, one of its characters is
// marked. Only letters and digits a keyboard types without a dead key
// (a-z, 0-9, either case) are chosen.
#include <QSet>
#include <QString>

namespace orbino {

// Index in `caption` of the first character whose key is not in `used`, or
// -1. The key (lower case) is added to `used`.
int mnemonicPosition(const QString& caption, QSet<QChar>& used);

// `caption` with "&" before index `pos` (none when pos < 0), every literal
// "&" doubled so it is shown as written.
QString markMnemonic(const QString& caption, int pos);

// The caption a marked text shows: single "&" markers dropped, "&&" as "&".
QString withoutMnemonic(const QString& text);

// The key a marked text's mnemonic stands for (lower case), or a null QChar.
QChar mnemonicKey(const QString& text);

} // namespace orbino
