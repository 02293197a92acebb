#pragma once
#include <QString>
#include <QStringList>

namespace orbino {

enum class MsgKind { Information, Warning, Error, Confirmation };

// Every message box and Yes/No question goes through one prompter, so tests
// replace it with a script and nothing waits on a dialog.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void message(MsgKind kind, const QString& text) = 0;
    // Yes/No question; true for Yes. `kind` only picks the icon.
    virtual bool ask(MsgKind kind, const QString& text) = 0;
    // A question with buttons of its own ("Áno", "Nie", "Zrušiť"): the index
    // of the chosen one. Escape and the close box choose `escapeIndex`.
    // Without its own box, Yes is the first button and No the second.
    virtual int choose(MsgKind kind, const QString& text, const QStringList& buttons,
                       int escapeIndex) {
        (void)buttons;
        (void)escapeIndex;
        return ask(kind, text) ? 0 : 1;
    }
    // File dialogs: the chosen path, or empty text when the user cancelled.
    // Without a screen there is no one to ask: they cancel.
    virtual QString saveFileName(const QString& /*title*/, const QString& /*startPath*/,
                                 const QString& /*filter*/) {
        return {};
    }
    virtual QString existingFolder(const QString& /*title*/, const QString& /*startFolder*/) {
        return {};
    }
};

} // namespace orbino
