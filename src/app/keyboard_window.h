#pragma once
// Keyboard use shared by every window: Alt+letter mnemonics for menus and
// buttons, Enter pressing the focused button, Qt's own texts in the
// learner's language.
#include <QString>

class QAction;
class QApplication;
class QWidget;

namespace orbino {

// Enter presses the focused button in every window, and every window gets
// its mnemonics when it is shown. Once per application.
void installKeyboardHelper(QApplication& app);

// Qt's own texts (context menus of text fields, standard dialogs) in the
// system's language when Qt has them, else in Slovak, the course's language.
// Returns whether a translation was loaded.
bool loadQtTranslations(QApplication& app);

// Marks a mnemonic in every menu title and item of `window`'s menu bar (each
// menu on its own) and in every button of the window, top to bottom,
// skipping keys the menu bar already took; buttons with the property
// "mnemonicFirst" choose before the others. Shown captions do not change:
// buttons keep their text and get the underline drawn and an Alt shortcut;
// menu texts get an "&". Safe to call again after captions change.
void assignMnemonics(QWidget* window);

// An action's caption as configured, without the mnemonic marker it got.
QString configuredText(const QAction& action);

} // namespace orbino
