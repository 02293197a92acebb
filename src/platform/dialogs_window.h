#pragma once
#include "platform/dialogs.h"

#include <QPointer>
#include <functional>

class QWidget;

namespace orbino {

// Message boxes on the screen.
class WidgetPrompter : public Prompter {
public:
    void message(MsgKind kind, const QString& text) override;
    bool ask(MsgKind kind, const QString& text) override;
    int choose(MsgKind kind, const QString& text, const QStringList& buttons,
               int escapeIndex) override;
    QString saveFileName(const QString& title, const QString& startPath,
                         const QString& filter) override;
    QString existingFolder(const QString& title, const QString& startFolder) override;
};

// Every modal window, level windows included, is shown through this runner.
// `exec` shows the window modally and returns when it is closed or hidden;
// the result is the dialog's result code for QDialogs, 0 otherwise.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    virtual int exec(QWidget* window);
};

} // namespace orbino
