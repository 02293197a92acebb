#pragma once
// Pieces the five information windows share.
#include <QObject>
#include <functional>

class QLabel;
class QTextEdit;
class QWidget;

namespace orbino {

// Shrinks or grows `w` to hold its controls with `border` pixels all round;
// the controls' designed places are taken inside that border.
void sizeToControls(QWidget* w, int border);

// A text panel that only shows: no caret, no typing, no focus, grey
// ("silver") and borderless, but it still scrolls when the text is longer.
void makeDisplayOnly(QTextEdit* memo, bool silver = true);

// Every line of `memo` centred.
void centreLines(QTextEdit* memo);

// A label that reacts to a left click like a link: hand cursor, underlined
// blue text, `onClick` on release.
void makeClickable(QLabel* label, std::function<void()> onClick);

} // namespace orbino
