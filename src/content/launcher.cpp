#include "content/launcher.h"

#include "app/app_state.h"
#include "content/fmx_utils.h"
#include "content/player.h"
#include "platform/paths.h"
#include "platform/shell.h"

#include <memory>

namespace orbino {

Gate gateFor(const QString& fullCaption, bool teacherLoggedIn, bool solutionPasswordFlag) {
    if (fullCaption == QStringLiteral("Vyučujúci"))
        return teacherLoggedIn ? Gate::None : Gate::Teacher;
    if (fullCaption.startsWith(QStringLiteral("Ukážka riešenia úlohy")))
        return solutionPasswordFlag ? Gate::None : Gate::DayPassword;
    return Gate::None;
}

bool isTestYourself(const QString& fullCaption) {
    return fullCaption == QStringLiteral("Vyskúšaj sa");
}

QString itemFolder(const QString& dayFolderCaptionForm, bool demonstrationWithoutArguments) {
    QString f = AppState::folderNameRule(dayFolderCaptionForm);
    if (demonstrationWithoutArguments && f.startsWith(QLatin1Char('_')))
        f = QStringLiteral("0") + f.mid(1);
    return f;
}

FileAndParams splitReference(const QString& reference) {
    const qsizetype blank = reference.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return {reference, QString()};
    return {reference.left(blank), reference.mid(blank)};
}

namespace {

QString fullPath(const AppState& st, const QString& folder, const QString& fileName) {
    return st.programFolder + folder + QStringLiteral("/") + fileName;
}

// A failure the shell reports later, when the state may already be gone.
// The shell's reason (what Wine last said) goes on a line of its own.
std::function<void(const QString&)> reportNotStarted(AppState& st, const QString& tried) {
    std::weak_ptr<const bool> alive = st.alive;
    AppState* state = &st;
    return [alive, state, tried](const QString& reason) {
        if (alive.expired())
            return;
        const ConfigText text = state->configText(keys::Nonexe);
        QString shown = tried + QStringLiteral(" ") + text.value;
        if (!reason.trimmed().isEmpty())
            shown += QStringLiteral("\n") + reason.trimmed();
        state->messageIf(text, MsgKind::Warning, shown);
    };
}

void launchDemonstration(AppState& st, const QString& reference) {
    const bool withArguments = reference.contains(QLatin1Char(' '));
    const QString fileName = splitReference(reference).fileName;
    const QString recording =
        fullPath(st, itemFolder(st.levels.folder(1), !withArguments), fileName);
    if (withArguments) {
        if (!playerExists(st)) {
            const ConfigText text = st.configText(keys::Scplayer);
            st.messageIf(text, MsgKind::Warning, text.value);
            return;
        }
    } else {
        const QString text = st.CitajKonfig(keys::Scplayer);
        if (!playerExists(st)) {
            // Without arguments the missing player is reported whatever the switch says.
            st.message(MsgKind::Warning, text);
            return;
        }
    }
    if (!isFile(recording)) {
        const ConfigText text = st.configText(keys::Scm);
        st.messageIf(text, MsgKind::Warning, text.value);
        return;
    }
    startPlayer(st, recording, reportNotStarted(st, playerPath(st)));
}

LaunchOutcome launchLessonText(AppState& st, const QString& folder, const QString& reference) {
    // A lesson text takes no arguments, so a blank belongs to its name.
    if (isFile(fullPath(st, folder, reference)))
        return {LaunchOutcome::OpenSubLevel, resolvePath(fullPath(st, folder, reference))};
    // A pipe or device of that name is no text to create: it would be read forever.
    if (const QString kind = specialFileKind(fullPath(st, folder, reference)); !kind.isEmpty()) {
        st.message(MsgKind::Warning,
                   QStringLiteral("„%1“ je %2, nie súbor s textom; nedá sa otvoriť ani vytvoriť.")
                       .arg(reference, kind));
        return {};
    }
    const ConfigText text1 = st.configText(keys::Text1);
    if (!text1.messageOn)
        return {};
    if (SkusZapis(st)) {
        const QString text2 = st.CitajKonfig(keys::Text2);
        if (st.prompter &&
            st.prompter->ask(MsgKind::Information, text1.value + QStringLiteral(" ") + reference +
                                                       QStringLiteral("\n") + text2))
            return {LaunchOutcome::OpenEditor, fullPath(st, folder, reference)};
        return {};
    }
    st.message(MsgKind::Warning, text1.value + QStringLiteral(" ") + reference);
    return {};
}

LaunchOutcome launchPicture(AppState& st, const QString& folder, const QString& reference) {
    const QString path = fullPath(st, folder, reference);
    if (isFile(path))
        return {LaunchOutcome::ShowPicture, resolvePath(path)};
    const ConfigText text = st.configText(keys::Bmp);
    st.messageIf(text, MsgKind::Warning, text.value);
    return {};
}

void launchProgramOrDocument(AppState& st, const QString& folder, const QString& reference) {
    // A name that exists whole is taken whole, so "Moja hra.exe" is not cut at its blank.
    FileAndParams fp = splitReference(reference);
    if (!fp.params.isEmpty() && pathExists(fullPath(st, folder, reference)))
        fp = {reference, QString()};
    const QStringList params = splitParameters(fp.params);
    QString target = fullPath(st, folder, fp.fileName);
    if (fp.fileName.isEmpty() || !pathExists(target)) {
        if (!fp.fileName.isEmpty() && pathExists(fp.fileName)) {
            target = fp.fileName;
        } else {
            const ConfigText text = st.configText(keys::Nonfile);
            st.messageIf(text, MsgKind::Warning,
                         fullPath(st, folder, reference) + QStringLiteral(" ") + text.value);
            return;
        }
    }
    const QString resolved = resolvePath(target);
    if (refuseWithoutWine(st, resolved))
        return;
    ShellOpen(*st.shell, resolved, params, QString(), reportNotStarted(st, resolved));
}

} // namespace

bool refuseWithoutWine(AppState& st, const QString& program) {
    if (!st.shell || !st.shell->windowsProgramWithoutWine(program))
        return false;
    const ConfigText text = st.configText(keys::NoWine);
    st.messageIf(text, MsgKind::Warning, program + QStringLiteral(" ") + text.value);
    return true;
}

LaunchOutcome launchItem(AppState& st, int level, const ContentItem& item,
                         const QString& shownCaption, const QString& hint) {
    const int next = std::clamp(level + 1, 2, kMaxLevel + 1);
    const QString& ref = item.reference;
    const ItemKind kind = itemKind(ref);
    st.levels.chooseItem(level, ref);
    const QString folder = st.levels.folder(next);
    st.searchTitle = shownCaption;
    st.pressedItemTitle = hint;
    switch (kind) {
    case ItemKind::Demonstration:
        launchDemonstration(st, ref);
        return {};
    case ItemKind::LessonText:
        return launchLessonText(st, folder, ref);
    case ItemKind::Picture:
        return launchPicture(st, folder, ref);
    case ItemKind::ProgramOrDocument:
        launchProgramOrDocument(st, folder, ref);
        return {};
    }
    return {};
}

} // namespace orbino
