#pragma once
// What a screen reader needs beyond the controls' names: text panels read
// line by line, Tab that moves on out of a text box, and short
// confirmations spoken as they appear.
class QAbstractScrollArea;
class QLabel;
class QPlainTextEdit;
class QString;

namespace orbino {

// A read-only text panel (QTextEdit or QPlainTextEdit) whose caret the
// arrow keys and Ctrl+Home move, so that a screen reader reads it by line;
// Tab moves on instead of typing. Kept so whenever the panel is made
// read-only again (after editing).
void readableByKeyboard(QAbstractScrollArea* panel);

// Tab moves on from a text box the learner types into; Ctrl+Tab types a tab.
void tabMovesOn(QPlainTextEdit* box);

// A label that a screen reader speaks as soon as it shows a new text (a
// status line): it is presented as a notification.
void makeStatusLine(QLabel* label);
void showOnStatusLine(QLabel* label, const QString& text);

} // namespace orbino
