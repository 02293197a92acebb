#pragma once
// The outside demonstration player. It lives in the player folder as
// SCPLAYER.EXE (found whatever the case of the name on disk) and is started
// with two arguments: the recording's path (one argument even with blanks)
// and "/s/c". On Linux a player file with the run bit that is a script or a
// native program starts directly; a Windows one goes through wine, which gets
// the recording's path in the form Wine maps it to ("Z:\home\...").
#include <QString>
#include <functional>

namespace orbino {

class AppState;

// Player folder + "/SCPLAYER.EXE", as resolved on disk.
QString playerPath(const AppState& st);
bool playerExists(const AppState& st);

// Starts the player on `recording` without waiting and without testing that
// either exists. `onFailure` runs when it could not be started. A Windows
// player where Wine is missing is not started: the learner is told so
// (refuseWithoutWine) and `onFailure` does not run.
void startPlayer(AppState& st, const QString& recording,
                 const std::function<void(const QString&)>& onFailure);

} // namespace orbino
