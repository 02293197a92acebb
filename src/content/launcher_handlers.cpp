// The click handler of every item button.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/editor_window.h"
#include "content/launcher.h"
#include "content/password_window.h"
#include "content/picture_window.h"
#include "platform/dialogs_window.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>

namespace orbino {

namespace {
// Item button k of level L is named "Button" + k + L; its marker is
// solutionMarkers[k - 1].
int buttonNumber(const QAbstractButton* b, int level) {
    QString name = b->objectName();
    const QString suffix = QString::number(level);
    if (!name.startsWith(QLatin1String("Button")) || !name.endsWith(suffix))
        return 0;
    name = name.mid(6, name.size() - 6 - suffix.size());
    bool ok = false;
    const int k = name.toInt(&ok);
    return ok ? k : 0;
}
} // namespace

void TForm1::SpustiProgram(QAbstractButton* pressed) {
    if (!pressed)
        return;
    // The pressed button itself tells its line: its tag is the slot in the
    // level's lines, which need not be its position among the buttons.
    const int level = st.levels.current();
    bool ok = false;
    const int slot = pressed->property("tag").toInt(&ok);
    if (level < 1 || level > kMaxLevel || !ok || slot < 1 || slot > kMaxLines) {
        st.message(MsgKind::Error,
                   QStringLiteral("Tlačidlo „%1“ nemá v obsahu svoj riadok.").arg(pressed->text()));
        return;
    }
    const ContentItem& item = st.levels.item(level, slot);
    if (!item.valid) {
        st.message(MsgKind::Error,
                   QStringLiteral("Tlačidlo „%1“ nemá v obsahu svoj riadok.").arg(pressed->text()));
        return;
    }

    // The gate looks at the full caption of the line, not the shortened text
    // on the button.
    switch (gateFor(item.caption, st.teacherLoggedIn, st.solutionPasswordFlag)) {
    case Gate::Teacher:
        teacherGate(*this);
        break;
    case Gate::DayPassword:
        dayPasswordGate(*this);
        break;
    case Gate::None:
        st.launchPermission = true;
        break;
    }
    const int k = buttonNumber(pressed, level);
    if (k >= 1 && k <= solutionMarkers.size() && solutionMarkers[k - 1])
        solutionMarkers[k - 1]->hide();
    st.testYourselfFlag = isTestYourself(item.caption);
    if (!st.launchPermission)
        return;

    const LaunchOutcome out = launchItem(st, level, item, pressed->text(), pressed->toolTip());
    switch (out.kind) {
    case LaunchOutcome::Done:
        break;
    case LaunchOutcome::ShowPicture: {
        TOknoObrazku w(st, this);
        w.loadPicture(out.path);
        modal.exec(&w);
        break;
    }
    case LaunchOutcome::OpenSubLevel:
        openSubLevel(pressed);
        break;
    case LaunchOutcome::OpenEditor:
        openEditorForMissingText(pressed);
        break;
    }
}

} // namespace orbino

namespace orbino {

void TForm1::openEditorForMissingText(QAbstractButton* pressed) {
    QPointer<QAbstractButton> button(pressed);
    const int level = st.levels.current();
    const int next = std::min(level + 1, kMaxLevel + 1);
    {
        // The editor works on level L+1; whatever happens, come back to L.
        LevelModel::Visit visit(st.levels, level + 1);
        openLessonEditor(*this, st.levels.folder(next), st.levels.listFile(next));
    }
    // Saved through "Editácia textu": show the new text at once, ready to edit.
    if (!st.editorAskedTextEdit || !button)
        return;
    st.searchTitle = button->text();
    st.pressedItemTitle = button->toolTip();
    openSubLevel(button);
}

} // namespace orbino
