// "Pomocník > Prehľad triedy": the teacher's class overview, behind the
// teacher password.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/password_window.h"
#include "platform/dialogs.h"
#include "platform/dialogs_window.h"
#include "tools/class_window.h"

#include <QDir>

namespace orbino {

void TForm1::Prehladtriedy1Click() {
    if (!teacherGate(*this))
        return;
    const QString folder =
        st.prompter ? st.prompter->existingFolder(QStringLiteral("Priečinok s priečinkami žiakov"),
                                                  QDir::homePath())
                    : QString();
    if (folder.isEmpty())
        return;
    TOknoTrieda w(st, folder, this);
    w.start();
    modal.exec(&w);
}

} // namespace orbino
