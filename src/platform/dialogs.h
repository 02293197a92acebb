#pragma once
#include <QString>

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
};

} // namespace orbino
