#include "content/player.h"

#include "app/app_state.h"
#include "content/fmx_utils.h"
#include "content/launcher.h"
#include "platform/paths.h"

namespace orbino {

QString playerPath(const AppState& st) {
    return resolvePath(st.playerFolder + QStringLiteral("/SCPLAYER.EXE"));
}

bool playerExists(const AppState& st) {
    return isFile(playerPath(st));
}

void startPlayer(AppState& st, const QString& recording,
                 const std::function<void(const QString&)>& onFailure) {
    if (refuseWithoutWine(st, playerPath(st)))
        return;
    ShellOpen(*st.shell, playerPath(st), {resolvePath(recording), QStringLiteral("/s/c")},
              QString(), onFailure);
}

} // namespace orbino
