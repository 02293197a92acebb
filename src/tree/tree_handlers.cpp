// The main window's way into the tree window.
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "tree/tree_window.h"
#include "ui_tform1.h"

#include <QTextEdit>

#include <memory>

namespace orbino {

void TForm1::Hadaj1Click() {
    if (st.searchMode()) {
        // A second copy must not start a third one.
        const QString t1 = st.CitajKonfig(keys::BlockedTree1);
        const ConfigText t2 = st.configText(keys::BlockedTree2);
        const bool end = !t2.messageOn ||
                         (st.prompter && st.prompter->ask(MsgKind::Confirmation,
                                                          t1 + QStringLiteral("\r") + t2.value));
        if (end) {
            if (!ui->Memo1->isReadOnly())
                saveBeforeLeaving();
            exitCleanup();
        }
        return;
    }
    if (st.levels.current() <= 1)
        return;
    auto window = std::make_unique<TOknoHladaj>(*this);
    window->FormCreate();
    window->FormActivate();
    window->startTextIndex();
    modal.exec(window.get());
}

} // namespace orbino
